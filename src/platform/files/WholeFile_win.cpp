#include "platform/files/WholeFile.h"

#include "platform/files/HandleWrite_win.h"
#include "platform/store/RegKey_win.h"

#include <QFileInfo>

namespace {

std::wstring Native(const QString &Path)
{
    return QFileInfo(Path).absoluteFilePath().replace(QLatin1Char('/'), QLatin1Char('\\')).toStdWString();
}

} // namespace

bool WriteWholeFile(const QString &Path, const QByteArray &Data, QString &Error)
{
    auto fail = [&](DWORD Code) {
        Error = QStringLiteral("cannot write %1: %2").arg(Path, WindowsErrorText(Code));
        return false;
    };
    const QFileInfo given(Path);
    const QString target = given.isSymLink() ? given.symLinkTarget() : given.absoluteFilePath();
    const std::wstring targetName = Native(target);
    const std::wstring temp =
        Native(QFileInfo(target).absolutePath() + QStringLiteral("/~") + QFileInfo(target).fileName() +
               QStringLiteral(".%1.tmp").arg(GetCurrentProcessId()));
    const HANDLE file =
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return fail(GetLastError());
    bool ok = WriteToHandle(file, Data) && FlushFileBuffers(file);
    DWORD code = ok ? ERROR_SUCCESS : GetLastError();
    if (!CloseHandle(file) && ok) {
        ok = false;
        code = GetLastError();
    }
    // Replaces the old file in one step, on the disk before the call returns.
    if (ok &&
        !MoveFileExW(temp.c_str(), targetName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        code = GetLastError();
    }
    if (!ok) {
        DeleteFileW(temp.c_str());
        return fail(code == ERROR_SUCCESS ? ERROR_WRITE_FAULT : code);
    }
    return true;
}
