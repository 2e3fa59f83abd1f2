// lumiset: the open window, started on the folder or the picture named on the
// command line ("Open with" of a file manager passes the picture).

#include "Startup.h"
#include "open/OpenForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kExitUsage = 2;

/// lumiset [FILE | FOLDER] with its Russian help. Qt's own words of the help
/// ("Usage", "Options") come from the translation loaded before.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Показать эту справку и выйти.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Показать версию программы и выйти.")};

    CommandLine()
    {
        parser.setApplicationDescription(
            QStringLiteral("Lumiset переводит точки картинки BMP или TGA в таблицу чисел яркости."));
        parser.addOption(help);
        parser.addOption(version);
        parser.addPositionalArgument(
            QStringLiteral("путь"),
            QStringLiteral("Картинка, которую открыть (окно начнёт с её папки), или папка, с которой начать."),
            QStringLiteral("[ФАЙЛ | ПАПКА]"));
    }

    bool asksForText() const { return parser.isSet(help) || parser.isSet(version); }

    /// Prints the help or the version and ends the program.
    [[noreturn]] void answer()
    {
        if (parser.isSet(version))
            parser.showVersion(); // "lumiset 1.0.0"
        parser.showHelp(0);
    }
};

int usageError(const QString& message)
{
    std::fprintf(stderr, "lumiset: %s\nСправка: lumiset --help\n", qPrintable(message));
    return kExitUsage;
}

QStringList rawArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    {
        // --help and --version answer without a display. Qt's own options
        // (-platform, -style) are unknown here; only the two flags matter.
        CommandLine early;
        early.parser.parse(rawArguments(argc, argv));
        if (early.asksForText()) {
            QCoreApplication app(argc, argv);
            lumiset::prepareApplication(app);
            CommandLine commandLine;
            commandLine.parser.parse(app.arguments());
            commandLine.answer();
        }
    }

    QApplication app(argc, argv);
    lumiset::prepareApplication(app);
    CommandLine commandLine;
    if (!commandLine.parser.parse(app.arguments()))
        return usageError(commandLine.parser.errorText());
    const QStringList paths = commandLine.parser.positionalArguments();
    if (paths.size() > 1)
        return usageError(QStringLiteral("лишний аргумент: %1").arg(paths[1]));
    lumiset::StartPlace place;
    if (!paths.isEmpty()) {
        const std::optional<lumiset::StartPlace> named = lumiset::startPlaceOf(paths[0]);
        if (!named)
            return usageError(QStringLiteral("нет такого файла или папки: %1").arg(paths[0]));
        place = *named;
    }

    lumiset::OpenForm form(place.folder);
    form.show();
    if (!place.fileName.isEmpty())
        QTimer::singleShot(0, &form, [&form, &place] { form.selectFile(place.fileName); });
    const int status = app.exec();
    lumiset::XlsxWorkbook::waitForAbandonedSaves(); // a stopped save still removing its file
    return status;
}
