#include "cli/CliApp.h"

#include "fleet/FleetLink.h"
#include "platform/LumoraError.h"
#include "platform/PortMap.h"
#include "platform/PortProbe.h"
#include "platform/SerialTrace.h"
#include "platform/SettingsStore.h"

namespace {

const QString ProgramName = QStringLiteral("lumora-cli");

const QString AddressOptions = QStringLiteral("  --dhcp on|off       DHCP on or off\n"
                                              "  --local A           the device's own IP address\n"
                                              "  --server A          the management server's IP address\n"
                                              "  --gateway A         the gateway IP address\n"
                                              "  --mask A            the subnet mask\n");

// Options of every command that writes to a unit.
const QString WriteOptions =
    QStringLiteral("  --no-verify         do not read the record back after the acknowledgement\n"
                   "  --journal FILE      record the write in FILE instead of the default journal\n");

const QString LimitsHelp =
    QStringLiteral("  --limits FILE       judge the analogue values by the limits in FILE (JSON, see\n"
                   "                      the manual); values out of range are marked [low] or [high]\n"
                   "                      (in JSON an \"alarm\" field) and the exit status is 3\n");

std::vector<TCliCommand> MakeCommands()
{
    std::vector<TCliCommand> commands;
    commands.push_back(
        {QStringLiteral("info"),
         QString(),
         QStringLiteral("show the device's identity and network settings"),
         QStringLiteral("Reads the device's information record (command 0) and prints its type,\n"
                        "serial number, MAC address, hardware and firmware versions, update time,\n"
                        "DHCP flag and the four addresses, as the main window shows them.\n"
                        "A communication board (type 9) has no network settings to show.\n"),
         {},
         0,
         RunInfo});
    commands.push_back(
        {QStringLiteral("params"),
         QString(),
         QStringLiteral("show the device's analogue parameters"),
         QStringLiteral("Reads the device's parameter record (command 3) and prints every value as\n"
                        "the parameters window shows it; --json adds the decoded integers.\n\n") +
             LimitsHelp,
         {{QStringLiteral("limits"), true}},
         0,
         RunParams});
    commands.push_back(
        {QStringLiteral("watch"),
         QStringLiteral("[--interval SECONDS] [--count N] [--limits FILE]"),
         QStringLiteral("read the parameters repeatedly, one line per reading"),
         QStringLiteral("Reads the parameter record every SECONDS (default 1) until interrupted with\n"
                        "Ctrl+C, or N times. Each reading is one line with a timestamp: comma-separated\n"
                        "values after a header line, or with --json one JSON object per line.\n"
                        "A failed reading is reported on standard error and the watch goes on; the exit\n"
                        "status is 1 when any reading failed.\n\n"
                        "  --interval SECONDS  time between the starts of two readings (default 1)\n"
                        "  --count N           stop after N readings\n") +
             LimitsHelp,
         {{QStringLiteral("interval"), true},
          {QStringLiteral("count"), true},
          {QStringLiteral("limits"), true}},
         0,
         RunWatch});
    commands.push_back(
        {QStringLiteral("set"),
         QStringLiteral("[--dhcp on|off] [--local A] [--server A] [--gateway A] [--mask A] [--no-verify]\n"
                        "       [--journal FILE]"),
         QStringLiteral("change the device's network settings"),
         QStringLiteral("Reads the device's record, changes only the given fields, checks them as the\n"
                        "main window's Save does and writes the settings (command 1). Addresses are\n"
                        "dotted IPv4 addresses (each number also as $hex or 0xhex). Nothing is sent\n"
                        "when a check fails (exit status 2 with the message). The record is read back\n"
                        "after the acknowledgement: settings that differ are reported as \"acknowledged\n"
                        "but not applied\" (exit status 1). The write is recorded in the journal.\n\n") +
             AddressOptions + WriteOptions,
         {{QStringLiteral("dhcp"), true},
          {QStringLiteral("local"), true},
          {QStringLiteral("server"), true},
          {QStringLiteral("gateway"), true},
          {QStringLiteral("mask"), true},
          {QStringLiteral("no-verify"), false},
          {QStringLiteral("journal"), true}},
         0,
         RunSet});
    commands.push_back(
        {QStringLiteral("backup"),
         QStringLiteral("[-o FILE]"),
         QStringLiteral("save the unit's records as one JSON document"),
         QStringLiteral("Reads the information record and, when the device answers, the parameter\n"
                        "record, and prints one JSON document: tool version, time, port and device,\n"
                        "the decoded information (as info --json), the 84 record bytes in hex and the\n"
                        "parameters (as params --json, or null with \"paramsError\").\n\n"
                        "  -o, --output FILE   write the document to FILE (replaced whole), not to\n"
                        "                      standard output\n"),
         {{QStringLiteral("output"), true, QStringLiteral("o")}},
         0,
         RunBackup});
    commands.push_back(
        {QStringLiteral("restore"),
         QStringLiteral("FILE [--force] [--no-verify] [--journal FILE]"),
         QStringLiteral("write the network settings of a backup to the unit"),
         QStringLiteral("Writes the network settings held in a backup (command 1, the 17 bytes of the\n"
                        "backed-up record), reads them back and records the write in the journal.\n"
                        "A unit whose serial number or type differs from the backup's is refused\n"
                        "(exit status 2, nothing sent) unless --force is given: that clones a\n"
                        "configuration onto another unit.\n\n"
                        "  --force             write to a unit other than the backed-up one\n") +
             WriteOptions,
         {{QStringLiteral("force"), false},
          {QStringLiteral("no-verify"), false},
          {QStringLiteral("journal"), true}},
         1,
         RunRestore});
    commands.push_back(
        {QStringLiteral("commission"),
         QStringLiteral("PLAN.csv [--once] [--no-verify] [--journal FILE]"),
         QStringLiteral("give many units their settings from a plan keyed by serial number"),
         QStringLiteral("PLAN.csv has a header line serial,dhcp,local,server,gateway,mask (optionally\n"
                        "label) and one row per unit; an empty cell keeps the unit's value. The whole\n"
                        "plan is checked first (exit status 2 with the line and the message).\n"
                        "Then the port is read every half second: a unit of the plan that is not done\n"
                        "yet is written, verified and recorded; a unit not in the plan is reported once\n"
                        "and left alone; a unit done is never written again. The port is reopened by\n"
                        "its name when it vanishes. The run ends when every unit is done (exit 0), or\n"
                        "on Ctrl+C or SIGTERM after the exchange under way (exit 1 when a unit failed).\n"
                        "Progress is a live line on a terminal, else one line per event; with --json\n"
                        "one JSON object per event.\n\n"
                        "  --once              handle the unit attached now and end\n") +
             WriteOptions,
         {{QStringLiteral("once"), false},
          {QStringLiteral("no-verify"), false},
          {QStringLiteral("journal"), true}},
         1,
         RunCommission});
    commands.push_back(
        {QStringLiteral("report"),
         QStringLiteral("[--journal FILE] [--since DATE] [--format text|csv|json|html]"),
         QStringLiteral("summarise the journal: each unit's latest settings and its history"),
         QStringLiteral("One row per unit with its latest settings, when and by whom they were written\n"
                        "and the verdict, then each unit's writes. csv gives the rows per unit only;\n"
                        "html is one self-contained page to print or hand over.\n\n"
                        "  --journal FILE      read FILE instead of the default journal\n"
                        "  --since DATE        only writes from DATE on (YYYY-MM-DD[THH:MM])\n"
                        "  --format F          text (default), csv, json or html\n"),
         {{QStringLiteral("journal"), true},
          {QStringLiteral("since"), true},
          {QStringLiteral("format"), true}},
         0,
         RunReport});
    commands.push_back(
        {QStringLiteral("ports"),
         QString(),
         QStringLiteral("list the COM numbers, the adapters and UARTs, and whether they can be opened"),
         QStringLiteral("Shows every COMn that leads to a device and why: your entry in section [Ports]\n"
                        "of the settings store, the UART ttyS<n-1>, or the USB adapter (a link in\n"
                        "/dev/serial/by-id) assigned to n. Then the adapters, with their numbers, and the\n"
                        "UARTs present, each with whether this user can open it; for a busy device the\n"
                        "process holding it, for a permission failure the group to join. When\n"
                        "ModemManager runs and may probe an adapter, gives the udev rule that keeps it\n"
                        "away. An adapter seen for the first time gets the lowest free number and keeps\n"
                        "it, as on Windows.\n"),
         {},
         0,
         RunPorts});
    commands.push_back(
        {QStringLiteral("port"),
         QStringLiteral("[N] | map COMn PATH | unmap COMn"),
         QStringLiteral("show or store the port number, pin or free a COM number"),
         QStringLiteral("Without operands shows the stored port and the device it leads to; with N (or\n"
                        "COMn) stores it in the settings store the program uses.\n\n"
                        "  map COMn PATH   makes COMn lead to PATH (your entry in section [Ports])\n"
                        "  unmap COMn      removes your entry for COMn, or else the adapter assigned to\n"
                        "                  it (an adapter still plugged in then gets the lowest free\n"
                        "                  number again)\n"),
         {},
         3,
         RunPort});
    commands.push_back(
        {QStringLiteral("scan"),
         QStringLiteral("[PORT...]"),
         QStringLiteral("ask every port at once which device answers"),
         QStringLiteral("Sends the information request (command 0) to every COMn that leads to a device,\n"
                        "or to the ports given (COMn, N or a path), all at once, and lists what answers:\n"
                        "the port, its device path, the device type and serial number. Ports that do not\n"
                        "answer or cannot be opened are listed with why. Nothing else is written to any\n"
                        "device. Exit status 0 when some device answered, 1 when none did.\n"),
         {},
         64,
         RunScan});
    return commands;
}

QString GlobalHelp()
{
    QString text =
        QStringLiteral("Usage: lumora-cli [--port COMn|N|PATH] [--json] [--trace] COMMAND [OPTIONS]\n\n"
                       "Reads and configures a Lumora device over its serial line.\n\n"
                       "Commands:\n");
    for (const TCliCommand &c : CliCommands())
        text += QStringLiteral("  %1%2\n").arg(c.Name.leftJustified(12), c.Summary);
    text +=
        QStringLiteral("\nOptions:\n"
                       "  --port COMn|N|PATH  use this port instead of the stored one (nothing is stored);\n"
                       "                      COMn resolves as in the program (see 'lumora-cli ports')\n"
                       "  --json              print JSON instead of text\n"
                       "  --trace             print every frame written and every read on standard error\n"
                       "  -h, --help          show this help, or a command's help after the command\n"
                       "  --version           show the version\n\n"
                       "Exit status: 0 success, 1 device or link failure, 2 usage error or invalid input,\n"
                       "3 a value outside the limits given with --limits.\n"
                       "Writes are recorded in ${XDG_STATE_HOME:-~/.local/state}/lumora/journal.jsonl.\n"
                       "Run 'lumora-cli COMMAND --help' for a command's options.\n");
    return text;
}

QString CommandHelp(const TCliCommand &c)
{
    QString usage =
        QStringLiteral("Usage: lumora-cli [--port COMn|N|PATH] [--json] [--trace] %1").arg(c.Name);
    if (!c.Synopsis.isEmpty())
        usage += QLatin1Char(' ') + c.Synopsis;
    return usage + QStringLiteral("\n\n") + c.Help;
}

void PrintBlock(TCliOutput &Out, const QString &text)
{
    QString body = text;
    if (body.endsWith(QLatin1Char('\n')))
        body.chop(1);
    Out.Line(body);
}

} // namespace

