#include "platform/store/SettingsStore.h"
#include "base/IntConv.h"

// Integers are kept as their decimal text, on every platform's store.

int32_t TSettingsStore::ReadInteger(const QString &Section, const QString &Name, int32_t Default) const
{
    const auto text = ReadString(Section, Name);
    int32_t value = Default;
    if (!text || !TryStrToInt(*text, value))
        return Default;
    return value;
}

void TSettingsStore::WriteInteger(const QString &Section, const QString &Name, int32_t Value)
{
    WriteString(Section, Name, QString::number(Value));
}
