#include "BenchSupport.h"

#include "image/RecordingOpenView.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <vector>

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

namespace lumiset::bench {

namespace {

void putLe16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void putLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

} // namespace

std::array<std::uint8_t, 3> gradientColour(int x, int y, int width, int height)
{
    const auto blue = std::uint8_t(width > 1 ? std::int64_t(x) * 255 / (width - 1) : 0);
    const auto green = std::uint8_t(height > 1 ? std::int64_t(y) * 255 / (height - 1) : 0);
    const auto red = std::uint8_t((x + y) & 0xFF);
    return {red, green, blue};
}

bool tablesHoldGradient(const ImageStore& s)
{
    const int w = s.ImageWidth;
    const int h = s.ImageHeight;
    if (w <= 0 || h <= 0 || !s.PixelRed.allocated() || !s.PixelGreen.allocated() || !s.PixelBlue.allocated())
        return false;
    auto matches = [&](int x, int y) {
        const auto want = gradientColour(x, y, w, h);
        return s.PixelRed(x + 1, y + 1) == want[0] && s.PixelGreen(x + 1, y + 1) == want[1]
            && s.PixelBlue(x + 1, y + 1) == want[2];
    };
    if (!matches(0, 0) || !matches(w - 1, 0) || !matches(0, h - 1) || !matches(w - 1, h - 1))
        return false;
    // Odd steps, so that every offset within a 4- or 16-pixel group gets visited.
    for (int y = 0; y < h; y += 37)
        for (int x = 0; x < w; x += 13)
            if (!matches(x, y))
                return false;
    return true;
}

bool writeGradientBmp(const QString& path, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    const std::uint64_t stride = (std::uint64_t(width) * 3 + 3) / 4 * 4;
    const std::uint64_t pixelBytes = stride * std::uint64_t(height);
    if (pixelBytes + 54 > 0xFFFFFFFFull)
        return false;

    std::uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    putLe32(header + 2, std::uint32_t(pixelBytes + 54));
    putLe32(header + 10, 54);
    putLe32(header + 14, 40);
    putLe32(header + 18, std::uint32_t(width));
    putLe32(header + 22, std::uint32_t(height)); // positive: bottom row first
    putLe16(header + 26, 1);
    putLe16(header + 28, 24);
    putLe32(header + 30, 0);
    putLe32(header + 34, std::uint32_t(pixelBytes));
    putLe32(header + 38, 2835);
    putLe32(header + 42, 2835);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (file.write(reinterpret_cast<const char*>(header), sizeof header) != qint64(sizeof header))
        return false;

    std::vector<std::uint8_t> row(stride, 0);
    for (int stored = 0; stored < height; ++stored) {
        const int y = height - 1 - stored; // picture row, 0 = top
        std::uint8_t* p = row.data();
        for (int x = 0; x < width; ++x, p += 3) {
            const auto rgb = gradientColour(x, y, width, height);
            p[0] = rgb[2];
            p[1] = rgb[1];
            p[2] = rgb[0];
        }
        if (file.write(reinterpret_cast<const char*>(row.data()), qint64(stride)) != qint64(stride))
            return false;
    }
    return file.flush();
}

OpenOutcome openForBench(ImageStore& store, const QString& path, bool showFile)
{
    RecordingOpenView view;
    view.showFile = showFile;
    const QFileInfo info(path);
    return openCommand(store, view, info.absolutePath(), info.fileName());
}

void releasePlanes(ImageStore& store)
{
    store.PixelRed.release();
    store.PixelGreen.release();
    store.PixelBlue.release();
}

std::int64_t procStatusBytes(const char* field)
{
#ifdef __linux__
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    const std::size_t n = std::strlen(field);
    std::int64_t result = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') {
            long long kib = 0;
            if (std::sscanf(line + n + 1, "%lld", &kib) == 1)
                result = std::int64_t(kib) * 1024;
            break;
        }
    }
    std::fclose(f);
    return result;
#else
    (void)field;
    return -1;
#endif
}

std::int64_t readWholeFile(const QString& path)
{
#ifdef __linux__
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return -1;
    static std::vector<char> buffer(std::size_t(1) << 20);
    std::int64_t total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            ::close(fd);
            return -1;
        }
        if (n == 0)
            break;
        total += n;
    }
    ::close(fd);
    return total;
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return -1;
    std::vector<char> buffer(std::size_t(1) << 20);
    std::int64_t total = 0;
    for (;;) {
        const qint64 n = file.read(buffer.data(), qint64(buffer.size()));
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        total += n;
    }
    return total;
#endif
}

} // namespace lumiset::bench
