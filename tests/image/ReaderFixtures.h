#pragma once

#include "image/BmpReader.h"
#include "image/ByteSource.h"
#include "image/ImageStore.h"
#include "image/MemoryBudget.h"
#include "image/PixelLoader.h"
#include "image/RecordingOpenView.h"
#include "image/TgaReader.h"
#include "support/ImageBuilders.h"

#include <gtest/gtest.h>

namespace lumiset::test {

/// Pretends this much memory is available (-1: the real figure) until the end
/// of the scope, however the test leaves it.
class MemoryOverride {
public:
    explicit MemoryOverride(qint64 bytes) { overrideAvailableMemory(bytes); }
    ~MemoryOverride() { overrideAvailableMemory(-1); }
    MemoryOverride(const MemoryOverride&) = delete;
    MemoryOverride& operator=(const MemoryOverride&) = delete;
};

/// Stage one of an in-memory file, with the state it leaves behind.
struct Opened {
    ImageStore store;
    RecordingOpenView view;
    QByteArray bytes;
    LoadResult load()
    {
        MemoryByteSource src(bytes);
        return loadPixels(store, src);
    }
};

/// A picture loader that answers as told, so a test decides which branch runs.
inline PictureLoader fixedLoader(PictureResult::Status status)
{
    const bool loaded = status == PictureResult::Status::Loaded;
    return [=] {
        return PictureResult{status, loaded ? QImage(1, 1, QImage::Format_RGB32) : QImage(),
                             ReaderMessage::DeviceError};
    };
}

inline void runBmp(Opened& o, const QByteArray& bytes, const PictureLoader& loader)
{
    o.bytes = bytes;
    MemoryByteSource src(bytes);
    o.store.FileSignature = QString::fromLatin1(bytes.left(2));
    openBmp(o.store, o.view, src, loader);
}

inline void runTga(Opened& o, const QByteArray& bytes)
{
    o.bytes = bytes;
    MemoryByteSource src(bytes);
    o.store.FileSignature = QStringLiteral("TG");
    openTga(o.store, o.view, src);
}

/// Stage one of a built BMP, with Qt's reader answering \a status.
inline Opened opened(const BmpBuilder& b, PictureResult::Status status = PictureResult::Status::Loaded)
{
    Opened o;
    runBmp(o, b.build(), fixedLoader(status));
    return o;
}

inline Opened opened(const TgaBuilder& b)
{
    Opened o;
    runTga(o, b.build());
    return o;
}

/// A copy of \a b changed by \a change, for one table row.
template <class Builder, class Change> Builder with(Builder b, Change change)
{
    change(b);
    return b;
}

/// \brief Whatever stage one left behind, the loader either fails and keeps no
/// tables, or fills tables of the picture's size within \a budget bytes whose
/// every colour can be taken (under AddressSanitizer a stray read fails).
inline void expectLoadedWithinBudget(ImageStore& s, ByteSource& source, qint64 budget)
{
    if (loadPixels(s, source) != LoadResult::Loaded) {
        EXPECT_FALSE(s.PixelRed.allocated() || s.PixelGreen.allocated() || s.PixelBlue.allocated());
        return;
    }
    ASSERT_EQ(QSize(s.PixelRed.width(), s.PixelRed.height()), QSize(s.ImageWidth, s.ImageHeight));
    ASSERT_TRUE(s.singlePlane() || (s.PixelGreen.allocated() && s.PixelBlue.allocated()));
    EXPECT_LE(qint64(s.ImageWidth) * s.ImageHeight * (s.singlePlane() ? 1 : 3), budget);
    volatile unsigned sink = 0;
    for (int row = 1; row <= s.ImageHeight; ++row)
        for (int column = 1; column <= s.ImageWidth; ++column)
            sink = sink + s.rgb(column, row)[0];
}

} // namespace lumiset::test
