#include "CliFixture.h"
#include "device/ComUnit.h"
#include "platform/store/SettingsStore.h"
#include "support/PtyPair.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using lumora::test::MapPort;
using lumora::test::TSimLine;

QByteArray Payload(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// The network fields of the sample device: DHCP off, 192.168.1.100,
// 192.168.1.1, 192.168.1.254, 255.255.255.0.
QByteArray SampleNetwork()
{
    return Payload({0, 192, 168, 1, 100, 192, 168, 1, 1, 192, 168, 1, 254, 255, 255, 255, 0});
}

int StoredPort()
{
    TCOMMan com(nullptr);
    return com.GetPortNumber();
}

using CliTest = lumora::test::TUnitFixture;

TEST_F(CliTest, InfoPrintsTheFieldsAsTheMainWindowShowsThem)
{
    const TCliRun run = Run({"info"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out.toStdString(), "Type:                 6 EDFA(Single)\n"
                                     "S/N:                  0612345678\n"
                                     "MAC ADDR:             0008086cb26e\n"
                                     "HW version:           2.0\n"
                                     "FW version:           3.1\n"
                                     "Firmware update time: 2024-05-17 10:30\n"
                                     "DHCP Enable:          off\n"
                                     "Local IP:             192.168.1.100\n"
                                     "Server IP:            192.168.1.1\n"
                                     "Gateway IP:           192.168.1.254\n"
                                     "Subnet mask:          255.255.255.0\n");
    EXPECT_EQ(Commands(), std::vector<uint8_t>{0});
}

TEST_F(CliTest, InfoJsonHasTheDocumentedShape)
{
    const TCliRun run = Run({"--json", "info"});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.endsWith('\n'));
    EXPECT_EQ(run.Out.count('\n'), 1) << "one object on one line";
    const QJsonObject o = run.Json();
    EXPECT_EQ(o["port"].toString(), Sim.SlavePath());
    EXPECT_EQ(o["type"].toObject()["code"].toInt(), 6);
    EXPECT_EQ(o["type"].toObject()["name"].toString(), "EDFA(Single)");
    EXPECT_EQ(o["serialNumber"].toString(), "0612345678");
    EXPECT_EQ(o["mac"].toString(), "0008086cb26e");
    EXPECT_EQ(o["hardwareVersion"].toString(), "2.0");
    EXPECT_EQ(o["firmwareVersion"].toString(), "3.1");
    EXPECT_EQ(o["updateTime"].toString(), "2024-05-17 10:30");
    const QJsonObject net = o["network"].toObject();
    EXPECT_EQ(net["dhcp"], QJsonValue(false));
    EXPECT_EQ(net["localIp"].toString(), "192.168.1.100");
    EXPECT_EQ(net["serverIp"].toString(), "192.168.1.1");
    EXPECT_EQ(net["gatewayIp"].toString(), "192.168.1.254");
    EXPECT_EQ(net["subnetMask"].toString(), "255.255.255.0");
    EXPECT_EQ(o.keys().size(), 8);
}

TEST(CliInfoTypes, CommunicationBoardAndUnnamedTypes)
{
    lumora::test::ResetConfigHome();
    TSimConfig board = SampleDevice();
    board.Info.DeviceType = 9;
    TSimLine boardSim(board);
    TCliRun run = RunTool({"--port", boardSim.SlavePath(), "info"});
    ASSERT_EQ(run.Exit, 0);
    EXPECT_TRUE(run.Out.startsWith("Type:                 9 通信板\n")) << run.Out.toStdString();
    EXPECT_FALSE(run.Out.contains("IP")) << "a communication board shows no network settings";
    run = RunTool({"--port", boardSim.SlavePath(), "--json", "info"});
    EXPECT_TRUE(run.Json()["network"].isNull());

    // Texts from a device that would steer the terminal are shown escaped.
    TSimConfig odd = SampleDevice();
    std::memcpy(odd.Info.SerialNo, "06\x1b[2J789", 10);
    odd.Info.UpdateTime[0] = '\a';
    TSimLine oddSim(odd);
    run = RunTool({"--port", oddSim.SlavePath(), "info"});
    ASSERT_EQ(run.Exit, 0);
    EXPECT_TRUE(run.Out.contains("\nS/N:                  06\\x1B[2J789\n")) << run.Out.toStdString();
    EXPECT_TRUE(run.Out.contains("Firmware update time: \\x07")) << run.Out.toStdString();
    EXPECT_FALSE(run.Out.contains('\x1b') || run.Out.contains('\a'));

    TSimConfig unnamed = SampleDevice();
    unnamed.Info.DeviceType = 0;
    TSimLine unnamedSim(unnamed);
    run = RunTool({"--json", "--port", unnamedSim.SlavePath(), "info"});
    ASSERT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Json()["type"].toObject()["code"].toInt(), 0);
    EXPECT_TRUE(run.Json()["type"].toObject()["name"].isNull());
    EXPECT_EQ(run.Json()["network"].toObject()["localIp"].toString(), "192.168.1.100");
}

