#include "fleet/SingleWrite.h"

#include "fleet/FleetLink.h"
#include "fleet/Journal.h"

QString WriteJournalPath(const QString &Given, QString &Error)
{
    if (!Given.isEmpty())
        return Given;
    QString why;
    QString path = TJournal::DefaultPath(&why);
    if (path.isEmpty())
        Error = QStringLiteral(
                    "no folder for the journal: %1 (set HOME or XDG_STATE_HOME, or give --journal FILE)")
                    .arg(why);
    return path;
}

bool OpenWriteJournal(TJournal &Journal, const QString &Path, QString &Error)
{
    const QString path = WriteJournalPath(Path, Error);
    if (!path.isEmpty() && Journal.Open(path, Error))
        return true;
    Error += QStringLiteral("; nothing was sent");
    return false;
}

TSingleWriteResult RunSingleWrite(const TSingleWrite &Write, const TPrepareWrite &Prepare)
{
    TSingleWriteResult result;
    TJournal journal;
    QString error;
    if (!OpenWriteJournal(journal, Write.JournalPath, result.Message))
        return result;
    TPortChoice choice;
    if (!ResolvePortChoice(Write.Port, choice, error)) {
        result.Stage = TSingleWriteStage::PortName;
        result.Message = error;
        return result;
    }
    TFleetLink link;
    if (!link.OpenChoice(choice)) {
        result.Stage = TSingleWriteStage::Port;
        result.Message = link.Status().Text();
        result.DevicePath = choice.Path;
        return result;
    }
    TWriteRequest request;
    if (!link.ReadInfo(&request.Before, sizeof request.Before)) {
        result.Stage = TSingleWriteStage::Read;
        result.Message = link.Status().Text();
        return result;
    }
    result.Message = Prepare(request);
    if (!result.Message.isEmpty()) {
        result.Stage = TSingleWriteStage::Refused;
        return result;
    }
    request.Verify = Write.Verify;
    request.Command = Write.Command;
    result.Stage = TSingleWriteStage::Written;
    result.Outcome = WriteVerified(link, journal, request);
    result.PortName = link.PortName();
    result.StatusText = link.Status().Text();
    return result;
}
