#include "XP_CheckBox.h"

#include "framework/Canvas.h"
#include "skin/XP_Unit.h"

#include <QAccessible>
#include <QKeyEvent>

TXP_CheckBox::TXP_CheckBox(QWidget *owner) : TXP_StateControl(owner)
{
    resize(121, 17);
    SetTabStop(true);
    SetColor(RGB(248, 246, 230));
}

void TXP_CheckBox::SetChecked(bool checked)
{
    if (!SetAndRepaint(FChecked, checked))
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void TXP_CheckBox::Toggle()
{
    SetChecked(!FChecked);
    Report();
}

void TXP_CheckBox::Report()
{
    if (OnClick)
        OnClick(this);
}

QImage TXP_CheckBox::RenderState(int n)
{
    const int W = width();
    const int H = height();
    QImage image = NewSurface(W, H);
    FillRect(image, Rect(0, 0, W, H), Color());
    if (!Enabled())
        n = FChecked ? 4 : 3;
    else if (FChecked && n != 6)
        n = 2;
    const TBitmap strip = LoadSkinBitmap(QStringLiteral("XPCHECKBOX"));
    TBitmap frame;
    CutSprite(strip, frame, 6, n, true);
    frame.Draw(image, 0, (H - 13) / 2);

    const QFont captionFont = font();
    const TColor color = Enabled() ? FontColor() : clGray;
    DrawTextLine(image, captionFont, color, Rect(frame.Width() + 4, 0, W, H), Caption(), tfLeft | tfVCenter);
    if (HasFocusFlag() && Enabled()) {
        const QSize text = TextExtent(captionFont, StripAccelerators(Caption()));
        const int left = frame.Width() + 3;
        const int top = (H - text.height()) / 2 - 1;
        DrawFocusRect(image, Rect(left, top, left + text.width() + 1, top + text.height() + 1));
    }
    return image;
}

void TXP_CheckBox::KeyDown(QKeyEvent *event)
{
    const int key = KeyCode(event);
    if (key != VK_RETURN && key != VK_SPACE)
        return;
    Toggle();
}

void TXP_CheckBox::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != Qt::LeftButton)
        return;
    TakeFocus();
    SetChecked(!FChecked);
    Repaint();
}

void TXP_CheckBox::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (button == Qt::LeftButton)
        Report();
}

void TXP_CheckBox::MouseEnter()
{
    TCustomControl::MouseEnter();
    DrawState(FChecked ? 6 : 5);
}

bool TXP_CheckBox::DialogChar(QChar ch)
{
    if (!IsAccel(ch, Caption()) || !Enabled())
        return false;
    TakeFocus();
    Toggle();
    return true;
}
