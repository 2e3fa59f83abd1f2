#pragma once

#include "image/ImageStore.h"
#include "output/ExportPreparation.h"
#include "output/ExportState.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <array>
#include <cstdint>
#include <vector>

namespace lumiset::test {

using Rgb8 = std::array<std::uint8_t, 3>;

/// A loaded picture \a width × \a height whose planes are allocated, unset.
inline ImageStore loadedImage(const char* signature, int bits, int width, int height, bool threePlanes)
{
    ImageStore s;
    s.FileSignature = QString::fromLatin1(signature);
    s.BitsPerPixel = bits;
    s.ImageWidth = width;
    s.ImageHeight = height;
    for (PixelPlane* p : {&s.PixelRed, &s.PixelGreen, &s.PixelBlue})
        if (p == &s.PixelRed || threePlanes)
            p->resize(width, height), p->allocate();
    s.ImageState = ImageState::PixelsLoaded;
    return s;
}

/// A loaded 24-bit BMP "/pictures/tyu2.bmp" whose pixels are \a rows (top row first).
inline ImageStore trueColourImage(const std::vector<std::vector<Rgb8>>& rows)
{
    ImageStore s = loadedImage("BM", 24, int(rows.front().size()), int(rows.size()), true);
    s.FilePath = QStringLiteral("/pictures/tyu2.bmp");
    for (int y = 1; y <= s.ImageHeight; ++y)
        for (int x = 1; x <= s.ImageWidth; ++x) {
            const Rgb8& c = rows[std::size_t(y - 1)][std::size_t(x - 1)];
            s.PixelRed(x, y) = c[0];
            s.PixelGreen(x, y) = c[1];
            s.PixelBlue(x, y) = c[2];
        }
    return s;
}

/// A loaded 16-bit colour picture decoded by Qt whose samples are \a rows (top row first).
inline ImageStore wideColourImage(const std::vector<std::vector<std::array<std::uint16_t, 3>>>& rows)
{
    ImageStore s = loadedImage("QT", 48, int(rows.front().size()), int(rows.size()), false);
    s.DecodedColourType = DecodedColour::Colour;
    s.BitsPerChannel = 16;
    PixelPlane* planes[3] = {&s.PixelRed, &s.PixelGreen, &s.PixelBlue};
    for (std::size_t k = 0; k < 3; ++k) {
        planes[k]->resize(s.ImageWidth, s.ImageHeight, 2);
        planes[k]->allocate();
        for (int y = 1; y <= s.ImageHeight; ++y)
            for (int x = 1; x <= s.ImageWidth; ++x)
                planes[k]->wordRow(y)[x - 1] = rows[std::size_t(y - 1)][std::size_t(x - 1)][k];
    }
    return s;
}

/// A loaded 8-bit picture whose PixelRed holds \a indices (top row first): a grey
/// TGA (type 3) of those levels with \a greyTga, else a BMP with \a palette.
inline ImageStore singlePlaneImage(const std::vector<std::vector<std::uint8_t>>& indices,
                                   const std::vector<Rgb8>& palette, bool greyTga = false)
{
    ImageStore s = loadedImage(greyTga ? "TG" : "BM", 8, int(indices.front().size()), int(indices.size()), false);
    s.FilePath = greyTga ? QStringLiteral("/pictures/grey.tga") : QStringLiteral("/pictures/pal.bmp");
    s.TgaImageType = greyTga ? 3 : 0;
    for (int y = 1; y <= s.ImageHeight; ++y)
        for (int x = 1; x <= s.ImageWidth; ++x)
            s.PixelRed(x, y) = indices[std::size_t(y - 1)][std::size_t(x - 1)];
    for (std::size_t i = 0; i < palette.size(); ++i)
        s.PaletteRGB[i] = {float(palette[i][0]), float(palette[i][1]), float(palette[i][2])};
    return s;
}

inline Selection region(int columnFrom, int rowFrom, int columnTo, int rowTo)
{
    return {columnFrom, columnTo, rowFrom, rowTo};
}

/// A workspace on \a image whose region is \a sel, measured by \a measure.
inline Workspace workspaceOf(ImageStore image, Selection sel, int measure = MeasureRed)
{
    Workspace ws;
    ws.image = std::move(image);
    ws.selection = sel;
    ws.measure.BrightnessMeasure = measure;
    ws.measure.ColorPointCount = countColorPoints(ws.image, sel);
    return ws;
}

/// The same with the export prepared (\a fill: coloured cells), as the export button does.
inline Workspace preparedWorkspace(ImageStore image, Selection sel, int measure = MeasureRed, bool fill = false)
{
    Workspace ws = workspaceOf(std::move(image), sel, measure);
    EXPECT_EQ(prepareExportRequest(ws, fill), RegionError::None);
    return ws;
}

inline QLocale commaLocale()
{
    return QLocale(QLocale::Russian, QLocale::Russia);
}

} // namespace lumiset::test
