#pragma once

#include "framework/Types.h"

#include <QImage>
#include <QWidget>

class QKeyEvent;
class TForm;

// Key codes the control hooks compare against (the values of the keys as the
// controls' own descriptions name them).
constexpr int VK_RETURN = 13;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_TAB = 9;

// The key code of a key event: 13 for Return and Enter, 27 for Escape, 32 for
// Space, 9 for Tab, the upper-case letter or the digit for letter and digit
// keys, otherwise the Qt key value.
int KeyCode(const QKeyEvent *event);

// The base of every control of the windowing layer. It turns Qt's events into
// the hooks below, which controls override (calling the base where they want
// its handling), and catches an ELumoraError escaping a hook: the application
// shows it in the error box (TApplication) and the program carries on.
//
// Painting: the control never has its background erased; a paint request
// calls Paint(), which must cover the whole control. Paint() and any other
// drawing go onto Canvas(), the control's own window surface (an image of the
// control's size that is shown as the control's pixels). Drawing outside a
// paint request becomes visible with UpdateWindow(); CopyToWindow() copies a
// composed image to (0, 0) and shows it at once.
//
// Mouse: the left button held down captures the mouse (moves and the release
// come to the control). A press followed by a release inside the control
// (right and bottom edges excluded) is a click (Click()). The second press of
// a double click arrives as MouseDblClick, not as MouseDown, and its release
// makes no click. MouseEnter / MouseLeave come when the pointer enters or
// leaves the control; while the control holds the capture only it gets them.
class TControl : public QWidget {
    Q_OBJECT
public:
    explicit TControl(QWidget *parent = nullptr);

    // The caption text; a change calls CaptionChanged().
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    // Sets the component name; the caption follows the name until a caption
    // has been given.
    void SetName(const QString &name);

    // The control's own colour; a change calls ColorChanged().
    TColor Color() const { return FColor; }
    void SetColor(TColor color);

    // The colour of the control's font (the window-text colour by default);
    // a change calls FontChanged().
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor color);

    // The control's own enabled flag (Qt's setEnabled sets it; a disabled
    // parent does not clear it). Visible state: Qt's setVisible.
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    // The control's own visible flag (true while it would show with its form).
    bool Visible() const;

    // The form this control lies on (the top-level window, when it is a
    // TForm), or nullptr.
    TForm *ParentForm() const;

    // True when the control and all its parents up to its form are visible
    // and enabled.
    bool CanFocus() const;
    // Takes the keyboard focus; throws ELumoraError "Cannot focus a disabled
    // or invisible window" when CanFocus() is false.
    void TakeFocus();
    bool Focused() const { return hasFocus(); }

    // The click operation: calls OnClick with the control as sender.
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The window surface (see above); resized to the control on access.
    QImage &Canvas();

    // Accelerator character offered by the form: return true to claim it.
    // The base offers it to the controls inside this one, in order; a
    // control that contains others decides whether to call the base.
    virtual bool DialogChar(QChar ch);
    // Enter (13) or Escape (27), offered by the form before the focused
    // control sees it: return true to claim it. The base offers it to the
    // controls inside this one.
    virtual bool DialogKey(int key, Qt::KeyboardModifiers shift);
    // Whether the control takes typed characters while it has the focus; a
    // focused control that takes none lets plain characters act as
    // accelerators.
    virtual bool WantsChars() const { return false; }
    // The form announces the control that now has the focus to every control
    // on it, the controls inside other controls included (the base does
    // nothing; overrides need not pass it on).
    virtual void FocusChanged(QWidget *focused);

protected:
    virtual void Paint() {}
    void UpdateWindow();
    void CopyToWindow(const QImage &image);
    // Invalidates the whole control and paints it at once through Paint().
    void Repaint();
    // A property setter's work: stores Value in Field and repaints when it
    // differs; true when it did.
    template <typename T> bool SetAndRepaint(T &Field, const T &Value)
    {
        if (Field == Value)
            return false;
        Field = Value;
        Repaint();
        return true;
    }

    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseDblClick(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void KeyDown(QKeyEvent *event);
    virtual void FocusReceived() {}
    virtual void FocusLost() {}
    virtual void EnabledChanged() {}
    virtual void FontChanged() {}
    virtual void CaptionChanged() {}
    virtual void ColorChanged() {}
    virtual void Moved() {}
    virtual void Resized() {}

    // True while the left button's press is remembered for a click.
    bool ClickPending() const { return FClickPending; }
    // True while a mouse button held down captures the mouse.
    bool MouseCaptured() const { return FCaptured; }

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void HandleEvent(QEvent *event);
    void HandleMouse(QEvent *event);
    bool IsDoubleClick(const class QMouseEvent *event);
    void SetPointerInside(bool inside);

    QString FCaption;
    bool FCaptionGiven = false;
    TColor FColor = clBtnFace;
    TColor FFontColor = clWindowText;
    QImage FSurface;
    bool FInPaint = false;
    bool FFlushing = false;
    bool FClickPending = false;
    bool FCaptured = false;
    bool FPointerInside = false;
    // Double-click detection (press time and place of the last single press).
    quint64 FLastPressTime = 0;
    QPoint FLastPressPos;
    Qt::MouseButton FLastPressButton = Qt::NoButton;
    bool FHaveLastPress = false;
    bool FDoubleClickTaken = false;
};

// A windowless control: it paints only its own area of its parent, never
// takes the keyboard focus and is no tab stop. Base of controls such as the
// window frame.
class TGraphicControl : public TControl {
    Q_OBJECT
public:
    explicit TGraphicControl(QWidget *parent = nullptr);
};

// A windowed, self-painting control: focusable (a tab stop by default),
// mouse capture while the left button is down, double clicks as double
// clicks.
class TCustomControl : public TControl {
    Q_OBJECT
public:
    explicit TCustomControl(QWidget *parent = nullptr);

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool tabStop);

private:
    bool FTabStop = true;
};

// Offers an accelerator character to the controls inside parent, in order,
// until one claims it; widgets that are not controls pass it to the controls
// inside them. Hidden and disabled controls are offered it too.
bool OfferDialogChar(QWidget *parent, QChar ch);
// The same for a dialog key (Enter, Escape).
bool OfferDialogKey(QWidget *parent, int key, Qt::KeyboardModifiers shift);
// Sends the focus-changed notice to every control inside root.
void BroadcastFocusChanged(QWidget *root, QWidget *focused);
