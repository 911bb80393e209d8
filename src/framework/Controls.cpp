#include "Controls.h"

#include "base/LumoraError.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QtMath>

int KeyCode(const QKeyEvent *event)
{
    const int key = event->key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    default:
        return key; // letters and digits: Qt's values are their upper-case codes
    }
}

TControl::TControl(QWidget *parent) : QWidget(parent)
{
    // Every paint covers the whole control: nothing is erased before it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TControl::SetCaption(const QString &caption)
{
    FCaptionGiven = true;
    if (caption == FCaption)
        return;
    FCaption = caption;
    CaptionChanged();
}

void TControl::SetName(const QString &name)
{
    setObjectName(name);
    if (!FCaptionGiven && name != FCaption) {
        FCaption = name;
        CaptionChanged();
    }
}

void TControl::SetColor(TColor color)
{
    if (color == FColor)
        return;
    FColor = color;
    ColorChanged();
}

void TControl::SetFontColor(TColor color)
{
    if (color == FFontColor)
        return;
    FFontColor = color;
    FontChanged();
}

bool TControl::Visible() const
{
    return parentWidget() ? isVisibleTo(parentWidget()) : isVisible();
}

TForm *TControl::ParentForm() const
{
    return qobject_cast<TForm *>(window());
}

bool TControl::CanFocus() const
{
    const QWidget *form = window();
    if (form == this)
        return isVisible() && isEnabled();
    return isVisibleTo(form) && isEnabledTo(form);
}

void TControl::TakeFocus()
{
    if (!CanFocus())
        throw ELumoraError(QStringLiteral("Cannot focus a disabled or invisible window"));
    setFocus(Qt::OtherFocusReason);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

QImage &TControl::Canvas()
{
    if (FSurface.size() != size())
        FSurface = NewSurface(width(), height());
    return FSurface;
}

bool TControl::DialogChar(QChar ch)
{
    return OfferDialogChar(this, ch);
}

bool TControl::DialogKey(int key, Qt::KeyboardModifiers shift)
{
    return OfferDialogKey(this, key, shift);
}

void TControl::FocusChanged(QWidget *) {}

void TControl::UpdateWindow()
{
    if (FInPaint)
        return; // the running paint shows the canvas when it ends
    FFlushing = true;
    repaint();
    FFlushing = false;
}

void TControl::CopyToWindow(const QImage &image)
{
    QPainter painter(&Canvas());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, image);
    painter.end();
    UpdateWindow();
}

void TControl::Repaint()
{
    if (!FInPaint)
        repaint();
}

void TControl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int, int)
{
    if (button == Qt::LeftButton)
        FClickPending = true;
}

void TControl::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    if (button != Qt::LeftButton || !FClickPending)
        return;
    FClickPending = false;
    if (x >= 0 && y >= 0 && x < width() && y < height())
        Click();
}

void TControl::MouseMove(Qt::KeyboardModifiers, int, int) {}

void TControl::MouseDblClick(Qt::MouseButton button, Qt::KeyboardModifiers, int, int)
{
    if (button == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

void TControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::KeyDown(QKeyEvent *) {}

void TControl::paintEvent(QPaintEvent *)
{
    if (!FFlushing) {
        FInPaint = true;
        try {
            Paint();
        } catch (const ELumoraError &error) {
            // No modal box inside a paint: show it once the paint is over.
            QTimer::singleShot(0, qApp, [error] { Application().ShowException(error); });
        }
        FInPaint = false;
    }
    QPainter painter(this);
    const qreal scale = devicePixelRatioF();
    if (scale == qFloor(scale)) {
        painter.drawImage(0, 0, Canvas());
        return;
    }
    // At a fractional scale factor (1.25, 1.5) the control starts and ends
    // inside device pixels, and it owns every pixel it touches: the canvas
    // at its size leaves a fringe at the right and bottom showing whatever
    // was there before. Under the canvas, a copy stretched by one pixel fills
    // that fringe with the edge colours; what lies outside is clipped away.
    painter.drawImage(QRect(0, 0, width() + 1, height() + 1), Canvas());
    painter.drawImage(0, 0, Canvas());
}

bool TControl::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (!isEnabled())
            return QWidget::event(event); // a disabled control gets no mouse input
        break;
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::EnabledChange:
    case QEvent::FontChange:
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (!isEnabled() || key == Qt::Key_Tab || key == Qt::Key_Backtab)
            return QWidget::event(event); // focus moves along the tab order
        break;
    }
    default:
        return QWidget::event(event);
    }
    try {
        HandleEvent(event);
    } catch (const ELumoraError &error) {
        Application().ShowException(error);
    }
    return true;
}

