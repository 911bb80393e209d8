#pragma once

#include "LinkResult.h"
#include "StatusLabel.h"
#include "platform/serial/SerialPort.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>

// Start and end of every request frame.
inline constexpr std::array<uint8_t, 2> FrameHead = {0xAA, 0x55};
inline constexpr std::array<uint8_t, 2> FrameTail = {0xFB, 0xFF};

// Command codes of the protocol.
inline constexpr uint8_t CmdReadInfo = 0;
inline constexpr uint8_t CmdWriteSettings = 1;
inline constexpr uint8_t CmdReadParams = 3;

// Names of the device types 1 to 9 (index = type code - 1).
inline constexpr std::array<const char *, 9> DeviceTypeNames = {
    "发射机",       "接收机", "回传发射模块", "回传接收模块", "EDFA(Double)",
    "EDFA(Single)", "KV38M",  "小光站",       "通信板",
};
// The name of a device type code; empty text for codes without a name.
QString DeviceTypeName(int Code);

// The 8-bit sum of Bytes, wrapping modulo 256: the checksum of replies.
uint8_t ByteSum(std::span<const uint8_t> Bytes);

// The request frame for Command with Payload: head, command, payload length,
// payload, checksum (command + length + payload bytes, modulo 256), tail.
QByteArray BuildFrame(uint8_t Command, std::span<const uint8_t> Payload);

class TSettingsStore;

// The stored port number in Store: the value "COM" of section "COMSetup",
// 1 when absent.
int32_t StoredPortNumber(const TSettingsStore &Store);
// Where Store keeps the stored port, as the user would look for it.
QString StoredPortLocation(const TSettingsStore &Store);

// The serial-port manager: owns one port, opened by number, frames each
// command, waits for and checks the reply and reports every outcome to the
// status label, red for failure and green for success. Device operations
// never throw; only the settings store behind GetPortNumber, SetPortNumber
// and Open can raise ELumoraError.
//
// Beneath ReadInfo, ReadParams and WriteCommand lie typed exchanges that
// return what happened as a value and report nothing; the reporting
// operations are those exchanges followed by ShowOutcome.
class TCOMMan {
public:
    explicit TCOMMan(TStatusLabel *StatusLabel);
    TCOMMan(const TCOMMan &) = delete;
    TCOMMan &operator=(const TCOMMan &) = delete;
    virtual ~TCOMMan();

    // Stores PortNumber, closes any port held, opens "COM<PortNumber>" and
    // reports; returns whether the port is open.
    virtual bool Open(int32_t PortNumber);
    // Run right after the port opened; its result becomes the open state.
    virtual bool Handshake();
    virtual void ClosePort();

    int32_t GetPortNumber();
    void SetPortNumber(int32_t PortNumber);

    bool ReadInfo(void *Dest, int Count);
    bool ReadParams(void *Dest, int Count);
    bool WriteCommand(const void *Payload, int Length);

    // A read command (request, pause, one read, checksum): Record is filled
    // only when the result is Ok.
    TLinkResult Exchange(uint8_t Command, std::span<uint8_t> Record);
    template <typename TRecord> TRecordResult<TRecord> ReadRecord(uint8_t Command)
    {
        static_assert(sizeof(TRecord) <= ReplyBufferSize - 3, "a record must fit the reply buffer");
        TRecordResult<TRecord> result;
        static_cast<TLinkResult &>(result) = Exchange(
            Command, std::span<uint8_t>(reinterpret_cast<uint8_t *>(&result.Record), sizeof(TRecord)));
        return result;
    }
    // Command 1 with Payload (at most 255 bytes): request, pause, one read of
    // the acknowledgement.
    TLinkResult WriteRecord(std::span<const uint8_t> Payload);
    template <typename TRecord> TLinkResult WriteRecord(const TRecord &Record)
    {
        return WriteRecord(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t *>(&Record), sizeof(TRecord)));
    }
    // Reports Result to the status label as the described operation does.
    void ShowOutcome(TLinkOperation Operation, const TLinkResult &Result);

    // When on, input waiting on the line is discarded before each request, so
    // that bytes left from a late reply or line noise are not taken for part
    // of the next reply. Off by default: the program's windows read whatever
    // is queued.
    void SetDiscardStaleInput(bool On) { FDiscardStaleInput = On; }

    const QString &PortName() const { return FPortName; }
    bool Opened() const { return FOpened; }

    // Size of the reply buffer of a read command: a record is at most
    // ReplyBufferSize - 3 bytes long.
    static constexpr int ReplyBufferSize = 256;
    static constexpr int AckBufferSize = 12;
    static constexpr int AckWaitMs = 1000;
    static constexpr int ReplyPauseMs = 100;

protected:
    // Open from closing the old handle on: opens and configures the device
    // at Path and reports under FPortName. Stores nothing, so that a caller
    // can open a port other than the stored one (the command-line tool).
    bool OpenDevice(const QString &Path);
    bool SendFrame(const uint8_t *Data, int N);
    bool ReadReply(std::span<uint8_t> Buffer, int Expected);
    bool Query(uint8_t Command, void *Dest, int Count);
    uint8_t ReadAck();
    void ShowError(const QString &Text);
    void ShowInfo(const QString &Text);

    // The typed steps of an exchange: the frame going out, the reply, the
    // acknowledgement.
    TLinkResult Send(const uint8_t *Data, int N);
    TLinkError ReceiveReply(std::span<uint8_t> Buffer, int Expected);
    TLinkResult ReceiveAck();

    QString FPortName;
    uint32_t FBaudRate = 115200;
    uint8_t FParity = 0;
    uint8_t FStopBits = 0;
    uint8_t FByteSize = 8;
    int32_t FTimeout = 1000;
    TSerialPort FHandle;
    bool FOpened = false;
    TStatusLabel *FStatusLabel;
    bool FDiscardStaleInput = false;

private:
    // Shows Line in the status label; an empty text reports nothing.
    void ShowReport(const TStatusLine &Line);
};
