// Mouse input goes through the window system layer, as real input does.
#define QTEST_QPA_MOUSE_HANDLING
#include "SkinTestSupport.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"
#include "support/MessageBoxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace lumora::test;

TEST(XP_Button, ValuesAfterConstruction)
{
    TXP_Button button;
    EXPECT_EQ(button.size(), QSize(75, 24));
    EXPECT_TRUE(button.Caption().isEmpty());
    EXPECT_TRUE(button.Enabled());
    EXPECT_TRUE(button.TabStop());
    EXPECT_TRUE(button.Picture().Empty());
    EXPECT_EQ(button.PicPos(), pTop);
    EXPECT_FALSE(button.PicTrans());
    EXPECT_EQ(button.PicTransColor(), clBlack);
    EXPECT_EQ(button.PicOffSet(), 2);
    EXPECT_EQ(button.ModalResult(), mrNone);
    EXPECT_FALSE(button.Default());
    EXPECT_FALSE(button.Cancel());
    EXPECT_FALSE(button.EnterTarget());
    EXPECT_FALSE(button.HasFocusFlag());
}

TEST(XP_ButtonLooks, FrameChoiceAndStretchedSkin)
{
    TForm form;
    TXP_Button button(&form);
    button.setGeometry(0, 0, 96, 24);
    for (int n : {1, 2, 4, 5})
        EXPECT_EQ(ButtonLook(button.RenderState(n)), n) << n;
    // Stretched: corners keep the dialog colour, the outline runs along every
    // edge, the centre row repeats down to the bottom edge rows.
    const QImage normal = button.RenderState(1);
    for (auto [x, y] : {std::pair{0, 0}, {95, 0}, {0, 23}, {95, 23}})
        EXPECT_EQ(At(normal, x, y), Rgb(236, 233, 216)) << x << "," << y;
    EXPECT_EQ(At(normal, 48, 0), Rgb(0, 60, 116));
    EXPECT_EQ(At(normal, 48, 23), Rgb(0, 60, 116));
    EXPECT_EQ(At(normal, 0, 12), Rgb(0, 60, 116));
    EXPECT_EQ(At(normal, 95, 12), Rgb(0, 60, 116));
    EXPECT_EQ(At(normal, 90, 22), Rgb(214, 208, 197));

    button.setEnabled(false);
    EXPECT_EQ(ButtonLook(button.RenderState(2)), 3);
    EXPECT_EQ(ButtonLook(button.RenderState(4)), 3);
}

TEST(XP_ButtonLooks, CaptionIsCentredAndGreyWhenDisabled)
{
    TForm form;
    form.setFont(SansSerif());
    TXP_Button button(&form);
    button.setGeometry(0, 0, 96, 24);
    button.SetCaption(QStringLiteral("&Open"));
    const QRgb text = ColorToQColor(clWindowText).rgb();
    const QRect shown = PixelsOf(button.RenderState(1), text, QRect(3, 3, 90, 18));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_NEAR(shown.center().x(), 48, 3);
    EXPECT_NEAR(shown.center().y(), 12, 3);
    // The underline of "O" runs below the letters.
    EXPECT_GE(shown.bottom(), 15);

    button.setEnabled(false);
    const QImage disabled = button.RenderState(1);
    EXPECT_TRUE(PixelsOf(disabled, text).isEmpty());
    EXPECT_FALSE(PixelsOf(disabled, Rgb(128, 128, 128)).isEmpty());
}

