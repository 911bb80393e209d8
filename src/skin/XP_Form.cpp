#include "XP_Form.h"

#include "base/LumoraError.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "platform/process/Shell.h"
#include "skin/XP_Unit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

int GetTaskbarHeight()
{
    const int shellHeight = ShellTaskbarHeight();
    if (shellHeight >= 0)
        return shellHeight;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    return TaskbarHeightFromScreen(screen->geometry(), screen->availableGeometry());
}

namespace {

constexpr TColor FrameColor = 0xE6F6F8;        // RGB(248, 246, 230)
constexpr TColor InactiveCaption = 0xC8D0D4;   // RGB(212, 208, 200)
constexpr TColor ButtonTransparent = 0xFF00FF; // magenta corners of the buttons
constexpr int MinimumOwnerSize = 100;

// A part of the frame is hit only where it was drawn: a hidden button or an
// absent picture has an empty rectangle, which matches no point (not even
// its own corner at (0, 0)).
bool OnPart(const TRect &rect, int x, int y)
{
    return !rect.IsEmpty() && PointInRect(rect, x, y);
}

void SetOwnerFlag(QWidget *owner, Qt::WindowType flag, bool on)
{
    if (owner->windowFlags().testFlag(flag) == on)
        return;
    // Changing a window's flags hides it; show it again where it was.
    const bool visible = owner->isVisible();
    owner->setWindowFlag(flag, on);
    if (visible)
        owner->show();
}

} // namespace

TXP_Form::TXP_Form(QWidget *owner) : TGraphicControl(owner), FOwner(owner)
{
    setMouseTracking(true); // hover without a button held
    SetOwnerFlag(owner, Qt::FramelessWindowHint, true);
    SetColor(FrameColor);
    setGeometry(owner->rect());
    lower();

    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen) {
        const int limit = screen->geometry().height() - GetTaskbarHeight();
        if (owner->maximumHeight() > limit)
            owner->setMaximumHeight(limit);
    }
    owner->installEventFilter(this);
}

TXP_Form::~TXP_Form()
{
    if (FOwner)
        FOwner->removeEventFilter(this);
}

void TXP_Form::SetPicture(const TBitmap &picture)
{
    FPicture = picture;
    Invalidate();
}

void TXP_Form::SetTopMost(bool value)
{
    if (value == FTopMost)
        return;
    FTopMost = value;
    if (value)
        ApplyTopMost();
    else if (FOwner)
        SetOwnerFlag(FOwner, Qt::WindowStaysOnTopHint, false);
}

