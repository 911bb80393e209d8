#include "FormFixture.h"

#include "skin/FormGeometry.h"

#include <QApplication>
#include <QFrame>
#include <QScreen>

namespace {

const QRgb Cream = qRgb(248, 246, 230);

// Counts the frame's paints, to tell a repaint from none.
class TCountingForm : public TXP_Form {
public:
    using TXP_Form::TXP_Form;
    int paints = 0;

protected:
    void Paint() override
    {
        ++paints;
        TXP_Form::Paint();
    }
};

// The first column from `from` on that holds a pixel of `colour` within the
// caption's text rows, or -1.
int FirstColumnWith(const QImage &shot, QRgb colour, int from, int to)
{
    for (int x = from; x < to; ++x)
        for (int y = 3; y < 26; ++y)
            if (shot.pixel(x, y) == colour)
                return x;
    return -1;
}

} // namespace

TEST(XPFormPaint, MainWindowFrameLaysOutButtonsBordersAndPanel)
{
    FramedWindow w(QSize(492, 353));
    w.Show();
    const QImage shot = w.Shot();

    EXPECT_TRUE(SameRect(w.frame->CloseRect(), 469, 7, 484, 23));
    EXPECT_TRUE(SameRect(w.frame->MinRect(), 454, 7, 469, 23));
    EXPECT_TRUE(w.frame->MaxRect().IsEmpty());
    EXPECT_TRUE(w.frame->HelpRect().IsEmpty());
    EXPECT_TRUE(ButtonShows(shot, 469, 7, "XPFORM_CLOSE", 1));
    EXPECT_TRUE(ButtonShows(shot, 454, 7, "XPFORM_MIN", 1));
    EXPECT_TRUE(SameRect(w.frame->CaptionRect(), 0, 0, 492, 29));
    EXPECT_TRUE(SameRect(w.frame->GetClientArea(), 3, 29, 489, 350));
    EXPECT_EQ(w.panel->geometry(), QRect(3, 29, 486, 321));

    // The active caption at x = 100 and the borders continuing it.
    EXPECT_EQ(shot.pixel(100, 1), Rgb(63, 151, 255));
    EXPECT_EQ(shot.pixel(100, 6), Rgb(0, 84, 227));
    EXPECT_EQ(shot.pixel(100, 28), Rgb(0, 67, 207));
    const QImage left = SkinFrame("XPFORM_LEFT", 2, 1, true);
    const QImage right = SkinFrame("XPFORM_RIGHT", 2, 1, true);
    const QImage bottom = SkinFrame("XPFORM_BOTTOM", 2, 1, false);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(shot.pixel(x, 200), left.pixel(x, 31));
        EXPECT_EQ(shot.pixel(489 + x, 200), right.pixel(x, 31));
        EXPECT_EQ(shot.pixel(x, 352), left.pixel(x, 62));
        EXPECT_EQ(shot.pixel(100, 350 + x), bottom.pixel(20, x));
    }

    // The caption text: white with a black shadow, starting at x = 8.
    const int white = FirstColumnWith(shot, qRgb(255, 255, 255), 3, 200);
    const int black = FirstColumnWith(shot, qRgb(0, 0, 0), 3, 200);
    EXPECT_GE(white, 8);
    EXPECT_LE(white, 10);
    EXPECT_EQ(black, white + 1);

    // The outline: top corners round, bottom corners square.
    EXPECT_EQ(w.form->mask(), FrameWindowRegion(492, 353));
    EXPECT_FALSE(w.form->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(w.form->mask().contains(QPoint(0, 352)));
    EXPECT_TRUE(w.form->mask().contains(QPoint(491, 352)));
}

