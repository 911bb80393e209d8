#include "fleet/Report.h"

#include "fleet/Csv.h"
#include "fleet/PlainText.h"
#include "fleet/RecordViews.h"
#include "fleet/SettingsEdit.h"
#include "fleet/WriteVerdict.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>

namespace {

QString Text(const QJsonObject &Object, const char *Key)
{
    const QJsonValue v = Object.value(QLatin1String(Key));
    if (v.isDouble())
        return QString::number(v.toDouble());
    return v.toString();
}

QString TypeText(const QJsonObject &Entry)
{
    const QJsonObject type = Entry.value(QStringLiteral("type")).toObject();
    const QString name = type.value(QStringLiteral("name")).toString();
    const QString code = QString::number(type.value(QStringLiteral("code")).toInt());
    return name.isEmpty() ? code : code + QLatin1Char(' ') + name;
}

QString ByText(const QJsonObject &Entry)
{
    return Text(Entry, "user") + QLatin1Char('@') + Text(Entry, "host");
}

QString SettingText(const QJsonObject &Settings, const QString &Key)
{
    const QJsonValue v = Settings.value(Key);
    if (v.isBool())
        return v.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    return v.toString();
}

// A write that did not leave the unit with what was sent, as far as is
// known (anything but a verified write or one acknowledged without a check),
// or a look that found the unit changed since.
bool WriteFailed(const QJsonObject &Entry)
{
    return !WriteSucceeded(Text(Entry, "verification"));
}

// The verdict with what it rests on: which unit answered in place of the
// one written, which fields changed since the unit was done.
QString VerdictText(const QJsonObject &Entry)
{
    QString verdict = Text(Entry, "verification");
    switch (ParseWriteVerdict(verdict).value_or(TWriteVerdict::NotSent)) {
    case TWriteVerdict::WrongUnit:
        return QStringLiteral("%1: %2 answered")
            .arg(verdict, Entry.value(QStringLiteral("answered"))
                              .toObject()
                              .value(QStringLiteral("serialNumber"))
                              .toString());
    case TWriteVerdict::ChangedSinceDone:
        return QStringLiteral("%1: %2").arg(verdict, Text(Entry, "changed"));
    default:
        return verdict;
    }
}

bool IsCheck(const QJsonObject &Entry)
{
    return Entry.value(QStringLiteral("stage")) == QLatin1String("check");
}

// A plain table: a header and rows of cells, with the row of each failed
// write marked, and which columns hold the time and the verdict.
struct TReportTable {
    QStringList Header;
    QList<QStringList> Rows;
    QList<bool> Failed; // per row
    qsizetype TimeColumn = -1;
    qsizetype VerdictColumn = -1;
};

// Widens Widths to the cells of Row as a terminal shows them.
void WidenColumns(QList<int> &Widths, const QStringList &Row)
{
    for (qsizetype i = 0; i < Row.size(); ++i) {
        const int width = DisplayWidth(OneLine(Row[i]));
        if (i < Widths.size())
            Widths[i] = std::max(Widths[i], width);
        else
            Widths << width;
    }
}

// A row with its columns padded to Widths, two blanks apart.
QString PaddedLine(QStringList Cells, const QList<int> &Widths, const QString &Indent)
{
    for (QString &cell : Cells)
        cell = OneLine(cell);
    QString text = Indent;
    for (qsizetype i = 0; i < Cells.size(); ++i)
        text += i + 1 < Cells.size() ? PadToWidth(Cells[i], Widths.value(i) + 2) : Cells[i];
    return text + QLatin1Char('\n');
}

// Columns padded to their widest cell as a terminal shows it.
QString PaddedTable(const TReportTable &Table, const QString &Indent)
{
    QList<int> widths;
    WidenColumns(widths, Table.Header);
    for (const QStringList &row : Table.Rows)
        WidenColumns(widths, row);
    QString text = PaddedLine(Table.Header, widths, Indent);
    for (const QStringList &row : Table.Rows)
        text += PaddedLine(row, widths, Indent);
    return text;
}

// Times stay on one line; a failed write's row is marked by its class and,
// for a black-and-white print, by a sign before its verdict.
QString HtmlHeader(const TReportTable &Table)
{
    QString html = QStringLiteral("<table>\n<tr>");
    for (const QString &h : Table.Header)
        html += QStringLiteral("<th>") + h.toHtmlEscaped() + QStringLiteral("</th>");
    return html + QStringLiteral("</tr>\n");
}

QString HtmlRow(const TReportTable &Table, const QStringList &Row, bool Failed)
{
    QString html = Failed ? QStringLiteral("<tr class=\"failed\">") : QStringLiteral("<tr>");
    for (qsizetype c = 0; c < Row.size(); ++c) {
        QString cell = Row[c].toHtmlEscaped();
        if (Failed && c == Table.VerdictColumn)
            cell = QStringLiteral("<span class=\"mark\">&#x2717; FAILED:</span> ") + cell;
        html += (c == Table.TimeColumn ? QStringLiteral("<td class=\"time\">") : QStringLiteral("<td>")) +
                cell + QStringLiteral("</td>");
    }
    return html + QStringLiteral("</tr>\n");
}

const QString HtmlTableEnd = QStringLiteral("</table>\n");

QString HtmlTable(const TReportTable &Table)
{
    QString html = HtmlHeader(Table);
    for (qsizetype r = 0; r < Table.Rows.size(); ++r)
        html += HtmlRow(Table, Table.Rows[r], Table.Failed.value(r));
    return html + HtmlTableEnd;
}

// The serial number as read from the unit, its control characters escaped.
QString UnitTitle(const TJournalUnit &Unit, const QJsonObject &Latest)
{
    return QStringLiteral("%1%2, %3")
        .arg(ControlsEscaped(Unit.Serial),
             Unit.Label.isEmpty() ? QString() : QStringLiteral(" (") + Unit.Label + QLatin1Char(')'),
             TypeText(Latest));
}

TReportTable SummaryHeader()
{
    TReportTable table;
    table.Header = QStringList{QStringLiteral("S/N"), QStringLiteral("Label"), QStringLiteral("Type")};
    for (const TShownField &f : NetworkFields(TNetSettings{}))
        table.Header << f.Label;
    table.TimeColumn = table.Header.size();
    table.VerdictColumn = table.TimeColumn + 2;
    table.Header << QStringLiteral("Written") << QStringLiteral("By") << QStringLiteral("Verdict")
                 << QStringLiteral("Writes");
    return table;
}

QStringList SummaryRow(const TJournalUnit &Unit, const QJsonObject &Latest)
{
    QStringList row{Unit.Serial, Unit.Label, TypeText(Latest)};
    const QJsonObject settings = LatestSettings(Latest);
    for (const TShownField &f : NetworkFields(TNetSettings{}))
        row << SettingText(settings, f.Key);
    row << Text(Latest, "time") << ByText(Latest) << VerdictText(Latest)
        << QString::number(Unit.Writes.size() - size_t(Unit.Checks));
    return row;
}

TReportTable HistoryTable(const std::vector<QJsonObject> &History)
{
    TReportTable table;
    table.Header = QStringList{QStringLiteral("Time"),   QStringLiteral("Command"), QStringLiteral("By"),
                               QStringLiteral("Port"),   QStringLiteral("Device"),  QStringLiteral("Change"),
                               QStringLiteral("Status"), QStringLiteral("Verdict")};
    table.TimeColumn = 0;
    table.VerdictColumn = table.Header.size() - 1;
    for (const QJsonObject &entry : History) {
        table.Failed << WriteFailed(entry);
        table.Rows << QStringList{
            Text(entry, "time"),
            Text(entry, "command"),
            ByText(entry),
            Text(entry, "port"),
            Text(entry, "device"),
            IsCheck(entry) ? SettingsChangeText(entry.value(QStringLiteral("expected")).toObject(),
                                                entry.value(QStringLiteral("found")).toObject())
                           : SettingsChangeText(entry.value(QStringLiteral("before")).toObject(),
                                                entry.value(QStringLiteral("written")).toObject()),
            entry.value(QStringLiteral("ack")).toObject().value(QStringLiteral("status")).toString(),
            VerdictText(entry)};
    }
    return table;
}

QString UnitCount(const TJournalIndex &Journal)
{
    return Counted(qsizetype(Journal.Units().size()), QStringLiteral("unit"), QStringLiteral("units"));
}

} // namespace

