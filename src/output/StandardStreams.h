#pragma once

// What the programs print on standard output and standard error. Scripts read
// lumiset-cli's lines as UTF-8 with LF line ends on every system; a person at a
// Windows console reads the same text, Cyrillic included, whatever code page
// the console is set to.

#include <QString>

#include <cstdio>

namespace lumiset {

/// \brief Readies standard output and standard error for writeText(); called
/// first thing in main(). On Windows it switches both to binary mode, so that
/// the C runtime no longer turns LF into CR LF; elsewhere it does nothing.
void prepareStandardStreams();

/// \brief Writes \a text to \a stream (stdout or stderr): to a Windows console
/// as UTF-16 through the console itself, anywhere else (a file, a pipe, any
/// other system) as its UTF-8 bytes.
void writeText(std::FILE* stream, const QString& text);

/// \brief Whether \a stream (stdout or stderr) leads anywhere: always, except
/// for a Windows program with windows started without a console or a
/// redirection (from Explorer), which has no standard streams at all.
bool hasStandardStream(std::FILE* stream);

} // namespace lumiset
