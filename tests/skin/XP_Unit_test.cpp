#include "base/LumoraError.h"
#include "framework/Application.h"
#include "skin/XP_Unit.h"
#include "support/MessageBoxes.h"

#include <QBitmap>

#include <gtest/gtest.h>

namespace {

using lumora::test::CatchMessageBoxes;

// A strip whose every pixel encodes its own position: red = x, green = y.
TBitmap PositionImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x, y, 77));
    }
    return TBitmap(image);
}

// The source position a pixel of a PositionImage copy came from.
QPoint Source(const QImage &image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return QPoint(qRed(p), qGreen(p));
}

TEST(PointInRect, AllFourEdgesCountAsInside)
{
    const TRect button = Rect(0, 0, 15, 16);
    EXPECT_TRUE(PointInRect(button, 15, 16));
    EXPECT_TRUE(PointInRect(button, 0, 0));
    EXPECT_FALSE(PointInRect(button, 16, 0));
    EXPECT_FALSE(PointInRect(button, 0, 17));
    EXPECT_FALSE(PointInRect(button, -1, 5));
    EXPECT_TRUE(PointInRect(Rect(0, 0, 0, 0), 0, 0));
}

TEST(CutSprite, HorizontalStripLeavesTheLeftOverColumnOut)
{
    const TBitmap strip = PositionImage(46, 16);
    TBitmap frame;
    frame.Transparent = true;
    frame.TransparentColor = RGB(255, 0, 255);
    CutSprite(strip, frame, 3, 3, true);
    ASSERT_EQ(frame.Width(), 15);
    ASSERT_EQ(frame.Height(), 16);
    EXPECT_EQ(Source(frame.Image(), 0, 0), QPoint(30, 0));
    EXPECT_EQ(Source(frame.Image(), 14, 15), QPoint(44, 15));
    // The destination keeps its transparency settings.
    EXPECT_TRUE(frame.Transparent);
    EXPECT_EQ(frame.TransparentColor, RGB(255, 0, 255));

    CutSprite(strip, frame, 3, 1, true);
    EXPECT_EQ(Source(frame.Image(), 0, 0), QPoint(0, 0));
}

TEST(CutSprite, VerticalStripAndACountOfZero)
{
    const TBitmap strip = PositionImage(60, 58);
    TBitmap frame;
    CutSprite(strip, frame, 2, 1, false);
    ASSERT_EQ(frame.Image().size(), QSize(60, 29));
    EXPECT_EQ(Source(frame.Image(), 0, 28), QPoint(0, 28));
    CutSprite(strip, frame, 2, 2, false);
    ASSERT_EQ(frame.Image().size(), QSize(60, 29));
    EXPECT_EQ(Source(frame.Image(), 59, 0), QPoint(59, 29));
    EXPECT_EQ(Source(frame.Image(), 59, 28), QPoint(59, 57));

    CutSprite(strip, frame, 0, 1, false);
    EXPECT_TRUE(frame.Empty());
}

TEST(StretchSkin, TallTargetRepeatsTheCentreRow)
{
    const TBitmap skin = PositionImage(3, 63);
    QImage target(10, 360, QImage::Format_RGB32);
    target.fill(Qt::black);
    StretchSkin(skin, target, Rect(2, 4, 5, 357));
    for (int y = 0; y < 353; ++y) {
        const int expected = y <= 30 ? y : (y >= 321 ? y - 290 : 31);
        for (int x = 0; x < 3; ++x)
            ASSERT_EQ(Source(target, 2 + x, 4 + y), QPoint(x, expected)) << "row " << y;
    }
    // Nothing outside the target rectangle is touched.
    EXPECT_EQ(target.pixel(1, 10), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(5, 10), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(3, 357), qRgb(0, 0, 0));
}

