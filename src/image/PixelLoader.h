#pragma once

#include "ImageStore.h"

#include <functional>

namespace lumiset {

class ByteSource;

enum class LoadResult {
    Loaded,      ///< the tables hold the current file's pixels
    NotDecoded,  ///< a kind or row order the loader does not read: tables untouched
    Unreadable,  ///< the file could not be opened or read
    OutOfMemory, ///< the tables could not be allocated
};

/// Called after each stored row with the number of rows done so far.
using RowProgress = std::function<void(int rowsDone)>;

/// \brief Stage two: fills PixelRed (and PixelGreen, PixelBlue for true colour)
/// from \a source using the header facts of stage one.
///
/// On any result but Loaded the tables are released, so nothing stale can be
/// taken for this file's pixels. ImageState is left to the caller.
LoadResult loadPixels(ImageStore& store, ByteSource& source, const RowProgress& progress = {});

/// \brief Opens store.FilePath and loads it.
LoadResult loadPixels(ImageStore& store, const RowProgress& progress = {});

} // namespace lumiset
