#include "cli/PortMapCommand.h"

namespace {

int NotNeeded(TCliContext &Context, const QString &word)
{
    Context.Out.ErrorLine(QStringLiteral("'port %1' is not needed on Windows: Windows numbers its "
                                         "ports itself (see 'lumora-cli ports')")
                              .arg(word));
    return CliExitUsage;
}

} // namespace

int MapPort(TCliContext &Context, const QStringList &operands)
{
    Q_UNUSED(operands);
    return NotNeeded(Context, QStringLiteral("map"));
}

int UnmapPort(TCliContext &Context, const QStringList &operands)
{
    Q_UNUSED(operands);
    return NotNeeded(Context, QStringLiteral("unmap"));
}
