#include "MainFrm.h"

#include "ParamsFrm.h"
#include "SetupFrm.h"
#include "StdControls.h"
#include "WindowFrame.h"
#include "base/LumoraError.h"
#include "device/NetSettings.h"
#include "framework/Application.h"
#include "platform/process/Shell.h"
#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"
#include "skin/XP_Form.h"
#include "skin/XP_GroupBox.h"
#include "skin/XP_Unit.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <memory>
#include <utility>

TMainForm *MainForm = nullptr;

namespace {

// Reads the address edits for the collection; an edit is only read when the
// collection reaches it.
class TEditsSource : public INetSettingsSource {
public:
    explicit TEditsSource(TMainForm &form) : FForm(form) {}
    bool DhcpChecked() override { return FForm.DHCP->Checked(); }
    QString LocalIpText() override { return FForm.LocalIp->text(); }
    QString ServerIpText() override { return FForm.ManageIp->text(); }
    QString GatewayIpText() override { return FForm.GateWay->text(); }
    QString SubnetMaskText() override { return FForm.NetMask->text(); }

private:
    TMainForm &FForm;
};

} // namespace

TMainForm::TMainForm() : TForm(nullptr)
{
    CreateControls();
    // The device read in FormCreate fills the controls through MainForm.
    MainForm = this;
    MainFormView = this;
    Application().Guard([this] { FormCreate(); });
}

TMainForm::~TMainForm()
{
    FormDestroy();
    if (MainForm == this) {
        MainForm = nullptr;
        MainFormView = nullptr;
    }
}

