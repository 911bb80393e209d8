// Mouse input goes through the window system layer, as real input does.
#define QTEST_QPA_MOUSE_HANDLING
#include "SkinTestSupport.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace lumora::test;

TEST(XP_CheckBox, ValuesAfterConstruction)
{
    TXP_CheckBox box;
    EXPECT_EQ(box.size(), QSize(121, 17));
    EXPECT_FALSE(box.Checked());
    EXPECT_TRUE(box.TabStop());
    EXPECT_EQ(box.Color(), 15136504u);
    EXPECT_TRUE(box.Caption().isEmpty());
}

TEST(XP_CheckBoxLooks, FrameForEveryStateAndTheMarkPosition)
{
    TForm form;
    form.setFont(SansSerif());
    TXP_CheckBox box(&form);
    box.SetCaption(QStringLiteral("DHCP Enable"));
    const int top = (17 - 13) / 2;
    EXPECT_EQ(CheckLook(box.RenderState(1), top), 1);
    EXPECT_EQ(CheckLook(box.RenderState(5), top), 5);
    box.SetChecked(true);
    EXPECT_EQ(CheckLook(box.RenderState(1), top), 2);
    EXPECT_EQ(CheckLook(box.RenderState(6), top), 6);
    EXPECT_EQ(CheckLook(box.RenderState(5), top), 2);
    box.setEnabled(false);
    EXPECT_EQ(CheckLook(box.RenderState(6), top), 4);
    box.SetChecked(false);
    EXPECT_EQ(CheckLook(box.RenderState(5), top), 3);

    // The background around the mark is the control's colour; a low control
    // draws the mark from a negative top, clipped.
    EXPECT_EQ(At(box.RenderState(1), 5, 0), kCream);
    box.setEnabled(true);
    box.resize(121, 9);
    EXPECT_EQ(CheckLook(box.RenderState(1), -2), 0); // its top row is cut off
    EXPECT_EQ(At(box.RenderState(1), 0, 8), Rgb(0, 59, 116));
}

TEST(XP_CheckBoxLooks, CaptionLeftAlignedAfterTheMarkGreyWhenDisabled)
{
    TForm form;
    form.setFont(SansSerif());
    TXP_CheckBox box(&form);
    box.SetCaption(QStringLiteral("DHCP Enable"));
    const QRgb text = ColorToQColor(clWindowText).rgb();
    const QRect shown = PixelsOf(box.RenderState(1), text, QRect(13, 0, 108, 17));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_GE(shown.left(), 17);
    EXPECT_LE(shown.left(), 19);
    box.setEnabled(false);
    const QImage disabled = box.RenderState(1);
    EXPECT_TRUE(PixelsOf(disabled, text).isEmpty());
    EXPECT_FALSE(PixelsOf(disabled, Rgb(128, 128, 128)).isEmpty());
}

// A form holding the check box "&Auto mode", an edit and a button.
class CheckForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.setFont(SansSerif());
        Form.resize(300, 150);
        Box = new TXP_CheckBox(&Form);
        Box->move(10, 10);
        Box->SetCaption(QStringLiteral("&Auto mode"));
        Box->OnClick = [this](QObject *sender) {
            EXPECT_EQ(sender, Box);
            Reports << Box->Checked();
        };
        Edit = new QLineEdit(&Form);
        Edit->setGeometry(10, 40, 100, 21);
        Button = new TXP_Button(&Form);
        Button->setGeometry(10, 80, 96, 24);
        Button->OnClick = [this](QObject *) { ++ButtonClicks; };
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
        QTest::mouseMove(&Form, QPoint(250, 140));
    }

    TForm Form;
    TXP_CheckBox *Box = nullptr;
    QLineEdit *Edit = nullptr;
    TXP_Button *Button = nullptr;
    QList<bool> Reports;
    int ButtonClicks = 0;
};

