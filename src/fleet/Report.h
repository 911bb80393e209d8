#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// One unit as the journal knows it: its writes, and the looks that found it
// changed since it was done ("stage" "check"), in the order they were made.
struct TReportUnit {
    QString Serial;
    std::vector<QJsonObject> History;

    const QJsonObject &Latest() const { return History.back(); }
    // The settings the unit holds after its latest write: as read back; as
    // sent when it acknowledged the write without a read-back; none known
    // when another unit answered the read-back; else as it held them before
    // the write. After a check: as the check found them.
    QJsonObject LatestSettings() const;
    // The latest label a plan gave the unit.
    QString Label() const;
};

// --since: a date (from its local midnight) or a date and time to the minute,
// second or fraction of a second (as the journal and watch print them),
// separated by T, t or a blank; local time, or UTC with Z or z, or with an
// offset +HH:MM, +HHMM or +HH (or -); the whole text, with real times only
// (25:00 or trailing text is no time). False when it is none.
bool ParseReportSince(const QString &Text, QDateTime &Since);

// The journal's entries grouped by serial number, units in the order of
// their first write.
std::vector<TReportUnit> GroupByUnit(const std::vector<QJsonObject> &Entries);

// A plain table: a header and rows of cells, with the row of each failed
// write marked, and which columns hold the time and the verdict.
struct TReportTable {
    QStringList Header;
    QList<QStringList> Rows;
    QList<bool> Failed; // per row
    qsizetype TimeColumn = -1;
    qsizetype VerdictColumn = -1;
};

// One row per unit: serial, label, type, the latest settings, when, by whom
// and the verdict.
TReportTable SummaryTable(const std::vector<TReportUnit> &Units);
// The writes of one unit.
TReportTable HistoryTable(const TReportUnit &Unit);

// The report in each of its forms.
QString ReportText(const std::vector<TReportUnit> &Units);
QString ReportCsv(const std::vector<TReportUnit> &Units);
QJsonObject ReportJson(const std::vector<TReportUnit> &Units);
// One self-contained HTML page (styles inline, nothing fetched), printable;
// every text from the journal is escaped.
QString ReportHtml(const std::vector<TReportUnit> &Units, const QString &Title);
