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
                           "                   [--layout table|long] [--encoding windows-1251|utf-8] [--summary]\n"
                           "       lumiset-cli stats IMAGE... [--from COL,ROW] [--to COL,ROW]\n"
                           "                   [--measure red|green|blue|mean|max|luma[,...]] [--weights R,G,B]\n"
                           "                   [--csv FILE | --xlsx FILE] [--encoding windows-1251|utf-8]\n"
                           "                   [--locale NAME] [--progress]\n"
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
                           "  --layout L      table (default) or long: a heading line, then a line (a\n"
                           "                  worksheet row) per point, X;Y;values, row by row; any width\n"
                           "                  with --csv, at most 1048572 points with --xlsx; a measure\n"
                           "                  list gives a column per measure, with --csv too\n"
                           "  --encoding E    of the CSV file: windows-1251 (default) or utf-8 (the same\n"
                           "                  text after a byte-order mark)\n"
                           "  --summary       with --xlsx, adds the sheet \"Сводка\": what was measured,\n"
                           "                  the statistics of each measure, its histogram and a chart\n"
                           "Exit status: 0 written, 1 the picture cannot be exported (reason on standard\n"
                           "error), 2 usage error or a region outside the picture, first after last or\n"
                           "wider than 16384 columns, a measure list with --csv, 3 an output file could\n"
                           "not be written.\n"
                           "\n"
                           "stats IMAGE...  Opens each IMAGE as export does and prints the statistics of\n"
                           "             the values the table files write for its region, in UTF-8 with\n"
                           "             LF line ends: the header line\n"
                           "               file width height from to measure points min max mean sd median\n"
                           "             (tab-separated), then a line per picture and measure: the file as\n"
                           "             given, the picture's size, the region's first and last point as\n"
                           "             COL,ROW, the measure (red ... luma, or grey: a grey region gives\n"
                           "             one line whatever the measures), the number of points, the\n"
                           "             minimum, maximum, mean, sample standard deviation and median.\n"
                           "             Numbers have a decimal point whatever the locale; min, max and\n"
                           "             median are written as the table files write values (a median\n"
                           "             between two values may take one more decimal: 12.5), mean and sd\n"
                           "             with four decimals; sd is empty for a single point.\n"
                           "  --from, --to    as for export, default the whole picture; a region beyond a\n"
                           "                  picture is clipped to it\n"
                           "  --measure LIST  one or more measures (default as for export)\n"
                           "  --csv FILE      the table as a CSV file instead (\";\", CR LF, Russian\n"
                           "                  headings, the region's columns and rows as numbers of their\n"
                           "                  own, the locale's decimal separator)\n"
                           "  --xlsx FILE     the table as a worksheet of numbers instead\n"
                           "  --weights, --encoding, --locale, --progress   as for export\n"
                           "Exit status: 0 every picture read, 1 a picture skipped (it cannot be exported,\n"
                           "or the region begins beyond it; the reason on standard error, the others go\n"
                           "on), 2 usage error, 3 the output file could not be written.\n";

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

namespace {

// The options export and stats share, read into either request.
struct SharedOptions {
    QCommandLineOption from = valueOption("from", "COL,ROW");
    QCommandLineOption to = valueOption("to", "COL,ROW");
    QCommandLineOption measure = valueOption("measure", "M");
    QCommandLineOption weights = valueOption("weights", "R,G,B");
    QCommandLineOption csv = valueOption("csv", "FILE");
    QCommandLineOption xlsx = valueOption("xlsx", "FILE");
    QCommandLineOption locale = valueOption("locale", "NAME");
    QCommandLineOption encoding = valueOption("encoding", "E");
    QCommandLineOption progress = flagOption("progress");

    QList<QCommandLineOption> list() const
    {
        return {from, to, measure, weights, csv, xlsx, locale, encoding, progress};
    }

