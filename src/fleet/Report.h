#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// One unit as the journal knows it: its writes in the order they were made.
struct TReportUnit {
    QString Serial;
    std::vector<QJsonObject> History;

    const QJsonObject &Latest() const { return History.back(); }
    // The settings the unit holds after its latest write: as read back, or
    // as sent when there was no read-back.
    QJsonObject LatestSettings() const;
    // The latest label a plan gave the unit.
    QString Label() const;
};

// The journal's entries grouped by serial number, units in the order of
// their first write.
std::vector<TReportUnit> GroupByUnit(const std::vector<QJsonObject> &Entries);

// A plain table: a header and rows of cells.
struct TReportTable {
    QStringList Header;
    QList<QStringList> Rows;
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
