#pragma once

#include "image/Language.h"

#include <QSettings>

#include <memory>
#include <optional>

namespace lumiset {

/// The choices made in the windows and kept between runs: one INI file in the
/// user's settings folder on every system (~/.config/lumiset/lumiset.conf,
/// %APPDATA%\lumiset\lumiset.ini), which tests move with QSettings::setPath().
std::unique_ptr<QSettings> keptSettings();

/// The language chosen in the window and kept between runs, if any.
std::optional<Language> savedLanguage();
/// Keeps \a language as the choice made in the window.
void saveLanguage(Language language);

} // namespace lumiset
