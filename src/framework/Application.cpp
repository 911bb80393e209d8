#include "Application.h"

#include "base/LumoraError.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

TApplication &Application()
{
    static TApplication application;
    return application;
}

void TApplication::SetTitle(const QString &title)
{
    FTitle = title;
    QGuiApplication::setApplicationDisplayName(title);
}

QString TApplication::WithFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void TApplication::ShowError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, FTitle, WithFullStop(message), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void TApplication::ShowException(const ELumoraError &error)
{
    ShowError(error.Message());
}

void TApplication::ShowInformation(const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void TApplication::Minimize()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->showMinimized();
    }
}

void TApplication::Terminate()
{
    if (FTerminated)
        return;
    FTerminated = true;
    // Delivered by the next event loop that runs, which it then ends.
    QTimer::singleShot(0, qApp, [] {
        if (Application().Terminated())
            QCoreApplication::exit(0);
    });
}

QCursor TApplication::Cursor(int id) const
{
    const auto entry = FCursors.find(id);
    if (entry == FCursors.end())
        return QCursor(Qt::ArrowCursor);
    if (!entry->Made)
        entry->Made = entry->Make();
    return *entry->Made;
}

int TApplication::Run()
{
    if (FTerminated)
        return 0;
    return QApplication::exec();
}
