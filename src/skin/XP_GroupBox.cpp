#include "XP_GroupBox.h"

#include "framework/Canvas.h"

#include <QEvent>

TXP_GroupBox::TXP_GroupBox(QWidget *owner) : TCustomControl(owner)
{
    resize(185, 105);
    SetTabStop(false);
    SetColor(RGB(248, 246, 230));
}

void TXP_GroupBox::SetBorderColor(TColor color)
{
    SetAndRepaint(FBorderColor, color);
}

void TXP_GroupBox::SetCaptionColor(TColor color)
{
    SetAndRepaint(FCaptionColor, color);
}

QImage TXP_GroupBox::Render()
{
    const int W = width();
    const int H = height();
    QImage image = NewSurface(W, H);
    FillRect(image, Rect(0, 0, W, H), Color());
    const QSize text = TextExtent(font(), Caption());
    const int TW = text.width();
    const int TH = text.height();
    RoundRectOutline(image, Rect(0, TH / 2, W, H), 8, 8, FBorderColor);
    const TRect band = Rect(10, 0, 10 + TW + 6, TH);
    FillRect(image, band, Color());
    DrawTextLine(image, font(), Enabled() ? FCaptionColor : clGray, band, Caption(), tfCenter | tfVCenter);
    return image;
}

bool TXP_GroupBox::DialogChar(QChar ch)
{
    if (!IsAccel(ch, Caption()) || !CanFocus())
        return false;
    TakeFocus();
    return true;
}

bool TXP_GroupBox::event(QEvent *event)
{
    // System or parent colours changed: paint again at once.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        const bool handled = TCustomControl::event(event);
        Repaint();
        return handled;
    }
    return TCustomControl::event(event);
}