void TMainForm::CreateControls()
{
    const TWindowParts parts = SetUpWindow(this, QStringLiteral("LumoraV1.2"), {492, 353}, /*btnMin*/ true);
    Panel1 = parts.Panel1;
    XP_Form1 = parts.XP_Form1;
    XP_Form1->OnHelp = [this](QObject *sender) { XP_Form1Help(sender); };

    Image2 = new TPicture(Panel1, {5, 6, 105, 252}, SidePicture);
    StatusBar =
        new TStatusBar(Panel1, {4, 294, 478, 23}, Cream,
                       {{QStringLiteral("Velmaro "), 220, true, false}, {QString(), 50, false, true}});
    StatusBar->setFont(LatinFont(13, true));
    XP_GroupBox1 = new TXP_GroupBox(Panel1);
    XP_GroupBox1->setGeometry(115, 6, 366, 254);
    XP_GroupBox1->SetBorderColor(RGB(208, 208, 191));
    XP_GroupBox1->SetCaptionColor(RGB(2, 70, 207));
    XP_GroupBox1->SetColor(Cream);

    XP_Button4 = MakeButton(Panel1, {15, 266, 96, 24}, QStringLiteral("Setu&p..."));
    XP_Button2 = MakeButton(Panel1, {135, 266, 96, 24}, QStringLiteral("&Open"));
    SaveButton = MakeButton(Panel1, {255, 266, 96, 24}, QStringLiteral("&Save"));
    XP_Button1 = MakeButton(Panel1, {376, 266, 96, 24}, QStringLiteral("&Close"));
    for (TXP_Button *button : {XP_Button4, XP_Button2, SaveButton, XP_Button1})
        button->setFont(LatinFont());
    // The handler names of Setup and Open cross over with their components.
    XP_Button4->OnClick = [this](QObject *sender) { XP_Button2Click(sender); };
    XP_Button2->OnClick = [this](QObject *sender) { XP_Button4Click(sender); };
    SaveButton->OnClick = [this](QObject *sender) { SaveButtonClick(sender); };
    XP_Button1->OnClick = [this](QObject *sender) { Button4Click(sender); };

    QWidget *box = XP_GroupBox1;
    Label3 = new TLabel(box, 12, 11, QStringLiteral("S/N"));
    Sn = new TStaticText(box, {84, 11, 97, 17});
    Label4 = new TLabel(box, 189, 11, QStringLiteral("MAC ADDR"));
    Mac = new TStaticText(box, {262, 9, 97, 17});
    Label5 = new TLabel(box, 12, 35, QStringLiteral("HW version"));
    HardVersion = new TStaticText(box, {84, 33, 97, 17});
    Label6 = new TLabel(box, 189, 35, QStringLiteral("FW version"));
    SoftVersion = new TStaticText(box, {262, 33, 97, 17});
    Label8 = new TLabel(box, 12, 59, QStringLiteral("Firmware update time"));
    LastUpdate = new TStaticText(box, {148, 57, 209, 17});
    Bevel1 = new TBevel(box, {7, 78, 352, 6});
    DHCP = new TXP_CheckBox(box);
    DHCP->setGeometry(99, 90, 121, 17);
    DHCP->SetCaption(QStringLiteral("DHCP Enable"));
    DHCP->setFont(LatinFont());
    DHCP->setEnabled(false);
    DHCP->OnClick = [this](QObject *sender) { DHCPClick(sender); };
    MsgLabel = new TStatusTextLabel(box, 248, 94, QStringLiteral("Not connected!"));
    MsgLabel->setAlignment(Qt::AlignCenter);
    Label1 = new TLabel(box, 10, 117, QStringLiteral("Local IP"));
    LocalIp = new TEdit(box, {98, 112, 261, 21});
    Label2 = new TLabel(box, 10, 144, QStringLiteral("Server IP"));
    ManageIp = new TEdit(box, {98, 139, 261, 21});
    Label9 = new TLabel(box, 10, 171, QStringLiteral("Gateway IP"));
    GateWay = new TEdit(box, {98, 166, 261, 21});
    Label10 = new TLabel(box, 10, 198, QStringLiteral("Subnet mask"));
    NetMask = new TEdit(box, {98, 193, 261, 21});
    for (TEdit *edit : {LocalIp, ManageIp, GateWay, NetMask})
        edit->setEnabled(false);
    ParamsButton = MakeButton(box, {218, 222, 122, 24}, QStringLiteral("Parameters(&P)..."));
    ParamsButton->setEnabled(false);
    ParamsButton->setVisible(false);
    ParamsButton->OnClick = [this](QObject *sender) { ParamsButtonClick(sender); };
    Label7 = new TLabel(box, {108, 229, 161, 16}, QStringLiteral("Visit VMO web site"));
    Label7->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont link = LatinFont();
    link.setUnderline(true);
    Label7->setFont(link);
    Label7->SetFontColor(RGB(0, 0, 255));
    Label7->setCursor(Qt::PointingHandCursor);
    Label7->OnClick = [this] { Label7Click(Label7); };
    Label7->OnMouseEnter = [this] { Label7MouseEnter(Label7); };
    Label7->OnMouseLeave = [this] { Label7MouseLeave(Label7); };

    // Sn and HardVersion take the window's font; everything else in the box
    // is "MS Sans Serif".
    Sn->setFont(font());
    HardVersion->setFont(font());
    ParamsButton->setFont(font());

    // Each box and edit is named, for assistive technology, by the label
    // beside it.
    const std::pair<TLabel *, QWidget *> named[] = {
        {Label3, Sn},          {Label4, Mac},        {Label5, HardVersion},
        {Label6, SoftVersion}, {Label8, LastUpdate}, {Label1, LocalIp},
        {Label2, ManageIp},    {Label9, GateWay},    {Label10, NetMask}};
    for (const auto &[label, control] : named)
        label->setBuddy(control);

    SetTabOrder({LocalIp, ManageIp, DHCP, GateWay, NetMask, ParamsButton, XP_Button1, SaveButton, XP_Button2,
                 XP_Button4});
}

void TMainForm::showEvent(QShowEvent *event)
{
    TForm::showEvent(event);
    if (!FPlaced) {
        FPlaced = true;
        CentreOnScreen(this);
    }
}

void TMainForm::FormCreate()
{
    MsgLabel->setParent(StatusBar);
    MsgLabel->move(MsgLabel->x(), 6);
    MsgLabel->move(230, MsgLabel->y());
    // The window has no native window yet, so the label keeps being shown
    // under its new parent; showing it explicitly would polish it, and so
    // measure its text, before the device read.
    FCom = std::make_unique<TEDFACom>(MsgLabel);
    FCom->Open(FCom->GetPortNumber());
}

void TMainForm::FormDestroy()
{
    FCom.reset();
}

void TMainForm::XP_Button2Click(QObject *)
{
    const int32_t port = FCom->GetPortNumber();
    const auto dialog = std::make_unique<TSetupForm>();
    dialog->PortCB->setCurrentIndex(port >= 1 && port <= dialog->PortCB->count() ? port - 1 : -1);
    if (dialog->ShowModal() == mrOk) {
        FCom->SetPortNumber(dialog->PortCB->currentIndex() + 1);
        FCom->Open(FCom->GetPortNumber());
    }
}

