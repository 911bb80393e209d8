#include "fleet/Report.h"

#include "fleet/Csv.h"
#include "fleet/PlainText.h"
#include "fleet/RecordViews.h"
#include "fleet/SettingsEdit.h"
#include "fleet/WriteVerdict.h"

#include <QJsonArray>
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
    const QString verdict = Text(Entry, "verification");
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

// Columns padded to their widest cell as a terminal shows it, two blanks
// apart.
QString PaddedTable(const TReportTable &Table, const QString &Indent)
{
    QList<int> widths;
    for (const QString &h : Table.Header)
        widths << DisplayWidth(h);
    for (const QStringList &row : Table.Rows) {
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], DisplayWidth(OneLine(row[i])));
    }
    auto line = [&](QStringList cells) {
        for (QString &cell : cells)
            cell = OneLine(cell);
        QString text = Indent;
        for (qsizetype i = 0; i < cells.size(); ++i)
            text += i + 1 < cells.size() ? PadToWidth(cells[i], widths[i] + 2) : cells[i];
        return text + QLatin1Char('\n');
    };
    QString text = line(Table.Header);
    for (const QStringList &row : Table.Rows)
        text += line(row);
    return text;
}

// Times stay on one line; a failed write's row is marked by its class and,
// for a black-and-white print, by a sign before its verdict.
QString HtmlTable(const TReportTable &Table)
{
    QString html = QStringLiteral("<table>\n<tr>");
    for (const QString &h : Table.Header)
        html += QStringLiteral("<th>") + h.toHtmlEscaped() + QStringLiteral("</th>");
    html += QStringLiteral("</tr>\n");
    for (qsizetype r = 0; r < Table.Rows.size(); ++r) {
        const bool failed = Table.Failed.value(r);
        html += failed ? QStringLiteral("<tr class=\"failed\">") : QStringLiteral("<tr>");
        const QStringList &row = Table.Rows[r];
        for (qsizetype c = 0; c < row.size(); ++c) {
            QString cell = row[c].toHtmlEscaped();
            if (failed && c == Table.VerdictColumn)
                cell = QStringLiteral("<span class=\"mark\">&#x2717; FAILED:</span> ") + cell;
            html += (c == Table.TimeColumn ? QStringLiteral("<td class=\"time\">") : QStringLiteral("<td>")) +
                    cell + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

QString UnitTitle(const TReportUnit &Unit)
{
    const QString label = Unit.Label();
    return QStringLiteral("%1%2, %3")
        .arg(Unit.Serial, label.isEmpty() ? QString() : QStringLiteral(" (") + label + QLatin1Char(')'),
             TypeText(Unit.Latest()));
}

} // namespace

QJsonObject TReportUnit::LatestSettings() const
{
    const QJsonObject &latest = Latest();
    if (IsCheck(latest))
        return latest.value(QStringLiteral("found")).toObject();
    const QJsonValue after = latest.value(QStringLiteral("after"));
    if (after.isObject())
        return after.toObject();
    // Another unit answered the read-back: which of the two took the write
    // is not known.
    if (Text(latest, "verification") == WriteVerdictText(TWriteVerdict::WrongUnit))
        return QJsonObject();
    // Without a read-back the unit holds what it acknowledged, or else what
    // it held before the write.
    const QJsonValue code = latest.value(QStringLiteral("ack")).toObject().value(QStringLiteral("code"));
    const bool acknowledged = code.isDouble() && code.toInt() == 0;
    return latest.value(acknowledged ? QStringLiteral("written") : QStringLiteral("before")).toObject();
}

QString TReportUnit::Label() const
{
    QString label;
    for (const QJsonObject &entry : History) {
        if (const QString given = Text(entry, "label"); !given.isEmpty())
            label = given;
    }
    return label;
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

std::vector<TReportUnit> GroupByUnit(const std::vector<QJsonObject> &Entries)
{
    std::vector<TReportUnit> units;
    for (const QJsonObject &entry : Entries) {
        const QString serial = Text(entry, "serialNumber");
        auto unit = std::find_if(units.begin(), units.end(),
                                 [&](const TReportUnit &u) { return u.Serial == serial; });
        if (unit == units.end())
            unit = units.insert(units.end(), TReportUnit{serial, {}});
        unit->History.push_back(entry);
    }
    return units;
}

TReportTable SummaryTable(const std::vector<TReportUnit> &Units)
{
    TReportTable table;
    table.Header = QStringList{QStringLiteral("S/N"), QStringLiteral("Label"), QStringLiteral("Type")};
    const std::vector<TShownField> network = NetworkFields(TNetSettings{});
    for (const TShownField &f : network)
        table.Header << f.Label;
    table.TimeColumn = table.Header.size();
    table.VerdictColumn = table.TimeColumn + 2;
    table.Header << QStringLiteral("Written") << QStringLiteral("By") << QStringLiteral("Verdict")
                 << QStringLiteral("Writes");
    for (const TReportUnit &unit : Units) {
        const QJsonObject &latest = unit.Latest();
        QStringList row{unit.Serial, unit.Label(), TypeText(latest)};
        const QJsonObject settings = unit.LatestSettings();
        for (const TShownField &f : network)
            row << SettingText(settings, f.Key);
        row << Text(latest, "time") << ByText(latest) << VerdictText(latest)
            << QString::number(std::count_if(unit.History.begin(), unit.History.end(),
                                             [](const QJsonObject &e) { return !IsCheck(e); }));
        table.Rows << row;
        table.Failed << WriteFailed(latest);
    }
    return table;
}

TReportTable HistoryTable(const TReportUnit &Unit)
{
    TReportTable table;
    table.Header = QStringList{QStringLiteral("Time"),   QStringLiteral("Command"), QStringLiteral("By"),
                               QStringLiteral("Port"),   QStringLiteral("Device"),  QStringLiteral("Change"),
                               QStringLiteral("Status"), QStringLiteral("Verdict")};
    table.TimeColumn = 0;
    table.VerdictColumn = table.Header.size() - 1;
    for (const QJsonObject &entry : Unit.History) {
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

QString ReportText(const std::vector<TReportUnit> &Units)
{
    QString text = Counted(qsizetype(Units.size()), QStringLiteral("unit"), QStringLiteral("units")) +
                   QStringLiteral("\n\n") + PaddedTable(SummaryTable(Units), QString());
    for (const TReportUnit &unit : Units)
        text += QStringLiteral("\nHistory of %1:\n").arg(OneLine(UnitTitle(unit))) +
                PaddedTable(HistoryTable(unit), QStringLiteral("  "));
    return text;
}

QString ReportCsv(const std::vector<TReportUnit> &Units)
{
    const TReportTable table = SummaryTable(Units);
    QString text = CsvRecord(table.Header);
    for (const QStringList &row : table.Rows)
        text += CsvRecord(row);
    return text;
}

QJsonObject ReportJson(const std::vector<TReportUnit> &Units)
{
    QJsonArray units;
    for (const TReportUnit &unit : Units) {
        const QJsonObject &latest = unit.Latest();
        QJsonArray history;
        for (const QJsonObject &entry : unit.History)
            history.append(entry);
        units.append(QJsonObject{
            {QStringLiteral("serialNumber"), unit.Serial},
            {QStringLiteral("label"), unit.Label()},
            {QStringLiteral("type"), latest.value(QStringLiteral("type"))},
            {QStringLiteral("settings"), unit.LatestSettings()},
            {QStringLiteral("time"), latest.value(QStringLiteral("time"))},
            {QStringLiteral("user"), latest.value(QStringLiteral("user"))},
            {QStringLiteral("host"), latest.value(QStringLiteral("host"))},
            {QStringLiteral("verification"), latest.value(QStringLiteral("verification"))},
            {QStringLiteral("history"), history},
        });
    }
    return QJsonObject{{QStringLiteral("units"), units}};
}

QString ReportHtml(const std::vector<TReportUnit> &Units, const QString &Title)
{
    QString html =
        QStringLiteral(
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
            .arg(Title.toHtmlEscaped(),
                 Counted(qsizetype(Units.size()), QStringLiteral("unit"), QStringLiteral("units")));
    html += HtmlTable(SummaryTable(Units));
    for (const TReportUnit &unit : Units)
        html += QStringLiteral("<h2>History of %1</h2>\n").arg(UnitTitle(unit).toHtmlEscaped()) +
                HtmlTable(HistoryTable(unit));
    return html + QStringLiteral("</body>\n</html>\n");
}
