#include "platform/files/UserPlaces.h"

#include <QDir>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

QString UserStateFolder(QString *Why)
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state)) {
        // Not QDir::homePath(): it stands in "/" for a missing HOME.
        const QString home = qEnvironmentVariable("HOME");
        QString why;
        if (home.isEmpty())
            why = QStringLiteral("HOME is not set");
        else if (!QDir::isAbsolutePath(home) || !QFileInfo(home).isDir())
            why = QStringLiteral("HOME (%1) is not an existing folder").arg(home);
        if (!why.isEmpty()) {
            if (Why != nullptr)
                *Why = why;
            return QString();
        }
        state = home + QStringLiteral("/.local/state");
    }
    return state + QStringLiteral("/lumora");
}

QString LoginName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}
