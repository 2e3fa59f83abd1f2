#pragma once

#include "ImageStore.h"
#include "PixelLoader.h"

namespace lumiset {

class ByteSource;

/// \brief Stage two for pictures Qt's readers decode (and PNM, read by the
/// program): decodes the first frame under Qt's allocation limit and fills the
/// tables (16-bit samples kept), releasing the decoded picture as soon as the
/// tables are filled. Large colour pictures are filled on two threads.
LoadResult loadDecodedPixels(ImageStore& store, ByteSource& source, const RowProgress& progress);

} // namespace lumiset
