#include "output/StandardStreams.h"

#include <QByteArray>

#ifdef Q_OS_WIN
#include <fcntl.h> // _O_BINARY
#include <io.h>    // _setmode, _fileno
#include <windows.h>
#endif

namespace lumiset {

namespace {

#ifdef Q_OS_WIN
// Binary mode for \a stream. A stream with no file behind it (a program with
// windows started without a console) is left alone: the runtime would end the
// program over the bad descriptor.
void useBinaryMode(std::FILE* stream)
{
    if (const int descriptor = _fileno(stream); descriptor >= 0)
        _setmode(descriptor, _O_BINARY);
}

// The system's handle behind \a stream (stdout or stderr); nullptr when the
// program has none.
HANDLE handleOf(std::FILE* stream)
{
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// The console window \a stream shows its text in; nullptr when it goes to a
// file or a pipe, or nowhere.
HANDLE consoleOf(std::FILE* stream)
{
    const HANDLE handle = handleOf(stream);
    DWORD mode = 0;
    return handle != nullptr && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// Writes \a text to \a console as UTF-16, in pieces the console takes whole;
// a piece never ends between the two halves of a surrogate pair.
void writeToConsole(HANDLE console, const QString& text)
{
    constexpr qsizetype kPiece = 8192;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype length = qMin(kPiece, text.size() - at);
        if (at + length < text.size() && text.at(at + length - 1).isHighSurrogate())
            --length;
        DWORD written = 0;
        if (!WriteConsoleW(console, text.utf16() + at, DWORD(length), &written, nullptr) || written == 0)
            return; // the console is gone; there is nowhere else to tell it
        at += qsizetype(written);
    }
}
#endif

} // namespace

void prepareStandardStreams()
{
#ifdef Q_OS_WIN
    useBinaryMode(stdout);
    useBinaryMode(stderr);
#endif
}

void writeText(std::FILE* stream, const QString& text)
{
#ifdef Q_OS_WIN
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream); // whatever the runtime still holds for it comes first
        writeToConsole(console, text);
        return;
    }
#endif
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

bool hasStandardStream(std::FILE* stream)
{
#ifdef Q_OS_WIN
    return handleOf(stream) != nullptr;
#else
    Q_UNUSED(stream);
    return true;
#endif
}

} // namespace lumiset
