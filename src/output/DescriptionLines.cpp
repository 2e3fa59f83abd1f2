#include "output/DescriptionLines.h"

#include "image/NumberText.h"

#include <QCoreApplication>

namespace lumiset {

namespace {
struct DescriptionTexts {
    Q_DECLARE_TR_FUNCTIONS(DescriptionTexts)
};
} // namespace

QString fileNamePart(const QString& path)
{
    const qsizetype cut = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

QString measureLineText(const MeasureSettings& m, const QLocale& locale)
{
    if (m.ColorPointCount == 0)
        return DescriptionTexts::tr("Выведена ЯРКОСТЬ (яркость чёрно-белого изображения)");
    switch (m.BrightnessMeasure) {
    case MeasureRed: return DescriptionTexts::tr("Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ");
    case MeasureGreen: return DescriptionTexts::tr("Выведена ЯРКОСТЬ ЗЕЛЁНОЙ СОСТАВЛЯЮЩЕЙ");
    case MeasureBlue: return DescriptionTexts::tr("Выведена ЯРКОСТЬ СИНЕЙ СОСТАВЛЯЮЩЕЙ");
    case MeasureMean:
        return DescriptionTexts::tr(
            "Выведена ЯРКОСТЬ как среднее арифметическое от красной, зелёной и синей составляющей");
    case MeasureMaximum:
        return DescriptionTexts::tr(
            "Выведена МАКСИМАЛЬНАЯ ЯРКОСТЬ среди красной, зелёной и синей составляющих каждой точки");
    case MeasureLuminance:
        return DescriptionTexts::tr("Выведена ЯРКОСТЬ = %1•R + %2•G + %3•B")
            .arg(fixedText(m.CoefRed, 3, Precision::Single, locale),
                 fixedText(m.CoefGreen, 3, Precision::Single, locale),
                 fixedText(m.CoefBlue, 3, Precision::Single, locale));
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
    return DescriptionTexts::tr("Файл: %1 ;    Точек %2x%3   ; %4 цветов")
        .arg(fileName, integerText(image.ImageWidth), integerText(image.ImageHeight), colourCountText(image));
}

QString sheetRegionLine(const Selection& r, const QString& LastColumnName, int rowCount)
{
    return DescriptionTexts::tr(
               "От [%1;%2] до [%3;%4] (отсчёт с левого верхнего угла), занятый диапазон в таблице [A1:%5]")
        .arg(integerText(r.SelColumnFrom), integerText(r.SelRowFrom), integerText(r.SelColumnTo),
             integerText(r.SelRowTo), LastColumnName + integerText(rowCount));
}

QString csvFileLine(const QString& fileName, const ImageStore& image)
{
    return DescriptionTexts::tr("Файл: %1 ,    Точек %2x%3   , %4 цветов")
        .arg(fileName, integerText(image.ImageWidth), integerText(image.ImageHeight), colourCountText(image));
}

QString csvRegionLine(const Selection& r)
{
    return DescriptionTexts::tr("От [%1 , %2] до [%3 , %4] (отсчёт с левого верхнего угла)")
        .arg(integerText(r.SelColumnFrom), integerText(r.SelRowFrom), integerText(r.SelColumnTo),
             integerText(r.SelRowTo));
}

} // namespace lumiset
