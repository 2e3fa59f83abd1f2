#include "ReaderFixtures.h"

#include "support/ImageBuilders.h"

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;

namespace {

TgaBuilder trueColour(int w, int h)
{
    TgaBuilder b;
    b.imageType = 2;
    b.width = w;
    b.height = h;
    return b;
}

TgaBuilder mapped(int entries, int depth)
{
    TgaBuilder b;
    b.colorMapType = 1;
    b.imageType = 1;
    b.colorMapLength = entries;
    b.colorMapDepth = depth;
    b.pixelDepth = 8;
    for (int i = 0; i < entries; ++i)
        b.colourMap.push_back({std::uint8_t(8 * i), std::uint8_t(255 - 8 * i), std::uint8_t(16 * (i % 16))});
    return b;
}

TgaBuilder grey(int w, int h)
{
    TgaBuilder b;
    b.imageType = 3;
    b.pixelDepth = 8;
    b.width = w;
    b.height = h;
    return b;
}

TEST(TgaReader, IdFieldLengthChoosesTheGrammaticalEnding)
{
    const std::pair<int, const char*> cases[] = {
        {1, "1 байт содержится в поле Идентификатора."},     {21, "21 байт содержится в поле Идентификатора."},
        {31, "31 байт содержится в поле Идентификатора."},   {41, "41 байт содержится в поле Идентификатора."},
        {2, "2 байта содержатся в поле Идентификатора."},    {3, "3 байта содержатся в поле Идентификатора."},
        {4, "4 байта содержатся в поле Идентификатора."},    {5, "5 байт содержатся в поле Идентификатора."},
        {11, "11 байт содержатся в поле Идентификатора."},   {22, "22 байт содержатся в поле Идентификатора."},
        {255, "255 байт содержатся в поле Идентификатора."}, {0, "Поле идентификатора не используется."},
    };
    for (const auto& [length, text] : cases) {
        SCOPED_TRACE(length);
        TgaBuilder b = trueColour(1, 1);
        b.idLength = length;
        Opened o;
        runTga(o, b.build());
        ASSERT_FALSE(o.view.reportLines().isEmpty());
        EXPECT_EQ(o.view.reportLines().first(), QString::fromUtf8(text));
    }
}

struct ReportCase {
    const char* rule;
    TgaBuilder file;
    QStringList report;
    bool exportable;
};

class TgaReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(TgaReport, WritesTheReportAndDecidesExport)
{
    const ReportCase& c = GetParam();
    Opened o;
    runTga(o, c.file.build());
    EXPECT_EQ(o.view.reportLines(), c.report);
    EXPECT_EQ(o.view.exportEnabled(), c.exportable);
    EXPECT_TRUE(o.view.messages.isEmpty()); // refusals are reported, never boxed
}

TgaBuilder with(TgaBuilder b, std::function<void(TgaBuilder&)> change)
{
    change(b);
    return b;
}

const QStringList kTail = lines({"Без сжатия", "Начало изображения слева", "Начало изображения снизу",
                                 "Порядок обхода: Cнизу вверх и", "слева направо."});

INSTANTIATE_TEST_SUITE_P(
    Files, TgaReport,
    ::testing::Values(
        ReportCase{"true colour", trueColour(3, 2),
                   lines({"Поле идентификатора не используется.", "Не содержит карту цветов.",
                          "Полноцветное изображение 16 млн. цветов."})
                       + kTail
                       + lines({"Ширина 3", "Высота 2", "Глубина цвета 24 бита на пиксель.",
                                "Число атрибутивных бит на пиксель 0"}),
                   true},
        ReportCase{"colour map of 16 entries of 24 bits", with(mapped(16, 24), [](TgaBuilder& b) { b.width = 1; }),
                   lines({"Поле идентификатора не используется.", "Файл содержит карту цветов.",
                          "карта содержит 16 цветов", "и начинается по адресу 0",
                          "На каждый цвет палитры отведено по 24 бита.", "Изображение с палитрой."})
                       + kTail
                       + lines({"Ширина 1", "Высота 1", "Глубина цвета 8 бит на пиксель.",
                                "Число атрибутивных бит на пиксель 0"}),
                   true},
        ReportCase{"colour map of 16-bit entries starting at 3",
                   with(mapped(4, 16), [](TgaBuilder& b) { b.colorMapStart = 3; }),
                   lines({"Поле идентификатора не используется.", "Файл содержит карту цветов.",
                          "карта содержит 4 цветов", "и начинается по адресу 3",
                          "На каждый цвет палитры отведено по 16 бит.", "Изображение с палитрой."})
                       + kTail
                       + lines({"Ширина 2", "Высота 1", "Глубина цвета 8 бит на пиксель.",
                                "Число атрибутивных бит на пиксель 0"}),
                   true},
        ReportCase{"top origin with 8 attribute bits",
                   with(trueColour(1, 1), [](TgaBuilder& b) { b.descriptor = 0x28; b.pixelDepth = 32; }),
                   lines({"Поле идентификатора не используется.", "Не содержит карту цветов.",
                          "Полноцветное изображение 16 млн. цветов.", "Без сжатия", "Начало изображения слева",
                          "Начало изображения снизу", "Порядок обхода: Cверху вниз и", "слева направо.", "Ширина 1",
                          "Высота 1", "Глубина цвета 32 бита на пиксель.", "Число атрибутивных бит на пиксель 8"}),
                   true},
        ReportCase{"run-length encoded true colour", with(trueColour(1, 1), [](TgaBuilder& b) { b.imageType = 10; }),
                   lines({"Поле идентификатора не используется.", "Не содержит карту цветов.",
                          "Полноцветное изображение 16 млн. цветов.", "Используется сжатие",
                          "Начало изображения слева", "Начало изображения снизу", "Порядок обхода: Cнизу вверх и",
                          "слева направо.", "Ширина 1", "Высота 1", "Глубина цвета 24 бита на пиксель.",
                          "Число атрибутивных бит на пиксель 0"}),
                   false},
        ReportCase{"no image", with(trueColour(1, 1), [](TgaBuilder& b) { b.imageType = 0; b.pixelDepth = 0; }),
                   lines({"Поле идентификатора не используется.", "Не содержит карту цветов.", "Нет изображения."})
                       + kTail
                       + lines({"Ширина 1", "Высота 1", "Глубина цвета 0 бит на пиксель.",
                                "Число атрибутивных бит на пиксель 0"}),
                   false},
        ReportCase{"X origin not 0; Y origin is only reported",
                   with(grey(1, 1), [](TgaBuilder& b) { b.xOrigin = 7; b.yOrigin = 9; }),
                   lines({"Поле идентификатора не используется.", "Не содержит карту цветов.",
                          "Изображение в градациях серого.", "Без сжатия",
                          "Начало изображения со столбца 7 от левого края.", "Начало изображения со строки 9 от низа.",
                          "Порядок обхода: Cнизу вверх и", "слева направо.", "Ширина 1", "Высота 1",
                          "Глубина цвета 8 бит на пиксель.", "Число атрибутивных бит на пиксель 0"}),
                   false},
        ReportCase{"rows stored right to left", with(grey(1, 1), [](TgaBuilder& b) { b.descriptor = 0x13; }),
                   lines({"Поле идентификатора не используется.", "Не содержит карту цветов.",
                          "Изображение в градациях серого.", "Без сжатия", "Начало изображения слева",
                          "Начало изображения снизу", "Порядок обхода: Cнизу вверх и", "справа налево.", "Ширина 1",
                          "Высота 1", "Глубина цвета 8 бит на пиксель.", "Число атрибутивных бит на пиксель 3"}),
                   false},
        ReportCase{"a 2-bit depth takes 'бита'", with(grey(1, 1), [](TgaBuilder& b) { b.imageType = 7; b.pixelDepth = 2; }),
                   lines({"Поле идентификатора не используется.", "Не содержит карту цветов.",
                          "Используется сжатие", "Начало изображения слева", "Начало изображения снизу",
                          "Порядок обхода: Cнизу вверх и", "слева направо.", "Ширина 1", "Высота 1",
                          "Глубина цвета 2 бита на пиксель.", "Число атрибутивных бит на пиксель 0"}),
                   false}));

TEST(TgaReader, DescriptorDecodingWithInterleaveBits)
{
    const struct {
        int descriptor, top, rtl;
    } cases[] = {{0x00, 0, 0}, {0x10, 0, 1}, {0x20, 1, 0}, {0x30, 1, 1}, {0x68, 1, 0}, {0xC0, 0, 0}, {0xF5, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.descriptor);
        Opened o;
        runTga(o, with(trueColour(1, 1), [&](TgaBuilder& b) { b.descriptor = c.descriptor; }).build());
        EXPECT_EQ(o.store.TgaTopOrigin, c.top);
        EXPECT_EQ(o.store.TgaRightToLeft, c.rtl);
        EXPECT_EQ(o.view.reportLines().last(),
                  QString::fromUtf8("Число атрибутивных бит на пиксель ") + QString::number(c.descriptor & 15));
    }
}

TEST(TgaReader, ColourMapSwatchRunsBackwardsOverTheDefinedEntriesOnly)
{
    Opened o;
    runTga(o, mapped(16, 24).build());
    EXPECT_EQ(o.store.PaletteEntrySize, 3);
    EXPECT_EQ(o.store.PaletteRGB[2][0], 16.0f);
    EXPECT_EQ(o.store.PaletteRGB[2][1], 239.0f);
    ASSERT_TRUE(o.view.swatch.cells[0].has_value());
    EXPECT_EQ(*o.view.swatch.cells[0], qRgb(120, 135, 240)); // entry 15
    EXPECT_EQ(*o.view.swatch.cells[15], qRgb(0, 255, 0));    // entry 0
    EXPECT_FALSE(o.view.swatch.cells[16].has_value());
    EXPECT_TRUE(o.view.swatchVisible);
}

TEST(TgaReader, SixteenBitColourMapEntriesAreWidenedToEightBits)
{
    Opened o;
    runTga(o, mapped(4, 16).build());
    EXPECT_EQ(o.store.PaletteEntrySize, 2);
    // Entry 1 was (8, 247, 16): 5 bits kept, widened back by repeating the top bits.
    EXPECT_EQ(o.store.PaletteRGB[1][0], 8.0f);
    EXPECT_EQ(o.store.PaletteRGB[1][1], 247.0f);
    EXPECT_EQ(o.store.PaletteRGB[1][2], 16.0f);
    EXPECT_EQ(o.store.PaletteRGB[3][1], float((231 >> 3 << 3) | (231 >> 5)));
}

TEST(TgaReader, ColourMapAndPixelsStartAfterTheIdField)
{
    TgaBuilder b = mapped(3, 24);
    b.idLength = 5;
    b.width = 2;
    b.indices = {{2, 1}};
    Opened o;
    runTga(o, b.build());
    EXPECT_EQ(o.store.PaletteRGB[1][0], 8.0f);
    EXPECT_EQ(o.store.TgaPixelDataOffset, 18 + 5 + 9);
}

TEST(TgaReader, GreyImageShowsTheFullRamp)
{
    Opened o;
    runTga(o, grey(2, 2).build());
    for (int n : {0, 77, 255}) {
        ASSERT_TRUE(o.view.swatch.cells[n].has_value());
        EXPECT_EQ(*o.view.swatch.cells[n], qRgb(n, n, n));
    }
    EXPECT_EQ(o.store.PixelRed.width(), 2);
    EXPECT_EQ(o.store.PixelGreen.width(), 0); // one plane for grey levels
}

TEST(TgaReader, CompressedImageShowsItsNoticeWithShowFileTicked)
{
    Opened o;
    runTga(o, with(trueColour(1, 1), [](TgaBuilder& b) { b.imageType = 10; }).build());
    EXPECT_TRUE(o.view.label(OpenLabel::DriveCaption).visible);
    EXPECT_EQ(o.view.label(OpenLabel::DriveCaption).text, QString::fromUtf8("Изображение со сжатием не поддерживается"));
    EXPECT_TRUE(o.view.label(OpenLabel::Notice).visible);
    EXPECT_EQ(o.view.label(OpenLabel::Notice).text, QString::fromUtf8("Тип изображения 10\r\n(сжатие RLE)"));
    EXPECT_FALSE(o.view.drawnVisible);
    EXPECT_TRUE(o.view.pictureBoxVisible);
    EXPECT_TRUE(o.view.crossVisible);
}

TEST(TgaReader, UntickedShowFileDrawsNothingButReportsEverything)
{
    Opened o;
    o.view.showFile = false;
    runTga(o, trueColour(4, 4).build());
    EXPECT_EQ(o.view.reportLines().size(), 12);
    EXPECT_FALSE(o.view.drawnVisible);
    EXPECT_TRUE(o.view.drawn.image.isNull());
    EXPECT_TRUE(o.view.exportOn);
}

TEST(TgaReader, EmptyFileIsRefused)
{
    Opened o;
    o.view.exportOn = true;
    runTga(o, QByteArray());
    EXPECT_EQ(o.view.reportText, QString::fromUtf8("Файл занимает 0 байт."));
    EXPECT_FALSE(o.view.exportOn);
    EXPECT_TRUE(o.view.crossVisible);
    EXPECT_TRUE(o.view.pictureBoxVisible);
}

TEST(TgaReader, TrueColourOfOtherDepthsCountsAsTwentyFourBits)
{
    for (int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        Opened o;
        runTga(o, with(trueColour(1, 1), [&](TgaBuilder& b) { b.pixelDepth = depth; }).build());
        EXPECT_EQ(o.store.BitsPerPixel, 24);
        EXPECT_EQ(o.store.TgaPixelDepth, depth);
        EXPECT_TRUE(o.view.exportOn);
    }
}

struct RefusalCase {
    const char* rule;
    TgaBuilder file;
    const char* notice;
};

class TgaRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(TgaRefusal, DisablesExportWithANotice)
{
    const RefusalCase& c = GetParam();
    Opened o;
    runTga(o, c.file.build());
    EXPECT_FALSE(o.view.exportOn);
    EXPECT_TRUE(o.view.crossVisible);
    EXPECT_FALSE(o.view.drawnVisible);
    EXPECT_TRUE(o.view.label(OpenLabel::Notice).visible);
    EXPECT_EQ(o.view.label(OpenLabel::Notice).text, QString::fromUtf8(c.notice));
    EXPECT_FALSE(o.store.PixelRed.allocated());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, TgaRefusal,
    ::testing::Values(
        RefusalCase{"width 0", trueColour(0, 3), "Изображение без точек (0 x 3)\r\nне поддерживается."},
        RefusalCase{"height 0", grey(3, 0), "Изображение без точек (3 x 0)\r\nне поддерживается."},
        RefusalCase{"more than 2^30 pixels", with(trueColour(1, 1), [](TgaBuilder& b) {
                        b.width = 65535;
                        b.height = 65535;
                        b.rawPixels = QByteArray(3, '\0');
                    }),
                    "Изображение 65535 x 65535 слишком велико:\r\nбольше 1073741824 точек не поддерживается."},
        RefusalCase{"colour-mapped with 16-bit pixels", with(mapped(2, 24), [](TgaBuilder& b) { b.pixelDepth = 16; }),
                    "Глубина цвета 16 бит на пиксель\r\nне поддерживается."},
        RefusalCase{"grey with 24-bit pixels", with(grey(1, 1), [](TgaBuilder& b) { b.pixelDepth = 24; }),
                    "Глубина цвета 24 бит на пиксель\r\nне поддерживается."},
        RefusalCase{"true colour with 8-bit pixels", with(trueColour(1, 1), [](TgaBuilder& b) { b.pixelDepth = 8; }),
                    "Глубина цвета 8 бит на пиксель\r\nне поддерживается."}));

TEST(TgaReader, ColourMapLongerThan256KeepsTheFirst256)
{
    TgaBuilder b = mapped(300, 24);
    Opened o;
    runTga(o, b.build());
    EXPECT_EQ(o.store.PaletteRGB[255][0], float(std::uint8_t(8 * 255)));
    EXPECT_EQ(*o.view.swatch.cells[0], qRgb(std::uint8_t(8 * 255), std::uint8_t(255 - 8 * 255), 16 * (255 % 16)));
    EXPECT_EQ(o.store.TgaPixelDataOffset, 18 + 300 * 3);
    EXPECT_TRUE(o.view.exportOn);
}

} // namespace
