#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Exit status of the tool.
enum TCliExit : int {
    CliExitOk = 0,     // success
    CliExitDevice = 1, // the device or the link failed, or the settings store could not be used
    CliExitUsage = 2,  // usage error or invalid input
    CliExitLimits = 3, // a value read lies outside the limits given with --limits
};

// The options that apply to every command; they may stand before or after
// the command word.
struct TGlobalArgs {
    QString Port; // as given to --port; empty when not given
    bool PortGiven = false;
    bool Json = false;
    bool Trace = false;
    bool Help = false;
    bool Version = false;
    QString Command;         // empty when no command word was given
    QStringList CommandArgs; // everything after the command word that is not a global option
};

// Splits the command line (without the program name). Returns false and
// fills Error on a usage error.
bool ParseGlobalArgs(const QStringList &args, TGlobalArgs &result, QString &error);

// One option a command accepts: "--interval" with a value, "--help" without.
struct TOptionSpec {
    TOptionSpec(QString name, bool takesValue = false, QString shortName = {})
        : Name(std::move(name)), TakesValue(takesValue), Short(std::move(shortName))
    {
    }
    QString Name;
    bool TakesValue = false;
    QString Short; // a one-letter form ("o" for "-o"); empty when none
};

// A command's own options and operands, parsed against its option list.
struct TCommandArgs {
    QMap<QString, QString> Values; // option name (without dashes) -> value ("" for flags)
    QStringList Operands;

    bool Has(const QString &name) const { return Values.contains(name); }
    QString Value(const QString &name) const { return Values.value(name); }
};

// Parses a command's arguments. Accepts "--name value" and "--name=value";
// a word that looks like a negative number is an operand. Returns false and
// fills Error on an unknown option, a missing value or too many operands.
bool ParseCommandArgs(const QStringList &args, const std::vector<TOptionSpec> &specs, int maxOperands,
                      TCommandArgs &result, QString &error);