TEST(XPFormPaint, SmallWindowsShowOnlyTheCloseButton)
{
    for (const QSize size : {QSize(237, 74), QSize(408, 271)}) {
        FramedWindow w(size, false);
        w.Show();
        const int x = size.width() - 23;
        EXPECT_TRUE(SameRect(w.frame->CloseRect(), x, 7, x + 15, 23)) << size.width();
        EXPECT_TRUE(w.frame->MinRect().IsEmpty());
        EXPECT_TRUE(w.frame->MaxRect().IsEmpty());
        const QImage shot = w.Shot();
        EXPECT_TRUE(ButtonShows(shot, x, 7, "XPFORM_CLOSE", 1));
        // Left of the close button lies the plain caption bar.
        EXPECT_EQ(shot.pixel(x - 8, 1), Rgb(63, 151, 255));
        EXPECT_EQ(shot.pixel(x - 8, 28), Rgb(0, 67, 207));
        EXPECT_EQ(w.panel->geometry(), QRect(3, 29, size.width() - 6, size.height() - 32));
    }
}

TEST(XPFormPaint, BorderStylesChooseTheButtons)
{
    FramedWindow w(QSize(300, 120));
    w.frame->SetBtnMax(true);
    w.frame->SetBtnHelp(true);
    w.Show();
    const int close = 300 - 23;

    w.frame->SetBorderStyle(bsSizeable);
    EXPECT_TRUE(SameRect(w.frame->CloseRect(), close, 7, close + 15, 23));
    EXPECT_TRUE(SameRect(w.frame->MaxRect(), close - 15, 7, close, 23));
    EXPECT_TRUE(SameRect(w.frame->MinRect(), close - 30, 7, close - 15, 23));
    EXPECT_TRUE(SameRect(w.frame->HelpRect(), close - 45, 7, close - 30, 23));
    const QImage sizeable = w.Shot();
    EXPECT_TRUE(ButtonShows(sizeable, close - 15, 7, "XPFORM_MAX", 1));
    EXPECT_TRUE(ButtonShows(sizeable, close - 45, 7, "XPFORM_HELP", 1));

    // A dialog hides maximise and minimise; the help button closes up.
    w.frame->SetBorderStyle(bsDialog);
    EXPECT_TRUE(w.frame->MaxRect().IsEmpty());
    EXPECT_TRUE(w.frame->MinRect().IsEmpty());
    EXPECT_TRUE(SameRect(w.frame->HelpRect(), close - 15, 7, close, 23));
    EXPECT_TRUE(ButtonShows(w.Shot(), close - 15, 7, "XPFORM_HELP", 1));

    // A tool window hides only maximise.
    w.frame->SetBorderStyle(bsToolWindow);
    EXPECT_TRUE(w.frame->MaxRect().IsEmpty());
    EXPECT_TRUE(SameRect(w.frame->MinRect(), close - 15, 7, close, 23));
    EXPECT_TRUE(SameRect(w.frame->HelpRect(), close - 30, 7, close - 15, 23));
    EXPECT_TRUE(ButtonShows(w.Shot(), close - 15, 7, "XPFORM_MIN", 1));

    // Maximised, the maximise button shows the restore glyph.
    w.frame->SetBorderStyle(bsSizeable);
    w.form->showMaximized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.form->isMaximized(); }));
    const int closeMax = w.form->width() - 23;
    EXPECT_TRUE(ButtonShows(w.Shot(), closeMax - 15, 7, "XPFORM_RESTORE", 1));
}

TEST(XPFormPaint, NoBorderPaintsOnlyTheColour)
{
    // Never painted with a border: the panel covers the whole frame.
    {
        FramedWindow w(QSize(237, 74));
        w.frame->SetBorderStyle(bsNone);
        w.frame->SetColor(RGB(10, 20, 30));
        w.Show();
        EXPECT_EQ(w.panel->geometry(), QRect(0, 0, 237, 74));
        EXPECT_TRUE(w.frame->CloseRect().IsEmpty());
        EXPECT_TRUE(w.frame->CaptionRect().IsEmpty());
        w.panel->hide();
        const QImage shot = w.Shot();
        for (int y = 0; y < 74; y += 3)
            for (int x = 0; x < 237; x += 3)
                ASSERT_EQ(shot.pixel(x, y), qRgb(10, 20, 30)) << x << "," << y;
        EXPECT_FALSE(w.form->mask().contains(QPoint(0, 0)));
    }
    // After a bordered paint the inset stays and the margins show the colour.
    {
        FramedWindow w(QSize(237, 74));
        w.Show();
        w.frame->SetBorderStyle(bsNone);
        EXPECT_EQ(w.panel->geometry(), QRect(3, 29, 231, 42));
        const QImage shot = w.Shot();
        EXPECT_EQ(shot.pixel(100, 1), Cream);
        EXPECT_EQ(shot.pixel(1, 50), Cream);
        EXPECT_EQ(shot.pixel(220, 15), Cream);
    }
}