void TMainForm::XP_Button4Click(QObject *)
{
    FCom->Open(FCom->GetPortNumber());
}

void TMainForm::SaveButtonClick(QObject *)
{
    CollectSettings();
    SaveButton->setEnabled(false);
    // WriteCommand reports through the status label and does not raise; the
    // guard keeps Save usable should that ever change.
    struct TEnableAgain {
        TXP_Button *Button;
        ~TEnableAgain() { Button->setEnabled(true); }
    } enableAgain{SaveButton};
    FCom->WriteCommand(&NetSettings, sizeof NetSettings);
}

void TMainForm::Button4Click(QObject *)
{
    Close();
}

void TMainForm::DHCPClick(QObject *)
{
    const bool dhcp = DHCP->Checked();
    LocalIp->setEnabled(!dhcp);
    GateWay->setEnabled(!dhcp);
    NetMask->setEnabled(!dhcp);
}

void TMainForm::ParamsButtonClick(QObject *)
{
    const auto form = std::make_unique<TParamsForm>();
    form->LoadParams();
    form->ShowModal();
}

void TMainForm::Label7MouseEnter(QObject *)
{
    QFont font = Label7->font();
    font.setBold(true);
    Label7->setFont(font);
}

void TMainForm::Label7MouseLeave(QObject *)
{
    QFont font = Label7->font();
    font.setBold(false);
    Label7->setFont(font);
}

void TMainForm::Label7Click(QObject *)
{
    if (!ShellOpen(QString::fromLatin1(VendorSiteUrl), 0, ShellHide))
        QDesktopServices::openUrl(QUrl(QString::fromLatin1(VendorSiteUrl)));
}

void TMainForm::XP_Form1Help(QObject *)
{
    // "readme.txt" without a folder: the one in the current directory.
    if (!ShellOpen(QStringLiteral("readme.txt"), uintptr_t(effectiveWinId()), ShellShow))
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("readme.txt"))));
}

bool TMainForm::IsValidIP(const QString &Text)
{
    return ::IsValidIP(Text);
}

void TMainForm::CollectSettings()
{
    TEditsSource source(*this);
    CollectNetSettings(source, NetSettings);
}

void TMainForm::SetDeviceText(TDeviceText Field, const QString &Text)
{
    switch (Field) {
    case TDeviceText::Sn:
        return Sn->setText(Text);
    case TDeviceText::Mac:
        return Mac->setText(Text);
    case TDeviceText::HardVersion:
        return HardVersion->setText(Text);
    case TDeviceText::SoftVersion:
        return SoftVersion->setText(Text);
    case TDeviceText::LastUpdate:
        return LastUpdate->setText(Text);
    case TDeviceText::LocalIp:
        return LocalIp->setText(Text);
    case TDeviceText::ManageIp:
        return ManageIp->setText(Text);
    case TDeviceText::GateWay:
        return GateWay->setText(Text);
    case TDeviceText::NetMask:
        return NetMask->setText(Text);
    }
}

QWidget *TMainForm::DeviceControl(TDeviceControl Control) const
{
    switch (Control) {
    case TDeviceControl::LocalIp:
        return LocalIp;
    case TDeviceControl::ManageIp:
        return ManageIp;
    case TDeviceControl::GateWay:
        return GateWay;
    case TDeviceControl::NetMask:
        return NetMask;
    case TDeviceControl::DHCP:
        return DHCP;
    case TDeviceControl::SaveButton:
        return SaveButton;
    case TDeviceControl::ParamsButton:
        return ParamsButton;
    }
    return nullptr;
}

void TMainForm::SetDeviceControlEnabled(TDeviceControl Control, bool Enabled)
{
    QWidget *widget = DeviceControl(Control);
    if (!widget)
        return;
    // A read that disables the control holding the focus (the edits are
    // disabled before every read) hands the focus to Open, the button that
    // reads again, rather than letting it run on along the tab order to
    // Close, where Enter would end the program.
    if (!Enabled && widget == focusWidget())
        XP_Button2->setFocus(Qt::OtherFocusReason);
    widget->setEnabled(Enabled);
}

void TMainForm::SetDHCPChecked(bool Checked)
{
    DHCP->SetChecked(Checked);
}

void TMainForm::RunDHCPClick()
{
    if (DHCP->OnClick)
        DHCP->OnClick(nullptr);
}

void TMainForm::SetDeviceCaption(const QString &Caption)
{
    SetCaption(Caption);
}