TEST(StretchSkin, WideTargetRepeatsTheCentreColumnAndSameSizeIsACopy)
{
    const TBitmap skin = PositionImage(60, 29);
    QImage target(480, 29, QImage::Format_RGB32);
    StretchSkin(skin, target, Rect(0, 0, 480, 29));
    for (int x = 0; x < 480; ++x) {
        const int expected = x < 30 ? x : (x >= 450 ? x - 420 : 30);
        for (int y = 0; y < 29; ++y)
            ASSERT_EQ(Source(target, x, y), QPoint(expected, y)) << "column " << x;
    }

    const TBitmap odd = PositionImage(17, 21);
    QImage same(17, 21, QImage::Format_RGB32);
    StretchSkin(odd, same, Rect(0, 0, 17, 21));
    EXPECT_EQ(same, odd.Image());
}

TEST(DrawMaskedGlyph, PaintsEveryNonKeyPixelInOneColour)
{
    // Key colour green at the bottom-left; it also occurs inside the glyph.
    QImage glyph(3, 3, QImage::Format_RGB32);
    glyph.fill(qRgb(0, 255, 0));
    glyph.setPixel(0, 0, qRgb(10, 20, 30));
    glyph.setPixel(2, 0, qRgb(200, 0, 0));
    glyph.setPixel(2, 2, qRgb(0, 0, 255));
    QImage target(6, 6, QImage::Format_RGB32);
    target.fill(Qt::white);
    DrawMaskedGlyph(TBitmap(glyph), target, 2, 1, RGB(9, 8, 7));
    EXPECT_EQ(target.pixel(2, 1), qRgb(9, 8, 7));
    EXPECT_EQ(target.pixel(4, 1), qRgb(9, 8, 7));
    EXPECT_EQ(target.pixel(4, 3), qRgb(9, 8, 7));
    EXPECT_EQ(target.pixel(3, 2), qRgb(255, 255, 255)); // inner key pixel
    EXPECT_EQ(target.pixel(2, 3), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(1, 1), qRgb(255, 255, 255));
}

TEST(SkinResources, BitmapsAreFoundByNameInAnyLetterCase)
{
    const TBitmap button = LoadSkinBitmap(QStringLiteral("xpbutton"));
    EXPECT_EQ(button.Image().size(), QSize(90, 21));
    EXPECT_EQ(button.Image().depth(), 32); // read from a 24-bit file
    const TBitmap check = LoadSkinBitmap(QStringLiteral("XPCheckBox"));
    EXPECT_EQ(check.Image().size(), QSize(78, 13));
    EXPECT_EQ(check.Image().format(), QImage::Format_Indexed8);
    const TBitmap radio = LoadSkinBitmap(QStringLiteral("XPRADIOBOX"));
    EXPECT_EQ(radio.Image().size(), QSize(78, 13));
    EXPECT_EQ(radio.Pixel(0, 0), RGB(255, 0, 255));
    EXPECT_THROW(LoadSkinBitmap(QStringLiteral("XPNOSUCH")), ELumoraError);
}

TEST(StartUp, HandCursorIsRegisteredAndTheSwitchShowsTheNotice)
{
    const auto none = CatchMessageBoxes([] {
        XPUnitInitialization({QStringLiteral("lumora")});
        XPUnitInitialization(
            {QStringLiteral("lumora"), QStringLiteral("/other"), QStringLiteral("/MOSSGLADE")});
    });
    EXPECT_TRUE(none.isEmpty());
    EXPECT_FALSE(Application().Terminated());
    ASSERT_TRUE(Application().HasCursor(crXPHand));
    const QCursor hand = Application().Cursor(crXPHand);
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(7, 1));
    EXPECT_EQ(hand.bitmap().size(), QSize(32, 32));

    for (const QString &arg : {QStringLiteral("/mossglade"), QStringLiteral("/MossGlade")}) {
        const auto boxes = CatchMessageBoxes([&] { XPUnitInitialization({QStringLiteral("lumora"), arg}); });
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].Title, QStringLiteral("版权提示"));
        EXPECT_EQ(boxes[0].Icon, QMessageBox::Information);
        EXPECT_TRUE(Application().Terminated());
        Application().CancelTerminate();
    }
}

} // namespace
