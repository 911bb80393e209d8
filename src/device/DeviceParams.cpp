#include "DeviceParams.h"

#include <algorithm>
#include <cstdlib>

namespace {

// printf's "%3.1f" / "%3.2f" of Value / 10^Decimals with the locale's
// decimal separator.
QString Fixed(int Value, int Decimals, const QLocale &Locale)
{
    const double scaled = Decimals == 2 ? double(int16_t(Value)) / 100.0 : double(int16_t(Value)) / 10.0;
    QString text = QString::asprintf(Decimals == 2 ? "%3.2f" : "%3.1f", scaled);
    return text.replace(QLatin1Char('.'), Locale.decimalPoint());
}

} // namespace

int DecodeValue(uint8_t Hi, uint8_t Lo)
{
    const int magnitude = (Hi & 0x7F) * 256 + Lo;
    return (Hi & 0x80) ? -magnitude : magnitude;
}

TParamSlot EncodeValue(int Value)
{
    const int clamped = std::clamp(Value, -32767, 32767);
    const int magnitude = std::abs(clamped);
    return TParamSlot{0, uint8_t((magnitude >> 8) | (clamped < 0 ? 0x80 : 0)), uint8_t(magnitude & 0xFF)};
}

QString PowerText(const TParamSlot &Slot, const QLocale &Locale)
{
    const int v = DecodeValue(Slot);
    if (uint16_t(v) == 0x8001)
        return QStringLiteral("无");
    return Fixed(v, 1, Locale) + QStringLiteral("dBm");
}

QString VoltageText(const TParamSlot &Slot, int Decimals, const QLocale &Locale)
{
    return Fixed(DecodeValue(Slot), Decimals, Locale) + QStringLiteral("V");
}

QString TemperatureText(const TParamSlot &Slot)
{
    return QString::number(DecodeValue(Slot)) + QStringLiteral("℃");
}

QString LidText(uint8_t LidState)
{
    return LidState == 1 ? QStringLiteral("打开") : QStringLiteral("闭合");
}

QString PathText(uint8_t SwitchFlags)
{
    return (SwitchFlags & 0x01) ? QStringLiteral("B路") : QStringLiteral("A路");
}

QString ModeText(uint8_t SwitchFlags)
{
    return (SwitchFlags & 0x80) ? QStringLiteral("自动") : QStringLiteral("手动");
}

TParamsTexts ParamsTexts(const TDeviceParams &Params, const QLocale &Locale)
{
    TParamsTexts t;
    t.ReversePower = PowerText(Params.ReversePower, Locale);
    t.InputPowerA = PowerText(Params.InputPowerA, Locale);
    t.Temperature = TemperatureText(Params.Temperature);
    t.InputPowerB = PowerText(Params.InputPowerB, Locale);
    t.Supply24V = VoltageText(Params.Supply24V, 1, Locale);
    t.Supply15V = VoltageText(Params.Supply15V, 1, Locale);
    t.TransceiverSupply = VoltageText(Params.TransceiverSupply, 2, Locale);
    t.Supply8V = VoltageText(Params.Supply8V, 1, Locale);
    t.LidState = LidText(Params.LidState);
    t.OutputPath = PathText(Params.SwitchFlags);
    t.SwitchMode = ModeText(Params.SwitchFlags);
    return t;
}
