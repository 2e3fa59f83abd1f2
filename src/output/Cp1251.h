#pragma once

#include <QByteArray>
#include <QString>

namespace lumiset {

/// \brief \a text in the Windows Cyrillic code page (windows-1251), the code page
/// the program's table files have always been written in, on every platform.
///
/// Characters the code page lacks become "?", as a Windows ANSI write makes them.
QByteArray toCp1251(const QString& text);

} // namespace lumiset
