// lumiset-cli info: other programs parse its output, so each case compares the
// whole standard output with the lines the open window would show for the file.

#include "support/ImageBuilders.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringDecoder>
#include <QStringList>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

using namespace lumiset::test;

namespace {

struct CliRun {
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

/// Runs the built binary with \a args under the locale \a locale (LC_ALL and LANG),
/// so the decimal separator of the size label is known.
CliRun runCli(const QStringList& args, const QString& locale = QStringLiteral("C"))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LANG"), locale);
    env.remove(QStringLiteral("LC_NUMERIC"));
    env.remove(QStringLiteral("LANGUAGE"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LUMISET_CLI_PATH), args);
    CliRun r;
    // No deadline: a hang is a fault of its own and ctest's limit reports it.
    r.finished = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

/// The file written into a fresh folder; returns its full path.
QString writeFile(const QString& name, const QByteArray& bytes)
{
    return QDir(writeTempFile(name, bytes)).filePath(name);
}

/// The expected standard output: the lines joined by LF, one LF at the end.
QByteArray outputOf(const QStringList& lines)
{
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

/// A 24-bit picture: 14-byte file header, 40-byte info header, rows padded to 4 bytes.
QByteArray bmp24(int width, int height)
{
    BmpBuilder b;
    b.width = width;
    b.height = height;
    b.bitsPerPixel = 24;
    return b.build();
}

/// A 16-colour picture with packed 4-bit pixels (the builder writes bytes per pixel).
QByteArray bmp4(int width, int height)
{
    BmpBuilder b;
    b.width = width;
    b.height = height;
    b.bitsPerPixel = 4;
    for (int i = 0; i < 16; ++i)
        b.palette.push_back({std::uint8_t(i * 16), std::uint8_t(255 - i * 16), std::uint8_t(i)});
    Bytes file;
    file.data = b.build();
    file.data.truncate(14 + 40 + 16 * 4);
    const int rowBytes = ((width * 4 + 31) / 32) * 4;
    for (int r = 0; r < height; ++r)
        for (int i = 0; i < rowBytes; ++i)
            file.u8(unsigned(0x12 + r));
    file.patch32(2, file.size());
    return file.data;
}

struct InfoCase {
    const char* name;                         ///< the fault or rule the row guards
    QString fileName;                         ///< name the file is written under
    std::function<QByteArray()> bytes;
    QStringList expected;                     ///< every line of standard output
    QString locale = QStringLiteral("C");
};

const QString kBmpResolution[] = {
    QStringLiteral("Горизонтальное разрешение устройства 2835 пиксель/метр"),
    QStringLiteral("Вертикальное разрешение устройства 2835 пиксель/метр"),
};

QStringList bmpWindowsHead(int fileSize, int width, int height, int bits)
{
    return {
        QStringLiteral("BMP формат - растр Windows"),
        QStringLiteral("Размер файла %1 байт").arg(fileSize),
        QStringLiteral("Ширина %1").arg(width),
        QStringLiteral("Высота %1").arg(height),
        QStringLiteral("%1 бит на каждый пиксель ").arg(bits), // the trailing blank is part of the line
        QStringLiteral("Сжатия нет"),
        kBmpResolution[0],
        kBmpResolution[1],
        QStringLiteral("Используется все цвета палитры"),
        QStringLiteral("Число важных цветов 0"),
    };
}

QStringList trueColourTgaHead()
{
    return {
        QStringLiteral("Поле идентификатора не используется."),
        QStringLiteral("Не содержит карту цветов."),
        QStringLiteral("Полноцветное изображение 16 млн. цветов."),
        QStringLiteral("Без сжатия"),
    };
}

std::vector<InfoCase> infoCases()
{
    std::vector<InfoCase> cases;

    // 4 × 2, 24 bits: rows of 12 bytes, no filler; 54 + 24 = 78 bytes.
    cases.push_back({"small 24-bit picture: report, 1:1 scale, exportable", QStringLiteral("small.bmp"),
                     [] { return bmp24(4, 2); },
                     bmpWindowsHead(78, 4, 2, 24)
                         + QStringList{QStringLiteral("--"),
                                       QStringLiteral("size: 4 x 2   Масштаб 1:1    16 млн. цветов"),
                                       QStringLiteral("export: yes")}});

    // 3 × 2, 24 bits, 3 filler bytes a row (what every writer does): the padding
    // worked out from the sizes is 3, the comparison expects (4 − 3 mod 4) mod 4 = 1.
    cases.push_back({"odd width: padding compared with the width, not the row bytes", QStringLiteral("odd.bmp"),
                     [] { return bmp24(3, 2); },
                     bmpWindowsHead(78, 3, 2, 24)
                         + QStringList{QStringLiteral("Нет выравнивания строк по 4 байтной границе"),
                                       QStringLiteral("--"),
                                       QStringLiteral("size: 3 x 2   Масштаб 1:1    16 млн. цветов"),
                                       QStringLiteral("export: yes")}});

    // 640 × 480 shown 161 high: 480 / 161 = 2.981…
    const QStringList bigHead = bmpWindowsHead(921654, 640, 480, 24) + QStringList{QStringLiteral("--")};
    cases.push_back({"large picture: reduction ratio with the C locale's point", QStringLiteral("big.bmp"),
                     [] { return bmp24(640, 480); },
                     bigHead
                         + QStringList{QStringLiteral("size: 640 x 480   Уменьшено в 2.98 раза    16 млн. цветов"),
                                       QStringLiteral("export: yes")}});
    cases.push_back({"large picture: reduction ratio with a Russian locale's comma", QStringLiteral("big.bmp"),
                     [] { return bmp24(640, 480); },
                     bigHead
                         + QStringList{QStringLiteral("size: 640 x 480   Уменьшено в 2,98 раза    16 млн. цветов"),
                                       QStringLiteral("export: yes")},
                     QStringLiteral("ru_RU.UTF-8")});

    // 8 × 2, 4 bits: 16 palette entries of 4 bytes, pixels at 118, rows of 4 bytes.
    cases.push_back({"4-bit picture: colour count and a two-line notice, not exportable", QStringLiteral("pal4.bmp"),
                     [] { return bmp4(8, 2); },
                     bmpWindowsHead(126, 8, 2, 4)
                         + QStringList{QStringLiteral("--"),
                                       QStringLiteral("size: 8 x 2   Масштаб 1:1    16 цветов"),
                                       QStringLiteral("notice: 16-ти цветное изображение | не поддерживается."),
                                       QStringLiteral("export: no")}});

    cases.push_back({"text under a .bmp name: unknown-format message, no report", QStringLiteral("x.bmp"),
                     [] { return QByteArray("This is not a picture.\r\nJust text.\r\n"); },
                     {QStringLiteral("--"), QStringLiteral("size: "),
                      QStringLiteral("message: Неизвестный формат файла | Файл x.bmp |  или имеет неизвестный формат или | "
                                     "не является изображением, а содержит что-то другое."),
                      QStringLiteral("export: no")}});

    cases.push_back({"empty .bmp file: zero-byte report, no message", QStringLiteral("empty.bmp"),
                     [] { return QByteArray(); },
                     {QStringLiteral("Файл занимает 0 байт."), QStringLiteral("--"), QStringLiteral("size: "),
                      QStringLiteral("export: no")}});

    cases.push_back({"bitmap under another name: the signature decides", QStringLiteral("photo.jpg"),
                     [] { return bmp24(4, 2); },
                     bmpWindowsHead(78, 4, 2, 24)
                         + QStringList{QStringLiteral("--"),
                                       QStringLiteral("size: 4 x 2   Масштаб 1:1    16 млн. цветов"),
                                       QStringLiteral("export: yes")}});

    cases.push_back({"true-colour TGA, bottom-left: exportable", QStringLiteral("t.tga"),
                     [] {
                         TgaBuilder t;
                         t.width = 2;
                         t.height = 1;
                         t.pixels = {{Rgb{10, 20, 30}, Rgb{40, 50, 60}}};
                         return t.build();
                     },
                     trueColourTgaHead()
                         + QStringList{QStringLiteral("Начало изображения слева"),
                                       QStringLiteral("Начало изображения снизу"),
                                       QStringLiteral("Порядок обхода: Cнизу вверх и"), // Latin C
                                       QStringLiteral("слева направо."),
                                       QStringLiteral("Ширина 2"),
                                       QStringLiteral("Высота 1"),
                                       QStringLiteral("Глубина цвета 24 бита на пиксель."),
                                       QStringLiteral("Число атрибутивных бит на пиксель 0"),
                                       QStringLiteral("--"),
                                       QStringLiteral("size: 2 x 1"),
                                       QStringLiteral("export: yes")}});

    cases.push_back({"TGA starting at column 3: refused in the report only", QStringLiteral("shifted.TGA"),
                     [] {
                         TgaBuilder t;
                         t.xOrigin = 3;
                         t.width = 2;
                         t.height = 1;
                         return t.build();
                     },
                     trueColourTgaHead()
                         + QStringList{QStringLiteral("Начало изображения со столбца 3 от левого края."),
                                       QStringLiteral("Начало изображения снизу"),
                                       QStringLiteral("Порядок обхода: Cнизу вверх и"),
                                       QStringLiteral("слева направо."),
                                       QStringLiteral("Ширина 2"),
                                       QStringLiteral("Высота 1"),
                                       QStringLiteral("Глубина цвета 24 бита на пиксель."),
                                       QStringLiteral("Число атрибутивных бит на пиксель 0"),
                                       QStringLiteral("--"),
                                       QStringLiteral("size: 2 x 1"),
                                       QStringLiteral("export: no")}});

    // 16 entries of 24 bits, top-left origin with Y origin = height, 8 attribute bits.
    cases.push_back({"colour-mapped TGA with an ID field, top-left", QStringLiteral("mapped.tga"),
                     [] {
                         TgaBuilder t;
                         t.idLength = 21;
                         t.colorMapType = 1;
                         t.imageType = 1;
                         t.colorMapLength = 16;
                         t.colorMapDepth = 24;
                         for (int i = 0; i < 16; ++i)
                             t.colourMap.push_back({std::uint8_t(i), std::uint8_t(2 * i), std::uint8_t(3 * i)});
                         t.pixelDepth = 8;
                         t.descriptor = 0x28;
                         t.yOrigin = 1;
                         t.width = 2;
                         t.height = 1;
                         t.indices = {{1, 15}};
                         return t.build();
                     },
                     {QStringLiteral("21 байт содержится в поле Идентификатора."),
                      QStringLiteral("Файл содержит карту цветов."),
                      QStringLiteral("карта содержит 16 цветов"),
                      QStringLiteral("и начинается по адресу 0"),
                      QStringLiteral("На каждый цвет палитры отведено по 24 бита."),
                      QStringLiteral("Изображение с палитрой."),
                      QStringLiteral("Без сжатия"),
                      QStringLiteral("Начало изображения слева"),
                      QStringLiteral("Начало изображения со строки 1 от низа."),
                      QStringLiteral("Порядок обхода: Cверху вниз и"),
                      QStringLiteral("слева направо."),
                      QStringLiteral("Ширина 2"),
                      QStringLiteral("Высота 1"),
                      QStringLiteral("Глубина цвета 8 бит на пиксель."),
                      QStringLiteral("Число атрибутивных бит на пиксель 8"),
                      QStringLiteral("--"),
                      QStringLiteral("size: 2 x 1"),
                      QStringLiteral("export: yes")}});
    return cases;
}

class CliInfo : public testing::TestWithParam<InfoCase> {};

TEST_P(CliInfo, PrintsTheOpenWindowsState)
{
    const InfoCase& c = GetParam();
    const QString path = writeFile(c.fileName, c.bytes());
    const CliRun r = runCli({QStringLiteral("info"), path}, c.locale);
    ASSERT_TRUE(r.finished) << r.err.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), outputOf(c.expected).toStdString());
    EXPECT_FALSE(r.out.contains('\r')) << "line ends must be LF only";
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(r.out);
    EXPECT_FALSE(utf8.hasError()) << "output is not UTF-8";
    EXPECT_EQ(decoded.toUtf8(), r.out);
}

INSTANTIATE_TEST_SUITE_P(CliInfoFiles, CliInfo, testing::ValuesIn(infoCases()),
                         [](const testing::TestParamInfo<InfoCase>& info) {
                             std::string name = std::to_string(info.index) + "_";
                             for (const char* p = info.param.name; *p && name.size() < 40; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

// ---------------------------------------------------------------------------
// Exit statuses: 0 opened, 1 cannot be opened at all, 2 usage error.

struct StatusCase {
    const char* name;
    std::function<QStringList()> args;
    int exitCode;
    bool wantsStdout; ///< something on standard output
    bool wantsStderr; ///< something on standard error
};

std::vector<StatusCase> statusCases()
{
    const auto missing = [] {
        return QStringList{QStringLiteral("info"),
                           QDir(writeTempFile(QStringLiteral("other.bin"), "x")).filePath(QStringLiteral("absent.bmp"))};
    };
    return {
        {"missing file: status 1, reason on stderr only", missing, 1, false, true},
        {"folder given as the picture: status 1", [] { return QStringList{QStringLiteral("info"), QDir::tempPath()}; },
         1, false, true},
        {"no arguments: usage error", [] { return QStringList{}; }, 2, false, true},
        {"unknown command: usage error", [] { return QStringList{QStringLiteral("show"), QStringLiteral("a.bmp")}; }, 2,
         false, true},
        {"info without a picture: usage error", [] { return QStringList{QStringLiteral("info")}; }, 2, false, true},
        {"info with two pictures: usage error",
         [] { return QStringList{QStringLiteral("info"), QStringLiteral("a.bmp"), QStringLiteral("b.bmp")}; }, 2, false,
         true},
        {"an unreadable kind still opens: status 0",
         [] { return QStringList{QStringLiteral("info"), writeFile(QStringLiteral("notes.txt"), "plain text")}; }, 0,
         true, false},
    };
}

class CliInfoStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(CliInfoStatus, ExitsWithTheDocumentedStatus)
{
    const StatusCase& c = GetParam();
    const CliRun r = runCli(c.args());
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_EQ(!r.out.isEmpty(), c.wantsStdout) << r.out.toStdString();
    EXPECT_EQ(!r.err.isEmpty(), c.wantsStderr) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(CliInfoArguments, CliInfoStatus, testing::ValuesIn(statusCases()),
                         [](const testing::TestParamInfo<StatusCase>& info) {
                             std::string name = std::to_string(info.index) + "_";
                             for (const char* p = info.param.name; *p && *p != ':'; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(CliInfoHelp, ExplainsTheInfoCommandOnStandardOutput)
{
    const CliRun r = runCli({QStringLiteral("--help")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("info")) << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains('\r'));
}

} // namespace
