#include "fleet/Plan.h"

#include "device/NetSettings.h"
#include "fleet/Csv.h"
#include "fleet/FileText.h"
#include "fleet/PlainText.h"

#include <QFile>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <optional>

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

std::string_view WithoutLeadingZeros(std::string_view Serial)
{
    size_t zeros = 0;
    while (zeros + 1 < Serial.size() && Serial[zeros] == '0')
        ++zeros;
    return Serial.substr(zeros);
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

// Reads one row into Row.
bool ParseRow(const QStringList &Cells, const QMap<QString, int> &Columns, TPlanRow &Row, QString &Error)
{
    auto cell = [&](const char *name) { return Cells.value(Columns.value(QLatin1String(name), -1)); };
    if (!Row.SetSerial(cell("serial"))) {
        Error = QStringLiteral("the serial number must be 1 to 10 characters");
        return false;
    }
    Row.Label = cell("label");
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
    return Error.isEmpty();
}

// The unit's own address of a row that gives one that may be in force (DHCP
// not turned on), as a number; else 0.
uint32_t OwnAddress(const TPlanRow &Row)
{
    uint8_t local[4] = {};
    return Row.Edit.Dhcp != true &&
                   DottedToAddress(Row.Edit.Addresses.value(QStringLiteral("localIp")), local)
               ? qFromBigEndian<uint32_t>(local)
               : 0;
}

// Of the rows From to End that have a key (Key gives one or none), the first
// whose key an earlier row has, and the first row with that key; {End, End}
// when no key repeats. The rows are sorted by key rather than kept in a map,
// so that a plan of many thousand rows is checked in little memory.
template <typename TKeyOf> std::pair<size_t, size_t> FirstRepeat(size_t From, size_t End, TKeyOf Key)
{
    std::vector<uint32_t> order;
    for (size_t i = From; i < End; ++i) {
        if (Key(i))
            order.push_back(uint32_t(i));
    }
    // Stable: rows of one key stay in plan order, the first of a run first.
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return *Key(a) < *Key(b); });
    std::pair<size_t, size_t> found{End, End};
    size_t runStart = 0;
    for (size_t k = 1; k < order.size(); ++k) {
        if (*Key(order[k]) != *Key(order[runStart]))
            runStart = k;
        else if (k == runStart + 1 && order[k] < found.first)
            found = {order[k], order[runStart]};
    }
    return found;
}

// Why the first row from From on that repeats another's serial number (or
// is it without a leading zero, a spreadsheet's doing) or own local address
// is refused, with its index; {End, empty} when none does.
std::pair<size_t, QString> RepeatedRow(const std::vector<TPlanRow> &Rows, size_t From)
{
    const size_t end = Rows.size();
    const auto [serialAt, serialOf] = FirstRepeat(From, end, [&](size_t i) {
        return std::optional<std::string_view>(WithoutLeadingZeros(Rows[i].SerialChars()));
    });
    std::vector<uint32_t> locals(end - From);
    for (size_t i = From; i < end; ++i)
        locals[i - From] = OwnAddress(Rows[i]);
    const auto [localAt, localOf] = FirstRepeat(From, end, [&](size_t i) {
        const uint32_t local = locals[i - From];
        return local != 0 ? std::optional<uint32_t>(local) : std::nullopt;
    });
    if (serialAt < end && serialAt <= localAt) {
        const TPlanRow &row = Rows[serialAt];
        const TPlanRow &earlier = Rows[serialOf];
        const QString serial = row.Serial();
        const QString other = QStringLiteral("%1 of line %2").arg(earlier.Serial()).arg(earlier.Line);
        if (earlier.SerialChars() == row.SerialChars())
            return {serialAt, QStringLiteral("serial number %1 is planned twice").arg(serial)};
        if (earlier.SerialChars().size() > row.SerialChars().size())
            return {serialAt, DroppedZeroText(serial, other)};
        return {serialAt, DroppedZeroText(other, serial)};
    }
    if (localAt < end)
        return {localAt, QStringLiteral("local IP %1 is planned for line %2 as well")
                             .arg(Rows[localAt].Edit.Addresses.value(QStringLiteral("localIp")))
                             .arg(Rows[localOf].Line)};
    return {end, QString()};
}

// The cells of the record of Text that starts on Line, trimmed.
QStringList CellsOnLine(const QString &Text, QChar Separator, int Line)
{
    TCsvReader reader(Text, Separator);
    TCsvRow record;
    QString unclosed;
    while (reader.Next(record, unclosed)) {
        if (record.Line == Line)
            break;
    }
    for (QString &cell : record.Cells)
        cell = cell.trimmed();
    return record.Cells;
}

} // namespace

