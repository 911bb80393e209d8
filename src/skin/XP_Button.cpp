#include "XP_Button.h"

#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "skin/XP_Unit.h"

#include <QKeyEvent>

TXP_Button::TXP_Button(QWidget *owner) : TXP_StateControl(owner)
{
    resize(75, 24);
    SetTabStop(true);
}

void TXP_Button::SetPicture(const TBitmap &picture)
{
    FPicture.Assign(picture);
    Repaint();
}

void TXP_Button::SetPicPos(TPicPos pos)
{
    SetAndRepaint(FPicPos, pos);
}

void TXP_Button::SetPicTrans(bool trans)
{
    SetAndRepaint(FPicTrans, trans);
}

void TXP_Button::SetPicTransColor(TColor color)
{
    SetAndRepaint(FPicTransColor, color);
}

void TXP_Button::SetPicOffSet(int offset)
{
    SetAndRepaint(FPicOffSet, offset);
}

void TXP_Button::SetDefault(bool value)
{
    FDefault = value;
    // Every button of the form recomputes whether it takes Enter.
    if (TForm *form = ParentForm())
        form->AnnounceFocus();
}

void TXP_Button::Click()
{
    if (parentWidget()) {
        if (TForm *form = ParentForm())
            form->SetModalResult(FModalResult);
    }
    TCustomControl::Click();
}

QImage TXP_Button::RenderState(int n)
{
    const int W = width();
    const int H = height();
    QImage image = NewSurface(W, H);
    const TBitmap strip = LoadSkinBitmap(QStringLiteral("XPBUTTON"));
    if (!Enabled())
        n = 3;
    if (n != 2 && n != 4 && HasFocusFlag())
        n = 5;
    TBitmap frame;
    CutSprite(strip, frame, 5, n, true);
    StretchSkin(frame, image, Rect(0, 0, W, H));

    const QFont captionFont = font();
    const TColor color = Enabled() ? FontColor() : clGray;
    const QSize text = TextExtent(captionFont, Caption());
    const int TW = text.width();
    const int TH = text.height();
    const int PW = FPicture.Width();
    const int PH = FPicture.Height();
    TRect captionRect = Rect(0, 0, W, H);
    if (PW >= 1 && PH >= 1) {
        if (FPicPos == pTop) {
            const int y = (H - TH - PH - FPicOffSet) / 2;
            const int x = (W - PW) / 2;
            DrawPicture(image, x, y);
            captionRect = Rect(0, y + PH + FPicOffSet, W, y + PH + FPicOffSet + TH);
        } else {
            const int x = (W - PW - TW - FPicOffSet) / 2;
            const int y = (H - PH) / 2;
            DrawPicture(image, x, y);
            captionRect = Rect(x + PW + FPicOffSet, 0, x + PW + FPicOffSet + TW, H);
        }
    }
    DrawTextLine(image, captionFont, color, captionRect, Caption(), tfCenter | tfVCenter);
    return image;
}

void TXP_Button::DrawPicture(QImage &image, int x, int y)
{
    if (FPicTrans) {
        FPicture.TransparentColor = FPicTransColor;
        FPicture.Transparent = true;
    }
    if (Enabled())
        FPicture.Draw(image, x, y);
    else
        DrawMaskedGlyph(FPicture, image, x, y, clBtnFace);
}

void TXP_Button::FocusChanged(QWidget *focused)
{
    if (qobject_cast<TXP_Button *>(focused))
        FEnterTarget = focused == this;
    else
        FEnterTarget = FDefault;
    Repaint();
}

void TXP_Button::KeyDown(QKeyEvent *event)
{
    TCustomControl::KeyDown(event);
    const int key = KeyCode(event);
    if (key == VK_RETURN || key == VK_SPACE)
        Click();
}

void TXP_Button::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != Qt::LeftButton)
        return;
    if (Enabled() && PointInRect(Rect(0, 0, width(), height()), x, y)) {
        TakeFocus();
        DrawState(2);
    }
}

void TXP_Button::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (button == Qt::LeftButton && Enabled() && PointInRect(Rect(0, 0, width(), height()), x, y))
        DrawState(1);
    TCustomControl::MouseUp(button, shift, x, y);
}

void TXP_Button::MouseEnter()
{
    TCustomControl::MouseEnter();
    DrawState(4);
}

bool TXP_Button::DialogChar(QChar ch)
{
    if (!IsAccel(ch, Caption()) || !Enabled())
        return false;
    TakeFocus();
    Click();
    return true;
}

bool TXP_Button::DialogKey(int key, Qt::KeyboardModifiers shift)
{
    const bool wanted = (key == VK_RETURN && FEnterTarget) || (key == VK_ESCAPE && FCancel);
    if (wanted && !(shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) && CanFocus()) {
        Click();
        return true;
    }
    return TCustomControl::DialogKey(key, shift);
}
