#pragma once

#include "skin/XP_StateControl.h"

// The skinned check box: a 13 x 13 mark cut from the skin strip "XPCHECKBOX"
// (six looks: 1 unchecked, 2 checked, 3 and 4 the same disabled, 5 and 6 the
// same with the pointer over it) at its left edge, the caption to its right
// on the control's Color, and a dotted focus rectangle around the caption
// while focused.
//
// It toggles on the press of the left button (and reports through OnClick
// on every release, wherever the pointer is), on Enter or Space, and on its
// accelerator (toggle and report at once). Setting Checked from code
// repaints but reports nothing.
class TXP_CheckBox : public TXP_StateControl {
    Q_OBJECT
public:
    explicit TXP_CheckBox(QWidget *owner = nullptr);

    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    // Toggles and reports, as Enter, Space and the accelerator do.
    void Toggle();

    // The check box reports through OnClick from its own handlers only; the
    // base's click on release does nothing here.
    void Click() override {}

    // The check box in look n: 1 for a plain draw, 5 or 6 when the pointer
    // has entered.
    QImage RenderState(int n) override;

    bool DialogChar(QChar ch) override;
    void FocusChanged(QWidget *) override { Repaint(); }

protected:
    void EnabledChanged() override { Repaint(); }
    void KeyDown(QKeyEvent *event) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseEnter() override;

private:
    void Report();

    bool FChecked = false;
};
