// lumiset-cli: other programs parse its output and exit statuses, so each case
// compares the whole output or file; one picture of each kind for the reports.

#include "output/Cp1251.h"
#include "support/ImageBuilders.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace lumiset::test;

namespace {

struct CliRun {
    int exitCode = -1; ///< -1: crashed or hung
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QStringList& args, const QString& locale = QStringLiteral("C"),
              const QString& program = QStringLiteral(LUMISET_CLI_PATH))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LANG"})
        env.insert(QString::fromLatin1(name), locale);
    env.remove(QStringLiteral("LC_NUMERIC"));
    // No display: a program that needed one would abort.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    CliRun r;
    if (p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString tempPicture(const QString& name, const QByteArray& bytes)
{
    return QDir(writeTempFile(name, bytes)).filePath(name);
}

QByteArray bmp(int width, int height, int bits)
{
    BmpBuilder b{.width = width, .height = height, .bitsPerPixel = bits};
    for (int i = 0; bits < 24 && i < (1 << bits); ++i)
        b.palette.push_back(Rgb{std::uint8_t(i), std::uint8_t(255 - i), 0});
    if (bits < 24)
        b.indices.assign(std::size_t(height), std::vector<std::uint8_t>(std::size_t(width), 1));
    return b.build();
}

QByteArray tga(int imageType)
{
    TgaBuilder t{.imageType = imageType};
    if (imageType == 1) {
        t.colorMapType = 1;
        t.colorMapLength = 16;
        for (int i = 0; i < 16; ++i)
            t.colourMap.push_back({std::uint8_t(i), std::uint8_t(2 * i), std::uint8_t(3 * i)});
    }
    if (imageType != 2) {
        t.pixelDepth = 8;
        t.indices = {{1, 15}};
    }
    return t.build();
}

QStringList bmpHead(int fileSize, int width, int height, int bits)
{
    return {QStringLiteral("BMP формат - растр Windows"),
            QStringLiteral("Размер файла %1 байт").arg(fileSize),
            QStringLiteral("Ширина %1").arg(width),
            QStringLiteral("Высота %1").arg(height),
            QStringLiteral("%1 бит на каждый пиксель ").arg(bits),
            QStringLiteral("Сжатия нет"),
            QStringLiteral("Горизонтальное разрешение устройства 2835 пиксель/метр"),
            QStringLiteral("Вертикальное разрешение устройства 2835 пиксель/метр"),
            QStringLiteral("Используется все цвета палитры"),
            QStringLiteral("Число важных цветов 0")};
}

QStringList tgaTail(int bits)
{
    return {QStringLiteral("Без сжатия"),
            QStringLiteral("Начало изображения слева"),
            QStringLiteral("Начало изображения снизу"),
            QStringLiteral("Порядок обхода: Cнизу вверх и"),
            QStringLiteral("слева направо."),
            QStringLiteral("Ширина 2"),
            QStringLiteral("Высота 1"),
            QStringLiteral("Глубина цвета %1 бит%2 на пиксель.").arg(bits).arg(bits == 24 ? "а" : ""),
            QStringLiteral("Число атрибутивных бит на пиксель 0"),
            QStringLiteral("--"),
            QStringLiteral("size: 2 x 1"),
            QStringLiteral("export: yes")};
}

struct InfoCase {
    const char* name;
    QString fileName;
    std::function<QByteArray()> bytes;
    QStringList expected; ///< every line of standard output, with a Russian locale
};

TEST(CliInfoTest, PrintsTheOpenWindowsStateForEachKind)
{
    const QString noId = QStringLiteral("Поле идентификатора не используется.");
    const QString noMap = QStringLiteral("Не содержит карту цветов.");
    const std::vector<InfoCase> cases{
        {"24-bit BMP, reduced, ratio with the locale's comma", QStringLiteral("big.bmp"),
         [] { return bmp(640, 480, 24); },
         bmpHead(921654, 640, 480, 24)
             + QStringList{QStringLiteral("--"),
                           QStringLiteral("size: 640 x 480   Уменьшено в 2,98 раза    16 млн. цветов"),
                           QStringLiteral("export: yes")}},
        {"4-bit BMP: a notice, not exportable", QStringLiteral("pal4.bmp"), [] { return bmp(8, 2, 4); },
         bmpHead(166, 8, 2, 4) // the builder writes a byte a pixel, so the rows do not fit
             + QStringList{QStringLiteral("Нет выравнивания строк по 4 байтной границе"), QStringLiteral("--"),
                           QStringLiteral("size: 8 x 2   Масштаб 1:1    16 цветов"),
                           QStringLiteral("notice: 16-ти цветное изображение | не поддерживается."),
                           QStringLiteral("export: no")}},
        {"true-colour TGA", QStringLiteral("t.tga"), [] { return tga(2); },
         QStringList{noId, noMap, QStringLiteral("Полноцветное изображение 16 млн. цветов.")} + tgaTail(24)},
        {"colour-mapped TGA", QStringLiteral("m.tga"), [] { return tga(1); },
         QStringList{noId, QStringLiteral("Файл содержит карту цветов."), QStringLiteral("карта содержит 16 цветов"),
                     QStringLiteral("и начинается по адресу 0"),
                     QStringLiteral("На каждый цвет палитры отведено по 24 бита."),
                     QStringLiteral("Изображение с палитрой.")}
             + tgaTail(8)},
        {"16-bit PGM: read by its first bytes, 16-bit tables",
         QStringLiteral("g.tga"),
         [] { return QByteArray("P5\n2 1\n65535\n") + QByteArray::fromHex("01020304"); },
         {QStringLiteral("PNM формат - растр в градациях серого (PGM)"), QStringLiteral("Размер файла 17 байт"),
          QStringLiteral("Ширина 2"), QStringLiteral("Высота 1"), QStringLiteral("Глубина цвета 16 бит на канал."),
          QStringLiteral("Изображение в градациях серого."), QStringLiteral("Наибольшее значение отсчёта 65535"),
          QStringLiteral("--"), QStringLiteral("size: 2 x 1   Масштаб 1:1    65536 градаций серого"),
          QStringLiteral("export: yes")}},
        {"text under a .bmp name",
         QStringLiteral("x.bmp"),
         [] { return QByteArray("Just text.\r\n"); },
         {QStringLiteral("--"), QStringLiteral("size: "),
          QStringLiteral("message: Неизвестный формат файла | Файл x.bmp |  или имеет неизвестный формат или | "
                         "не является изображением, а содержит что-то другое."),
          QStringLiteral("export: no")}},
    };
    for (const InfoCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli({QStringLiteral("info"), tempPicture(c.fileName, c.bytes())},
                                QStringLiteral("ru_RU.UTF-8"));
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_EQ(r.out.toStdString(), (c.expected.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8().toStdString());
    }
}

// 3 × 2: (10,20,31) (255,0,0) (255,255,255) / (0,0,1) (128,64,32) (7,7,7).
QString smallPicture()
{
    const BmpBuilder b{.width = 3,
                       .height = 2,
                       .pixels = {{Rgb{10, 20, 31}, Rgb{255, 0, 0}, Rgb{255, 255, 255}},
                                  {Rgb{0, 0, 1}, Rgb{128, 64, 32}, Rgb{7, 7, 7}}}};
    return tempPicture(QStringLiteral("small.bmp"), b.build());
}

TEST(CliExportTest, CsvOfOwnWeightsInTheUsersLocale)
{
    QTemporaryDir out;
    const QString csv = out.filePath(QStringLiteral("out.csv"));
    const CliRun r = runCli({QStringLiteral("export"), smallPicture(), QStringLiteral("--from"), QStringLiteral("2,1"),
                             QStringLiteral("--measure"), QStringLiteral("luma"), QStringLiteral("--weights"),
                             QStringLiteral("0,5,0,25,0,25"), QStringLiteral("--csv"), csv},
                            QStringLiteral("ru_RU.UTF-8"));
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(readBytes(csv),
              lumiset::toCp1251(QString::fromUtf8("127,50;255,00\r\n88,00;7,00\r\n"
                                                  "Файл: small.bmp ,    Точек 3x2   , 16777216 цветов;\r\n"
                                                  "Выведена ЯРКОСТЬ = 0,500•R + 0,250•G + 0,250•B;\r\n"
                                                  "От [2 , 1] до [3 , 2] (отсчёт с левого верхнего угла);\r\n")));
}

TEST(CliTest, ExitStatuses)
{
    const QString image = smallPicture();
    const QString refused = tempPicture(QStringLiteral("four.bmp"), bmp(2, 2, 4));
    const QString wide = tempPicture(QStringLiteral("wide.bmp"), bmp(16385, 1, 24));
    QTemporaryDir out;
    const QString missing = out.filePath(QStringLiteral("none.bmp"));
    const auto exportOf = [&](const QStringList& more) { return QStringList{QStringLiteral("export"), image} + more; };
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
    };
    const std::vector<Case> cases{
        {"help", {QStringLiteral("--help")}, 0},
        {"info of a missing file", {QStringLiteral("info"), missing}, 1},
        {"info of a folder", {QStringLiteral("info"), out.path()}, 1},
        {"no arguments", {}, 2},
        {"unknown command", {QStringLiteral("show"), image}, 2},
        {"info with two pictures", {QStringLiteral("info"), image, image}, 2},
        {"workbook written",
         exportOf({QStringLiteral("--xlsx"), out.filePath(QStringLiteral("a.xlsx")), QStringLiteral("--fill")}), 0},
        {"export of a missing file", {QStringLiteral("export"), missing}, 1},
        {"export stays disabled for 4 bits", {QStringLiteral("export"), refused}, 1},
        {"region beyond the right edge", exportOf({QStringLiteral("--to"), QStringLiteral("4,2")}), 2},
        {"region beyond the bottom", exportOf({QStringLiteral("--to"), QStringLiteral("3,3")}), 2},
        {"first after last",
         exportOf({QStringLiteral("--from"), QStringLiteral("3,1"), QStringLiteral("--to"), QStringLiteral("2,2")}), 2},
        {"column 0", exportOf({QStringLiteral("--from"), QStringLiteral("0,1")}), 2},
        {"unknown measure", exportOf({QStringLiteral("--measure"), QStringLiteral("hue")}), 2},
        {"bad weights", exportOf({QStringLiteral("--weights"), QStringLiteral("0.3,x,0.1")}), 2},
        {"missing option value", exportOf({QStringLiteral("--csv")}), 2},
        {"16385 columns", {QStringLiteral("export"), wide, QStringLiteral("--to"), QStringLiteral("16385,1")}, 2},
        {"16384 columns", {QStringLiteral("export"), wide, QStringLiteral("--to"), QStringLiteral("16384,1")}, 0},
        {"a measure list with --csv",
         exportOf({QStringLiteral("--measure"), QStringLiteral("red,blue"), QStringLiteral("--csv"),
                   out.filePath(QStringLiteral("l.csv"))}),
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.constData();
        EXPECT_EQ(r.err.isEmpty(), c.exitCode == 0) << r.err.constData();
    }
}

// The window program settles its command line before it needs a display.
TEST(ProgramCommandLineTest, UsageErrorsAreToldWithoutADisplay)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing"));
    const QString help = QStringLiteral("\nСправка: lumiset --help\n");
    const std::pair<QStringList, QString> cases[] = {
        {{missing}, QStringLiteral("lumiset: нет такого файла или папки: ") + missing + help},
        {{QStringLiteral("--frobnicate")}, QStringLiteral("lumiset: неизвестный параметр: frobnicate") + help},
        {{dir.path(), dir.path()}, QStringLiteral("lumiset: лишний аргумент: ") + dir.path() + help},
    };
    for (const auto& [args, err] : cases) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = runCli(args, QStringLiteral("C.UTF-8"), QStringLiteral(LUMISET_PROGRAM_PATH));
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(QString::fromUtf8(r.err), err);
    }
    const CliRun r = runCli({QStringLiteral("--help")}, QStringLiteral("C.UTF-8"),
                            QStringLiteral(LUMISET_PROGRAM_PATH));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QStringLiteral(
        "Lumiset переводит точки картинки BMP, TGA, PNG, JPEG, TIFF, GIF, WebP или PNM в таблицу чисел яркости.")));
}

