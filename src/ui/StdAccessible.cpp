#include "StdAccessible.h"

#include "StdControls.h"
#include "framework/Accessibility.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "skin/XP_Accessible.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QPointer>

namespace {

// A label of a window of the program, as what it shows: a read-only text
// box (its text is the value, readable as text, its name the label beside
// it), a link that can be pressed (a label with a click handler) or static
// text. Decided at each question, since the toolkit asks about a label as
// early as its construction, before the label is complete and before the
// layout has given it a click handler.
class TLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TLabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override
    {
        if (Box())
            return QAccessible::EditableText;
        return Link() ? QAccessible::Link : QAccessible::StaticText;
    }
    QString text(QAccessible::Text t) const override
    {
        if (Box())
            return t == QAccessible::Value ? Label()->text() : QAccessibleWidget::text(t);
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return StripAccelerators(Label()->text());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && Box())
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QStringList actionNames() const override { return Link() ? QStringList(pressAction()) : QStringList(); }
    void doAction(const QString &name) override
    {
        if (name != pressAction() || !Link() || !Label()->isEnabled())
            return;
        RunAfterAccessibleRequest(Label(), [label = QPointer<TLabel>(Link())] {
            if (label && label->OnClick)
                label->OnClick();
        });
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    // The text interface of a text box, read-only and without a selection.
    QString text(int start, int end) const override { return Label()->text().mid(start, end - start); }
    int characterCount() const override { return int(Label()->text().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return {};
    }
    QRect characterRect(int offset) const override
    {
        const QFontMetrics metrics(Label()->font());
        const QString text = Label()->text();
        const QRect area = Label()->contentsRect();
        const int x = area.left() + metrics.horizontalAdvance(text.left(offset));
        const int w = offset < text.size() ? metrics.horizontalAdvance(text.at(offset)) : 0;
        return QRect(Label()->mapToGlobal(QPoint(x, area.top())), QSize(w, metrics.height()));
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QFontMetrics metrics(Label()->font());
        const QString text = Label()->text();
        const int x = Label()->mapFromGlobal(point).x() - Label()->contentsRect().left();
        for (int i = 0; i < text.size(); ++i)
            if (metrics.horizontalAdvance(text.left(i + 1)) > x)
                return i;
        return -1;
    }

private:
    QLabel *Label() const { return static_cast<QLabel *>(widget()); }
    TStaticText *Box() const { return qobject_cast<TStaticText *>(widget()); }
    TLabel *Link() const
    {
        auto *label = qobject_cast<TLabel *>(widget());
        return label && label->OnClick ? label : nullptr;
    }
};

// The status bar, named by its panels' texts.
class TStatusBarAccessible : public QAccessibleWidget {
public:
    explicit TStatusBarAccessible(TStatusBar *bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        QStringList texts;
        for (const TStatusBar::TPanelItem &panel : static_cast<TStatusBar *>(widget())->Panels())
            if (!panel.Text.trimmed().isEmpty())
                texts << panel.Text.trimmed();
        return texts.join(u' ');
    }
};

// The plain controls carry no class name of their own: they are told apart
// by their C++ types. Labels of other windows (message boxes) keep the
// toolkit's own interface.
QAccessibleInterface *StdControlsFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (auto *label = qobject_cast<QLabel *>(object); label && qobject_cast<TForm *>(widget->window()))
        return new TLabelAccessible(label);
    if (auto *bar = qobject_cast<TStatusBar *>(object))
        return new TStatusBarAccessible(bar);
    if (auto *picture = qobject_cast<TPicture *>(object))
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    if (auto *bevel = qobject_cast<TBevel *>(object))
        return new QAccessibleWidget(bevel, QAccessible::Separator);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    InstallAccessibleFactories({SkinAccessibleFactory, StdControlsFactory});
}
