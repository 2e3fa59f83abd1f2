// lumiset-cli export: other programs read its files and exit statuses, so the
// cases compare whole files and exact statuses.

#include "output/Cp1251.h"
#include "support/ImageBuilders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

using namespace lumiset::test;

namespace {

struct ExportRun {
    int exitCode = -1;
    QByteArray err;
};

ExportRun runExport(const QStringList& args, const QString& locale = QStringLiteral("C"))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LANG"), locale);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LUMISET_CLI_PATH), QStringList{QStringLiteral("export")} + args);
    ExportRun r;
    if (p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.err = p.readAllStandardError();
    return r;
}

QByteArray cp1251Lines(const char* utf8)
{
    return lumiset::toCp1251(QString::fromUtf8(utf8).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

// 3 × 2: (10,20,31) (255,0,0) (255,255,255) / (0,0,1) (128,64,32) (7,7,7).
QByteArray smallPicture()
{
    BmpBuilder b;
    b.width = 3;
    b.height = 2;
    b.pixels = {{Rgb{10, 20, 31}, Rgb{255, 0, 0}, Rgb{255, 255, 255}},
                {Rgb{0, 0, 1}, Rgb{128, 64, 32}, Rgb{7, 7, 7}}};
    return b.build();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(CliExportTest, CsvBytes)
{
    struct Case {
        const char* name;
        QStringList args;
        const char* expected;
    };
    const std::array<Case, 4> cases{{
        {"default region and measure of a 24-bit picture: red", {QStringLiteral("--locale"), QStringLiteral("ru_RU")},
         "10;255;255\n0;128;7\n"
         "Файл: small.bmp ,    Точек 3x2   , 16777216 цветов;;\n"
         "Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ;;\n"
         "От [1 , 1] до [3 , 2] (отсчёт с левого верхнего угла);;\n"},
        {"luminance with a comma locale",
         {QStringLiteral("--measure"), QStringLiteral("luma"), QStringLiteral("--locale"), QStringLiteral("ru_RU")},
         "18,26;76,25;255,00\n0,11;79,49;7,00\n"
         "Файл: small.bmp ,    Точек 3x2   , 16777216 цветов;;\n"
         "Выведена ЯРКОСТЬ = 0,299•R + 0,587•G + 0,114•B;;\n"
         "От [1 , 1] до [3 , 2] (отсчёт с левого верхнего угла);;\n"},
        {"own weights with a point locale, one column",
         {QStringLiteral("--from"), QStringLiteral("2,1"), QStringLiteral("--to"), QStringLiteral("2,2"),
          QStringLiteral("--measure"), QStringLiteral("luma"), QStringLiteral("--weights"),
          QStringLiteral("0,5,0,25,0,25"), QStringLiteral("--locale"), QStringLiteral("en_US")},
         "127.50\n88.00\n"
         "Файл: small.bmp ,    Точек 3x2   , 16777216 цветов\n"
         "Выведена ЯРКОСТЬ = 0.500•R + 0.250•G + 0.250•B\n"
         "От [2 , 1] до [2 , 2] (отсчёт с левого верхнего угла)\n"},
        {"the user's locale when none is named", {QStringLiteral("--measure"), QStringLiteral("mean"),
                                                  QStringLiteral("--from"), QStringLiteral("1,1"),
                                                  QStringLiteral("--to"), QStringLiteral("2,1")},
         "20.33;85.00\n"
         "Файл: small.bmp ,    Точек 3x2   , 16777216 цветов;\n"
         "Выведена ЯРКОСТЬ как среднее арифметическое от красной, зелёной и синей составляющей;\n"
         "От [1 , 1] до [2 , 1] (отсчёт с левого верхнего угла);\n"},
    }};
    const QString image = QDir(writeTempFile(QStringLiteral("small.bmp"), smallPicture())).filePath(QStringLiteral("small.bmp"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir out;
        const QString csv = out.filePath(QStringLiteral("out.csv"));
        const ExportRun r = runExport(QStringList{image} + c.args + QStringList{QStringLiteral("--csv"), csv});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_EQ(readAll(csv), cp1251Lines(c.expected));
    }
}

TEST(CliExportTest, ExitStatuses)
{
    const QString image = QDir(writeTempFile(QStringLiteral("small.bmp"), smallPicture())).filePath(QStringLiteral("small.bmp"));
    BmpBuilder fourBit;
    fourBit.bitsPerPixel = 4;
    for (int i = 0; i < 16; ++i)
        fourBit.palette.push_back(Rgb{std::uint8_t(i), 0, 0});
    const QString refused = QDir(writeTempFile(QStringLiteral("four.bmp"), fourBit.build())).filePath(QStringLiteral("four.bmp"));
    QTemporaryDir out;
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
    };
    const std::array<Case, 10> cases{{
        {"written", {image, QStringLiteral("--xlsx"), out.filePath(QStringLiteral("a.xlsx")), QStringLiteral("--fill")}, 0},
        {"missing file", {out.filePath(QStringLiteral("none.bmp"))}, 1},
        {"export stays disabled for 4 bits", {refused}, 1},
        {"region beyond the right edge", {image, QStringLiteral("--to"), QStringLiteral("4,2")}, 2},
        {"region beyond the bottom", {image, QStringLiteral("--to"), QStringLiteral("3,3")}, 2},
        {"first after last", {image, QStringLiteral("--from"), QStringLiteral("3,1"), QStringLiteral("--to"), QStringLiteral("2,2")}, 2},
        {"column 0", {image, QStringLiteral("--from"), QStringLiteral("0,1")}, 2},
        {"unknown measure", {image, QStringLiteral("--measure"), QStringLiteral("hue")}, 2},
        {"bad weights", {image, QStringLiteral("--weights"), QStringLiteral("0.3,x,0.1")}, 2},
        {"missing option value", {image, QStringLiteral("--csv")}, 2},
    }};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ExportRun r = runExport(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.constData();
        if (c.exitCode != 0)
            EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST(CliExportTest, WiderThan256ColumnsIsRefused)
{
    BmpBuilder wide;
    wide.width = 300;
    wide.height = 1;
    wide.pixels = {std::vector<Rgb>(300, Rgb{1, 2, 3})};
    const QString image = QDir(writeTempFile(QStringLiteral("wide.bmp"), wide.build())).filePath(QStringLiteral("wide.bmp"));
    QTemporaryDir out;
    const QString csv = out.filePath(QStringLiteral("w.csv"));
    EXPECT_EQ(runExport({image, QStringLiteral("--to"), QStringLiteral("257,1"), QStringLiteral("--csv"), csv}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(csv));
    EXPECT_EQ(runExport({image, QStringLiteral("--to"), QStringLiteral("256,1"), QStringLiteral("--csv"), csv}).exitCode, 0);
    EXPECT_EQ(readAll(csv).count(';'), 255 + 3 * 255);
}

} // namespace
