#pragma once

#include "device/NetSettings.h"
#include "fleet/Plan.h"

#include <QString>

#include <optional>
#include <vector>

// The units of Rows done in an earlier run: by row, the settings the unit
// was left with, or none when it is not done. Done are those whose latest write in the journal at
// JournalPath succeeded ("verified", or "not verified" when the unit
// acknowledged it) with settings their plan row leaves as they are. A write
// that another unit answered counts against both units; a look that found a
// unit changed since done does not count. A journal that cannot be read
// gives none. Lookup is the rows' own.
std::vector<std::optional<TNetSettings>>
FindDoneEarlier(const QString &JournalPath, const std::vector<TPlanRow> &Rows, const TPlanLookup &Lookup);
