#include "cli/CliOutput.h"

#include "cli/CliArgs.h"
#include "platform/ConsoleProcess.h"
#include "platform/WholeFile.h"

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

namespace {

// The columns a character takes on a terminal: two for East Asian wide and
// full-width forms, none for combining marks, else one.
int CharColumns(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing)
        return 0;
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

} // namespace

QString FitToColumns(const QString &Text, int Columns)
{
    int used = 0;
    qsizetype end = 0;
    for (const char32_t c : Text.toUcs4()) {
        used += CharColumns(c);
        if (used > Columns)
            break;
        end += QChar::requiresSurrogates(c) ? 2 : 1;
    }
    return Text.left(end);
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
    return TerminalColumns();
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