// Any refused output: status 3 and the reason; a table written before stays complete.
// (What the writers leave on disk is the core's rule, checked in WriterFailureTest.)
TEST(CliTest, UnwritableOutputsExitThreeWithTheReason)
{
    const QString image = smallPicture();
    QTemporaryDir dir;
    const QString badCsv = dir.filePath(QStringLiteral("no such folder/t.csv"));
    CliRun r = runCli({QStringLiteral("export"), image, QStringLiteral("--csv"), badCsv});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(QString::fromUtf8(r.err),
              QStringLiteral("lumiset-cli: Не удалось создать файл ") + badCsv
                  + QStringLiteral(" | Проверьте название файла и доступ к папке.\n"));
    const QString table = dir.filePath(QStringLiteral("table.csv"));
    const QString badXlsx = table + QStringLiteral("/x.xlsx"); // under a file, not a folder
    r = runCli({QStringLiteral("export"), image, QStringLiteral("--csv"), table, QStringLiteral("--xlsx"), badXlsx});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(QString::fromUtf8(r.err),
              QStringLiteral("lumiset-cli: Не удалось создать файл ") + badXlsx
                  + QStringLiteral(" | Папка не найдена.\n"));
    EXPECT_TRUE(readBytes(table).endsWith(lumiset::toCp1251(QString::fromUtf8("верхнего угла);;\r\n"))));
}

} // namespace
