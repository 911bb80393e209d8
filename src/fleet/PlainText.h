#pragma once

#include <QString>

// Texts laid out for a terminal in columns: widths as a terminal shows them,
// where East Asian wide and full-width characters take two columns and
// combining marks none.

// The columns Text takes on a terminal.
int DisplayWidth(const QString &Text);
// Text followed by blanks up to Width columns (Text unchanged when wider).
QString PadToWidth(const QString &Text, int Width);
// The longest head of Text that fits in Width columns, never splitting a
// character (a surrogate pair or a base with its combining marks).
QString CutToWidth(const QString &Text, int Width);

// Text on one line of a terminal: a line break (CR, LF or CRLF) or any
// other control character becomes a blank, so that a spreadsheet cell
// holding line breaks cannot tear a table or the live line, and a journal
// text cannot steer the terminal.
QString OneLine(const QString &Text);

// Text with each control character (C0, DEL and C1) shown as \xNN: a text
// from a device (its serial number, its update time) cannot steer the
// terminal, and what it holds stays visible.
QString ControlsEscaped(const QString &Text);

// "1 unit", "2 units", "0 units": the count with its noun in the right number.
QString Counted(qsizetype Count, const QString &Singular, const QString &Plural);
