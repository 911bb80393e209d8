#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <vector>

// Comma-separated values as RFC 4180 has them, with the separator as a
// parameter (spreadsheets in many locales write semicolons, and tabs as
// "Unicode text"). A cell in double
// quotes may hold the separator, line breaks and quotes (doubled); records end
// with LF or CRLF.

// One record and the line of the text it started on (from 1).
struct TCsvRow {
    int Line = 0;
    QStringList Cells;
};

// Every record of Text, empty ones included, cells as they stand (unquoted,
// not trimmed). Blanks around a quoted cell are dropped. A final line break
// ends the last record and starts none. False with Error naming the line
// where a quoted cell opens that is never closed.
bool ReadCsv(const QString &Text, QChar Separator, std::vector<TCsvRow> &Rows, QString &Error);

// A cell as written: in quotes, with quotes doubled, when it holds the
// separator, a quote or a line break; else as it is.
QString CsvCell(const QString &Text, QChar Separator = QLatin1Char(','));

// One record: the cells quoted as needed and joined, ending in a line feed.
QString CsvRecord(const QStringList &Cells, QChar Separator = QLatin1Char(','));
