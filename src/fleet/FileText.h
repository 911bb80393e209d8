#pragma once

#include <QByteArray>
#include <QString>

// The text of a file a user hands over (a plan, a limits file, a backup), as
// editors and spreadsheets save it: UTF-16 little- or big-endian by its
// byte-order mark, UTF-8 with or without one; without a mark, bytes that are
// not UTF-8 are read in the system's ANSI code page where it has one
// (Windows). No character is ever replaced: text that does not decode, or
// holds a NUL character (UTF-16 saved without its mark), is refused. False
// with Why naming the line and the fault and ending in Hint ("save the plan
// as ...").
bool DecodeFileText(const QByteArray &Bytes, const QString &Hint, QString &Text, QString &Why);
