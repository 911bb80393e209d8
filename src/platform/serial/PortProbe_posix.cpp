#include "platform/serial/PortProbe.h"

#include "platform/serial/PortOpen.h"
#include "platform/serial/PortUsers.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

QString GroupName(gid_t gid)
{
    if (const group *g = ::getgrgid(gid))
        return QString::fromLocal8Bit(g->gr_name);
    return QString::number(gid);
}

QString UserName(uid_t uid)
{
    if (const passwd *p = ::getpwuid(uid))
        return QString::fromLocal8Bit(p->pw_name);
    return QString::number(uid);
}

bool SessionHasGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<size_t>(n));
    const int got = ::getgroups(n, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

// The account's groups as the group database lists them now, which a
// running login session only picks up after logging in again.
bool AccountHasGroup(gid_t gid)
{
    const passwd *p = ::getpwuid(::geteuid());
    if (!p)
        return false;
    int n = 64;
    std::vector<gid_t> groups(static_cast<size_t>(n));
    if (::getgrouplist(p->pw_name, p->pw_gid, groups.data(), &n) < 0) {
        groups.resize(static_cast<size_t>(n));
        if (::getgrouplist(p->pw_name, p->pw_gid, groups.data(), &n) < 0)
            return false;
    }
    return std::find(groups.begin(), groups.begin() + n, gid) != groups.begin() + n;
}

// What an open() that failed with Error says about the device.
TPortAccess AccessAfterOpenError(int Error)
{
    switch (Error) {
    case EACCES:
    case EPERM:
        return TPortAccess::PermissionDenied;
    case EBUSY:
        return TPortAccess::Busy;
    case EIO:
    case ENXIO:
    case ENODEV:
        return TPortAccess::NoHardware;
    default:
        return TPortAccess::Failed;
    }
}

} // namespace

TPortProbe ProbePort(const QString &path)
{
    TPortProbe probe;
    probe.Path = path;
    const QByteArray native = QFile::encodeName(path);
    const QFileInfo info(path);
    if (info.isSymLink())
        probe.Target = info.canonicalFilePath().isEmpty() ? info.symLinkTarget() : info.canonicalFilePath();

    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        probe.Access = errno == EACCES ? TPortAccess::PermissionDenied : TPortAccess::Missing;
        probe.Detail = QString::fromLocal8Bit(std::strerror(errno));
        return probe;
    }
    probe.Owner = UserName(st.st_uid);
    probe.Group = GroupName(st.st_gid);
    probe.Mode = st.st_mode & 07777;
    probe.GroupGrantsAccess = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!S_ISCHR(st.st_mode)) {
        probe.Access = TPortAccess::NotCharDevice;
        return probe;
    }

    // Opened as the link opens it, and closed again at once (which lets the
    // lock go).
    const TPortOpening opening = OpenHeldPort(path);
    switch (opening.Failure) {
    case TPortOpenFailure::None:
        ::close(opening.Handle);
        probe.Access = TPortAccess::Ok;
        break;
    case TPortOpenFailure::NotCharDevice:
        probe.Access = TPortAccess::NotCharDevice;
        break;
    case TPortOpenFailure::Held:
        probe.Access = TPortAccess::Busy;
        break;
    case TPortOpenFailure::System:
        probe.Detail = QString::fromLocal8Bit(std::strerror(int(opening.SystemError)));
        probe.Access = AccessAfterOpenError(int(opening.SystemError));
        probe.InGroupNotSession = probe.Access == TPortAccess::PermissionDenied && probe.GroupGrantsAccess &&
                                  !SessionHasGroup(st.st_gid) && AccountHasGroup(st.st_gid);
        break;
    }
    if (probe.Access == TPortAccess::Busy)
        probe.Holders = PortHolders(path);
    return probe;
}
