#include "ComUnit.h"

#include "platform/ComPort.h"
#include "platform/SettingsStore.h"

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
        // As on the original line: settings applied, results not examined.
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

int32_t TCOMMan::GetPortNumber()
{
    return TSettingsStore(TSettingsStore::DefaultPath()).ReadInteger(SetupSection, PortValue, 1);
}

void TCOMMan::SetPortNumber(int32_t PortNumber)
{
    TSettingsStore(TSettingsStore::DefaultPath()).WriteInteger(SetupSection, PortValue, PortNumber);
}

bool TCOMMan::SendFrame(const uint8_t *Data, int N)
{
    if (!FOpened) {
        ShowError(QStringLiteral("Port not open,command fail!"));
        return false;
    }
    if (N < 0 || N > 255)
        return false;
    const QByteArray frame = BuildFrame(Data[0], std::span<const uint8_t>(Data + 1, size_t(N)));
    const ssize_t written =
        FHandle.Write(reinterpret_cast<const uint8_t *>(frame.constData()), size_t(frame.size()));
    return written == frame.size();
}

bool TCOMMan::ReadReply(std::span<uint8_t> Buffer, int Expected)
{
    const int got = FHandle.ReadQueued(Buffer.data(), int(Buffer.size()), FTimeout);
    return Expected >= 0 && got == Expected;
}

bool TCOMMan::Query(uint8_t Command, void *Dest, int Count)
{
    // A record that cannot fit the reply buffer with its two leading bytes
    // and checksum can never be received whole.
    if (Count < 0 || Count > ReplyBufferSize - 3) {
        ShowError(QStringLiteral("Receive error data."));
        return false;
    }
    if (!SendFrame(&Command, 0)) {
        ShowError(QStringLiteral("Device no response,command fail."));
        return false;
    }
    Pause();
    uint8_t reply[ReplyBufferSize];
    if (!ReadReply(reply, Count + 3)) {
        ShowError(QStringLiteral("Device response timeout!"));
        return false;
    }
    if (ByteSum(std::span<const uint8_t>(reply + 2, size_t(Count))) != reply[Count + 2]) {
        ShowError(QStringLiteral("Receive error data."));
        return false;
    }
    std::memcpy(Dest, reply + 2, size_t(Count));
    return true;
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
    // A payload must fit the frame's one length byte.
    if (Length < 0 || Length > 255) {
        ShowError(QStringLiteral("Couldn't open device!"));
        return false;
    }
    uint8_t data[256];
    data[0] = CmdWriteSettings;
    if (Length > 0)
        std::memcpy(data + 1, Payload, size_t(Length));
    if (!SendFrame(data, Length)) {
        ShowError(QStringLiteral("Couldn't open device!"));
        return false;
    }
    Pause();
    switch (ReadAck()) {
    case 0:
        ShowInfo(QStringLiteral("Command success!"));
        return true;
    case 1:
        ShowError(QStringLiteral("Command not support!"));
        return false;
    default:
        ShowError(QStringLiteral("Command fail!"));
        return false;
    }
}

uint8_t TCOMMan::ReadAck()
{
    uint8_t ack[AckBufferSize];
    const int got = FHandle.ReadQueued(ack, AckBufferSize, AckWaitMs);
    if (got != 4 || ack[3] != ack[2])
        return 2;
    return ack[2] <= 1 ? ack[2] : 2;
}

void TCOMMan::ShowError(const QString &Text)
{
    if (FStatusLabel == nullptr)
        return;
    FStatusLabel->SetFontColor(StatusErrorColor);
    FStatusLabel->SetCaption(Text);
}

void TCOMMan::ShowInfo(const QString &Text)
{
    if (FStatusLabel == nullptr)
        return;
    FStatusLabel->SetFontColor(StatusInfoColor);
    FStatusLabel->SetCaption(Text);
}
