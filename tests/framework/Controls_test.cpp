// Mouse input goes through the window system layer, as real input does.
#define QTEST_QPA_MOUSE_HANDLING
#include "Recorder.h"
#include "framework/Forms.h"
#include "support/MessageBoxes.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using lumora::test::CatchMessageBoxes;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.resize(300, 200);
        Control = new TRecorder(&Form);
        Control->setGeometry(10, 10, 60, 30);
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
        Control->Log.clear();
    }

    TForm Form;
    TRecorder *Control = nullptr;
};

TEST_F(ControlsTest, PressAndReleaseInsideClicksOnceAndReleaseOnTheEdgeDoesNot)
{
    QTest::mouseClick(Control, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Control->Log.count(QStringLiteral("click")), 1);

    // The right and bottom edges lie outside for the click.
    Control->Log.clear();
    QTest::mousePress(Control, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(Control, Qt::LeftButton, {}, QPoint(60, 5));
    QTest::mousePress(Control, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(Control, Qt::LeftButton, {}, QPoint(5, 30));
    EXPECT_EQ(Control->Log.count(QStringLiteral("click")), 0);

    // A right-button press and release is no click.
    QTest::mouseClick(Control, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(Control->Log.count(QStringLiteral("click")), 0);
}

TEST_F(ControlsTest, DoubleClickArrivesAsDoubleClickNotAsSecondPress)
{
    QTest::mouseMove(Control, QPoint(5, 5));
    Control->Log.clear();
    QTest::mouseDClick(Control, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Control->Log, (QStringList{"down 5,5", "up 5,5", "click", "dblclick", "up 5,5"}));
}

TEST_F(ControlsTest, CaptureDeliversLeaveAndEnterAndTheReleaseOutside)
{
    QTest::mouseMove(Control, QPoint(5, 5));
    QTest::mousePress(Control, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(Control, QPoint(100, 5));
    QTest::mouseMove(Control, QPoint(6, 5));
    QTest::mouseMove(Control, QPoint(120, 50));
    QTest::mouseRelease(Control, Qt::LeftButton, {}, QPoint(120, 50));
    EXPECT_EQ(Control->Log, (QStringList{"enter", "down 5,5", "leave", "enter", "leave", "up 120,50"}));
}

TEST_F(ControlsTest, TakeFocusRefusesHiddenOrDisabledChains)
{
    EXPECT_NO_THROW(Control->TakeFocus());
    EXPECT_TRUE(Control->hasFocus());

    auto *panel = new QWidget(&Form);
    auto *inner = new TRecorder(panel);
    panel->show();
    EXPECT_TRUE(inner->CanFocus());
    panel->setEnabled(false);
    EXPECT_FALSE(inner->CanFocus());
    panel->setEnabled(true);
    inner->hide();
    EXPECT_FALSE(inner->CanFocus());
    try {
        inner->TakeFocus();
        ADD_FAILURE() << "no error";
    } catch (const ELumoraError &error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Cannot focus a disabled or invisible window"));
    }
}

TEST_F(ControlsTest, ErrorEscapingAHookIsShownAndTheProgramCarriesOn)
{
    Control->setFocus();
    Control->ThrowOnKey = true;
    const auto boxes = CatchMessageBoxes([&] { QTest::keyClick(Control, Qt::Key_A); });
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].Text, QStringLiteral("Key refused."));
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Critical);

    Control->ThrowOnKey = false;
    QTest::keyClick(Control, Qt::Key_B);
    EXPECT_TRUE(Control->Log.contains(QStringLiteral("key 66")));
}

TEST_F(ControlsTest, CaptionFollowsTheNameUntilGiven)
{
    TRecorder named(nullptr);
    named.SetName(QStringLiteral("XP_Button9"));
    EXPECT_EQ(named.Caption(), QStringLiteral("XP_Button9"));
    named.SetCaption(QStringLiteral("&Open"));
    named.SetName(QStringLiteral("Other"));
    EXPECT_EQ(named.Caption(), QStringLiteral("&Open"));
}

} // namespace
