#include "ui/JpegImage.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QFile>

namespace {

QByteArray SidePicture()
{
    QFile file(":/ui/SidePicture.jpg");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(JpegImage, DecodesTheSidePicture)
{
    const QImage image = LoadJpeg(":/ui/SidePicture.jpg");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(175, 333));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    // Dark blue at the top, bright fibres and the connector light below.
    const QColor top = image.pixelColor(87, 2);
    EXPECT_LT(top.red(), 40);
    EXPECT_GT(top.blue(), top.red());
    int bright = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            ASSERT_EQ(qAlpha(image.pixel(x, y)), 255);
            bright += qGray(image.pixel(x, y)) > 200;
        }
    EXPECT_GT(bright, 200);
}

TEST(JpegImage, BrokenPicturesGiveNothing)
{
    const QByteArray good = SidePicture();
    ASSERT_GT(good.size(), 1000);
    EXPECT_TRUE(DecodeJpeg({}).isNull());
    EXPECT_TRUE(DecodeJpeg("not a picture at all").isNull());
    EXPECT_TRUE(DecodeJpeg(good.left(2)).isNull());
    EXPECT_TRUE(DecodeJpeg(good.left(200)).isNull());             // headers only
    EXPECT_TRUE(DecodeJpeg(good.left(good.size() / 2)).isNull()); // truncated scan
    EXPECT_TRUE(DecodeJpeg(good.left(good.size() - 2)).isNull()); // missing end marker
    QByteArray scrambled = good;
    for (int i = 0; i < 64; ++i)
        scrambled[good.size() / 2 + i * 7] = char(0xFF);
    EXPECT_TRUE(DecodeJpeg(scrambled).isNull());
    QByteArray badHeader = good;
    badHeader[3] = char(0x00); // the first segment no longer starts with a marker
    EXPECT_TRUE(DecodeJpeg(badHeader).isNull());
    EXPECT_TRUE(LoadJpeg("/nonexistent/picture.jpg").isNull());
}

} // namespace
