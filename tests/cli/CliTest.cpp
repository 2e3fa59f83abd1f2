// lumiset-cli and the window program's command line: other programs parse the
// output and exit statuses, so each case compares the whole output or file; one
// picture of each kind for the reports. Expected statistics were worked out by
// hand from the pixels (exact fractions, then rounded).

#include "output/Cp1251.h"
#include "support/ImageBuilders.h"

#include <QDir>
#include <QFile>
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

QByteArray bmp(int width, int height, int bits)
{
    BmpBuilder b{.width = width, .height = height, .bitsPerPixel = bits};
    for (int i = 0; bits < 24 && i < (1 << bits); ++i)
        b.palette.push_back(Rgb{std::uint8_t(i), std::uint8_t(255 - i), 0});
    if (bits < 24)
        b.indices.assign(std::size_t(height), std::vector<std::uint8_t>(std::size_t(width), 1));
    return b.build();
}

// The pictures of most cases, in one folder, named as the cases give them:
// c.bmp and a;b.bmp 3 × 2 colour (10,20,31) (255,0,0) (255,255,255) /
// (0,0,1) (128,64,32) (7,7,7); g.pgm 3 × 2 16-bit grey 1000 2000 3001 /
// 65535 0 12; bad.bmp text; four.bmp 2 × 2 of 4 bits; big.bmp 1025 × 1024 and
// wide.bmp 16385 × 1 colour.
const QTemporaryDir& pictures()
{
    static const QTemporaryDir dir;
    static const bool written = [] {
        const QByteArray colour = BmpBuilder{.width = 3,
                                             .height = 2,
                                             .pixels = {{Rgb{10, 20, 31}, Rgb{255, 0, 0}, Rgb{255, 255, 255}},
                                                        {Rgb{0, 0, 1}, Rgb{128, 64, 32}, Rgb{7, 7, 7}}}}
                                      .build();
        const QByteArray grey = QByteArray("P5\n3 2\n65535\n") + QByteArray::fromHex("03e807d00bb9ffff0000000c");
        for (const auto& [name, bytes] : {std::pair{"c.bmp", colour},
                                          {"a;b.bmp", colour},
                                          {"g.pgm", grey},
                                          {"bad.bmp", QByteArray("text")},
                                          {"four.bmp", bmp(2, 2, 4)},
                                          {"big.bmp", bmp24(1025, 1024)},
                                          {"wide.bmp", bmp24(16385, 1)}})
            writeBytes(dir.filePath(QString::fromUtf8(name)), bytes);
        return true;
    }();
    (void)written;
    return dir;
}

// Runs \a program in the pictures' folder, with \a locale and no display: a
// program that needed one would abort.
CliRun runCli(const QStringList& args, const QString& locale = QStringLiteral("ru_RU.UTF-8"),
              const QString& program = QStringLiteral(LUMISET_CLI_PATH))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LANG"})
        env.insert(QString::fromLatin1(name), locale);
    env.remove(QStringLiteral("LC_NUMERIC"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(pictures().path());
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
        {"too flat for one row of the preview: reduced by its width, 3000 / 265", "flat.bmp",
         [] { return bmp(3000, 2, 24); },
         bmpHead(18054, 3000, 2, 24)
             + QStringLiteral("--\nsize: 3000 x 2   Уменьшено в 11,32 раза    16 млн. цветов\nexport: yes\n")},
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
        const CliRun r = runCli({QStringLiteral("info"), tempPicture(c.fileName, c.bytes())});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_EQ(QString::fromUtf8(r.out), c.expected);
    }
}

TEST(CliExportTest, CsvOfOwnWeightsInTheUsersLocale)
{
    QTemporaryDir out;
    const QString csv = out.filePath(QStringLiteral("out.csv"));
    const CliRun r = runCli(
        {"export", "c.bmp", "--from", "2,1", "--measure", "luma", "--weights", "0,5,0,25,0,25", "--csv", csv});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(readBytes(csv),
              lumiset::toCp1251(QString::fromUtf8("127,50;255,00\r\n88,00;7,00\r\n"
                                                  "Файл: c.bmp ,    Точек 3x2   , 16777216 цветов;\r\n"
                                                  "Выведена ЯРКОСТЬ = 0,500•R + 0,250•G + 0,250•B;\r\n"
                                                  "От [2 , 1] до [3 , 2] (отсчёт с левого верхнего угла);\r\n")));
}