const std::vector<TCliCommand> &CliCommands()
{
    static const std::vector<TCliCommand> commands = MakeCommands();
    return commands;
}

QString CliVersionText()
{
    return ProgramName + QLatin1Char(' ') + QStringLiteral(LUMORA_VERSION);
}

int TCliContext::Usage(const QString &Message) const
{
    Out.ErrorLine(ProgramName + QStringLiteral(": ") + Message);
    const QString help = Global.Command.isEmpty()
                             ? ProgramName + QStringLiteral(" --help")
                             : ProgramName + QLatin1Char(' ') + Global.Command + QStringLiteral(" --help");
    Out.ErrorLine(QStringLiteral("Try '%1'.").arg(help));
    return CliExitUsage;
}

void TCliContext::NameHolders(const QString &Path) const
{
    if (Path.isEmpty())
        return;
    const TPortProbe probe = ProbePort(Path);
    if (probe.Access == TPortAccess::Busy && !probe.Holders.isEmpty())
        Out.ErrorLine(QStringLiteral("%1 is held by %2").arg(Path, probe.Holders.join(QStringLiteral(", "))));
}

int TCliContext::DeviceFailure(const TFleetLink &Link) const
{
    Out.ErrorLine(Link.Status().Text());
    return CliExitDevice;
}

