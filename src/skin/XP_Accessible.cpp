#include "XP_Accessible.h"

#include "framework/Accessibility.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"
#include "skin/XP_Form.h"
#include "skin/XP_GroupBox.h"

#include <QAccessibleWidget>
#include <QKeySequence>
#include <QPointer>

#include <array>
#include <utility>

namespace {

// A control of the windowing layer named by its caption ("&" marks left
// out), unless a name was set on the widget.
class TCaptionedAccessible : public QAccessibleWidget {
public:
    TCaptionedAccessible(TControl *control, QAccessible::Role role) : QAccessibleWidget(control, role) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return StripAccelerators(Control()->Caption());
        return QAccessibleWidget::text(t);
    }

protected:
    TControl *Control() const { return static_cast<TControl *>(widget()); }
    // The accelerator as a key binding ("Alt+O"), when the caption marks one.
    QStringList Mnemonic() const
    {
        const QKeySequence key = QKeySequence::mnemonic(Control()->Caption());
        return key.isEmpty() ? QStringList() : QStringList(key.toString(QKeySequence::NativeText));
    }
};

// A captioned control with one action (press or toggle), bound to the
// caption's accelerator; Act performs it.
template <typename T, void (T::*Act)()> class TActionAccessible : public TCaptionedAccessible {
public:
    TActionAccessible(T *control, QAccessible::Role role, QString action)
        : TCaptionedAccessible(control, role), FAction(std::move(action))
    {
    }

    QStringList actionNames() const override { return {FAction}; }
    void doAction(const QString &name) override
    {
        if (name == FAction && widget()->isEnabled())
            RunAfterAccessibleRequest(widget(), [control = QPointer<T>(Typed())] {
                if (control)
                    (control->*Act)();
            });
    }
    QStringList keyBindingsForAction(const QString &name) const override
    {
        return name == FAction ? Mnemonic() : QStringList();
    }

protected:
    T *Typed() const { return static_cast<T *>(widget()); }

private:
    QString FAction;
};

class TButtonAccessible : public TActionAccessible<TXP_Button, &TXP_Button::Click> {
public:
    explicit TButtonAccessible(TXP_Button *button)
        : TActionAccessible(button, QAccessible::Button, pressAction())
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = TActionAccessible::state();
        s.defaultButton = Typed()->Default();
        return s;
    }
};

class TCheckBoxAccessible : public TActionAccessible<TXP_CheckBox, &TXP_CheckBox::Toggle> {
public:
    explicit TCheckBoxAccessible(TXP_CheckBox *box)
        : TActionAccessible(box, QAccessible::CheckBox, toggleAction())
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = TActionAccessible::state();
        s.checkable = true;
        s.checked = Typed()->Checked();
        return s;
    }
};

// One caption button of the frame: painted by the frame, with no widget of
// its own.
class TCaptionButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TCaptionButtonAccessible(TXP_Form *frame, int hover) : FFrame(frame), FHover(hover) {}

    bool isValid() const override { return FFrame && FFrame->CaptionButtonShown(FHover); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return FFrame ? FFrame->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(FFrame); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Button; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !FFrame)
            return {};
        switch (FHover) {
        case TXP_Form::csCloseHover:
            return QStringLiteral("Close");
        case TXP_Form::csMaxHover:
            return FFrame->window()->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)
                       ? QStringLiteral("Restore")
                       : QStringLiteral("Maximize");
        case TXP_Form::csMinHover:
            return QStringLiteral("Minimize");
        default:
            return QStringLiteral("Help");
        }
    }

    QRect rect() const override
    {
        if (!FFrame)
            return {};
        // The rectangle of the last paint; the hit area is one pixel wider
        // and taller, which the reported rectangle leaves out.
        const QRect local = Rect().ToQRect();
        return QRect(FFrame->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invisible = true;
            return s;
        }
        s.disabled = !FFrame->isEnabled();
        s.hotTracked = FFrame->LastState() == FHover;
        s.pressed = FFrame->LastState() == FHover * 10;
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name != pressAction() || !isValid())
            return;
        RunAfterAccessibleRequest(FFrame, [frame = FFrame, hover = FHover] {
            if (frame)
                frame->CaptionButtonAction(hover);
        });
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    TRect Rect() const
    {
        switch (FHover) {
        case TXP_Form::csCloseHover:
            return FFrame->CloseRect();
        case TXP_Form::csMaxHover:
            return FFrame->MaxRect();
        case TXP_Form::csMinHover:
            return FFrame->MinRect();
        default:
            return FFrame->HelpRect();
        }
    }

    QPointer<TXP_Form> FFrame;
    int FHover;
};

// The frame: the window's title bar, named by the window's caption; its
// children are the shown caption buttons, from left to right.
class TFrameAccessible : public QAccessibleWidget {
public:
    explicit TFrameAccessible(TXP_Form *frame) : QAccessibleWidget(frame, QAccessible::TitleBar)
    {
        const std::array<int, 4> order{TXP_Form::csHelpHover, TXP_Form::csMinHover, TXP_Form::csMaxHover,
                                       TXP_Form::csCloseHover};
        for (size_t i = 0; i < order.size(); ++i) {
            FButtons[i] = new TCaptionButtonAccessible(frame, order[i]);
            FIds[i] = QAccessible::registerAccessibleInterface(FButtons[i]);
        }
    }
    ~TFrameAccessible() override
    {
        for (QAccessible::Id id : FIds)
            QAccessible::deleteAccessibleInterface(id);
    }
    TFrameAccessible(const TFrameAccessible &) = delete;
    TFrameAccessible &operator=(const TFrameAccessible &) = delete;

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return widget()->window()->windowTitle();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(Shown().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QAccessibleInterface *> shown = Shown();
        return index >= 0 && index < shown.size() ? shown.at(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return int(Shown().indexOf(const_cast<QAccessibleInterface *>(child)));
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (QAccessibleInterface *button : Shown())
            if (button->rect().contains(x, y))
                return button;
        return nullptr;
    }

private:
    QList<QAccessibleInterface *> Shown() const
    {
        QList<QAccessibleInterface *> shown;
        for (QAccessibleInterface *button : FButtons)
            if (button->isValid())
                shown.append(button);
        return shown;
    }

    std::array<QAccessibleInterface *, 4> FButtons{};
    std::array<QAccessible::Id, 4> FIds{};
};

} // namespace

QAccessibleInterface *SkinAccessibleFactory(const QString &, QObject *object)
{
    if (auto *button = qobject_cast<TXP_Button *>(object))
        return new TButtonAccessible(button);
    if (auto *box = qobject_cast<TXP_CheckBox *>(object))
        return new TCheckBoxAccessible(box);
    if (auto *group = qobject_cast<TXP_GroupBox *>(object))
        return new TCaptionedAccessible(group, QAccessible::Grouping);
    if (auto *frame = qobject_cast<TXP_Form *>(object))
        return new TFrameAccessible(frame);
    if (auto *form = qobject_cast<TForm *>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}
