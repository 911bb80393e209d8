#include "cli/CliOutput.h"

#include "cli/CliArgs.h"
#include "platform/files/WholeFile.h"
#include "platform/process/ConsoleProcess.h"
#include "platform/process/TerminalSize.h"

#include <QJsonDocument>

#include <cerrno>
#include <unistd.h>

void TCliOutput::SetOutError(const QString &Reason)
{
    if (FOutError.isEmpty())
        FOutError = Reason;
}

int TCliOutput::Finish(int Exit)
{
    if (!CloseOut())
        SetOutError(SystemErrorText(errno));
    if (!OutputFailed())
        return Exit;
    ErrorLine(QStringLiteral("cannot write standard output: ") + FOutError);
    return Exit == CliExitOk || Exit == CliExitLimits ? CliExitDevice : Exit;
}

void TCliOutput::Line(const QString &text)
{
    WriteOut(text.toUtf8() + '\n');
}

void TCliOutput::JsonLine(const QJsonObject &object)
{
    WriteOut(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

void TCliOutput::Text(const QString &text)
{
    WriteOut(text.toUtf8());
}

void TCliOutput::ErrorLine(const QString &text)
{
    HintLine(QStringLiteral("lumora-cli: ") + text);
}

void TCliOutput::HintLine(const QString &text)
{
    WriteErr(text.toUtf8() + '\n');
}

bool TProcessOutput::IsTerminal() const
{
    return StandardOutputIsTerminal();
}

int TProcessOutput::TerminalWidth() const
{
    return TerminalColumns(STDOUT_FILENO);
}

void TProcessOutput::WriteOut(const QByteArray &bytes)
{
    if (!OutputFailed() && !WriteAllTo(STDOUT_FILENO, bytes.constData(), bytes.size()))
        SetOutError(SystemErrorText(errno));
}

void TProcessOutput::WriteErr(const QByteArray &bytes)
{
    // Nothing more can be said when standard error fails as well.
    (void)WriteAllTo(STDERR_FILENO, bytes.constData(), bytes.size());
}

bool TProcessOutput::CloseOut()
{
    // A file system may report a failed write only when the file is closed.
    return ::close(STDOUT_FILENO) == 0 || errno == EINTR;
}
