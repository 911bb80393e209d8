#include "UiFixture.h"

#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"
#include "skin/XP_GroupBox.h"
#include "ui/StdControls.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

// Every field the device read fills, in one list for "all empty" checks.
QStringList Fields(const TMainForm &f)
{
    return {f.Sn->text(),          f.Mac->text(),        f.HardVersion->text(),
            f.SoftVersion->text(), f.LastUpdate->text(), f.LocalIp->text(),
            f.ManageIp->text(),    f.GateWay->text(),    f.NetMask->text()};
}

const QStringList NoFields(9, QString());

// Enabled states of LocalIp, ManageIp, GateWay, NetMask, DHCP, Save, Params.
QList<bool> EnabledStates(const TMainForm &f)
{
    return {f.LocalIp->isEnabled(),     f.ManageIp->isEnabled(), f.GateWay->isEnabled(),
            f.NetMask->isEnabled(),     f.DHCP->isEnabled(),     f.SaveButton->isEnabled(),
            f.ParamsButton->isEnabled()};
}

using StartUp = MainWindowTest;

TEST_F(StartUp, SingleEdfaFillsEveryField)
{
    MapSim();
    StartProgram();
    EXPECT_EQ(Sim.CountOf(0), 1); // read once, while the window was being created
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("LumoraV1.3--EDFA(Single)"));
    EXPECT_EQ(Fields(*Form), QStringList({"0612345678", "0008086cb26e", "2.0", "3.1", "2024-05-17 10:30",
                                          "192.168.1.100", "192.168.1.1", "192.168.1.254", "255.255.255.0"}));
    EXPECT_FALSE(Form->DHCP->Checked());
    EXPECT_EQ(EnabledStates(*Form), QList<bool>({true, true, true, true, true, true, true}));
    EXPECT_FALSE(Form->ParamsButton->isVisible());
    EXPECT_EQ(Status(), " Device connected.");
    EXPECT_EQ(StatusColor(), Green);
    // The status label sits in the status bar, right of its first panel.
    EXPECT_EQ(Form->MsgLabel->parentWidget(), Form->StatusBar);
    EXPECT_EQ(Form->MsgLabel->pos(), QPoint(230, 6));
    EXPECT_TRUE(Form->MsgLabel->isVisible());
}

TEST_F(StartUp, DhcpDeviceLeavesOnlyTheServerEditEnabled)
{
    SetDevice([](TSimConfig &c) { c.Info.DhcpFlag = 1; });
    MapSim();
    StartProgram();
    EXPECT_TRUE(Form->DHCP->Checked());
    EXPECT_EQ(EnabledStates(*Form), QList<bool>({false, true, false, false, true, true, true}));
    EXPECT_EQ(Form->LocalIp->text(), "192.168.1.100"); // filled though disabled
}

TEST_F(StartUp, CommunicationBoardShowsNoNetworkFields)
{
    SetDevice([](TSimConfig &c) {
        c.Info.DeviceType = 9;
        c.Info.DhcpFlag = 1;
    });
    MapSim();
    StartProgram();
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("LumoraV1.3--通信板"));
    const QStringList fields = Fields(*Form);
    EXPECT_EQ(fields.mid(0, 5),
              QStringList({"0612345678", "0008086cb26e", "2.0", "3.1", "2024-05-17 10:30"}));
    EXPECT_EQ(fields.mid(5), QStringList(4, QString()));
    EXPECT_FALSE(Form->DHCP->Checked());
    // Before any device with network fields was shown, DHCP is off as laid out.
    EXPECT_EQ(EnabledStates(*Form), QList<bool>({false, false, false, false, false, true, true}));
}

TEST_F(StartUp, TypesWithoutANameShowEverythingUnderThePlainTitle)
{
    for (int type : {0, 10, 255}) {
        SetDevice([type](TSimConfig &c) { c.Info.DeviceType = uint8_t(type); });
        MapSim();
        StartProgram();
        EXPECT_EQ(Form->windowTitle(), "LumoraV1.3") << type;
        EXPECT_EQ(Form->LocalIp->text(), "192.168.1.100") << type;
        EXPECT_EQ(EnabledStates(*Form), QList<bool>({true, true, true, true, true, true, true})) << type;
        Form.reset();
    }
}

