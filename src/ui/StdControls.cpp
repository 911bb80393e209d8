#include "StdControls.h"

#include "base/LumoraError.h"
#include "framework/Application.h"
#include "framework/FontSetUp.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace {

void SetBackground(QWidget *widget, TColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ColorToQColor(color));
    palette.setColor(QPalette::Base, ColorToQColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TLabel::TLabel(QWidget *parent, int left, int top, const QString &caption)
    : QLabel(caption, parent), FAutoSize(true)
{
    setFont(LatinFont());
    move(left, top);
}

TLabel::TLabel(QWidget *parent, const QRect &geometry, const QString &caption)
    : QLabel(caption, parent), FAutoSize(false)
{
    setFont(LatinFont());
    setGeometry(geometry);
}

void TLabel::SetCaption(const QString &caption)
{
    setText(caption);
    FitText();
}

void TLabel::SetFontColor(TColor color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(color));
    setPalette(palette);
}

void TLabel::SetLabelFont(const QFont &font)
{
    setFont(font);
    FitText();
}

void TLabel::FitText()
{
    // Measuring the text resolves the font, the first time in the program
    // the whole font set-up: until the label is polished (just before it is
    // first shown or drawn) the polish does it once for all changes.
    if (FAutoSize && testAttribute(Qt::WA_WState_Polished))
        adjustSize();
}

bool TLabel::event(QEvent *event)
{
    const bool handled = QLabel::event(event);
    if (event->type() == QEvent::Polish && FAutoSize)
        adjustSize();
    return handled;
}

void TLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
        Application().Guard(OnClick);
}

void TLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    if (OnMouseEnter)
        Application().Guard(OnMouseEnter);
}

void TLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    if (OnMouseLeave)
        Application().Guard(OnMouseLeave);
}

TStaticText::TStaticText(QWidget *parent, const QRect &geometry) : QLabel(parent)
{
    setFont(LatinFont());
    setGeometry(geometry);
    SetBackground(this, Cream);
    setContentsMargins(2, 1, 1, 1);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TStaticText::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    // Soft sunken edge: shadow on the top and left, highlight on the bottom
    // and right, one pixel each.
    QPainter p(this);
    const int r = width() - 1, b = height() - 1;
    p.setPen(QColor(172, 168, 153));
    p.drawLine(0, 0, r - 1, 0);
    p.drawLine(0, 0, 0, b - 1);
    p.setPen(Qt::white);
    p.drawLine(0, b, r, b);
    p.drawLine(r, 0, r, b);
}

namespace {

// A line edit lays out its (empty) text the moment it is made, which needs
// the font back-end: the first one waits here for the back-end's set-up, so
// that the window's construction before it (and the accessibility bridge
// its first label starts) overlaps the set-up rather than waiting for it.
QWidget *NoParentOnceFontsAreSetUp()
{
    FinishFontSetUp();
    return nullptr;
}

} // namespace

TEdit::TEdit(QWidget *parent, const QRect &geometry) : QLineEdit(NoParentOnceFontsAreSetUp())
{
    // A line edit lays out its text again at every font change: it takes its
    // own font before it joins its parent, so the parent's font is never
    // loaded for it only to be dropped.
    setFont(LatinFont());
    setParent(parent);
    setGeometry(geometry);
    setMaxLength(32767);
    setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid rgb(172, 168, 153); background: white;"
                                 " color: black; padding: 0px 1px; }"
                                 "QLineEdit:disabled { color: rgb(128, 128, 128); }"));
}

TPanel::TPanel(QWidget *parent, const QRect &geometry, TColor color) : QWidget(parent)
{
    setGeometry(geometry);
    SetBackground(this, color);
}

TBevel::TBevel(QWidget *parent, const QRect &geometry) : QWidget(parent)
{
    setGeometry(geometry);
}

void TBevel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int b = height() - 1;
    p.setPen(QColor(172, 168, 153));
    p.drawLine(0, b - 1, width() - 1, b - 1);
    p.setPen(Qt::white);
    p.drawLine(0, b, width() - 1, b);
}

TStatusBar::TStatusBar(QWidget *parent, const QRect &geometry, TColor color, QList<TPanelItem> panels)
    : QWidget(parent), FPanels(std::move(panels))
{
    setGeometry(geometry);
    SetBackground(this, color);
}

void TStatusBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    // Panels from the left, two pixels apart, each as tall as the bar less a
    // two-pixel margin at the top; the last one runs to the bar's right edge.
    int left = 0;
    for (const TPanelItem &panel : FPanels) {
        const int width = &panel == &FPanels.back() ? this->width() - left : panel.Width;
        const QRect area(left, 2, width, height() - 2);
        if (panel.Bevel) {
            p.setPen(QColor(172, 168, 153));
            p.drawLine(area.left(), area.top(), area.right() - 1, area.top());
            p.drawLine(area.left(), area.top(), area.left(), area.bottom() - 1);
            p.setPen(Qt::white);
            p.drawLine(area.left(), area.bottom(), area.right(), area.bottom());
            p.drawLine(area.right(), area.top(), area.right(), area.bottom());
            p.setPen(palette().color(QPalette::WindowText));
        }
        const QRect text = area.adjusted(2, 1, -2, -1);
        p.drawText(text, Qt::AlignVCenter | (panel.Centred ? Qt::AlignHCenter : Qt::AlignLeft), panel.Text);
        left += panel.Width + 2;
    }
}

TPicture::TPicture(QWidget *parent, const QRect &geometry, std::function<QImage()> Load)
    : QWidget(parent), FLoad(std::move(Load))
{
    setGeometry(geometry);
}

const QImage &TPicture::Picture() const
{
    if (FLoad) {
        FPicture = FLoad();
        FLoad = nullptr;
    }
    return FPicture;
}

void TPicture::paintEvent(QPaintEvent *)
{
    const QImage &picture = Picture();
    if (picture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), picture);
}
