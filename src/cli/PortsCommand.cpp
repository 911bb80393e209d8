#include "cli/CliCommand.h"
#include "cli/CliLink.h"
#include "cli/PortProbe.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"

#include <QJsonArray>
#include <QJsonValue>

namespace {

struct TPortRow {
    QString Name;
    bool Mapped = false;
    TPortProbe Probe; // Path empty when the name names no device
};

QJsonObject ProbeJson(const TPortProbe &probe)
{
    QJsonObject object{{QStringLiteral("path"), probe.Path},
                       {QStringLiteral("target"), probe.Target.isEmpty() ? QJsonValue() : probe.Target},
                       {QStringLiteral("access"), AccessKey(probe.Access)},
                       {QStringLiteral("detail"), DescribeAccess(probe)}};
    if (probe.Access == TPortAccess::PermissionDenied) {
        object.insert(QStringLiteral("group"), probe.Group);
        const QString advice = GroupAdvice(probe);
        object.insert(QStringLiteral("advice"), advice.isEmpty() ? QJsonValue() : advice);
    }
    return object;
}

QString ProbeText(const TPortProbe &probe)
{
    const QString where =
        probe.Target.isEmpty() ? probe.Path : probe.Path + QStringLiteral(" -> ") + probe.Target;
    return where + QStringLiteral(": ") + DescribeAccess(probe);
}

} // namespace

int RunPorts(TCliContext &Context)
{
    const TSettingsStore store(TSettingsStore::DefaultPath());
    TCliLink link;
    const int32_t stored = link.GetPortNumber();

    // COM1 to COM4 as the setup dialog offers them, and the stored port when
    // it lies outside them.
    std::vector<int32_t> numbers{1, 2, 3, 4};
    if (stored < 1 || stored > 4)
        numbers.push_back(stored);
    std::vector<TPortRow> rows;
    for (int32_t n : numbers) {
        TPortRow row;
        row.Name = QStringLiteral("COM%1").arg(n);
        const auto mapped = store.ReadString(QStringLiteral("Ports"), row.Name);
        row.Mapped = mapped && !mapped->isEmpty();
        const QString path = PortDevicePath(row.Name, store);
        if (!path.isEmpty())
            row.Probe = ProbePort(path);
        rows.push_back(row);
    }
    std::vector<TPortProbe> devices;
    for (const QString &path : FindSerialDevices())
        devices.push_back(ProbePort(path));

    if (Context.Out.Json()) {
        QJsonArray ports;
        for (const TPortRow &row : rows) {
            QJsonObject object{{QStringLiteral("name"), row.Name}, {QStringLiteral("mapped"), row.Mapped}};
            if (row.Probe.Path.isEmpty()) {
                object.insert(QStringLiteral("path"), QJsonValue());
                object.insert(QStringLiteral("access"), AccessKey(TPortAccess::Missing));
                object.insert(QStringLiteral("detail"), QStringLiteral("no device"));
            } else {
                const QJsonObject probe = ProbeJson(row.Probe);
                for (auto it = probe.begin(); it != probe.end(); ++it)
                    object.insert(it.key(), it.value());
            }
            ports.append(object);
        }
        QJsonArray found;
        for (const TPortProbe &probe : devices)
            found.append(ProbeJson(probe));
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("store"), store.FilePath()},
                                         {QStringLiteral("storedPort"), stored},
                                         {QStringLiteral("ports"), ports},
                                         {QStringLiteral("devices"), found}});
        return CliExitOk;
    }

    Context.Out.Line(
        QStringLiteral("Ports (stored port COM%1, settings store %2):").arg(stored).arg(store.FilePath()));
    for (const TPortRow &row : rows) {
        QString line = QStringLiteral("  %1  ").arg(row.Name.leftJustified(4));
        if (row.Probe.Path.isEmpty())
            line += QStringLiteral("no device");
        else if (row.Mapped)
            line += ProbeText(row.Probe).replace(0, row.Probe.Path.size(),
                                                 row.Probe.Path + QStringLiteral(" (from [Ports])"));
        else
            line += ProbeText(row.Probe);
        Context.Out.Line(line);
    }
    Context.Out.Line(QString());
    Context.Out.Line(QStringLiteral("Serial devices:"));
    if (devices.empty())
        Context.Out.Line(QStringLiteral("  none found"));
    for (const TPortProbe &probe : devices)
        Context.Out.Line(QStringLiteral("  ") + ProbeText(probe));
    return CliExitOk;
}
