#include "cli/CliCommand.h"
#include "fleet/Journal.h"
#include "fleet/Report.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>

int RunReport(TCliContext &Context)
{
    const TCommandArgs &args = Context.Args;
    const QString format =
        args.Has(QStringLiteral("format")) ? args.Value(QStringLiteral("format")) : QStringLiteral("text");
    if (!QStringList{"text", "csv", "json", "html"}.contains(format))
        return Context.Usage(QStringLiteral("invalid format '%1': give text, csv, json or html").arg(format));
    // --json is --format json; any other format given with it is a contradiction.
    if (Context.Out.Json() && args.Has(QStringLiteral("format")) && format != QLatin1String("json"))
        return Context.Usage(
            QStringLiteral("--json prints JSON: it cannot be given with --format %1").arg(format));
    QDateTime since;
    if (args.Has(QStringLiteral("since")) && !ParseReportSince(args.Value(QStringLiteral("since")), since))
        return Context.Usage(
            QStringLiteral("invalid date '%1': give YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS[.fff]] in local time, "
                           "or followed by Z (UTC) or an offset +HH:MM, +HHMM or +HH (or -)")
                .arg(args.Value(QStringLiteral("since"))));

    const QString path =
        args.Has(QStringLiteral("journal")) ? args.Value(QStringLiteral("journal")) : TJournal::DefaultPath();
    std::vector<QJsonObject> entries;
    int skipped = 0;
    QString error;
    // Before the first write there is no journal yet: a report of no unit.
    const bool noJournalYet = !args.Has(QStringLiteral("journal")) && !QFileInfo::exists(path);
    if (!noJournalYet && !ReadJournal(path, entries, skipped, error)) {
        Context.Out.ErrorLine(error);
        return CliExitDevice;
    }
    if (skipped > 0)
        Context.Out.ErrorLine(
            QStringLiteral("%1: %2 skipped")
                .arg(path, skipped == 1
                               ? QStringLiteral("1 line that is no journal entry was")
                               : QStringLiteral("%1 lines that are no journal entry were").arg(skipped)));
    if (since.isValid()) {
        std::erase_if(entries, [&](const QJsonObject &e) {
            return QDateTime::fromString(e.value(QStringLiteral("time")).toString(), Qt::ISODate) < since;
        });
    }

    const std::vector<TReportUnit> units = GroupByUnit(entries);
    if (format == QLatin1String("json") || Context.Out.Json()) {
        QJsonObject report = ReportJson(units);
        report.insert(QStringLiteral("journal"), path);
        Context.Out.JsonLine(report);
    } else if (format == QLatin1String("csv")) {
        Context.Out.Text(ReportCsv(units));
    } else if (format == QLatin1String("html")) {
        Context.Out.Text(ReportHtml(units, QStringLiteral("Commissioning report, %1").arg(RecordTime())));
    } else {
        Context.Out.Text(ReportText(units));
    }
    return CliExitOk;
}