bool ParsePlan(QString Text, std::vector<TPlanRow> &Rows, QString &Error)
{
    QString &text = Text;
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
    auto refuse = [&](int Line, const QStringList &Cells, const QString &Why) {
        Error = QStringLiteral("line %1 (%2): %3")
                    .arg(Line)
                    .arg(CsvRecord(Cells, shownSeparator).chopped(1), Why);
        return false;
    };
    // Records are taken one at a time: a plan of many thousand rows is never
    // held as cells as well as rows.
    TCsvReader reader(text, separator);
    const size_t first = Rows.size();
    Rows.reserve(Rows.size() + size_t(text.count(QLatin1Char('\n'))));
    QMap<QString, int> columns;
    TCsvRow record;
    QString unclosed;
    // The first row refused for what it holds itself; rows before it are
    // then checked against each other, and a repeat among them comes first.
    int refusedLine = 0;
    QStringList refusedCells;
    QString refusedWhy;
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
        if (cells.size() != columns.size()) {
            why = QStringLiteral("%1 where the header names %2")
                      .arg(Counted(cells.size(), QStringLiteral("cell"), QStringLiteral("cells")))
                      .arg(columns.size());
        } else {
            ParseRow(cells, columns, row, why);
        }
        if (!why.isEmpty()) {
            refusedLine = lineNo;
            refusedCells = cells;
            refusedWhy = why;
            break;
        }
        Rows.push_back(std::move(row));
    }
    if (const auto [at, why] = RepeatedRow(Rows, first); !why.isEmpty())
        return refuse(Rows[at].Line, CellsOnLine(text, separator, Rows[at].Line), why);
    if (refusedLine != 0)
        return refuse(refusedLine, refusedCells, refusedWhy);
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
    if (!decoded || !ParsePlan(std::move(text), Rows, Error)) {
        Error = Path + QStringLiteral(": ") + Error;
        return false;
    }
    return true;
}

namespace {

// Serial as the rows hold serial numbers; empty when no row can hold it.
QByteArray AsciiSerial(const QString &Serial)
{
    for (const QChar c : Serial) {
        if (c.unicode() >= 0x80)
            return QByteArray();
    }
    return Serial.toLatin1();
}

std::string_view View(const QByteArray &Chars)
{
    return {Chars.constData(), size_t(Chars.size())};
}

} // namespace

bool TPlanRow::SetSerial(const QString &Serial)
{
    const QByteArray chars = AsciiSerial(Serial);
    if (chars.isEmpty() || chars.size() > qsizetype(sizeof FSerial))
        return false;
    std::copy(chars.cbegin(), chars.cend(), FSerial);
    FSerialSize = uint8_t(chars.size());
    return true;
}

TPlanLookup::TPlanLookup(const std::vector<TPlanRow> &Rows) : FOrder(Rows.size())
{
    for (size_t i = 0; i < Rows.size(); ++i)
        FOrder[i] = uint32_t(i);
    std::sort(FOrder.begin(), FOrder.end(),
              [&](uint32_t a, uint32_t b) { return Rows[a].SerialChars() < Rows[b].SerialChars(); });
}

qsizetype TPlanLookup::IndexOf(const std::vector<TPlanRow> &Rows, const QString &Serial) const
{
    const QByteArray chars = AsciiSerial(Serial);
    if (chars.isEmpty())
        return -1;
    const auto it =
        std::lower_bound(FOrder.cbegin(), FOrder.cend(), View(chars),
                         [&](uint32_t row, std::string_view s) { return Rows[row].SerialChars() < s; });
    return it != FOrder.cend() && Rows[*it].SerialChars() == View(chars) ? qsizetype(*it) : -1;
}

QString DroppedZeroHint(const std::vector<TPlanRow> &Rows, const QString &UnitSerial)
{
    const QByteArray unit = AsciiSerial(UnitSerial);
    const std::string_view bare = WithoutLeadingZeros(View(unit));
    if (unit.isEmpty() || bare == View(unit))
        return QString();
    for (const TPlanRow &row : Rows) {
        if (row.SerialChars() == bare)
            return QStringLiteral(
                       "the plan has %1 (line %2): a spreadsheet may have dropped its leading zero "
                       "(format the column as text)")
                .arg(row.Serial())
                .arg(row.Line);
    }
    return QString();
}
