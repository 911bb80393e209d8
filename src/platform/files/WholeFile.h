#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at Path with Data, whole or not at all: the bytes go to a
// new file beside it, which is synced to the disk and then renamed over the
// old one. On any failure (a full disk, no permission) the old file is left
// as it was, the new one is removed, and Error says which file and why
// ("cannot write b.json: No space left on device"). A link is followed: its
// target is replaced. An existing file keeps its permissions; one the user may
// not write is not replaced. On Windows (WholeFile_win.cpp) the new file is
// flushed to the disk and moved over the old one with MoveFileEx, replacing
// it and writing through (a read-only file refuses to be replaced).
bool WriteWholeFile(const QString &Path, const QByteArray &Data, QString &Error);

// Writes all of Data to the descriptor, carrying on after a short write
// (which leaves errno unset) until everything is written or the system
// refuses; then errno holds why. False when not all was written.
bool WriteAllTo(int Fd, const char *Data, qsizetype Size);

// The system's text for an errno value: "No space left on device".
QString SystemErrorText(int Code);
