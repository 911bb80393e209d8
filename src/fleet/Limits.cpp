#include "fleet/Limits.h"

#include "base/IntConv.h"
#include "fleet/JsonFile.h"
#include "fleet/RecordViews.h"

#include <cmath>

namespace {

// The analogue values: their name, slot and the steps per shown unit.
struct TAnalogue {
    const char *Name;
    TParamSlot TDeviceParams::*Slot;
    double Scale;
    bool Power; // may carry the no-value marker
};

const TAnalogue Analogues[] = {
    {"reversePower", &TDeviceParams::ReversePower, 10, true},
    {"inputPowerA", &TDeviceParams::InputPowerA, 10, true},
    {"inputPowerB", &TDeviceParams::InputPowerB, 10, true},
    {"temperature", &TDeviceParams::Temperature, 1, false},
    {"supply24V", &TDeviceParams::Supply24V, 10, false},
    {"supply15V", &TDeviceParams::Supply15V, 10, false},
    {"supply8V", &TDeviceParams::Supply8V, 10, false},
    {"transceiverSupply", &TDeviceParams::TransceiverSupply, 100, false},
};

const TAnalogue *AnalogueOf(const QString &Name)
{
    for (const TAnalogue &a : Analogues) {
        if (Name == QLatin1String(a.Name))
            return &a;
    }
    return nullptr;
}

} // namespace

bool TLimits::ReadSet(const QJsonObject &Object, TLimitSet &Set, QString &Error)
{
    for (auto it = Object.begin(); it != Object.end(); ++it) {
        if (!AnalogueOf(it.key())) {
            QStringList names;
            for (const TAnalogue &a : Analogues)
                names << QLatin1String(a.Name);
            Error = QStringLiteral("unknown key '%1' (the values are %2)").arg(it.key(), names.join(u", "));
            return false;
        }
        const QJsonObject entry = it.value().toObject();
        TLimit limit;
        for (auto field = entry.begin(); field != entry.end(); ++field) {
            const bool isMin = field.key() == QLatin1String("min");
            if (!isMin && field.key() != QLatin1String("max")) {
                Error = QStringLiteral("'%1': unknown key '%2' (give \"min\" and/or \"max\")")
                            .arg(it.key(), field.key());
                return false;
            }
            if (!field.value().isDouble()) {
                Error = QStringLiteral("'%1': give \"min\" and/or \"max\" as numbers").arg(it.key());
                return false;
            }
            (isMin ? limit.Min : limit.Max) = field.value().toDouble();
        }
        if (!it.value().isObject() || (!limit.Min && !limit.Max) ||
            (limit.Min && limit.Max && *limit.Min > *limit.Max)) {
            Error = QStringLiteral("'%1': give \"min\" and/or \"max\", min not above max").arg(it.key());
            return false;
        }
        Set.insert(it.key(), limit);
    }
    return true;
}

bool TLimits::Load(const QString &Path, QString &Error)
{
    const std::optional<QJsonObject> object = ReadJsonObjectFile(Path, Error);
    if (!object)
        return false;
    QString why;
    if (!Read(*object, why)) {
        Error = Path + QStringLiteral(": ") + why;
        return false;
    }
    return true;
}

bool TLimits::Read(const QJsonObject &Object, QString &Why)
{
    QJsonObject general = Object;
    const QJsonValue types = general.take(QStringLiteral("types"));
    if (!ReadSet(general, FGeneral, Why))
        return false;
    if (!types.isUndefined() && !types.isObject()) {
        Why = QStringLiteral("\"types\" must map device type codes to limits");
        return false;
    }
    const QJsonObject byType = types.toObject();
    for (auto it = byType.begin(); it != byType.end(); ++it) {
        int32_t code = 0;
        if (!TryStrToInt(it.key(), code) || code < 0 || code > 255 || !it.value().isObject()) {
            Why = QStringLiteral("\"types\": '%1' is not a device type code (0 to 255) with limits")
                      .arg(it.key());
            return false;
        }
        if (!ReadSet(it.value().toObject(), FByType[code], Why))
            return false;
    }
    return true;
}

QMap<QString, QString> TLimits::Check(const TDeviceParams &Params, int DeviceType) const
{
    TLimitSet limits = FGeneral;
    const TLimitSet specific = FByType.value(DeviceType);
    for (auto it = specific.begin(); it != specific.end(); ++it)
        limits.insert(it.key(), it.value());
    QMap<QString, QString> alarms;
    for (auto it = limits.begin(); it != limits.end(); ++it) {
        const TAnalogue *a = AnalogueOf(it.key());
        const int raw = DecodeValue(Params.*(a->Slot));
        if (a->Power && raw == NoValueMarker)
            continue;
        const double value = raw / a->Scale;
        if (it->Min && value < *it->Min)
            alarms.insert(it.key(), QStringLiteral("low"));
        else if (it->Max && value > *it->Max)
            alarms.insert(it.key(), QStringLiteral("high"));
    }
    return alarms;
}

std::vector<TShownField> MarkedParamsFields(const TDeviceParams &Params, const QMap<QString, QString> &Alarms)
{
    std::vector<TShownField> fields = ParamsFields(Params);
    for (TShownField &f : fields) {
        if (Alarms.contains(f.Key))
            f.Text += QStringLiteral(" [%1]").arg(Alarms.value(f.Key));
    }
    return fields;
}

QJsonObject MarkedParamsJson(const TDeviceParams &Params, const QMap<QString, QString> &Alarms)
{
    QJsonObject object = ParamsJson(Params);
    for (auto it = Alarms.begin(); it != Alarms.end(); ++it) {
        QJsonObject value = object.value(it.key()).toObject();
        value.insert(QStringLiteral("alarm"), it.value());
        object.insert(it.key(), value);
    }
    return object;
}
