#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace lumora::test {

// A 64 KiB tmpfs mounted on a fresh folder for the life of the object, to
// run code against a disk that fills up. Mounting needs root (or the right
// capability); where it is refused Mounted() is false and the test skips,
// except in CI (CI=true), which runs as root: there it fails.
class TTinyDisk {
public:
    TTinyDisk();
    ~TTinyDisk();
    TTinyDisk(const TTinyDisk &) = delete;
    TTinyDisk &operator=(const TTinyDisk &) = delete;

    bool Mounted() const { return FMounted; }
    // Why the mount was refused (the system's error text).
    const QString &Refusal() const { return FRefusal; }
    QString FilePath(const QString &Name) const { return FDir.filePath(Name); }

    // Takes up every free byte with a filler file; Free() gives it back.
    void Fill();
    void Free();
    // The bytes of a file ("" when it cannot be read).
    static QByteArray ReadFile(const QString &Path);

private:
    QTemporaryDir FDir;
    bool FMounted = false;
    QString FRefusal;
};

// Whether this run must exercise a full disk: CI=true in the environment.
bool FullDiskRequired();

} // namespace lumora::test

// Skips the running test when no tmpfs can be mounted here; fails it in CI.
#define LUMORA_REQUIRE_TINY_DISK(Disk)                                                                       \
    do {                                                                                                     \
        if (!(Disk).Mounted()) {                                                                             \
            if (lumora::test::FullDiskRequired())                                                            \
                FAIL() << "CI must mount a tmpfs for the full-disk tests: "                                  \
                       << (Disk).Refusal().toStdString();                                                    \
            GTEST_SKIP() << "mounting a tmpfs is not permitted here: " << (Disk).Refusal().toStdString();    \
        }                                                                                                    \
    } while (false)