TEST_F(CheckForm, PressTogglesAndReleaseReportsAlsoOutside)
{
    QTest::mousePress(Box, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(Box->Checked());
    EXPECT_TRUE(Box->hasFocus());
    EXPECT_TRUE(Reports.isEmpty());
    QTest::mouseMove(Box, QPoint(200, 100));
    QTest::mouseRelease(Box, Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_EQ(Reports, QList<bool>{true});
    EXPECT_EQ(CheckLook(OnScreen(Box), 2), 2);
}

TEST_F(CheckForm, DoubleClickTogglesOnceAndReportsTwice)
{
    QTest::mouseDClick(Box, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(Box->Checked());
    EXPECT_EQ(Reports, (QList<bool>{true, true}));
}

TEST_F(CheckForm, PointerOverShowsTheHotLookUntilTheNextRepaint)
{
    QTest::mouseMove(Box, QPoint(5, 8));
    EXPECT_EQ(CheckLook(OnScreen(Box), 2), 5);
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_EQ(CheckLook(OnScreen(Box), 2), 2);
    QTest::mouseMove(&Form, QPoint(250, 140));
    QTest::mouseMove(Box, QPoint(6, 8));
    EXPECT_EQ(CheckLook(OnScreen(Box), 2), 6);
}

TEST_F(CheckForm, EnterSpaceAndTheAcceleratorToggleAndReport)
{
    Box->setFocus();
    QTest::keyClick(Box, Qt::Key_Space);
    QTest::keyClick(Box, Qt::Key_Return);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(Box, &repeat);
    EXPECT_EQ(Reports, (QList<bool>{true, false, true}));
    QTest::keyClick(Box, Qt::Key_X);
    EXPECT_EQ(Reports.size(), 3);

    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(Box->hasFocus());
    EXPECT_EQ(Reports, (QList<bool>{true, false, true, false}));
}

TEST_F(CheckForm, EnterGoesToADefaultButtonFirst)
{
    Box->setFocus();
    Button->SetDefault(true);
    QTest::keyClick(Box, Qt::Key_Return);
    EXPECT_EQ(ButtonClicks, 1);
    EXPECT_TRUE(Reports.isEmpty());
    QTest::keyClick(Box, Qt::Key_Space);
    EXPECT_EQ(Reports, QList<bool>{true});
}

TEST_F(CheckForm, CheckedFromCodeRepaintsButReportsNothing)
{
    Box->SetChecked(true);
    EXPECT_EQ(CheckLook(OnScreen(Box), 2), 2);
    EXPECT_TRUE(Reports.isEmpty());
}

TEST_F(CheckForm, DisabledBoxIgnoresMouseKeysAndAccelerator)
{
    Box->setEnabled(false);
    EXPECT_EQ(CheckLook(OnScreen(Box), 2), 3);
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(5, 8));
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_A, Qt::AltModifier);
    EXPECT_FALSE(Box->Checked());
    EXPECT_TRUE(Reports.isEmpty());
}

TEST_F(CheckForm, FocusRectangleSurroundsTheCaption)
{
    const QImage unfocused = OnScreen(Box);
    Box->setFocus();
    ASSERT_TRUE(Box->HasFocusFlag());
    const QImage focused = OnScreen(Box);
    const QSize text = TextExtent(SansSerif(), QStringLiteral("Auto mode"));
    const int left = 16;
    const int top = (17 - text.height()) / 2 - 1;
    const int right = left + text.width(); // last column of the rectangle
    const int bottom = top + text.height();
    const QRgb inverted = qRgb(255 - 248, 255 - 246, 255 - 230);
    const int row = bottom; // the bottom edge lies inside the control
    ASSERT_LT(row, 17);
    EXPECT_EQ(At(focused, left, row), (left - left + row - top) % 2 == 0 ? inverted : kCream);
    EXPECT_EQ(At(focused, left - 1, row), kCream);
    EXPECT_EQ(At(focused, right + 1, row), At(unfocused, right + 1, row));
    int dots = 0;
    for (int x = left; x <= right; ++x)
        dots += At(focused, x, row) == inverted;
    EXPECT_NEAR(dots, (right - left + 1) / 2.0, 1.0);
    // Disabled: no focus rectangle.
    Box->setEnabled(false);
    EXPECT_EQ(PixelsOf(OnScreen(Box), inverted), QRect());
}

} // namespace