TEST(XPFormPaint, DeactivationPaintsInactiveThenRaisesOnInActive)
{
    std::vector<std::string> events;
    QRgb captionAtEvent = 0;
    FramedWindow w(QSize(492, 353));
    w.frame->OnInActive = [&](QObject *sender) {
        EXPECT_EQ(sender, w.frame);
        events.emplace_back("inactive");
        captionAtEvent = w.frame->Canvas().pixel(100, 1);
    };
    w.frame->OnActive = [&](QObject *) { events.emplace_back("active"); };
    w.Show();
    events.clear();

    QWidget other;
    other.setGeometry(500, 500, 100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.frame->Active(); }));
    ASSERT_EQ(events, std::vector<std::string>{"inactive"});
    EXPECT_EQ(captionAtEvent, Rgb(112, 138, 192)); // repainted before the event

    const QImage shot = w.Shot();
    EXPECT_EQ(shot.pixel(100, 1), Rgb(112, 138, 192));
    EXPECT_EQ(shot.pixel(100, 28), Rgb(82, 107, 183));
    const QImage left = SkinFrame("XPFORM_LEFT", 2, 2, true);
    EXPECT_EQ(shot.pixel(1, 200), left.pixel(1, 31));
    EXPECT_GE(FirstColumnWith(shot, Rgb(212, 208, 200), 3, 200), 8);
    EXPECT_EQ(FirstColumnWith(shot, qRgb(255, 255, 255), 3, 200), -1);
    // The buttons keep their own look.
    EXPECT_TRUE(ButtonShows(shot, 469, 7, "XPFORM_CLOSE", 1));

    w.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.frame->Active(); }));
    EXPECT_EQ(events.back(), "active");
    EXPECT_EQ(w.Shot().pixel(100, 1), Rgb(63, 151, 255));
}

TEST(XPFormPaint, CaptionPictureAndItsOffsets)
{
    QImage art(16, 16, QImage::Format_RGB32);
    art.fill(qRgb(255, 0, 0));
    art.setPixel(0, 0, qRgb(0, 255, 0)); // the transparent colour below
    TBitmap picture(art);

    FramedWindow plain(QSize(300, 100));
    plain.Show();
    const int textWithout = FirstColumnWith(plain.Shot(), qRgb(255, 255, 255), 3, 200);

    FramedWindow w(QSize(300, 100));
    w.frame->SetPicture(picture);
    w.frame->SetCaptionOffSet(4);
    w.Show();
    EXPECT_TRUE(SameRect(w.frame->IconRect(), 8, 6, 24, 22));
    QImage shot = w.Shot();
    EXPECT_EQ(shot.pixel(8, 6), qRgb(0, 255, 0));
    EXPECT_EQ(shot.pixel(23, 21), qRgb(255, 0, 0));
    // The text moves right by the picture, 2 pixels and the offset: from 8 to 30.
    EXPECT_EQ(FirstColumnWith(shot, qRgb(255, 255, 255), 3, 250), textWithout + 22);

    w.frame->SetIconOffSet(-3);
    EXPECT_TRUE(SameRect(w.frame->IconRect(), 8, 3, 24, 19));
    w.frame->SetPictureTransColor(RGB(0, 255, 0));
    w.frame->SetPictureTrans(true);
    shot = w.Shot();
    EXPECT_EQ(shot.pixel(8, 3), SkinFrame("XPFORM_CAPTION", 2, 1, false).pixel(5, 3));
    // Once marked transparent the picture stays so.
    w.frame->SetPictureTrans(false);
    EXPECT_NE(w.Shot().pixel(8, 3), qRgb(0, 255, 0));
}

