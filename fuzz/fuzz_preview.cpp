// Stage one with a picture loader that declines every file, so the reader draws
// its own point-by-point preview (drawBmpPreview / drawTgaPreview) from the
// bytes. Files starting with "BM"/"BA" go to the BMP reader, the rest to the
// TGA reader.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    lumiset::fuzz::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumiset;
    const bool bmp = size >= 2 && data[0] == 'B' && (data[1] == 'M' || data[1] == 'A');
    MemoryByteSource source(fuzz::bytesOf(data, size));
    ImageStore store;
    RecordingOpenView view;
    fuzz::openBytes(store, view, source, bmp ? fuzz::Format::Bmp : fuzz::Format::Tga, fuzz::rejectPicture);
    return 0;
}
