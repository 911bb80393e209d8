#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <Qt>

// Geometry of the skinned window frame that does not depend on a widget:
// the resize zones along the edges of a borderless window, its outline and
// the snapping of a dragged window to the screen edges.

// Hit-test answers of the resize zones (the platform's non-client codes).
enum TFrameHit {
    htNowhere = 0, // no resize zone: the point belongs to the window
    htLeft = 10,
    htRight = 11,
    htTop = 12,
    htTopLeft = 13,
    htTopRight = 14,
    htBottom = 15,
    htBottomLeft = 16,
    htBottomRight = 17,
};

// The resize zone under (x, y) of a w x h window: the left and top zones are
// 5 pixels deep (0 .. 4), the right and bottom zones 4 (w - 4 .. w - 1).
TFrameHit FrameHitTest(int x, int y, int w, int h);

// The edges a zone drags, and the pointer shape shown over it.
Qt::Edges FrameHitEdges(TFrameHit hit);
Qt::CursorShape FrameHitCursor(TFrameHit hit);

// The outline of a w x h window: a rectangle with its top corners rounded
// by a 13 x 13 ellipse, the bottom corners squared again by two triangles.
QRegion FrameWindowRegion(int w, int h);

// Where a window of the given size dropped at `topLeft` ends when it snaps to
// the edges of a screen of size `screen` within `magnet` pixels, with
// `taskbar` pixels reserved at the bottom. The steps run in order, each
// seeing the position the previous one left: top, left, bottom, right.
QPoint SnapToScreen(QPoint topLeft, QSize size, QSize screen, int taskbar, int magnet);

// The height the taskbar takes from the bottom of a screen with the given
// full and available geometry. The strip the desktop reserves stands for the
// taskbar; none, or a strip 4 pixels high (an auto-hidden bar's sliver),
// answers 0, otherwise the strip height less 2.
int TaskbarHeightFromScreen(const QRect &geometry, const QRect &available);
