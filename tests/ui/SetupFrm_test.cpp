#include "UiFixture.h"

#include "skin/XP_Button.h"
#include "skin/XP_Form.h"
#include "ui/SetupFrm.h"

#include <QComboBox>

namespace {

class Setup : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        MapSim(1);
        MapSim(2);
        MapSim(3);
    }
    void Start(int storedPort)
    {
        TCOMMan(nullptr).SetPortNumber(storedPort);
        StartProgram();
        Activate();
        Sim.ClearReceived();
    }
    // Opens the dialog with the Setup button and runs script on it.
    void RunDialog(const std::function<void(TSetupForm &)> &script)
    {
        Watch.OnModal = [script, this](QWidget *window) {
            auto *dialog = qobject_cast<TSetupForm *>(window);
            ASSERT_NE(dialog, nullptr);
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            Selected = dialog->PortCB->currentIndex();
            Focus = QApplication::focusWidget() == dialog->PortCB;
            Shown = dialog->PortCB->currentText();
            script(*dialog);
        };
        ClickOn(Form->XP_Button4); // "Setu&p..."
        Watch.OnModal = nullptr;
    }
    int Stored() { return TCOMMan(nullptr).GetPortNumber(); }

    int Selected = -2;
    bool Focus = false;
    QString Shown;
};

TEST_F(Setup, PreselectsTheStoredPortWithTheFocusOnTheList)
{
    Start(3);
    RunDialog([](TSetupForm &) {});
    EXPECT_EQ(Watch.ModalWindows, 1);
    EXPECT_EQ(Selected, 2);
    EXPECT_EQ(Shown, "COM3");
    EXPECT_TRUE(Focus);
}

TEST_F(Setup, OkStoresTheChosenPortAndReadsTheDeviceThere)
{
    Start(3);
    SetDevice([](TSimConfig &c) { c.Info.DeviceType = 1; });
    RunDialog([](TSetupForm &d) {
        d.PortCB->setCurrentIndex(1);
        ClickOn(d.XP_Button1);
    });
    EXPECT_EQ(Stored(), 2);
    EXPECT_EQ(Form->FCom->PortName(), "COM2");
    EXPECT_EQ(Sim.CountOf(0), 1);
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("LumoraV1.3--发射机"));
    EXPECT_EQ(Status(), " Device connected.");
}

TEST_F(Setup, EveryWayOfPressingOkConfirms)
{
    Start(1);
    const std::function<void(TSetupForm &)> presses[] = {
        [](TSetupForm &d) { PressKey(&d, Qt::Key_O, Qt::AltModifier); },
        [](TSetupForm &d) {
            d.XP_Button1->setFocus();
            QTest::keyClick(d.XP_Button1, Qt::Key_Return);
        },
        [](TSetupForm &d) {
            d.XP_Button1->setFocus();
            QTest::keyClick(d.XP_Button1, Qt::Key_Space);
        },
    };
    int reads = 0;
    for (const auto &press : presses) {
        RunDialog(press);
        EXPECT_EQ(Sim.CountOf(0), ++reads); // the same port is closed, reopened and read
        EXPECT_EQ(Stored(), 1);
    }
}

TEST_F(Setup, EscapeEnterOnTheListAndTheFrameCloseButtonChangeNothing)
{
    Start(3);
    bool stillOpen = false;
    RunDialog([&](TSetupForm &d) {
        d.PortCB->setCurrentIndex(0);
        QTest::keyClick(d.PortCB, Qt::Key_Escape);
        QTest::keyClick(d.PortCB, Qt::Key_Return);
        stillOpen = d.isVisible() && d.ModalResult() == mrNone;
        // The frame's close button: press and release on it.
        const QPoint close = d.XP_Form1->CloseRect().ToQRect().center();
        QTest::mousePress(d.XP_Form1, Qt::LeftButton, {}, close);
        QTest::mouseRelease(d.XP_Form1, Qt::LeftButton, {}, close);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Stored(), 3);
    EXPECT_TRUE(Sim.Received().empty());
    EXPECT_EQ(Form->FCom->PortName(), "COM3");
    EXPECT_EQ(Status(), " Device connected.");
}

TEST_F(Setup, StoredNumberOutsideTheListSelectsNothingAndConfirmsPortZero)
{
    for (int stored : {0, 5}) {
        Start(stored);
        RunDialog([](TSetupForm &d) { ClickOn(d.XP_Button1); });
        EXPECT_EQ(Selected, -1) << stored;
        EXPECT_EQ(Shown, "") << stored;
        EXPECT_EQ(Stored(), 0);
        EXPECT_EQ(Status(), "Couldn't open the port COM0,maybe already being occupied or not existed!");
        EXPECT_EQ(StatusColor(), Red);
        Form.reset();
    }
}

TEST_F(Setup, DialogLayout)
{
    TSetupForm d;
    EXPECT_EQ(d.size(), QSize(237, 74));
    EXPECT_EQ(d.windowTitle(), "Serial port setup");
    EXPECT_EQ(d.Panel1->geometry(), QRect(3, 29, 231, 42));
    EXPECT_EQ(d.PortCB->geometry(), QRect(16, 11, 113, 24));
    EXPECT_EQ(d.XP_Button1->geometry(), QRect(141, 8, 75, 24));
    EXPECT_EQ(d.XP_Button1->Caption(), "&OK");
    EXPECT_FALSE(d.PortCB->isEditable());
    EXPECT_EQ(d.PortCB->count(), 4);
    EXPECT_EQ(d.PortCB->itemText(3), "COM4");
    EXPECT_EQ(d.PortCB->currentIndex(), 0);
    EXPECT_FALSE(d.XP_Form1->BtnMin());
}

} // namespace