TEST_F(StartUp, SilentDeviceLeavesTheWindowClearedAndSaveEnabled)
{
    Sim.SetFaults({.Silent = true});
    MapSim();
    StartProgram();
    EXPECT_EQ(Sim.CountOf(0), 1);
    EXPECT_EQ(Form->windowTitle(), "LumoraV1.3");
    EXPECT_EQ(Fields(*Form), NoFields);
    EXPECT_EQ(Status(), " Could not connect to device!");
    EXPECT_EQ(StatusColor(), Red);
    // ClearDeviceView disables Save; the failed read does not enable it again.
    EXPECT_EQ(EnabledStates(*Form), QList<bool>({false, false, false, false, false, false, false}));
}

TEST_F(StartUp, NoPortKeepsTheLayoutState)
{
    lumora::test::MapPort(1, "/nonexistent/lumora-tty");
    StartProgram();
    EXPECT_EQ(Form->windowTitle(), "LumoraV1.2");
    EXPECT_EQ(Fields(*Form), NoFields);
    EXPECT_EQ(Status(), "Couldn't open the port COM1,maybe already being occupied or not existed!");
    EXPECT_EQ(StatusColor(), Red);
    EXPECT_EQ(EnabledStates(*Form), QList<bool>({false, false, false, false, false, true, false}));
    EXPECT_TRUE(Sim.Received().empty());

    // Save then complains about the empty local address, with a full stop.
    Activate();
    ClickOn(Form->SaveButton);
    ASSERT_EQ(Watch.Boxes.size(), 1);
    EXPECT_EQ(Watch.Boxes[0].Title, "LumoraV1.2");
    EXPECT_EQ(Watch.Boxes[0].Text, QStringLiteral("Invalid local IP！."));
    EXPECT_EQ(Watch.Boxes[0].Icon, QMessageBox::Critical);
}

TEST_F(StartUp, StoredPortIsOpened)
{
    MapSim(3);
    lumora::test::MapPort(1, "/nonexistent/lumora-tty");
    // A store holding COM=3 besides the port map.
    TCOMMan(nullptr).SetPortNumber(3);
    StartProgram();
    EXPECT_EQ(Status(), " Device connected.");
    EXPECT_EQ(Sim.CountOf(0), 1);
}

using Reading = MainWindowTest;

