#pragma once

#include <QByteArray>

namespace lumiset {

class ByteSource;

/// \brief A picture's stored resolution in pixels per metre; 0 where none is stored.
struct Resolution {
    int x = 0;
    int y = 0;
};

/// \brief What a PNG's chunks before its pixel data say beyond Qt's answer.
struct PngHeader {
    int bitDepth = 0;      ///< IHDR: bits per sample, or per index of a palette
    int colourType = 0;    ///< IHDR: 0 grey, 2 colour, 3 palette, 4 and 6 the same with alpha
    qint64 keyAt = 0;      ///< the tRNS chunk of a grey or colour picture: its transparency key …
    qint64 keyLength = 0;  ///< … with its length, type and checksum (0: no key)
    Resolution resolution; ///< pHYs in metres (unit 1); unit 0 gives only the aspect
};

/// \brief Reads the chunks of a PNG up to its first IDAT or IEND.
PngHeader readPngHeader(ByteSource& source);

/// \brief The BitsPerSample and SampleFormat tags of a TIFF's first page. Qt's
/// header answer is 8-bit colour for samples it then fails to decode (32-bit
/// integers, 32-bit floats), which deserve their own notice.
struct TiffSampleTags {
    int bits = 0;          ///< the first sample's bits where above 16 (at most 1024), else 0
    bool floating = false; ///< SampleFormat 3: IEEE floating point
};

TiffSampleTags readTiffSampleTags(ByteSource& source);

/// \brief The resolution a PNG (pHYs), JPEG (JFIF) or TIFF (XResolution,
/// YResolution) stores; none for GIF, WebP and PNM. \a format is Qt's name.
Resolution storedResolution(ByteSource& source, const QByteArray& format);

} // namespace lumiset
