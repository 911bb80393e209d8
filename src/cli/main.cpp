#include "cli/CliApp.h"
#include "cli/CliOutput.h"

#include <QStringList>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    TProcessOutput out;
    return out.Finish(RunCli(args, out));
}
