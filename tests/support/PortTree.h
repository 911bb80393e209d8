#pragma once

#include <QString>

namespace lumora::test {

// A tree of serial devices below PortRoot(), as the code under test looks
// for them: adapters as links in dev/serial/by-id, UARTs as dev/ttyS<n>
// links with the kernel's report in sys/class/tty/ttyS<n>/type, udev records
// in run/udev/data. The links lead to real devices (ptys served by the
// simulator).
class TPortTree {
public:
    TPortTree();

    // The adapter's by-id link to Target; Vendor and Product (when given)
    // are the USB ids sysfs reports for Target's tty.
    QString AddAdapter(const QString &Name, const QString &Target, const QString &Vendor = QString(),
                       const QString &Product = QString());
    void Unplug(const QString &Name);
    // dev/ttyS<Index> leading to Target; the kernel reports a UART behind it
    // when Uart is true (type 4), none otherwise (type 0).
    QString AddUart(int Index, const QString &Target, bool Uart = true);
    // udev's record of Target says ID_MM_DEVICE_IGNORE=1.
    void MarkModemManagerIgnore(const QString &Target);

    QString ById(const QString &Name) const { return FRoot + "/dev/serial/by-id/" + Name; }

private:
    QString FRoot;
};

} // namespace lumora::test
