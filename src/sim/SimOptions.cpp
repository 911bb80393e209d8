#include "SimOptions.h"

#include "platform/IntConv.h"

#include <QByteArray>

#include <cmath>
#include <functional>
#include <map>

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

bool ParseAddress(const QString &text, TLE32 &addr)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        int b = 0;
        if (!ParseInt(parts[i], 0, 255, b))
            return false;
        value |= uint32_t(b) << (8 * i);
    }
    addr = value;
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

using TValueSetter = std::function<bool(const QString &, TSimOptions &)>;

const std::map<QString, TValueSetter> &ValueOptions()
{
    static const std::map<QString, TValueSetter> options = {
        {"--link", [](const QString &v, TSimOptions &o) { return !(o.Link = v).isEmpty(); }},
        {"--type",
         [](const QString &v, TSimOptions &o) {
             int t = 0;
             return ParseInt(v, 0, 255, t) && (o.Config.Info.DeviceType = uint8_t(t), true);
         }},
        {"--serial", [](const QString &v, TSimOptions &o) { return SetText(v, o.Config.Info.SerialNo, 10); }},
        {"--firmware",
         [](const QString &v, TSimOptions &o) { return ParseVersion(v, o.Config.Info.FirmwareVersion); }},
        {"--hardware",
         [](const QString &v, TSimOptions &o) { return ParseVersion(v, o.Config.Info.HardwareVersion); }},
        {"--update-time",
         [](const QString &v, TSimOptions &o) { return SetText(v, o.Config.Info.UpdateTime, 20); }},
        {"--dhcp",
         [](const QString &v, TSimOptions &o) {
             int d = 0;
             return ParseInt(v, 0, 255, d) && (o.Config.Info.DhcpFlag = uint8_t(d), true);
         }},
        {"--local-ip",
         [](const QString &v, TSimOptions &o) { return ParseAddress(v, o.Config.Info.LocalAddr); }},
        {"--server-ip",
         [](const QString &v, TSimOptions &o) { return ParseAddress(v, o.Config.Info.ServerAddr); }},
        {"--gateway",
         [](const QString &v, TSimOptions &o) { return ParseAddress(v, o.Config.Info.GatewayAddr); }},
        {"--netmask",
         [](const QString &v, TSimOptions &o) { return ParseAddress(v, o.Config.Info.SubnetMask); }},
        {"--reverse-power",
         [](const QString &v, TSimOptions &o) {
             return ParseSlot(v, 10, true, o.Config.Params.ReversePower);
         }},
        {"--power-a", [](const QString &v,
                         TSimOptions &o) { return ParseSlot(v, 10, true, o.Config.Params.InputPowerA); }},
        {"--power-b", [](const QString &v,
                         TSimOptions &o) { return ParseSlot(v, 10, true, o.Config.Params.InputPowerB); }},
        {"--supply-8v",
         [](const QString &v, TSimOptions &o) { return ParseSlot(v, 10, false, o.Config.Params.Supply8V); }},
        {"--supply-15v",
         [](const QString &v, TSimOptions &o) { return ParseSlot(v, 10, false, o.Config.Params.Supply15V); }},
        {"--supply-24v",
         [](const QString &v, TSimOptions &o) { return ParseSlot(v, 10, false, o.Config.Params.Supply24V); }},
        {"--transceiver-supply",
         [](const QString &v, TSimOptions &o) {
             return ParseSlot(v, 100, false, o.Config.Params.TransceiverSupply);
         }},
        {"--temperature", [](const QString &v,
                             TSimOptions &o) { return ParseSlot(v, 1, false, o.Config.Params.Temperature); }},
        {"--lid",
         [](const QString &v, TSimOptions &o) {
             bool open = false;
             return Choice(v, "open", "closed", open) && (o.Config.Params.LidState = open ? 1 : 0, true);
         }},
        {"--path",
         [](const QString &v, TSimOptions &o) {
             bool b = false;
             if (!Choice(v, "B", "A", b))
                 return false;
             o.Config.Params.SwitchFlags = uint8_t((o.Config.Params.SwitchFlags & ~0x01) | (b ? 0x01 : 0));
             return true;
         }},
        {"--mode",
         [](const QString &v, TSimOptions &o) {
             bool automatic = false;
             if (!Choice(v, "auto", "manual", automatic))
                 return false;
             o.Config.Params.SwitchFlags =
                 uint8_t((o.Config.Params.SwitchFlags & ~0x80) | (automatic ? 0x80 : 0));
             return true;
         }},
        {"--ack-code",
         [](const QString &v, TSimOptions &o) { return ParseInt(v, 0, 255, o.Config.Faults.AckCode); }},
        {"--delay",
         [](const QString &v, TSimOptions &o) { return ParseInt(v, 0, 600000, o.Config.Faults.DelayMs); }},
        {"--stray",
         [](const QString &v, TSimOptions &o) { return ParseInt(v, 0, 4096, o.Config.Faults.StrayBytes); }},
    };
    return options;
}

