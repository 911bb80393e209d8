#pragma once

#include <QByteArray>
#include <QString>

namespace lumora::test {

// A raw pseudo-terminal pair for tests that play the device by hand: the
// test holds the master, the code under test opens the slave by its path.
class TPtyPair {
public:
    // Raw: the line starts in raw mode, as a simulator sets it up; otherwise
    // it starts cooked (echo, line editing, flow control), as a fresh
    // terminal does.
    explicit TPtyPair(bool Raw = true);
    ~TPtyPair();
    TPtyPair(const TPtyPair &) = delete;
    TPtyPair &operator=(const TPtyPair &) = delete;

    const QString &SlavePath() const { return FSlavePath; }
    int MasterFd() const { return FMaster; }

    // Everything that arrives on the master within TimeoutMs, reading until
    // Expected bytes are there (or the time is up).
    QByteArray ReadMaster(int Expected, int TimeoutMs = 1000);
    void WriteMaster(const QByteArray &Bytes);
    // Closes the master: the slave side sees a hang-up.
    void CloseMaster();

    // Waits until at least Count bytes wait on the slave side for the code
    // under test, so that a test acts on what arrived rather than on how long
    // it slept. Blocks in poll() with the line's minimum read count raised for
    // the wait; false after TimeoutMs.
    bool WaitQueued(int Count, int TimeoutMs = 5000);
    // Waits until nothing waits on the slave side any more: the code under
    // test has read it. False after TimeoutMs.
    bool WaitDrained(int TimeoutMs = 5000);

private:
    int FMaster = -1;
    int FSlaveKeep = -1; // keeps the line up while the code under test reopens it
    QString FSlavePath;
};

// Points COM<Number> at Path in the test's settings store.
void MapPort(int Number, const QString &Path);

} // namespace lumora::test
