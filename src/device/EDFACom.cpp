#include "EDFACom.h"

#include "NetSettings.h"

TDeviceInfo DeviceInfo{};

QString UpdateTimeToStr()
{
    return RecordText(DeviceInfo.UpdateTime, int(sizeof DeviceInfo.UpdateTime));
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
