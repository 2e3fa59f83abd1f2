#pragma once

#include "ImageStore.h"
#include "OpenWindowView.h"

#include <QByteArray>

#include <cstdint>

namespace lumiset {

class ByteSource;

/// Bytes decodedFormatOf() looks at.
inline constexpr int kSignatureBytes = 12;

/// \brief Qt's format name for a file whose first bytes are those of PNG, JPEG,
/// TIFF (either byte order), GIF, WebP (RIFF…WEBP) or PNM (P1–P6); empty for
/// anything else. The name of the file plays no part.
QByteArray decodedFormatOf(const std::uint8_t* head, qint64 length);

/// \brief Stage one for a picture Qt's readers decode: fills the header fields of
/// \a store (size, colour type, bits per channel, the palette) and sizes the
/// tables, and describes the file for the open window. Only the header is read
/// before the memory budget is checked; the picture is decoded when \a preview
/// is set (scaled down for the preview box) or when its palette is needed.
PictureDescription describeDecodedPicture(ImageStore& store, ByteSource& source, bool preview);

/// \brief The open command's row for these formats: describeDecodedPicture() and presentPicture().
/// Stage two is loadDecodedPixels() (DecodedFill.h).
void openDecodedPicture(ImageStore& store, OpenWindowView& view, ByteSource& source);

} // namespace lumiset
