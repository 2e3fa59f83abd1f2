#include "cli/Options.h"

#include "output/ExportState.h"
#include "output/SelectionMath.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>
#include <iterator>

namespace lumiset::cli {

const char* const kUsage = "Usage: lumiset-cli info IMAGE\n"
                           "       lumiset-cli export IMAGE [--from COL,ROW] [--to COL,ROW]\n"
                           "                   [--measure red|green|blue|mean|max|luma[,...]] [--weights R,G,B]\n"
                           "                   [--csv FILE] [--xlsx FILE] [--fill] [--locale NAME] [--progress]\n"
                           "       lumiset-cli --help\n"
                           "\n"
                           "info IMAGE   Opens IMAGE (BMP, TGA, PNG, JPEG, TIFF, GIF, WebP or PNM) as the\n"
                           "             Lumiset open window does with \"Показывать файл\" ticked and prints,\n"
                           "             in UTF-8 with LF line ends:\n"
                           "               the file report, one line per line;\n"
                           "               a line \"--\";\n"
                           "               \"size: \" and the size label;\n"
                           "               \"notice: \" and the notice, when one is shown;\n"
                           "               \"message: \" title \" | \" text, for each message box, in order;\n"
                           "               \"export: yes\" or \"export: no\": whether the picture can be exported.\n"
                           "             Line breaks inside a notice or message are written as \" | \".\n"
                           "\n"
                           "Exit status: 0 the file was opened (whatever its kind), 1 it cannot be opened\n"
                           "at all (the reason goes to standard error), 2 usage error.\n"
                           "\n"
                           "export IMAGE  Opens IMAGE as info does, reads its pixels and writes the region\n"
                           "             as the Lumiset export window does:\n"
                           "  --from COL,ROW  first point, 1-based, row 1 at the top (default 1,1)\n"
                           "  --to COL,ROW    last point, inclusive (default: 20,20 or the picture's edge)\n"
                           "  --measure M     red, green, blue, mean, max or luma (default: mean for\n"
                           "                  8-bit pictures, red for 24-bit ones); a grey region always\n"
                           "                  writes the red component; with --xlsx a comma-separated\n"
                           "                  list writes one worksheet per measure (Красный, Зелёный,\n"
                           "                  Синий, Среднее, Максимум, Яркость)\n"
                           "  --weights R,G,B luminance weights, \".\" or \",\" as decimal separator\n"
                           "                  (default 0.299,0.587,0.114; quote them when using \",\")\n"
                           "  --csv FILE      the semicolon-separated file of the CSV button (windows-1251,\n"
                           "                  CR LF), naming the picture's file in its first description line\n"
                           "  --xlsx FILE     the worksheet of the spreadsheet export, written to FILE and\n"
                           "                  not opened\n"
                           "  --fill          colour the worksheet's cells like their points\n"
                           "  --locale NAME   locale whose decimal separator is used, e.g. ru_RU, en_US\n"
                           "                  (default: the user's locale)\n"
                           "  --progress      print a progress line to standard error during long writes\n"
                           "Exit status: 0 written, 1 the picture cannot be exported (reason on standard\n"
                           "error), 2 usage error or a region outside the picture, first after last or\n"
                           "wider than 16384 columns, a measure list with --csv, 3 an output file could\n"
                           "not be written.\n";

namespace {

// The option names double as the words of the usage text; the descriptions
// live there, as QCommandLineParser's own help is never shown.
QCommandLineOption valueOption(const char* name, const char* valueName)
{
    return QCommandLineOption(QLatin1String(name), QString(), QLatin1String(valueName));
}

QCommandLineOption flagOption(const char* name)
{
    return QCommandLineOption(QLatin1String(name));
}

// A word of the command line that is no option, value or allowed argument,
// told the way the tool has always told it: the last word may be an option
// missing its value, so both are named.
QString strayWordError(const QStringList& args, qsizetype stray)
{
    if (stray == args.size() - 1)
        return QStringLiteral("missing value or unknown option: ") + args[stray];
    return QStringLiteral("unknown option: ") + args[stray];
}

bool takesValue(const QList<QCommandLineOption>& options, const QString& name)
{
    for (const QCommandLineOption& o : options)
        if (o.names().contains(name))
            return !o.valueName().isEmpty();
    return false;
}

} // namespace

QString parseOptions(QCommandLineParser& parser, const QList<QCommandLineOption>& options, const QStringList& args,
                     bool argumentsAllowed)
{
    parser.addOptions(options);
    const bool parsed = parser.parse(QStringList{QString()} + args); // after the program's name
    // The parser's findings, matched word for word: an option is "--name" (or
    // "-n") and its value the next word. "--name=VALUE" and a "--" that ends the
    // options, which QCommandLineParser would also take, are no part of the syntax.
    const QStringList found = parser.optionNames();
    const QStringList arguments = argumentsAllowed ? parser.positionalArguments() : QStringList();
    qsizetype nextOption = 0;
    qsizetype nextArgument = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (nextOption < found.size()
            && args[i]
                == (found[nextOption].size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + found[nextOption]) {
            if (takesValue(options, found[nextOption++]) && ++i == args.size())
                return strayWordError(args, i - 1);
        } else if (nextArgument < arguments.size() && args[i] == arguments[nextArgument]) {
            ++nextArgument;
        } else {
            return strayWordError(args, i);
        }
    }
    return parsed ? QString() : strayWordError(args, args.size() - 1);
}

namespace {

// "COL,ROW" as two whole numbers.
std::optional<PointArg> parsePoint(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    bool okColumn = false;
    bool okRow = false;
    const PointArg point{parts[0].trimmed().toInt(&okColumn), parts[1].trimmed().toInt(&okRow)};
    if (!okColumn || !okRow)
        return std::nullopt;
    return point;
}

// "R,G,B". Decimal commas make that list ambiguous, so six comma-separated
// parts are read as three weights with decimal commas ("0,3,0,5,0,2"), and the
// weights may be separated by ";" instead.
std::optional<std::array<float, 3>> parseWeights(const QString& text)
{
    QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() != 3) {
        const QStringList commaParts = text.split(QLatin1Char(','));
        if (commaParts.size() == 3)
            parts = commaParts;
        else if (commaParts.size() == 6)
            parts = {commaParts[0] + QLatin1Char(',') + commaParts[1], commaParts[2] + QLatin1Char(',') + commaParts[3],
                     commaParts[4] + QLatin1Char(',') + commaParts[5]};
        else
            return std::nullopt;
    }
    std::array<float, 3> weights{};
    for (int i = 0; i < 3; ++i) {
        const ParsedWeight w = parseWeight(parts[i]);
        if (w.kind != WeightInput::Number)
            return std::nullopt;
        weights[std::size_t(i)] = w.value;
    }
    return weights;
}

// The names of the export window's measures, in the order of their numbers.
const char* const kMeasureNames[] = {"red", "green", "blue", "mean", "max", "luma"};
static_assert(std::size(kMeasureNames) == MeasureLuminance);

} // namespace

