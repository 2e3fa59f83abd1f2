#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

void PrintTo(const QString& text, std::ostream* os);

namespace lumiset::test {

using Rgb = std::array<std::uint8_t, 3>;

/// Little-endian byte writer with patching, for header fields.
class Bytes {
public:
    Bytes& u8(unsigned v) { return data.append(char(v & 0xFF)), *this; }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& i32(std::int32_t v) { return u16(std::uint32_t(v) & 0xFFFF).u16(std::uint32_t(v) >> 16); }
    Bytes& zeros(int n) { return data.append(QByteArray(n, '\0')), *this; }
    void patch32(int offset, std::int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data[offset + i] = char((std::uint32_t(v) >> (8 * i)) & 0xFF);
    }
    int size() const { return int(data.size()); }
    QByteArray data;
};

/// \brief Builds a BMP file. Every header field can be overridden; pixel rows are
/// given top row first and stored bottom-up (or top-down when height < 0).
// Members without a default value get "{}", so that a designated initialiser may
// leave them out without a missing-initialiser warning.
struct BmpBuilder {
    int width = 2, height = 2, bitsPerPixel = 24;
    bool os2 = false; ///< 12-byte core header with 16-bit sizes, 3-byte palette entries
    std::int32_t compression = 0, colorsUsed = 0;
    std::vector<Rgb> palette{};                       ///< entries written (8-bit files)
    std::vector<std::vector<Rgb>> pixels{};           ///< 24-bit rows, top first
    std::vector<std::vector<std::uint8_t>> indices{}; ///< 8-bit rows, top first
    int rowPadding = -1;                              ///< filler bytes per row; default to a 4-byte boundary
    std::optional<std::int32_t> declaredSize{};       ///< file-size field; default: actual size
    std::optional<std::int32_t> pixelOffset{};        ///< default: right after the palette
    int trailing = 0;                                 ///< extra bytes after the pixel data
    QByteArray build() const;
};

/// A 24-bit BMP of one colour.
QByteArray bmp24(int width, int height, Rgb colour = {200, 100, 50});

/// \brief Builds a TGA file (header fields named as in the format); rows given top
/// first and stored as the descriptor says.
struct TgaBuilder {
    int idLength = 0, colorMapType = 0, imageType = 2, colorMapStart = 0, colorMapLength = 0, colorMapDepth = 24;
    int xOrigin = 0, yOrigin = 0, width = 2, height = 1, pixelDepth = 24;
    int descriptor = 0;                               ///< bit 5: top-left origin
    std::vector<Rgb> colourMap{};                     ///< written with colorMapDepth bits an entry
    std::vector<std::vector<Rgb>> pixels{};           ///< true colour, top first
    std::vector<std::vector<std::uint8_t>> indices{}; ///< grey or mapped, top first
    QByteArray rawPixels{};                           ///< when set, written instead of pixels/indices
    QByteArray build() const;
};

/// Writes \a bytes to a file named \a name in a fresh temporary folder that lives
/// until the process ends; returns the folder.
QString writeTempFile(const QString& name, const QByteArray& bytes);

/// Whole-file helpers for tests that check what a writer left behind.
bool writeBytes(const QString& path, const QByteArray& bytes);
/// The file's bytes, or "<missing>" when it cannot be read.
QByteArray readBytes(const QString& path);
/// Every entry of \a folder, hidden ones included, by name.
QStringList entries(const QString& folder);

} // namespace lumiset::test
