#pragma once

#include "framework/Controls.h"

// The skinned group box: a flat background in Color, a one-pixel rounded
// border in BorderColor and, on the border's top line, the caption in
// CaptionColor (grey while disabled) on a band of the background colour.
// Controls placed on it are its children. It keeps accelerator characters
// from them: only its own accelerator is looked at (it then takes the focus
// itself), and the controls inside it are never offered any.
class TXP_GroupBox : public TCustomControl {
    Q_OBJECT
public:
    explicit TXP_GroupBox(QWidget *owner = nullptr);

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor color);
    TColor CaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(TColor color);

    // The image a paint puts on the window.
    QImage Render();

    bool DialogChar(QChar ch) override;

protected:
    void Paint() override { CopyToWindow(Render()); }
    void EnabledChanged() override { Repaint(); }
    void CaptionChanged() override { Repaint(); }
    void ColorChanged() override { update(); }
    void FontChanged() override { update(); }
    void Moved() override { Repaint(); }
    void Resized() override { Repaint(); }
    bool event(QEvent *event) override;

private:
    TColor FBorderColor = RGB(208, 208, 191);
    TColor FCaptionColor = RGB(2, 70, 207);
};
