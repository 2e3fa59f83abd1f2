// Stage one, then the pixel tables whenever the open window would let the user
// go on to the export. Files starting with "BM"/"BA" go to the BMP reader, the
// rest to the TGA reader.
#include "FuzzSupport.h"

#include "image/PixelLoader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    lumiset::fuzz::initialise(argc, argv);
    return 0;
}

namespace {

// Stands in for Qt having decoded the picture: the reader then takes the
// picture-box path, and no time goes into Qt or the drawn preview.
lumiset::PictureResult acceptPicture()
{
    lumiset::PictureResult result;
    result.status = lumiset::PictureResult::Status::Loaded;
    result.image = QImage(1, 1, QImage::Format_RGB32);
    result.image.fill(Qt::black);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumiset;
    const bool bmp = size >= 2 && data[0] == 'B' && (data[1] == 'M' || data[1] == 'A');
    MemoryByteSource source(fuzz::bytesOf(data, size));
    ImageStore store;
    RecordingOpenView view;
    if (!fuzz::openBytes(store, view, source, bmp ? fuzz::Format::Bmp : fuzz::Format::Tga, acceptPicture))
        return 0;
    if (!view.exportEnabled())
        return 0;
    if (loadPixels(store, source) != LoadResult::Loaded)
        return 0;
    // Read back points (1-based) along both diagonals: each lies in every plane the kind uses.
    volatile unsigned sink = 0;
    const int steps = std::min(std::max(store.ImageWidth, store.ImageHeight), 4096);
    for (int i = 0; i < steps; ++i) {
        const int column = 1 + int(qint64(i) * store.ImageWidth / steps);
        const int row = 1 + int(qint64(i) * store.ImageHeight / steps);
        const auto a = store.rgb(column, row);
        const auto b = store.rgb(store.ImageWidth + 1 - column, row);
        sink = sink + a[0] + a[1] + a[2] + b[0] + b[1] + b[2];
    }
    (void)sink;
    return 0;
}
