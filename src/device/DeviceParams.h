#pragma once

#include <QLocale>
#include <QString>

#include <cstddef>
#include <cstdint>

// One analogue value of the parameter record: three bytes, the first unused,
// then sign-and-magnitude with the most significant byte first.
#pragma pack(push, 1)
struct TParamSlot {
    uint8_t Unused;
    uint8_t Hi; // bit 7: sign (1 = negative); bits 0..6: top of the magnitude
    uint8_t Lo;
};

// The device parameter record, the reply to command 3.
struct TDeviceParams {
    TParamSlot ReversePower;      // 0.1 dBm
    TParamSlot Supply8V;          // 0.1 V
    TParamSlot TransceiverSupply; // 0.01 V
    TParamSlot Supply15V;         // 0.1 V
    TParamSlot Supply24V;         // 0.1 V
    TParamSlot InputPowerA;       // 0.1 dBm
    TParamSlot InputPowerB;       // 0.1 dBm
    TParamSlot Temperature;       // 1 degree Celsius
    uint8_t LidState;             // 1 = open, anything else = closed
    uint8_t SwitchFlags;          // bit 0: output path B; bit 7: automatic switching
};
#pragma pack(pop)
static_assert(sizeof(TDeviceParams) == 26, "TDeviceParams is the 26-byte wire record");
static_assert(offsetof(TDeviceParams, Supply8V) == 3 && offsetof(TDeviceParams, InputPowerA) == 15 &&
                  offsetof(TDeviceParams, Temperature) == 21 && offsetof(TDeviceParams, LidState) == 24 &&
                  offsetof(TDeviceParams, SwitchFlags) == 25,
              "TDeviceParams's fields lie where the wire puts them");

// Sign and magnitude: (Hi & 0x7F) * 256 + Lo, negative when bit 7 of Hi is
// set. 80 00 gives 0.
int DecodeValue(uint8_t Hi, uint8_t Lo);
inline int DecodeValue(const TParamSlot &Slot)
{
    return DecodeValue(Slot.Hi, Slot.Lo);
}

// The value bytes FF FF: "no value", shown for the three powers.
inline constexpr int NoValueMarker = -32767;

// The inverse of DecodeValue for the simulator and the tests: Value clamped
// to -32767..32767; Unused is left zero.
TParamSlot EncodeValue(int Value);

// The eleven texts of the parameters window, in the order the window fills
// its boxes. Decimal separators follow Locale.
struct TParamsTexts {
    QString ReversePower; // "3.5dBm" or "无"
    QString InputPowerA;
    QString Temperature; // "25℃"
    QString InputPowerB;
    QString Supply24V; // "24.0V"
    QString Supply15V;
    QString TransceiverSupply; // "5.00V"
    QString Supply8V;
    QString LidState;   // "打开" / "闭合"
    QString OutputPath; // "B路" / "A路"
    QString SwitchMode; // "自动" / "手动"
};
TParamsTexts ParamsTexts(const TDeviceParams &Params, const QLocale &Locale = QLocale::system());

// Single texts, shared with other views of the record.
QString PowerText(const TParamSlot &Slot, const QLocale &Locale = QLocale::system());
QString VoltageText(const TParamSlot &Slot, int Decimals, const QLocale &Locale = QLocale::system());
QString TemperatureText(const TParamSlot &Slot);
QString LidText(uint8_t LidState);
QString PathText(uint8_t SwitchFlags);
QString ModeText(uint8_t SwitchFlags);
