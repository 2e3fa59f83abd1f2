#pragma once

#include "ImageStore.h"
#include "OpenWindowView.h"

namespace lumiset {

class ByteSource;

/// \brief Box, scale and point counts of a preview drawn point by point.
struct PreviewGeometry {
    int boxWidth = 0; ///< size of the box as it ends up (whole pixels)
    int boxHeight = 0;
    double left = 0; ///< position relative to the preview corner
    double top = 0;
    float scale = 1; ///< picture pixels per preview point
    int rows = 0;
    int cols = 0;
    bool stretched = false;
};

/// \brief BMP box: one-pixel border, the drawing area is the box less 2.
PreviewGeometry bmpPreviewGeometry(int width, int height);
/// \brief TGA box: no border; rows are cut by one when they would pass the last picture row.
PreviewGeometry tgaPreviewGeometry(int width, int height);

/// \brief Draws an 8- or 24-bit uncompressed BMP reduced to the preview area by
/// sampling \a source; 8-bit colours come from PaletteRGB, which must be read.
/// Smoothing averages neighbour pixels once a point covers two pixels or more.
PointPreview drawBmpPreview(const ImageStore& store, ByteSource& source);

/// \brief Draws a grey, colour-mapped or true-colour TGA reduced to the preview area.
PointPreview drawTgaPreview(const ImageStore& store, ByteSource& source);

} // namespace lumiset
