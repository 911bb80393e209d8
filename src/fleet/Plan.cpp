#include "fleet/Plan.h"

#include "device/NetSettings.h"
#include "fleet/Csv.h"
#include "fleet/FileText.h"
#include "fleet/PlainText.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QtEndian>

#include <algorithm>

namespace {

// The address columns and the keys of the fields they change.
const std::pair<const char *, const char *> AddressColumns[] = {
    {"local", "localIp"}, {"server", "serverIp"}, {"gateway", "gatewayIp"}, {"mask", "subnetMask"}};

// The separator of a plan, found from its header line: whichever of comma,
// semicolon (spreadsheets in many locales) and tab ("Unicode text" and
// tab-separated exports) it holds most of; a comma on a tie.
QChar PlanSeparator(const QString &Text)
{
    for (const QStringView line : QStringView(Text).split(u'\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QChar separator = QLatin1Char(',');
        for (const QChar other : {QLatin1Char(';'), QLatin1Char('\t')}) {
            if (line.count(other) > line.count(separator))
                separator = other;
        }
        return separator;
    }
    return QLatin1Char(',');
}

QString WithoutLeadingZeros(const QString &Serial)
{
    qsizetype zeros = 0;
    while (zeros + 1 < Serial.size() && Serial[zeros] == u'0')
        ++zeros;
    return Serial.mid(zeros);
}

// Why a serial number that is another's without its leading zero is
// refused; each names its number and, for the one of an earlier row, its line.
QString DroppedZeroText(const QString &Short, const QString &Full)
{
    return QStringLiteral(
               "serial number %1 is %2 without its leading zero: a spreadsheet may have dropped it "
               "(format the column as text)")
        .arg(Short, Full);
}

// Reads one row into Row. Local is the unit's own address when the row gives
// one that may be in force (DHCP not turned on), as a number; else 0.
bool ParseRow(const QStringList &Cells, const QMap<QString, int> &Columns, TPlanRow &Row, uint32_t &Local,
              QString &Error)
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
    Error = SettingsEditFault(Row.Edit);
    if (!Error.isEmpty())
        return false;
    uint8_t local[4] = {};
    Local =
        Row.Edit.Dhcp != true && DottedToAddress(cell("local"), local) ? qFromBigEndian<uint32_t>(local) : 0;
    return true;
}

} // namespace

bool ParsePlan(const QString &Text, std::vector<TPlanRow> &Rows, QString &Error)
{
    QString text = Text;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    // A replacement character stands for text an earlier conversion lost:
    // it would go into the journal and the units' labels unnoticed.
    if (const qsizetype lost = text.indexOf(QChar::ReplacementCharacter); lost >= 0) {
        Error =
            QStringLiteral("line %1 holds the replacement character U+FFFD: text was lost when the file was "
                           "converted")
                .arg(QStringView(text).left(lost).count(u'\n') + 1);
        return false;
    }
    const QChar separator = PlanSeparator(text);
    // Rows are quoted in messages with commas for tabs, which a terminal
    // shows as blanks.
    const QChar shownSeparator = separator == u'\t' ? QLatin1Char(',') : separator;
    // Records are taken one at a time: a plan of many thousand rows is never
    // held as cells as well as rows.
    TCsvReader reader(text, separator);
    Rows.reserve(Rows.size() + size_t(text.count(QLatin1Char('\n'))));
    QMap<QString, int> columns;
    // The serial numbers planned so far and their lines, by the number
    // without leading zeros.
    QMap<QString, std::pair<QString, int>> planned;
    // The lines of the own addresses planned so far.
    QHash<uint32_t, int> localLines;
    TCsvRow record;
    QString unclosed;
    while (reader.Next(record, unclosed)) {
        QStringList &cells = record.Cells;
        for (QString &cell : cells)
            cell = cell.trimmed();
        // Blank lines and lines of separators only, as spreadsheets leave them.
        if (std::all_of(cells.cbegin(), cells.cend(), [](const QString &c) { return c.isEmpty(); }))
            continue;
        const int lineNo = record.Line;
        if (columns.isEmpty()) {
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const QString name = cells[c].toLower();
                if (columns.contains(name)) {
                    Error = QStringLiteral("line %1: the header names the column '%2' twice")
                                .arg(lineNo)
                                .arg(name);
                    return false;
                }
                columns.insert(name, int(c));
            }
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
        uint32_t local = 0;
        if (cells.size() != columns.size()) {
            why = QStringLiteral("%1 where the header names %2")
                      .arg(Counted(cells.size(), QStringLiteral("cell"), QStringLiteral("cells")))
                      .arg(columns.size());
        } else if (ParseRow(cells, columns, row, local, why)) {
            if (planned.contains(WithoutLeadingZeros(row.Serial))) {
                const auto &[serial, line] = planned.value(WithoutLeadingZeros(row.Serial));
                if (serial == row.Serial)
                    why = QStringLiteral("serial number %1 is planned twice").arg(row.Serial);
                else if (serial.size() > row.Serial.size())
                    why = DroppedZeroText(row.Serial, QStringLiteral("%1 of line %2").arg(serial).arg(line));
                else
                    why = DroppedZeroText(QStringLiteral("%1 of line %2").arg(serial).arg(line), row.Serial);
            } else if (local != 0 && localLines.contains(local)) {
                why = QStringLiteral("local IP %1 is planned for line %2 as well")
                          .arg(row.Edit.Addresses.value(QStringLiteral("localIp")))
                          .arg(localLines.value(local));
            }
        }
        if (!why.isEmpty()) {
            Error = QStringLiteral("line %1 (%2): %3")
                        .arg(lineNo)
                        .arg(CsvRecord(cells, shownSeparator).chopped(1), why);
            return false;
        }
        planned.insert(WithoutLeadingZeros(row.Serial), {row.Serial, lineNo});
        if (local != 0)
            localLines.insert(local, lineNo);
        Rows.push_back(row);
    }
    if (!unclosed.isEmpty()) {
        Error = unclosed;
        return false;
    }
    // Room kept for blank lines goes back, unless little was kept.
    if (Rows.capacity() > Rows.size() + Rows.size() / 4)
        Rows.shrink_to_fit();
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
    // The file's bytes go before the plan is parsed.
    QString text;
    const bool decoded =
        DecodeFileText(file.readAll(), QStringLiteral("save the plan as \"CSV UTF-8\""), text, Error);
    file.close();
    if (!decoded || !ParsePlan(text, Rows, Error)) {
        Error = Path + QStringLiteral(": ") + Error;
        return false;
    }
    return true;
}

QString DroppedZeroHint(const std::vector<TPlanRow> &Rows, const QString &UnitSerial)
{
    const QString bare = WithoutLeadingZeros(UnitSerial);
    for (const TPlanRow &row : Rows) {
        if (row.Serial == bare && bare != UnitSerial)
            return QStringLiteral(
                       "the plan has %1 (line %2): a spreadsheet may have dropped its leading zero "
                       "(format the column as text)")
                .arg(row.Serial)
                .arg(row.Line);
    }
    return QString();
}
