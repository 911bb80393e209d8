#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

// Exit status of the tool.
enum TCliExit : int {
    CliExitOk = 0,     // success
    CliExitDevice = 1, // the device or the link failed, or the settings store could not be used
    CliExitUsage = 2,  // usage error or invalid input
    CliExitLimits = 3, // a value read lies outside the limits given with --limits
};

// One option as declared: its names without dashes ("o", "output"), the name
// of its value (empty for a flag) and its help, whose later lines are
// indented under the first. The declaration is both what the parser accepts
// and what the help shows.
struct TCliOption {
    QStringList Names;
    QString ValueName;
    QString Help;

    // The name the option is known by in TCommandArgs: its longest name.
    QString Key() const;
};

// The options that apply to every command; they may stand before or after
// the command word.
const std::vector<TCliOption> &GlobalOptions();

struct TGlobalArgs {
    QString Port; // as given to --port; empty when not given
    bool PortGiven = false;
    bool Json = false;
    bool Trace = false;
    bool Help = false;
    bool Version = false;
    QString Command; // empty when no command word was given
};

// A command's own options and operands.
struct TCommandArgs {
    QMap<QString, QString> Values; // option key -> value ("" for flags)
    QStringList Operands;

    bool Has(const QString &name) const { return Values.contains(name); }
    QString Value(const QString &name) const { return Values.value(name); }
};

// The word naming the command: the first word that is neither a global
// option nor the value of one. Empty when there is none.
QString CommandWord(const QStringList &Args);

// Parses the command line (without the program name) with the global
// options and Options, the options of the command Global.Command names.
// Accepts "--name value", "--name=value" and "-o value"; a word that looks
// like a negative number is an operand. Returns false and fills Error on an
// unknown option, a missing value or more than MaxOperands operands.
bool ParseCliArgs(const QStringList &Args, const std::vector<TCliOption> &Options, int MaxOperands,
                  TGlobalArgs &Global, TCommandArgs &Command, QString &Error);

// The option lines of a help text: "  -o, --output FILE   help".
QString OptionHelp(const std::vector<TCliOption> &Options);
// An option in a usage line: "[-o FILE]", "[--once]".
QString OptionSynopsis(const TCliOption &Option);
