#include "skin/FormGeometry.h"

#include <gtest/gtest.h>

TEST(FormGeometry, ResizeZonesAreFiveDeepAtTopLeftAndFourAtBottomRight)
{
    const int w = 300, h = 200;
    EXPECT_EQ(FrameHitTest(3, 2, w, h), htTopLeft);
    EXPECT_EQ(FrameHitTest(4, 4, w, h), htTopLeft);
    EXPECT_EQ(FrameHitTest(5, 4, w, h), htTop);
    EXPECT_EQ(FrameHitTest(4, 5, w, h), htLeft);
    EXPECT_EQ(FrameHitTest(w - 4, 0, w, h), htTopRight);
    EXPECT_EQ(FrameHitTest(w - 5, 0, w, h), htTop);
    EXPECT_EQ(FrameHitTest(w - 1, h - 4, w, h), htBottomRight);
    EXPECT_EQ(FrameHitTest(w - 1, h - 5, w, h), htRight);
    EXPECT_EQ(FrameHitTest(0, h - 1, w, h), htBottomLeft);
    EXPECT_EQ(FrameHitTest(100, h - 4, w, h), htBottom);
    EXPECT_EQ(FrameHitTest(100, h - 5, w, h), htNowhere);
    EXPECT_EQ(FrameHitTest(5, 5, w, h), htNowhere);
    EXPECT_EQ(FrameHitTest(w - 5, h - 5, w, h), htNowhere);
}

TEST(FormGeometry, ZonesMapToEdgesAndCursors)
{
    EXPECT_EQ(FrameHitEdges(htTopLeft), Qt::TopEdge | Qt::LeftEdge);
    EXPECT_EQ(FrameHitEdges(htBottomRight), Qt::BottomEdge | Qt::RightEdge);
    EXPECT_EQ(FrameHitEdges(htRight), Qt::RightEdge);
    EXPECT_EQ(FrameHitEdges(htNowhere), Qt::Edges());
    EXPECT_EQ(FrameHitCursor(htTopLeft), Qt::SizeFDiagCursor);
    EXPECT_EQ(FrameHitCursor(htBottomLeft), Qt::SizeBDiagCursor);
    EXPECT_EQ(FrameHitCursor(htTop), Qt::SizeVerCursor);
    EXPECT_EQ(FrameHitCursor(htLeft), Qt::SizeHorCursor);
    EXPECT_EQ(FrameHitCursor(htNowhere), Qt::ArrowCursor);
}

TEST(FormGeometry, RegionRoundsTopCornersAndKeepsBottomCornersSquare)
{
    const int w = 492, h = 353;
    const QRegion r = FrameWindowRegion(w, h);
    // Top-left: the corner pixels are cut along the curve.
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(3, 0)));
    EXPECT_TRUE(r.contains(QPoint(4, 0)));
    EXPECT_FALSE(r.contains(QPoint(1, 1)));
    EXPECT_TRUE(r.contains(QPoint(2, 1)));
    EXPECT_FALSE(r.contains(QPoint(0, 3)));
    EXPECT_TRUE(r.contains(QPoint(0, 4)));
    // Top-right: the same curve on a rectangle one pixel wider.
    EXPECT_FALSE(r.contains(QPoint(w - 1, 0)));
    EXPECT_FALSE(r.contains(QPoint(w - 3, 0)));
    EXPECT_TRUE(r.contains(QPoint(w - 4, 0)));
    EXPECT_TRUE(r.contains(QPoint(w - 1, 2)));
    // Bottom corners and edges are square; the middle is whole.
    for (int x : {0, 1, 5, w / 2, w - 6, w - 2, w - 1})
        EXPECT_TRUE(r.contains(QPoint(x, h - 1))) << x;
    EXPECT_TRUE(r.contains(QPoint(0, h - 3)));
    EXPECT_TRUE(r.contains(QPoint(w - 1, h - 3)));
    EXPECT_TRUE(r.contains(QPoint(w / 2, h / 2)));
    EXPECT_TRUE(r.contains(QPoint(0, h / 2)));
    EXPECT_TRUE(r.contains(QPoint(w - 1, h / 2)));
    // Nothing of the window is lost outside the top corners.
    const QRegion window(0, 0, w, h);
    const QRegion lost = window - r;
    EXPECT_EQ(lost.boundingRect().bottom(), 3);
    EXPECT_FALSE(lost.isEmpty());
}

TEST(FormGeometry, SnapsToTheScreenEdgesInOrder)
{
    const QSize screen(800, 800);
    // Top 7 and left -20 with a magnet of 10 end at the top-left corner.
    EXPECT_EQ(SnapToScreen(QPoint(-20, 7), QSize(237, 74), screen, 0, 10), QPoint(0, 0));
    // A right edge 6 pixels inside the screen ends flush with it.
    EXPECT_EQ(SnapToScreen(QPoint(800 - 6 - 237, 300), QSize(237, 74), screen, 0, 10), QPoint(563, 300));
    // Farther than the magnet: nothing moves.
    EXPECT_EQ(SnapToScreen(QPoint(11, 11), QSize(237, 74), screen, 0, 10), QPoint(11, 11));
    // The bottom snaps to the top of the taskbar.
    EXPECT_EQ(SnapToScreen(QPoint(100, 800 - 28 - 74 - 9), QSize(237, 74), screen, 28, 10),
              QPoint(100, 800 - 28 - 74));
    // A window too tall for both edges ends bottom-aligned.
    EXPECT_EQ(SnapToScreen(QPoint(100, 5), QSize(300, 790), screen, 0, 10), QPoint(100, 10));
    // Dragged partly off the bottom-right: back on the screen.
    EXPECT_EQ(SnapToScreen(QPoint(700, 760), QSize(237, 74), screen, 0, 10), QPoint(563, 726));
}

TEST(FormGeometry, TaskbarHeightComesFromTheReservedStrip)
{
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(TaskbarHeightFromScreen(screen, screen), 0);
    EXPECT_EQ(TaskbarHeightFromScreen(screen, QRect(0, 0, 1024, 738)), 28);
    EXPECT_EQ(TaskbarHeightFromScreen(screen, QRect(0, 30, 1024, 738)), 28);
    // An auto-hidden bar leaves a sliver of 4 pixels: no taskbar.
    EXPECT_EQ(TaskbarHeightFromScreen(screen, QRect(0, 0, 1024, 764)), 0);
    // A bar at a side takes nothing from the bottom.
    EXPECT_EQ(TaskbarHeightFromScreen(screen, QRect(60, 0, 964, 768)), 0);
    EXPECT_EQ(TaskbarHeightFromScreen(screen, QRect(0, 0, 964, 768)), 0);
    // A second screen to the right of the first keeps its own origin.
    EXPECT_EQ(TaskbarHeightFromScreen(QRect(1024, 0, 800, 600), QRect(1024, 0, 800, 560)), 38);
}