bool TCliContext::OpenLink(TFleetLink &Link, int &Exit) const
{
    TPortChoice choice;
    QString error;
    if (!ResolvePortChoice(Global.Port, choice, error)) {
        Exit = Usage(error);
        return false;
    }
    if (!Link.OpenChoice(choice)) {
        Exit = DeviceFailure(Link);
        NameHolders(choice.Path);
        return false;
    }
    return true;
}

int RunCli(const QStringList &Args, TCliOutput &Out)
{
    TGlobalArgs global;
    QString error;
    TCliContext context{Out, {}, {}};
    if (!ParseGlobalArgs(Args, global, error))
        return context.Usage(error);
    context.Global = global;
    Out.SetJson(global.Json);

    if (global.Version) {
        Out.Line(CliVersionText());
        return CliExitOk;
    }
    if (global.Command.isEmpty()) {
        if (global.Help) {
            PrintBlock(Out, GlobalHelp());
            return CliExitOk;
        }
        return context.Usage(QStringLiteral("no command given"));
    }
    if (global.Command == QLatin1String("help")) {
        const QString topic = global.CommandArgs.value(0);
        for (const TCliCommand &c : CliCommands()) {
            if (c.Name == topic) {
                PrintBlock(Out, CommandHelp(c));
                return CliExitOk;
            }
        }
        if (!topic.isEmpty() && !global.Help) {
            context.Global.Command.clear();
            return context.Usage(QStringLiteral("unknown command '%1'").arg(topic));
        }
        PrintBlock(Out, GlobalHelp());
        return CliExitOk;
    }

    const TCliCommand *command = nullptr;
    for (const TCliCommand &c : CliCommands()) {
        if (c.Name == global.Command)
            command = &c;
    }
    if (!command) {
        context.Global.Command.clear();
        return context.Usage(QStringLiteral("unknown command '%1'").arg(global.Command));
    }
    if (global.Help) {
        PrintBlock(Out, CommandHelp(*command));
        return CliExitOk;
    }
    if (!ParseCommandArgs(global.CommandArgs, command->Options, command->MaxOperands, context.Args, error))
        return context.Usage(error);

    if (global.Trace)
        SetSerialTrace(true);
    try {
        // Every run numbers the adapters seen for the first time, as the
        // program does whenever it resolves a port name; a store that cannot
        // be written does not stop the command.
        TSettingsStore store(TSettingsStore::DefaultPath());
        TPortMap(store).TryAssignAdapters();
        return command->Run(context);
    } catch (const ELumoraError &e) {
        // Only the settings store raises here (a store that cannot be written).
        Out.ErrorLine(e.Message());
        return CliExitDevice;
    }
}
