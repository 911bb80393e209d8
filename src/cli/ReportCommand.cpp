#include "cli/CliCommand.h"
#include "fleet/Journal.h"
#include "fleet/Report.h"

#include <QDateTime>
#include <QFileInfo>

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

    QString error;
    const QString path = CommandJournalPath(Context, error);
    if (path.isEmpty()) {
        Context.Out.ErrorLine(error);
        return CliExitDevice;
    }
    // Before the first write there is no journal yet: a report of no unit.
    TJournalIndex journal;
    const bool noJournalYet = !args.Has(QStringLiteral("journal")) && !QFileInfo::exists(path);
    if (!noJournalYet && !journal.Read(path, since, error)) {
        Context.Out.ErrorLine(error);
        return CliExitDevice;
    }
    if (const int damaged = journal.Damaged(); damaged > 0)
        Context.Out.ErrorLine(
            QStringLiteral("%1: %2 skipped")
                .arg(path, damaged == 1
                               ? QStringLiteral("1 line that is no journal entry was")
                               : QStringLiteral("%1 lines that are no journal entry were").arg(damaged)));
    if (const int unknown = journal.Unknown(); unknown > 0)
        Context.Out.ErrorLine(
            QStringLiteral("%1: %2 skipped (written by a newer version?)")
                .arg(path, unknown == 1
                               ? QStringLiteral("1 entry of a kind this version does not know was")
                               : QStringLiteral("%1 entries of a kind this version does not know were")
                                     .arg(unknown)));

    // The report goes out in pieces of some kilobytes, never whole.
    QString pending;
    const TReportSink put = [&](const QString &Text) {
        pending += Text;
        if (pending.size() >= 32 * 1024) {
            Context.Out.Text(pending);
            pending.clear();
        }
    };
    if (format == QLatin1String("json") || Context.Out.Json())
        ReportJson(journal, path, put);
    else if (format == QLatin1String("csv"))
        ReportCsv(journal, put);
    else if (format == QLatin1String("html"))
        ReportHtml(journal, QStringLiteral("Commissioning report, %1").arg(Context.Fleet.Time()), put);
    else
        ReportText(journal, put);
    Context.Out.Text(pending);
    return CliExitOk;
}
