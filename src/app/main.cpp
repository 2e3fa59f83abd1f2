// lumiset: the open window, started on the folder or the picture named on the
// command line ("Open with" of a file manager passes the picture).

#include "Startup.h"
#include "open/OpenForm.h"
#include "output/StandardStreams.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kExitUsage = 2;

/// lumiset [FILE | FOLDER] with its Russian help. Qt's own words of the help
/// ("Usage", "Options") come from the translation loaded before.
struct CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, tr("Показать эту справку и выйти.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               tr("Показать версию программы и выйти.")};
    QCommandLineOption language{QStringLiteral("language"),
                                tr("Язык программы: ru (русский, по умолчанию) или en (английский)."),
                                QStringLiteral("ru|en")};

    CommandLine()
    {
        parser.setApplicationDescription(
            tr("Lumiset переводит точки картинки BMP, TGA, PNG, JPEG, TIFF, GIF, WebP или PNM в таблицу чисел "
               "яркости."));
        // Qt's own options are single-dash words ("-platform xcb"); they are
        // read before the window system starts, so they are known here, unlisted.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(help);
        parser.addOption(version);
        parser.addOption(language);
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
            tr("путь"), tr("Картинка, которую открыть (окно начнёт с её папки), или папка, с которой начать."),
            tr("[ФАЙЛ | ПАПКА]"));
    }

    /// Prints the help or the version ("lumiset 1.0.0") and ends the program.
    /// A Windows program started from Explorer has nowhere to print: Qt shows
    /// the text in a message box instead.
    [[noreturn]] void answer()
    {
        if (!lumiset::hasStandardStream(stdout)) {
            if (parser.isSet(version))
                parser.showVersion();
            parser.showHelp(0);
        }
        const QString versionLine = QCoreApplication::applicationName() + QLatin1Char(' ')
            + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        lumiset::writeText(stdout, parser.isSet(version) ? versionLine : parser.helpText());
        std::fflush(stdout);
        std::exit(0);
    }
};

int usageError(const QString& message)
{
    lumiset::writeText(stderr,
                       QStringLiteral("lumiset: ") + message + QLatin1Char('\n')
                           + CommandLine::tr("Справка: lumiset --help") + QLatin1Char('\n'));
    return kExitUsage;
}

} // namespace

int main(int argc, char* argv[])
{
    lumiset::prepareStandardStreams();
    lumiset::StartPlace place;
    lumiset::Language language = lumiset::Language::Russian;
    {
        // The command line is settled before the window system starts: the help,
        // the version and a usage error need no display. The language comes
        // first, so that the help and the errors speak it.
        QCoreApplication app(argc, argv);
        QString unknownLanguage;
        const std::optional<lumiset::Language> asked = lumiset::languageOption(app.arguments(), &unknownLanguage);
        language = lumiset::chosenLanguage(asked, lumiset::savedLanguage());
        lumiset::prepareApplication(app, language);
        CommandLine commandLine;
        if (!unknownLanguage.isNull())
            return usageError(CommandLine::tr("неизвестный язык: %1 (возможны ru и en)").arg(unknownLanguage));
        if (!commandLine.parser.parse(app.arguments())) {
            const QStringList unknown = commandLine.parser.unknownOptionNames();
            return usageError(unknown.isEmpty() ? commandLine.parser.errorText()
                                                : CommandLine::tr("неизвестный параметр: %1").arg(unknown.first()));
        }
        if (commandLine.parser.isSet(commandLine.help) || commandLine.parser.isSet(commandLine.version))
            commandLine.answer();
        const QStringList paths = commandLine.parser.positionalArguments();
        if (paths.size() > 1)
            return usageError(CommandLine::tr("лишний аргумент: %1").arg(paths[1]));
        if (!paths.isEmpty()) {
            const std::optional<lumiset::StartPlace> named = lumiset::startPlaceOf(paths[0]);
            if (!named)
                return usageError(CommandLine::tr("нет такого файла или папки: %1").arg(paths[0]));
            place = *named;
        }
    }

    QApplication app(argc, argv);
    lumiset::prepareApplication(app, language);
    lumiset::OpenForm form(place.folder);
    form.show();
    if (!place.fileName.isEmpty())
        QTimer::singleShot(0, &form, [&form, &place] { form.selectFile(place.fileName); });
    const int status = app.exec();
    lumiset::XlsxWorkbook::waitForAbandonedSaves(); // a stopped save still removing its file
    return status;
}
