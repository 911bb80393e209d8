#include "cli/CliApp.h"

#include "base/LumoraError.h"
#include "fleet/FleetLink.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/PortProbe.h"
#include "platform/serial/SerialTrace.h"
#include "platform/store/SettingsStore.h"

namespace {

const QString ProgramName = QStringLiteral("lumora-cli");

// Options of every command that writes to a unit.
const std::vector<TCliOption> WriteOptions = {
    {{"no-verify"}, {}, "do not read the record back after the acknowledgement"},
    {{"journal"}, "FILE", "record the write in FILE instead of the default journal"},
};

const TCliOption LimitsOption{{"limits"},
                              "FILE",
                              "judge the analogue values by the limits in FILE (JSON, see\n"
                              "the manual); values out of range are marked [low] or [high]\n"
                              "(in JSON an \"alarm\" field) and the exit status is 3"};

std::vector<TCliOption> operator+(std::vector<TCliOption> A, const std::vector<TCliOption> &B)
{
    A.insert(A.end(), B.begin(), B.end());
    return A;
}

std::vector<TCliCommand> MakeCommands()
{
    std::vector<TCliCommand> commands;
    commands.push_back({"info",
                        {},
                        "show the device's identity and network settings",
                        "Reads the device's information record (command 0) and prints its type,\n"
                        "serial number, MAC address, hardware and firmware versions, update time,\n"
                        "DHCP flag and the four addresses, as the main window shows them.\n"
                        "A communication board (type 9) has no network settings to show.\n",
                        {},
                        0,
                        RunInfo});
    commands.push_back({"params",
                        {},
                        "show the device's analogue parameters",
                        "Reads the device's parameter record (command 3) and prints every value as\n"
                        "the parameters window shows it; --json adds the decoded integers.\n",
                        {LimitsOption},
                        0,
                        RunParams});
    commands.push_back({"watch",
                        {},
                        "read the parameters repeatedly, one line per reading",
                        "Reads the parameter record every SECONDS (default 1) until interrupted with\n"
                        "Ctrl+C, or N times. Each reading is one line with a timestamp: comma-separated\n"
                        "values after a header line, or with --json one JSON object per line.\n"
                        "A failed reading is reported on standard error and the watch goes on; the exit\n"
                        "status is 1 when any reading failed.\n",
                        {{{"interval"}, "SECONDS", "time between the starts of two readings (default 1)"},
                         {{"count"}, "N", "stop after N readings"},
                         LimitsOption},
                        0,
                        RunWatch});
    commands.push_back({"set",
                        {},
                        "change the device's network settings",
                        "Reads the device's record, changes only the given fields, checks them as the\n"
                        "main window's Save does and writes the settings (command 1). Addresses are\n"
                        "dotted IPv4 addresses (each number also as $hex or 0xhex). Nothing is sent\n"
                        "when a check fails (exit status 2 with the message). The record is read back\n"
                        "after the acknowledgement: a unit other than the one read (serial number or\n"
                        "type; units swapped during the write) or settings that differ fail the write\n"
                        "(exit status 1). The write is recorded in the journal.\n",
                        std::vector<TCliOption>{{{"dhcp"}, "on|off", "DHCP on or off"},
                                                {{"local"}, "A", "the device's own IP address"},
                                                {{"server"}, "A", "the management server's IP address"},
                                                {{"gateway"}, "A", "the gateway IP address"},
                                                {{"mask"}, "A", "the subnet mask"}} +
                            WriteOptions,
                        0,
                        RunSet});
    commands.push_back(
        {"backup",
         {},
         "save the unit's records as one JSON document",
         "Reads the information record and, when the device answers, the parameter\n"
         "record, and prints one JSON document: tool version, time, port and device,\n"
         "the decoded information (as info --json), the 84 record bytes in hex and the\n"
         "parameters (as params --json, or null with \"paramsError\").\n",
         {{{"o", "output"}, "FILE", "write the document to FILE (replaced whole), not to\nstandard output"}},
         0,
         RunBackup});
    commands.push_back(
        {"restore", "FILE", "write the network settings of a backup to the unit",
         "Writes the network settings held in a backup (command 1, the 17 bytes of the\n"
         "backed-up record), reads them back from the same unit and records the write\n"
         "in the journal.\n"
         "A unit whose serial number or type differs from the backup's is refused\n"
         "(exit status 2, nothing sent) unless --force is given: that clones a\n"
         "configuration onto another unit.\n",
         std::vector<TCliOption>{{{"force"}, {}, "write to a unit other than the backed-up one"}} +
             WriteOptions,
         1, RunRestore});
    commands.push_back(
        {"commission", "PLAN.csv", "give many units their settings from a plan keyed by serial number",
         "PLAN.csv has a header line serial,dhcp,local,server,gateway,mask (optionally\n"
         "label) and one row per unit; an empty cell keeps the unit's value. The whole\n"
         "plan is checked first (exit status 2 with the line and the message).\n"
         "Units the journal holds as written with their plan settings are done already.\n"
         "Then the port is read every half second: a unit of the plan that is not done\n"
         "yet is written, verified (the same unit, holding what was sent) and recorded;\n"
         "a unit not in the plan is reported once and left alone; a unit done is not\n"
         "written again, and one that comes back holding other settings is a failure.\n"
         "The port is reopened by its name when it vanishes. The run ends when every\n"
         "unit is done (exit 0), or on Ctrl+C or SIGTERM after the exchange under way\n"
         "(exit 1 when a unit failed).\n"
         "Progress is a live line on a terminal, else one line per event; with --json\n"
         "one JSON object per event.\n",
         std::vector<TCliOption>{{{"once"}, {}, "handle the unit attached now and end"},
                                 {{"rewrite-changed"},
                                  {},
                                  "write a done unit again when it comes back holding\nother settings"}} +
             WriteOptions,
         1, RunCommission});
    commands.push_back({"report",
                        {},
                        "summarise the journal: each unit's latest settings and its history",
                        "One row per unit with its latest settings, when and by whom they were written\n"
                        "and the verdict, then each unit's writes. csv gives the rows per unit only;\n"
                        "html is one self-contained page to print or hand over. --json is --format json.\n",
                        {{{"journal"}, "FILE", "read FILE instead of the default journal"},
                         {{"since"}, "DATE", "only writes from DATE on (YYYY-MM-DD[THH:MM[:SS]])"},
                         {{"format"}, "F", "text (default), csv, json or html"}},
                        0,
                        RunReport});
    commands.push_back(PortsCommand());
    commands.push_back(PortCommand());
    commands.push_back({"scan",
                        "[PORT...]",
                        "ask every port at once which device answers",
                        "Sends the information request (command 0) to every COMn that leads to a device,\n"
                        "or to the ports given (COMn, N or a path), all at once, and lists what answers:\n"
                        "the port, its device path, the device type and serial number. Ports that do not\n"
                        "answer or cannot be opened are listed with why. Nothing else is written to any\n"
                        "device. Exit status 0 when some device answered, 1 when none did.\n",
                        {},
                        64,
                        RunScan});
    return commands;
}

const QString GlobalUsage = QStringLiteral("Usage: lumora-cli [--port COMn|N|PATH] [--json] [--trace]");

QString GlobalHelp()
{
    QString text =
        GlobalUsage + QStringLiteral(" COMMAND [OPTIONS]\n\n"
                                     "Reads and configures a Lumora device over its serial line.\n\n"
                                     "Commands:\n");
    for (const TCliCommand &c : CliCommands())
        text += QStringLiteral("  %1%2\n").arg(c.Name.leftJustified(12), c.Summary);
    text +=
        QStringLiteral("\nOptions:\n") + OptionHelp(GlobalOptions()) +
        QStringLiteral("\nExit status: 0 success, 1 device or link failure, 2 usage error or invalid input,\n"
                       "3 a value outside the limits given with --limits.\n"
                       "Writes are recorded in %1.\n"
                       "Run 'lumora-cli COMMAND --help' for a command's options.\n")
            .arg(JournalPlaceText());
    return text;
}

QString CommandHelp(const TCliCommand &c)
{
    QStringList words{GlobalUsage, c.Name};
    if (!c.Operands.isEmpty())
        words << c.Operands;
    for (const TCliOption &o : c.Options)
        words << OptionSynopsis(o);
    // The usage line wraps before 80 columns, continued under "lumora-cli".
    QString usage;
    qsizetype lineStart = 0;
    for (const QString &word : words) {
        if (usage.isEmpty()) {
            usage = word;
        } else if (usage.size() - lineStart + 1 + word.size() > 80) {
            lineStart = usage.size() + 1;
            usage += QStringLiteral("\n       ") + word;
        } else {
            usage += QLatin1Char(' ') + word;
        }
    }
    QString text = usage + QStringLiteral("\n\n") + c.Help;
    if (!c.Options.empty())
        text += QLatin1Char('\n') + OptionHelp(c.Options);
    return text;
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
    Out.ErrorLine(Message);
    const QString help = Global.Command.isEmpty()
                             ? ProgramName + QStringLiteral(" --help")
                             : ProgramName + QLatin1Char(' ') + Global.Command + QStringLiteral(" --help");
    Out.HintLine(QStringLiteral("Try '%1'.").arg(help));
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
    if (!ResolvePortChoice(Fleet, Global.Port, choice, error)) {
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

namespace {

const TCliCommand *FindCommand(const QString &Name)
{
    for (const TCliCommand &c : CliCommands()) {
        if (c.Name == Name)
            return &c;
    }
    return nullptr;
}

// `help [COMMAND]` is no command of its own: it shows what --help shows.
const TCliCommand HelpCommand{"help", "[COMMAND]", {}, {}, {}, 1, nullptr};

} // namespace

int RunCli(const QStringList &Args, TCliOutput &Out)
{
    TCliContext context{Out, {}, {}};
    const QString word = CommandWord(Args);
    const TCliCommand *command = word == HelpCommand.Name ? &HelpCommand : FindCommand(word);
    if (!word.isEmpty() && !command)
        return context.Usage(QStringLiteral("unknown command '%1'").arg(word));
    QString error;
    const bool parsed = ParseCliArgs(Args, command ? command->Options : std::vector<TCliOption>(),
                                     command ? command->MaxOperands : 0, context.Global, context.Args, error);
    if (!parsed)
        return context.Usage(error);
    Out.SetJson(context.Global.Json);

    if (context.Global.Version && !command) {
        Out.Line(CliVersionText());
        return CliExitOk;
    }
    if (command == &HelpCommand) {
        const QString topic = context.Args.Operands.value(0);
        const TCliCommand *about = FindCommand(topic);
        if (!topic.isEmpty() && !about) {
            context.Global.Command.clear();
            return context.Usage(QStringLiteral("unknown command '%1'").arg(topic));
        }
        PrintBlock(Out, about ? CommandHelp(*about) : GlobalHelp());
        return CliExitOk;
    }
    if (!command) {
        if (context.Global.Help) {
            PrintBlock(Out, GlobalHelp());
            return CliExitOk;
        }
        return context.Usage(QStringLiteral("no command given"));
    }
    if (context.Global.Help) {
        PrintBlock(Out, CommandHelp(*command));
        return CliExitOk;
    }

    if (context.Global.Trace)
        SetSerialTrace(true);
    try {
        // Every run numbers the adapters seen for the first time, as the
        // program does whenever it resolves a port name; a store that cannot
        // be written does not stop the command.
        TSettingsStore store(context.Fleet.StorePath);
        TPortMap(store, context.Fleet.Roots).TryAssignAdapters();
        return command->Run(context);
    } catch (const ELumoraError &e) {
        // Only the settings store raises here (a store that cannot be written).
        Out.ErrorLine(e.Message());
        return CliExitDevice;
    }
}
