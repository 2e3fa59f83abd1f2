#pragma once

#include <QString>

namespace lumiset {

/// The line end of the program's messages, reports and table files.
inline const QString kCrLf = QStringLiteral("\r\n");

/// \brief A message box of the program: title and text (lines joined by CR LF).
struct UserMessage {
    QString title;
    QString text;
};

} // namespace lumiset
