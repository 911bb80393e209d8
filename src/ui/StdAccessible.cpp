#include "StdAccessible.h"

#include "StdControls.h"
#include "framework/Application.h"
#include "skin/XP_Accessible.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QPointer>
#include <QTimer>

namespace {

// A read-only text box: its text is the value, and readable as text.
class TStaticTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TStaticTextAccessible(TStaticText *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return Box()->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.editable = false;
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The text interface, read-only and without a selection.
    QString text(int start, int end) const override { return Box()->text().mid(start, end - start); }
    int characterCount() const override { return int(Box()->text().size()); }
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
        const QFontMetrics metrics(Box()->font());
        const QString text = Box()->text();
        const QRect area = Box()->contentsRect();
        const int x = area.left() + metrics.horizontalAdvance(text.left(offset));
        const int w = offset < text.size() ? metrics.horizontalAdvance(text.at(offset)) : 0;
        return QRect(Box()->mapToGlobal(QPoint(x, area.top())), QSize(w, metrics.height()));
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QFontMetrics metrics(Box()->font());
        const QString text = Box()->text();
        const int x = Box()->mapFromGlobal(point).x() - Box()->contentsRect().left();
        for (int i = 0; i < text.size(); ++i)
            if (metrics.horizontalAdvance(text.left(i + 1)) > x)
                return i;
        return -1;
    }

private:
    TStaticText *Box() const { return static_cast<TStaticText *>(widget()); }
};

// A label with a click handler: a link.
class TLinkAccessible : public QAccessibleWidget {
public:
    explicit TLinkAccessible(TLabel *label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Label()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name != pressAction() || !Label()->isEnabled())
            return;
        QTimer::singleShot(0, Label(), [label = QPointer<TLabel>(Label())] {
            if (label && label->OnClick)
                Application().Guard(label->OnClick);
        });
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    TLabel *Label() const { return static_cast<TLabel *>(widget()); }
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
// by their C++ types.
QAccessibleInterface *StdControlsFactory(const QString &, QObject *object)
{
    if (auto *box = dynamic_cast<TStaticText *>(object))
        return new TStaticTextAccessible(box);
    if (auto *label = dynamic_cast<TLabel *>(object); label && label->OnClick)
        return new TLinkAccessible(label);
    if (auto *bar = dynamic_cast<TStatusBar *>(object))
        return new TStatusBarAccessible(bar);
    if (auto *picture = dynamic_cast<TPicture *>(object))
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    if (auto *bevel = dynamic_cast<TBevel *>(object))
        return new QAccessibleWidget(bevel, QAccessible::Separator);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    InstallSkinAccessibility();
    QAccessible::installFactory(StdControlsFactory);
}
