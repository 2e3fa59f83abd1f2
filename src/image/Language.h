#pragma once

#include <QString>

#include <optional>

namespace lumiset {

/// \brief The languages the program speaks. Russian is the language its texts
/// are written in; English comes from the translation files built into it.
enum class Language { Russian, English };

/// The environment variable that chooses the language ("ru" or "en").
inline constexpr char kLanguageVariable[] = "LUMISET_LANGUAGE";

/// \brief The language of a code as the command line and the environment give
/// it: "ru" or "en", in any case; nothing for anything else.
std::optional<Language> languageNamed(const QString& code);

/// The code of \a language: "ru" or "en".
QString languageCode(Language language);

/// \brief The language a program starts in: \a commandLine (--language) when
/// given, else a valid LUMISET_LANGUAGE, else \a saved (the choice made in the
/// window), else Russian. The system locale plays no part.
Language chosenLanguage(std::optional<Language> commandLine, std::optional<Language> saved = std::nullopt);

/// \brief Makes \a language the language of the running program: installs the
/// translations of the program's texts built into it (none for Russian), and
/// with \a qtTexts Qt's own texts of dialogs and text boxes in that language
/// (Russian from Qt's translation files; English is Qt's own). Replaces what an
/// earlier call installed, so that windows get a LanguageChange event.
/// Returns false when a translation could not be loaded; the program then
/// shows those texts in Russian (or Qt's in English).
bool useLanguage(Language language, bool qtTexts);

/// The language set by the last useLanguage(), Russian before any.
Language currentLanguage();

} // namespace lumiset
