#pragma once

class QCoreApplication;
class QTranslator;

namespace lumiset {

/// Installs Qt's own Russian texts (the standard "OK"/"Cancel" buttons, the
/// Undo/Copy/Paste menu of text boxes) into \a app. The interface is Russian,
/// so they are loaded whatever the system locale says. Call it before any
/// window is built. Returns the translator, owned by \a app, or nullptr when
/// Qt's translation file is not installed (Qt then speaks English).
QTranslator* installQtRussian(QCoreApplication& app);

} // namespace lumiset
