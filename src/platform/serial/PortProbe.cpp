#include "platform/serial/PortProbe.h"

#include "base/NameTable.h"

namespace {

constexpr std::array<const char *, 7> AccessKeys = {"ok",   "missing",   "not-a-device", "permission-denied",
                                                    "busy", "no-device", "error"};
static_assert(AccessKeys.size() == size_t(TPortAccess::Failed) + 1);

} // namespace

QString AccessKey(TPortAccess access)
{
    return QString::fromLatin1(TableEntry(AccessKeys, access));
}

QString GroupAdvice(const TPortProbe &probe)
{
    if (probe.Access != TPortAccess::PermissionDenied || !probe.GroupGrantsAccess || probe.Group.isEmpty())
        return QString();
    if (probe.InGroupNotSession)
        return QStringLiteral("newgrp %1").arg(probe.Group);
    return QStringLiteral("sudo usermod -aG %1 $USER").arg(probe.Group);
}

QString DescribeAccess(const TPortProbe &probe)
{
    switch (probe.Access) {
    case TPortAccess::Ok:
        return QStringLiteral("ok, can be opened");
    case TPortAccess::Missing:
        return QStringLiteral("missing, no such device");
    case TPortAccess::NotCharDevice:
        return QStringLiteral("not a serial device");
    case TPortAccess::Busy:
        return probe.Holders.isEmpty() ? QStringLiteral("busy, in use by another program")
                                       : QStringLiteral("busy, in use by another program: %1")
                                             .arg(probe.Holders.join(QStringLiteral(", ")));
    case TPortAccess::NoHardware:
        return QStringLiteral("no device behind it (%1)").arg(probe.Detail);
    case TPortAccess::Failed:
        return QStringLiteral("cannot be opened (%1)").arg(probe.Detail);
    case TPortAccess::PermissionDenied:
        break;
    }
    if (probe.Group.isEmpty())
        return QStringLiteral("permission denied");
    const QString owner =
        QStringLiteral("owner %1, group %2, mode %3")
            .arg(probe.Owner, probe.Group, QString::number(probe.Mode, 8).rightJustified(4, '0'));
    if (!probe.GroupGrantsAccess)
        return QStringLiteral("permission denied (%1); only its owner can open it, ask your administrator")
            .arg(owner);
    if (probe.InGroupNotSession)
        return QStringLiteral("permission denied: you are in group '%1' but this login session is not yet; "
                              "log out and back in, or run: %2")
            .arg(probe.Group, GroupAdvice(probe));
    return QStringLiteral("permission denied: the device belongs to group '%1'; add yourself with: %2 "
                          "(then log out and back in)")
        .arg(probe.Group, GroupAdvice(probe));
}
