#include "cli/CliArgs.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

// Column where the help of an option starts.
constexpr int HelpColumn = 22;

bool IsNegativeNumber(const QString &Word)
{
    static const QRegularExpression number(QStringLiteral("^-[0-9.]+$"));
    return number.match(Word).hasMatch();
}

bool IsOption(const QString &Word)
{
    return Word.startsWith(QLatin1Char('-')) && Word.size() > 1 && !IsNegativeNumber(Word);
}

QString Dashed(const QString &Name)
{
    return (Name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + Name;
}

// The parser's error in the tool's words: "unknown option '--count'",
// "missing value after '--interval'".
QString ParserError(const QCommandLineParser &Parser)
{
    if (!Parser.unknownOptionNames().isEmpty())
        return QStringLiteral("unknown option '%1'").arg(Dashed(Parser.unknownOptionNames().front()));
    QString text = Parser.errorText();
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace

QString TCliOption::Key() const
{
    QString key;
    for (const QString &name : Names) {
        if (name.size() > key.size())
            key = name;
    }
    return key;
}

const std::vector<TCliOption> &GlobalOptions()
{
    static const std::vector<TCliOption> options = {
        {{"port"},
         "COMn|N|PATH",
         "use this port instead of the stored one (nothing is stored);\n"
         "COMn resolves as in the program (see 'lumora-cli ports')"},
        {{"json"}, {}, "print JSON instead of text"},
        {{"trace"}, {}, "print every frame written and every read on standard error"},
        {{"h", "help"}, {}, "show this help, or a command's help after the command"},
        {{"version"}, {}, "show the version"},
    };
    return options;
}

QString CommandWord(const QStringList &Args)
{
    for (qsizetype i = 0; i < Args.size(); ++i) {
        if (Args[i] == QLatin1String("--port"))
            ++i; // its value
        else if (!IsOption(Args[i]))
            return Args[i];
    }
    return QString();
}

bool ParseCliArgs(const QStringList &Args, const std::vector<TCliOption> &Options, int MaxOperands,
                  TGlobalArgs &Global, TCommandArgs &Command, QString &Error)
{
    Global = TGlobalArgs();
    Command = TCommandArgs();
    Global.Command = CommandWord(Args);

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    auto declare = [&](const std::vector<TCliOption> &List) {
        for (const TCliOption &o : List)
            parser.addOption(QCommandLineOption(o.Names, o.Help, o.ValueName));
    };
    declare(GlobalOptions());
    // Options of the command are not taken before its word.
    const qsizetype commandAt = Global.Command.isEmpty() ? Args.size() : Args.indexOf(Global.Command);
    for (qsizetype i = 0; i < commandAt; ++i) {
        bool global = false;
        for (const TCliOption &o : GlobalOptions()) {
            for (const QString &name : o.Names)
                global =
                    global || Args[i] == Dashed(name) || Args[i].startsWith(Dashed(name) + QLatin1Char('='));
        }
        if (IsOption(Args[i]) && !global) {
            Error = QStringLiteral("unknown option '%1'").arg(Args[i].section(QLatin1Char('='), 0, 0));
            return false;
        }
        if (Args[i] == QLatin1String("--port"))
            ++i;
    }
    declare(Options);

    // A negative number would read as an option: it stands in the parser's
    // list as a placeholder and is put back in the operands and values.
    QStringList words{QStringLiteral("lumora-cli")};
    QStringList negatives;
    for (const QString &word : Args) {
        if (IsNegativeNumber(word)) {
            words << QString(QChar(0xE000)) + QString::number(negatives.size());
            negatives << word;
        } else {
            words << word;
        }
    }
    auto restore = [&](const QString &Word) {
        if (Word.startsWith(QChar(0xE000)))
            return negatives.value(Word.mid(1).toInt());
        return Word;
    };
    if (!parser.parse(words)) {
        Error = ParserError(parser);
        return false;
    }

    Global.PortGiven = parser.isSet(QStringLiteral("port"));
    Global.Port = restore(parser.value(QStringLiteral("port")));
    if (Global.PortGiven && Global.Port.isEmpty()) {
        Error = QStringLiteral("option '--port' needs a value (COMn, a number or a device path)");
        return false;
    }
    Global.Json = parser.isSet(QStringLiteral("json"));
    Global.Trace = parser.isSet(QStringLiteral("trace"));
    Global.Help = parser.isSet(QStringLiteral("help"));
    Global.Version = parser.isSet(QStringLiteral("version"));

    QStringList operands = parser.positionalArguments();
    if (!operands.isEmpty())
        operands.removeFirst(); // the command word
    for (const QString &operand : operands) {
        if (Command.Operands.size() >= MaxOperands) {
            Error = QStringLiteral("unexpected argument '%1'").arg(restore(operand));
            return false;
        }
        Command.Operands << restore(operand);
    }
    for (const TCliOption &o : Options) {
        if (parser.isSet(o.Names.front()))
            Command.Values.insert(o.Key(), o.ValueName.isEmpty() ? QString(QLatin1String(""))
                                                                 : restore(parser.value(o.Names.front())));
    }
    return true;
}

QString OptionHelp(const std::vector<TCliOption> &Options)
{
    QString text;
    for (const TCliOption &o : Options) {
        QStringList names;
        for (const QString &name : o.Names)
            names << Dashed(name);
        QString left = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!o.ValueName.isEmpty())
            left += QLatin1Char(' ') + o.ValueName;
        left = left.size() + 2 > HelpColumn ? left + QStringLiteral("  ") : left.leftJustified(HelpColumn);
        text += left +
                QString(o.Help).replace(QLatin1Char('\n'), QLatin1Char('\n') + QString(HelpColumn, u' ')) +
                QLatin1Char('\n');
    }
    return text;
}

QString OptionSynopsis(const TCliOption &Option)
{
    QString part = Dashed(Option.Names.front());
    if (!Option.ValueName.isEmpty())
        part += QLatin1Char(' ') + Option.ValueName;
    return QLatin1Char('[') + part + QLatin1Char(']');
}
