#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace lumora::test {

// A 64 KiB tmpfs mounted on a fresh folder for the life of the object, to
// run code against a disk that fills up. Mounting needs root (or the right
// capability); where it is refused Mounted() is false and the test skips.
class TTinyDisk {
public:
    TTinyDisk();
    ~TTinyDisk();
    TTinyDisk(const TTinyDisk &) = delete;
    TTinyDisk &operator=(const TTinyDisk &) = delete;

    bool Mounted() const { return FMounted; }
    QString FilePath(const QString &Name) const { return FDir.filePath(Name); }

    // Takes up every free byte with a filler file; Free() gives it back.
    void Fill();
    void Free();
    // The bytes of a file ("" when it cannot be read).
    static QByteArray ReadFile(const QString &Path);

private:
    QTemporaryDir FDir;
    bool FMounted = false;
};

} // namespace lumora::test

// Skips the running test when no tmpfs can be mounted here.
#define LUMORA_REQUIRE_TINY_DISK(Disk)                                                                       \
    do {                                                                                                     \
        if (!(Disk).Mounted())                                                                               \
            GTEST_SKIP() << "mounting a tmpfs is not permitted here";                                        \
    } while (false)
