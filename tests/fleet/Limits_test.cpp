#include "fleet/Limits.h"

#include "support/QtPrinters.h"
#include "support/SimLine.h"

#include <QFile>
#include <QJsonDocument>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A limits file as an editor may save it, and the faults a user can mend
// from the message alone: which key is unknown, on which line JSON breaks.
TEST(Limits, FilesAreReadAsSavedAndFaultsSayWhere)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("limits.json");
    QString error;
    auto load = [&](const QByteArray &Bytes) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(Bytes) == Bytes.size());
        f.close();
        error.clear();
        const bool ok = TLimits().Load(path, error);
        error.remove(path + ": ");
        return ok;
    };
    const QString text = "{\n  \"temperature\": {\"max\": 55}\n}\n";
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE})
        EXPECT_TRUE(load(QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(text)))
            << error.toStdString();

    const std::pair<QByteArray, QString> refused[] = {
        {QStringEncoder(QStringConverter::Utf16LE).encode(text),
         "line 1 holds a NUL character, as UTF-16 text without its byte-order mark would: save the file as "
         "UTF-8"},
        {"{\n  \"temperature\": {\"max\": 55}\n  \"supply8V\": {\"min\": 7}\n}\n",
         "not a JSON object (unterminated object on line 3)"},
        {R"({"temprature": {"max": 55}})",
         "unknown key 'temprature' (the values are reversePower, inputPowerA, inputPowerB, temperature, "
         "supply24V, supply15V, supply8V, transceiverSupply)"},
        {R"({"types": {"6": {"temperature": {"maximum": 55}}}})",
         "'temperature': unknown key 'maximum' (give \"min\" and/or \"max\")"},
    };
    for (const auto &[bytes, message] : refused) {
        EXPECT_FALSE(load(bytes)) << bytes.toStdString();
        EXPECT_EQ(error, message);
    }
}

// Which values are out of range: one on its limit is in, a type's own entry
// replaces the general one, a power without a value is never out; limits
// that cannot be applied are refused.
TEST(Limits, ValuesOutsideTheirLimitsAreMarkedForTheUnitsType)
{
    // 25 degrees, input power A 6.2 dBm, input power B none, 24.0 V.
    const TDeviceParams params = lumora::test::SampleUnit("0612345678").Params;
    auto read = [](const char *Json, TLimits &Limits, QString &Why) {
        return Limits.Read(QJsonDocument::fromJson(Json).object(), Why);
    };
    TLimits limits;
    QString why;
    ASSERT_TRUE(read(R"({"temperature": {"max": 24}, "inputPowerA": {"min": 6.2}, "inputPowerB": {"min": 0},
                         "supply24V": {"min": 24.5}, "types": {"6": {"temperature": {"min": -5, "max": 40}}}})",
                     limits, why))
        << why.toStdString();
    EXPECT_TRUE(limits.NeedsType());
    EXPECT_EQ(limits.Check(params, 5),
              (QMap<QString, QString>{{"supply24V", "low"}, {"temperature", "high"}}));
    EXPECT_EQ(limits.Check(params, 6), (QMap<QString, QString>{{"supply24V", "low"}}));

    for (const char *bad :
         {R"({"lid": {"max": 1}})", R"({"temperature": {"max": "hot"}})",
          R"({"temperature": {"min": 5, "max": 1}})", R"({"temperature": {}})", R"({"types": {"x": {}}})"}) {
        TLimits refused;
        why.clear();
        EXPECT_FALSE(read(bad, refused, why)) << bad;
        EXPECT_FALSE(why.isEmpty()) << bad;
    }
}

} // namespace
