#include "platform/serial/PortMap.h"

#include "base/IntConv.h"
#include "base/LumoraError.h"
#include "platform/serial/ComNumber.h"
#include "platform/store/IniText_posix.h"
#include "platform/store/SettingsStore.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <fcntl.h>
#include <linux/serial.h>
#include <set>
#include <sys/ioctl.h>
#include <unistd.h>

const QString TPortMap::AdapterSection = QStringLiteral("Adapters");
const QString TPortMap::UserSection = QStringLiteral("Ports");

namespace {

bool SamePath(const QString &a, const QString &b)
{
    // Keys of the store compare without regard to case.
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Asks the driver when the kernel's view in sysfs is not available.
bool DriverReportsUart(const QString &node)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    serial_struct info{};
    const bool uart = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return uart;
}

std::vector<int32_t> FindUarts(const TPortScanRoots &roots)
{
    std::vector<int32_t> numbers;
    const QDir sys(roots.SysTty);
    const bool haveSys = sys.exists();
    const QStringList names =
        (haveSys ? sys : QDir(roots.Dev))
            .entryList({QStringLiteral("ttyS*")}, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        int32_t index = -1;
        if (!TryStrToInt(QStringView(name).sliced(4), index) || index < 0 || !name.at(4).isDigit())
            continue;
        bool uart = false;
        if (haveSys) {
            QFile type(sys.filePath(name) + QStringLiteral("/type"));
            uart = type.open(QIODevice::ReadOnly) && type.readAll().trimmed() != "0";
        } else {
            uart = DriverReportsUart(roots.Dev + QLatin1Char('/') + name);
        }
        if (uart && index < INT32_MAX)
            numbers.push_back(index + 1);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace

TPortScanRoots TPortScanRoots::Under(const QString &Root)
{
    return {Root + QStringLiteral("/dev/serial/by-id"), Root + QStringLiteral("/sys/class/tty"),
            Root + QStringLiteral("/dev"), Root + QStringLiteral("/run/udev/data")};
}

TPortScanRoots TPortScanRoots::FromEnvironment()
{
    const QString root = qEnvironmentVariable("LUMORA_PORT_ROOT");
    return root.isEmpty() ? TPortScanRoots{} : Under(root);
}

TPortMap::TPortMap(TSettingsStore &Store, TPortScanRoots Roots) : FStore(Store), FRoots(std::move(Roots))
{
    Load();
}

void TPortMap::Load()
{
    FUser = FStore.ReadSection(UserSection);
    FAssigned.clear();
    for (const auto &[path, text] : FStore.ReadSection(AdapterSection)) {
        int32_t number = 0;
        if (TryStrToInt(text, number) && number >= 1)
            FAssigned.emplace_back(path, number);
    }
    FAdapters.clear();
    const QDir byId(FRoots.ById);
    for (const QString &name :
         byId.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        FAdapters << byId.filePath(name);
    FUarts = FindUarts(FRoots);
}

void TPortMap::AssignAdapters()
{
    const QByteArray adapterSection = AdapterSection.toUtf8();
    const QByteArray userSection = UserSection.toUtf8();
    // The adapters present that may get a number: a name with "=" cannot be
    // a key of the store; such an adapter is reached through [Ports] only.
    QStringList candidates;
    for (const QString &adapter : std::as_const(FAdapters)) {
        if (!adapter.contains(QLatin1Char('=')))
            candidates << adapter;
    }
    if (candidates.isEmpty())
        return;

    // Numbered from the file as it is under the writers' lock, all in one
    // write: two processes numbering new adapters at once never hand out one
    // number twice.
    bool found = false; // an adapter without a number: read the store again
    const auto number = [&](const QByteArray &text) -> std::optional<QByteArray> {
        const auto user = IniSectionEntries(text, userSection);
        const auto assigned = IniSectionEntries(text, adapterSection);
        std::set<int32_t> held(FUarts.begin(), FUarts.end());
        for (const auto &[name, path] : user) {
            if (const int32_t n = ComNumber(QString::fromUtf8(name)); n >= 1 && !path.isEmpty())
                held.insert(n);
        }
        for (const auto &entry : assigned) {
            int32_t n = 0;
            if (TryStrToInt(QString::fromUtf8(entry.second), n) && n >= 1)
                held.insert(n);
        }
        QByteArray updated = text;
        bool numbered = false;
        for (const QString &adapter : std::as_const(candidates)) {
            const auto known = [&](const auto &entry) {
                return SamePath(QString::fromUtf8(entry.first), adapter);
            };
            const auto pinned = [&](const auto &entry) { return QString::fromUtf8(entry.second) == adapter; };
            if (std::any_of(assigned.begin(), assigned.end(), known) ||
                std::any_of(user.begin(), user.end(), pinned))
                continue;
            int32_t free = 1;
            while (held.count(free))
                ++free;
            updated = SetIniValue(updated, adapterSection, adapter.toUtf8(), QByteArray::number(free));
            held.insert(free);
            numbered = true;
        }
        found = found || numbered;
        return numbered ? std::optional<QByteArray>(updated) : std::nullopt;
    };
    FStore.EditText(AdapterSection, candidates.front(), number);
    if (found)
        Load();
}

QString TPortMap::TryAssignAdapters()
{
    try {
        AssignAdapters();
    } catch (const ELumoraError &e) {
        return e.Message();
    }
    return {};
}

QString TPortMap::UartPath(int32_t Number) const
{
    return FRoots.Dev + QStringLiteral("/ttyS%1").arg(Number - 1);
}

QString TPortMap::AssignedPath(int32_t Number) const
{
    for (const auto &[path, number] : FAssigned) {
        if (number == Number)
            return path;
    }
    return {};
}

TPortResolution TPortMap::Resolve(const QString &PortName) const
{
    TPortResolution r{PortName, {}, TPortSource::None, {}};
    for (const auto &[name, path] : FUser) {
        if (name.compare(PortName, Qt::CaseInsensitive) == 0 && !path.isEmpty())
            return {PortName, path, TPortSource::User, {}};
    }
    const int32_t number = ComNumber(PortName);
    if (number < 1)
        return r;
    if (std::binary_search(FUarts.begin(), FUarts.end(), number))
        return {PortName, UartPath(number), TPortSource::Uart, {}};
    if (const QString path = AssignedPath(number); !path.isEmpty())
        return {PortName, path, TPortSource::Adapter, {}};
    return r;
}

std::vector<TPortResolution> TPortMap::ResolveAll() const
{
    std::set<int32_t> numbers(FUarts.begin(), FUarts.end());
    for (const auto &entry : FUser)
        numbers.insert(ComNumber(entry.first));
    for (const auto &entry : FAssigned)
        numbers.insert(entry.second);
    std::vector<TPortResolution> all;
    for (int32_t n : numbers) {
        if (n < 1)
            continue;
        TPortResolution r = Resolve(QStringLiteral("COM%1").arg(n));
        if (!r.Path.isEmpty())
            all.push_back(r);
    }
    return all;
}

std::vector<TAdapterNumber> TPortMap::AdapterNumbers() const
{
    std::vector<TAdapterNumber> out;
    for (const auto &entry : FAssigned) {
        const QString &path = entry.first;
        const bool present = std::any_of(FAdapters.begin(), FAdapters.end(),
                                         [&](const QString &a) { return SamePath(a, path); });
        out.push_back(
            {path, entry.second, present, Resolve(QStringLiteral("COM%1").arg(entry.second)).Path != path});
    }
    return out;
}

QString PortDevicePath(const QString &PortName, TSettingsStore &Store, const TPortScanRoots &Roots)
{
    TPortMap map(Store, Roots);
    // Unnumbered adapters stay unnumbered until the store can be written;
    // what is recorded still resolves.
    map.TryAssignAdapters();
    return map.Resolve(PortName).Path;
}
