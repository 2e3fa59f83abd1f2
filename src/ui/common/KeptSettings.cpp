#include "KeptSettings.h"

namespace lumiset {

namespace {
const QString kLanguageKey = QStringLiteral("language");
}

std::unique_ptr<QSettings> keptSettings()
{
    // Named here rather than by the application's names: the language is read
    // before they are set.
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("lumiset"),
                                       QStringLiteral("lumiset"));
}

std::optional<Language> savedLanguage()
{
    return languageNamed(keptSettings()->value(kLanguageKey).toString());
}

void saveLanguage(Language language)
{
    keptSettings()->setValue(kLanguageKey, languageCode(language));
}

} // namespace lumiset
