// Bytes → the TGA reader's first stage, as the open command runs it for a file
// named *.tga. Qt's loader is asked about the same bytes too, as the BMP path
// does, although qtbase has no TGA decoder of its own.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    lumiset::fuzz::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumiset;
    MemoryByteSource source(fuzz::bytesOf(data, size));
    (void)loadPictureWithQt(source);
    ImageStore store;
    RecordingOpenView view;
    fuzz::openBytes(store, view, source, fuzz::Format::Tga, {});
    return 0;
}