QJsonObject LatestSettings(const QJsonObject &Latest)
{
    if (IsCheck(Latest))
        return Latest.value(QStringLiteral("found")).toObject();
    const QJsonValue after = Latest.value(QStringLiteral("after"));
    if (after.isObject())
        return after.toObject();
    // Another unit answered the read-back: which of the two took the write
    // is not known.
    if (Text(Latest, "verification") == WriteVerdictText(TWriteVerdict::WrongUnit))
        return QJsonObject();
    // Without a read-back the unit holds what it acknowledged, or else what
    // it held before the write.
    const QJsonValue code = Latest.value(QStringLiteral("ack")).toObject().value(QStringLiteral("code"));
    const bool acknowledged = code.isDouble() && code.toInt() == 0;
    return Latest.value(acknowledged ? QStringLiteral("written") : QStringLiteral("before")).toObject();
}

bool ParseReportSince(const QString &Text, QDateTime &Since)
{
    static const QRegularExpression form(QStringLiteral(
        R"(^(\d{4}-\d\d-\d\d)(?:[Tt ](\d\d):(\d\d)(?::(\d\d)(?:\.(\d{1,9}))?)?(?:([Zz])|([+-])(\d\d)(?::?(\d\d))?)?)?$)"));
    Since = QDateTime();
    const QRegularExpressionMatch m = form.match(Text);
    if (!m.hasMatch())
        return false;
    const QDate date = QDate::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd"));
    if (m.capturedLength(2) == 0) {
        Since = date.startOfDay();
        return Since.isValid();
    }
    // Fractions of a second to the millisecond, as the tool prints them.
    const int millis = (m.captured(5) + QStringLiteral("00")).left(3).toInt();
    const QTime time(m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt(), millis);
    if (!date.isValid() || !time.isValid())
        return false;
    if (m.capturedLength(6) > 0) {
        Since = QDateTime(date, time, Qt::UTC);
    } else if (m.capturedLength(7) > 0) {
        const int hours = m.captured(8).toInt();
        const int minutes = m.captured(9).toInt();
        if (hours > 14 || minutes > 59)
            return false;
        const int offset = (hours * 3600 + minutes * 60) * (m.captured(7) == QLatin1String("-") ? -1 : 1);
        Since = QDateTime(date, time, Qt::OffsetFromUTC, offset);
    } else {
        Since = QDateTime(date, time);
    }
    return Since.isValid();
}

