#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace lumiset {

/// \brief One colour plane of the opened picture: a byte (or, for 16-bit
/// pictures, a 16-bit word) per pixel, addressed as (column 1..width, row
/// 1..height), row 1 being the top row as seen on screen.
///
/// Sizing a plane only records its dimensions; the storage is taken by the pixel
/// loader, so a refused or never-exported picture costs nothing. A plane holds
/// either bytes (operator(), row()) or words (word(), wordRow()), never both: the
/// accessors of the other width find no storage.
class PixelPlane {
public:
    void resize(int width, int height, int sampleBytes = 1);
    /// \brief Takes storage for width × height samples (contents undefined). Returns false on failure.
    bool allocate();
    void release();

    int width() const { return width_; }
    int height() const { return height_; }
    int sampleBytes() const { return sampleBytes_; }
    bool allocated() const { return data_ || words_; }

    std::uint16_t word(int column, int row) const { return words_[index(column, row)]; }
    std::uint16_t* wordRow(int row) { return words_.get() + std::size_t(row - 1) * std::size_t(width_); }
    const std::uint16_t* wordRow(int row) const { return words_.get() + std::size_t(row - 1) * std::size_t(width_); }
    /// \brief The sample at (column, row) whatever the width: 0..255 or 0..65535.
    int sample(int column, int row) const { return words_ ? int(word(column, row)) : int(data_[index(column, row)]); }

    std::uint8_t operator()(int column, int row) const { return data_[index(column, row)]; }
    std::uint8_t& operator()(int column, int row) { return data_[index(column, row)]; }
    /// \brief The bytes of row 1..height, left to right.
    std::uint8_t* row(int row) { return data_.get() + std::size_t(row - 1) * std::size_t(width_); }
    const std::uint8_t* row(int row) const { return data_.get() + std::size_t(row - 1) * std::size_t(width_); }

private:
    std::size_t index(int column, int row) const
    {
        return std::size_t(row - 1) * std::size_t(width_) + std::size_t(column - 1);
    }
    int width_ = 0;
    int height_ = 0;
    int sampleBytes_ = 1;
    std::unique_ptr<std::uint8_t[]> data_;
    std::unique_ptr<std::uint16_t[]> words_;
};

/// \brief What the pixel tables of a picture hold. Every part of the program
/// asks ImageStore::pixelKind() rather than looking at header fields itself.
enum class PixelKind {
    Unsupported, ///< nothing that can be read into the tables
    Palette,     ///< one plane of palette indices (8-bit BMP, colour-mapped TGA, decoded palettes)
    Grey,        ///< one plane of grey levels (grey TGA, decoded grey of 8 or 16 bits)
    TrueColour,  ///< three planes: red, green, blue (16-bit words for 16-bit decoded colour)
};

/// \brief Colour type of a picture decoded by Qt's image readers, from its header.
enum class DecodedColour {
    Unreadable, ///< the reader could not tell (the notice says why)
    Palette,    ///< colour-indexed (decoded to 8-bit indices)
    Grey,       ///< grey levels
    Colour,     ///< red, green, blue
};

/// \brief How far the opened picture has come.
enum class ImageState {
    NoPicture,    ///< nothing opened
    HeaderRead,   ///< a reader took the header; the pixels are not read yet
    PixelsLoaded, ///< the tables hold the pixels
    Shown,        ///< the export window has drawn them
};

/// \brief The state after one tick of the export window's reading timer, which
/// reads the pixels of a read header and then draws them.
constexpr ImageState nextImageState(ImageState state)
{
    return state == ImageState::Shown ? state : ImageState(int(state) + 1);
}

/// \brief The one shared description of the currently opened picture.
///
/// It lives for the whole run and is overwritten by the next file. Field names
/// are the program's own vocabulary and are used as such by every window.
struct ImageStore {
    QString FilePath;
    QString FileSignature = QStringLiteral("  "); ///< "BM"/"BA" = BMP, "TG" = TGA, "QT" = decoded by Qt
    qint64 FileLength = 0;
    lumiset::ImageState ImageState = lumiset::ImageState::NoPicture;

    int ImageWidth = 0;
    int ImageHeight = 0;
    int BitsPerPixel = 0;

