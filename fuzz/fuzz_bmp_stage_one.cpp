// Bytes → the BMP reader's first stage, as the open command runs it, with Qt's
// own picture loader deciding over the same bytes.
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
    ImageStore store;
    RecordingOpenView view;
    fuzz::openBytes(store, view, source, fuzz::Format::Bmp, {});
    return 0;
}