void TControl::HandleEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        HandleMouse(event);
        break;
    case QEvent::Enter:
        if (!FCaptured)
            SetPointerInside(true);
        break;
    case QEvent::Leave:
        if (!FCaptured)
            SetPointerInside(false);
        break;
    case QEvent::FocusIn:
        FocusReceived();
        break;
    case QEvent::FocusOut:
        FocusLost();
        break;
    case QEvent::Move:
        Moved();
        break;
    case QEvent::Resize:
        QWidget::event(event);
        Resized();
        break;
    case QEvent::EnabledChange:
        QWidget::event(event);
        EnabledChanged();
        break;
    case QEvent::FontChange:
        QWidget::event(event);
        FontChanged();
        break;
    case QEvent::KeyPress:
        KeyDown(static_cast<QKeyEvent *>(event));
        break;
    default:
        break;
    }
}

bool TControl::IsDoubleClick(const QMouseEvent *event)
{
    const QStyleHints *hints = QGuiApplication::styleHints();
    const QPoint pos = event->position().toPoint();
    const bool isDouble = FHaveLastPress && event->button() == FLastPressButton &&
                          event->timestamp() - FLastPressTime < quint64(hints->mouseDoubleClickInterval()) &&
                          (pos - FLastPressPos).manhattanLength() <= hints->mouseDoubleClickDistance();
    // A double click ends the pair: a third press starts afresh.
    FHaveLastPress = !isDouble;
    FLastPressTime = event->timestamp();
    FLastPressPos = pos;
    FLastPressButton = event->button();
    return isDouble;
}

void TControl::HandleMouse(QEvent *event)
{
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint pos = mouse->position().toPoint();
    const Qt::KeyboardModifiers shift = mouse->modifiers();
    const bool inside = rect().contains(pos);
    QPointer<TControl> self(this);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        FCaptured = true;
        FDoubleClickTaken = IsDoubleClick(mouse);
        if (FDoubleClickTaken)
            MouseDblClick(mouse->button(), shift, pos.x(), pos.y());
        else
            MouseDown(mouse->button(), shift, pos.x(), pos.y());
        break;
    case QEvent::MouseButtonDblClick:
        // Qt follows the second press with its own double-click event; the
        // press has already been taken as the double click. A double click
        // that comes without a press of its own counts here.
        if (!FDoubleClickTaken) {
            FCaptured = true;
            MouseDblClick(mouse->button(), shift, pos.x(), pos.y());
        }
        FDoubleClickTaken = false;
        break;
    case QEvent::MouseButtonRelease:
        MouseUp(mouse->button(), shift, pos.x(), pos.y());
        if (self && mouse->buttons() == Qt::NoButton) {
            FCaptured = false;
            SetPointerInside(inside);
        }
        break;
    case QEvent::MouseMove:
        MouseMove(shift, pos.x(), pos.y());
        if (self && FCaptured)
            SetPointerInside(inside);
        break;
    default:
        break;
    }
}

void TControl::SetPointerInside(bool inside)
{
    if (inside == FPointerInside)
        return;
    FPointerInside = inside;
    if (inside)
        MouseEnter();
    else
        MouseLeave();
}

TGraphicControl::TGraphicControl(QWidget *parent) : TControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

TCustomControl::TCustomControl(QWidget *parent) : TControl(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void TCustomControl::SetTabStop(bool tabStop)
{
    FTabStop = tabStop;
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

namespace {

// The widgets directly inside parent, in their order, windows left out.
QList<QPointer<QWidget>> ChildWidgets(QWidget *parent)
{
    QList<QPointer<QWidget>> list;
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && !widget->isWindow())
            list.append(widget);
    }
    return list;
}

} // namespace

bool OfferDialogChar(QWidget *parent, QChar ch)
{
    for (const QPointer<QWidget> &child : ChildWidgets(parent)) {
        if (!child)
            continue;
        if (auto *control = qobject_cast<TControl *>(child.data())) {
            if (control->DialogChar(ch))
                return true;
        } else if (OfferDialogChar(child, ch)) {
            return true;
        }
    }
    return false;
}

bool OfferDialogKey(QWidget *parent, int key, Qt::KeyboardModifiers shift)
{
    for (const QPointer<QWidget> &child : ChildWidgets(parent)) {
        if (!child)
            continue;
        if (auto *control = qobject_cast<TControl *>(child.data())) {
            if (control->DialogKey(key, shift))
                return true;
        } else if (OfferDialogKey(child, key, shift)) {
            return true;
        }
    }
    return false;
}

void BroadcastFocusChanged(QWidget *root, QWidget *focused)
{
    for (const QPointer<QWidget> &child : ChildWidgets(root)) {
        if (!child)
            continue;
        if (auto *control = qobject_cast<TControl *>(child.data()))
            control->FocusChanged(focused);
        if (child)
            BroadcastFocusChanged(child, focused);
    }
}
