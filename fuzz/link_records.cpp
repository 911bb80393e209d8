// Any 84 bytes as a device information record and any 26 bytes as a
// parameter record: every formatter gives the text its contract fixes,
// checked against small references built from integer arithmetic.

#include "FuzzCheck.h"
#include "device/ComUnit.h"
#include "device/DeviceParams.h"
#include "device/EDFACom.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

QString Decimal(unsigned v)
{
    return QString::number(v);
}

void CheckInfo(const uint8_t *bytes)
{
    std::memcpy(&DeviceInfo, bytes, sizeof DeviceInfo);
    const TDeviceInfo &info = DeviceInfo;

    FUZZ_CHECK(VersionToStr(info.FirmwareVersion) == Decimal(bytes[11]) + '.' + Decimal(bytes[12]));
    FUZZ_CHECK(VersionToStr(info.HardwareVersion) == Decimal(bytes[13]) + '.' + Decimal(bytes[14]));
    const TLE32 *addresses[] = {&info.LocalAddr, &info.ServerAddr, &info.GatewayAddr, &info.SubnetMask};
    for (int a = 0; a < 4; ++a) {
        const uint8_t *b = bytes + 36 + 4 * a;
        FUZZ_CHECK(IPToStr(*addresses[a]) ==
                   QStringLiteral("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]));
    }

    // The serial number: all ten bytes, digits or not, wrap as stated.
    int d[11];
    for (int i = 1; i <= 10; ++i)
        d[i] = int(bytes[i]) - 48;
    const int b1 = (((10 * d[1] + d[2]) * 16 + 10 * d[3] + d[4]) % 256 + 256) % 256;
    const int v = ((10000 * d[6] + 1000 * d[7] + 100 * d[8] + 10 * d[9] + d[10]) % 65536 + 65536) % 65536;
    const QString mac = MacFromSerial(QByteArrayView(info.SerialNo, 10));
    FUZZ_CHECK(mac ==
               QStringLiteral("000808%1%2").arg(b1, 2, 16, QLatin1Char('0')).arg(v, 4, 16, QLatin1Char('0')));
    FUZZ_CHECK(MacFromSerial(QByteArrayView(info.SerialNo, 9)).isEmpty());

    // Texts end at the first zero byte and never run past their field.
    const QString update = UpdateTimeToStr();
    const auto *zero = static_cast<const uint8_t *>(std::memchr(bytes + 15, 0, 20));
    const int length = zero ? int(zero - (bytes + 15)) : 20;
    FUZZ_CHECK(update.size() <= length);
    FUZZ_CHECK(length > 0 || update.isEmpty());
    FUZZ_CHECK(RecordText(info.SerialNo, 10).size() <= 10);
    FUZZ_CHECK(RecordText(info.SerialNo, 0).isEmpty());

    FUZZ_CHECK(DeviceTypeName(info.DeviceType).isEmpty() == (info.DeviceType < 1 || info.DeviceType > 9));
}

// "%3.1f" of V / 10 (or "%3.2f" of V / 100) in integer arithmetic.
QString Fixed(int value, int decimals, QChar point)
{
    const int scale = decimals == 2 ? 100 : 10;
    const int magnitude = std::abs(value);
    return QStringLiteral("%1%2%3%4")
        .arg(value < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / scale)
        .arg(point)
        .arg(magnitude % scale, decimals, 10, QLatin1Char('0'));
}

void CheckParams(const uint8_t *bytes, const QLocale &locale)
{
    TDeviceParams params;
    std::memcpy(&params, bytes, sizeof params);
    const TParamsTexts t = ParamsTexts(params, locale);
    const QChar point = locale.decimalPoint().at(0);

    auto value = [bytes](int slot) {
        const uint8_t hi = bytes[3 * slot + 1];
        const uint8_t lo = bytes[3 * slot + 2];
        const int magnitude = (hi & 0x7F) << 8 | lo;
        return (hi & 0x80) ? -magnitude : magnitude;
    };
    auto power = [&](int slot) {
        return value(slot) == -32767 ? QStringLiteral("无")
                                     : Fixed(value(slot), 1, point) + QStringLiteral("dBm");
    };
    FUZZ_CHECK(t.ReversePower == power(0));
    FUZZ_CHECK(t.Supply8V == Fixed(value(1), 1, point) + 'V');
    FUZZ_CHECK(t.TransceiverSupply == Fixed(value(2), 2, point) + 'V');
    FUZZ_CHECK(t.Supply15V == Fixed(value(3), 1, point) + 'V');
    FUZZ_CHECK(t.Supply24V == Fixed(value(4), 1, point) + 'V');
    FUZZ_CHECK(t.InputPowerA == power(5));
    FUZZ_CHECK(t.InputPowerB == power(6));
    FUZZ_CHECK(t.Temperature == QString::number(value(7)) + QChar(0x2103));
    FUZZ_CHECK(t.LidState == (bytes[24] == 1 ? QStringLiteral("打开") : QStringLiteral("闭合")));
    FUZZ_CHECK(t.OutputPath == ((bytes[25] & 0x01) ? QStringLiteral("B路") : QStringLiteral("A路")));
    FUZZ_CHECK(t.SwitchMode == ((bytes[25] & 0x80) ? QStringLiteral("自动") : QStringLiteral("手动")));

    for (int slot = 0; slot < 8; ++slot) {
        const int v = value(slot);
        const TParamSlot encoded = EncodeValue(v);
        FUZZ_CHECK(DecodeValue(encoded) == v);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first 84 bytes are an information record, the next 26 a parameter
    // record; shorter inputs are padded with zero bytes.
    uint8_t bytes[84 + 26] = {};
    if (size > 0)
        std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    CheckInfo(bytes);
    // The decimal separator follows the locale: a point or a comma.
    static const QLocale comma(QLocale::German, QLocale::Germany);
    CheckParams(bytes + 84, size > 110 && (data[110] & 1) ? comma : QLocale::c());
    return 0;
}
