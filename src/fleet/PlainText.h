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

// "1 unit", "2 units", "0 units": the count with its noun in the right number.
QString Counted(qsizetype Count, const QString &Singular, const QString &Plural);
