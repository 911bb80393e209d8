#include "FormFixture.h"

#include "framework/Application.h"

#include <QScreen>

namespace {

const QPoint OnClose(476, 15);
const QPoint OnMin(461, 15);
const QPoint OnCaption(300, 15);

// Mouse input through the window, as the platform delivers it: to the
// widget under the pointer, or to the one holding the mouse while a button
// is down. Frame and window coordinates are the same.
void Move(FramedWindow &w, QPoint p)
{
    QTest::mouseMove(w.form->windowHandle(), p);
}
void Press(FramedWindow &w, QPoint p)
{
    QTest::mousePress(w.form->windowHandle(), Qt::LeftButton, {}, p);
}
void Release(FramedWindow &w, QPoint p)
{
    QTest::mouseRelease(w.form->windowHandle(), Qt::LeftButton, {}, p);
}
void Click(FramedWindow &w, QPoint p)
{
    QTest::mouseClick(w.form->windowHandle(), Qt::LeftButton, {}, p);
}
// Press, release, press, release in quick succession.
void DoubleClick(FramedWindow &w, QPoint p)
{
    QTest::mouseDClick(w.form->windowHandle(), Qt::LeftButton, {}, p);
}

// The main window's frame: close and minimise shown.
struct MainWindow : FramedWindow {
    MainWindow() : FramedWindow(QSize(492, 353)) { Show(); }
};

} // namespace

TEST(XPFormMouse, HoverFollowsThePointerBetweenButtons)
{
    MainWindow w;
    Move(w, OnMin);
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csMinHover);
    QImage shot = w.frame->Canvas();
    EXPECT_TRUE(ButtonShows(shot, 454, 7, "XPFORM_MIN", 3));
    EXPECT_TRUE(ButtonShows(shot, 469, 7, "XPFORM_CLOSE", 1));

    Move(w, OnClose);
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csCloseHover);
    shot = w.frame->Canvas();
    EXPECT_TRUE(ButtonShows(shot, 454, 7, "XPFORM_MIN", 1));
    EXPECT_TRUE(ButtonShows(shot, 469, 7, "XPFORM_CLOSE", 3));

    Move(w, OnCaption);
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csNone);
    shot = w.frame->Canvas();
    EXPECT_TRUE(ButtonShows(shot, 454, 7, "XPFORM_MIN", 1));
    EXPECT_TRUE(ButtonShows(shot, 469, 7, "XPFORM_CLOSE", 1));

    // Leaving a lit button for the client panel leaves it lit.
    Move(w, OnMin);
    Move(w, QPoint(200, 200));
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csMinHover);
    EXPECT_TRUE(ButtonShows(w.frame->Canvas(), 454, 7, "XPFORM_MIN", 3));

    // A repaint shows the normal frames but keeps the state: moving on
    // within the same button draws nothing.
    w.frame->SetCaptionShadow(false);
    Move(w, OnMin + QPoint(1, 0));
    EXPECT_TRUE(ButtonShows(w.frame->Canvas(), 454, 7, "XPFORM_MIN", 1));
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csMinHover);
}

TEST(XPFormMouse, PressShowsPressedUntilTheNextMove)
{
    MainWindow w;
    Move(w, OnClose);
    Press(w, OnClose);
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csClosePressed);
    EXPECT_TRUE(ButtonShows(w.frame->Canvas(), 469, 7, "XPFORM_CLOSE", 2));
    Move(w, OnClose + QPoint(1, 1));
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csCloseHover);
    EXPECT_TRUE(ButtonShows(w.frame->Canvas(), 469, 7, "XPFORM_CLOSE", 3));
    // Released outside every button: no action.
    Move(w, OnCaption);
    Release(w, OnCaption);
    EXPECT_EQ(w.form->closeRequests, 0);
    EXPECT_TRUE(w.form->isVisible());
}

