#include "image/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

namespace lumiset {

namespace {

// Where the build puts the compiled translations of each part of the program:
// lumiset_<part>_<code>.qm.
constexpr char kTranslationFolder[] = ":/i18n";

Language g_language = Language::Russian;
std::vector<std::unique_ptr<QTranslator>> g_installed;

std::unique_ptr<QTranslator> loadedTranslator(const QString& name, const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    // An explicit file name: QTranslator::load(QLocale(), ...) would follow the
    // system language instead.
    if (!translator->load(name, folder))
        return nullptr;
    return translator;
}

// Qt's own Russian texts: Qt's folder (Debian's qt6-translations-l10n), or a
// "translations" folder beside the program, where a Windows deployment puts it.
std::unique_ptr<QTranslator> qtRussian()
{
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString& folder : folders)
        if (auto translator = loadedTranslator(QStringLiteral("qtbase_ru"), folder))
            return translator;
    return nullptr;
}

} // namespace

std::optional<Language> languageNamed(const QString& code)
{
    const QString lower = code.trimmed().toLower();
    if (lower == QLatin1String("ru"))
        return Language::Russian;
    if (lower == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

QString languageCode(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("ru");
}

Language chosenLanguage(std::optional<Language> commandLine, std::optional<Language> saved)
{
    if (commandLine)
        return *commandLine;
    if (const auto fromEnvironment = languageNamed(qEnvironmentVariable(kLanguageVariable)))
        return *fromEnvironment;
    return saved.value_or(Language::Russian);
}

bool useLanguage(Language language, bool qtTexts)
{
    for (const auto& translator : g_installed)
        QCoreApplication::removeTranslator(translator.get());
    g_installed.clear();
    g_language = language;

    bool complete = true;
    if (language != Language::Russian) {
        const QString code = languageCode(language);
        const QStringList files = QDir(QLatin1String(kTranslationFolder))
                                      .entryList({QStringLiteral("lumiset_*_") + code + QStringLiteral(".qm")});
        complete = !files.isEmpty();
        for (const QString& file : files) {
            auto translator = loadedTranslator(file, QLatin1String(kTranslationFolder));
            complete = complete && translator;
            if (translator)
                g_installed.push_back(std::move(translator));
        }
    } else if (qtTexts) {
        auto translator = qtRussian();
        complete = translator != nullptr;
        if (translator)
            g_installed.push_back(std::move(translator));
    }
    for (const auto& translator : g_installed)
        QCoreApplication::installTranslator(translator.get());
    return complete;
}

Language currentLanguage()
{
    return g_language;
}

} // namespace lumiset
