// Loads the pixel tables of one picture and reports the peak resident size of the
// process. bench_load runs it as a child so the peak is that of loading alone and
// not of the benchmarks around it.
//
// Usage: bench_load_memory FILE
// Output (one line): LUMISET_MEMORY pixels=N baseline=B peak=P result=R

#include "BenchSupport.h"
#include "image/PixelLoader.h"

#include <QCoreApplication>

#include <cstdio>

using namespace lumiset;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bench_load_memory FILE\n");
        return 2;
    }
#ifndef __linux__
    std::printf("LUMISET_MEMORY unsupported\n");
    return 0;
#else
    ImageStore store;
    // Unticked: the preview is not part of what this child measures.
    bench::openForBench(store, args[1], false);
    if (store.ImageState != ImageState::HeaderRead) { // no reader took the file
        std::fprintf(stderr, "bench_load_memory: %s did not open as a picture\n", qPrintable(args[1]));
        return 1;
    }
    const std::int64_t baseline = bench::procStatusBytes("VmHWM");
    const LoadResult result = loadPixels(store);
    const std::int64_t peak = bench::procStatusBytes("VmHWM");
    const long long pixels = (long long)store.ImageWidth * store.ImageHeight;
    std::printf("LUMISET_MEMORY pixels=%lld baseline=%lld peak=%lld result=%d\n", pixels, (long long)baseline,
                (long long)peak, int(result));
    return result == LoadResult::Loaded ? 0 : 1;
#endif
}
