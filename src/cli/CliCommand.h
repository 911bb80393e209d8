#pragma once

#include "cli/CliArgs.h"
#include "cli/CliOutput.h"
#include "fleet/SingleWrite.h"

#include <QString>

#include <functional>
#include <vector>

class TFleetLink;
class TJournal;
class TLimits;
struct TDeviceInfo;

// What a command runs with: the output, the global options and its own
// parsed options and operands.
struct TCliContext {
    TCliOutput &Out;
    TGlobalArgs Global;
    TCommandArgs Args;

    // Prints the error Message and the hint to the command's help on
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

// The journal a command reads or records into: --journal FILE, else the
// default one. Empty with Error set when there is no folder for the default.
QString CommandJournalPath(const TCliContext &Context, QString &Error);

// Opens the journal a writing command records into (--journal FILE, else the
// default one) before anything is sent. On failure prints why and returns
// false with Exit set: nothing may be written without its record.
bool OpenCommandJournal(const TCliContext &Context, TJournal &Journal, int &Exit);

// Whether the writes of a command are read back (no --no-verify).
bool VerifyWrites(const TCliContext &Context);

// A single write (`set`, `restore`) of the port chosen: the library's
// RunSingleWrite with the command's options. Prints the outcome and returns
// the exit status; a unit Prepare refuses gets its message and the usage
// status.
int WriteOneUnit(TCliContext &Context, const QString &Command, const TPrepareWrite &Prepare);

// Reads what `params` and `watch` judge by: the limits of --limits FILE and,
// when a limit holds for one device type only, the unit's type (command 0,
// read once). Returns false with Exit set on failure.
bool PrepareLimits(const TCliContext &Context, TFleetLink &Link, TLimits &Limits, int &DeviceType, int &Exit);

using TCommandRun = int (*)(TCliContext &Context);

// One command of the tool: its options, declared once for the parser and
// the help, and its help.
struct TCliCommand {
    QString Name;
    QString Operands; // the operands in the usage line ("FILE", "[PORT...]")
    QString Summary;  // one line for the overview
    QString Help;     // the paragraphs of `lumora-cli COMMAND --help` before the options
    std::vector<TCliOption> Options;
    int MaxOperands = 0;
    TCommandRun Run = nullptr;
};

// The commands whose words differ between the systems, from PortsCommand.cpp
// and PortMapCommand.cpp or their _win twins: `ports` (where the COM numbers
// come from) and `port` (where the number is stored, whether COM numbers can
// be pinned); and the default journal's place as the help writes it.
TCliCommand PortsCommand();
TCliCommand PortCommand();
QString JournalPlaceText();

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
