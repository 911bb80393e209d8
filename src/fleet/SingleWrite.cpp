#include "fleet/SingleWrite.h"

#include "fleet/FleetLink.h"
#include "fleet/Journal.h"

bool OpenWriteJournal(TJournal &Journal, const QString &Path, QString &Error)
{
    if (Journal.Open(Path.isEmpty() ? TJournal::DefaultPath() : Path, Error))
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
