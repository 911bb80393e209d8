#include "fleet/RecordViews.h"

#include "device/ComUnit.h"
#include "device/NetSettings.h"

#include <QJsonValue>

#include <cstring>

namespace {

// The device type as text: "6 EDFA(Single)", or only the code when the code
// names no type.
QString TypeText(uint8_t code)
{
    const QString name = DeviceTypeName(code);
    return name.isEmpty() ? QString::number(code) : QStringLiteral("%1 %2").arg(code).arg(name);
}

QString OnOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

uint32_t AddressOf(const uint8_t (&bytes)[4])
{
    // IPToStr takes the address as the record holds it: first number in the
    // lowest byte.
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

} // namespace

std::vector<TShownField> IdentityFields(const TDeviceInfo &Info)
{
    return {
        {QStringLiteral("type"), QStringLiteral("Type"), TypeText(Info.DeviceType)},
        {QStringLiteral("serialNumber"), QStringLiteral("S/N"),
         RecordText(Info.SerialNo, sizeof Info.SerialNo)},
        {QStringLiteral("mac"), QStringLiteral("MAC ADDR"),
         MacFromSerial(QByteArrayView(Info.SerialNo, sizeof Info.SerialNo))},
        {QStringLiteral("hardwareVersion"), QStringLiteral("HW version"), VersionToStr(Info.HardwareVersion)},
        {QStringLiteral("firmwareVersion"), QStringLiteral("FW version"), VersionToStr(Info.FirmwareVersion)},
        {QStringLiteral("updateTime"), QStringLiteral("Firmware update time"),
         RecordText(Info.UpdateTime, sizeof Info.UpdateTime)},
    };
}

QString UnitSerial(const TDeviceInfo &Info)
{
    return RecordText(Info.SerialNo, sizeof Info.SerialNo).trimmed();
}

QString ShownSerial(const TDeviceInfo &Info)
{
    const QString serial = RecordText(Info.SerialNo, sizeof Info.SerialNo);
    return serial == serial.trimmed() ? serial : QLatin1Char('"') + serial + QLatin1Char('"');
}

std::vector<TShownField> NetworkFields(const TNetSettings &Settings)
{
    return {
        {QStringLiteral("dhcp"), QStringLiteral("DHCP Enable"), OnOff(Settings.DhcpFlag == 1)},
        {QStringLiteral("localIp"), QStringLiteral("Local IP"), IPToStr(AddressOf(Settings.LocalAddr))},
        {QStringLiteral("serverIp"), QStringLiteral("Server IP"), IPToStr(AddressOf(Settings.ServerAddr))},
        {QStringLiteral("gatewayIp"), QStringLiteral("Gateway IP"), IPToStr(AddressOf(Settings.GatewayAddr))},
        {QStringLiteral("subnetMask"), QStringLiteral("Subnet mask"),
         IPToStr(AddressOf(Settings.SubnetMask))},
    };
}

TNetSettings RecordNetwork(const TDeviceInfo &Info)
{
    TNetSettings settings{};
    NetSettingsFromRecord(reinterpret_cast<const uint8_t *>(&Info), settings);
    return settings;
}

std::vector<TShownField> InfoFields(const TDeviceInfo &Info)
{
    std::vector<TShownField> fields = IdentityFields(Info);
    if (HasNetworkSettings(Info)) {
        for (TShownField &f : NetworkFields(RecordNetwork(Info)))
            fields.push_back(std::move(f));
    }
    return fields;
}

std::vector<TShownField> ParamsFields(const TDeviceParams &Params)
{
    const TParamsTexts t = ParamsTexts(Params);
    return {
        {QStringLiteral("reversePower"), QStringLiteral("Reverse power"), t.ReversePower,
         DecodeValue(Params.ReversePower)},
        {QStringLiteral("inputPowerA"), QStringLiteral("Input power A"), t.InputPowerA,
         DecodeValue(Params.InputPowerA)},
        {QStringLiteral("temperature"), QStringLiteral("Temperature"), t.Temperature,
         DecodeValue(Params.Temperature)},
        {QStringLiteral("inputPowerB"), QStringLiteral("Input power B"), t.InputPowerB,
         DecodeValue(Params.InputPowerB)},
        {QStringLiteral("supply24V"), QStringLiteral("24V supply"), t.Supply24V,
         DecodeValue(Params.Supply24V)},
        {QStringLiteral("supply15V"), QStringLiteral("15V supply"), t.Supply15V,
         DecodeValue(Params.Supply15V)},
        {QStringLiteral("transceiverSupply"), QStringLiteral("Transceiver supply"), t.TransceiverSupply,
         DecodeValue(Params.TransceiverSupply)},
        {QStringLiteral("supply8V"), QStringLiteral("8V supply"), t.Supply8V, DecodeValue(Params.Supply8V)},
        {QStringLiteral("lid"), QStringLiteral("Lid"), t.LidState, Params.LidState},
        {QStringLiteral("outputPath"), QStringLiteral("Output path"), t.OutputPath,
         Params.SwitchFlags & 0x01},
        {QStringLiteral("switchingMode"), QStringLiteral("Switching mode"), t.SwitchMode,
         (Params.SwitchFlags >> 7) & 0x01},
    };
}

QString FieldLines(const std::vector<TShownField> &Fields)
{
    qsizetype width = 0;
    for (const TShownField &f : Fields)
        width = std::max(width, f.Label.size() + 1);
    QStringList lines;
    for (const TShownField &f : Fields)
        lines << (f.Label + QLatin1Char(':')).leftJustified(width + 1) + f.Text;
    return lines.join(QLatin1Char('\n'));
}

QJsonObject InfoJson(const TDeviceInfo &Info)
{
    const QString name = DeviceTypeName(Info.DeviceType);
    QJsonObject object;
    object.insert(QStringLiteral("type"),
                  QJsonObject{{QStringLiteral("code"), Info.DeviceType},
                              {QStringLiteral("name"), name.isEmpty() ? QJsonValue() : QJsonValue(name)}});
    for (const TShownField &f : IdentityFields(Info)) {
        if (f.Key != QLatin1String("type"))
            object.insert(f.Key, f.Text);
    }
    object.insert(QStringLiteral("network"),
                  HasNetworkSettings(Info) ? QJsonValue(NetworkJson(RecordNetwork(Info))) : QJsonValue());
    return object;
}

QJsonObject NetworkJson(const TNetSettings &Settings)
{
    QJsonObject object;
    for (const TShownField &f : NetworkFields(Settings))
        object.insert(f.Key, f.Key == QLatin1String("dhcp") ? QJsonValue(Settings.DhcpFlag == 1)
                                                            : QJsonValue(f.Text));
    return object;
}

QJsonObject ParamsJson(const TDeviceParams &Params)
{
    QJsonObject object;
    for (const TShownField &f : ParamsFields(Params))
        object.insert(f.Key, QJsonObject{{QStringLiteral("text"), f.Text}, {QStringLiteral("raw"), f.Raw}});
    return object;
}
