#include "ComUnit.h"

#include "platform/serial/ComPort.h"
#include "platform/store/SettingsStore.h"

#include <QByteArray>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

const QString SetupSection = QStringLiteral("COMSetup");
const QString PortValue = QStringLiteral("COM");

void Pause()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(TCOMMan::ReplyPauseMs));
}

} // namespace

uint8_t ByteSum(std::span<const uint8_t> Bytes)
{
    uint8_t sum = 0;
    for (uint8_t b : Bytes)
        sum = uint8_t(sum + b);
    return sum;
}

QString DeviceTypeName(int Code)
{
    if (Code < 1 || Code > int(DeviceTypeNames.size()))
        return {};
    return QString::fromUtf8(DeviceTypeNames[size_t(Code - 1)]);
}

QByteArray BuildFrame(uint8_t Command, std::span<const uint8_t> Payload)
{
    const auto n = uint8_t(Payload.size());
    QByteArray frame;
    frame.reserve(qsizetype(Payload.size()) + 7);
    frame.append(char(FrameHead[0])).append(char(FrameHead[1]));
    frame.append(char(Command)).append(char(n));
    frame.append(reinterpret_cast<const char *>(Payload.data()), qsizetype(Payload.size()));
    frame.append(char(uint8_t(Command + n + ByteSum(Payload))));
    frame.append(char(FrameTail[0])).append(char(FrameTail[1]));
    return frame;
}

TCOMMan::TCOMMan(TStatusLabel *StatusLabel) : FStatusLabel(StatusLabel) {}

TCOMMan::~TCOMMan()
{
    if (FOpened)
        ClosePort();
    // The port object releases any handle still held (after a refused
    // handshake) when it is destroyed.
}

bool TCOMMan::Open(int32_t PortNumber)
{
    FPortName = QStringLiteral("COM%1").arg(PortNumber);
    SetPortNumber(PortNumber);
    return OpenDevice(ComPortPath(FPortName));
}

bool TCOMMan::OpenDevice(const QString &Path)
{
    // Close whatever is held, also a handle kept after a refused handshake,
    // so that the new open is never refused by our own old lock.
    if (FOpened || FHandle.IsOpen())
        ClosePort();

    FOpened = FHandle.Open(Path);
    if (FOpened) {
        // The line settings are applied without looking at the result: a port
        // that opened counts as open, whatever settings it refuses.
        FHandle.Configure(FBaudRate, FByteSize, FParity, FStopBits);
        ShowInfo(QStringLiteral("Port%1already open").arg(FPortName));
        FOpened = Handshake();
    } else {
        ShowError(QStringLiteral("Couldn't open the port %1,maybe already being occupied or not existed!")
                      .arg(FPortName));
    }
    return FOpened;
}

bool TCOMMan::Handshake()
{
    return true;
}

void TCOMMan::ClosePort()
{
    FHandle.Close();
    // No command may go out through a handle that is gone.
    FOpened = false;
}

int32_t StoredPortNumber(const TSettingsStore &Store)
{
    return Store.ReadInteger(SetupSection, PortValue, 1);
}

QString StoredPortLocation(const TSettingsStore &Store)
{
    return Store.Location(SetupSection);
}

int32_t TCOMMan::GetPortNumber()
{
    return StoredPortNumber(TSettingsStore(TSettingsStore::DefaultPath()));
}

void TCOMMan::SetPortNumber(int32_t PortNumber)
{
    TSettingsStore(TSettingsStore::DefaultPath()).WriteInteger(SetupSection, PortValue, PortNumber);
}

TLinkResult TCOMMan::Send(const uint8_t *Data, int N)
{
    TLinkResult result;
    if (!FOpened) {
        result.Error = TLinkError::PortNotOpen;
        return result;
    }
    if (N < 0 || N > 255) {
        result.Error = TLinkError::SendFailed;
        return result;
    }
    if (FDiscardStaleInput)
        FHandle.DiscardInput();
    const QByteArray frame = BuildFrame(Data[0], std::span<const uint8_t>(Data + 1, size_t(N)));
    const ssize_t written =
        FHandle.Write(reinterpret_cast<const uint8_t *>(frame.constData()), size_t(frame.size()));
    result.Sent = written == frame.size();
    if (!result.Sent)
        result.Error = FHandle.LineLost() ? TLinkError::HungUp : TLinkError::SendFailed;
    return result;
}

TLinkError TCOMMan::ReceiveReply(std::span<uint8_t> Buffer, int Expected)
{
    const int got = FHandle.ReadQueued(Buffer.data(), int(Buffer.size()), FTimeout);
    if (Expected >= 0 && got == Expected)
        return TLinkError::None;
    return FHandle.LineLost() ? TLinkError::HungUp : TLinkError::NoReply;
}

