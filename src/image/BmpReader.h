#pragma once

#include "ImageStore.h"
#include "OpenWindowView.h"
#include "ReaderMessages.h"

#include <QImage>

#include <functional>

namespace lumiset {

class ByteSource;

/// What the platform's general picture loader made of a file.
struct PictureResult {
    enum class Status {
        Loaded,   ///< a picture for the preview box
        Rejected, ///< not a picture it can decode: the reader draws its own preview
        Failed,   ///< the file could not be read at all
    };
    Status status = Status::Rejected;
    QImage image;
    ReaderMessage error = ReaderMessage::DeviceError; ///< for Failed
};

using PictureLoader = std::function<PictureResult()>;

/// \brief Qt's image reader over \a source, with its default allocation limit:
/// a picture too large for it is rejected and previewed point by point instead.
PictureResult loadPictureWithQt(const ByteSource& source);

/// \brief Stage one of a BMP file (FileSignature already "BM" or "BA"): report, size label, preview, palette, table
/// sizes and the export command.
///
/// \param loader the general picture loader; by default Qt's image reader over \a source.
void openBmp(ImageStore& store, OpenWindowView& view, ByteSource& source, const PictureLoader& loader = {});

/// \brief Bytes of filler after each stored row, worked out from the sizes in the
/// header and the real file length.
qint32 bmpRowPadding(const ImageStore& store);

/// \brief Reads the palette of an 8-bit file into PaletteRGB and returns its swatch.
Swatch readBmpPalette(ImageStore& store, ByteSource& source);

} // namespace lumiset