void TXP_Form::ApplyTopMost()
{
    if (!FTopMost || !FOwner)
        return;
    if (FOwner->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        FOwner->raise();
    else
        SetOwnerFlag(FOwner, Qt::WindowStaysOnTopHint, true);
}

void TXP_Form::SetClientPanel(QWidget *panel)
{
    if (panel == FClientPanel)
        return;
    FClientPanel = panel;
    if (panel) {
        // The panel becomes a plain area: no bevels, no border, no caption;
        // its position is set by the next paint.
        if (auto *frame = qobject_cast<QFrame *>(panel))
            frame->setFrameShape(QFrame::NoFrame);
        if (auto *control = qobject_cast<TControl *>(panel))
            control->SetCaption(QString());
    }
    Invalidate();
}

bool TXP_Form::ParentFont() const
{
    return !testAttribute(Qt::WA_SetFont);
}

void TXP_Form::SetParentFont(bool value)
{
    if (value == ParentFont())
        return;
    if (value) {
        setFont(QFont());
        setAttribute(Qt::WA_SetFont, false);
    } else {
        setFont(font());
    }
}

TRect TXP_Form::GetClientArea() const
{
    return Rect(FLeftWidth, FCaptionHeight, width() - FRightWidth, height() - FBottomHeight);
}

void TXP_Form::Invalidate()
{
    Repaint();
}

bool TXP_Form::OwnerNormal() const
{
    return FOwner && !(FOwner->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
}

// --- painting -------------------------------------------------------------

void TXP_Form::Paint()
{
    const int w = width();
    const int h = height();
    QImage image = NewSurface(w, h);
    FillRect(image, Rect(0, 0, w, h), Color());
    FIconRect = TRect{};
    FCaptionRect = TRect{};
    if (FBorderStyle != bsNone) {
        const int frame = FActive ? 1 : 2;
        TBitmap part;
        CutSprite(LoadSkinBitmap("xpform_right"), part, 2, frame, true);
        StretchSkin(part, image, Rect(w - 3, 0, w, h));
        FRightWidth = part.Width();
        CutSprite(LoadSkinBitmap("xpform_left"), part, 2, frame, true);
        StretchSkin(part, image, Rect(0, 0, 3, h));
        FLeftWidth = part.Width();
        CutSprite(LoadSkinBitmap("xpform_caption"), part, 2, frame, false);
        StretchSkin(part, image, Rect(FLeftWidth, 0, w - FRightWidth, 29));
        FCaptionHeight = part.Height();
        FCaptionRect = Rect(0, 0, w, FCaptionHeight);
        CutSprite(LoadSkinBitmap("xpform_bottom"), part, 2, frame, false);
        {
            // A plain stretch of the whole bottom frame.
            QPainter painter(&image);
            painter.drawImage(QRect(FLeftWidth, h - 3, w - FRightWidth - FLeftWidth, 3), part.Image());
        }
        FBottomHeight = part.Height();

        DrawCaptionButtons(image, csRepaint);

        int textLeft = 8;
        if (FPicture.Width() > 0 && FPicture.Height() > 0) {
            if (FPictureTrans) {
                // The mark stays on the picture once made.
                FPicture.TransparentColor = QColorToColor(ColorToQColor(FPictureTransColor));
                FPicture.Transparent = true;
            }
            const int y = (FCaptionHeight - FPicture.Height()) / 2 + FIconOffSet;
            FPicture.Draw(image, 8, y);
            textLeft = 8 + FPicture.Width() + 2 + FCaptionOffSet;
            FIconRect = Rect(8, y, 8 + FPicture.Width(), y + FPicture.Height());
        }
        PaintCaptionText(image, textLeft);
    }
    UpdateWindowRegion();
    CopyToWindow(image);
    FPaintedSize = image.size();
    PlaceClientPanel();
}

void TXP_Form::PaintCaptionText(QImage &image, int textLeft)
{
    const QString text = FOwner ? FOwner->windowTitle() : QString();
    QFont captionFont = FUseSystemFont ? QApplication::font("QMenu") : font();
    if (FBoldCaption) {
        captionFont.setBold(true);
        captionFont.setItalic(false);
        captionFont.setUnderline(false);
        captionFont.setStrikeOut(false);
    }
    const int textHeight = TextExtent(captionFont, text).height();
    const int ascent = QFontMetrics(captionFont).ascent();
    const int top = (FCaptionHeight - textHeight) / 2;
    // Not clipped: a long caption runs over the buttons.
    QPainter painter(&image);
    painter.setFont(captionFont);
    if (FCaptionShadow) {
        painter.setPen(ColorToQColor(clBlack));
        painter.drawText(QPoint(textLeft + 1, top + 2 + ascent), text);
    }
    painter.setPen(ColorToQColor(FActive ? clWhite : InactiveCaption));
    painter.drawText(QPoint(textLeft, top + 1 + ascent), text);
}

bool TXP_Form::DrawCaptionButtons(QImage &canvas, int state)
{
    if (state != csRepaint) {
        if (state == FLastState)
            return false;
        FLastState = state;
    }
    const bool restore = FOwner && (FOwner->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
    const struct {
        TRect *rect;
        const char *skin;
        int hover;
    } buttons[] = {
        {&FCloseRect, "xpform_close", csCloseHover},
        {&FMaxRect, restore ? "xpform_Restore" : "xpform_max", csMaxHover},
        {&FMinRect, "xpform_min", csMinHover},
        {&FHelpRect, "xpform_help", csHelpHover},
    };
    int x = width() - 8;
    for (const auto &button : buttons) {
        *button.rect = TRect{};
        if (!CaptionButtonShown(button.hover))
            continue;
        const int index = state == button.hover ? 3 : state == button.hover * 10 ? 2 : 1;
        TBitmap frame;
        frame.Transparent = true;
        frame.TransparentColor = ButtonTransparent;
        CutSprite(LoadSkinBitmap(button.skin), frame, 3, index, true);
        x -= frame.Width();
        const int y = (FCaptionHeight - frame.Height()) / 2 + 1;
        frame.Draw(canvas, x, y);
        *button.rect = Rect(x, y, x + 15, y + 16);
    }
    return true;
}

bool TXP_Form::CaptionButtonShown(int hover) const
{
    if (FBorderStyle == bsNone)
        return false;
    switch (hover) {
    case csCloseHover:
        return FBtnClose;
    case csMaxHover:
        return FBtnMax && FBorderStyle != bsDialog && FBorderStyle != bsToolWindow;
    case csMinHover:
        return FBtnMin && FBorderStyle != bsDialog;
    case csHelpHover:
        return FBtnHelp;
    default:
        return false;
    }
}

void TXP_Form::ShowButtonState(int state)
{
    if (DrawCaptionButtons(Canvas(), state))
        UpdateWindow();
}

void TXP_Form::PaintIfResized()
{
    // The button rectangles and the canvas of a paint from before the last
    // size change are stale: paint the whole frame anew first.
    if (FPaintedSize != size())
        Repaint();
}

void TXP_Form::UpdateWindowRegion()
{
    if (FOwner)
        FOwner->setMask(FrameWindowRegion(width(), height()));
}

void TXP_Form::PlaceClientPanel()
{
    if (!FClientPanel)
        return;
    try {
        FClientPanel->setGeometry(GetClientArea().ToQRect());
    } catch (const ELumoraError &) {
        FClientPanel = nullptr;
    }
}

// --- the owner's messages -------------------------------------------------

bool TXP_Form::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FOwner)
        return OwnerWndProc(event);
    return TGraphicControl::eventFilter(watched, event);
}

bool TXP_Form::OwnerWndProc(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate: {
        FActive = event->type() == QEvent::WindowActivate;
        // A window that is being hidden or destroyed loses the activation
        // too; then there is nothing to paint and no one to tell.
        if (!FOwner->isVisible())
            break;
        ApplyTopMost();
        Invalidate();
        const TNotifyEvent &handler = FActive ? OnActive : OnInActive;
        if (handler)
            handler(this);
        break;
    }
    case QEvent::Resize:
        // The frame fills its owner, and the outline follows at once (not
        // only at the next paint), or the new part of the window would take
        // no input until then.
        setGeometry(FOwner->rect());
        UpdateWindowRegion();
        break;
    case QEvent::WindowTitleChange:
    case QEvent::WindowStateChange:
        Invalidate();
        break;
    default:
        break;
    }
    return false; // the owner handles every message as before
}

