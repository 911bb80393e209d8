// Mouse input goes through the window system layer, as real input does.
#define QTEST_QPA_MOUSE_HANDLING
#include "Recorder.h"
#include "framework/Forms.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A form with an edit, a control "&Go" directly on it and a control "&In"
// inside a plain panel.
class FormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.resize(300, 200);
        Edit = new QLineEdit(&Form);
        Edit->setGeometry(10, 10, 100, 20);
        Go = new TRecorder(&Form, QStringLiteral("&Go"));
        Go->setGeometry(10, 40, 60, 24);
        auto *panel = new QWidget(&Form);
        panel->setGeometry(100, 40, 150, 100);
        In = new TRecorder(panel, QStringLiteral("&In"));
        In->setGeometry(5, 5, 60, 24);
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
    }

    TForm Form;
    QLineEdit *Edit = nullptr;
    TRecorder *Go = nullptr;
    TRecorder *In = nullptr;
};

TEST_F(FormsTest, AltCharacterIsOfferedToControlsInsideOtherWidgets)
{
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(In->Log.count(QStringLiteral("accel I")), 1);
    QTest::keyClick(Edit, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(Go->Log.count(QStringLiteral("accel G")), 1);
    EXPECT_TRUE(Edit->text().isEmpty());
}

TEST_F(FormsTest, PlainCharacterIsAnAcceleratorOnlyWhileTheFocusTakesNoCharacters)
{
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_G);
    EXPECT_EQ(Edit->text(), QStringLiteral("g"));
    EXPECT_EQ(Go->Log.count(QStringLiteral("accel g")), 0);

    In->setFocus();
    QTest::keyClick(In, Qt::Key_G);
    EXPECT_EQ(Go->Log.count(QStringLiteral("accel g")), 1);
    // An unclaimed character goes on to the focused control.
    QTest::keyClick(In, Qt::Key_X);
    EXPECT_TRUE(In->Log.contains(QStringLiteral("key 88")));
}

TEST_F(FormsTest, EnterAndEscapeAreOfferedBeforeTheFocusedWidgetSeesThem)
{
    In->setFocus();
    Go->ClaimKeys = true;
    QTest::keyClick(In, Qt::Key_Return);
    QTest::keyClick(In, Qt::Key_Escape);
    EXPECT_EQ(Go->Log, (QStringList{"dialogkey 13", "dialogkey 27"}));
    EXPECT_FALSE(In->Log.contains(QStringLiteral("key 13")));

    Go->ClaimKeys = false;
    QTest::keyClick(In, Qt::Key_Return);
    EXPECT_TRUE(In->Log.contains(QStringLiteral("key 13")));
}

TEST_F(FormsTest, FocusChangesAreAnnouncedToEveryControl)
{
    In->setFocus();
    EXPECT_EQ(Go->LastFocusNotice, In);
    EXPECT_EQ(In->LastFocusNotice, In);
    Edit->setFocus();
    EXPECT_EQ(Go->LastFocusNotice, Edit);
    const int before = In->FocusNotices;
    Form.AnnounceFocus();
    EXPECT_EQ(In->FocusNotices, before + 1);
    EXPECT_EQ(In->LastFocusNotice, Edit);
}

TEST_F(FormsTest, TabFollowsTheGivenOrder)
{
    Form.SetTabOrder({In, Edit, Go});
    In->setFocus();
    QTest::keyClick(In, Qt::Key_Tab);
    EXPECT_TRUE(Edit->hasFocus());
    QTest::keyClick(Edit, Qt::Key_Tab);
    EXPECT_TRUE(Go->hasFocus());
}

TEST(ModalForm, ShowModalReturnsTheResultSetWhileShown)
{
    TForm dialog;
    dialog.resize(100, 80);
    QTimer::singleShot(0, &dialog, [&] { dialog.SetModalResult(mrOk); });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_FALSE(dialog.isVisible());

    // A result of 0 does not end the modal loop.
    QTimer::singleShot(0, &dialog, [&] {
        dialog.SetModalResult(mrNone);
        QTimer::singleShot(0, &dialog, [&] { dialog.SetModalResult(7); });
    });
    EXPECT_EQ(dialog.ShowModal(), 7);
}

TEST(ModalForm, ClosingAModalFormEndsItWithCancel)
{
    TForm dialog;
    dialog.resize(100, 80);
    QTimer::singleShot(0, &dialog, [&] { dialog.Close(); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

} // namespace