TEST_F(CliTest, ParamsPrintsTheWindowTextsAndJsonAddsTheIntegers)
{
    TCliRun run = Run({"params"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out.toStdString(), "Reverse power:      3.5dBm\n"
                                     "Input power A:      6.2dBm\n"
                                     "Temperature:        25℃\n"
                                     "Input power B:      无\n"
                                     "24V supply:         24.0V\n"
                                     "15V supply:         15.2V\n"
                                     "Transceiver supply: 5.00V\n"
                                     "8V supply:          8.1V\n"
                                     "Lid:                闭合\n"
                                     "Output path:        A路\n"
                                     "Switching mode:     自动\n");

    run = Run({"params", "--json"});
    ASSERT_EQ(run.Exit, 0);
    const QJsonObject p = run.Json()["params"].toObject();
    EXPECT_EQ(p.keys().size(), 11);
    auto field = [&](const char *key) { return p[key].toObject(); };
    EXPECT_EQ(field("reversePower")["text"].toString(), "3.5dBm");
    EXPECT_EQ(field("reversePower")["raw"].toInt(), 35);
    EXPECT_EQ(field("inputPowerB")["text"].toString(), "无");
    EXPECT_EQ(field("inputPowerB")["raw"].toInt(), -32767);
    EXPECT_EQ(field("transceiverSupply")["raw"].toInt(), 500);
    EXPECT_EQ(field("temperature")["text"].toString(), "25℃");
    EXPECT_EQ(field("lid")["raw"].toInt(), 0);
    EXPECT_EQ(field("outputPath")["raw"].toInt(), 0);
    EXPECT_EQ(field("switchingMode")["raw"].toInt(), 1);
    EXPECT_EQ(field("switchingMode")["text"].toString(), "自动");
    EXPECT_EQ(Commands(), (std::vector<uint8_t>{3, 3}));
}

TEST_F(CliTest, SetChangesOnlyTheGivenFields)
{
    TCliRun run = Run({"set", "--local", "10.0.0.5"});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, "Command success!\n");
    // Read, write, read back.
    ASSERT_EQ(Commands(), (std::vector<uint8_t>{0, 1, 0}));
    QByteArray expected = SampleNetwork();
    expected.replace(1, 4, Payload({10, 0, 0, 5}));
    EXPECT_EQ(Sim.Received()[1].Payload.toHex(' '), expected.toHex(' '));

    // The next set starts from what the device now holds.
    run = Run({"set", "--dhcp", "on", "--mask", "$FF.$FF.0x0.0", "--gateway=10.0.0.1"});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    ASSERT_EQ(Sim.Received().size(), 6u);
    expected = Payload({1, 10, 0, 0, 5, 192, 168, 1, 1, 10, 0, 0, 1, 255, 255, 0, 0});
    EXPECT_EQ(Sim.Received()[4].Payload.toHex(' '), expected.toHex(' '));

    run = Run({"--json", "set", "--server", "172.16.0.9", "--dhcp", "OFF"});
    ASSERT_EQ(run.Exit, 0);
    const QJsonObject o = run.Json();
    EXPECT_EQ(o["status"].toString(), "Command success!");
    const QJsonObject net = o["network"].toObject();
    EXPECT_EQ(net["dhcp"], QJsonValue(false));
    EXPECT_EQ(net["localIp"].toString(), "10.0.0.5");
    EXPECT_EQ(net["serverIp"].toString(), "172.16.0.9");
    EXPECT_EQ(net["gatewayIp"].toString(), "10.0.0.1");
    EXPECT_EQ(net["subnetMask"].toString(), "255.255.0.0");
}

