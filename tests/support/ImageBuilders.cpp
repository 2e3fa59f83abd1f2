#include "ImageBuilders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace lumiset::test {

namespace {

// A colour as TGA stores it: 5 bits a component in a 16-bit word, or blue, green,
// red bytes (and \a alpha for 32 bits).
void putTgaColour(Bytes& b, const Rgb& c, int depth, unsigned alpha)
{
    if (depth == 15 || depth == 16) {
        b.u16((unsigned(c[0] >> 3) << 10) | (unsigned(c[1] >> 3) << 5) | unsigned(c[2] >> 3));
        return;
    }
    b.u8(c[2]).u8(c[1]).u8(c[0]);
    if (depth == 32)
        b.u8(alpha);
}

template <class T> T cell(const std::vector<std::vector<T>>& rows, int r, int c)
{
    return r < int(rows.size()) && c < int(rows[r].size()) ? rows[r][c] : T{};
}

} // namespace

QByteArray BmpBuilder::build() const
{
    const int absH = height < 0 ? -height : height;
    const int headerSize = os2 ? 12 : 40;
    const int entrySize = os2 ? 3 : 4;
    const int bytesPerPixel = bitsPerPixel == 8 ? 1 : 3;
    const int rowBytes = width * bytesPerPixel;
    const int pad = rowPadding >= 0 ? rowPadding : (4 - rowBytes % 4) % 4;

    Bytes b;
    b.u8('B').u8('M').i32(0).u16(0).u16(0).i32(0);
    b.i32(headerSize);
    if (os2) {
        b.u16(unsigned(width)).u16(unsigned(height)).u16(1).u16(unsigned(bitsPerPixel));
    } else {
        b.i32(width).i32(height).u16(1).u16(unsigned(bitsPerPixel));
        b.i32(compression).i32(0).i32(2835).i32(2835).i32(colorsUsed).i32(0); // 2835 points a metre = 72 dpi
    }
    for (const Rgb& e : palette) {
        b.u8(e[2]).u8(e[1]).u8(e[0]);
        if (entrySize > 3)
            b.zeros(entrySize - 3);
    }
    const int offset = pixelOffset ? *pixelOffset : b.size();
    if (b.size() < offset)
        b.zeros(offset - b.size());
    for (int i = 0; i < absH; ++i) {
        const int r = height < 0 ? i : absH - 1 - i; // stored order
        for (int c = 0; c < width; ++c) {
            if (bitsPerPixel == 8)
                b.u8(cell(indices, r, c));
            else
                b.u8(cell(pixels, r, c)[2]).u8(cell(pixels, r, c)[1]).u8(cell(pixels, r, c)[0]);
        }
        b.zeros(pad);
    }
    b.zeros(trailing);
    b.patch32(2, declaredSize ? *declaredSize : b.size());
    b.patch32(10, offset);
    return b.data;
}

QByteArray TgaBuilder::build() const
{
    Bytes b;
    b.u8(unsigned(idLength)).u8(unsigned(colorMapType)).u8(unsigned(imageType));
    b.u16(unsigned(colorMapStart)).u16(unsigned(colorMapLength)).u8(unsigned(colorMapDepth));
    b.u16(unsigned(xOrigin)).u16(unsigned(yOrigin)).u16(unsigned(width)).u16(unsigned(height));
    b.u8(unsigned(pixelDepth)).u8(unsigned(descriptor));
    for (int i = 0; i < idLength; ++i)
        b.u8(0xA0u + unsigned(i));
    for (const Rgb& e : colourMap)
        putTgaColour(b, e, colorMapDepth, 255);
    if (!rawPixels.isEmpty())
        return b.data + rawPixels;
    for (int i = 0; i < height; ++i) {
        const int r = descriptor & 0x20 ? i : height - 1 - i; // stored order
        for (int c = 0; c < width; ++c) {
            if (imageType == 2 || imageType == 10)
                putTgaColour(b, cell(pixels, r, c), pixelDepth, 0x80);
            else
                b.u8(cell(indices, r, c));
        }
    }
    return b.data;
}

QByteArray bmp24(int width, int height, Rgb colour)
{
    BmpBuilder b{.width = width, .height = height};
    b.pixels.assign(std::size_t(height), std::vector<Rgb>(std::size_t(width), colour));
    return b.build();
}

QString writeTempFile(const QString& name, const QByteArray& bytes)
{
    static std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    dirs.push_back(std::make_unique<QTemporaryDir>());
    const QString folder = dirs.back()->path();
    QFile f(QDir(folder).filePath(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return folder;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace lumiset::test
