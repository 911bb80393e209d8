#include "cli/CliOutput.h"

#include "platform/TerminalSize.h"

#include <QJsonDocument>

#include <cerrno>
#include <unistd.h>

namespace {

void WriteAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // a closed pipe or a full disk: nothing more can be said
        data += n;
        left -= n;
    }
}

} // namespace

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
    return ::isatty(STDOUT_FILENO) == 1;
}

int TProcessOutput::TerminalWidth() const
{
    return TerminalColumns(STDOUT_FILENO);
}

void TProcessOutput::WriteOut(const QByteArray &bytes)
{
    WriteAll(STDOUT_FILENO, bytes);
}

void TProcessOutput::WriteErr(const QByteArray &bytes)
{
    WriteAll(STDERR_FILENO, bytes);
}