void ReportText(TJournalIndex &Journal, const TReportSink &Put)
{
    Put(UnitCount(Journal) + QStringLiteral("\n\n"));
    // The summary's columns fit its widest cells: one look at every row to
    // measure, a second to print.
    const TReportTable summary = SummaryHeader();
    QList<int> widths;
    WidenColumns(widths, summary.Header);
    auto row = [&](const TJournalUnit &Unit, const QJsonObject &Latest) {
        QStringList cells = SummaryRow(Unit, Latest);
        cells[0] = ControlsEscaped(cells[0]); // the serial number, as the unit gave it
        return cells;
    };
    for (const TJournalUnit &unit : Journal.Units())
        WidenColumns(widths, row(unit, Journal.Latest(unit)));
    Put(PaddedLine(summary.Header, widths, QString()));
    for (const TJournalUnit &unit : Journal.Units())
        Put(PaddedLine(row(unit, Journal.Latest(unit)), widths, QString()));
    for (const TJournalUnit &unit : Journal.Units()) {
        const std::vector<QJsonObject> history = Journal.History(unit);
        Put(QStringLiteral("\nHistory of %1:\n").arg(OneLine(UnitTitle(unit, history.back()))) +
            PaddedTable(HistoryTable(history), QStringLiteral("  ")));
    }
}

