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
        parser.setApplicationDescription(QStringLiteral(
            "Lumiset переводит точки картинки BMP, TGA, PNG, JPEG, TIFF, GIF, WebP или PNM в таблицу чисел яркости."));
        // Qt's own options are single-dash words ("-platform xcb"); they are
        // read before the window system starts, so they are known here, unlisted.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(help);
        parser.addOption(version);
        for (const char* name :
             {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
              "qwindowtitle", "session", "display", "geometry", "style", "stylesheet", "qmljsdebugger"}) {
            QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
            qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(qtOption);
        }
        for (const char* name : {"reverse", "nograb", "dograb", "widgetcount", "testability"}) {
            QCommandLineOption qtFlag(QString::fromLatin1(name));
            qtFlag.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(qtFlag);
        }
        parser.addPositionalArgument(
            QStringLiteral("путь"),
            QStringLiteral("Картинка, которую открыть (окно начнёт с её папки), или папка, с которой начать."),
            QStringLiteral("[ФАЙЛ | ПАПКА]"));
    }

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

} // namespace

int main(int argc, char* argv[])
{
    lumiset::StartPlace place;
    {
        // The command line is settled before the window system starts: the help,
        // the version and a usage error need no display.
        QCoreApplication app(argc, argv);
        lumiset::prepareApplication(app);
        CommandLine commandLine;
        if (!commandLine.parser.parse(app.arguments())) {
            const QStringList unknown = commandLine.parser.unknownOptionNames();
            return usageError(unknown.isEmpty() ? commandLine.parser.errorText()
                                                : QStringLiteral("неизвестный параметр: %1").arg(unknown.first()));
        }
        if (commandLine.parser.isSet(commandLine.help) || commandLine.parser.isSet(commandLine.version))
            commandLine.answer();
        const QStringList paths = commandLine.parser.positionalArguments();
        if (paths.size() > 1)
            return usageError(QStringLiteral("лишний аргумент: %1").arg(paths[1]));
        if (!paths.isEmpty()) {
            const std::optional<lumiset::StartPlace> named = lumiset::startPlaceOf(paths[0]);
            if (!named)
                return usageError(QStringLiteral("нет такого файла или папки: %1").arg(paths[0]));
            place = *named;
        }
    }

    QApplication app(argc, argv);
    lumiset::prepareApplication(app);
    lumiset::OpenForm form(place.folder);
    form.show();
    if (!place.fileName.isEmpty())
        QTimer::singleShot(0, &form, [&form, &place] { form.selectFile(place.fileName); });
    const int status = app.exec();
    lumiset::XlsxWorkbook::waitForAbandonedSaves(); // a stopped save still removing its file
    return status;
}
