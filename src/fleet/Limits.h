#pragma once

#include "device/DeviceParams.h"

#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

// Limits on the analogue values of the parameter record, in the unit the
// value is shown in (dBm, V, degrees Celsius), read from a JSON file keyed by
// the names of `params --json`:
//   {"temperature": {"max": 55}, "inputPowerA": {"min": -3, "max": 10},
//    "types": {"5": {"inputPowerB": {"min": -3}}}}
// An entry under "types" (a device type code) replaces the general entry of
// the same name for units of that type.
class TLimits {
public:
    // False with Error set when the file cannot be read or does not parse:
    // not JSON, an unknown name, a limit that is not a number, min above max.
    bool Load(const QString &Path, QString &Error);
    // The same from the file's object; Why without the path.
    bool Read(const QJsonObject &Object, QString &Why);

    bool IsEmpty() const { return FGeneral.isEmpty() && FByType.isEmpty(); }
    // True when some limit holds for one device type only: the type has to
    // be read before the values can be judged.
    bool NeedsType() const { return !FByType.isEmpty(); }

    // For each value of Params that lies outside its limits: its name and
    // "low" or "high". A power without a value ("无") is never out of range.
    QMap<QString, QString> Check(const TDeviceParams &Params, int DeviceType) const;

private:
    struct TLimit {
        std::optional<double> Min, Max;
    };
    using TLimitSet = QMap<QString, TLimit>;
    static bool ReadSet(const QJsonObject &Object, TLimitSet &Set, QString &Error);

    TLimitSet FGeneral;
    QMap<int, TLimitSet> FByType;
};

// The parameter record's values with the out-of-range ones marked: in text
// " [low]" / " [high]" after the value, in JSON an "alarm" field ("low" or
// "high") beside "text" and "raw".
struct TShownField;
std::vector<TShownField> MarkedParamsFields(const TDeviceParams &Params,
                                            const QMap<QString, QString> &Alarms);
QJsonObject MarkedParamsJson(const TDeviceParams &Params, const QMap<QString, QString> &Alarms);