// A refusal writes nothing, not even the CSV file of the same command.
TEST(CliTest, ExitStatusesAndNothingWrittenOnARefusal)
{
    QTemporaryDir out;
    // %M a missing file, %O the output folder; the other names are the pictures'.
    const std::pair<const char*, int> cases[] = {
        {"--help", 0},
        {"info %M", 1},
        {"info %O", 1},
        {"", 2},
        {"show c.bmp", 2},
        {"info c.bmp c.bmp", 2},
        {"export c.bmp --xlsx %O/a.xlsx --fill", 0},
        {"export %M", 1},
        {"export four.bmp", 1}, // export stays disabled for 4 bits
        {"export c.bmp --to 4,2", 2},
        {"export c.bmp --from 0,1", 2},
        {"export c.bmp --measure hue", 2},
        {"export c.bmp --weights 0.3,x,0.1", 2},
        {"export c.bmp --csv", 2},
        {"export wide.bmp --to 16385,1 --csv %O/t.csv", 2},
        {"export wide.bmp --to 16384,1", 0},
        {"export c.bmp --measure red,blue --csv %O/l.csv", 2}, // a measure list takes a workbook
        {"export c.bmp --summary --csv %O/t.csv", 2},
        {"export c.bmp --layout wide --csv %O/t.csv", 2},
        {"export big.bmp --layout long --to 1025,1024 --csv %O/t.csv --xlsx %O/t.xlsx", 2}, // over a sheet's points
        {"export wide.bmp --layout long --to 16385,1 --csv %O/t.csv", 0},                   // wider than a worksheet
        {"stats --measure red", 2},
        {"stats c.bmp --csv %O/t.csv --xlsx %O/t.xlsx", 2},
        {"stats c.bmp --from 0,1", 2},
        {"stats c.bmp --from 2,2 --to 1,2", 2},
        {"stats c.bmp --encoding koi8-r --csv %O/t.csv", 2},
        {"stats c.bmp --csv c.bmp", 3}, // over a picture it read
    };
    for (const auto& [line, exitCode] : cases) {
        SCOPED_TRACE(line);
        const QStringList args = QString::fromUtf8(line)
                                     .replace(QLatin1String("%M"), out.filePath(QStringLiteral("none.bmp")))
                                     .replace(QLatin1String("%O"), out.path())
                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, exitCode) << r.err.constData();
        EXPECT_EQ(r.err.isEmpty(), exitCode == 0) << r.err.constData();
        if (exitCode != 0) {
            EXPECT_EQ(entries(out.path()), QStringList());
        }
        for (const QString& written : entries(out.path()))
            QFile::remove(out.filePath(written));
    }
    EXPECT_EQ(readBytes(pictures().filePath(QStringLiteral("c.bmp"))).size(), 78);
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
    const QString image = pictures().filePath(QStringLiteral("c.bmp"));
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
              QStringLiteral("lumiset-cli: Не удалось создать файл ") + QDir::toNativeSeparators(badXlsx)
                  + QStringLiteral(" | Папка не найдена.\n"));
    EXPECT_TRUE(readBytes(table).endsWith(lumiset::toCp1251(QString::fromUtf8("верхнего угла);;\r\n"))));
}

