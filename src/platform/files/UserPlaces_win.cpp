#include "platform/files/UserPlaces.h"

#include <QDir>

#include <windows.h>
// clang-format off
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on

QString UserStateFolder()
{
    QString local;
    wchar_t *path = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &path) == S_OK)
        local = QString::fromWCharArray(path);
    CoTaskMemFree(path);
    if (local.isEmpty())
        local = qEnvironmentVariable("LOCALAPPDATA");
    return QDir::toNativeSeparators(local + QStringLiteral("/Lumora"));
}

QString LoginName()
{
    wchar_t name[257] = {};
    DWORD length = sizeof name / sizeof name[0];
    if (GetUserNameW(name, &length) && length > 1)
        return QString::fromWCharArray(name, int(length - 1));
    return qEnvironmentVariable("USERNAME");
}
