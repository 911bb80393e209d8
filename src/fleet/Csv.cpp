#include "fleet/Csv.h"

namespace {

// A blank around a quoted cell; a tab only where it is not the separator.
bool IsBlank(QChar c, QChar Separator)
{
    return c != Separator && (c == u' ' || c == u'\t');
}

// A line ends at LF or CR LF; a CR on its own, or ending the text, is no
// line break but text of the cell (quoted or not), so that the line count
// stays right.
bool EndsCell(const QString &Text, qsizetype At, QChar Separator)
{
    const QChar c = Text[At];
    return c == Separator || c == u'\n' || (c == u'\r' && (At + 1 == Text.size() || Text[At + 1] == u'\n'));
}

} // namespace

bool TCsvReader::Next(TCsvRow &Row, QString &Error)
{
    const QString &Text = FText;
    const QChar Separator = FSeparator;
    const qsizetype size = Text.size();
    qsizetype &i = FAt;
    int &line = FLine;
    if (i >= size)
        return false;
    TCsvRow row;
    row.Line = line;
    bool endOfRecord = false;
    while (!endOfRecord) {
        // Blanks before an opening quote belong to no cell.
        qsizetype start = i;
        while (start < size && IsBlank(Text[start], Separator))
            ++start;
        QString cell;
        if (start < size && Text[start] == u'"') {
            const int openedOn = line;
            i = start + 1;
            for (;;) {
                if (i >= size) {
                    Error = QStringLiteral("line %1: a quoted cell is not closed").arg(openedOn);
                    return false;
                }
                const QChar c = Text[i++];
                if (c == u'"') {
                    if (i < size && Text[i] == u'"') {
                        cell += c;
                        ++i;
                        continue;
                    }
                    break;
                }
                if (c == u'\n')
                    ++line;
                cell += c;
            }
            // What follows the closing quote up to the separator is kept
            // as it stands, blanks aside.
            while (i < size && !EndsCell(Text, i, Separator)) {
                if (!IsBlank(Text[i], Separator))
                    cell += Text[i];
                ++i;
            }
            cell.squeeze();
        } else {
            const qsizetype from = i;
            while (i < size && !EndsCell(Text, i, Separator))
                ++i;
            cell = Text.mid(from, i - from);
        }
        row.Cells << cell;
        if (i < size && Text[i] == Separator) {
            ++i;
            continue;
        }
        endOfRecord = true;
        if (i < size && Text[i] == u'\r')
            ++i;
        if (i < size && Text[i] == u'\n') {
            ++i;
            ++line;
        }
    }
    Row = std::move(row);
    return true;
}

bool ReadCsv(const QString &Text, QChar Separator, std::vector<TCsvRow> &Rows, QString &Error)
{
    TCsvReader reader(Text, Separator);
    TCsvRow row;
    Error.clear();
    while (reader.Next(row, Error))
        Rows.push_back(row);
    return Error.isEmpty();
}

QString CsvCell(const QString &Text, QChar Separator)
{
    if (!Text.contains(Separator) && !Text.contains(u'"') && !Text.contains(u'\n') && !Text.contains(u'\r'))
        return Text;
    QString quoted = Text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvRecord(const QStringList &Cells, QChar Separator)
{
    QStringList cells;
    for (const QString &c : Cells)
        cells << CsvCell(c, Separator);
    return cells.join(Separator) + QLatin1Char('\n');
}
