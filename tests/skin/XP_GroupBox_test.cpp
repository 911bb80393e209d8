#include "SkinTestSupport.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"
#include "skin/XP_GroupBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace lumora::test;

const QRgb kBorder = qRgb(208, 208, 191);

TEST(XP_GroupBox, ValuesAfterConstruction)
{
    TXP_GroupBox box;
    EXPECT_EQ(box.size(), QSize(185, 105));
    EXPECT_EQ(box.BorderColor(), 12570832u);
    EXPECT_EQ(box.CaptionColor(), 13583874u);
    EXPECT_EQ(box.Color(), 15136504u);
    EXPECT_FALSE(box.TabStop());
}

TEST(XP_GroupBoxLooks, BorderAndBandForAnEmptyCaption)
{
    TForm form;
    form.setFont(SansSerif());
    TXP_GroupBox box(&form);
    box.resize(366, 254);
    const int TH = TextExtent(SansSerif(), QString()).height();
    const int line = TH / 2;
    const QImage image = box.Render();
    // Straight edges: top line at half the text height, right edge W - 1,
    // bottom edge H - 1; the inside keeps the background.
    EXPECT_EQ(At(image, 100, line), kBorder);
    EXPECT_EQ(At(image, 100, 253), kBorder);
    EXPECT_EQ(At(image, 0, 130), kBorder);
    EXPECT_EQ(At(image, 365, 130), kBorder);
    EXPECT_EQ(At(image, 100, 130), kCream);
    EXPECT_EQ(At(image, 100, line - 1), kCream);
    // Rounded corners: the corner pixels themselves are background.
    EXPECT_EQ(At(image, 0, line), kCream);
    EXPECT_EQ(At(image, 365, 253), kCream);
    // The empty band (10, 0) to (16, TH) cuts a 6-pixel gap in the top line.
    for (int x = 10; x < 16; ++x)
        EXPECT_EQ(At(image, x, line), kCream) << x;
    EXPECT_EQ(At(image, 9, line), kBorder);
    EXPECT_EQ(At(image, 16, line), kBorder);
}

TEST(XP_GroupBoxLooks, CaptionOnItsBandGreyWhenDisabledAndCutOffWhenLong)
{
    TForm form;
    form.setFont(SansSerif());
    TXP_GroupBox box(&form);
    box.SetCaption(QStringLiteral("Device"));
    const QSize text = TextExtent(SansSerif(), QStringLiteral("Device"));
    const int line = text.height() / 2;
    QImage image = box.Render();
    EXPECT_EQ(At(image, 10 + text.width() + 5, line), kCream);
    EXPECT_EQ(At(image, 10 + text.width() + 6, line), kBorder);
    const QRect caption = PixelsOf(image, Rgb(2, 70, 207));
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_GE(caption.left(), 13);
    EXPECT_LE(caption.right(), 13 + text.width());
    EXPECT_LT(caption.bottom(), text.height());

    box.setEnabled(false);
    image = box.Render();
    EXPECT_TRUE(PixelsOf(image, Rgb(2, 70, 207)).isEmpty());
    EXPECT_FALSE(PixelsOf(image, Rgb(128, 128, 128)).isEmpty());
    EXPECT_EQ(At(image, 100, 104), kBorder);

    box.setEnabled(true);
    box.resize(60, 40);
    box.SetCaption(QStringLiteral("A caption wider than the box"));
    image = box.Render();
    const int longLine = TextExtent(SansSerif(), box.Caption()).height() / 2;
    for (int x = 10; x < 60; ++x)
        EXPECT_NE(At(image, x, longLine), kBorder) << x;
    EXPECT_EQ(At(image, 59, 20), kBorder);
    EXPECT_FALSE(PixelsOf(image, Rgb(2, 70, 207), QRect(50, 0, 10, 20)).isEmpty());
}

// A group box holding a button "&Xray" and an edit, followed on the form by
// another button "&Xmit".
class GroupForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.setFont(SansSerif());
        Form.resize(400, 200);
        Group = new TXP_GroupBox(&Form);
        Group->setGeometry(10, 10, 250, 120);
        Inner = new TXP_Button(Group);
        Inner->setGeometry(10, 20, 96, 24);
        Inner->SetCaption(QStringLiteral("&Xray"));
        Inner->OnClick = [this](QObject *) { ++InnerClicks; };
        Edit = new QLineEdit(Group);
        Edit->setGeometry(10, 60, 100, 21);
        After = new TXP_Button(&Form);
        After->setGeometry(280, 20, 96, 24);
        After->SetCaption(QStringLiteral("&Xmit"));
        After->OnClick = [this](QObject *) { ++AfterClicks; };
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
        Edit->setFocus();
    }

    TForm Form;
    TXP_GroupBox *Group = nullptr;
    TXP_Button *Inner = nullptr;
    QLineEdit *Edit = nullptr;
    TXP_Button *After = nullptr;
    int InnerClicks = 0;
    int AfterClicks = 0;
};

TEST_F(GroupForm, AcceleratorsOfControlsInsideAreNeverOffered)
{
    QTest::keyClick(Edit, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(InnerClicks, 0);
    EXPECT_EQ(AfterClicks, 1);
    // Enter still reaches a default button inside the group box.
    Inner->SetDefault(true);
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_EQ(InnerClicks, 1);
}

TEST_F(GroupForm, ItsOwnAcceleratorFocusesTheGroupBoxItself)
{
    Group->SetCaption(QStringLiteral("&Network"));
    QTest::keyClick(Edit, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(Group->hasFocus());
    // Hidden: the character stays unclaimed.
    After->SetCaption(QStringLiteral("&Next"));
    Group->hide();
    After->setFocus();
    QTest::keyClick(After, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(AfterClicks, 1);
}

TEST_F(GroupForm, PaintShowsOnScreenBehindItsChildren)
{
    const QImage shown = OnScreen(Group);
    EXPECT_EQ(At(shown, 249, 100), kBorder);
    EXPECT_EQ(At(shown, 200, 100), kCream);
    EXPECT_EQ(ButtonLook(OnScreen(Inner)), 1);
}

} // namespace
