#pragma once

// The command line of lumiset-cli: its usage text, its commands and the options
// each of them takes. Parsing only reads the arguments; nothing is opened here.

#include "output/OutputOptions.h"

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

class QCommandLineParser;

namespace lumiset::cli {

constexpr int kExitOk = 0;
constexpr int kExitCannotOpen = 1;
constexpr int kExitUsage = 2;
constexpr int kExitWriteFailed = 3;

/// The text of `lumiset-cli --help`, also shown on standard error when the
/// command line names no known command.
extern const char* const kUsage;

/// A point of the picture as the user numbers it: 1-based, row 1 at the top.
struct PointArg {
    int column = 0;
    int row = 0;
};

/// What `lumiset-cli export IMAGE ...` asks for.
struct ExportRequest {
    QString image;
    std::optional<PointArg> from;
    std::optional<PointArg> to;
    std::vector<int> measures; ///< the export window's measure numbers; empty: the picture's default
    std::optional<std::array<float, 3>> weights;
    QString csvPath;
    QString xlsxPath;
    QString localeName;
    bool fill = false;
    bool progress = false;
    TableLayout layout = TableLayout::Table;
    CsvEncoding encoding = CsvEncoding::Windows1251;
    bool summary = false; ///< the workbook gets the sheet "Сводка"
};

/// What `lumiset-cli stats IMAGE... ` asks for. Without a file the table goes
/// to standard output.
struct StatsRequest {
    QStringList images;
    std::optional<PointArg> from; ///< default 1,1
    std::optional<PointArg> to;   ///< default the picture's last point; clipped to each picture
    std::vector<int> measures;    ///< empty: each picture's default
    std::optional<std::array<float, 3>> weights;
    QString csvPath;
    QString xlsxPath;
    QString localeName;
    CsvEncoding encoding = CsvEncoding::Windows1251;
    bool progress = false;
};

/// A request read from the command line, or why it cannot be read.
template <class Request> struct Parsed {
    Request request;
    QString usageError; ///< empty when the request is complete
};

/// Parses \a args (the words after the program's or the command's name) into
/// \a parser, which gets \a options. Returns the usage error that names the
/// first word out of place, or an empty string. Arguments other than options
/// are left in the parser when \a argumentsAllowed, and out of place otherwise.
QString parseOptions(QCommandLineParser& parser, const QList<QCommandLineOption>& options, const QStringList& args,
                     bool argumentsAllowed);

/// Reads the arguments after the word `export`: IMAGE first, taken as it is,
/// then its options. \a args is not empty.
Parsed<ExportRequest> parseExport(const QStringList& args);

/// Reads the arguments after the word `stats`: the pictures and the options,
/// in any order. \a args is not empty.
Parsed<StatsRequest> parseStats(const QStringList& args);

/// The command-line word of a measure number ("red" … "luma").
QString measureWord(int measure);

} // namespace lumiset::cli