    // The values of the shared options; the usage error of the first that is wrong.
    template <class Request> QString read(const QCommandLineParser& parser, Request& r) const
    {
        // An option given twice counts the last time, but each value must be valid.
        for (const QString& value : parser.values(from)) {
            r.from = parsePoint(value);
            if (!r.from)
                return QStringLiteral("--from wants COL,ROW");
        }
        for (const QString& value : parser.values(to)) {
            r.to = parsePoint(value);
            if (!r.to)
                return QStringLiteral("--to wants COL,ROW");
        }
        for (const QString& value : parser.values(weights)) {
            r.weights = parseWeights(value);
            if (!r.weights)
                return QStringLiteral("--weights wants three numbers R,G,B");
        }
        const QString measureList = parser.value(measure);
        for (const QString& name : measureList.isEmpty() ? QStringList() : measureList.split(QLatin1Char(','))) {
            const auto* found = std::find_if(std::begin(kMeasureNames), std::end(kMeasureNames),
                                             [&name](const char* known) { return name == QLatin1String(known); });
            if (found == std::end(kMeasureNames))
                return QStringLiteral("unknown measure: ") + name;
            r.measures.push_back(int(found - std::begin(kMeasureNames)) + 1);
        }
        for (const QString& value : parser.values(encoding)) {
            if (value != QLatin1String("windows-1251") && value != QLatin1String("utf-8"))
                return QStringLiteral("--encoding wants windows-1251 or utf-8");
            r.encoding = value == QLatin1String("utf-8") ? CsvEncoding::Utf8 : CsvEncoding::Windows1251;
        }
        r.csvPath = parser.value(csv);
        r.xlsxPath = parser.value(xlsx);
        r.localeName = parser.value(locale);
        r.progress = parser.isSet(progress);
        return {};
    }
};

} // namespace

QString measureWord(int measure)
{
    return measure >= 1 && measure <= int(std::size(kMeasureNames)) ? QLatin1String(kMeasureNames[measure - 1])
                                                                    : QString();
}

Parsed<ExportRequest> parseExport(const QStringList& args)
{
    Parsed<ExportRequest> parsed;
    ExportRequest& r = parsed.request;
    r.image = args.value(0); // even when it starts with "-"

    const SharedOptions shared;
    const QCommandLineOption layout = valueOption("layout", "L");
    const QCommandLineOption fill = flagOption("fill");
    const QCommandLineOption summary = flagOption("summary");
    QCommandLineParser parser;
    parsed.usageError = parseOptions(parser, shared.list() + QList{layout, fill, summary}, args.mid(1), false);
    if (parsed.usageError.isEmpty())
        parsed.usageError = shared.read(parser, r);
    if (!parsed.usageError.isEmpty())
        return parsed;

    for (const QString& value : parser.values(layout)) {
        if (value != QLatin1String("table") && value != QLatin1String("long"))
            return {r, QStringLiteral("--layout wants table or long")};
        r.layout = value == QLatin1String("long") ? TableLayout::Long : TableLayout::Table;
    }
    r.fill = parser.isSet(fill);
    r.summary = parser.isSet(summary);
    // The long layout gives each measure a column; the table layout a worksheet.
    if (r.measures.size() > 1 && !r.csvPath.isEmpty() && r.layout == TableLayout::Table)
        return {r, QStringLiteral("a list of measures needs --xlsx, not --csv")};
    if (r.summary && r.xlsxPath.isEmpty())
        return {r, QStringLiteral("--summary is a sheet of the workbook: it needs --xlsx")};
    return parsed;
}

Parsed<StatsRequest> parseStats(const QStringList& args)
{
    Parsed<StatsRequest> parsed;
    StatsRequest& r = parsed.request;
    const SharedOptions shared;
    QCommandLineParser parser;
    parsed.usageError = parseOptions(parser, shared.list(), args, true);
    if (parsed.usageError.isEmpty())
        parsed.usageError = shared.read(parser, r);
    if (!parsed.usageError.isEmpty())
        return parsed;
    r.images = parser.positionalArguments();
    if (r.images.isEmpty())
        return {r, QStringLiteral("stats wants at least one IMAGE")};
    if (!r.csvPath.isEmpty() && !r.xlsxPath.isEmpty())
        return {r, QStringLiteral("stats writes one file: --csv or --xlsx")};
    // Clipped to each picture later; points no picture has are mistakes.
    for (const auto& point : {r.from, r.to})
        if (point && (point->column < 1 || point->row < 1))
            return {r, QStringLiteral("--from and --to count from 1,1")};
    if (r.from && r.to && (r.from->column > r.to->column || r.from->row > r.to->row))
        return {r, QStringLiteral("the region ends before it begins")};
    return parsed;
}

} // namespace lumiset::cli
