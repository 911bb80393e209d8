#pragma once

#include "platform/serial/PortMap.h"

#include <QString>
#include <QStringList>

// Who else uses a serial device: the processes holding it open and the
// modem manager of the desktop, which probes new USB serial adapters with AT
// commands and can hold or garble the line while it does. On Windows
// (PortUsers_win.cpp) none of them can be known: the answers are empty.

// "name (pid N)" for every process with Path open, as far as this user may
// look into /proc.
QStringList PortHolders(const QString &Path, const QString &ProcRoot = QStringLiteral("/proc"));

// Whether a process whose command name is Name runs.
bool ProcessRunning(const QString &Name, const QString &ProcRoot = QStringLiteral("/proc"));

// What udev and sysfs tell about an adapter.
struct TAdapterUdev {
    bool MmIgnored = false; // udev marks it ID_MM_DEVICE_IGNORE=1
    QString Vendor;         // USB vendor and product ids, empty when unknown
    QString Product;
};
TAdapterUdev AdapterUdev(const QString &Path, const TPortScanRoots &Roots);

// The udev rule that tells ModemManager to leave adapters with these ids
// alone; empty when the ids are unknown.
QString ModemManagerRule(const TAdapterUdev &Adapter);