TLinkResult TCOMMan::ReceiveAck()
{
    TLinkResult result;
    result.Sent = true;
    uint8_t ack[AckBufferSize];
    const int got = FHandle.ReadQueued(ack, AckBufferSize, AckWaitMs);
    if (got == 0)
        result.Error = FHandle.LineLost() ? TLinkError::HungUp : TLinkError::NoReply;
    else if (got != 4 || ack[3] != ack[2])
        result.Error = TLinkError::MalformedAck;
    else {
        result.AckCode = ack[2];
        result.Error = ack[2] == 0   ? TLinkError::None
                       : ack[2] == 1 ? TLinkError::NotSupported
                                     : TLinkError::CommandFailed;
    }
    return result;
}

TLinkResult TCOMMan::Exchange(uint8_t Command, std::span<uint8_t> Record)
{
    // A record that cannot fit the reply buffer with its two leading bytes
    // and checksum can never be received whole.
    if (Record.size() > size_t(ReplyBufferSize - 3))
        return {TLinkError::BadLength};
    TLinkResult result = Send(&Command, 0);
    if (!result.Sent)
        return result;
    Pause();
    const auto count = int(Record.size());
    uint8_t reply[ReplyBufferSize];
    result.Error = ReceiveReply(reply, count + 3);
    if (!result.Ok())
        return result;
    if (ByteSum(std::span<const uint8_t>(reply + 2, Record.size())) != reply[count + 2]) {
        result.Error = TLinkError::BadChecksum;
        return result;
    }
    std::memcpy(Record.data(), reply + 2, Record.size());
    return result;
}

TLinkResult TCOMMan::WriteRecord(std::span<const uint8_t> Payload)
{
    // A payload must fit the frame's one length byte.
    if (Payload.size() > 255)
        return {TLinkError::SendFailed};
    uint8_t data[256];
    data[0] = CmdWriteSettings;
    if (!Payload.empty())
        std::memcpy(data + 1, Payload.data(), Payload.size());
    const TLinkResult sent = Send(data, int(Payload.size()));
    if (!sent.Sent)
        return sent;
    Pause();
    return ReceiveAck();
}

bool TCOMMan::SendFrame(const uint8_t *Data, int N)
{
    const TLinkResult result = Send(Data, N);
    ShowReport(StatusLine(TLinkOperation::Send, result));
    return result.Sent;
}

bool TCOMMan::ReadReply(std::span<uint8_t> Buffer, int Expected)
{
    return ReceiveReply(Buffer, Expected) == TLinkError::None;
}

bool TCOMMan::Query(uint8_t Command, void *Dest, int Count)
{
    const TLinkResult result =
        Count < 0 ? TLinkResult{TLinkError::BadLength}
                  : Exchange(Command, std::span<uint8_t>(static_cast<uint8_t *>(Dest), size_t(Count)));
    ShowOutcome(TLinkOperation::Read, result);
    return result.Ok();
}

bool TCOMMan::ReadInfo(void *Dest, int Count)
{
    return Query(CmdReadInfo, Dest, Count);
}

bool TCOMMan::ReadParams(void *Dest, int Count)
{
    return Query(CmdReadParams, Dest, Count);
}

bool TCOMMan::WriteCommand(const void *Payload, int Length)
{
    const TLinkResult result =
        Length < 0
            ? TLinkResult{TLinkError::SendFailed}
            : WriteRecord(std::span<const uint8_t>(static_cast<const uint8_t *>(Payload), size_t(Length)));
    ShowOutcome(TLinkOperation::Write, result);
    return result.Ok();
}

uint8_t TCOMMan::ReadAck()
{
    const TLinkResult result = ReceiveAck();
    return result.Ok() ? 0 : result.Error == TLinkError::NotSupported ? 1 : 2;
}

void TCOMMan::ShowOutcome(TLinkOperation Operation, const TLinkResult &Result)
{
    // A command on a closed port is reported by the send first, then at once
    // by the operation.
    ShowReport(StatusLine(TLinkOperation::Send, Result));
    ShowReport(StatusLine(Operation, Result));
}

void TCOMMan::ShowReport(const TStatusLine &Line)
{
    if (Line.Text.isEmpty() || FStatusLabel == nullptr)
        return;
    FStatusLabel->SetFontColor(Line.Color);
    FStatusLabel->SetCaption(Line.Text);
}

void TCOMMan::ShowError(const QString &Text)
{
    ShowReport({StatusErrorColor, Text});
}

void TCOMMan::ShowInfo(const QString &Text)
{
    ShowReport({StatusInfoColor, Text});
}
