// lumiset-cli stats and the output options of export. Expected figures were
// worked out by hand from the pixels (exact fractions, then rounded).

#include "output/Cp1251.h"
#include "support/ImageBuilders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace lumiset::test;

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The pictures of every case, in one folder, named as the cases give them:
// c.bmp and a;b.bmp 3 × 2 colour (10,20,31) (255,0,0) (255,255,255) /
// (0,0,1) (128,64,32) (7,7,7); g.pgm 3 × 2 16-bit grey 1000 2000 3001 /
// 65535 0 12; bad.bmp text; big.bmp 1025 × 1024 and wide.bmp 16385 × 1 colour.
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
                                          {"big.bmp", bmp24(1025, 1024)},
                                          {"wide.bmp", bmp24(16385, 1)}})
            writeBytes(dir.filePath(QString::fromUtf8(name)), bytes);
        return true;
    }();
    (void)written;
    return dir;
}

// Runs lumiset-cli in the pictures' folder with a Russian locale.
CliRun cli(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(pictures().path());
    p.start(QStringLiteral(LUMISET_CLI_PATH), args);
    CliRun r;
    if (p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

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
        const CliRun r = cli(QStringList{"stats"} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out.toStdString(),
                  std::string("file\twidth\theight\tfrom\tto\tmeasure\tpoints\tmin\tmax\tmean\tsd\tmedian\n") + c.rows);
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8(c.err))) << r.err.constData();
        EXPECT_EQ(r.err.isEmpty(), c.exitCode == 0);
    }
}

TEST(StatsCliTest, ExitStatusesAndNothingWrittenOnARefusal)
{
    QTemporaryDir out;
    const QString csv = out.filePath(QStringLiteral("t.csv"));
    const QString xlsx = out.filePath(QStringLiteral("t.xlsx"));
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
    };
    const std::vector<Case> cases{
        {"stats without a picture", {"stats", "--measure", "red"}, 2},
        {"stats to two files", {"stats", "c.bmp", "--csv", csv, "--xlsx", xlsx}, 2},
        {"stats from column 0", {"stats", "c.bmp", "--from", "0,1"}, 2},
        {"stats first after last", {"stats", "c.bmp", "--from", "2,2", "--to", "1,2"}, 2},
        {"stats unknown encoding", {"stats", "c.bmp", "--encoding", "koi8-r", "--csv", csv}, 2},
        {"stats over a picture it read", {"stats", "c.bmp", "--csv", "c.bmp"}, 3},
        {"summary without a workbook", {"export", "c.bmp", "--summary", "--csv", csv}, 2},
        {"unknown layout", {"export", "c.bmp", "--layout", "wide", "--csv", csv}, 2},
        {"table layout still 16384 columns", {"export", "wide.bmp", "--to", "16385,1", "--csv", csv}, 2},
        {"long workbook over its points, CSV not written first",
         {"export", "big.bmp", "--layout", "long", "--to", "1025,1024", "--csv", csv, "--xlsx", xlsx},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cli(c.args).exitCode, c.exitCode);
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList());
    }
    EXPECT_EQ(readBytes(pictures().filePath(QStringLiteral("c.bmp"))).size(), 78);
    // The long layout takes a table file wider than a worksheet.
    EXPECT_EQ(cli({"export", "wide.bmp", "--layout", "long", "--to", "16385,1", "--csv", csv}).exitCode, 0);
}

TEST(StatsCliTest, FilesInBothEncodingsHoldTheSameText)
{
    QTemporaryDir out;
    const QString statsText = QString::fromUtf8(
        "Файл;Ширина;Высота;Первый столбец;Первая строка;Последний столбец;Последняя строка;Мера;Точек;Мин.;"
        "Макс.;Среднее;Ст. откл.;Медиана\r\n"
        "\"a;b.bmp\";3;2;1;1;3;2;Среднее;6;0,33;255,00;73,7217;95,5811;47,50\r\n"
        "g.pgm;3;2;1;1;3;2;Яркость чёрно-белого изображения;6;0;65535;11924,6667;26289,3755;1500\r\n");
    const QString longStart = QString::fromUtf8("X;Y;Красный;Зелёный;Синий;Красный;Среднее\r\n"
                                                "1;1;10;20;31;10;20,33\r\n2;1;255;0;0;255;85,00\r\nФайл: c.bmp ");
    const QStringList statsArgs{"stats", "a;b.bmp", "g.pgm", "--measure", "mean"};
    const QStringList longArgs{"export", "c.bmp", "--to", "2,1", "--layout", "long", "--measure", "red,mean"};
    for (const auto& [args, text, whole] : {std::tuple{statsArgs, statsText, true}, {longArgs, longStart, false}}) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const QString ansi = out.filePath(QStringLiteral("1251.csv"));
        const QString utf8 = out.filePath(QStringLiteral("utf8.csv"));
        ASSERT_EQ(cli(args + QStringList{"--csv", ansi}).exitCode, 0);
        ASSERT_EQ(cli(args + QStringList{"--csv", utf8, "--encoding", "utf-8"}).exitCode, 0);
        const QByteArray bytes = readBytes(ansi);
        const QByteArray utf8Bytes = readBytes(utf8);
        EXPECT_TRUE(whole ? bytes == lumiset::toCp1251(text) : bytes.startsWith(lumiset::toCp1251(text)));
        EXPECT_TRUE(utf8Bytes.startsWith("\xEF\xBB\xBF" + text.toUtf8()));
        EXPECT_EQ(lumiset::toCp1251(QString::fromUtf8(utf8Bytes.mid(3))), bytes);
    }
}

} // namespace
