#include "FormGeometry.h"

#include <QPolygon>

#include <algorithm>
#include <cmath>

TFrameHit FrameHitTest(int x, int y, int w, int h)
{
    const bool left = x < 5;
    const bool top = y < 5;
    const bool right = x > w - 5;
    const bool bottom = y > h - 5;
    if (left && top)
        return htTopLeft;
    if (right && top)
        return htTopRight;
    if (right && bottom)
        return htBottomRight;
    if (left && bottom)
        return htBottomLeft;
    if (left)
        return htLeft;
    if (top)
        return htTop;
    if (right)
        return htRight;
    if (bottom)
        return htBottom;
    return htNowhere;
}

Qt::Edges FrameHitEdges(TFrameHit hit)
{
    switch (hit) {
    case htLeft:
        return Qt::LeftEdge;
    case htRight:
        return Qt::RightEdge;
    case htTop:
        return Qt::TopEdge;
    case htBottom:
        return Qt::BottomEdge;
    case htTopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case htTopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case htBottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case htBottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    case htNowhere:
        break;
    }
    return {};
}

Qt::CursorShape FrameHitCursor(TFrameHit hit)
{
    switch (hit) {
    case htLeft:
    case htRight:
        return Qt::SizeHorCursor;
    case htTop:
    case htBottom:
        return Qt::SizeVerCursor;
    case htTopLeft:
    case htBottomRight:
        return Qt::SizeFDiagCursor;
    case htTopRight:
    case htBottomLeft:
        return Qt::SizeBDiagCursor;
    case htNowhere:
        break;
    }
    return Qt::ArrowCursor;
}

namespace {

// Pixels cut from the start of row `row` of a rectangle whose corners are
// rounded by an ellipse of `diameter` (a pixel is kept when its centre lies
// inside the ellipse); 0 below the corner.
int CornerInset(int row, int diameter)
{
    const double r = diameter / 2.0;
    const double dy = r - (row + 0.5);
    if (dy <= 0)
        return 0;
    const double dx = std::sqrt(std::max(0.0, r * r - dy * dy));
    return static_cast<int>(std::ceil(r - dx - 0.5));
}

} // namespace

QRegion FrameWindowRegion(int w, int h)
{
    // The round rectangle spans (0, 0) to (w + 1, h + 1), one pixel past the
    // window on the right and at the bottom, as the platform's round
    // rectangle regions exclude their right and bottom edges.
    const int diameter = 13;
    const int rw = w + 1;
    const int rh = h + 1;
    QRegion region;
    const int corner = diameter / 2;
    for (int y = 0; y < rh; ++y) {
        const int fromTop = y;
        const int fromBottom = rh - 1 - y;
        const int inset = fromTop < corner      ? CornerInset(fromTop, diameter)
                          : fromBottom < corner ? CornerInset(fromBottom, diameter)
                                                : 0;
        if (inset == 0 && fromTop >= corner && fromBottom >= corner) {
            // The straight middle part in one block.
            const int last = rh - corner;
            region += QRect(0, y, rw, last - y);
            y = last - 1;
            continue;
        }
        region += QRect(inset, y, rw - 2 * inset, 1);
    }
    region += QRegion(QPolygon({QPoint(0, h - 13), QPoint(0, h), QPoint(20, h)}), Qt::WindingFill);
    region += QRegion(QPolygon({QPoint(w, h - 13), QPoint(w, h), QPoint(w - 20, h)}), Qt::WindingFill);
    return region;
}

QPoint SnapToScreen(QPoint topLeft, QSize size, QSize screen, int taskbar, int magnet)
{
    QPoint p = topLeft;
    if (p.y() <= magnet)
        p.setY(0);
    if (p.x() <= magnet)
        p.setX(0);
    if (screen.height() - p.y() - size.height() - taskbar <= magnet)
        p.setY(screen.height() - size.height() - taskbar);
    if (screen.width() - p.x() - size.width() <= magnet)
        p.setX(screen.width() - size.width());
    return p;
}

int TaskbarHeightFromScreen(const QRect &geometry, const QRect &available)
{
    const int bottom = geometry.bottom() - available.bottom();
    const int top = available.top() - geometry.top();
    // A bar docked at the bottom (or, failing that, at the top) reserves a
    // strip across the screen. A bar docked at a side takes nothing from the
    // screen's height, so it counts as none here: answering its full height
    // would squeeze every window's maximum height to a couple of pixels.
    const int strip = bottom > 0 ? bottom : top > 0 ? top : 0;
    if (strip <= 0 || strip == 4)
        return 0;
    return std::max(0, strip - 2);
}
