#include "cli/CliArgs.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

bool IsNegativeNumber(const QString &word)
{
    static const QRegularExpression number(QStringLiteral("^-[0-9.]+$"));
    return number.match(word).hasMatch();
}

bool IsOption(const QString &word)
{
    return word.startsWith(QLatin1Char('-')) && word.size() > 1 && !IsNegativeNumber(word);
}

// Splits "--name=value" into its two halves; Value stays null without "=".
void SplitOption(const QString &word, QString &name, QString &value)
{
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    if (eq < 0) {
        name = word;
        value = QString();
    } else {
        name = word.left(eq);
        value = word.mid(eq + 1);
    }
}

} // namespace

bool ParseGlobalArgs(const QStringList &args, TGlobalArgs &result, QString &error)
{
    result = TGlobalArgs();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &word = args[i];
        QString name, value;
        SplitOption(word, name, value);
        if (name == QLatin1String("--port")) {
            if (value.isNull()) {
                if (i + 1 >= args.size()) {
                    error = QStringLiteral("option '--port' needs a value (COMn, a number or a device path)");
                    return false;
                }
                value = args[++i];
            }
            if (value.isEmpty()) {
                error = QStringLiteral("option '--port' needs a value (COMn, a number or a device path)");
                return false;
            }
            result.Port = value;
            result.PortGiven = true;
        } else if (word == QLatin1String("--json")) {
            result.Json = true;
        } else if (word == QLatin1String("--trace")) {
            result.Trace = true;
        } else if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            result.Help = true;
        } else if (word == QLatin1String("--version") && result.Command.isEmpty()) {
            result.Version = true;
        } else if (result.Command.isEmpty()) {
            if (IsOption(word)) {
                error = QStringLiteral("unknown option '%1'").arg(word);
                return false;
            }
            result.Command = word;
        } else {
            result.CommandArgs << word;
        }
    }
    return true;
}

bool ParseCommandArgs(const QStringList &args, const std::vector<TOptionSpec> &specs, int maxOperands,
                      TCommandArgs &result, QString &error)
{
    result = TCommandArgs();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &word = args[i];
        if (!IsOption(word)) {
            if (result.Operands.size() >= maxOperands) {
                error = QStringLiteral("unexpected argument '%1'").arg(word);
                return false;
            }
            result.Operands << word;
            continue;
        }
        QString name, value;
        SplitOption(word, name, value);
        const auto spec = std::find_if(specs.begin(), specs.end(), [&](const TOptionSpec &s) {
            return QLatin1String("--") + s.Name == name ||
                   (!s.Short.isEmpty() && QLatin1String("-") + s.Short == name);
        });
        if (spec == specs.end()) {
            error = QStringLiteral("unknown option '%1'").arg(name);
            return false;
        }
        if (spec->TakesValue) {
            if (value.isNull()) {
                if (i + 1 >= args.size()) {
                    error = QStringLiteral("option '%1' needs a value").arg(name);
                    return false;
                }
                value = args[++i];
            }
        } else if (!value.isNull()) {
            error = QStringLiteral("option '%1' takes no value").arg(name);
            return false;
        } else {
            value = QLatin1String("");
        }
        result.Values.insert(spec->Name, value);
    }
    return true;
}
