#pragma once

#include "device/EDFACom.h"
#include "framework/Forms.h"

#include <QObject>

#include <memory>

class TBevel;
class TEdit;
class TLabel;
class TPanel;
class TPicture;
class TStaticText;
class TStatusBar;
class TStatusTextLabel;
class TXP_Button;
class TXP_CheckBox;
class TXP_Form;
class TXP_GroupBox;

// The main window: the device's identity and network settings, the status
// line of every device operation, and the buttons to reopen the port, pick
// another port, save the settings and close. It owns the one device
// connection FCom.
class TMainForm : public TForm, public TDeviceView {
    Q_OBJECT
public:
    // Creates the window from its layout, makes it the program's MainForm
    // and runs FormCreate, which opens the stored port and reads the device.
    TMainForm();
    ~TMainForm() override;

    // Controls, named as in the layout.
    TXP_Form *XP_Form1;
    TPanel *Panel1;
    TPicture *Image2;
    TStatusBar *StatusBar;
    TXP_GroupBox *XP_GroupBox1;
    TXP_Button *XP_Button4; // "Setu&p...", runs XP_Button2Click
    TXP_Button *XP_Button2; // "&Open", runs XP_Button4Click
    TXP_Button *SaveButton;
    TXP_Button *XP_Button1; // "&Close"
    TLabel *Label3, *Label4, *Label5, *Label6, *Label8;
    TStaticText *Sn, *Mac, *HardVersion, *SoftVersion, *LastUpdate;
    TBevel *Bevel1;
    TXP_CheckBox *DHCP;
    TStatusTextLabel *MsgLabel;
    TLabel *Label1, *Label2, *Label9, *Label10;
    TEdit *LocalIp, *ManageIp, *GateWay, *NetMask;
    TXP_Button *ParamsButton;
    TLabel *Label7;

    // Created in FormCreate, freed in FormDestroy.
    std::unique_ptr<TEDFACom> FCom;

    // Handlers.
    void FormCreate();
    void FormDestroy();
    void XP_Button2Click(QObject *Sender); // Setup
    void XP_Button4Click(QObject *Sender); // Open
    void SaveButtonClick(QObject *Sender);
    void Button4Click(QObject *Sender); // Close
    void DHCPClick(QObject *Sender);
    void ParamsButtonClick(QObject *Sender);
    void Label7MouseEnter(QObject *Sender);
    void Label7MouseLeave(QObject *Sender);
    void Label7Click(QObject *Sender);
    void XP_Form1Help(QObject *Sender);

    // Network settings entry.
    bool IsValidIP(const QString &Text);
    void CollectSettings();

    // The device connection's view of the window.
    void SetDeviceText(TDeviceText Field, const QString &Text) override;
    void SetDeviceControlEnabled(TDeviceControl Control, bool Enabled) override;
    void SetDHCPChecked(bool Checked) override;
    void RunDHCPClick() override;
    void SetDeviceCaption(const QString &Caption) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CreateControls();
    // The control of the window a device control names.
    QWidget *DeviceControl(TDeviceControl Control) const;
    bool FPlaced = false;
};

// The program's main window; set before its creation handler runs.
extern TMainForm *MainForm;

// The address the link label opens.
inline constexpr const char *VendorSiteUrl = "https://www.velmaro.example/";
