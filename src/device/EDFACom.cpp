#include "EDFACom.h"

#include "NetSettings.h"

#include <QStringDecoder>

#include <cstring>

TDeviceInfo DeviceInfo{};

QString VersionToStr(uint16_t Version)
{
    return QStringLiteral("%1.%2").arg(Version & 0xFF).arg(Version >> 8);
}

QString ByteToHex(uint8_t Value)
{
    return QString::fromLatin1(HexDigits[Value >> 4]) + QString::fromLatin1(HexDigits[Value & 0x0F]);
}

QString IPToStr(uint32_t Address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(Address & 0xFF)
        .arg((Address >> 8) & 0xFF)
        .arg((Address >> 16) & 0xFF)
        .arg(Address >> 24);
}

QString RecordText(const char *Field, int Size)
{
    const void *zero = std::memchr(Field, 0, size_t(Size));
    const qsizetype length = zero ? static_cast<const char *>(zero) - Field : Size;
    // Device texts are in the GB2312 code page; ASCII reads unchanged.
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        return QString::fromLatin1(Field, length);
    return decoder.decode(QByteArrayView(Field, length));
}

QString UpdateTimeToStr()
{
    return RecordText(DeviceInfo.UpdateTime, int(sizeof DeviceInfo.UpdateTime));
}

QString MacFromSerial(QByteArrayView Serial)
{
    if (Serial.size() != 10)
        return {};
    int d[11];
    for (int i = 1; i <= 10; ++i)
        d[i] = int(uint8_t(Serial[i - 1])) - 48;
    // Wraps modulo 256 and 65536 for any characters, digits or not.
    const auto b1 = uint8_t(unsigned((10 * d[1] + d[2]) * 16 + 10 * d[3] + d[4]) & 0xFF);
    const auto v = uint16_t(unsigned(10000 * d[6] + 1000 * d[7] + 100 * d[8] + 10 * d[9] + d[10]) & 0xFFFF);
    return QStringLiteral("000808") + ByteToHex(b1) + ByteToHex(uint8_t(v >> 8)) +
           ByteToHex(uint8_t(v & 0xFF));
}

TDeviceView *MainFormView = nullptr;

namespace {
const QString PlainTitle = QStringLiteral("LumoraV1.3");
} // namespace

bool TEDFACom::Open(int32_t PortNumber)
{
    const bool opened = TCOMMan::Open(PortNumber);
    if (opened)
        ReadDevice();
    return opened;
}

void TEDFACom::ReadDevice()
{
    if (!MainFormView)
        return; // no window to show the device in
    ClearDeviceView();
    TDeviceInfo record;
    if (ReadInfo(&record, sizeof record)) {
        DeviceInfo = record;
        // A save with DHCP on sends the addresses it does not collect from
        // NetSettings: start them from what the device holds, so that turning
        // DHCP on does not wipe the device's static configuration.
        NetSettingsFromRecord(reinterpret_cast<const uint8_t *>(&DeviceInfo), NetSettings);
        ShowDeviceInfo();
        ShowInfo(QStringLiteral(" Device connected."));
        MainFormView->SetDeviceControlEnabled(TDeviceControl::ParamsButton, true);
    } else {
        ShowError(QStringLiteral(" Could not connect to device!"));
        MainFormView->SetDeviceControlEnabled(TDeviceControl::ParamsButton, false);
    }
}

void TEDFACom::ClearDeviceView()
{
    TDeviceView &view = *MainFormView;
    for (TDeviceText field : {TDeviceText::LocalIp, TDeviceText::ManageIp, TDeviceText::Sn, TDeviceText::Mac,
                              TDeviceText::HardVersion, TDeviceText::SoftVersion, TDeviceText::LastUpdate,
                              TDeviceText::GateWay, TDeviceText::NetMask})
        view.SetDeviceText(field, QString());
    view.SetDHCPChecked(false);
    for (TDeviceControl control :
         {TDeviceControl::LocalIp, TDeviceControl::ManageIp, TDeviceControl::SaveButton,
          TDeviceControl::GateWay, TDeviceControl::NetMask})
        view.SetDeviceControlEnabled(control, false);
    view.SetDeviceCaption(PlainTitle);
}

void TEDFACom::ShowDeviceInfo()
{
    TDeviceView &view = *MainFormView;
    const TDeviceInfo &info = DeviceInfo;
    view.SetDeviceText(TDeviceText::Sn, RecordText(info.SerialNo, sizeof info.SerialNo));
    view.SetDeviceText(TDeviceText::Mac, MacFromSerial(QByteArrayView(info.SerialNo, sizeof info.SerialNo)));
    view.SetDeviceText(TDeviceText::HardVersion, VersionToStr(info.HardwareVersion));
    view.SetDeviceText(TDeviceText::SoftVersion, VersionToStr(info.FirmwareVersion));
    view.SetDeviceText(TDeviceText::LastUpdate, UpdateTimeToStr());
    if (HasNetworkSettings(info)) {
        view.SetDeviceText(TDeviceText::LocalIp, IPToStr(info.LocalAddr));
        view.SetDeviceText(TDeviceText::ManageIp, IPToStr(info.ServerAddr));
        view.SetDeviceText(TDeviceText::GateWay, IPToStr(info.GatewayAddr));
        view.SetDeviceText(TDeviceText::NetMask, IPToStr(info.SubnetMask));
        view.SetDHCPChecked(info.DhcpFlag == 1);
        view.SetDeviceControlEnabled(TDeviceControl::LocalIp, true);
        view.SetDeviceControlEnabled(TDeviceControl::ManageIp, true);
        view.SetDeviceControlEnabled(TDeviceControl::DHCP, true);
        view.RunDHCPClick();
    }
    view.SetDeviceControlEnabled(TDeviceControl::SaveButton, true);
    const QString name = DeviceTypeName(info.DeviceType);
    view.SetDeviceCaption(name.isEmpty() ? PlainTitle : QStringLiteral("LumoraV1.3--") + name);
}