TEST(XP_ButtonLooks, PicturePlacementAndDisabledGlyph)
{
    TForm form;
    form.setFont(SansSerif());
    TXP_Button button(&form);
    button.setGeometry(0, 0, 80, 60);
    QImage pic(10, 8, QImage::Format_RGB32);
    pic.fill(qRgb(255, 0, 255));
    pic.setPixel(0, 0, qRgb(200, 10, 10));
    pic.setPixel(9, 7, qRgb(1, 2, 3));
    pic.setPixel(5, 4, qRgb(10, 200, 10));
    button.SetPicture(TBitmap(pic));
    const int TH = QFontMetrics(SansSerif()).height();

    // pTop, empty caption: y = (60 - TH - 8 - 2) / 2, x = (80 - 10) / 2.
    const int y = (60 - TH - 8 - 2) / 2;
    QImage image = button.RenderState(1);
    EXPECT_EQ(At(image, 35, y), Rgb(200, 10, 10));
    EXPECT_EQ(At(image, 44, y + 7), Rgb(1, 2, 3));
    EXPECT_EQ(At(image, 36, y), Rgb(255, 0, 255)); // opaque without PicTrans

    button.SetPicTrans(true);
    button.SetPicTransColor(RGB(255, 0, 255));
    image = button.RenderState(1);
    EXPECT_EQ(At(image, 35, y), Rgb(200, 10, 10));
    EXPECT_NE(At(image, 36, y), Rgb(255, 0, 255));

    // pLeft with a caption: x = (80 - 10 - TW - 2) / 2, y = (60 - 8) / 2.
    button.SetPicTrans(false);
    button.SetPicPos(pLeft);
    button.SetCaption(QStringLiteral("Go"));
    const int TW = QFontMetrics(SansSerif()).horizontalAdvance(QStringLiteral("Go"));
    const int x = (80 - 10 - TW - 2) / 2;
    image = button.RenderState(1);
    EXPECT_EQ(At(image, x, 26), Rgb(200, 10, 10));
    const QRect caption = PixelsOf(image, ColorToQColor(clWindowText).rgb(), QRect(3, 3, 74, 54));
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_GE(caption.left(), x + 10 + 2);
    EXPECT_LE(caption.right(), x + 10 + 2 + TW);

    // Disabled: a silhouette in the button-face colour; the key colour (the
    // bottom-left pixel, magenta) stays out.
    button.setEnabled(false);
    image = button.RenderState(1);
    const QRgb face = ColorToQColor(clBtnFace).rgb();
    EXPECT_EQ(At(image, x, 26), face);
    EXPECT_EQ(At(image, x + 9, 33), face);
    EXPECT_EQ(At(image, x + 5, 30), face);
    EXPECT_EQ(At(image, x + 1, 26), Rgb(245, 244, 234));
}

// A form with the buttons "&Open", "&Save", an edit and a button counting
// its clicks.
class ButtonForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.setFont(SansSerif());
        Form.resize(400, 200);
        Open = AddButton(QStringLiteral("&Open"), 10, OpenClicks);
        Save = AddButton(QStringLiteral("&Save"), 120, SaveClicks);
        Edit = new QLineEdit(&Form);
        Edit->setGeometry(10, 60, 100, 21);
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
        QTest::mouseMove(&Form, QPoint(300, 150));
    }

    TXP_Button *AddButton(const QString &caption, int x, int &counter)
    {
        auto *button = new TXP_Button(&Form);
        button->setGeometry(x, 10, 96, 24);
        button->SetCaption(caption);
        button->OnClick = [&counter](QObject *) { ++counter; };
        return button;
    }

    TForm Form;
    TXP_Button *Open = nullptr;
    TXP_Button *Save = nullptr;
    QLineEdit *Edit = nullptr;
    int OpenClicks = 0;
    int SaveClicks = 0;
};

