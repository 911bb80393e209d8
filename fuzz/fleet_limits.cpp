// A limits file as a user hands it to `params --limits`: any bytes. An
// accepted file, judging a few parameter records (typical, extreme, powers
// without a value) for the general case and every type it names, marks only
// analogue values, each "low" or "high", and never a power without a value;
// the marks reach the text and JSON views; and the file's object written out
// and read again judges the same.

#include "FuzzCheck.h"
#include "fleet/JsonFile.h"
#include "fleet/Limits.h"
#include "fleet/RecordViews.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

const QStringList Analogues{"reversePower", "inputPowerA", "inputPowerB", "temperature",
                            "supply24V",    "supply15V",   "supply8V",    "transceiverSupply"};
const QStringList Powers{"reversePower", "inputPowerA", "inputPowerB"};

void CheckMarks(const TDeviceParams &Params, const QMap<QString, QString> &Alarms)
{
    const QJsonObject json = MarkedParamsJson(Params, Alarms);
    const std::vector<TShownField> fields = MarkedParamsFields(Params, Alarms);
    for (auto it = Alarms.begin(); it != Alarms.end(); ++it) {
        FUZZ_CHECK(Analogues.contains(it.key()));
        FUZZ_CHECK(it.value() == QLatin1String("low") || it.value() == QLatin1String("high"));
        FUZZ_CHECK(json.value(it.key()).toObject().value(QStringLiteral("alarm")).toString() == it.value());
        bool shown = false;
        for (const TShownField &f : fields)
            shown = shown || (f.Key == it.key() && f.Text.endsWith(QStringLiteral(" [%1]").arg(it.value())));
        FUZZ_CHECK(shown);
        if (Powers.contains(it.key()))
            FUZZ_CHECK(json.value(it.key()).toObject().value(QStringLiteral("raw")).toInt() != NoValueMarker);
    }
}

// Every slot set to Value (clamped to the wire's range), or to the bytes of
// no value.
TDeviceParams Uniform(int Value, bool NoValue = false)
{
    TDeviceParams params{};
    const TParamSlot slot = NoValue ? TParamSlot{0, 0xFF, 0xFF} : EncodeValue(Value);
    for (TParamSlot *s :
         {&params.ReversePower, &params.Supply8V, &params.TransceiverSupply, &params.Supply15V,
          &params.Supply24V, &params.InputPowerA, &params.InputPowerB, &params.Temperature})
        *s = slot;
    return params;
}

TDeviceParams Typical()
{
    TDeviceParams params = Uniform(0);
    params.ReversePower = EncodeValue(35);
    params.Supply8V = EncodeValue(81);
    params.TransceiverSupply = EncodeValue(500);
    params.Supply15V = EncodeValue(152);
    params.Supply24V = EncodeValue(240);
    params.InputPowerA = EncodeValue(-12);
    params.Temperature = EncodeValue(31);
    return params;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TDeviceParams Records[] = {Typical(), Uniform(0), Uniform(32767), Uniform(-32766),
                                            Uniform(0, true)};
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    QString why;
    const std::optional<QJsonObject> object = ParseJsonObject(bytes, why);
    if (!object)
        return 0;
    TLimits limits;
    const bool ok = limits.Read(*object, why);
    FUZZ_CHECK(ok == why.isEmpty());
    if (!ok)
        return 0;
    TLimits again;
    QString againWhy;
    const std::optional<QJsonObject> written =
        ParseJsonObject(QJsonDocument(*object).toJson(QJsonDocument::Compact), againWhy);
    FUZZ_CHECK(written && again.Read(*written, againWhy));

    QList<int> types{0};
    const QJsonObject byType = object->value(QStringLiteral("types")).toObject();
    // A few named types are enough: each is judged the same way.
    for (auto it = byType.begin(); it != byType.end() && types.size() < 8; ++it)
        types << it.key().trimmed().toInt();
    for (const TDeviceParams &params : Records) {
        for (const int type : types) {
            const QMap<QString, QString> alarms = limits.Check(params, type);
            FUZZ_CHECK(!limits.IsEmpty() || alarms.isEmpty());
            if (!alarms.isEmpty())
                CheckMarks(params, alarms);
            FUZZ_CHECK(again.Check(params, type) == alarms);
        }
    }
    return 0;
}
