#include "ReaderFixtures.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;

namespace {

// Every prefix of a few small files and a thousand random byte changes of each
// go through stage one and, when export ends enabled, the pixel loader. Nothing
// may crash, an exportable result must load or fail cleanly, and no table may
// exceed the memory the program is told it has.
constexpr qint64 kBudget = qint64(64) << 20;

struct Seed {
    const char* name;
    bool tga;
    QByteArray bytes;
};

std::vector<Seed> seeds()
{
    return {
        {"24-bit BMP", false, BmpBuilder{.width = 5, .height = 3}.build()},
        {"8-bit BMP", false,
         BmpBuilder{.width = 3,
                    .height = 2,
                    .bitsPerPixel = 8,
                    .palette = std::vector<Rgb>(256, Rgb{9, 8, 7}),
                    .indices = {{1, 2, 255}, {0, 3, 4}}}
             .build()},
        {"OS/2 BMP", false,
         BmpBuilder{.width = 3,
                    .height = 2,
                    .bitsPerPixel = 8,
                    .os2 = true,
                    .palette = std::vector<Rgb>(16, Rgb{1, 2, 3})}
             .build()},
        {"32-bit TGA", true, TgaBuilder{.width = 3, .height = 2, .pixelDepth = 32, .descriptor = 0x28}.build()},
        {"colour-mapped TGA", true,
         TgaBuilder{.idLength = 4,
                    .colorMapType = 1,
                    .imageType = 1,
                    .colorMapLength = 4,
                    .width = 3,
                    .height = 2,
                    .pixelDepth = 8,
                    .colourMap = std::vector<Rgb>(4, Rgb{50, 60, 70})}
             .build()},
        {"grey TGA", true,
         TgaBuilder{.imageType = 3, .width = 4, .height = 2, .pixelDepth = 8, .descriptor = 0x20}.build()},
        {"16-bit TGA", true, TgaBuilder{.width = 2, .height = 2, .pixelDepth = 16}.build()},
    };
}

void openAndLoad(const QByteArray& bytes, bool tga)
{
    Opened o;
    o.view.exportOn = false;
    if (tga)
        runTga(o, bytes);
    else
        runBmp(o, bytes, {}); // Qt's own reader too: it sees the same bytes
    const ImageStore& s = o.store;
    ASSERT_FALSE(o.view.reportText.isEmpty());
    const qint64 pixels = qint64(s.PixelRed.width()) * s.PixelRed.height();
    ASSERT_LE(pixels * (s.singlePlane() ? 1 : 3), kBudget);
    if (o.view.exportOn) {
        MemoryByteSource src(bytes);
        expectLoadedWithinBudget(o.store, src, kBudget);
    }
}

TEST(Mutation, TruncatedAndFlippedFilesAreRefusedOrReadable)
{
    const MemoryOverride budget(kBudget + kMemoryReserve);
    QRandomGenerator rng(2026);
    for (const Seed& seed : seeds()) {
        SCOPED_TRACE(seed.name);
        for (int n = 0; n <= seed.bytes.size(); ++n) {
            SCOPED_TRACE(n);
            ASSERT_NO_FATAL_FAILURE(openAndLoad(seed.bytes.left(n), seed.tga));
        }
        for (int i = 0; i < 1000; ++i) {
            QByteArray bytes = seed.bytes;
            const int flips = 1 + int(rng.bounded(4));
            for (int k = 0; k < flips; ++k) {
                // Header bytes are where the decisions are; hit them more often.
                const int at = rng.bounded(4) ? int(rng.bounded(qMin(bytes.size(), 60)))
                                              : int(rng.bounded(bytes.size()));
                bytes[at] = char(rng.bounded(256));
            }
            SCOPED_TRACE(bytes.toHex().toStdString());
            ASSERT_NO_FATAL_FAILURE(openAndLoad(bytes, seed.tga));
        }
    }
}

} // namespace
