#pragma once

#include "ImageStore.h"

#include <QImage>
#include <QImageReader>

#include <memory>

class QIODevice;

namespace lumiset {

class ByteSource;

/// The widest sample the decoders give for the kinds that are read (RGBA, 16 bits each).
inline constexpr qint64 kWidestDecodedPixel = 8;

/// \brief What Qt says of a decoded pixel format.
struct FormatFacts {
    DecodedColour colour = DecodedColour::Unreadable;
    int bits = 0; ///< bits per channel
    bool alpha = false;
    bool floating = false;
    int bytesPerPixel = 0; ///< of the decoded picture
};

FormatFacts factsOf(QImage::Format format);

/// \brief Qt's reader of one picture, with the device it reads.
struct Decoder {
    std::unique_ptr<QIODevice> device;
    std::unique_ptr<QImageReader> reader; // declared last: gone before its device
    QImageReader* operator->() const { return reader.get(); }
};

/// \brief A fresh reader of the picture in \a source, of the store's
/// DecodedFormat: the stored grid (no EXIF turn), a PNG's transparency key
/// left out, and an allocation limit that leaves room for the tables.
Decoder decoderFor(const ImageStore& store, ByteSource& source);

/// \brief Bytes a pixel of the tables takes.
qint64 tableBytesPerPixel(const ImageStore& store);

/// \brief Copies the colour table of \a image (at most 256 entries) into PaletteRGB.
void takePalette(ImageStore& store, const QImage& image);

} // namespace lumiset
