#include "cli/CliApp.h"
#include "cli/CliOutput.h"
#include "platform/process/ConsoleProcess.h"

#include <QStringList>

int main(int argc, char **argv)
{
    const QStringList args = StartConsoleProcess(argc, argv);
    TProcessOutput out;
    return out.Finish(RunCli(args, out));
}
