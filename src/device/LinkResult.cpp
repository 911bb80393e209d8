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

QString LinkErrorName(TLinkError Error)
{
    switch (Error) {
    case TLinkError::None:
        return {};
    case TLinkError::PortNotOpen:
        return QStringLiteral("port-not-open");
    case TLinkError::BadLength:
        return QStringLiteral("bad-length");
    case TLinkError::SendFailed:
        return QStringLiteral("send-failed");
    case TLinkError::NoReply:
        return QStringLiteral("no-reply");
    case TLinkError::BadChecksum:
        return QStringLiteral("bad-checksum");
    case TLinkError::NotSupported:
        return QStringLiteral("not-supported");
    case TLinkError::CommandFailed:
        return QStringLiteral("command-failed");
    case TLinkError::MalformedAck:
        return QStringLiteral("malformed-ack");
    case TLinkError::HungUp:
        return QStringLiteral("hung-up");
    }
    return {};
}
