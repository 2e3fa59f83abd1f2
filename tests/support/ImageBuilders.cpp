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

Bytes& Bytes::u8(unsigned v)
{
    data.append(char(v & 0xFF));
    return *this;
}

Bytes& Bytes::u16(unsigned v)
{
    return u8(v).u8(v >> 8);
}

Bytes& Bytes::i32(std::int32_t v)
{
    const auto u = std::uint32_t(v);
    return u16(u & 0xFFFF).u16(u >> 16);
}

Bytes& Bytes::raw(const QByteArray& b)
{
    data.append(b);
    return *this;
}

Bytes& Bytes::zeros(int n)
{
    data.append(QByteArray(n, '\0'));
    return *this;
}

void Bytes::patch32(int offset, std::int32_t v)
{
    const auto u = std::uint32_t(v);
    for (int i = 0; i < 4; ++i)
        data[offset + i] = char((u >> (8 * i)) & 0xFF);
}

void Bytes::patch16(int offset, unsigned v)
{
    data[offset] = char(v & 0xFF);
    data[offset + 1] = char((v >> 8) & 0xFF);
}

QByteArray BmpBuilder::build() const
{
    const int absH = height < 0 ? -height : height;
    const int headerSize = infoHeaderSize >= 0 ? infoHeaderSize : (os2 ? 12 : 40);
    const int entrySize = paletteEntrySize >= 0 ? paletteEntrySize : (os2 ? 3 : 4);
    const int bytesPerPixel = bitsPerPixel == 8 ? 1 : 3;
    const int rowBytes = width * bytesPerPixel;
    const int pad = rowPadding >= 0 ? rowPadding : (4 - rowBytes % 4) % 4;

    Bytes b;
    b.raw(signature.left(2)).i32(0).u16(0).u16(0).i32(0);
    b.i32(headerSize);
    if (os2) {
        b.u16(unsigned(width)).u16(unsigned(height)).u16(1).u16(unsigned(bitsPerPixel));
    } else {
        b.i32(width).i32(height).u16(1).u16(unsigned(bitsPerPixel));
        b.i32(compression).i32(0).i32(hres).i32(vres).i32(colorsUsed).i32(colorsImportant);
    }
    if (b.size() < 14 + headerSize)
        b.zeros(14 + headerSize - b.size());
    else
        b.data.truncate(14 + headerSize);
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
            if (bitsPerPixel == 8) {
                b.u8(r < int(indices.size()) && c < int(indices[r].size()) ? indices[r][c] : 0);
            } else {
                const Rgb px = r < int(pixels.size()) && c < int(pixels[r].size()) ? pixels[r][c] : Rgb{};
                b.u8(px[2]).u8(px[1]).u8(px[0]);
            }
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
    for (const Rgb& e : colourMap) {
        if (colorMapDepth == 15 || colorMapDepth == 16) {
            b.u16((unsigned(e[0] >> 3) << 10) | (unsigned(e[1] >> 3) << 5) | unsigned(e[2] >> 3));
        } else {
            b.u8(e[2]).u8(e[1]).u8(e[0]);
            if (colorMapDepth == 32)
                b.u8(255);
        }
    }
    if (!rawPixels.isEmpty())
        return b.raw(rawPixels).data;
    const bool top = descriptor & 0x20;
    const int rows = height;
    for (int i = 0; i < rows; ++i) {
        const int r = top ? i : rows - 1 - i;
        for (int c = 0; c < width; ++c) {
            if (imageType == 2 || imageType == 10) {
                const Rgb px = r < int(pixels.size()) && c < int(pixels[r].size()) ? pixels[r][c] : Rgb{};
                if (pixelDepth == 15 || pixelDepth == 16) {
                    b.u16((unsigned(px[0] >> 3) << 10) | (unsigned(px[1] >> 3) << 5) | unsigned(px[2] >> 3));
                } else {
                    b.u8(px[2]).u8(px[1]).u8(px[0]);
                    if (pixelDepth == 32)
                        b.u8(0x80);
                }
            } else {
                b.u8(r < int(indices.size()) && c < int(indices[r].size()) ? indices[r][c] : 0);
            }
        }
    }
    return b.data;
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
