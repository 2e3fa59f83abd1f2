#pragma once

#include "image/ImageStore.h"
#include "output/ExportState.h"
#include "output/PointValues.h"

#include <QLocale>
#include <QString>

namespace lumiset {

/// \brief The file name part of \a path: the text after its last "\" or "/".
QString fileNamePart(const QString& path);

/// \brief The line that names what the numbers are, by measure (or the grey
/// wording for a grey region); weights with three decimals in \a locale.
QString measureLineText(const MeasureSettings& m, const QLocale& locale);

/// \brief Font colour index of the measure line in the worksheet: 3, 10, 11 for
/// the red, green and blue components of a colour region, 0 for no change.
int measureLineFontColor(const MeasureSettings& m);

/// \brief How many colours the file's points can take: 2 to the bits per pixel
/// of a BMP or TGA, 2 to the bits per index of a decoded palette, and (largest
/// sample + 1) per channel of a decoded grey or colour picture.
QString colourCountText(const ImageStore& image);

/// "Файл: … ;    Точек WxH   ; N цветов" as the worksheet carries it, N by colourCountText().
QString sheetFileLine(const QString& fileName, const ImageStore& image);
/// "От [c;r] до [c;r] (…), занятый диапазон в таблице [A1:…]".
QString sheetRegionLine(const Selection& region, const QString& LastColumnName, int rowCount);

/// The same two lines as a table file carries them (comma-separated wording).
QString csvFileLine(const QString& fileName, const ImageStore& image);
QString csvRegionLine(const Selection& region);

} // namespace lumiset
