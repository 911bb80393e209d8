#pragma once

#include "device/NetSettings.h"
#include "fleet/Plan.h"

#include <QMap>
#include <QString>

#include <vector>

// The units of Rows done in an earlier run, by serial number, with the
// settings they were left with: those whose latest write in the journal at
// JournalPath succeeded ("verified", or "not verified" when the unit
// acknowledged it) with settings their plan row leaves as they are. A write
// that another unit answered counts against both units; a look that found a
// unit changed since done does not count. A journal that cannot be read
// gives none.
QMap<QString, TNetSettings> FindDoneEarlier(const QString &JournalPath, const std::vector<TPlanRow> &Rows);