void ReportCsv(TJournalIndex &Journal, const TReportSink &Put)
{
    Put(CsvRecord(SummaryHeader().Header));
    for (const TJournalUnit &unit : Journal.Units())
        Put(CsvRecord(SummaryRow(unit, Journal.Latest(unit))));
}

void ReportJson(TJournalIndex &Journal, const QString &JournalPath, const TReportSink &Put)
{
    // The document {"journal": ..., "units": [...]} as QJsonDocument writes
    // it compact, one unit at a time.
    const QByteArray path = QJsonDocument(QJsonArray{JournalPath}).toJson(QJsonDocument::Compact);
    Put(QStringLiteral("{\"journal\":") + QString::fromUtf8(path.mid(1, path.size() - 2)) +
        QStringLiteral(",\"units\":["));
    bool first = true;
    for (const TJournalUnit &unit : Journal.Units()) {
        const std::vector<QJsonObject> history = Journal.History(unit);
        const QJsonObject &latest = history.back();
        QJsonArray writes;
        for (const QJsonObject &entry : history)
            writes.append(entry);
        const QJsonObject object{
            {QStringLiteral("serialNumber"), unit.Serial},
            {QStringLiteral("label"), unit.Label},
            {QStringLiteral("type"), latest.value(QStringLiteral("type"))},
            {QStringLiteral("settings"), LatestSettings(latest)},
            {QStringLiteral("time"), latest.value(QStringLiteral("time"))},
            {QStringLiteral("user"), latest.value(QStringLiteral("user"))},
            {QStringLiteral("host"), latest.value(QStringLiteral("host"))},
            {QStringLiteral("verification"), latest.value(QStringLiteral("verification"))},
            {QStringLiteral("history"), writes},
        };
        Put((first ? QString() : QStringLiteral(",")) +
            QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        first = false;
    }
    Put(QStringLiteral("]}\n"));
}

void ReportHtml(TJournalIndex &Journal, const QString &Title, const TReportSink &Put)
{
    Put(QStringLiteral(
            "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta "
            "charset=\"utf-8\">\n<title>%1</title>\n<style>\n"
            "body { font-family: sans-serif; font-size: 10pt; margin: 1.5em; }\n"
            "table { border-collapse: collapse; margin-bottom: 1.2em; }\n"
            "th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; vertical-align: top; }\n"
            "th { background: #eee; }\n"
            "td.time { white-space: nowrap; }\n"
            "tr.failed td { background: #fdd; }\n"
            ".mark { color: #b00; font-weight: bold; }\n"
            "h2 { font-size: 11pt; margin: 1em 0 0.3em; page-break-after: avoid; }\n"
            "@media print { body { margin: 0; } table { page-break-inside: auto; } tr { page-break-inside: "
            "avoid; } }\n"
            "</style>\n</head>\n<body>\n<h1>%1</h1>\n<p>%2</p>\n")
            .arg(Title.toHtmlEscaped(), UnitCount(Journal)));
    const TReportTable summary = SummaryHeader();
    Put(HtmlHeader(summary));
    for (const TJournalUnit &unit : Journal.Units()) {
        const QJsonObject latest = Journal.Latest(unit);
        QStringList cells = SummaryRow(unit, latest);
        cells[0] = ControlsEscaped(cells[0]);
        Put(HtmlRow(summary, cells, WriteFailed(latest)));
    }
    Put(HtmlTableEnd);
    for (const TJournalUnit &unit : Journal.Units()) {
        const std::vector<QJsonObject> history = Journal.History(unit);
        Put(QStringLiteral("<h2>History of %1</h2>\n").arg(UnitTitle(unit, history.back()).toHtmlEscaped()) +
            HtmlTable(HistoryTable(history)));
    }
    Put(QStringLiteral("</body>\n</html>\n"));
}
