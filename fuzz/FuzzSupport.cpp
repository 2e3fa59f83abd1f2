#include "FuzzSupport.h"

#include "image/MemoryBudget.h"
#include "image/TgaReader.h"

#include <QGuiApplication>

namespace lumiset::fuzz {

void initialise(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the whole process; the fuzzer never returns to destroy it.
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
    // 64 MiB for the tables on top of what is always held back for the program.
    overrideAvailableMemory((qint64(64) << 20) + kMemoryReserve);
}

PictureResult rejectPicture()
{
    return PictureResult{};
}

bool openBytes(ImageStore& store, RecordingOpenView& view, MemoryByteSource& source, Format format,
               const PictureLoader& loader)
{
    store.FilePath = format == Format::Bmp ? QStringLiteral("/fuzz/input.bmp") : QStringLiteral("/fuzz/input.tga");
    if (format == Format::Tga) {
        store.FileSignature = QStringLiteral("TG");
    } else {
        store.FileLength = source.size();
        if (store.FileLength == 0)
            return false;
        std::uint8_t sig[2];
        source.read(0, sig, 2);
        store.FileSignature = QString(QLatin1Char(char(sig[0]))) + QLatin1Char(char(sig[1]));
        if (!store.isBmp())
            return false;
    }
    view.setReport(QString());
    if (format == Format::Bmp)
        openBmp(store, view, source, loader);
    else
        openTga(store, view, source);
    store.ImageState = ImageState::HeaderRead;
    consumeView(view);
    return true;
}

QByteArray bytesOf(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

void consumeView(const RecordingOpenView& view)
{
    volatile std::size_t sink = 0;
    sink = sink + std::size_t(view.reportText.size());
    for (const auto& label : view.labels)
        sink = sink + std::size_t(label.text.size()) + label.visible;
    for (const auto& m : view.messages)
        sink = sink + std::size_t(m.title.size() + m.text.size());
    const QImage& drawn = view.drawn.image;
    if (!drawn.isNull()) {
        // Every drawn point, so a preview built over too small a buffer shows up.
        for (int y = 0; y < drawn.height(); ++y) {
            const uchar* line = drawn.constScanLine(y);
            for (qsizetype x = 0; x < drawn.bytesPerLine(); ++x)
                sink = sink + line[x];
        }
    }
    sink = sink + std::size_t(view.pictureBox.width()) + view.exportOn + view.swatchVisible;
    (void)sink;
}

} // namespace lumiset::fuzz