TEST(XPFormPaint, SettersRepaintOnlyOnChange)
{
    TForm form;
    form.resize(300, 100);
    auto *frame = new TCountingForm(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();

    const auto repaints = [&](auto &&change) {
        const int before = frame->paints;
        change();
        return frame->paints - before;
    };
    EXPECT_EQ(repaints([&] { frame->SetBtnClose(true); }), 0);
    EXPECT_EQ(repaints([&] { frame->SetBtnClose(false); }), 1);
    EXPECT_EQ(repaints([&] { frame->SetBtnHelp(false); }), 0);
    EXPECT_EQ(repaints([&] { frame->SetBtnHelp(true); }), 1);
    EXPECT_EQ(repaints([&] { frame->SetBorderStyle(bsSizeable); }), 0);
    EXPECT_EQ(repaints([&] { frame->SetBorderStyle(bsDialog); }), 1);
    EXPECT_EQ(repaints([&] { frame->SetIconOffSet(0); }), 0);
    EXPECT_EQ(repaints([&] { frame->SetCaptionOffSet(2); }), 1);
    EXPECT_EQ(repaints([&] { frame->SetCaptionShadow(false); }), 1);
    EXPECT_EQ(repaints([&] { frame->SetPictureTransColor(clBlack); }), 0);
    EXPECT_EQ(repaints([&] { frame->SetMagnet(10); }), 0);
    EXPECT_EQ(frame->Magnet(), 10);
}

TEST(XPFormPaint, ConstructionTakesOverTheOwner)
{
    TForm form;
    form.resize(320, 200);
    auto *first = new QWidget(&form);
    auto *frame = new TXP_Form(&form);
    // Initial values.
    EXPECT_TRUE(frame->BtnClose());
    EXPECT_TRUE(frame->BtnMax());
    EXPECT_TRUE(frame->BtnMin());
    EXPECT_FALSE(frame->BtnHelp());
    EXPECT_EQ(frame->BorderStyle(), bsSizeable);
    EXPECT_EQ(frame->Color(), 0xE6F6F8u);
    EXPECT_EQ(frame->Magnet(), 0);
    EXPECT_FALSE(frame->TopMost());
    EXPECT_TRUE(frame->BoldCaption());
    EXPECT_TRUE(frame->UseSystemFont());
    EXPECT_TRUE(frame->CaptionShadow());
    EXPECT_FALSE(frame->PictureTrans());
    EXPECT_EQ(frame->PictureTransColor(), clBlack);
    EXPECT_TRUE(frame->ParentFont());
    EXPECT_TRUE(frame->Active());
    EXPECT_EQ(frame->ClientPanel(), nullptr);

    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 320, 200));
    EXPECT_EQ(form.children().indexOf(frame) < form.children().indexOf(first), true);
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    EXPECT_EQ(form.maximumHeight(), screenHeight - GetTaskbarHeight());

    // Once shown, the frame follows its owner's size, and the owner stays at
    // least 100 x 100.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.minimumSize(), QSize(100, 100));
    form.resize(400, 250);
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 400, 250));
    form.resize(40, 30);
    EXPECT_EQ(form.size(), QSize(100, 100));
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 100, 100));

    // A window laid out lower than that keeps its height.
    TForm dialog;
    dialog.resize(237, 74);
    new TXP_Form(&dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.size(), QSize(237, 74));
    EXPECT_EQ(dialog.minimumSize(), QSize(100, 74));
    dialog.resize(237, 300);
    dialog.resize(50, 50);
    EXPECT_EQ(dialog.size(), QSize(100, 100));

    // A smaller maximum height is kept.
    TForm small;
    small.setMaximumHeight(300);
    new TXP_Form(&small);
    EXPECT_EQ(small.maximumHeight(), 300);
}

