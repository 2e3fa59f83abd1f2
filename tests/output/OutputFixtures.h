#pragma once

#include "image/ImageStore.h"
#include "output/ExportState.h"

#include <QLocale>

#include <array>
#include <cstdint>
#include <vector>

namespace lumiset::test {

using Rgb8 = std::array<std::uint8_t, 3>;

/// A loaded 24-bit BMP whose pixels are \a rows (top row first).
inline ImageStore trueColourImage(const std::vector<std::vector<Rgb8>>& rows)
{
    ImageStore s;
    s.FileSignature = QStringLiteral("BM");
    s.FilePath = QStringLiteral("/pictures/tyu2.bmp");
    s.BitsPerPixel = 24;
    s.ImageHeight = int(rows.size());
    s.ImageWidth = int(rows.front().size());
    for (PixelPlane* p : {&s.PixelRed, &s.PixelGreen, &s.PixelBlue}) {
        p->resize(s.ImageWidth, s.ImageHeight);
        p->allocate();
    }
    for (int y = 1; y <= s.ImageHeight; ++y)
        for (int x = 1; x <= s.ImageWidth; ++x) {
            const Rgb8& c = rows[std::size_t(y - 1)][std::size_t(x - 1)];
            s.PixelRed(x, y) = c[0];
            s.PixelGreen(x, y) = c[1];
            s.PixelBlue(x, y) = c[2];
        }
    s.ImageState = 2;
    return s;
}

/// A loaded 8-bit picture: PixelRed holds \a indices (top row first). \a greyTga
/// makes it a grey TGA (type 3) whose bytes are grey levels; otherwise a BMP
/// whose palette is \a palette.
inline ImageStore singlePlaneImage(const std::vector<std::vector<std::uint8_t>>& indices,
                                   const std::vector<Rgb8>& palette, bool greyTga = false)
{
    ImageStore s;
    s.FileSignature = greyTga ? QStringLiteral("TG") : QStringLiteral("BM");
    s.FilePath = greyTga ? QStringLiteral("/pictures/grey.tga") : QStringLiteral("/pictures/pal.bmp");
    s.TgaImageType = greyTga ? 3 : 0;
    s.BitsPerPixel = 8;
    s.ImageHeight = int(indices.size());
    s.ImageWidth = int(indices.front().size());
    s.PixelRed.resize(s.ImageWidth, s.ImageHeight);
    s.PixelRed.allocate();
    for (int y = 1; y <= s.ImageHeight; ++y)
        for (int x = 1; x <= s.ImageWidth; ++x)
            s.PixelRed(x, y) = indices[std::size_t(y - 1)][std::size_t(x - 1)];
    for (std::size_t i = 0; i < palette.size(); ++i)
        for (int k = 0; k < 3; ++k)
            s.PaletteRGB[i][std::size_t(k)] = palette[i][std::size_t(k)];
    s.ImageState = 2;
    return s;
}

inline Selection region(int columnFrom, int rowFrom, int columnTo, int rowTo)
{
    Selection r;
    r.SelColumnFrom = columnFrom;
    r.SelRowFrom = rowFrom;
    r.SelColumnTo = columnTo;
    r.SelRowTo = rowTo;
    return r;
}

inline QLocale commaLocale() { return QLocale(QLocale::Russian, QLocale::Russia); }
inline QLocale pointLocale() { return QLocale(QLocale::English, QLocale::UnitedStates); }

} // namespace lumiset::test
