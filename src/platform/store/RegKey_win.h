#pragma once

#include <QString>

#include <utility>
#include <vector>
#include <windows.h>

// An open registry key, closed when it goes.
class TRegKey {
public:
    TRegKey() = default;
    TRegKey(const TRegKey &) = delete;
    TRegKey &operator=(const TRegKey &) = delete;
    ~TRegKey();

    // Creates the key when it is missing and opens it with full access.
    bool Create(HKEY Parent, const QString &Name);
    // Opens an existing key for reading.
    bool Open(HKEY Parent, const QString &Name);
    HKEY Get() const { return FKey; }

    // The key's string values, as name and text, in the registry's order;
    // values of other types are left out.
    std::vector<std::pair<QString, QString>> StringValues() const;

private:
    HKEY FKey = nullptr;
};

// The system's text for a Windows error code ("Access denied."), without
// the trailing line break.
QString WindowsErrorText(DWORD Code);