TEST_F(CliTest, SetSendsNothingWhenACheckFails)
{
    struct Case {
        QStringList Args;
        const char *Message;
    };
    const std::vector<Case> cases = {
        // The order of the checks is the library's (SettingsEditFault).
        {{"--local", "1.2.3"}, "Invalid local IP！\n"},
        {{"--server", "x", "--mask", "x", "--gateway", "x"}, "Invalid gateway IP!\n"},
    };
    for (const Case &c : cases) {
        const TCliRun run = Run(QStringList{"set"} + c.Args);
        EXPECT_EQ(run.Exit, 2) << c.Args.join(' ').toStdString();
        EXPECT_EQ(run.Err.toStdString(), std::string("lumora-cli: ") + c.Message);
        EXPECT_EQ(run.Out, "");
    }
    EXPECT_TRUE(Sim.Received().empty()) << "nothing may reach the device after a failed check";
}

TEST_F(CliTest, WithoutAHomeFolderTheJournalIsRefused)
{
    const QByteArray home = qgetenv("HOME");
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    ::unsetenv("XDG_STATE_HOME");
    const std::pair<const char *, QString> cases[] = {
        {nullptr, "HOME is not set"},
        {"/nonexistent-home", "HOME (/nonexistent-home) is not an existing folder"}};
    for (const auto &[value, why] : cases) {
        if (value != nullptr)
            ::setenv("HOME", value, 1);
        else
            ::unsetenv("HOME");
        const QString message = "lumora-cli: no folder for the journal: " + why +
                                " (set HOME or XDG_STATE_HOME, or give --journal FILE)";
        TCliRun run = Run({"set", "--dhcp", "on"});
        EXPECT_EQ(run.Exit, 1);
        EXPECT_EQ(run.Err, message + "; nothing was sent\n");
        run = RunTool({"report"});
        EXPECT_EQ(run.Exit, 1);
        EXPECT_EQ(run.Err, message + "\n");
    }
    EXPECT_FALSE(QFileInfo::exists("/nonexistent-home"));
    EXPECT_FALSE(QFileInfo::exists("/.local/state/lumora"));
    EXPECT_TRUE(Sim.Received().empty());
    ::setenv("HOME", home.constData(), 1);
    ::setenv("XDG_STATE_HOME", state.constData(), 1);
}

