#pragma once

#include "ImageStore.h"
#include "PixelLoader.h"

namespace lumiset {

class ByteSource;

/// \brief The header of a PNM file: "P1".."P6", width, height and (but for the
/// bitmaps) the largest sample value, separated by blanks and "#" comments.
struct PnmHeader {
    char magic = 0; ///< '1'..'6'
    qint64 width = 0;
    qint64 height = 0;
    int maxval = 1;        ///< 1 for P1 and P4
    qint64 dataOffset = 0; ///< first byte of the samples (binary) or of their text (plain)
    bool valid = false;

    bool plain() const { return magic >= '1' && magic <= '3'; }
    bool bitmap() const { return magic == '1' || magic == '4'; }
    int channels() const { return magic == '3' || magic == '6' ? 3 : 1; }
};

/// Largest maxval the format allows.
inline constexpr int kPnmMaxval = 65535;

/// \brief Decodes the header; valid is false when a field is missing, zero or out of range.
PnmHeader readPnmHeader(ByteSource& source);

/// \brief Fills the tables of a grey (P2, P5) or colour (P3, P6) picture with the
/// samples exactly as the file stores them: bytes when maxval is at most 255,
/// 16-bit words above (binary words are big-endian). Qt's own reader rescales
/// every other range to 0..255, so these files are read here. The tables must be
/// allocated with the header's size.
LoadResult loadPnmSamples(ImageStore& store, ByteSource& source, const PnmHeader& header, const RowProgress& progress);

} // namespace lumiset