TEST(XPFormPaint, ClientPanelIsPreparedAndForgottenWhenGone)
{
    FramedWindow w(QSize(300, 120));
    auto *sunken = new QFrame(w.form.get());
    sunken->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    w.frame->SetClientPanel(sunken);
    EXPECT_EQ(sunken->frameShape(), QFrame::NoFrame);
    w.Show();
    EXPECT_EQ(sunken->geometry(), QRect(3, 29, 294, 88));

    delete sunken;
    EXPECT_EQ(w.frame->ClientPanel(), nullptr);
    w.form->resize(320, 140);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Shot().pixel(100, 1), Rgb(63, 151, 255));
}

TEST(XPFormPaint, NoMessageReachesADestroyedFrame)
{
    FramedWindow w(QSize(300, 120));
    w.Show();
    delete w.frame;
    w.frame = nullptr;
    // Activation, resizing and title changes of the owner still work.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    w.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    w.form->resize(310, 130);
    w.form->SetCaption("other");
    QCoreApplication::processEvents();
    EXPECT_EQ(w.panel->geometry(), QRect(3, 29, 294, 88));
}

TEST(XPFormPaint, TopMostMovesTheOwnerInAndOutOfTheTopBand)
{
    FramedWindow w(QSize(300, 120));
    w.Show();
    w.frame->SetTopMost(true);
    EXPECT_TRUE(w.form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.form->isVisible());
    w.frame->SetTopMost(false);
    EXPECT_FALSE(w.form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.form->isVisible());
}

TEST(XPFormPaint, SkinsHaveTheirLayoutsAndColours)
{
    const struct {
        const char *name;
        QSize size;
        bool paletted;
    } skins[] = {
        {"XPFORM_CAPTION", {60, 58}, true},  {"XPFORM_LEFT", {6, 63}, true},
        {"XPFORM_RIGHT", {6, 63}, true},     {"XPFORM_BOTTOM", {43, 6}, true},
        {"XPFORM_CLOSE", {46, 16}, false},   {"XPFORM_MAX", {46, 16}, false},
        {"XPFORM_RESTORE", {46, 16}, false}, {"XPFORM_MIN", {46, 16}, false},
        {"XPFORM_HELP", {46, 16}, false},
    };
    for (const auto &skin : skins) {
        const QImage image(QStringLiteral(":/skin/%1.bmp").arg(skin.name));
        ASSERT_FALSE(image.isNull()) << skin.name;
        EXPECT_EQ(image.size(), skin.size) << skin.name;
        EXPECT_EQ(image.format() == QImage::Format_Indexed8, skin.paletted) << skin.name;
        if (skin.paletted)
            continue;
        // Three magenta pixels at every corner of each of the three frames.
        const QRgb magenta = qRgb(255, 0, 255);
        for (int f = 0; f < 3; ++f) {
            const int l = f * 15, r = l + 14;
            for (const QPoint p : {QPoint(l, 0), QPoint(l + 1, 0), QPoint(l, 1), QPoint(r, 0),
                                   QPoint(r - 1, 0), QPoint(r, 1), QPoint(l, 15), QPoint(l + 1, 15),
                                   QPoint(l, 14), QPoint(r, 15), QPoint(r - 1, 15), QPoint(r, 14)})
                EXPECT_EQ(image.pixel(p), magenta) << skin.name << " frame " << f + 1;
            EXPECT_NE(image.pixel(l + 1, 1), magenta) << skin.name;
        }
    }
    const QImage caption(QStringLiteral(":/skin/XPFORM_CAPTION.bmp"));
    EXPECT_EQ(caption.pixel(30, 1), Rgb(63, 151, 255));
    EXPECT_EQ(caption.pixel(30, 6), Rgb(0, 84, 227));
    EXPECT_EQ(caption.pixel(30, 28), Rgb(0, 67, 207));
    EXPECT_EQ(caption.pixel(30, 29 + 1), Rgb(112, 138, 192));
    EXPECT_EQ(caption.pixel(30, 57), Rgb(82, 107, 183));
}
