#pragma once

#include <QString>

#include <cstdint>

// What came of one exchange with the device.
enum class TLinkError : uint8_t {
    None,          // the record arrived whole, or the device acknowledged with code 0
    PortNotOpen,   // no port is held: nothing was sent
    BadLength,     // a record length that cannot be received (negative, or beyond the
                   // reply buffer): nothing was sent
    SendFailed,    // the request frame did not go out whole
    NoReply,       // nothing, or not exactly the expected number of bytes, arrived in time
    BadChecksum,   // a data reply of the right length whose checksum is wrong
    NotSupported,  // acknowledgement code 1
    CommandFailed, // acknowledgement with a code above 1
    MalformedAck,  // an acknowledgement of the wrong length or whose check byte differs
    HungUp,        // the line hung up or failed: the port is gone, not merely silent
};

// The outcome of an exchange as a value. Sent tells a failure before the
// request went out from one in the reply; AckCode is the acknowledgement code
// exactly as the device sent it in a well-formed acknowledgement, -1 when
// none arrived (and for read commands).
struct TLinkResult {
    TLinkError Error = TLinkError::None;
    bool Sent = false;
    int AckCode = -1;

    bool Ok() const { return Error == TLinkError::None; }
    // The port vanished or hung up: no later exchange on this handle can
    // succeed. A silent or garbled line is not lost.
    bool LineLost() const { return Error == TLinkError::HungUp; }
};

// The outcome of a read command with the record read; Record is only
// meaningful when Ok().
template <typename TRecord> struct TRecordResult : TLinkResult {
    TRecord Record{};
};

// The kinds of request whose outcomes have status texts.
enum class TLinkOperation {
    Send,  // the frame going out
    Read,  // a read command (information or parameter record)
    Write, // the network settings write
};

// A status report: one line of text in a colour (see StatusLabel.h).
struct TStatusLine {
    uint32_t Color = 0;
    QString Text; // empty: nothing is reported
};

// The status report the link makes for the outcome of Operation: every
// status text of an exchange's outcome comes from here. The reports of
// opening the port (TCOMMan::Open) and of connecting to the device
// (TEDFACom::ReadDevice) are no exchange's outcome and are made there. A
// successful read reports nothing (empty text); a frame that went out reports
// nothing for Send.
TStatusLine StatusLine(TLinkOperation Operation, const TLinkResult &Result);