    // BMP header
    qint32 DeclaredFileSize = 0;
    qint32 PixelDataOffset = 0;
    qint32 InfoHeaderSize = 0;
    qint32 CompressionType = 0;
    qint32 HorizontalResolution = 0;
    qint32 VerticalResolution = 0;
    qint32 ColorsUsed = 0;
    qint32 ColorsImportant = 0;
    std::uint8_t HasInfoHeader = 0;
    qint32 RowPadding = 0;
    bool RowsTopDown = false; ///< BMP stored top row first (negative height in the header)

    // TGA header
    std::uint8_t TgaIdLength = 0;
    std::uint8_t TgaColorMapType = 0;
    std::uint8_t TgaImageType = 0;
    qint32 TgaColorMapStart = 0;
    qint32 TgaColorMapLength = 0;
    std::uint8_t TgaColorMapDepth = 0;
    qint32 TgaXOrigin = 0;
    qint32 TgaYOrigin = 0;
    std::uint8_t TgaPixelDepth = 0;
    std::uint8_t TgaDescriptor = 0;
    std::uint8_t TgaTopOrigin = 0;
    std::uint8_t TgaRightToLeft = 0;
    qint64 TgaPixelDataOffset = 18; ///< 0-based offset of the first stored pixel byte

    // Pictures decoded by Qt's image readers (PNG, JPEG, TIFF, GIF, WebP, PNM)
    QByteArray DecodedFormat; ///< Qt's format name: "png", "jpeg", "tiff", "gif", "webp", "pbm"/"pgm"/"ppm"
    DecodedColour DecodedColourType = DecodedColour::Unreadable;
    int BitsPerChannel = 0;    ///< per grey or colour sample, per palette index; 1..16 for the kinds read
    int LargestSample = 0;     ///< the file's own largest sample (PNM maxval); 0: the full range of the tables
    bool DecodedFloat = false; ///< floating-point samples: refused

    // Reader state shared between stage one and the preview
    int HeaderShift = 0;               ///< 4 for a Windows info header, 0 for an OS/2 core header
    std::uint8_t PaletteEntrySize = 0; ///< bytes per palette entry

    /// Palette entry i: [i][0] red, [i][1] green, [i][2] blue, each 0..255.
    std::array<std::array<float, 3>, 256> PaletteRGB{};

    PixelPlane PixelRed;
    PixelPlane PixelGreen;
    PixelPlane PixelBlue;

    bool isBmp() const { return FileSignature == QLatin1String("BM") || FileSignature == QLatin1String("BA"); }
    bool isTga() const { return FileSignature == QLatin1String("TG"); }
    bool isDecoded() const { return FileSignature == QLatin1String("QT"); }
    /// \brief True for every format the program reads (BMP, TGA, the Qt-decoded ones).
    bool knownFormat() const { return isBmp() || isTga() || isDecoded(); }
    /// \brief The kind of the tables, decided from the header once it is read.
    PixelKind pixelKind() const;
    /// \brief Bytes per sample of the tables of that kind: 2 for 16-bit grey and
    /// colour pictures (PixelPlane words), 1 otherwise.
    int sampleBytes() const;
    /// \brief The sample value that stands for full brightness: the file's own
    /// largest sample where it states one, else 255 or 65535 by the tables' width.
    int sampleMaximum() const
    {
        return isDecoded() && LargestSample > 0 ? LargestSample : sampleBytes() == 2 ? 65535 : 255;
    }
    /// \brief True when PixelRed holds palette indices or grey levels and the other planes are unused.
    bool singlePlane() const
    {
        const PixelKind k = pixelKind();
        return k == PixelKind::Palette || k == PixelKind::Grey;
    }
    /// \brief Colour of the pixel (column, row) after loading, whatever the file kind;
    /// grey and colour samples scaled from 0..sampleMaximum() to 0..255.
    std::array<std::uint8_t, 3> rgb(int column, int row) const;
    /// \brief Palette entry \a index (0..255) as bytes: red, green, blue.
    std::array<std::uint8_t, 3> paletteColour(int index) const;
    void clearPalette() { PaletteRGB = {}; }
};

} // namespace lumiset
