#pragma once

#include "framework/Controls.h"

#include <QImage>

// What the skinned button and check box have in common: each is drawn from
// its skin strip in numbered looks (1 the resting look), draws the resting
// look on every ordinary repaint, and repaints when its font, its caption,
// its focus or the pointer's leaving changes how it looks.
class TXP_StateControl : public TCustomControl {
    Q_OBJECT
public:
    using TCustomControl::TCustomControl;

    // True while the control holds the keyboard focus.
    bool HasFocusFlag() const { return FFocused; }

    // Draws the control at once on its window in look n.
    void DrawState(int n) { CopyToWindow(RenderState(n)); }
    // The image DrawState(n) puts on the window.
    virtual QImage RenderState(int n) = 0;

protected:
    void Paint() override { DrawState(1); }
    void FontChanged() override { Repaint(); }
    void CaptionChanged() override { Repaint(); }
    void FocusReceived() override
    {
        FFocused = true;
        Repaint();
    }
    void FocusLost() override
    {
        FFocused = false;
        Repaint();
    }
    void MouseLeave() override
    {
        TCustomControl::MouseLeave();
        Repaint();
    }

private:
    bool FFocused = false;
};
