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

QString bmpHead(int fileSize, int width, int height, int bits)
{
    return QString::asprintf("BMP формат - растр Windows\nРазмер файла %d байт\nШирина %d\nВысота %d\n"
                             "%d бит на каждый пиксель \nСжатия нет\n"
                             "Горизонтальное разрешение устройства 2835 пиксель/метр\n"
                             "Вертикальное разрешение устройства 2835 пиксель/метр\n"
                             "Используется все цвета палитры\nЧисло важных цветов 0\n",
                             fileSize, width, height, bits);
}

QString tgaTail(int bits)
{
    return QString::asprintf("Без сжатия\nНачало изображения слева\nНачало изображения снизу\n"
                             "Порядок обхода: Cнизу вверх и\nслева направо.\nШирина 2\nВысота 1\n"
                             "Глубина цвета %d бит%s на пиксель.\nЧисло атрибутивных бит на пиксель 0\n"
                             "--\nsize: 2 x 1\nexport: yes\n",
                             bits, bits == 24 ? "а" : "");
}

TEST(CliInfoTest, PrintsTheOpenWindowsStateForEachKind)
{
    const struct {
        const char* name;
        QString fileName;
        std::function<QByteArray()> bytes;
        QString expected; ///< the whole standard output, with a Russian locale
    } cases[] = {
        {"24-bit BMP, reduced, ratio with the locale's comma", "big.bmp", [] { return bmp(640, 480, 24); },
         bmpHead(921654, 640, 480, 24)
             + QStringLiteral("--\nsize: 640 x 480   Уменьшено в 2,98 раза    16 млн. цветов\nexport: yes\n")},
        {"4-bit BMP: a notice, not exportable", "pal4.bmp", [] { return bmp(8, 2, 4); },
         bmpHead(166, 8, 2, 4) // the builder writes a byte a pixel, so the rows do not fit
             + QStringLiteral(
                 "Нет выравнивания строк по 4 байтной границе\n--\nsize: 8 x 2   Масштаб 1:1    16 цветов\n"
                 "notice: 16-ти цветное изображение | не поддерживается.\nexport: no\n")},
        {"true-colour TGA", "t.tga", [] { return tga(2); },
         QStringLiteral("Поле идентификатора не используется.\nНе содержит карту цветов.\n"
                        "Полноцветное изображение 16 млн. цветов.\n")
             + tgaTail(24)},
        {"colour-mapped TGA", "m.tga", [] { return tga(1); },
         QStringLiteral(
             "Поле идентификатора не используется.\nФайл содержит карту цветов.\nкарта содержит 16 цветов\n"
             "и начинается по адресу 0\nНа каждый цвет палитры отведено по 24 бита.\nИзображение с палитрой.\n")
             + tgaTail(8)},
        {"16-bit PGM: read by its first bytes, 16-bit tables", "g.tga",
         [] { return QByteArray("P5\n2 1\n65535\n") + QByteArray::fromHex("01020304"); },
         QStringLiteral("PNM формат - растр в градациях серого (PGM)\nРазмер файла 17 байт\nШирина 2\nВысота 1\n"
                        "Глубина цвета 16 бит на канал.\nИзображение в градациях серого.\n"
                        "Наибольшее значение отсчёта 65535\n--\nsize: 2 x 1   Масштаб 1:1    65536 градаций серого\n"
                        "export: yes\n")},
        {"text under a .bmp name", "x.bmp", [] { return QByteArray("Just text.\r\n"); },
         QStringLiteral(
             "--\nsize: \nmessage: Неизвестный формат файла | Файл x.bmp |  или имеет неизвестный формат или | "
             "не является изображением, а содержит что-то другое.\nexport: no\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli({QStringLiteral("info"), tempPicture(c.fileName, c.bytes())},
                                QStringLiteral("ru_RU.UTF-8"));
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_EQ(QString::fromUtf8(r.out), c.expected);
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
    // %I the 3 × 2 picture, %F a 4-bit one, %W one 16385 wide, %M a missing file, %O the output folder.
    const std::pair<const char*, int> cases[] = {
        {"--help", 0},
        {"info %M", 1},
        {"info %O", 1},
        {"", 2},
        {"show %I", 2},
        {"info %I %I", 2},
        {"export %I --xlsx %O/a.xlsx --fill", 0},
        {"export %M", 1},
        {"export %F", 1}, // export stays disabled for 4 bits
        {"export %I --to 4,2", 2},
        {"export %I --to 3,3", 2},
        {"export %I --from 3,1 --to 2,2", 2},
        {"export %I --from 0,1", 2},
        {"export %I --measure hue", 2},
        {"export %I --weights 0.3,x,0.1", 2},
        {"export %I --csv", 2},
        {"export %W --to 16385,1", 2},
        {"export %W --to 16384,1", 0},
        {"export %I --measure red,blue --csv %O/l.csv", 2}, // a measure list takes a workbook
    };
    for (const auto& [line, exitCode] : cases) {
        SCOPED_TRACE(line);
        const QStringList args = QString::fromUtf8(line)
                                     .replace(QLatin1String("%I"), image)
                                     .replace(QLatin1String("%F"), refused)
                                     .replace(QLatin1String("%W"), wide)
                                     .replace(QLatin1String("%M"), out.filePath(QStringLiteral("none.bmp")))
                                     .replace(QLatin1String("%O"), out.path())
                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, exitCode) << r.err.constData();
        EXPECT_EQ(r.err.isEmpty(), exitCode == 0) << r.err.constData();
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
