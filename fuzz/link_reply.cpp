// The reading of replies and acknowledgements over a real pseudo-terminal:
// any byte stream of any length, queued at the port, is read in one read that
// never writes past its buffer, and gives exactly the outcome the link
// promises for it. The first input byte picks what is read (an
// acknowledgement, or a data reply with the record length of the second
// byte); the rest is the stream the device sends.

#include "FuzzCheck.h"
#include "device/ComUnit.h"
#include "platform/store/SettingsStore.h"

#include <QDir>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

class TNullLabel : public TStatusLabel {
public:
    void SetFontColor(uint32_t) override {}
    void SetCaption(const QString &) override {}
};

// The link with its reading steps opened up for the harness.
class TProbe : public TCOMMan {
public:
    using TCOMMan::ReadAck;
    using TCOMMan::ReadReply;
    using TCOMMan::TCOMMan;
    int Fd() const { return FHandle.Handle(); }
};

int gMaster = -1;
TNullLabel gLabel;
TProbe *gLink = nullptr;

// Blocks (briefly, in the kernel) until the port has Count bytes queued,
// so that the link's one read sees the whole stream.
void AwaitQueued(int count)
{
    for (int tries = 0; tries < 2000; ++tries) {
        int queued = 0;
        ::ioctl(gLink->Fd(), FIONREAD, &queued);
        if (queued >= count)
            return;
        ::usleep(50);
    }
    std::fprintf(stderr, "the pseudo-terminal did not deliver %d bytes\n", count);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    char folder[] = "/tmp/lumora-fuzz-XXXXXX";
    FUZZ_CHECK(::mkdtemp(folder) != nullptr);
    ::setenv("XDG_CONFIG_HOME", folder, 1);

    termios raw{};
    ::cfmakeraw(&raw);
    int slave = -1;
    char name[256] = {};
    FUZZ_CHECK(::openpty(&gMaster, &slave, name, &raw, nullptr) == 0);
    TSettingsStore(TSettingsStore::DefaultPath())
        .WriteString(QStringLiteral("Ports"), QStringLiteral("COM1"), QString::fromLocal8Bit(name));
    gLink = new TProbe(&gLabel);
    FUZZ_CHECK(gLink->Open(1));
    // The harness's own slave descriptor keeps the line up; the link holds its own.
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An empty stream would only wait out the full bound; a stream is kept
    // below what the line buffers without blocking the writer.
    if (size < 3)
        return 0;
    const bool ack = (data[0] & 1) == 0;
    const int count = data[1];
    const uint8_t *stream = data + 2;
    const int length = int(std::min<size_t>(size - 2, 2048));

    FUZZ_CHECK(::write(gMaster, stream, size_t(length)) == length);
    AwaitQueued(length);

    if (ack) {
        // One read of at most the 12-byte acknowledgement buffer.
        const int got = std::min(length, TCOMMan::AckBufferSize);
        int expected = 2;
        if (got == 4 && stream[3] == stream[2] && stream[2] <= 1)
            expected = stream[2];
        FUZZ_CHECK(gLink->ReadAck() == expected);
    } else {
        // One read of at most the buffer given; a canary behind it must stay.
        std::array<uint8_t, TCOMMan::ReplyBufferSize + 16> buffer;
        buffer.fill(0xC5);
        const std::span<uint8_t> reply(buffer.data(), TCOMMan::ReplyBufferSize);
        const int got = std::min(length, TCOMMan::ReplyBufferSize);
        FUZZ_CHECK(gLink->ReadReply(reply, count + 3) == (got == count + 3));
        FUZZ_CHECK(std::memcmp(buffer.data(), stream, size_t(got)) == 0);
        FUZZ_CHECK(std::all_of(buffer.begin() + TCOMMan::ReplyBufferSize, buffer.end(),
                               [](uint8_t b) { return b == 0xC5; }));
    }
    // Whatever the read left behind is dropped, so inputs stay independent.
    ::tcflush(gLink->Fd(), TCIFLUSH);
    return 0;
}