TEST_F(ButtonForm, PressShowsPressedLookAndLeavingAndComingBackClicksOnce)
{
    QTest::mouseMove(Open, QPoint(20, 10));
    EXPECT_EQ(ButtonLook(OnScreen(Open)), 4);
    QTest::mousePress(Open, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(Open->hasFocus());
    EXPECT_EQ(ButtonLook(OnScreen(Open)), 2);
    QTest::mouseMove(Open, QPoint(200, 100));
    EXPECT_EQ(ButtonLook(OnScreen(Open)), 5); // resting look while outside
    QTest::mouseMove(Open, QPoint(30, 12));
    EXPECT_EQ(ButtonLook(OnScreen(Open)), 4); // hover, not pressed, on return
    QTest::mouseRelease(Open, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(OpenClicks, 1);
    EXPECT_EQ(ButtonLook(OnScreen(Open)), 5);
}

TEST_F(ButtonForm, ReleaseOnePixelRightOrBelowMakesNoClick)
{
    QTest::mousePress(Open, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseRelease(Open, Qt::LeftButton, {}, QPoint(96, 10));
    EXPECT_EQ(ButtonLook(OnScreen(Open)), 5);
    QTest::mousePress(Open, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseRelease(Open, Qt::LeftButton, {}, QPoint(20, 24));
    QTest::mousePress(Open, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseRelease(Open, Qt::LeftButton, {}, QPoint(-1, 10));
    EXPECT_EQ(OpenClicks, 0);
    QTest::mouseClick(Open, Qt::LeftButton, {}, QPoint(95, 23));
    EXPECT_EQ(OpenClicks, 1);
}

TEST_F(ButtonForm, DoubleClickGivesOneClick)
{
    QTest::mouseDClick(Open, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(OpenClicks, 1);
}

TEST_F(ButtonForm, EnterAndSpaceClickTheFocusedButtonOnEveryRepeat)
{
    Open->setFocus();
    EXPECT_TRUE(Open->EnterTarget());
    EXPECT_FALSE(Save->EnterTarget());
    QTest::keyClick(Open, Qt::Key_Return);
    EXPECT_EQ(OpenClicks, 1);
    QTest::keyClick(Open, Qt::Key_Space);
    EXPECT_EQ(OpenClicks, 2);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(Open, &repeat);
    }
    EXPECT_EQ(OpenClicks, 5);
    QTest::keyClick(Open, Qt::Key_Return, Qt::ShiftModifier); // not a dialog key; the key-down clicks
    EXPECT_EQ(OpenClicks, 6);
    EXPECT_EQ(SaveClicks, 0);
}

TEST_F(ButtonForm, EnterInAnEditClicksOnlyADefaultButtonAndEscapeTheCancelButton)
{
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_Return);
    QTest::keyClick(Edit, Qt::Key_Escape);
    EXPECT_EQ(OpenClicks + SaveClicks, 0);

    Save->SetDefault(true);
    EXPECT_TRUE(Save->EnterTarget());
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_EQ(SaveClicks, 1);
    // Focus on another button: that one takes Enter, not the default one.
    Open->setFocus();
    EXPECT_FALSE(Save->EnterTarget());
    QTest::keyClick(Open, Qt::Key_Return);
    EXPECT_EQ(OpenClicks, 1);
    EXPECT_EQ(SaveClicks, 1);

    Open->SetCancel(true);
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_Escape);
    EXPECT_EQ(OpenClicks, 2);
    // A hidden default button cannot take the focus and does not take Enter.
    Save->hide();
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_EQ(SaveClicks, 1);
}

TEST_F(ButtonForm, AcceleratorsClickAndTakeTheFocus)
{
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(SaveClicks, 1);
    EXPECT_TRUE(Save->hasFocus());
    // A plain character acts while the focus is on a button, not in an edit.
    QTest::keyClick(Save, Qt::Key_O);
    EXPECT_EQ(OpenClicks, 1);
    EXPECT_TRUE(Open->hasFocus());
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_O);
    EXPECT_EQ(OpenClicks, 1);
    EXPECT_EQ(Edit->text(), QStringLiteral("o"));
    // "&&" is no accelerator.
    Save->SetCaption(QStringLiteral("R&&D"));
    QTest::keyClick(Edit, Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(SaveClicks, 1);
}

TEST_F(ButtonForm, DisabledButtonGetsNothingAndItsAcceleratorGoesOn)
{
    auto *second = new TXP_Button(&Form);
    int secondClicks = 0;
    second->SetCaption(QStringLiteral("&Open again"));
    second->setGeometry(10, 100, 96, 24);
    second->OnClick = [&](QObject *) { ++secondClicks; };
    second->show();
    Open->setEnabled(false);
    EXPECT_EQ(ButtonLook(OnScreen(Open)), 3);
    QTest::mouseClick(Open, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(OpenClicks, 0);
    EXPECT_FALSE(Open->hasFocus());
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(OpenClicks, 0);
    EXPECT_EQ(secondClicks, 1);
}

TEST_F(ButtonForm, HiddenEnabledButtonReportsTheFocusErrorAndDoesNotClick)
{
    Open->hide();
    Edit->setFocus();
    const auto boxes = CatchMessageBoxes([&] { QTest::keyClick(Edit, Qt::Key_O, Qt::AltModifier); });
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].Text, QStringLiteral("Cannot focus a disabled or invisible window."));
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(OpenClicks, 0);

    // Hidden and disabled: the character goes on without a box.
    Open->setEnabled(false);
    const auto none = CatchMessageBoxes([&] { QTest::keyClick(Edit, Qt::Key_O, Qt::AltModifier); });
    EXPECT_TRUE(none.isEmpty());
}

TEST(XP_ButtonModal, ClickHandsTheModalResultToTheForm)
{
    TForm dialog;
    dialog.resize(200, 80);
    auto *ok = new TXP_Button(&dialog);
    ok->SetCaption(QStringLiteral("&OK"));
    ok->SetModalResult(mrOk);
    auto *none = new TXP_Button(&dialog);
    none->move(100, 0);
    QTimer::singleShot(0, &dialog, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::mouseClick(none, Qt::LeftButton, {}, QPoint(5, 5)); // result 0 ends nothing
        QTest::keyClick(none, Qt::Key_O, Qt::AltModifier);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
}

} // namespace
