#include "cli/CommissionProgress.h"

#include "cli/CliOutput.h"
#include "fleet/Journal.h"

namespace {

// Erases the terminal line the cursor is on.
const QString ClearLine = QStringLiteral("\r\x1b[K");

} // namespace

TCommissionProgress::TCommissionProgress(TCliOutput &Out, int Total)
    : FOut(Out), FTotal(Total), FLive(!Out.Json() && Out.IsTerminal())
{
}

void TCommissionProgress::Event(const QString &Kind, const QString &Message, bool Lasting,
                                const QJsonObject &Fields)
{
    if (FOut.Json()) {
        QJsonObject object{{QStringLiteral("time"), RecordTime()},
                           {QStringLiteral("event"), Kind},
                           {QStringLiteral("done"), FDone},
                           {QStringLiteral("total"), FTotal},
                           {QStringLiteral("message"), Message}};
        for (auto it = Fields.begin(); it != Fields.end(); ++it)
            object.insert(it.key(), it.value());
        FOut.JsonLine(object);
        return;
    }
    const QString line = QStringLiteral("[%1/%2] %3").arg(FDone).arg(FTotal).arg(Message);
    if (!FLive) {
        FOut.Line(RecordTime() + QLatin1Char(' ') + line);
        return;
    }
    if (Lasting)
        FOut.Text(ClearLine + line + QLatin1Char('\n'));
    FDoing = Message;
    DrawLive();
}

void TCommissionProgress::DrawLive()
{
    const QString unit = FUnit.isEmpty() ? QStringLiteral("no unit") : FUnit;
    FOut.Text(ClearLine + QStringLiteral("done %1 of %2 | %3 | %4").arg(FDone).arg(FTotal).arg(unit, FDoing));
    FLiveShown = true;
}

void TCommissionProgress::Finish()
{
    if (FLiveShown)
        FOut.Text(QStringLiteral("\n"));
    FLiveShown = false;
}
