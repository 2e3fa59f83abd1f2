#include "ReaderFixtures.h"

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;

namespace {

TgaBuilder trueColour(int w, int h)
{
    return TgaBuilder{.imageType = 2, .width = w, .height = h};
}

TgaBuilder mapped(int entries, int depth)
{
    TgaBuilder b{.colorMapType = 1, .imageType = 1, .colorMapLength = entries, .colorMapDepth = depth, .pixelDepth = 8};
    for (int i = 0; i < entries; ++i)
        b.colourMap.push_back({std::uint8_t(8 * i), std::uint8_t(255 - 8 * i), std::uint8_t(16 * (i % 16))});
    return b;
}

TgaBuilder grey(int w, int h)
{
    return TgaBuilder{.imageType = 3, .width = w, .height = h, .pixelDepth = 8};
}

TEST(TgaReader, IdFieldLengthChoosesTheGrammaticalEnding)
{
    const std::pair<int, const char*> cases[] = {
        {1, "1 байт содержится"},     {21, "21 байт содержится"}, {31, "31 байт содержится"},
        {41, "41 байт содержится"},   {2, "2 байта содержатся"},  {4, "4 байта содержатся"},
        {5, "5 байт содержатся"},     {11, "11 байт содержатся"}, {22, "22 байт содержатся"},
        {255, "255 байт содержатся"},
    };
    for (const auto& [length, text] : cases) {
        SCOPED_TRACE(length);
        const Opened o = opened(with(trueColour(1, 1), [&](TgaBuilder& b) { b.idLength = length; }));
        EXPECT_EQ(o.view.reportLines().first(), QString(text) + " в поле Идентификатора.");
    }
}

TEST(TgaReader, GreyImageShowsTheFullRampAndNeedsOnePlane)
{
    const Opened o = opened(grey(2, 2));
    for (int n : {0, 77, 255})
        EXPECT_EQ(o.view.swatch.cells[n], qRgb(n, n, n));
    EXPECT_EQ(o.store.PixelGreen.width(), 0);
    EXPECT_TRUE(o.view.exportOn && o.view.drawnVisible);
}

struct ReportCase {
    const char* rule;
    TgaBuilder file;
    const char* line;   ///< a line the report must hold
    const char* notice; ///< the notice under the crossed preview, or nullptr
    bool exportable;
};

class TgaReport : public ::testing::TestWithParam<ReportCase> { };

TEST_P(TgaReport, ReportLineNoticeAndExport)
{
    const ReportCase& c = GetParam();
    const Opened o = opened(c.file);
    EXPECT_TRUE(o.view.reportLines().contains(QString(c.line))) << o.view.reportText.toStdString();
    EXPECT_EQ(o.view.exportOn, c.exportable);
    EXPECT_TRUE(o.view.messages.isEmpty()); // refusals are reported, never boxed
    if (!c.notice)
        return;
    EXPECT_TRUE(o.view.crossVisible && o.view.label(OpenLabel::Notice).visible && !o.view.drawnVisible);
    EXPECT_EQ(o.view.label(OpenLabel::Notice).text, QString(c.notice));
    EXPECT_FALSE(o.store.PixelRed.allocated());
}

INSTANTIATE_TEST_SUITE_P(
    Files, TgaReport,
    ::testing::Values(
        ReportCase{"grey levels", grey(1, 1), "Изображение в градациях серого.", nullptr, true},
        ReportCase{"16-bit map entries", mapped(4, 16), "На каждый цвет палитры отведено по 16 бит.", nullptr, true},
        ReportCase{"32 bits a pixel", TgaBuilder{.width = 1, .pixelDepth = 32}, "Глубина цвета 32 бита на пиксель.",
                   nullptr, true},
        ReportCase{"no image", TgaBuilder{.imageType = 0, .width = 1}, "Нет изображения.", nullptr, false},
        ReportCase{"Y origin is only reported", TgaBuilder{.imageType = 3, .yOrigin = 9, .width = 1, .pixelDepth = 8},
                   "Начало изображения со строки 9 от низа.", nullptr, true},
        ReportCase{"rows stored right to left",
                   TgaBuilder{.imageType = 3, .width = 1, .pixelDepth = 8, .descriptor = 0x13}, "справа налево.",
                   nullptr, false},
        ReportCase{"attribute bits are the low four of the descriptor", TgaBuilder{.width = 1, .descriptor = 0xF5},
                   "Число атрибутивных бит на пиксель 5", nullptr, false},
        ReportCase{"a 2-bit depth takes 'бита'", TgaBuilder{.imageType = 7, .width = 1, .pixelDepth = 2},
                   "Глубина цвета 2 бита на пиксель.", nullptr, false},
        ReportCase{"run-length encoded", TgaBuilder{.imageType = 10, .width = 1}, "Используется сжатие",
                   "Тип изображения 10\r\n(сжатие RLE)", false},
        ReportCase{"width 0", trueColour(0, 3), "Ширина 0", "Изображение без точек (0 x 3)\r\nне поддерживается.",
                   false},
        ReportCase{"more than 2^30 pixels", TgaBuilder{.width = 65535, .height = 65535, .rawPixels = "abc"},
                   "Ширина 65535",
                   "Изображение 65535 x 65535 слишком велико:\r\nбольше 1073741824 точек не поддерживается.", false},
        ReportCase{"colour-mapped with 16-bit pixels", with(mapped(2, 24), [](TgaBuilder& b) { b.pixelDepth = 16; }),
                   "Глубина цвета 16 бит на пиксель.", "Глубина цвета 16 бит на пиксель\r\nне поддерживается.", false},
        ReportCase{"grey with 24-bit pixels", TgaBuilder{.imageType = 3, .width = 1, .pixelDepth = 24},
                   "Глубина цвета 24 бита на пиксель.", "Глубина цвета 24 бит на пиксель\r\nне поддерживается.", false},
        ReportCase{"true colour with 8-bit pixels", TgaBuilder{.width = 1, .pixelDepth = 8},
                   "Глубина цвета 8 бит на пиксель.", "Глубина цвета 8 бит на пиксель\r\nне поддерживается.", false}));

TEST(TgaReader, ColourMapSwatchRunsBackwardsOverTheDefinedEntriesOnly)
{
    const Opened o = opened(mapped(16, 24));
    EXPECT_EQ(o.view.swatch.cells[0], qRgb(120, 135, 240)); // entry 15
    EXPECT_EQ(o.view.swatch.cells[15], qRgb(0, 255, 0));    // entry 0
    EXPECT_FALSE(o.view.swatch.cells[16].has_value());
    const Opened widened = opened(mapped(4, 16)); // 5 bits a component, widened by repeating the top bits
    EXPECT_EQ(widened.store.PaletteRGB[1], (std::array<float, 3>{8, 247, 16}));
    EXPECT_EQ(widened.store.PaletteRGB[3][1], float((231 >> 3 << 3) | (231 >> 5)));
    const Opened longer = opened(mapped(300, 24)); // the first 256 entries; the pixels after all 300
    EXPECT_EQ(longer.store.PaletteRGB[255][0], float(std::uint8_t(8 * 255)));
    EXPECT_EQ(longer.store.TgaPixelDataOffset, 18 + 300 * 3);
    EXPECT_TRUE(longer.view.exportOn);
}

TEST(TgaReader, CompressedImageIsNamedOverTheDriveList)
{
    const Opened o = opened(TgaBuilder{.imageType = 10, .width = 1});
    EXPECT_TRUE(o.view.label(OpenLabel::DriveCaption).visible);
    EXPECT_EQ(o.view.label(OpenLabel::DriveCaption).text, QString("Изображение со сжатием не поддерживается"));
}

} // namespace
