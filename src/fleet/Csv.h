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

// The records of Text one after the other, empty ones included, cells as
// they stand (unquoted, not trimmed). Blanks around a quoted cell are
// dropped. A final line break ends the last record and starts none. Only the
// record read last is held, so a long file is read in little memory.
class TCsvReader {
public:
    // Text must outlive the reader.
    TCsvReader(const QString &Text, QChar Separator) : FText(Text), FSeparator(Separator) {}

    // Reads the next record into Row. False at the end of the text, and on a
    // quoted cell that is never closed, with Error naming the line where it
    // opens.
    bool Next(TCsvRow &Row, QString &Error);

private:
    const QString &FText;
    QChar FSeparator;
    qsizetype FAt = 0;
    int FLine = 1;
};

// Every record of Text, as TCsvReader reads them. False with Error naming
// the line where a quoted cell opens that is never closed.
bool ReadCsv(const QString &Text, QChar Separator, std::vector<TCsvRow> &Rows, QString &Error);

// A cell as written: in quotes, with quotes doubled, when it holds the
// separator, a quote or a line break; else as it is.
QString CsvCell(const QString &Text, QChar Separator = QLatin1Char(','));

// One record: the cells quoted as needed and joined, ending in a line feed.
QString CsvRecord(const QStringList &Cells, QChar Separator = QLatin1Char(','));
