#include "platform/store/RegKey_win.h"

TRegKey::~TRegKey()
{
    if (FKey != nullptr)
        RegCloseKey(FKey);
}

bool TRegKey::Create(HKEY Parent, const QString &Name)
{
    return RegCreateKeyExW(Parent, Name.toStdWString().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &FKey, nullptr) == ERROR_SUCCESS;
}

bool TRegKey::Open(HKEY Parent, const QString &Name)
{
    return RegOpenKeyExW(Parent, Name.toStdWString().c_str(), 0, KEY_READ, &FKey) == ERROR_SUCCESS;
}

std::vector<std::pair<QString, QString>> TRegKey::StringValues() const
{
    std::vector<std::pair<QString, QString>> values;
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (FKey == nullptr ||
        RegQueryInfoKeyW(FKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    std::vector<wchar_t> name(longestName + 1);
    // Room for the text and a terminating zero the data may lack.
    std::vector<wchar_t> data(longestData / sizeof(wchar_t) + 2);
    for (DWORD i = 0; i < count; ++i) {
        auto nameLength = DWORD(name.size());
        auto dataBytes = DWORD((data.size() - 1) * sizeof(wchar_t));
        DWORD type = 0;
        std::fill(data.begin(), data.end(), L'\0');
        if (RegEnumValueW(FKey, i, name.data(), &nameLength, nullptr, &type,
                          reinterpret_cast<BYTE *>(data.data()), &dataBytes) != ERROR_SUCCESS ||
            type != REG_SZ)
            continue;
        values.emplace_back(QString::fromWCharArray(name.data(), int(nameLength)),
                            QString::fromWCharArray(data.data()));
    }
    return values;
}

QString WindowsErrorText(DWORD Code)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, Code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed()
                                 : QStringLiteral("error %1").arg(Code);
    LocalFree(text);
    return message;
}
