#include "XP_Accessible.h"

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"
#include "skin/XP_Form.h"
#include "skin/XP_GroupBox.h"

#include <QAccessibleWidget>
#include <QKeySequence>
#include <QPointer>
#include <QTimer>

#include <array>

namespace {

// Runs a control's action once the assistive technology's request has been
// answered: a click may open a modal window, whose loop must not run inside
// the request.
template <typename F> void RunLater(QObject *context, F action)
{
    QTimer::singleShot(0, context, [action] { Application().Guard(action); });
}

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

class TButtonAccessible : public TCaptionedAccessible {
public:
    explicit TButtonAccessible(TXP_Button *button) : TCaptionedAccessible(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = TCaptionedAccessible::state();
        s.defaultButton = Button()->Default();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && Button()->isEnabled())
            RunLater(Button(), [button = QPointer<TXP_Button>(Button())] {
                if (button)
                    button->Click();
            });
    }
    QStringList keyBindingsForAction(const QString &name) const override
    {
        return name == pressAction() ? Mnemonic() : QStringList();
    }

private:
    TXP_Button *Button() const { return static_cast<TXP_Button *>(widget()); }
};

class TCheckBoxAccessible : public TCaptionedAccessible {
public:
    explicit TCheckBoxAccessible(TXP_CheckBox *box) : TCaptionedAccessible(box, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = TCaptionedAccessible::state();
        s.checkable = true;
        s.checked = Box()->Checked();
        return s;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString &name) override
    {
        if (name == toggleAction() && Box()->isEnabled())
            RunLater(Box(), [box = QPointer<TXP_CheckBox>(Box())] {
                if (box)
                    box->Toggle();
            });
    }
    QStringList keyBindingsForAction(const QString &name) const override
    {
        return name == toggleAction() ? Mnemonic() : QStringList();
    }

private:
    TXP_CheckBox *Box() const { return static_cast<TXP_CheckBox *>(widget()); }
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
        RunLater(FFrame, [frame = FFrame, hover = FHover] {
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

QAccessibleInterface *SkinFactory(const QString &, QObject *object)
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

} // namespace

void InstallSkinAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(SkinFactory);
}
