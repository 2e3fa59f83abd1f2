// lumiset-cli: the batch front end. A command word picks what to do; the
// arguments after it belong to that command.

#include "Version.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "image/Language.h"
#include "output/StandardStreams.h"
#include "output/XlsxWorkbook.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

using namespace lumiset::cli;

// A command line that names no command, or a command without its IMAGE.
int showUsageError()
{
    lumiset::writeText(stderr, QString::fromUtf8(kUsage));
    return kExitUsage;
}

int runInfo(const QStringList& args)
{
    if (args.size() != 1)
        return showUsageError();
    return infoCommand(args.first());
}

int runExport(const QStringList& args)
{
    if (args.isEmpty())
        return showUsageError();
    const Parsed<ExportRequest> parsed = parseExport(args);
    if (!parsed.usageError.isEmpty())
        return usageError(parsed.usageError);
    return exportCommand(parsed.request);
}

int runStats(const QStringList& args)
{
    if (args.isEmpty())
        return showUsageError();
    const Parsed<StatsRequest> parsed = parseStats(args);
    if (!parsed.usageError.isEmpty())
        return usageError(parsed.usageError);
    return statsCommand(parsed.request);
}

struct Command {
    const char* name;
    int (*run)(const QStringList& args); ///< the arguments after the command word
};

const Command kCommands[] = {
    {"info", runInfo},
    {"export", runExport},
    {"stats", runStats},
};

} // namespace

int main(int argc, char* argv[])
{
    lumiset::prepareStandardStreams();
    QCoreApplication app(argc, argv);
    lumiset::keepCNumberFormatting();
    QStringList arguments = app.arguments().mid(1);
    // --language CODE may stand anywhere; it chooses the language of the texts
    // the program reports (the usage text and the keys stay as they are).
    std::optional<lumiset::Language> asked;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != QLatin1String("--language"))
            continue;
        asked = lumiset::languageNamed(arguments.value(i + 1));
        if (!asked)
            return showUsageError();
        arguments.remove(i, 2);
        break;
    }
    lumiset::useLanguage(lumiset::chosenLanguage(asked), false);

    QCommandLineParser parser;
    // Everything after the command word is the command's own.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    if (!parseOptions(parser, {help, version}, arguments, true).isEmpty())
        return showUsageError();
    const QStringList words = parser.positionalArguments();
    const QStringList given = parser.optionNames();
    if (words.isEmpty() && given.size() == 1 && parser.isSet(help)) {
        lumiset::writeText(stdout, QString::fromUtf8(kUsage));
        return kExitOk;
    }
    if (words.isEmpty() && given.size() == 1 && parser.isSet(version)) {
        printLine(QStringLiteral("lumiset-cli ") + QLatin1String(lumiset::kVersionText));
        return kExitOk;
    }
    for (const Command& command : kCommands)
        if (given.isEmpty() && !words.isEmpty() && words.first() == QLatin1String(command.name))
            return command.run(words.mid(1));
    return showUsageError();
}
