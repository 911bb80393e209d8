#include "base/IntConv.h"
#include "cli/CliCommand.h"
#include "fleet/Csv.h"
#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/Limits.h"
#include "fleet/RecordViews.h"
#include "platform/process/InterruptWait.h"

#include <QLocale>

#include <chrono>
#include <cmath>

namespace {

using Clock = std::chrono::steady_clock;

QString CsvHeader()
{
    QStringList cells{QStringLiteral("time")};
    for (const TShownField &f : ParamsFields(TDeviceParams{}))
        cells << f.Key;
    return CsvRecord(cells).chopped(1);
}

QString CsvLine(const QString &time, const TDeviceParams &params, const QMap<QString, QString> &alarms)
{
    QStringList cells{time};
    for (const TShownField &f : MarkedParamsFields(params, alarms))
        cells << f.Text;
    return CsvRecord(cells).chopped(1);
}

// One reading of the parameters into Params; false with Why set when it
// failed. A lost line (the unit or its adapter was swapped) is opened anew by
// its name and read once more.
bool TakeReading(TFleetLink &Link, const QString &Port, TDeviceParams &Params, QString &Why)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const TRecordResult<TDeviceParams> read = Link.ReadByName<TDeviceParams>(Port, CmdReadParams, Why);
        if (read.Ok()) {
            Params = read.Record;
            return true;
        }
        if (!read.LineLost())
            return false;
    }
    return false;
}

} // namespace

int RunWatch(TCliContext &Context)
{
    double seconds = 1.0;
    if (Context.Args.Has(QStringLiteral("interval"))) {
        bool ok = false;
        seconds = QLocale::c().toDouble(Context.Args.Value(QStringLiteral("interval")), &ok);
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 86400)
            return Context.Usage(
                QStringLiteral("invalid interval '%1': give seconds above 0, such as 1 or 0.5")
                    .arg(Context.Args.Value(QStringLiteral("interval"))));
    }
    int32_t count = 0; // 0: until interrupted
    if (Context.Args.Has(QStringLiteral("count"))) {
        if (!TryStrToInt(Context.Args.Value(QStringLiteral("count")), count) || count < 1)
            return Context.Usage(QStringLiteral("invalid count '%1': give a number of readings, 1 or more")
                                     .arg(Context.Args.Value(QStringLiteral("count"))));
    }

    // Ctrl+C from here on ends the watch after the reading under way.
    TInterruptWait interrupt;
    TFleetLink link;
    TLimits limits;
    int type = 0;
    int exit = CliExitOk;
    if (!PrepareLimits(Context, link, limits, type, exit))
        return exit;

    const auto interval = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    if (!Context.Out.Json())
        Context.Out.Line(CsvHeader());
    bool anyFailed = false;
    bool anyAlarm = false;
    Clock::time_point next = Clock::now();
    for (int32_t reading = 0; count == 0 || reading < count; ++reading) {
        // Readings nobody can see are not taken.
        if (Context.Out.OutputFailed() || (reading > 0 && !interrupt.WaitUntil(next)))
            break;
        // The next reading starts one interval after this one; a reading that
        // took longer than that is followed at once, without catching up.
        next = std::max(next + interval, Clock::now());
        const QString time = RecordTime(Qt::ISODateWithMs);
        TDeviceParams params{};
        QString why;
        if (!TakeReading(link, Context.Global.Port, params, why)) {
            anyFailed = true;
            Context.Out.ErrorLine(time + QLatin1Char(' ') + why);
            continue;
        }
        const QMap<QString, QString> alarms = limits.Check(params, type);
        anyAlarm = anyAlarm || !alarms.isEmpty();
        if (Context.Out.Json())
            Context.Out.JsonLine(QJsonObject{{QStringLiteral("time"), time},
                                             {QStringLiteral("params"), MarkedParamsJson(params, alarms)}});
        else
            Context.Out.Line(CsvLine(time, params, alarms));
    }
    if (anyFailed)
        return CliExitDevice;
    return anyAlarm ? CliExitLimits : CliExitOk;
}
