#include "platform/serial/PortUsers.h"

// Windows tells which process holds a COM port only to a debugger of the
// system's handle table, and it has neither udev nor ModemManager: a busy
// port is reported as busy, without names.

QStringList PortHolders(const QString &Path, const QString &ProcRoot)
{
    Q_UNUSED(Path);
    Q_UNUSED(ProcRoot);
    return {};
}

bool ProcessRunning(const QString &Name, const QString &ProcRoot)
{
    Q_UNUSED(Name);
    Q_UNUSED(ProcRoot);
    return false;
}

TAdapterUdev AdapterUdev(const QString &Path, const TPortScanRoots &Roots)
{
    Q_UNUSED(Path);
    Q_UNUSED(Roots);
    return {};
}

QString ModemManagerRule(const TAdapterUdev &Adapter)
{
    Q_UNUSED(Adapter);
    return {};
}