TEST(XPFormMouse, ReleaseActsWhereTheButtonIsReleased)
{
    MainWindow w;
    // Pressed on close, released on minimise: the application minimises.
    Press(w, OnClose);
    Move(w, OnMin);
    Release(w, OnMin);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.form->isMinimized(); }));
    EXPECT_EQ(w.form->closeRequests, 0);
    w.form->showNormal();
    w.Show();

    // Pressed on the border, released on close: the window closes.
    Press(w, QPoint(1, 200));
    Move(w, OnClose);
    EXPECT_EQ(w.form->closeRequests, 0);
    Release(w, OnClose);
    EXPECT_EQ(w.form->closeRequests, 1);
    EXPECT_FALSE(w.form->isVisible());
}

TEST(XPFormMouse, SharedColumnBelongsToTheCloseButton)
{
    MainWindow w;
    Move(w, QPoint(469, 15));
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csCloseHover);
    Move(w, QPoint(468, 15));
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csMinHover);
    // The right and bottom edges count: x = 484 and y = 23 are on close.
    Move(w, QPoint(484, 23));
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csCloseHover);
    Move(w, QPoint(485, 23));
    EXPECT_EQ(w.frame->LastState(), TXP_Form::csNone);
    Click(w, QPoint(469, 15));
    EXPECT_EQ(w.form->closeRequests, 1);
}

TEST(XPFormMouse, NoActionOutsideTheShownButtons)
{
    MainWindow w;
    int helps = 0;
    w.frame->OnHelp = [&](QObject *) { ++helps; };
    // (0, 0) is where a hidden button's empty rectangle lies.
    Click(w, QPoint(0, 0));
    Click(w, QPoint(440, 15));
    Click(w, QPoint(1, 200));
    EXPECT_EQ(helps, 0);
    EXPECT_EQ(w.form->closeRequests, 0);
    EXPECT_FALSE(w.form->isMinimized());
    EXPECT_EQ(w.form->pos(), QPoint(100, 100));

    // With a help button, its release raises OnHelp.
    w.frame->SetBtnHelp(true);
    const QPoint onHelp(446, 15);
    Click(w, onHelp);
    EXPECT_EQ(helps, 1);
}

TEST(XPFormMouse, DoubleClickOnTheCaptionTogglesOnlyWithMaximise)
{
    MainWindow w;
    DoubleClick(w, OnCaption);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.form->isMaximized());

    w.frame->SetBtnMax(true);
    DoubleClick(w, OnCaption);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.form->isMaximized(); }));
    // Maximised: no dragging.
    const QPoint at = w.form->pos();
    Press(w, OnCaption);
    Move(w, OnCaption + QPoint(40, 30));
    Release(w, OnCaption + QPoint(40, 30));
    EXPECT_EQ(w.form->pos(), at);
    DoubleClick(w, OnCaption);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.form->isMaximized(); }));
}

TEST(XPFormMouse, DoubleClickOnThePictureCloses)
{
    FramedWindow w(QSize(300, 100));
    QImage art(16, 16, QImage::Format_RGB32);
    art.fill(qRgb(200, 0, 0));
    w.frame->SetPicture(TBitmap(art));
    w.Show();
    DoubleClick(w, QPoint(12, 12));
    EXPECT_EQ(w.form->closeRequests, 1);
}

TEST(XPFormMouse, CaptionDragsTheWindowAndMagnetSnaps)
{
    FramedWindow w(QSize(237, 74), false);
    w.Show();
    const QPoint grip(100, 12);
    const auto drag = [&](QPoint by) {
        Press(w, grip);
        Move(w, grip + by);
        // The window followed the pointer: it is over the grip again.
        Release(w, grip);
    };

    drag(QPoint(60, 40));
    EXPECT_EQ(w.form->pos(), QPoint(160, 140));
    drag(QPoint(-153, -133)); // top 7, left 7: without a magnet it stays
    EXPECT_EQ(w.form->pos(), QPoint(7, 7));

    w.frame->SetMagnet(10);
    drag(QPoint(-27, 0)); // left -20, top 7
    EXPECT_EQ(w.form->pos(), QPoint(0, 0));

    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    drag(QPoint(screenWidth - 6 - 237, 300)); // right edge 6 inside
    EXPECT_EQ(w.form->pos(), QPoint(screenWidth - 237, 300));
    drag(QPoint(-300, screenHeight - 74 - 9 - 300)); // bottom 9 above the edge
    EXPECT_EQ(w.form->pos(), QPoint(screenWidth - 237 - 300, screenHeight - 74 - GetTaskbarHeight()));
}

