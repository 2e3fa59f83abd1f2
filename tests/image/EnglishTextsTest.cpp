// The English translation of what the open window and the files say about a
// picture: every kind of picture reads without a Cyrillic letter in English,
// and the same texts come back in Russian, word for word, once it is removed.

#include "image/Language.h"
#include "image/OpenCommand.h"
#include "image/RecordingOpenView.h"
#include "output/DescriptionLines.h"
#include "support/ImageBuilders.h"

#include <QBuffer>
#include <QImageWriter>
#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <functional>

namespace lumiset::test {
namespace {

/// English for the life of the guard; Russian again however the test leaves.
class EnglishGuard {
public:
    EnglishGuard() : loaded_(useLanguage(Language::English, false)) { }
    ~EnglishGuard() { useLanguage(Language::Russian, false); }
    EnglishGuard(const EnglishGuard&) = delete;
    EnglishGuard& operator=(const EnglishGuard&) = delete;
    bool loaded() const { return loaded_; }

private:
    bool loaded_;
};

QByteArray encoded(QImage image, const char* format)
{
    const bool indices = image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, indices ? uint(x + y) % 2 : qRgb(40 * x, 90 * y, 7));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QImage indexed()
{
    QImage image(3, 2, QImage::Format_Indexed8);
    image.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
    return image;
}

/// Everything the open window and the description lines of both files say.
QStringList textsOf(const QString& name, const QByteArray& bytes)
{
    const QString folder = writeTempFile(name, bytes);
    ImageStore store;
    RecordingOpenView view;
    openCommand(store, view, folder, name);
    QStringList texts = view.reportLines();
    texts << view.labelText(OpenLabel::SizeCaption) << view.labelText(OpenLabel::Notice);
    for (const auto& m : view.messages)
        texts << m.title << m.text;
    texts << csvFileLine(name, store) << sheetFileLine(name, store) << csvRegionLine({})
          << sheetRegionLine({}, QStringLiteral("A"), 4);
    MeasureSettings measure; // grey wording first, then each measure of a colour region
    texts << measureLineText(measure, QLocale::c());
    measure.ColorPointCount = 1;
    for (int m = MeasureRed; m <= MeasureLuminance; ++m) {
        measure.BrightnessMeasure = m;
        texts << measureLineText(measure, QLocale::c());
    }
    return texts;
}

struct Case {
    const char* name;
    std::function<QByteArray()> bytes;
    const char* reportLine; ///< one line of the Russian report
    const char* sizeLabel;  ///< the Russian size label
    const char* fileLine;   ///< the Russian description line that names the file
};

const Case kCases[] = {
    {"a.bmp", [] { return encoded(QImage(3, 2, QImage::Format_Mono), "bmp"); }, "1 бит на каждый пиксель ",
     "3 x 2   Масштаб 1:1    2 цветов", "Файл: a.bmp ,    Точек 3x2   , 2 цветов"},
    {"b.bmp",
     [] {
         return BmpBuilder{.width = 3, .bitsPerPixel = 4, .palette = {{1, 2, 3}}}.build();
     },
     "Используется все цвета палитры", "3 x 2", "Файл: b.bmp ,    Точек 3x2   , 16 цветов"},
    {"c.bmp",
     [] {
         return BmpBuilder{.bitsPerPixel = 8, .palette = {{9, 9, 9}}}.build();
     },
     "BMP формат - растр Windows", "2 x 2", "Файл: c.bmp ,    Точек 2x2   , 256 цветов"},
    {"d.bmp", [] { return BmpBuilder{.height = -2}.build(); }, "Строки записаны сверху вниз",
     "2 x 2   Масштаб 1:1    16 млн. цветов", "Файл: d.bmp ,    Точек 2x2   , 16777216 цветов"},
    {"e.tga", [] { return TgaBuilder{.imageType = 3, .pixelDepth = 8}.build(); }, "Изображение в градациях серого.",
     "2 x 1", "Файл: e.tga ,    Точек 2x1   , 256 цветов"},
    {"f.tga", [] { return TgaBuilder{.descriptor = 0x10}.build(); }, "справа налево.", "2 x 1",
     "Файл: f.tga ,    Точек 2x1   , 16777216 цветов"},
    {"g.pgm", [] { return QByteArray("P5 2 1 65535 \x01\x02\x03\x04", 17); }, "Наибольшее значение отсчёта 65535",
     "2 x 1   Масштаб 1:1    65536 градаций серого", "Файл: g.pgm ,    Точек 2x1   , 65536 цветов"},
    {"h.ppm", [] { return QByteArray("P6 1 1 255 \x01\x02\x03", 14); }, "PNM формат - цветной растр (PPM)",
     "1 x 1   Масштаб 1:1    16 млн. цветов", "Файл: h.ppm ,    Точек 1x1   , 16777216 цветов"},
    {"i.png", [] { return encoded(QImage(3, 2, QImage::Format_Grayscale8), "png"); }, "Глубина цвета 8 бит на канал.",
     "3 x 2   Масштаб 1:1    256 градаций серого", "Файл: i.png ,    Точек 3x2   , 256 цветов"},
    {"j.png", [] { return encoded(indexed(), "png"); }, "Изображение с палитрой из 2 цветов.",
     "3 x 2   Масштаб 1:1    2 цветов", "Файл: j.png ,    Точек 3x2   , 256 цветов"},
    {"k.png", [] { return encoded(QImage(3, 2, QImage::Format_Grayscale16), "png"); }, "Глубина цвета 16 бит на канал.",
     "3 x 2   Масштаб 1:1    65536 градаций серого", "Файл: k.png ,    Точек 3x2   , 65536 цветов"},
    {"l.jpg", [] { return encoded(QImage(300, 200, QImage::Format_RGB32), "jpeg"); }, "JPEG формат - сжатие с потерями",
     "300 x 200   Уменьшено в 1.24 раза    16 млн. цветов", "Файл: l.jpg ,    Точек 300x200   , 16777216 цветов"},
};

TEST(EnglishTexts, EveryKindOfPictureReadsInEnglishAndBackInRussian)
{
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    // The table's ratio is written with a point, whatever the system's locale.
    QLocale::setDefault(QLocale::c());
    const auto systemLocale = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = c.bytes();
        {
            const EnglishGuard english;
            ASSERT_TRUE(english.loaded());
            const QStringList texts = textsOf(QString::fromLatin1(c.name), bytes);
            EXPECT_GT(texts.size(), 12);
            for (const QString& text : texts)
                EXPECT_FALSE(text.contains(cyrillic)) << text.toStdString();
        }
        const QStringList russian = textsOf(QString::fromLatin1(c.name), bytes);
        EXPECT_TRUE(russian.contains(QString::fromUtf8(c.reportLine)));
        EXPECT_TRUE(russian.contains(QString::fromUtf8(c.sizeLabel)));
        EXPECT_TRUE(russian.contains(QString::fromUtf8(c.fileLine)));
    }
    MeasureSettings luminance{.BrightnessMeasure = MeasureLuminance, .ColorPointCount = 1};
    EXPECT_EQ(measureLineText(luminance, QLocale(QLocale::Russian)),
              QStringLiteral("Выведена ЯРКОСТЬ = 0,299•R + 0,587•G + 0,114•B"));
    EXPECT_EQ(csvRegionLine({2, 5, 3, 4}), QStringLiteral("От [2 , 3] до [5 , 4] (отсчёт с левого верхнего угла)"));
}

} // namespace
} // namespace lumiset::test
