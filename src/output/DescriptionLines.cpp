#include "output/DescriptionLines.h"

#include "image/NumberText.h"

namespace lumiset {

QString fileNamePart(const QString& path)
{
    const qsizetype cut = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

QString measureLineText(const MeasureSettings& m, const QLocale& locale)
{
    if (m.ColorPointCount == 0)
        return QStringLiteral("Выведена ЯРКОСТЬ (яркость чёрно-белого изображения)");
    switch (m.BrightnessMeasure) {
    case MeasureRed: return QStringLiteral("Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ");
    case MeasureGreen: return QStringLiteral("Выведена ЯРКОСТЬ ЗЕЛЁНОЙ СОСТАВЛЯЮЩЕЙ");
    case MeasureBlue: return QStringLiteral("Выведена ЯРКОСТЬ СИНЕЙ СОСТАВЛЯЮЩЕЙ");
    case MeasureMean:
        return QStringLiteral("Выведена ЯРКОСТЬ как среднее арифметическое от красной, зелёной и синей составляющей");
    case MeasureMaximum:
        return QStringLiteral("Выведена МАКСИМАЛЬНАЯ ЯРКОСТЬ среди красной, зелёной и синей составляющих каждой точки");
    case MeasureLuminance:
        return QStringLiteral("Выведена ЯРКОСТЬ = ") + fixedText(m.CoefRed, 3, Precision::Single, locale)
            + QStringLiteral("•R + ") + fixedText(m.CoefGreen, 3, Precision::Single, locale) + QStringLiteral("•G + ")
            + fixedText(m.CoefBlue, 3, Precision::Single, locale) + QStringLiteral("•B");
    default: return {};
    }
}

int measureLineFontColor(const MeasureSettings& m)
{
    if (m.ColorPointCount == 0)
        return 0;
    switch (m.BrightnessMeasure) {
    case MeasureRed: return 3;
    case MeasureGreen: return 10;
    case MeasureBlue: return 11;
    default: return 0;
    }
}

QString colourCountText(const ImageStore& image)
{
    const qint64 levels = qint64(image.sampleMaximum()) + 1;
    if (image.isDecoded()) {
        switch (image.pixelKind()) {
        case PixelKind::Palette: return powerOfTwoText(image.BitsPerChannel);
        case PixelKind::Grey: return integerText(levels);
        case PixelKind::TrueColour: return integerText(levels * levels * levels);
        case PixelKind::Unsupported: break;
        }
    }
    return powerOfTwoText(image.BitsPerPixel);
}

QString sheetFileLine(const QString& fileName, const ImageStore& image)
{
    return QStringLiteral("Файл: ") + fileName + QStringLiteral(" ;    Точек ") + integerText(image.ImageWidth)
        + QLatin1Char('x') + integerText(image.ImageHeight) + QStringLiteral("   ; ") + colourCountText(image)
        + QStringLiteral(" цветов");
}

QString sheetRegionLine(const Selection& r, const QString& LastColumnName, int rowCount)
{
    return QStringLiteral("От [") + integerText(r.SelColumnFrom) + QLatin1Char(';') + integerText(r.SelRowFrom)
        + QStringLiteral("] до [") + integerText(r.SelColumnTo) + QLatin1Char(';') + integerText(r.SelRowTo)
        + QStringLiteral("] (отсчёт с левого верхнего угла), занятый диапазон в таблице [A1:") + LastColumnName
        + integerText(rowCount) + QLatin1Char(']');
}

QString csvFileLine(const QString& fileName, const ImageStore& image)
{
    return QStringLiteral("Файл: ") + fileName + QStringLiteral(" ,    Точек ") + integerText(image.ImageWidth)
        + QLatin1Char('x') + integerText(image.ImageHeight) + QStringLiteral("   , ") + colourCountText(image)
        + QStringLiteral(" цветов");
}

QString csvRegionLine(const Selection& r)
{
    return QStringLiteral("От [") + integerText(r.SelColumnFrom) + QStringLiteral(" , ") + integerText(r.SelRowFrom)
        + QStringLiteral("] до [") + integerText(r.SelColumnTo) + QStringLiteral(" , ") + integerText(r.SelRowTo)
        + QStringLiteral("] (отсчёт с левого верхнего угла)");
}

} // namespace lumiset
