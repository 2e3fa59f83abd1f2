#include "output/CsvExport.h"

#include "output/Cp1251.h"
#include "output/ExportPreparation.h"
#include "output/OutputFixtures.h"
#include "support/ImageBuilders.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace lumiset {
namespace {

using namespace lumiset::test;

// Expected text as UTF-8 with "\n"; the file has windows-1251 bytes and CR LF.
QByteArray cp1251Lines(const char* utf8)
{
    return toCp1251(QString::fromUtf8(utf8).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

struct CsvCase {
    const char* name;
    std::function<ImageStore()> image;
    Selection sel;
    int measure;
    QLocale locale;
    const char* expected;
    TableLayout layout = TableLayout::Table;
    std::vector<int> measures = {};
};

// 3 × 2 colour picture: (10,20,31) (255,0,0) (255,255,255) / (0,0,1) (128,64,32) (7,7,7).
ImageStore colourPicture()
{
    return trueColourImage(
        {{Rgb8{10, 20, 31}, Rgb8{255, 0, 0}, Rgb8{255, 255, 255}}, {Rgb8{0, 0, 1}, Rgb8{128, 64, 32}, Rgb8{7, 7, 7}}});
}

TEST(CsvBytesTest, WholeFile)
{
    const CsvCase cases[] = {
        {"three columns, luminance, comma", colourPicture, region(1, 1, 3, 2), MeasureLuminance, commaLocale(),
         "18,26;76,25;255,00\n0,11;79,49;7,00\n"
         "Файл: tyu2.bmp ,    Точек 3x2   , 16777216 цветов;;\n"
         "Выведена ЯРКОСТЬ = 0,299•R + 0,587•G + 0,114•B;;\n"
         "От [1 , 1] до [3 , 2] (отсчёт с левого верхнего угла);;\n"},
        {"grey TGA writes its levels",
         [] {
             return singlePlaneImage({{3, 250}}, {}, true);
         },
         region(1, 1, 2, 1), MeasureMean, commaLocale(),
         "3;250\n"
         "Файл: grey.tga ,    Точек 2x1   , 256 цветов;\n"
         "Выведена ЯРКОСТЬ (яркость чёрно-белого изображения);\n"
         "От [1 , 1] до [2 , 1] (отсчёт с левого верхнего угла);\n"},
        {"long: grey levels, one line per point from the top",
         [] {
             return singlePlaneImage({{3, 250}, {7, 9}}, {}, true);
         },
         region(2, 1, 2, 2), MeasureMean, commaLocale(),
         "X;Y;Яркость\n2;1;250\n2;2;9\n"
         "Файл: grey.tga ,    Точек 2x2   , 256 цветов;;\n"
         "Выведена ЯРКОСТЬ (яркость чёрно-белого изображения);;\n"
         "От [2 , 1] до [2 , 2] (отсчёт с левого верхнего угла);;\n",
         TableLayout::Long},
        {"long: colour, the picture's coordinates, components and luminance", colourPicture, region(2, 1, 3, 2),
         MeasureLuminance, commaLocale(),
         "X;Y;Красный;Зелёный;Синий;Яркость\n"
         "2;1;255;0;0;76,25\n3;1;255;255;255;255,00\n2;2;128;64;32;79,49\n3;2;7;7;7;7,00\n"
         "Файл: tyu2.bmp ,    Точек 3x2   , 16777216 цветов;;;;;\n"
         "Выведена ЯРКОСТЬ = 0,299•R + 0,587•G + 0,114•B;;;;;\n"
         "От [2 , 1] до [3 , 2] (отсчёт с левого верхнего угла);;;;;\n",
         TableLayout::Long},
        {"long: several measures, a column and a measure line each",
         colourPicture,
         region(1, 1, 2, 1),
         MeasureBlue,
         QLocale(QLocale::English),
         "X;Y;Красный;Зелёный;Синий;Красный;Среднее;Яркость\n"
         "1;1;10;20;31;10;20.33;18.26\n2;1;255;0;0;255;85.00;76.25\n"
         "Файл: tyu2.bmp ,    Точек 3x2   , 16777216 цветов;;;;;;;\n"
         "Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ / Выведена ЯРКОСТЬ как среднее арифметическое от красной, зелёной и "
         "синей составляющей / Выведена ЯРКОСТЬ = 0.299•R + 0.587•G + 0.114•B;;;;;;;\n"
         "От [1 , 1] до [2 , 1] (отсчёт с левого верхнего угла);;;;;;;\n",
         TableLayout::Long,
         {MeasureRed, MeasureMean, MeasureLuminance}},
        {"long: 16-bit samples and their mean",
         [] {
             ImageStore image = wideColourImage({{{54445, 4235, 35909}, {15455, 64937, 58915}}});
             image.FilePath = QStringLiteral("/p/deep.png");
             return image;
         },
         region(1, 1, 2, 1), MeasureMean, commaLocale(),
         "X;Y;Красный;Зелёный;Синий;Среднее\n1;1;54445;4235;35909;31529,67\n2;1;15455;64937;58915;46435,67\n"
         "Файл: deep.png ,    Точек 2x1   , 281474976710656 цветов;;;;;\n"
         "Выведена ЯРКОСТЬ как среднее арифметическое от красной, зелёной и синей составляющей;;;;;\n"
         "От [1 , 1] до [2 , 1] (отсчёт с левого верхнего угла);;;;;\n",
         TableLayout::Long},
        {"long: palette components as stored",
         [] {
             return singlePlaneImage({{0, 1}}, {Rgb8{128, 3, 90}, Rgb8{12, 200, 5}});
         },
         region(1, 1, 2, 1), MeasureMaximum, commaLocale(),
         "X;Y;Красный;Зелёный;Синий;Максимум\n1;1;128;3;90;128\n2;1;12;200;5;200\n"
         "Файл: pal.bmp ,    Точек 2x1   , 256 цветов;;;;;\n"
         "Выведена МАКСИМАЛЬНАЯ ЯРКОСТЬ среди красной, зелёной и синей составляющих каждой точки;;;;;\n"
         "От [1 , 1] до [2 , 1] (отсчёт с левого верхнего угла);;;;;\n",
         TableLayout::Long},
    };
    // Each file in both encodings: the UTF-8 one is the same text after its byte-order mark.
    for (const CsvCase& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = workspaceOf(c.image(), c.sel, c.measure);
        ws.output.layout = c.layout;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        ASSERT_EQ(writeCsv(ws, path, c.locale, {}, c.measures), CsvError::None);
        EXPECT_EQ(readBytes(path), cp1251Lines(c.expected));
        ws.output.csvEncoding = CsvEncoding::Utf8;
        ASSERT_EQ(writeCsv(ws, path, c.locale, {}, c.measures), CsvError::None);
        const QByteArray utf8 = readBytes(path);
        EXPECT_TRUE(utf8.startsWith("\xEF\xBB\xBF"));
        EXPECT_EQ(QString::fromUtf8(utf8.mid(3)),
                  QString::fromUtf8(c.expected).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    }
}

TEST(CsvBytesTest, ReversedColumnsWriteNothing)
{
    Workspace ws;
    ws.image = colourPicture();
    ws.selection = region(3, 1, 2, 2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    EXPECT_EQ(writeCsv(ws, path, commaLocale()), CsvError::RegionOutsideImage);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(CsvPathTest, DefaultPathNeverThePictureAndAnswerRules)
{
    const std::array<const char*, 3> defaults[] = {
        {"C:\\images\\tyu2.bmp", "C:\\images\\tyu2.csv", "tyu2.csv"},
        {"/home/u/pic/A.TGA", "/home/u/pic/A.csv", "A.csv"},
        {"/home/u/pic/a.tga", "/home/u/pic/a.csv", "a.csv"},
        {"/home/u/pic/a.BMP", "/home/u/pic/a.csv", "a.csv"},
        {"/home/u/pic/a.Bmp", "/home/u/pic/a.Bmp.csv", "a.Bmp.csv"},
        {"/home/u/pic/scan.tiff", "/home/u/pic/scan.csv", "scan.csv"},
        {"/home/u/pic/PHOTO.JPG", "/home/u/pic/PHOTO.csv", "PHOTO.csv"},
        {"/home/u/p.png/shot", "/home/u/p.png/shot.csv", "shot.csv"},
        {"/home/u/pic/picture", "/home/u/pic/picture.csv", "picture.csv"},
        {"/home/u/pic/a.csv", "/home/u/pic/a.csv.csv", "a.csv.csv"},
    };
    for (const auto& c : defaults) {
        SCOPED_TRACE(c[0]);
        const QString path = defaultCsvPath(QString::fromUtf8(c[0]));
        EXPECT_EQ(path, QString::fromUtf8(c[1]));
        EXPECT_EQ(defaultCsvName(path), QString::fromUtf8(c[2]));
    }
    const QString def = QStringLiteral("C:\\img\\a.csv");
    const std::pair<const char*, const char*> answers[] = {
        {"", "C:\\img\\a.csv"},
        {"res", "C:\\img\\res.csv"},
        {"res.csv", "C:\\img\\res.csv"},
        {"res.cvs", "C:\\img\\res.csv"},
        {"res.CVS", "C:\\img\\res.csv"},
        {"res.CSV", "C:\\img\\res.CSV"},
        {"res.txt", "C:\\img\\res.txt.csv"},
        {"data.Csv", "C:\\img\\data.Csv.csv"},
        {".cvs", "C:\\img\\.csv"},
        {"таблица", "C:\\img\\таблица.csv"},
    };
    for (const auto& [answer, expected] : answers) {
        SCOPED_TRACE(answer);
        EXPECT_EQ(csvFinalPath(def, QString::fromUtf8(answer)), QString::fromUtf8(expected));
    }
    EXPECT_EQ(csvFinalPath(QStringLiteral("/p/q/a.csv"), QStringLiteral("res")), QStringLiteral("/p/q/res.csv"));
}

TEST(CsvCommandTest, AnswerLeadsToTheFileAndIsKeptButNeverThePicture)
{
    QTemporaryDir dir;
    Workspace ws;
    ws.image = colourPicture();
    ws.image.FilePath = dir.filePath(QStringLiteral("tyu2.bmp"));
    ASSERT_EQ(csvCommand(ws, QStringLiteral("res.cvs"), commaLocale()), CsvError::None);
    EXPECT_EQ(ws.SelectedFileName, dir.filePath(QStringLiteral("res.csv")));
    EXPECT_TRUE(QFile::exists(ws.SelectedFileName));

    const QString picture = dir.filePath(QStringLiteral("odd.csv")); // a bitmap with an unusual name
    ASSERT_TRUE(writeBytes(picture, "BMpicture"));
    ws.image.FilePath = picture;
    EXPECT_EQ(csvCommand(ws, QStringLiteral("odd.csv"), commaLocale()), CsvError::WouldReplaceImage);
    EXPECT_EQ(readBytes(picture), QByteArray("BMpicture"));
}

TEST(Cp1251Test, Encoding)
{
    EXPECT_EQ(toCp1251(QString::fromUtf8("АЯаяЁё•№ x")), QByteArray("\xC0\xDF\xE0\xFF\xA8\xB8\x95\xB9 x"));
    EXPECT_EQ(toCp1251(QString::fromUtf8("✓€😀")), QByteArray("?\x88?"));
}

} // namespace
} // namespace lumiset