#ifdef Q_OS_WIN
// Windows' C runtime would end lines with CR LF and write Cyrillic in the ANSI
// code page; a pipe must get the bytes every other system gets.
TEST(CliTest, PipesGetUtf8WithLineFeedsOnWindows)
{
    const CliRun info = runCli({QStringLiteral("info"), QStringLiteral("c.bmp")});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_FALSE(info.out.contains('\r'));
    EXPECT_TRUE(info.out.startsWith(QStringLiteral("BMP формат - растр Windows\nРазмер файла 78 байт\n").toUtf8()));
    const CliRun refused = runCli({QStringLiteral("export"), QStringLiteral("four.bmp")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err,
              QStringLiteral("lumiset-cli: cannot export four.bmp: 16-ти цветное изображение | не поддерживается.\n")
                  .toUtf8());
}
#endif

TEST(StatsCliTest, PrintsOneTabSeparatedLinePerPictureAndMeasure)
{
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
        const char* rows; ///< after the header line
        const char* err;  ///< a part of standard error
    };
    const std::vector<Case> cases{
        {"defaults: red of colour, grey of 16-bit grey; an unreadable picture skipped",
         {"c.bmp", "g.pgm", "bad.bmp"},
         1,
         "c.bmp\t3\t2\t1,1\t3,2\tred\t6\t0\t255\t109.1667\t122.5388\t69\n"
         "g.pgm\t3\t2\t1,1\t3,2\tgrey\t6\t0\t65535\t11924.6667\t26289.3755\t1500\n",
         "cannot export bad.bmp: Файл bad.bmp"},
        {"two-decimal measures; medians halfway between written values",
         {"c.bmp", "--from", "2,1", "--measure", "mean,luma"},
         0,
         "c.bmp\t3\t2\t2,1\t3,2\tmean\t4\t7.00\t255.00\t105.4175\t105.5513\t79.835\n"
         "c.bmp\t3\t2\t2,1\t3,2\tluma\t4\t7.00\t255.00\t104.4350\t105.7986\t77.87\n",
         ""},
        {"region clipped to each picture",
         {"g.pgm", "c.bmp", "--from", "2,2", "--to", "9,9", "--measure", "luma"},
         0,
         "g.pgm\t3\t2\t2,2\t3,2\tgrey\t2\t0\t12\t6.0000\t8.4853\t6\n"
         "c.bmp\t3\t2\t2,2\t3,2\tluma\t2\t7.00\t79.49\t43.2450\t51.2582\t43.245\n",
         ""},
        {"one grey point: one line whatever the measures, no spread",
         {"c.bmp", "--from", "3,1", "--to", "3,1", "--measure", "red,luma"},
         0,
         "c.bmp\t3\t2\t3,1\t3,1\tgrey\t1\t255\t255\t255.0000\t\t255\n",
         ""},
        {"region beyond the picture: skipped", {"c.bmp", "--from", "4,1"}, 1, "", "beyond c.bmp (3 x 2 points)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli(QStringList{"stats"} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out.toStdString(),
                  std::string("file\twidth\theight\tfrom\tto\tmeasure\tpoints\tmin\tmax\tmean\tsd\tmedian\n") + c.rows);
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8(c.err))) << r.err.constData();
        EXPECT_EQ(r.err.isEmpty(), c.exitCode == 0);
    }
}

// The texts of the files are the core's; here the options reach them: both
// encodings of the stats table, and a long export with a measure list in UTF-8.
TEST(StatsCliTest, FilesInBothEncodingsHoldTheSameText)
{
    QTemporaryDir out;
    const QString text = QString::fromUtf8(
        "Файл;Ширина;Высота;Первый столбец;Первая строка;Последний столбец;Последняя строка;Мера;Точек;Мин.;"
        "Макс.;Среднее;Ст. откл.;Медиана\r\n"
        "\"a;b.bmp\";3;2;1;1;3;2;Среднее;6;0,33;255,00;73,7217;95,5811;47,50\r\n"
        "g.pgm;3;2;1;1;3;2;Яркость чёрно-белого изображения;6;0;65535;11924,6667;26289,3755;1500\r\n");
    const QString ansi = out.filePath(QStringLiteral("1251.csv"));
    const QString utf8 = out.filePath(QStringLiteral("utf8.csv"));
    const QStringList args{"stats", "a;b.bmp", "g.pgm", "--measure", "mean"};
    ASSERT_EQ(runCli(args + QStringList{"--csv", ansi}).exitCode, 0);
    ASSERT_EQ(runCli(args + QStringList{"--csv", utf8, "--encoding", "utf-8"}).exitCode, 0);
    EXPECT_EQ(readBytes(ansi), lumiset::toCp1251(text));
    EXPECT_EQ(readBytes(utf8), "\xEF\xBB\xBF" + text.toUtf8());
    const QStringList longArgs{"export", "c.bmp", "--to", "2,1", "--layout", "long", "--measure", "red,mean"};
    ASSERT_EQ(runCli(longArgs + QStringList{"--csv", utf8, "--encoding", "utf-8"}).exitCode, 0);
    const QString longStart = QString::fromUtf8(
        "X;Y;Красный;Зелёный;Синий;Красный;Среднее\r\n1;1;10;20;31;10;20,33\r\n");
    EXPECT_TRUE(readBytes(utf8).startsWith("\xEF\xBB\xBF" + longStart.toUtf8()));
}

} // namespace
