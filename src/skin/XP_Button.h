#pragma once

#include "framework/Bitmap.h"
#include "skin/XP_StateControl.h"

#include <cstdint>

// Where a button's picture sits relative to its caption.
enum TPicPos : std::uint8_t { pLeft = 0, pTop = 1 };

// The skinned push button. It draws itself from the skin strip "XPBUTTON"
// (five looks: 1 normal, 2 pressed, 3 disabled, 4 hover, 5 focused),
// stretched to its size, with a centred caption ("&" marks the accelerator)
// and an optional picture. Each mouse event draws its look at once; every
// ordinary repaint draws the resting look (3 disabled, else 5 focused, else
// 1).
//
// Clicks: a press and release inside, Enter or Space while focused, its
// accelerator (Alt + the marked character, or the plain character while the
// focus is on a control that takes no characters), Enter as the form's
// Enter target (the focused button, or the Default button while the focus
// is on something that is not a button) and Escape when Cancel is set. A
// click hands ModalResult to the form (SetModalResult), then calls OnClick.
class TXP_Button : public TXP_StateControl {
    Q_OBJECT
public:
    explicit TXP_Button(QWidget *owner = nullptr);

    // The picture (empty by default). SetPicture copies the given picture's
    // pixels into the button's own picture and repaints.
    const TBitmap &Picture() const { return FPicture; }
    void SetPicture(const TBitmap &picture);
    TPicPos PicPos() const { return FPicPos; }
    void SetPicPos(TPicPos pos);
    bool PicTrans() const { return FPicTrans; }
    void SetPicTrans(bool trans);
    TColor PicTransColor() const { return FPicTransColor; }
    void SetPicTransColor(TColor color);
    int PicOffSet() const { return FPicOffSet; }
    void SetPicOffSet(int offset);

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult result) { FModalResult = result; }
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }

    // True while this button is the one that takes Enter.
    bool EnterTarget() const { return FEnterTarget; }

    void Click() override;

    // The button in look n (1 normal, 2 pressed, 4 hover; 3 and 5 are
    // chosen inside).
    QImage RenderState(int n) override;

    bool DialogChar(QChar ch) override;
    bool DialogKey(int key, Qt::KeyboardModifiers shift) override;
    void FocusChanged(QWidget *focused) override;

protected:
    // A hidden button has nothing on the screen to redraw (and its first
    // paint draws it whole): drawing it anyway would load the skin and
    // resolve the caption's font for nothing.
    void EnabledChanged() override
    {
        if (isVisible())
            DrawState(1);
    }
    void KeyDown(QKeyEvent *event) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseEnter() override;

private:
    void DrawPicture(QImage &image, int x, int y);

    bool FEnterTarget = false;
    bool FDefault = false;
    bool FCancel = false;
    TBitmap FPicture;
    bool FPicTrans = false;
    TColor FPicTransColor = clBlack;
    TPicPos FPicPos = pTop;
    int FPicOffSet = 2;
    TModalResult FModalResult = mrNone;
};
