#pragma once

#include "platform/serial/PortMap.h"

#include <QDateTime>
#include <QString>

#include <functional>

// What the commissioning library takes from its surroundings: the settings
// store, where port names lead, where the journal is kept, the time, and who
// works on which machine. A front end fills it once (FromEnvironment); the
// library reads nothing of the kind by itself, so a test can give it places
// and a clock of its own.
struct TFleetContext {
    QString StorePath;          // the per-user settings store (stored port, port mapping)
    TPortScanRoots Roots;       // the folders port names are resolved against
    QString JournalFolder;      // the default journal's folder
    QString JournalFolderFault; // why there is none (JournalFolder empty)
    std::function<QDateTime()> Clock;
    QString User; // login name
    QString Host; // host name

    // The user's own: TSettingsStore::DefaultPath(), the port roots of the
    // environment, UserStateFolder(), the system clock, the login and host
    // names.
    static TFleetContext FromEnvironment();

    // journal.jsonl in JournalFolder, in the system's notation. Empty, with
    // Why (when given) saying why, when there is no folder.
    QString JournalPath(QString *Why = nullptr) const;
    // The clock's time with its UTC offset: 2026-12-08T09:15:02+01:00; with
    // Qt::ISODateWithMs to the millisecond.
    QString Time(Qt::DateFormat Format = Qt::ISODate) const;
};
