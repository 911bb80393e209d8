#include "SimOptions.h"

#include "base/IntConv.h"
#include "device/NetSettings.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cmath>
#include <functional>
#include <vector>

namespace {

bool ParseInt(const QString &text, int lo, int hi, int &out)
{
    int32_t v = 0;
    if (!TryStrToInt(text, v) || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

// A value in engineering units as a count of 1/Scale steps.
bool ParseScaled(const QString &text, int scale, int &out)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v * scale) > 32767)
        return false;
    out = int(std::lround(v * scale));
    return true;
}

bool ParseSlot(const QString &text, int scale, bool allowNone, TParamSlot &slot)
{
    if (allowNone && text.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        slot = TParamSlot{0, 0xFF, 0xFF};
        return true;
    }
    int v = 0;
    if (!ParseScaled(text, scale, v))
        return false;
    slot = EncodeValue(v);
    return true;
}

// "3.1": low byte 3, high byte 1.
bool ParseVersion(const QString &text, TLE16 &version)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    int lo = 0, hi = 0;
    if (parts.size() != 2 || !ParseInt(parts[0], 0, 255, lo) || !ParseInt(parts[1], 0, 255, hi))
        return false;
    version = uint16_t(lo | hi << 8);
    return true;
}

bool SetText(const QString &text, char *field, int size)
{
    const QByteArray bytes = text.toLatin1();
    if (bytes.size() > size)
        return false;
    for (int i = 0; i < size; ++i)
        field[i] = i < bytes.size() ? bytes[i] : '\0';
    return true;
}

