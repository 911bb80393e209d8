#pragma once

#include <QString>

// The main window's controls that the device connection writes. The main
// window implements it; the device layer includes no widget header.
enum class TDeviceText { Sn, Mac, HardVersion, SoftVersion, LastUpdate, LocalIp, ManageIp, GateWay, NetMask };
enum class TDeviceControl { LocalIp, ManageIp, GateWay, NetMask, DHCP, SaveButton, ParamsButton };

class TDeviceView {
public:
    virtual void SetDeviceText(TDeviceText Field, const QString &Text) = 0;
    virtual void SetDeviceControlEnabled(TDeviceControl Control, bool Enabled) = 0;
    // Sets the DHCP box's checked state only: its click handler does not run.
    virtual void SetDHCPChecked(bool Checked) = 0;
    // Runs the handler assigned to the DHCP box's click event with no sender.
    virtual void RunDHCPClick() = 0;
    virtual void SetDeviceCaption(const QString &Caption) = 0;

protected:
    ~TDeviceView() = default;
};

// The program's main window as the device connection sees it; set by the
// main window before its creation handler runs.
extern TDeviceView *MainFormView;
