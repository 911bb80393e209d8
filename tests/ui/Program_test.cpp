#include "UiFixture.h"

#include "ui/Program.h"

namespace {

using Program = MainWindowTest;

TEST_F(Program, RunsTheMainWindowUntilItCloses)
{
    MapSim();
    QString title, status;
    bool visible = false;
    // Once the message loop runs, look at the window and close it.
    QTimer::singleShot(0, [&] {
        ASSERT_NE(MainForm, nullptr);
        visible = MainForm->isVisible();
        title = MainForm->windowTitle();
        status = MainForm->MsgLabel->text();
        MainForm->Close();
    });
    EXPECT_EQ(RunProgram({"lumora"}), 0);
    EXPECT_TRUE(visible);
    EXPECT_EQ(title, "LumoraV1.3--EDFA(Single)");
    EXPECT_EQ(status, " Device connected.");
    EXPECT_EQ(Application().Title(), "LumoraV1.2");
    EXPECT_EQ(MainForm, nullptr);
    EXPECT_TRUE(Application().HasCursor(246));
}

TEST_F(Program, NoticeSwitchShowsTheNoticeAndEndsAfterStartUp)
{
    MapSim();
    for (const char *sw : {"/MOSSGLADE", "/mossglade", "/MossGlade"}) {
        Watch.Boxes.clear();
        Sim.ClearReceived();
        EXPECT_EQ(RunProgram({"lumora", sw}), 0);
        ASSERT_EQ(Watch.Boxes.size(), 1) << sw;
        EXPECT_EQ(Watch.Boxes[0].Title, QStringLiteral("版权提示"));
        EXPECT_EQ(Watch.Boxes[0].Icon, QMessageBox::Information);
        // The rest of the start-up still ran: the device was read once.
        EXPECT_EQ(Sim.CountOf(0), 1);
        Application().CancelTerminate();
    }
}

TEST_F(Program, SwitchAsSecondArgumentDoesNothing)
{
    MapSim();
    QTimer::singleShot(0, [] { MainForm->Close(); });
    EXPECT_EQ(RunProgram({"lumora", "x", "/MOSSGLADE"}), 0);
    EXPECT_TRUE(Watch.Boxes.isEmpty());
}

} // namespace