bool Choice(const QString &text, const char *yes, const char *no, bool &out)
{
    if (text.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
        out = true;
    else if (text.compare(QLatin1String(no), Qt::CaseInsensitive) == 0)
        out = false;
    else
        return false;
    return true;
}

// Reads a value into the options; false when the value is bad. Flags are
// applied with an empty value and always succeed.
using TApply = std::function<bool(const QString &, TSimOptions &)>;

struct TOptionDef {
    QStringList Names;
    QString ValueName; // empty for a flag
    QString Description;
    TApply Apply;
};

struct TOptionGroup {
    QString Heading; // empty for the group that follows the introduction
    std::vector<TOptionDef> Options;
};

TOptionDef Flag(const QStringList &Names, const QString &Description, void (*Set)(TSimOptions &))
{
    return {Names, {}, Description, [Set](const QString &, TSimOptions &o) {
                Set(o);
                return true;
            }};
}

TApply Address(TLE32 TDeviceInfo::*Field)
{
    return [Field](const QString &v, TSimOptions &o) {
        return DottedToAddress(v, (o.Config.Info.*Field).Bytes);
    };
}

TApply Slot(TParamSlot TDeviceParams::*Field, int Scale, bool AllowNone)
{
    return [=](const QString &v, TSimOptions &o) {
        return ParseSlot(v, Scale, AllowNone, o.Config.Params.*Field);
    };
}

TApply Byte(uint8_t TDeviceInfo::*Field)
{
    return [Field](const QString &v, TSimOptions &o) {
        int n = 0;
        return ParseInt(v, 0, 255, n) && (o.Config.Info.*Field = uint8_t(n), true);
    };
}

TApply Number(int TSimFaults::*Field, int Max)
{
    return [=](const QString &v, TSimOptions &o) { return ParseInt(v, 0, Max, o.Config.Faults.*Field); };
}

// Sets or clears Bit of the switch flags by a choice of two words.
TApply SwitchBit(uint8_t Bit, const char *Set, const char *Clear)
{
    return [=](const QString &v, TSimOptions &o) {
        bool on = false;
        if (!Choice(v, Set, Clear, on))
            return false;
        o.Config.Params.SwitchFlags = uint8_t((o.Config.Params.SwitchFlags & ~Bit) | (on ? Bit : 0));
        return true;
    };
}

// Every option in the order of the usage text.
const std::vector<TOptionGroup> &OptionGroups()
{
    static const std::vector<TOptionGroup> groups = {
        {{},
         {
             {{"link"},
              "PATH",
              "also make PATH a symbolic link to the terminal; a later simulator may take PATH over",
              [](const QString &v, TSimOptions &o) { return !(o.Link = v).isEmpty(); }},
             Flag({"v", "verbose"}, "log every frame and reply on standard error",
                  [](TSimOptions &o) { o.Verbose = true; }),
             Flag({"h", "help"}, "show this text", [](TSimOptions &o) { o.Help = true; }),
         }},
        {"Information record (command 0; command 1 stores the network settings):",
         {
             {{"type"}, "N", "device type code (default 6, EDFA(Single))", Byte(&TDeviceInfo::DeviceType)},
             {{"serial"},
              "TEXT",
              "serial number, up to 10 characters (0612345678)",
              [](const QString &v, TSimOptions &o) { return SetText(v, o.Config.Info.SerialNo, 10); }},
             {{"firmware"},
              "X.Y",
              "firmware version (3.1)",
              [](const QString &v, TSimOptions &o) {
                  return ParseVersion(v, o.Config.Info.FirmwareVersion);
              }},
             {{"hardware"},
              "X.Y",
              "hardware version (2.0)",
              [](const QString &v, TSimOptions &o) {
                  return ParseVersion(v, o.Config.Info.HardwareVersion);
              }},
             {{"update-time"},
              "TEXT",
              "firmware update time, up to 20 characters",
              [](const QString &v, TSimOptions &o) { return SetText(v, o.Config.Info.UpdateTime, 20); }},
             {{"dhcp"}, "N", "DHCP flag, 1 = enabled (0)", Byte(&TDeviceInfo::DhcpFlag)},
             {{"local-ip"}, "A.B.C.D", "device address (192.168.1.100)", Address(&TDeviceInfo::LocalAddr)},
             {{"server-ip"}, "A.B.C.D", "server address (192.168.1.1)", Address(&TDeviceInfo::ServerAddr)},
             {{"gateway"}, "A.B.C.D", "gateway (192.168.1.254)", Address(&TDeviceInfo::GatewayAddr)},
             {{"netmask"}, "A.B.C.D", "subnet mask (255.255.255.0)", Address(&TDeviceInfo::SubnetMask)},
         }},
        {"Parameter record (command 3):",
         {
             {{"reverse-power"},
              "DBM",
              "reverse transmit power, or 'none' (3.5)",
              Slot(&TDeviceParams::ReversePower, 10, true)},
             {{"power-a"},
              "DBM",
              "input power of path A, or 'none' (6.2)",
              Slot(&TDeviceParams::InputPowerA, 10, true)},
             {{"power-b"},
              "DBM",
              "input power of path B, or 'none' (none)",
              Slot(&TDeviceParams::InputPowerB, 10, true)},
             {{"supply-8v"}, "V", "8 V supply (8.1)", Slot(&TDeviceParams::Supply8V, 10, false)},
             {{"supply-15v"}, "V", "15 V supply (15.2)", Slot(&TDeviceParams::Supply15V, 10, false)},
             {{"supply-24v"}, "V", "24 V supply (24.0)", Slot(&TDeviceParams::Supply24V, 10, false)},
             {{"transceiver-supply"},
              "V",
              "transceiver supply, two decimals (5.00)",
              Slot(&TDeviceParams::TransceiverSupply, 100, false)},
             {{"temperature"},
              "C",
              "temperature in whole degrees (25)",
              Slot(&TDeviceParams::Temperature, 1, false)},
             {{"lid"},
              "open|closed",
              "lid of the case (closed)",
              [](const QString &v, TSimOptions &o) {
                  bool open = false;
                  return Choice(v, "open", "closed", open) && (o.Config.Params.LidState = open ? 1 : 0, true);
              }},
             {{"path"}, "A|B", "current output path (A)", SwitchBit(0x01, "B", "A")},
             {{"mode"}, "auto|manual", "A/B switching mode (auto)", SwitchBit(0x80, "auto", "manual")},
         }},
        {"Faults:",
         {
             Flag({"silent"}, "never answer", [](TSimOptions &o) { o.Config.Faults.Silent = true; }),
             Flag({"bad-checksum"}, "data replies carry a wrong checksum",
                  [](TSimOptions &o) { o.Config.Faults.BadChecksum = true; }),
             Flag({"short"}, "every reply one byte short",
                  [](TSimOptions &o) { o.Config.Faults.Short = true; }),
             Flag({"long"}, "every reply one byte long", [](TSimOptions &o) { o.Config.Faults.Long = true; }),
             {{"ack-code"}, "N", "acknowledge writes with code N (0)", Number(&TSimFaults::AckCode, 255)},
             Flag({"bad-ack"}, "acknowledgement whose code and checksum differ",
                  [](TSimOptions &o) { o.Config.Faults.BadAck = true; }),
             Flag({"ignore-writes"}, "acknowledge writes with code 0 but keep the old settings",
                  [](TSimOptions &o) { o.Config.Faults.IgnoreWrites = true; }),
             {{"delay"},
              "MS",
              "wait MS milliseconds before each reply",
              Number(&TSimFaults::DelayMs, 600000)},
             {{"stray"},
              "N",
              "send N garbage bytes before each reply",
              Number(&TSimFaults::StrayBytes, 4096)},
         }},
        {"Another unit on the same line (SIGUSR1 swaps the two):",
         {
             {{"swap-to"},
              "SERIAL[:TYPE]",
              "the other unit: this one with another serial number (and type)",
              [](const QString &v, TSimOptions &o) {
                  TSimSwap &swap = o.Config.Swap;
                  swap.Other = o.Config.Info;
                  const QStringList parts = v.split(QLatin1Char(':'));
                  int type = swap.Other.DeviceType;
                  swap.HasOther = parts.size() <= 2 && !parts[0].isEmpty() &&
                                  SetText(parts[0], swap.Other.SerialNo, 10) &&
                                  (parts.size() == 1 || ParseInt(parts[1], 0, 255, type));
                  swap.Other.DeviceType = uint8_t(type);
                  return swap.HasOther;
              }},
             {{"swap-after"},
              "N",
              "become the other unit after answering N frames",
              [](const QString &v, TSimOptions &o) {
                  return ParseInt(v, 1, 1000000, o.Config.Swap.SwapAfterFrames);
              }},
         }},
    };
    return groups;
}

// An option name as typed: one dash before a letter, two before a word.
QString Dashed(const QString &Name)
{
    return (Name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + Name;
}

} // namespace

bool ParseSimOptions(const QStringList &Arguments, TSimOptions &Options, QString &Error)
{
    QCommandLineParser parser;
    std::vector<std::pair<const TOptionDef *, QCommandLineOption>> options;
    for (const TOptionGroup &group : OptionGroups()) {
        for (const TOptionDef &def : group.Options) {
            options.emplace_back(&def, QCommandLineOption(def.Names, def.Description, def.ValueName));
            parser.addOption(options.back().second);
        }
    }
    if (!parser.parse(QStringList{QStringLiteral("lumora-sim")} + Arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        Error = unknown.isEmpty() ? parser.errorText()
                                  : QStringLiteral("unknown option '%1'").arg(Dashed(unknown.first()));
        return false;
    }
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty()) {
        Error = QStringLiteral("unknown option '%1'").arg(extra.first());
        return false;
    }
    for (const auto &[def, option] : options) {
        if (def->ValueName.isEmpty()) {
            if (parser.isSet(option))
                def->Apply({}, Options);
            continue;
        }
        for (const QString &value : parser.values(option)) {
            if (!def->Apply(value, Options)) {
                Error = QStringLiteral("bad value '%1' for %2").arg(value, Dashed(def->Names.first()));
                return false;
            }
        }
    }
    if (Options.Config.Swap.SwapAfterFrames > 0 && !Options.Config.Swap.HasOther) {
        Error = QStringLiteral("--swap-after needs --swap-to");
        return false;
    }
    return true;
}

QString SimUsage()
{
    QString usage = QStringLiteral("Usage: lumora-sim [options]\n"
                                   "Simulates a device on a pseudo-terminal. Prints the terminal's path on\n"
                                   "standard output, then answers frames until SIGINT or SIGTERM.\n");
    for (const TOptionGroup &group : OptionGroups()) {
        usage += QLatin1Char('\n');
        if (!group.Heading.isEmpty())
            usage += group.Heading + QLatin1Char('\n');
        for (const TOptionDef &def : group.Options) {
            QStringList names;
            for (const QString &name : def.Names)
                names << Dashed(name);
            QString head = QStringLiteral("  ") + names.join(QStringLiteral(", "));
            if (!def.ValueName.isEmpty())
                head += QLatin1Char(' ') + def.ValueName;
            usage += head.leftJustified(27) + QLatin1Char(' ') + def.Description + QLatin1Char('\n');
        }
    }
    return usage;
}
