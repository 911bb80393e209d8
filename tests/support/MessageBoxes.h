#pragma once

// Header-only helper of the GUI test areas: records the message boxes that a
// piece of code shows and closes each with its default button, so that code
// which shows a modal box can run inside a test.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace lumora::test {

struct ShownBox {
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> Buttons;
};

class MessageBoxCatcher : public QObject {
public:
    MessageBoxCatcher() { qApp->installEventFilter(this); }
    ~MessageBoxCatcher() override { qApp->removeEventFilter(this); }

    QList<ShownBox> Boxes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Show) {
            ShownBox shown{box->windowTitle(), box->text(), box->icon(), {}};
            for (QAbstractButton *button : box->buttons())
                shown.Buttons.append(box->standardButton(button));
            Boxes.append(shown);
            QPointer<QMessageBox> guard(box);
            QTimer::singleShot(0, box, [guard] {
                if (guard)
                    guard->done(QMessageBox::Ok);
            });
        }
        return false;
    }
};

// Runs action and returns the boxes it showed, in order.
inline QList<ShownBox> CatchMessageBoxes(const std::function<void()> &action)
{
    MessageBoxCatcher catcher;
    action();
    return catcher.Boxes;
}

} // namespace lumora::test
