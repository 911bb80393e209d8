#pragma once

#include <QString>
#include <QStringList>

// Whether this user can open a serial device, and if not, why.
enum class TPortAccess {
    Ok,               // opens and is free
    Missing,          // no such path (or a link to nothing)
    NotCharDevice,    // exists but is no character device
    PermissionDenied, // the user lacks read/write permission
    Busy,             // held exclusively by another program
    NoHardware,       // the node exists but no device answers behind it
    Failed,           // any other open failure (Detail holds the system's text)
};

struct TPortProbe {
    QString Path;
    QString Target; // where a symbolic link leads (resolved); empty for plain nodes
    TPortAccess Access = TPortAccess::Missing;
    QString Owner; // owning user and group of the node, for permission advice
    QString Group;
    unsigned Mode = 0;              // permission bits of the node
    bool GroupGrantsAccess = false; // read and write for the group
    bool InGroupNotSession = false; // the account is a member, this login session is not yet
    QString Detail;                 // the system's error text for Failed
    QStringList Holders;            // for Busy: the processes holding it, where this user can see them
};

// Looks at PATH and tries to open it the way the link does (read/write, no
// controlling terminal), without blocking; the device is closed again at
// once and nothing is written to it. On Windows (PortProbe_win.cpp) only
// Access and Detail are filled: a port held by another program refuses to
// open with "access denied", which counts as Busy.
TPortProbe ProbePort(const QString &path);

// A short key for JSON ("ok", "missing", "not-a-device", "permission-denied",
// "busy", "no-device", "error").
QString AccessKey(TPortAccess access);

// One line saying whether the device can be opened and, on a permission
// failure, what to do about it.
QString DescribeAccess(const TPortProbe &probe);

// The command that gives the current user the device's group, or empty text
// when a group membership would not help.
QString GroupAdvice(const TPortProbe &probe);
