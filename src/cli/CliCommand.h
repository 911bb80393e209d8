#pragma once

#include "cli/CliArgs.h"
#include "cli/CliOutput.h"

#include <QString>

#include <vector>

class TCliLink;
struct TDeviceInfo;

// What a command runs with: the output, the global options and its own
// parsed options and operands.
struct TCliContext {
    TCliOutput &Out;
    TGlobalArgs Global;
    TCommandArgs Args;

    // Prints "lumora-cli: <Message>" and the hint to the command's help on
    // standard error; returns the usage exit status.
    int Usage(const QString &Message) const;
    // Prints the link's last status text on standard error; returns the
    // device exit status.
    int DeviceFailure(const TCliLink &Link) const;
    // Names the processes holding the device at Path on standard error when
    // it is busy and they can be seen.
    void NameHolders(const QString &Path) const;
    // Opens the chosen port (--port, else the stored one). On failure prints
    // why and returns false with Exit set.
    bool OpenLink(TCliLink &Link, int &Exit) const;
    // Opens the port and reads the information record into Info (and
    // DeviceInfo). On failure prints why and returns false with Exit set.
    bool ReadDeviceInfo(TCliLink &Link, TDeviceInfo &Info, int &Exit) const;
};

using TCommandRun = int (*)(TCliContext &Context);

// One command of the tool with its options and help.
struct TCliCommand {
    QString Name;
    QString Synopsis; // the options after the command word
    QString Summary;  // one line for the overview
    QString Help;     // the paragraphs of `lumora-cli COMMAND --help`
    std::vector<TOptionSpec> Options;
    int MaxOperands = 0;
    TCommandRun Run = nullptr;
};

int RunInfo(TCliContext &Context);
int RunParams(TCliContext &Context);
int RunWatch(TCliContext &Context);
int RunSet(TCliContext &Context);
int RunPorts(TCliContext &Context);
int RunPort(TCliContext &Context);
int RunBackup(TCliContext &Context);
int RunRestore(TCliContext &Context);
int RunCommission(TCliContext &Context);
int RunReport(TCliContext &Context);
int RunScan(TCliContext &Context);