TEST_F(Reading, OpenTwiceReadsTheDeviceEachTime)
{
    StartOnSim();
    SetDevice([](TSimConfig &c) { c.Info.DeviceType = 5; });
    ClickOn(Form->XP_Button2); // "&Open"
    EXPECT_EQ(Sim.CountOf(0), 2);
    EXPECT_EQ(Form->windowTitle(), "LumoraV1.3--EDFA(Double)");
    PressKey(Form.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(Sim.CountOf(0), 3);
    EXPECT_EQ(Status(), " Device connected.");
}

TEST_F(Reading, FailedReadAfterAGoodOneBlanksEverything)
{
    StartOnSim();
    Sim.SetFaults({.BadChecksum = true});
    ClickOn(Form->XP_Button2);
    EXPECT_EQ(Fields(*Form), NoFields);
    EXPECT_EQ(Form->windowTitle(), "LumoraV1.3");
    EXPECT_EQ(Status(), " Could not connect to device!");
    EXPECT_EQ(StatusColor(), Red);
    // DHCP stays enabled (unchecked) after a device with network fields.
    EXPECT_EQ(EnabledStates(*Form), QList<bool>({false, false, false, false, true, false, false}));
    // DeviceInfo keeps the last good record.
    EXPECT_EQ(DeviceInfo.DeviceType, 6);
}

TEST_F(Reading, BusyPortKeepsThePreviousFields)
{
    StartOnSim();
    const QStringList before = Fields(*Form);
    const QString title = Form->windowTitle();
    {
        // Another program takes the port while the window has let go of it.
        Form->FCom->ClosePort();
        TPortHolder other(Sim.SlavePath());
        ASSERT_TRUE(other.Held());
        ClickOn(Form->XP_Button2);
    }
    EXPECT_EQ(Status(), "Couldn't open the port COM1,maybe already being occupied or not existed!");
    EXPECT_EQ(StatusColor(), Red);
    EXPECT_EQ(Fields(*Form), before);
    EXPECT_EQ(Form->windowTitle(), title);
    EXPECT_TRUE(Form->SaveButton->isEnabled());
}

using Window = MainWindowTest;

TEST_F(Window, DhcpBoxSwitchesTheThreeStaticEdits)
{
    StartOnSim();
    ClickOn(Form->DHCP);
    EXPECT_TRUE(Form->DHCP->Checked());
    EXPECT_EQ(EnabledStates(*Form).mid(0, 4), QList<bool>({false, true, false, false}));
    ClickOn(Form->DHCP);
    EXPECT_FALSE(Form->DHCP->Checked());
    EXPECT_EQ(EnabledStates(*Form).mid(0, 4), QList<bool>({true, true, true, true}));
    // ManageIp keeps whatever state it had: DHCPClick does not touch it.
    Form->ManageIp->setEnabled(false);
    ClickOn(Form->DHCP);
    EXPECT_FALSE(Form->ManageIp->isEnabled());
}

TEST_F(Window, TabStartsAtTheFirstEditAndWrapsRoundFromSetup)
{
    StartOnSim();
    // The focus of the window as it first appears, untouched by the test.
    QList<QWidget *> visited{QApplication::focusWidget()};
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    EXPECT_EQ(visited, QList<QWidget *>({Form->LocalIp, Form->ManageIp, Form->DHCP, Form->GateWay,
                                         Form->NetMask, Form->XP_Button1, Form->SaveButton, Form->XP_Button2,
                                         Form->XP_Button4, Form->LocalIp}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Form->XP_Button4);
}

TEST_F(Window, FirstFocusIsTheFirstEnabledControlOfTheTabOrder)
{
    // Starts the program and tells whether the control has the focus as the
    // window first appears.
    const auto focusedFirst = [this](const std::function<QWidget *(TMainForm &)> &control) {
        StartProgram();
        Activate();
        const bool focused = QApplication::focusWidget() == control(*Form);
        Form.reset();
        return focused;
    };
    MapSim();
    EXPECT_TRUE(focusedFirst([](TMainForm &f) -> QWidget * { return f.LocalIp; }));
    // DHCP on: LocalIp is disabled, ManageIp comes next.
    SetDevice([](TSimConfig &c) { c.Info.DhcpFlag = 1; });
    EXPECT_TRUE(focusedFirst([](TMainForm &f) -> QWidget * { return f.ManageIp; }));
    // A silent device: the edits, the check box and Save are off; the hidden
    // Parameters button is skipped, Close is next.
    Sim.SetFaults({.Silent = true});
    EXPECT_TRUE(focusedFirst([](TMainForm &f) -> QWidget * { return f.XP_Button1; }));
}

TEST_F(Window, ReadThatDisablesTheFocusedEditHandsTheFocusToOpen)
{
    StartOnSim();
    ASSERT_EQ(QApplication::focusWidget(), Form->LocalIp);
    Sim.SetFaults({.Silent = true});
    PressKey(Form.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(Sim.CountOf(0), 2);
    EXPECT_FALSE(Form->LocalIp->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Form->XP_Button2);
    // Enter there reads again instead of closing the window.
    PressKey(Form.get(), Qt::Key_Return);
    EXPECT_EQ(Sim.CountOf(0), 3);
    EXPECT_TRUE(Form->isVisible());
}

TEST_F(Window, LinkLabelTurnsBoldUnderThePointerAndOpensTheSite)
{
    MapSim();
    StartProgram();
    EXPECT_TRUE(Form->Label7->font().underline());
    EXPECT_FALSE(Form->Label7->font().bold());
    EXPECT_EQ(Form->Label7->cursor().shape(), Qt::PointingHandCursor);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), Form->Label7->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(Form->Label7, &enter);
    EXPECT_TRUE(Form->Label7->font().bold());
    EXPECT_TRUE(Form->Label7->font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Form->Label7, &leave);
    EXPECT_FALSE(Form->Label7->font().bold());
    EXPECT_TRUE(Form->Label7->font().underline());

    TUrlCatcher catcher;
    ClickOn(Form->Label7);
    EXPECT_EQ(catcher.Urls, QList<QUrl>({QUrl(VendorSiteUrl)}));
    EXPECT_TRUE(QUrl(VendorSiteUrl).host().endsWith(".example"));
}

TEST_F(Window, CloseButtonEndsTheWindow)
{
    StartOnSim();
    ClickOn(Form->XP_Button1);
    EXPECT_FALSE(Form->isVisible());
}

TEST_F(Window, LayoutPositions)
{
    MapSim();
    StartProgram();
    EXPECT_EQ(Form->size(), QSize(492, 353));
    EXPECT_EQ(Form->Panel1->geometry(), QRect(3, 29, 486, 321));
    EXPECT_EQ(Form->XP_GroupBox1->geometry(), QRect(115, 6, 366, 254));
    EXPECT_EQ(Form->Image2->geometry(), QRect(5, 6, 105, 252));
    EXPECT_EQ(Form->StatusBar->geometry(), QRect(4, 294, 478, 23));
    EXPECT_EQ(Form->XP_Button4->geometry(), QRect(15, 266, 96, 24));
    EXPECT_EQ(Form->XP_Button4->Caption(), "Setu&p...");
    EXPECT_EQ(Form->XP_Button2->Caption(), "&Open");
    EXPECT_EQ(Form->LastUpdate->geometry(), QRect(148, 57, 209, 17));
    EXPECT_EQ(Form->NetMask->geometry(), QRect(98, 193, 261, 21));
    EXPECT_EQ(Form->Label7->geometry(), QRect(108, 229, 161, 16));
    EXPECT_EQ(Form->Label8->pos(), QPoint(12, 59));
    EXPECT_EQ(Form->Sn->font().family(), Form->font().family());
    EXPECT_EQ(Form->Mac->font().family(), "MS Sans Serif");
    EXPECT_FALSE(Form->Image2->Picture().isNull());

    // The status bar's last panel runs to the bar's right edge: its
    // highlight is the bar's last column, its shadow the top row up to there.
    const QImage bar = Form->StatusBar->grab().toImage();
    const int right = bar.width() - 1;
    EXPECT_EQ(QColor(bar.pixel(right, 12)), QColor(Qt::white));
    EXPECT_EQ(QColor(bar.pixel(right - 1, 2)), QColor(172, 168, 153));
    EXPECT_EQ(QColor(bar.pixel(220 + 2 + 50, 12)), ColorToQColor(Cream));
}

// Labels, the side picture and the icon are measured and decoded only when
// first needed; shown, the window has them all as built at once.
TEST_F(Window, LabelsPictureAndIconAreReadyWhenShown)
{
    MapSim();
    StartProgram();
    for (TLabel *label : {Form->Label1, Form->Label2, Form->Label3, Form->Label4, Form->Label5, Form->Label6,
                          Form->Label8, Form->Label9, Form->Label10, static_cast<TLabel *>(Form->MsgLabel)})
        EXPECT_EQ(label->size(), label->sizeHint()) << label->text().toStdString();
    // A report after the window is up still resizes the status label.
    Form->MsgLabel->SetCaption(QStringLiteral("Couldn't open the port COM1,maybe already being occupied"));
    EXPECT_EQ(Form->MsgLabel->size(), Form->MsgLabel->sizeHint());

    EXPECT_EQ(Form->Image2->Picture().size(), QSize(175, 333));
    const QImage shown = Form->Image2->grab().toImage();
    EXPECT_NE(shown.pixel(20, 40), shown.pixel(80, 200)); // drawn, not an empty box

    const QIcon icon = Form->windowIcon();
    EXPECT_EQ(icon.availableSizes(), QList<QSize>({{16, 16}, {32, 32}, {48, 48}, {256, 256}}));
    EXPECT_EQ(icon.pixmap(48, 48).size(), QSize(48, 48));
}

} // namespace
