#include "LinkResult.h"

#include "StatusLabel.h"

namespace {

TStatusLine Error(const char *Text)
{
    return {StatusErrorColor, QString::fromLatin1(Text)};
}

TStatusLine ReadLine(const TLinkResult &Result)
{
    switch (Result.Error) {
    case TLinkError::None:
        return {};
    case TLinkError::BadLength:
    case TLinkError::BadChecksum:
        return Error("Receive error data.");
    default:
        break;
    }
    if (!Result.Sent)
        return Error("Device no response,command fail.");
    return Error("Device response timeout!");
}

TStatusLine WriteLine(const TLinkResult &Result)
{
    if (Result.Ok())
        return {StatusInfoColor, QStringLiteral("Command success!")};
    if (!Result.Sent)
        return Error("Couldn't open device!");
    if (Result.Error == TLinkError::NotSupported)
        return Error("Command not support!");
    // A code above 1, a malformed or missing acknowledgement, a lost line.
    return Error("Command fail!");
}

} // namespace

TStatusLine StatusLine(TLinkOperation Operation, const TLinkResult &Result)
{
    switch (Operation) {
    case TLinkOperation::Send:
        return Result.Error == TLinkError::PortNotOpen ? Error("Port not open,command fail!") : TStatusLine{};
    case TLinkOperation::Read:
        return ReadLine(Result);
    case TLinkOperation::Write:
        return WriteLine(Result);
    }
    return {};
}
