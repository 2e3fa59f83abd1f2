#pragma once

#include "common/KeptSettings.h"
#include "image/Language.h"

#include <QString>
#include <QStringList>

#include <optional>

class QCoreApplication;

namespace lumiset {

/// Where the open window starts: a folder, and the file to open in it, if any.
struct StartPlace {
    QString folder;
    QString fileName; ///< empty: only the folder was named
};

/// The start place for a path from the command line: a folder starts there, a
/// file starts in its folder and is opened. Nothing when the path does not exist.
std::optional<StartPlace> startPlaceOf(const QString& path);

/// \brief What `--language CODE` on a command line asks for: nothing when the
/// option is absent, \a invalid set (and nothing) when its code is unknown or
/// missing.
std::optional<Language> languageOption(const QStringList& arguments, QString* invalid);

/// Names the program and its version, puts it in \a language (its own texts and
/// Qt's) and, for a program with windows, names the desktop entry and icon the
/// windows belong to. Called before any window is built.
void prepareApplication(QCoreApplication& app, Language language);

} // namespace lumiset