TEST(XPFormMouse, TooTallWindowEndsBottomAligned)
{
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    FramedWindow w(QSize(300, screenHeight - 5), false);
    w.form->move(50, 50);
    w.frame->SetMagnet(10);
    w.Show();
    Press(w, QPoint(100, 10));
    Move(w, QPoint(100, 10) + QPoint(0, -47)); // top 3
    Release(w, QPoint(100, 10));
    EXPECT_EQ(w.form->pos(), QPoint(50, 5));
}

TEST(XPFormMouse, SizeableEdgesResizeTheWindow)
{
    FramedWindow w(QSize(300, 200));
    w.frame->SetBorderStyle(bsSizeable);
    w.Show();
    // Over the left border: the sizing cursor, and no hover.
    Move(w, QPoint(1, 100));
    EXPECT_EQ(w.frame->cursor().shape(), Qt::SizeHorCursor);
    Move(w, QPoint(3, 2));
    EXPECT_EQ(w.frame->cursor().shape(), Qt::SizeFDiagCursor);

    // Dragging the right edge 40 pixels wider.
    Press(w, QPoint(298, 100));
    Move(w, QPoint(338, 100));
    Release(w, QPoint(338, 100));
    EXPECT_EQ(w.form->geometry(), QRect(100, 100, 340, 200));

    // Dragging the top-left corner: the bottom-right stays put, and the
    // window stops at 100 x 100.
    // (The window's corner pixel itself is cut off by its outline.)
    Press(w, QPoint(3, 2));
    Move(w, QPoint(400, 300));
    Release(w, QPoint(3, 2));
    EXPECT_EQ(w.form->geometry(), QRect(340, 200, 100, 100));

    // Maximised, the window has no zones.
    w.form->showMaximized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.form->isMaximized(); }));
    Move(w, QPoint(200, 150)); // onto the panel first
    Move(w, QPoint(1, 150));
    EXPECT_EQ(w.frame->cursor().shape(), Qt::ArrowCursor);
    w.form->showNormal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.form->isMaximized(); }));

    // A fixed border has no zones.
    w.frame->SetBorderStyle(bsSingle);
    Move(w, QPoint(1, 50));
    EXPECT_EQ(w.frame->cursor().shape(), Qt::ArrowCursor);
    const QRect before = w.form->geometry();
    Press(w, QPoint(1, 50));
    Move(w, QPoint(30, 50));
    Release(w, QPoint(30, 50));
    EXPECT_EQ(w.form->geometry(), before);
}

TEST(XPFormMouse, HoverRightAfterAResizeShowsTheWholeFrame)
{
    MainWindow w;
    w.form->resize(520, 380);
    // No paint has run for the new size yet when the pointer arrives.
    Move(w, QPoint(520 - 16, 15));
    const QImage canvas = w.frame->Canvas();
    ASSERT_EQ(canvas.size(), QSize(520, 380));
    EXPECT_EQ(canvas.pixel(100, 1), Rgb(63, 151, 255));
    EXPECT_EQ(canvas.pixel(1, 370), SkinFrame("XPFORM_LEFT", 2, 1, true).pixel(1, 31));
    EXPECT_TRUE(ButtonShows(canvas, 520 - 23, 7, "XPFORM_CLOSE", 3));
}