void TXP_Form::Resized()
{
    TGraphicControl::Resized();
    if (!FOwner)
        return;
    // The owner cannot be made smaller than 100 x 100 from now on. A window
    // laid out smaller than that (a short dialog) keeps its own size: the
    // minimum is raised only as far as the owner's present size.
    const int minHeight = std::min(MinimumOwnerSize, FOwner->height());
    const int minWidth = std::min(MinimumOwnerSize, FOwner->width());
    if (FOwner->minimumHeight() < minHeight)
        FOwner->setMinimumHeight(minHeight);
    if (FOwner->minimumWidth() < minWidth)
        FOwner->setMinimumWidth(minWidth);
}

TFrameHit TXP_Form::HitTest(int x, int y) const
{
    if ((FBorderStyle != bsSizeable && FBorderStyle != bsSizeToolWin) || !OwnerNormal())
        return htNowhere;
    return FrameHitTest(x, y, width(), height());
}

// --- the mouse ------------------------------------------------------------

bool TXP_Form::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        // A window system's move may end without the release coming to the
        // frame (it went to the window manager): the first move with no
        // button held ends it.
        if (FDrag == TDrag::SystemMove && static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton) {
            FDrag = TDrag::None;
            EndMove();
        }
        [[fallthrough]];
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        FPointer = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        break;
    default:
        break;
    }
    return TGraphicControl::event(event);
}

int TXP_Form::ButtonAt(int x, int y) const
{
    if (OnPart(FCloseRect, x, y))
        return csCloseHover;
    if (OnPart(FMaxRect, x, y))
        return csMaxHover;
    if (OnPart(FMinRect, x, y))
        return csMinHover;
    if (OnPart(FHelpRect, x, y))
        return csHelpHover;
    return csNone;
}

void TXP_Form::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    if (FDrag == TDrag::Move) {
        if (FOwner)
            FOwner->move(FDragGeometry.topLeft() + (FPointer - FDragOrigin));
        return;
    }
    if (FDrag == TDrag::Resize) {
        ResizeOwnerTo(FPointer);
        return;
    }
    TGraphicControl::MouseMove(shift, x, y);
    PaintIfResized();
    if (FDrag == TDrag::None) {
        // Over a resize zone the pointer is on the window's edge, not on the
        // frame's surface: the zone's cursor shows, the buttons stay as they are.
        const TFrameHit hit = HitTest(x, y);
        setCursor(FrameHitCursor(hit));
        if (hit != htNowhere)
            return;
    }
    ShowButtonState(ButtonAt(x, y));
}