const std::map<QString, std::function<void(TSimOptions &)>> &FlagOptions()
{
    static const std::map<QString, std::function<void(TSimOptions &)>> flags = {
        {"--help", [](TSimOptions &o) { o.Help = true; }},
        {"-h", [](TSimOptions &o) { o.Help = true; }},
        {"--verbose", [](TSimOptions &o) { o.Verbose = true; }},
        {"-v", [](TSimOptions &o) { o.Verbose = true; }},
        {"--silent", [](TSimOptions &o) { o.Config.Faults.Silent = true; }},
        {"--bad-checksum", [](TSimOptions &o) { o.Config.Faults.BadChecksum = true; }},
        {"--short", [](TSimOptions &o) { o.Config.Faults.Short = true; }},
        {"--long", [](TSimOptions &o) { o.Config.Faults.Long = true; }},
        {"--bad-ack", [](TSimOptions &o) { o.Config.Faults.BadAck = true; }},
        {"--ignore-writes", [](TSimOptions &o) { o.Config.Faults.IgnoreWrites = true; }},
    };
    return flags;
}

} // namespace

bool ParseSimOptions(const QStringList &Arguments, TSimOptions &Options, QString &Error)
{
    for (qsizetype i = 0; i < Arguments.size(); ++i) {
        QString name = Arguments[i];
        QString value;
        bool inlineValue = false;
        if (const qsizetype eq = name.indexOf(QLatin1Char('='));
            name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            inlineValue = true;
        }
        if (const auto flag = FlagOptions().find(name); flag != FlagOptions().end() && !inlineValue) {
            flag->second(Options);
            continue;
        }
        const auto option = ValueOptions().find(name);
        if (option == ValueOptions().end()) {
            Error = QStringLiteral("unknown option '%1'").arg(Arguments[i]);
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= Arguments.size()) {
                Error = QStringLiteral("option '%1' needs a value").arg(name);
                return false;
            }
            value = Arguments[++i];
        }
        if (!option->second(value, Options)) {
            Error = QStringLiteral("bad value '%1' for %2").arg(value, name);
            return false;
        }
    }
    return true;
}

QString SimUsage()
{
    return QStringLiteral(
        "Usage: lumora-sim [options]\n"
        "Simulates a device on a pseudo-terminal. Prints the terminal's path on\n"
        "standard output, then answers frames until SIGINT or SIGTERM.\n"
        "\n"
        "  --link PATH               also make PATH a symbolic link to the terminal; another\n"
        "                            simulator may take the same PATH over (swapping units)\n"
        "  -v, --verbose             log every frame and reply on standard error\n"
        "  -h, --help                show this text\n"
        "\n"
        "Information record (command 0; command 1 stores the network settings):\n"
        "  --type N                  device type code (default 6, EDFA(Single))\n"
        "  --serial TEXT             serial number, up to 10 characters (0612345678)\n"
        "  --firmware X.Y            firmware version (3.1)\n"
        "  --hardware X.Y            hardware version (2.0)\n"
        "  --update-time TEXT        firmware update time, up to 20 characters\n"
        "  --dhcp N                  DHCP flag, 1 = enabled (0)\n"
        "  --local-ip A.B.C.D        device address (192.168.1.100)\n"
        "  --server-ip A.B.C.D       server address (192.168.1.1)\n"
        "  --gateway A.B.C.D         gateway (192.168.1.254)\n"
        "  --netmask A.B.C.D         subnet mask (255.255.255.0)\n"
        "\n"
        "Parameter record (command 3):\n"
        "  --reverse-power DBM       reverse transmit power, or 'none' (3.5)\n"
        "  --power-a DBM             input power of path A, or 'none' (6.2)\n"
        "  --power-b DBM             input power of path B, or 'none' (none)\n"
        "  --supply-8v V             8 V supply (8.1)\n"
        "  --supply-15v V            15 V supply (15.2)\n"
        "  --supply-24v V            24 V supply (24.0)\n"
        "  --transceiver-supply V    transceiver supply, two decimals (5.00)\n"
        "  --temperature C           temperature in whole degrees (25)\n"
        "  --lid open|closed         lid of the case (closed)\n"
        "  --path A|B                current output path (A)\n"
        "  --mode auto|manual        A/B switching mode (auto)\n"
        "\n"
        "Faults:\n"
        "  --silent                  never answer\n"
        "  --bad-checksum            data replies carry a wrong checksum\n"
        "  --short                   every reply one byte short\n"
        "  --long                    every reply one byte long\n"
        "  --ack-code N              acknowledge writes with code N (0)\n"
        "  --bad-ack                 acknowledgement whose code and checksum differ\n"
        "  --ignore-writes           acknowledge writes with code 0 but keep the old settings\n"
        "  --delay MS                wait MS milliseconds before each reply\n"
        "  --stray N                 send N garbage bytes before each reply\n");
}
