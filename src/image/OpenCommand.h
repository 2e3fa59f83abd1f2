#pragma once

#include "ImageStore.h"
#include "OpenWindowView.h"

namespace lumiset {

enum class OpenOutcome {
    NothingSelected, ///< the list entry was empty
    EmptyFile,       ///< a file of 0 bytes: reported, no reader ran
    UnknownFormat,   ///< named .bmp/.BMP but not a bitmap: message shown
    Ignored,         ///< another kind of file: no message, the earlier picture cleared away
    CannotOpen,      ///< the file could not be opened: message shown
    Bmp,             ///< the BMP reader ran
    Tga,             ///< the TGA reader ran
    Decoded,         ///< PNG, JPEG, TIFF, GIF, WebP or PNM: Qt's readers ran
};

/// \brief The open command: recognises the file \a entry of \a folder by its first
/// bytes (PNG, JPEG, TIFF, GIF, WebP, PNM, then "BM"/"BA") or its name
/// (".tga"/".TGA") and runs the matching reader.
///
/// Writes FilePath, FileSignature, FileLength and ImageState of \a store and the
/// report, labels, preview and export command of \a view.
OpenOutcome openCommand(ImageStore& store, OpenWindowView& view, const QString& folder, const QString& entry);

/// \brief Builds FilePath: the folder, a separator when it has none at its end, the name.
QString joinFilePath(const QString& folder, const QString& entry);

} // namespace lumiset
