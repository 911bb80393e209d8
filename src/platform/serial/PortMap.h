#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

class TSettingsStore;

// The folders the port names are resolved against. The defaults are the
// system's own; the environment variable LUMORA_PORT_ROOT=<dir> moves all of
// them below <dir> (<dir>/dev/serial/by-id, <dir>/sys/class/tty, <dir>/dev,
// <dir>/run/udev/data), so that a test can give the program a tree of its own.
struct TPortScanRoots {
    QString ById = QStringLiteral("/dev/serial/by-id");  // stable links of USB and CDC-ACM adapters
    QString SysTty = QStringLiteral("/sys/class/tty");   // the kernel's view of tty devices
    QString Dev = QStringLiteral("/dev");                // where the ttyS<n> nodes are
    QString UdevData = QStringLiteral("/run/udev/data"); // udev's properties of each device

    static TPortScanRoots Under(const QString &Root);
    static TPortScanRoots FromEnvironment();
};

// Why a port name leads where it does.
enum class TPortSource {
    None,    // to nothing
    User,    // the user's entry in section [Ports]
    Uart,    // the real UART ttyS<n-1>
    Adapter, // the adapter assigned to COMn
};

struct TPortResolution {
    QString Name; // "COM3"
    QString Path; // empty when the name leads to no device
    TPortSource Source = TPortSource::None;
    QString
        FriendlyName; // the adapter as the system names it (Windows' device manager); empty when it does not
};

// True on Windows, whose port numbers are its own: nothing is assigned or
// mapped and there are no adapters or UARTs of the program's to list.
#ifdef _WIN32
inline constexpr bool SystemNumbersPorts = true;
#else
inline constexpr bool SystemNumbersPorts = false;
#endif

// An adapter's number as recorded in section [Adapters].
struct TAdapterNumber {
    QString Path; // the adapter's by-id link
    int32_t Number = 0;
    bool Present = false;  // the link is there now
    bool Shadowed = false; // COMn leads elsewhere (a [Ports] entry or a UART took the number)
};

// COM numbers, Windows style. COMn resolves, in this order, to the user's
// entry in section [Ports] (any path; never changed by the program), to the
// real UART ttyS<n-1> when the kernel reports a UART behind it, or to the
// adapter (a link in /dev/serial/by-id) assigned to n. An adapter seen for
// the first time gets the lowest number from 1 up that none of these holds;
// the assignment is recorded in section [Adapters] as "<by-id path>=<n>" and
// is kept when the adapter is unplugged, so that it is found under the same
// number when it is plugged back. On Windows (PortMap_win.cpp) the numbers
// are Windows' own: COMn leads to "\\.\COMn", ResolveAll lists the ports
// Windows lists (SystemPorts_win.h), and nothing is assigned or mapped.
class TPortMap {
public:
    explicit TPortMap(TSettingsStore &Store, TPortScanRoots Roots = TPortScanRoots::FromEnvironment());

    // Gives every adapter present that has no number yet the lowest free
    // one and records them, in one write of the store. Raises ELumoraError
    // when the store cannot be written (no new adapter is numbered then).
    void AssignAdapters();
    // AssignAdapters, returning the store's error text instead of raising
    // (empty when all went well).
    QString TryAssignAdapters();

    TPortResolution Resolve(const QString &PortName) const;
    // Every COMn that resolves to a device, by number.
    std::vector<TPortResolution> ResolveAll() const;

    // The adapters' links present now, sorted by name.
    const QStringList &PresentAdapters() const { return FAdapters; }
    // The numbers n whose ttyS<n-1> has a UART behind it, ascending.
    const std::vector<int32_t> &UartNumbers() const { return FUarts; }
    std::vector<TAdapterNumber> AdapterNumbers() const;
    QString UartPath(int32_t Number) const;
    const TPortScanRoots &Roots() const { return FRoots; }

    static const QString AdapterSection; // "Adapters"
    static const QString UserSection;    // "Ports"

private:
    void Load();
    QString AssignedPath(int32_t Number) const;

    TSettingsStore &FStore;
    TPortScanRoots FRoots;
    std::vector<std::pair<QString, QString>> FUser;     // [Ports]: port name, path
    std::vector<std::pair<QString, int32_t>> FAssigned; // [Adapters]: by-id path, number
    QStringList FAdapters;
    std::vector<int32_t> FUarts;
};

// The device path of PortName (empty when it names no device), after
// numbering any new adapter. A store that cannot be written leaves new
// adapters unnumbered for now and does not stop the resolution.
QString PortDevicePath(const QString &PortName, TSettingsStore &Store,
                       const TPortScanRoots &Roots = TPortScanRoots::FromEnvironment());
