#include "CliRun.h"
#include "cli/CliArgs.h"

#include <gtest/gtest.h>

namespace {

const std::vector<TCliOption> WatchLike = {{{"interval"}, "SECONDS", "h"}, {{"v", "verbose"}, {}, "h"}};

TEST(CliArgs, GlobalOptionsStandBeforeOrAfterTheCommand)
{
    TGlobalArgs g;
    TCommandArgs a;
    QString error;
    ASSERT_TRUE(ParseCliArgs({"--json", "watch", "--interval", "3", "--port=/dev/ttyUSB0", "--trace"},
                             WatchLike, 0, g, a, error))
        << error.toStdString();
    EXPECT_TRUE(g.Json);
    EXPECT_TRUE(g.Trace);
    EXPECT_TRUE(g.PortGiven);
    EXPECT_EQ(g.Port, "/dev/ttyUSB0");
    EXPECT_EQ(g.Command, "watch");
    EXPECT_EQ(a.Value("interval"), "3");

    ASSERT_TRUE(ParseCliArgs({"--port", "COM2", "info", "--help"}, {}, 0, g, a, error));
    EXPECT_EQ(g.Port, "COM2");
    EXPECT_TRUE(g.Help);
    EXPECT_EQ(g.Command, "info");

    EXPECT_FALSE(ParseCliArgs({"info", "--port"}, {}, 0, g, a, error));
    EXPECT_FALSE(ParseCliArgs({"--port=", "info"}, {}, 0, g, a, error));
    EXPECT_FALSE(ParseCliArgs({"--frobnicate", "info"}, {}, 0, g, a, error));
    EXPECT_EQ(error, "unknown option '--frobnicate'");
    EXPECT_FALSE(ParseCliArgs({"--interval", "1", "watch"}, WatchLike, 0, g, a, error))
        << "a command's option stands after the command";
}

TEST(CliArgs, CommandOptionsAndOperands)
{
    TGlobalArgs g;
    TCommandArgs a;
    QString error;
    ASSERT_TRUE(ParseCliArgs({"watch", "--interval", "0.5", "-v"}, WatchLike, 0, g, a, error));
    EXPECT_EQ(a.Value("interval"), "0.5");
    EXPECT_TRUE(a.Has("verbose"));
    ASSERT_TRUE(ParseCliArgs({"watch", "--interval=2"}, WatchLike, 0, g, a, error));
    EXPECT_EQ(a.Value("interval"), "2");
    EXPECT_FALSE(a.Has("verbose"));
    // A negative number is an operand or a value, so that it can be refused
    // with a clear message.
    ASSERT_TRUE(ParseCliArgs({"port", "-3"}, {}, 1, g, a, error));
    EXPECT_EQ(a.Operands, QStringList{"-3"});
    ASSERT_TRUE(ParseCliArgs({"watch", "--interval", "-1"}, WatchLike, 0, g, a, error));
    EXPECT_EQ(a.Value("interval"), "-1");

    EXPECT_FALSE(ParseCliArgs({"watch", "--interval"}, WatchLike, 0, g, a, error));
    EXPECT_EQ(error, "missing value after '--interval'");
    EXPECT_FALSE(ParseCliArgs({"watch", "--count", "1"}, WatchLike, 0, g, a, error));
    EXPECT_EQ(error, "unknown option '--count'");
    EXPECT_FALSE(ParseCliArgs({"port", "1", "2"}, {}, 1, g, a, error));
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
