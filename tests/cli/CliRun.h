#pragma once

#include "cli/CliApp.h"
#include "cli/CliOutput.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdlib>
#include <ostream>

inline void PrintTo(const QString &Text, std::ostream *Out)
{
    *Out << '"' << Text.toStdString() << '"';
}

// The outcome of one in-process run of the tool.
struct TCliRun {
    int Exit = -1;
    QString Out;
    QString Err;

    QJsonObject Json() const { return QJsonDocument::fromJson(Out.toUtf8()).object(); }
};

inline TCliRun RunTool(const QStringList &Args)
{
    TBufferOutput out;
    TCliRun run;
    run.Exit = RunCli(Args, out);
    run.Out = QString::fromUtf8(out.Out);
    run.Err = QString::fromUtf8(out.Err);
    return run;
}

// Numbers are formatted with the C locale's decimal point in these tests,
// whatever the machine's settings.
inline const bool CliTestLocale = [] {
    ::setenv("LC_ALL", "C", 1);
    return true;
}();
