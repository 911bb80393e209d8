#pragma once

#include "framework/Types.h"

#include <QPointer>
#include <QWidget>

#include <initializer_list>

class QEventLoop;
class QKeyEvent;

// A form: a top-level window of the program. Put any widgets on it (the
// framework's controls and plain Qt widgets alike, at absolute positions);
// the form gives them what a dialog of the windowing layer has:
//
// - Keys. Enter and Escape are offered to the form's controls (DialogKey)
//   before the focused widget sees them. An accelerator character, Alt with
//   any character but Space, or a plain character while the focused widget
//   takes no characters (a framework control whose WantsChars() is false),
//   is offered to the form's controls in turn (DialogChar) until one claims
//   it; an unclaimed key goes on to the focused widget. Plain Qt widgets
//   (edits, lists) take characters. Tab and Shift+Tab move the focus along
//   the tab order (SetTabOrder).
// - Focus. Whenever the focus moves to a widget of the form, every control
//   of the form gets FocusChanged(that widget). When the form is shown for
//   the first time and nothing has been given the focus yet, the first
//   enabled, visible widget of the tab order gets it.
// - Modal display. ShowModal() shows the form modally and returns its modal
//   result once SetModalResult() gives a value other than 0 (a button's
//   click can do so); closing the form while it is modal ends it with
//   mrCancel (2).
//
// An ELumoraError escaping the key dispatch is shown in the error box.
class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget *parent = nullptr);
    ~TForm() override;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption) { setWindowTitle(caption); }

    // The form's background colour.
    TColor Color() const { return FColor; }
    void SetColor(TColor color);

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult result);
    TModalResult ShowModal();
    bool Modal() const { return FModalLoop != nullptr; }
    // The normal close request (close events and their handlers run).
    void Close() { close(); }

    // The widget of the form that has (or gets, once the form is active) the
    // keyboard focus.
    QWidget *ActiveControl() const { return focusWidget(); }
    // The Tab order of the given widgets, first to last; the first one is
    // also the first the form's tab order reaches.
    void SetTabOrder(std::initializer_list<QWidget *> order);
    // The widgets Tab stops at, in the tab order, whether enabled or not.
    QList<QWidget *> TabStops() const;
    // Announces ActiveControl() again as a focus change to every control.
    void AnnounceFocus();

    // The key dispatch described above; true when a control claimed the key.
    bool DispatchKey(QKeyEvent *event);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool FShown = false;
    TColor FColor = clBtnFace;
    TModalResult FModalResult = mrNone;
    QEventLoop *FModalLoop = nullptr;
};
