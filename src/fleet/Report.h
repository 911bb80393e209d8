#pragma once

#include "fleet/JournalIndex.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <vector>

// The settings a unit holds after its Latest entry: as read back; as sent
// when it acknowledged the write without a read-back; none known when another
// unit answered the read-back; else as it held them before the write. After a
// check: as the check found them.
QJsonObject LatestSettings(const QJsonObject &Latest);

// Where the report goes, piece by piece: the report of a long journal is
// never held whole.
using TReportSink = std::function<void(const QString &Text)>;

// --since: a date (from its local midnight) or a date and time to the minute,
// second or fraction of a second (as the journal and watch print them),
// separated by T, t or a blank; local time, or UTC with Z or z, or with an
// offset +HH:MM, +HHMM or +HH (or -); the whole text, with real times only
// (25:00 or trailing text is no time). False when it is none.
bool ParseReportSince(const QString &Text, QDateTime &Since);

// The report of the journal in each of its forms. JSON is one line:
// {"journal": JournalPath, "units": [...]}.
void ReportText(TJournalIndex &Journal, const TReportSink &Put);
void ReportCsv(TJournalIndex &Journal, const TReportSink &Put);
void ReportJson(TJournalIndex &Journal, const QString &JournalPath, const TReportSink &Put);
// One self-contained HTML page (styles inline, nothing fetched), printable;
// every text from the journal is escaped.
void ReportHtml(TJournalIndex &Journal, const QString &Title, const TReportSink &Put);
