#pragma once

#include "image/BmpReader.h"
#include "image/ByteSource.h"
#include "image/ImageStore.h"
#include "image/RecordingOpenView.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace lumiset::fuzz {

/// Which reader the open command hands the bytes to.
enum class Format { Bmp, Tga };

/// \brief Once per process: an offscreen application for Qt's image plugins and
/// a small memory figure, so a header claiming a huge picture is refused by the
/// size check rather than allocated.
void initialise(int* argc, char*** argv);

/// \brief A loader that never decodes, so the reader draws its own preview.
PictureResult rejectPicture();

/// \brief What the open command does once it has recognised the file: the store
/// is described as a file of these bytes and the reader runs. A BMP without the
/// "BM"/"BA" mark is skipped, as the open command never hands one to the reader.
/// \return false when no reader ran.
bool openBytes(ImageStore& store, RecordingOpenView& view, MemoryByteSource& source, Format format,
               const PictureLoader& loader);

/// \brief The input as a QByteArray without copying twice.
QByteArray bytesOf(const std::uint8_t* data, std::size_t size);

/// \brief Touches every field the window would read, so a value left
/// uninitialised or a QImage with broken geometry is noticed by the sanitizers.
void consumeView(const RecordingOpenView& view);

} // namespace lumiset::fuzz