TEST_F(CliTest, SetUsageErrors)
{
    TCliRun run = Run({"set"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: nothing to change: give --dhcp, --local, --server, --gateway or --mask\n"
                       "Try 'lumora-cli set --help'.\n");
    run = Run({"set", "--dhcp", "yes"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(run.Err.startsWith("lumora-cli: invalid value 'yes' for --dhcp: give on or off\n"));
    run = Run({"set", "--local"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(run.Err.startsWith("lumora-cli: missing value after '--local'\n"));
    EXPECT_TRUE(Sim.Received().empty());
}

TEST_F(CliTest, DeviceFailuresExitWithOneAndTheStatusText)
{
    struct Case {
        TSimFaults Faults;
        QStringList Args;
        const char *Status;
    };
    TSimFaults silent, badSum, shortReply, notSupported, failed, badAck;
    silent.Silent = true;
    badSum.BadChecksum = true;
    shortReply.Short = true;
    notSupported.AckCode = 1;
    failed.AckCode = 2;
    badAck.BadAck = true;
    const std::vector<Case> cases = {
        {silent, {"info"}, "Device response timeout!\n"},
        {badSum, {"params"}, "Receive error data.\n"},
        {shortReply, {"info"}, "Device response timeout!\n"},
        {silent, {"set", "--dhcp", "on"}, "Device response timeout!\n"},
        {notSupported, {"set", "--dhcp", "on"}, "Command not support!\n"},
        {failed, {"set", "--dhcp", "on"}, "Command fail!\n"},
        {badAck, {"--json", "set", "--dhcp", "on"}, "Command fail!\n"},
    };
    for (const Case &c : cases) {
        Sim.SetFaults(c.Faults);
        const TCliRun run = Run(c.Args);
        EXPECT_EQ(run.Exit, 1) << c.Args.join(' ').toStdString();
        EXPECT_EQ(run.Err.toStdString(), std::string("lumora-cli: ") + c.Status)
            << c.Args.join(' ').toStdString();
        EXPECT_EQ(run.Out, "");
    }
}

// Bytes left on the line (plug-in noise, the tail of a late reply) are
// discarded before each request instead of being read with the reply.
TEST_F(CliTest, StaleBytesOnTheLineFailNoHealthyUnit)
{
    Sim.SendNoise(Payload({0x00, 0xAA, 0x55, 0x00, 0x00, 0x01, 0x01}));
    TCliRun run = Run({"info"});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    Sim.SendNoise(Payload({0x55, 0xFF}));
    run = Run({"params"});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
}

TEST_F(CliTest, PortsThatDoNotOpen)
{
    TCliRun run = RunTool({"--port", "/nonexistent/ttyUSB9", "info"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "lumora-cli: Couldn't open the port /nonexistent/ttyUSB9,maybe already being occupied "
                       "or not existed!\n");

    MapPort(1, "/nonexistent/ttyUSB9");
    run = RunTool({"params"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err,
              "lumora-cli: Couldn't open the port COM1,maybe already being occupied or not existed!\n");

    run = RunTool({"--port", "COMX", "info"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(
        run.Err.startsWith("lumora-cli: invalid port 'COMX': give COMn, a port number or a device path\n"));
    for (const char *below : {"COM0", "com-1", "0", "-1"}) {
        run = RunTool({"--port", below, "info"});
        EXPECT_EQ(run.Exit, 2) << below;
        EXPECT_TRUE(run.Err.startsWith(QStringLiteral("lumora-cli: invalid port '%1'").arg(below))) << below;
    }
    // A character device that is no serial line is refused as a port that
    // does not open, instead of timing out on every request.
    run = RunTool({"--port", "/dev/null", "info"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "lumora-cli: /dev/null is not a serial device\n");

    // A port held by another opener is busy.
    TSerialPort holder;
    ASSERT_TRUE(holder.Open(Sim.SlavePath()));
    run = Run({"info"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Err.startsWith("lumora-cli: Couldn't open the port " + Sim.SlavePath()));
}

TEST_F(CliTest, StoredPortAndMappingAreUsedAndNeverRewritten)
{
    MapPort(3, Sim.SlavePath());
    MapPort(2, Sim.SlavePath());
    TSettingsStore(TSettingsStore::DefaultPath()).WriteInteger("COMSetup", "COM", 3);
    QFile store(TSettingsStore::DefaultPath());
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    const QByteArray before = store.readAll();
    store.close();

    TCliRun run = RunTool({"--json", "info"});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Json()["port"].toString(), "COM3");

    // COMn and a plain number go through the mapping; neither is stored.
    EXPECT_EQ(RunTool({"--port", "com2", "info"}).Exit, 0);
    EXPECT_EQ(RunTool({"--port=2", "info"}).Exit, 0);
    // The port's path on Windows, as the tool prints it there.
    EXPECT_EQ(RunTool({"--port", "\\\\.\\COM2", "info"}).Exit, 0);
    EXPECT_EQ(StoredPort(), 3);
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    EXPECT_EQ(store.readAll(), before);
}

TEST_F(CliTest, PortShowsAndStores)
{
    TCliRun run = RunTool({"port"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out, "Stored port: COM1 (no device)\n");
    EXPECT_FALSE(QFile::exists(TSettingsStore::DefaultPath())) << "showing writes nothing";

    MapPort(2, Sim.SlavePath());
    run = RunTool({"port", "COM2"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out, "Stored port: COM2 (" + Sim.SlavePath() + ")\n");
    EXPECT_EQ(StoredPort(), 2);

    run = RunTool({"--json", "port", "7"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Json(), (QJsonObject{{"port", 7}, {"name", "COM7"}, {"path", QJsonValue()}}));

    for (const char *bad : {"0", "-2", "two", "COM"}) {
        run = RunTool({"port", bad});
        EXPECT_EQ(run.Exit, 2) << bad;
        EXPECT_TRUE(run.Err.startsWith(QString("lumora-cli: invalid port '%1'").arg(bad)))
            << run.Err.toStdString();
    }
    EXPECT_EQ(RunTool({"port", "1", "2"}).Exit, 2);
    EXPECT_EQ(StoredPort(), 7);
}

} // namespace
