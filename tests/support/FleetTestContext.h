#pragma once

#include "fleet/FleetContext.h"

#include <QDir>
#include <QTimeZone>

namespace lumora::test {

// Surroundings of the commissioning library that are a test's own: the
// settings store, port folders and journal folder under Folder, a clock
// standing at 2026-12-08T09:15:02+01:00, user "tester" on host "bench".
inline TFleetContext FleetTestContext(const QString &Folder)
{
    return {QDir(Folder).filePath(QStringLiteral("ComSetup.INI")),
            TPortScanRoots::Under(QDir(Folder).filePath(QStringLiteral("root"))),
            Folder,
            QString(),
            [] { return QDateTime(QDate(2026, 12, 8), QTime(9, 15, 2), QTimeZone(3600)); },
            QStringLiteral("tester"),
            QStringLiteral("bench")};
}

} // namespace lumora::test
