#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

// A file of lines that only grows and only ever holds whole lines, shared by
// writers in this and other processes, which take turns under an exclusive
// lock on the file (flock on Linux, LockFileEx on Windows).
class TLineFile {
public:
    TLineFile();
    ~TLineFile();
    TLineFile(const TLineFile &) = delete;
    TLineFile &operator=(const TLineFile &) = delete;

    // Opens Path for appending, creating the file (not its folder) when it
    // is missing. False with Reason (the system's text) when it cannot.
    bool Open(const QString &Path, QString &Reason);
    // Appends Line (which ends with a line break) under the lock and syncs
    // it to the disk. A file whose last line someone else left unfinished
    // gets a line break first, so that Line stays readable. A line that
    // cannot be written and synced whole is cut off again, so the file ends
    // as it was. False with Reason (the system's text) on any failure.
    bool Append(QByteArray Line, QString &Reason);

private:
    // The system's side of an append (LineFile_posix.cpp, LineFile_win.cpp).
    // A call that fails returns false and leaves its error for LastError().
    bool IsOpen() const;
    bool Lock(); // waits for another writer's lock
    void Unlock();
    bool FileSize(int64_t &Size);
    // True when the byte before Size is a line break, or Size is 0.
    bool EndsWithLineBreak(int64_t Size);
    // Writes all of Data at Offset, the file's end under the lock.
    bool WriteAt(int64_t Offset, const QByteArray &Data);
    bool Sync();
    bool CutTo(int64_t Size);
    static uint32_t LastError();    // errno, GetLastError()
    static uint32_t NotOpenError(); // the error of a call on no file
    static QString ErrorText(uint32_t Code);

    struct TSystem; // the open file
    std::unique_ptr<TSystem> FFile;
};
