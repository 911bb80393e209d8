#include "Forms.h"

#include "base/LumoraError.h"
#include "framework/Application.h"
#include "framework/Controls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QShowEvent>

namespace {

// One filter for the whole application: hands key presses meant for a widget
// of a form to that form before the widget sees them, and announces focus
// changes to the form that holds the newly focused widget.
class TFormKeyFilter : public QObject {
public:
    static void Install()
    {
        static TFormKeyFilter *filter = nullptr;
        if (filter)
            return;
        filter = new TFormKeyFilter(qApp);
        qApp->installEventFilter(filter);
        QObject::connect(qApp, &QApplication::focusChanged, filter, [](QWidget *, QWidget *now) {
            if (auto *form = now ? qobject_cast<TForm *>(now->window()) : nullptr)
                Application().Guard([&] { BroadcastFocusChanged(form, now); });
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        // Only the first delivery (to the focused widget, or to the window
        // when nothing has the focus), not the propagation to its parents.
        QWidget *focus = QApplication::focusWidget();
        if (focus ? widget != focus : !widget->isWindow())
            return false;
        auto *form = qobject_cast<TForm *>(widget->window());
        if (!form)
            return false;
        bool claimed = false;
        try {
            claimed = form->DispatchKey(static_cast<QKeyEvent *>(event));
        } catch (const ELumoraError &error) {
            Application().ShowException(error);
            claimed = true;
        }
        return claimed;
    }

private:
    using QObject::QObject;
};

// True when the focused widget takes typed characters itself.
bool TakesChars(QWidget *focus)
{
    if (!focus)
        return false;
    if (auto *control = qobject_cast<TControl *>(focus))
        return control->WantsChars();
    return !focus->isWindow();
}

} // namespace

TForm::TForm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    TFormKeyFilter::Install();
    SetColor(clBtnFace);
}

TForm::~TForm()
{
    if (FModalLoop)
        FModalLoop->exit();
}

void TForm::SetColor(TColor color)
{
    FColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorToQColor(color));
    setPalette(pal);
    setAutoFillBackground(true);
}

void TForm::SetModalResult(TModalResult result)
{
    FModalResult = result;
    if (FModalLoop && result != mrNone)
        FModalLoop->exit();
}

TModalResult TForm::ShowModal()
{
    FModalResult = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    FModalLoop = &loop;
    if (!Application().Terminated())
        loop.exec(QEventLoop::DialogExec);
    FModalLoop = nullptr;
    if (Application().Terminated() && FModalResult == mrNone)
        FModalResult = mrCancel;
    hide();
    setWindowModality(Qt::NonModal);
    return FModalResult;
}

void TForm::SetTabOrder(std::initializer_list<QWidget *> order)
{
    const QList<QWidget *> widgets(order);
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
    // Qt takes a link as made when the second widget already follows the
    // first round the cycle of tab stops, so a widget of the list created
    // before the first one keeps its place ahead of it, at the start of the
    // form's order. Take each such widget out (behind the first one) and link
    // it again, which then moves it to its place.
    for (qsizetype guard = 0; guard < widgets.size(); ++guard) {
        const QList<QWidget *> stops = TabStops();
        const qsizetype at = stops.isEmpty() ? -1 : widgets.indexOf(stops.front());
        if (at <= 0)
            break;
        QWidget::setTabOrder(widgets.front(), widgets[at]);
        QWidget::setTabOrder(widgets[at - 1], widgets[at]);
    }
}

QList<QWidget *> TForm::TabStops() const
{
    QList<QWidget *> stops;
    for (QWidget *widget = nextInFocusChain(); widget && widget != this; widget = widget->nextInFocusChain())
        if (widget->focusPolicy() & Qt::TabFocus)
            stops << widget;
    return stops;
}

void TForm::AnnounceFocus()
{
    BroadcastFocusChanged(this, ActiveControl());
}

bool TForm::DispatchKey(QKeyEvent *event)
{
    const Qt::KeyboardModifiers shift = event->modifiers() & ~Qt::KeypadModifier;
    const int key = KeyCode(event);
    if (key == VK_RETURN || key == VK_ESCAPE)
        return OfferDialogKey(this, key, shift);

    QChar ch;
    if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        ch = QChar(event->key());
    else if (event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9)
        ch = QChar(event->key());
    else if (event->text().size() == 1)
        ch = event->text().front();
    if (ch.isNull() || !ch.isPrint())
        return false;
    if (shift & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    if (shift & Qt::AltModifier) {
        if (key == VK_SPACE)
            return false;
        return OfferDialogChar(this, ch);
    }
    if (event->text().isEmpty() || TakesChars(QApplication::focusWidget()))
        return false;
    return OfferDialogChar(this, event->text().front());
}

void TForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (FShown || event->spontaneous())
        return;
    FShown = true;
    if (focusWidget())
        return;
    for (QWidget *widget : TabStops()) {
        if (widget->isEnabled() && widget->isVisibleTo(this)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && FModalLoop) {
        if (FModalResult == mrNone)
            FModalResult = mrCancel;
        FModalLoop->exit();
    }
}
