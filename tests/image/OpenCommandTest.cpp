#include "image/OpenCommand.h"
#include "image/RecordingOpenView.h"

#include "support/ImageBuilders.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;

namespace {

struct RouteCase {
    const char* rule;
    const char* name;
    QByteArray bytes;
    OpenOutcome outcome;
    int messages;
};

const QByteArray kBmp = BmpBuilder{.width = 1, .height = 1}.build();
const QByteArray kTga = TgaBuilder{.width = 1, .height = 1}.build();

class OpenRoute : public ::testing::TestWithParam<RouteCase> { };

TEST_P(OpenRoute, SignatureDecidesForBmpAndTheNameForTga)
{
    const RouteCase& c = GetParam();
    ImageStore store;
    store.ImageState = ImageState::Shown;
    RecordingOpenView view; // an earlier picture on show, ready for export
    view.reportText = QStringLiteral("earlier report");
    view.labels[int(OpenLabel::SizeCaption)].text = QStringLiteral("9 x 9");
    view.exportOn = view.swatchVisible = view.drawnVisible = true;
    EXPECT_EQ(openCommand(store, view, writeTempFile(c.name, c.bytes), c.name), c.outcome);
    const bool readerRan = c.outcome == OpenOutcome::Bmp || c.outcome == OpenOutcome::Tga;
    EXPECT_EQ(store.ImageState, readerRan ? ImageState::HeaderRead : ImageState::Shown);
    EXPECT_EQ(view.messages.size(), c.messages);
    EXPECT_EQ(view.reportText.isEmpty(), c.outcome == OpenOutcome::Ignored || c.outcome == OpenOutcome::UnknownFormat);
    EXPECT_GE(view.openButtonRestored, 1);
    if (!readerRan) { // nothing of the earlier picture stays under this name
        EXPECT_FALSE(view.exportOn || view.swatchVisible || view.drawnVisible);
        EXPECT_TRUE(view.labelText(OpenLabel::SizeCaption).isEmpty() && view.crossVisible);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, OpenRoute,
    ::testing::Values(RouteCase{"lower-case .tga", "a.tga", kTga, OpenOutcome::Tga, 0},
                      RouteCase{"upper-case .TGA", "a.TGA", kTga, OpenOutcome::Tga, 0},
                      RouteCase{"mixed-case .Tga is not a TGA name", "a.Tga", kTga, OpenOutcome::Ignored, 0},
                      RouteCase{"\"BA\" signature is a bitmap too", "b.dat", "BA" + kBmp.mid(2), OpenOutcome::Bmp, 0},
                      RouteCase{"empty .bmp: no reader, state kept", "empty.bmp", QByteArray(), OpenOutcome::EmptyFile,
                                0},
                      RouteCase{"empty .tga is the TGA reader's", "empty.tga", QByteArray(), OpenOutcome::Tga, 0},
                      RouteCase{"text under a .BMP name", "notes.BMP", "hello", OpenOutcome::UnknownFormat, 1},
                      RouteCase{"text under another name", "notes.txt", "hello", OpenOutcome::Ignored, 0}));

TEST(OpenCommand, FileThatCannotBeOpenedIsToldAndExportIsDisabled)
{
    for (const char* name : {"missing.bmp", "missing.tga"}) {
        SCOPED_TRACE(name);
        ImageStore store;
        RecordingOpenView view;
        view.exportOn = true;
        EXPECT_EQ(openCommand(store, view, QDir::tempPath() + "/lumiset-none", name), OpenOutcome::CannotOpen);
        ASSERT_EQ(view.messages.size(), 1);
        EXPECT_EQ(view.messages[0].text, QString("Ошибка №53 Файл не найден"));
        EXPECT_FALSE(view.exportOn);
    }
}

TEST(OpenCommand, FilePathJoinsFolderAndNameWithOneSeparator)
{
    EXPECT_EQ(joinFilePath("/data", "a.bmp"), "/data/a.bmp");
    EXPECT_EQ(joinFilePath("/data/", "a.bmp"), "/data/a.bmp");
    EXPECT_EQ(joinFilePath("C:\\", "a.bmp"), "C:\\a.bmp");
}

// What a reader of a format that Qt decodes hands over, applied as the BMP reader applies it.
TEST(PresentPicture, ShowsAnAcceptedPictureAndArmsExport)
{
    RecordingOpenView view;
    Swatch swatch;
    swatch.cells[0] = qRgb(1, 2, 3);
    presentPicture(
        view, {{"line 1", "line 2"}, 100, 50, "    16 млн. цветов", swatch, {}, QImage(100, 50, QImage::Format_RGB32)});
    EXPECT_EQ(view.reportText, "line 1\r\nline 2");
    EXPECT_EQ(view.labelText(OpenLabel::SizeCaption), "100 x 50   Масштаб 1:1    16 млн. цветов");
    EXPECT_TRUE(view.pictureBoxVisible && !view.crossVisible && view.swatchVisible && view.exportOn && view.slideTimer);
    EXPECT_EQ(view.pictureRect, QRectF(82.5, 55.5, 100, 50));
}

TEST(PresentPicture, RefusedPictureShowsItsNoticeOverTheCrossedBox)
{
    RecordingOpenView view;
    view.exportOn = view.swatchVisible = true;
    presentPicture(view, {{"line"}, 0, 3, {}, {}, "Изображение без точек", QImage(1, 1, QImage::Format_RGB32)});
    EXPECT_EQ(view.labelText(OpenLabel::SizeCaption), "0 x 3");
    EXPECT_EQ(view.label(OpenLabel::Notice).text, "Изображение без точек");
    EXPECT_TRUE(view.label(OpenLabel::Notice).visible && view.crossVisible && view.pictureBox.isNull());
    EXPECT_FALSE(view.exportOn || view.swatchVisible);
}

} // namespace
