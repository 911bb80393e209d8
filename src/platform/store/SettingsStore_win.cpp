#include "platform/store/SettingsStore.h"

#include "base/LumoraError.h"
#include "platform/store/RegKey_win.h"

#include <windows.h>

#include <vector>

namespace {

std::wstring Wide(const QString &Text)
{
    return Text.toStdWString();
}

} // namespace

TSettingsStore::TSettingsStore(QString FilePath) : FPath(std::move(FilePath)) {}

QString TSettingsStore::DefaultPath()
{
    return QStringLiteral("ComSetup.INI");
}

QString TSettingsStore::Location(const QString &Section) const
{
    return QStringLiteral("HKEY_CURRENT_USER\\%1\\%2").arg(FPath, Section);
}

std::optional<QString> TSettingsStore::ReadString(const QString &Section, const QString &Name) const
{
    // The store's key is created on every open, also for reading.
    TRegKey root;
    TRegKey section;
    if (!root.Create(HKEY_CURRENT_USER, FPath) || !section.Open(root.Get(), Section))
        return std::nullopt;
    const std::wstring name = Wide(Name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(section.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ELumoraError(QStringLiteral("Invalid data type for '%1'").arg(Name));
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = DWORD(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(section.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(data.data()),
                         &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    // The stored text ends at its terminating zero, or at the data's end
    // when it was written without one.
    return QString::fromWCharArray(data.data());
}

void TSettingsStore::WriteString(const QString &Section, const QString &Name, const QString &Value)
{
    TRegKey root;
    TRegKey section;
    if (!root.Create(HKEY_CURRENT_USER, FPath) || !section.Create(root.Get(), Section))
        throw ELumoraError(QStringLiteral("Failed to create key %1").arg(Section));
    // A string value with its terminating zero.
    const std::wstring value = Wide(Value);
    const auto bytes = DWORD((value.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(section.Get(), Wide(Name).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE *>(value.c_str()), bytes) != ERROR_SUCCESS)
        throw ELumoraError(QStringLiteral("Failed to set data for '%1'").arg(Name));
}
