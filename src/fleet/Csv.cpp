#include "fleet/Csv.h"

namespace {

bool IsBlank(QChar C)
{
    return C == u' ' || C == u'\t';
}

} // namespace

bool ReadCsv(const QString &Text, QChar Separator, std::vector<TCsvRow> &Rows, QString &Error)
{
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = Text.size();
    while (i < n) {
        TCsvRow row;
        row.Line = line;
        bool endOfRecord = false;
        while (!endOfRecord) {
            // Blanks before a quote belong to no cell.
            qsizetype start = i;
            while (start < n && IsBlank(Text[start]))
                ++start;
            QString cell;
            if (start < n && Text[start] == u'"') {
                const int opened = line;
                qsizetype j = start + 1;
                bool closed = false;
                while (j < n) {
                    if (Text[j] == u'"') {
                        if (j + 1 < n && Text[j + 1] == u'"') {
                            cell += u'"';
                            j += 2;
                            continue;
                        }
                        closed = true;
                        ++j;
                        break;
                    }
                    if (Text[j] == u'\n')
                        ++line;
                    cell += Text[j++];
                }
                if (!closed) {
                    Error =
                        QStringLiteral("line %1: a quoted cell opens here and is never closed").arg(opened);
                    return false;
                }
                // Blanks after the closing quote are dropped; anything else up
                // to the separator stays with the cell, as spreadsheets do.
                while (j < n && IsBlank(Text[j]))
                    ++j;
                while (j < n && Text[j] != Separator && Text[j] != u'\n' &&
                       !(Text[j] == u'\r' && j + 1 < n && Text[j + 1] == u'\n'))
                    cell += Text[j++];
                i = j;
            } else {
                qsizetype j = i;
                while (j < n && Text[j] != Separator && Text[j] != u'\n')
                    ++j;
                cell = Text.mid(i, j - i);
                if (j < n && Text[j] == u'\n' && cell.endsWith(u'\r'))
                    cell.chop(1);
                i = j;
            }
            row.Cells << cell;
            if (i < n && Text[i] == Separator) {
                ++i;
                continue;
            }
            if (i < n && Text[i] == u'\r')
                ++i;
            if (i < n && Text[i] == u'\n') {
                ++i;
                ++line;
            }
            endOfRecord = true;
        }
        Rows.push_back(row);
    }
    return true;
}
