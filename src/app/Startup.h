#pragma once

#include <QString>

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

/// Names the program and its version, loads Qt's Russian texts and, for a
/// program with windows, names the desktop entry and icon the windows belong
/// to. Called before any window is built.
void prepareApplication(QCoreApplication& app);

} // namespace lumiset
