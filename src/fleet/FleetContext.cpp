#include "fleet/FleetContext.h"

#include "platform/files/UserPlaces.h"
#include "platform/store/SettingsStore.h"

#include <QDir>
#include <QSysInfo>

TFleetContext TFleetContext::FromEnvironment()
{
    TFleetContext context{TSettingsStore::DefaultPath(),
                          TPortScanRoots::FromEnvironment(),
                          QString(),
                          QString(),
                          [] { return QDateTime::currentDateTime(); },
                          LoginName(),
                          QSysInfo::machineHostName()};
    context.JournalFolder = UserStateFolder(&context.JournalFolderFault);
    return context;
}

QString TFleetContext::JournalPath(QString *Why) const
{
    if (JournalFolder.isEmpty()) {
        if (Why)
            *Why = JournalFolderFault;
        return QString();
    }
    return QDir::toNativeSeparators(QDir(JournalFolder).filePath(QStringLiteral("journal.jsonl")));
}

QString TFleetContext::Time(Qt::DateFormat Format) const
{
    const QDateTime now = Clock ? Clock() : QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Format);
}
