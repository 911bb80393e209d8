#include "platform/files/AnsiCodePage.h"

int AnsiCodePage()
{
    return 0;
}

std::optional<QString> FromAnsiCodePage(const QByteArray &)
{
    return std::nullopt;
}