void TXP_Form::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (button != Qt::LeftButton) {
        TGraphicControl::MouseDown(button, shift, x, y);
        return;
    }
    PaintIfResized();
    if (const TFrameHit hit = HitTest(x, y); hit != htNowhere) {
        // A press on a resize zone resizes the owner: through the window
        // system where it can, else by following the pointer.
        FResizeEdges = FrameHitEdges(hit);
        QWindow *window = FOwner ? FOwner->windowHandle() : nullptr;
        if (window && window->startSystemResize(FResizeEdges))
            return;
        FDrag = TDrag::Resize;
        FDragOrigin = FPointer;
        FDragGeometry = FOwner->geometry();
        return;
    }
    if (const int hover = ButtonAt(x, y)) {
        ShowButtonState(hover * 10);
        FDrag = TDrag::Button;
        TGraphicControl::MouseDown(button, shift, x, y);
        return;
    }
    if (OwnerNormal() && PointInRect(FCaptionRect, x, y)) {
        // The caption drags the owner until the button is released: the
        // window system moves it where it offers that (a compositing window
        // manager, Wayland, where a program cannot place its own window),
        // else the frame follows the pointer itself (no window manager,
        // offscreen).
        QWindow *window = FOwner->windowHandle();
        if (window && window->startSystemMove()) {
            FDrag = TDrag::SystemMove;
            return;
        }
        FDrag = TDrag::Move;
        FDragOrigin = FPointer;
        FDragGeometry = FOwner->geometry();
    }
}

void TXP_Form::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    const TDrag drag = button == Qt::LeftButton ? FDrag : TDrag::None;
    if (button == Qt::LeftButton)
        FDrag = TDrag::None;
    if (drag == TDrag::Move || drag == TDrag::SystemMove) {
        EndMove();
        return;
    }
    if (drag == TDrag::Resize)
        return;
    QPointer<TXP_Form> self(this);
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!self || button != Qt::LeftButton)
        return;
    CaptionButtonAction(ButtonAt(x, y));
}

void TXP_Form::CaptionButtonAction(int hover)
{
    switch (hover) {
    case csCloseHover:
        CloseOwner();
        break;
    case csMaxHover:
        ToggleMaximized();
        break;
    case csMinHover:
        Application().Minimize();
        break;
    case csHelpHover:
        if (OnHelp)
            OnHelp(this);
        break;
    default:
        break;
    }
}

void TXP_Form::MouseDblClick(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (button == Qt::LeftButton) {
        const bool onButton = ButtonAt(x, y) != csNone;
        const bool onPicture = OnPart(FIconRect, x, y);
        if (!onButton && !onPicture && !PointInRect(GetClientArea(), x, y) && !FMaxRect.IsEmpty()) {
            ToggleMaximized();
        } else if (onPicture) {
            QPointer<TXP_Form> self(this);
            CloseOwner();
            if (!self)
                return;
        }
    }
    TGraphicControl::MouseDblClick(button, shift, x, y);
}

void TXP_Form::CloseOwner()
{
    if (!FOwner)
        return;
    FOwner->close();
    QCoreApplication::processEvents();
}

void TXP_Form::ToggleMaximized()
{
    if (!FOwner)
        return;
    if (FOwner->windowState() & Qt::WindowMaximized)
        FOwner->showNormal();
    else
        FOwner->showMaximized();
}

void TXP_Form::EndMove()
{
    Click();
    if (FMagnet > 0)
        SnapOwner();
}

void TXP_Form::SnapOwner()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    // On Wayland a program cannot place its window: there is nothing to snap.
    if (!FOwner || !screen || QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    FOwner->move(
        SnapToScreen(FOwner->pos(), FOwner->size(), screen->geometry().size(), GetTaskbarHeight(), FMagnet));
}

void TXP_Form::ResizeOwnerTo(const QPoint &global)
{
    if (!FOwner)
        return;
    const QPoint delta = global - FDragOrigin;
    QRect g = FDragGeometry;
    const QSize minimum = FOwner->minimumSize();
    const QSize maximum = FOwner->maximumSize();
    if (FResizeEdges & Qt::LeftEdge) {
        const int width = std::clamp(FDragGeometry.width() - delta.x(), minimum.width(), maximum.width());
        g.setLeft(FDragGeometry.right() + 1 - width);
    }
    if (FResizeEdges & Qt::RightEdge)
        g.setWidth(std::clamp(FDragGeometry.width() + delta.x(), minimum.width(), maximum.width()));
    if (FResizeEdges & Qt::TopEdge) {
        const int height = std::clamp(FDragGeometry.height() - delta.y(), minimum.height(), maximum.height());
        g.setTop(FDragGeometry.bottom() + 1 - height);
    }
    if (FResizeEdges & Qt::BottomEdge)
        g.setHeight(std::clamp(FDragGeometry.height() + delta.y(), minimum.height(), maximum.height()));
    FOwner->setGeometry(g);
}