Parsed<ExportRequest> parseExport(const QStringList& args)
{
    Parsed<ExportRequest> parsed;
    ExportRequest& r = parsed.request;
    r.image = args.value(0); // even when it starts with "-"
    const QStringList rest = args.mid(1);

    const QCommandLineOption from = valueOption("from", "COL,ROW");
    const QCommandLineOption to = valueOption("to", "COL,ROW");
    const QCommandLineOption measure = valueOption("measure", "M");
    const QCommandLineOption weights = valueOption("weights", "R,G,B");
    const QCommandLineOption csv = valueOption("csv", "FILE");
    const QCommandLineOption xlsx = valueOption("xlsx", "FILE");
    const QCommandLineOption locale = valueOption("locale", "NAME");
    const QCommandLineOption fill = flagOption("fill");
    const QCommandLineOption progress = flagOption("progress");
    QCommandLineParser parser;
    parsed.usageError = parseOptions(parser, {from, to, measure, weights, csv, xlsx, locale, fill, progress}, rest,
                                     false);
    if (!parsed.usageError.isEmpty())
        return parsed;

    // An option given twice counts the last time, but each value must be valid.
    for (const QString& value : parser.values(from)) {
        r.from = parsePoint(value);
        if (!r.from)
            return {r, QStringLiteral("--from wants COL,ROW")};
    }
    for (const QString& value : parser.values(to)) {
        r.to = parsePoint(value);
        if (!r.to)
            return {r, QStringLiteral("--to wants COL,ROW")};
    }
    for (const QString& value : parser.values(weights)) {
        r.weights = parseWeights(value);
        if (!r.weights)
            return {r, QStringLiteral("--weights wants three numbers R,G,B")};
    }

    const QString measureList = parser.value(measure);
    for (const QString& name : measureList.isEmpty() ? QStringList() : measureList.split(QLatin1Char(','))) {
        const auto* found = std::find_if(std::begin(kMeasureNames), std::end(kMeasureNames),
                                         [&name](const char* known) { return name == QLatin1String(known); });
        if (found == std::end(kMeasureNames))
            return {r, QStringLiteral("unknown measure: ") + name};
        r.measures.push_back(int(found - std::begin(kMeasureNames)) + 1);
    }
    r.csvPath = parser.value(csv);
    r.xlsxPath = parser.value(xlsx);
    if (r.measures.size() > 1 && !r.csvPath.isEmpty())
        return {r, QStringLiteral("a list of measures needs --xlsx, not --csv")};
    r.localeName = parser.value(locale);
    r.fill = parser.isSet(fill);
    r.progress = parser.isSet(progress);
    return parsed;
}

} // namespace lumiset::cli
