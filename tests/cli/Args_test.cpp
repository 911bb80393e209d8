#include "CliRun.h"
#include "cli/CliArgs.h"

#include <gtest/gtest.h>

namespace {

TEST(CliArgs, GlobalOptionsStandBeforeOrAfterTheCommand)
{
    TGlobalArgs g;
    QString error;
    ASSERT_TRUE(
        ParseGlobalArgs({"--json", "watch", "--count", "3", "--port=/dev/ttyUSB0", "--trace"}, g, error));
    EXPECT_TRUE(g.Json);
    EXPECT_TRUE(g.Trace);
    EXPECT_TRUE(g.PortGiven);
    EXPECT_EQ(g.Port, "/dev/ttyUSB0");
    EXPECT_EQ(g.Command, "watch");
    EXPECT_EQ(g.CommandArgs, (QStringList{"--count", "3"}));

    ASSERT_TRUE(ParseGlobalArgs({"--port", "COM2", "info", "--help"}, g, error));
    EXPECT_EQ(g.Port, "COM2");
    EXPECT_TRUE(g.Help);
    EXPECT_EQ(g.Command, "info");

    EXPECT_FALSE(ParseGlobalArgs({"info", "--port"}, g, error));
    EXPECT_FALSE(ParseGlobalArgs({"--port=", "info"}, g, error));
    EXPECT_FALSE(ParseGlobalArgs({"--frobnicate", "info"}, g, error));
    EXPECT_EQ(error, "unknown option '--frobnicate'");
}

TEST(CliArgs, CommandOptionsAndOperands)
{
    const std::vector<TOptionSpec> specs = {{"interval", true}, {"verbose", false}};
    TCommandArgs a;
    QString error;
    ASSERT_TRUE(ParseCommandArgs({"--interval", "0.5", "--verbose"}, specs, 0, a, error));
    EXPECT_EQ(a.Value("interval"), "0.5");
    EXPECT_TRUE(a.Has("verbose"));
    ASSERT_TRUE(ParseCommandArgs({"--interval=2"}, specs, 0, a, error));
    EXPECT_EQ(a.Value("interval"), "2");
    EXPECT_FALSE(a.Has("verbose"));
    // A negative number is an operand, so that it can be refused with a clear message.
    ASSERT_TRUE(ParseCommandArgs({"-3"}, specs, 1, a, error));
    EXPECT_EQ(a.Operands, QStringList{"-3"});

    EXPECT_FALSE(ParseCommandArgs({"--interval"}, specs, 0, a, error));
    EXPECT_EQ(error, "option '--interval' needs a value");
    EXPECT_FALSE(ParseCommandArgs({"--verbose=1"}, specs, 0, a, error));
    EXPECT_EQ(error, "option '--verbose' takes no value");
    EXPECT_FALSE(ParseCommandArgs({"--count", "1"}, specs, 0, a, error));
    EXPECT_EQ(error, "unknown option '--count'");
    EXPECT_FALSE(ParseCommandArgs({"1", "2"}, specs, 1, a, error));
    EXPECT_EQ(error, "unexpected argument '2'");
}

TEST(CliApp, HelpVersionAndUsageErrors)
{
    TCliRun run = RunTool({"--version"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out, "lumora-cli 1.2.0\n");

    run = RunTool({"--help"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_TRUE(
        run.Out.startsWith("Usage: lumora-cli [--port COMn|N|PATH] [--json] [--trace] COMMAND [OPTIONS]\n"));
    for (const TCliCommand &c : CliCommands())
        EXPECT_TRUE(run.Out.contains("\n  " + c.Name.leftJustified(12) + c.Summary + "\n"))
            << c.Name.toStdString();

    // Each command's help, by --help after it or by `help COMMAND`.
    for (const TCliCommand &c : CliCommands()) {
        const TCliRun own = RunTool({c.Name, "--help"});
        EXPECT_EQ(own.Exit, 0);
        EXPECT_TRUE(
            own.Out.startsWith("Usage: lumora-cli [--port COMn|N|PATH] [--json] [--trace] " + c.Name));
        EXPECT_EQ(RunTool({"help", c.Name}).Out, own.Out);
    }
    EXPECT_TRUE(RunTool({"set", "--help"}).Out.contains("  --gateway A         the gateway IP address\n"));

    run = RunTool({});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: no command given\nTry 'lumora-cli --help'.\n");
    run = RunTool({"reboot"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: unknown command 'reboot'\nTry 'lumora-cli --help'.\n");
    run = RunTool({"info", "--count", "2"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: unknown option '--count'\nTry 'lumora-cli info --help'.\n");
    EXPECT_EQ(RunTool({"help", "reboot"}).Exit, 2);
}

} // namespace
