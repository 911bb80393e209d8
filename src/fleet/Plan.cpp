#include "fleet/Plan.h"

#include "platform/LumoraError.h"

#include <QFile>
#include <QSet>
#include <QStringList>

namespace {

// The address columns and the keys of the fields they change.
const std::pair<const char *, const char *> AddressColumns[] = {
    {"local", "localIp"}, {"server", "serverIp"}, {"gateway", "gatewayIp"}, {"mask", "subnetMask"}};

// The cells of one CSV line: commas separate, double quotes enclose a cell
// that holds commas, "" inside quotes is one quote. Cells are trimmed of
// blanks outside quotes.
QStringList SplitCsvLine(const QString &Line)
{
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < Line.size(); ++i) {
        const QChar c = Line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < Line.size() && Line[i + 1] == u'"') {
                cell += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            cells << cell.trimmed();
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells << cell.trimmed();
    return cells;
}

bool ParseRow(const QStringList &Cells, const QMap<QString, int> &Columns, TPlanRow &Row, QString &Error)
{
    auto cell = [&](const char *name) { return Cells.value(Columns.value(QLatin1String(name), -1)); };
    Row.Serial = cell("serial");
    Row.Label = cell("label");
    if (Row.Serial.isEmpty() || Row.Serial.toLatin1().size() > 10 ||
        Row.Serial.toLatin1() != Row.Serial.toUtf8()) {
        Error = QStringLiteral("the serial number must be 1 to 10 characters");
        return false;
    }
    if (const QString dhcp = cell("dhcp"); !dhcp.isEmpty()) {
        Row.Edit.Dhcp = ParseOnOff(dhcp);
        if (!Row.Edit.Dhcp.has_value()) {
            Error = QStringLiteral("invalid dhcp value '%1': give on or off").arg(dhcp);
            return false;
        }
    }
    for (const auto &[column, key] : AddressColumns) {
        if (const QString text = cell(column); !text.isEmpty())
            Row.Edit.Addresses.insert(QLatin1String(key), text);
    }
    try {
        CheckSettingsEdit(Row.Edit);
    } catch (const ELumoraError &e) {
        Error = e.Message();
        return false;
    }
    return true;
}

} // namespace

bool ParsePlan(const QString &Text, std::vector<TPlanRow> &Rows, QString &Error)
{
    QString text = Text;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    QMap<QString, int> columns;
    QSet<QString> serials;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList cells = SplitCsvLine(line);
        const int lineNo = int(i + 1);
        if (columns.isEmpty()) {
            for (qsizetype c = 0; c < cells.size(); ++c)
                columns.insert(cells[c].toLower(), int(c));
            const QStringList needed{"serial", "dhcp", "local", "server", "gateway", "mask"};
            for (const QString &name : needed) {
                if (!columns.contains(name)) {
                    Error = QStringLiteral("line %1: the header has no column '%2' (it names the columns "
                                           "serial,dhcp,local,server,gateway,mask and optionally label)")
                                .arg(lineNo)
                                .arg(name);
                    return false;
                }
            }
            for (auto it = columns.begin(); it != columns.end(); ++it) {
                if (!needed.contains(it.key()) && it.key() != QLatin1String("label")) {
                    Error = QStringLiteral("line %1: unknown column '%2'").arg(lineNo).arg(it.key());
                    return false;
                }
            }
            continue;
        }
        TPlanRow row;
        row.Line = lineNo;
        QString why;
        if (cells.size() > columns.size())
            why = QStringLiteral("%1 cells where the header names %2").arg(cells.size()).arg(columns.size());
        else if (ParseRow(cells, columns, row, why) && serials.contains(row.Serial))
            why = QStringLiteral("serial number %1 is planned twice").arg(row.Serial);
        if (!why.isEmpty()) {
            Error = QStringLiteral("line %1 (%2): %3").arg(lineNo).arg(line, why);
            return false;
        }
        serials.insert(row.Serial);
        Rows.push_back(row);
    }
    if (Rows.empty()) {
        Error = QStringLiteral("the plan names no unit");
        return false;
    }
    return true;
}

bool ReadPlan(const QString &Path, std::vector<TPlanRow> &Rows, QString &Error)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = QStringLiteral("cannot read %1: %2").arg(Path, file.errorString());
        return false;
    }
    if (!ParsePlan(QString::fromUtf8(file.readAll()), Rows, Error)) {
        Error = Path + QStringLiteral(": ") + Error;
        return false;
    }
    return true;
}
