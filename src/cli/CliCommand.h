#pragma once

#include "cli/CliArgs.h"
#include "cli/CliOutput.h"

#include <QString>

#include <vector>

class TFleetLink;
class TJournal;
class TLimits;
struct TDeviceInfo;
struct TWriteOutcome;
struct TWriteRequest;

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
    int DeviceFailure(const TFleetLink &Link) const;
    // Names the processes holding the device at Path on standard error when
    // it is busy and they can be seen.
    void NameHolders(const QString &Path) const;
    // Opens the chosen port (--port, else the stored one). On failure prints
    // why and returns false with Exit set.
    bool OpenLink(TFleetLink &Link, int &Exit) const;
    // Opens the port and reads the information record into Info. On failure
    // prints why and returns false with Exit set.
    bool ReadDeviceInfo(TFleetLink &Link, TDeviceInfo &Info, int &Exit) const;
};

// Opens the journal a writing command records into (--journal FILE, else the
// default one) before anything is sent. On failure prints why and returns
// false with Exit set: nothing may be written without its record.
bool OpenCommandJournal(const TCliContext &Context, TJournal &Journal, int &Exit);

// The start of a single write (`set`, `restore`): opens the journal, then the
// port, and reads the unit into Request.Before. On failure prints why and
// returns false with Exit set; nothing has been sent.
bool StartCommandWrite(const TCliContext &Context, TJournal &Journal, TFleetLink &Link,
                       TWriteRequest &Request, int &Exit);

// Prints the outcome of a `set` or `restore`: the link's status (or with
// --json an object with the port, status, verdict and settings sent), or the
// failure on standard error. Returns the exit status.
int ReportWrite(const TCliContext &Context, const TFleetLink &Link, const TWriteOutcome &Outcome);

// Reads what `params` and `watch` judge by: the limits of --limits FILE and,
// when a limit holds for one device type only, the unit's type (command 0,
// read once). Returns false with Exit set on failure.
bool PrepareLimits(const TCliContext &Context, TFleetLink &Link, TLimits &Limits, int &DeviceType, int &Exit);

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
