#include "image/OpenCommand.h"
#include "image/RecordingOpenView.h"

#include "support/ImageBuilders.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace lumiset;
using namespace lumiset::test;

namespace {

struct RouteCase {
    const char* rule;
    const char* name;
    QByteArray bytes;
    OpenOutcome outcome;
    int imageState;     ///< after the command, starting from 7
    int messages;
    const char* report; ///< exact report, or nullptr to skip
};

const QByteArray kBmp = BmpBuilder{.width = 1, .height = 1}.build();
const QByteArray kTga = TgaBuilder{.width = 1, .height = 1}.build();

class OpenRoute : public ::testing::TestWithParam<RouteCase> {};

TEST_P(OpenRoute, SignatureDecidesForBmpAndTheNameForTga)
{
    const RouteCase& c = GetParam();
    const QString folder = writeTempFile(QString::fromUtf8(c.name), c.bytes);
    ImageStore store;
    store.ImageState = 7;
    RecordingOpenView view;
    EXPECT_EQ(openCommand(store, view, folder, QString::fromUtf8(c.name)), c.outcome);
    EXPECT_EQ(store.ImageState, c.imageState);
    EXPECT_EQ(view.messages.size(), c.messages);
    if (c.report)
        EXPECT_EQ(view.reportText, QString::fromUtf8(c.report));
    EXPECT_GE(view.openButtonRestored, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OpenRoute,
    ::testing::Values(
        RouteCase{"lower-case .tga goes to the TGA reader", "a.tga", kTga, OpenOutcome::Tga, 1, 0, nullptr},
        RouteCase{"upper-case .TGA goes to the TGA reader", "a.TGA", kTga, OpenOutcome::Tga, 1, 0, nullptr},
        RouteCase{"mixed-case .Tga is opened and, not being a bitmap, ignored", "a.Tga", kTga, OpenOutcome::Ignored, 7,
                  0, ""},
        RouteCase{"a bitmap under another name is read as a bitmap", "picture.jpg", kBmp, OpenOutcome::Bmp, 1, 0,
                  nullptr},
        RouteCase{"\"BA\" signature is a bitmap too", "b.dat", QByteArray("BA") + kBmp.mid(2), OpenOutcome::Bmp, 1, 0,
                  nullptr},
        RouteCase{"empty .bmp: reported, no reader, state kept", "empty.bmp", QByteArray(), OpenOutcome::EmptyFile, 7,
                  0, "Файл занимает 0 байт."},
        RouteCase{"empty .tga is the TGA reader's", "empty.tga", QByteArray(), OpenOutcome::Tga, 1, 0,
                  "Файл занимает 0 байт."},
        RouteCase{"text under a .BMP name", "notes.BMP", QByteArray("hello"), OpenOutcome::UnknownFormat, 7, 1, ""},
        RouteCase{"text under another name is ignored silently", "notes.txt", QByteArray("hello"),
                  OpenOutcome::Ignored, 7, 0, ""}));

TEST(OpenCommand, UnknownFormatMessageHasTheFileNameAndALeadingBlankOnItsSecondLine)
{
    const QString folder = writeTempFile("x.bmp", "not a picture");
    ImageStore store;
    RecordingOpenView view;
    openCommand(store, view, folder, "x.bmp");
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_EQ(view.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(view.messages[0].title, QString::fromUtf8("Неизвестный формат файла"));
    EXPECT_EQ(view.messages[0].text, QString::fromUtf8("Файл x.bmp\r\n или имеет неизвестный формат или\r\n"
                                                       "не является изображением, а содержит что-то другое."));
    EXPECT_EQ(view.fileName, "x.bmp");
}

TEST(OpenCommand, EmptyFileShowsTheCrossedPreviewAndDisablesExport)
{
    const QString folder = writeTempFile("e.bmp", QByteArray());
    ImageStore store;
    RecordingOpenView view;
    view.exportOn = true;
    view.swatchVisible = true;
    openCommand(store, view, folder, "e.bmp");
    EXPECT_FALSE(view.exportOn);
    EXPECT_TRUE(view.crossVisible);
    EXPECT_TRUE(view.pictureBoxVisible);
    EXPECT_TRUE(view.pictureBordered);
    EXPECT_EQ(view.pictureRect, QRectF(0, 0, 265, 161));
    EXPECT_FALSE(view.swatchVisible);
}

TEST(OpenCommand, NoEntryDoesNothing)
{
    ImageStore store;
    store.ImageState = 2;
    RecordingOpenView view;
    view.reportText = "kept";
    EXPECT_EQ(openCommand(store, view, QDir::tempPath(), QString()), OpenOutcome::NothingSelected);
    EXPECT_EQ(view.reportText, "kept");
    EXPECT_EQ(store.ImageState, 2);
    EXPECT_EQ(store.FilePath, QString());
}

TEST(OpenCommand, FileThatCannotBeOpenedIsToldAndExportIsDisabled)
{
    ImageStore store;
    RecordingOpenView view;
    view.exportOn = true;
    for (const char* name : {"missing.bmp", "missing.tga"}) {
        SCOPED_TRACE(name);
        view.messages.clear();
        EXPECT_EQ(openCommand(store, view, QDir::tempPath() + "/lumiset-none", name), OpenOutcome::CannotOpen);
        ASSERT_EQ(view.messages.size(), 1);
        EXPECT_EQ(view.messages[0].text, QString::fromUtf8("Ошибка №53 Файл не найден"));
        EXPECT_FALSE(view.exportOn);
    }
}

TEST(OpenCommand, FilePathJoinsFolderAndNameWithOneSeparator)
{
    EXPECT_EQ(joinFilePath("/data", "a.bmp"), "/data/a.bmp");
    EXPECT_EQ(joinFilePath("/data/", "a.bmp"), "/data/a.bmp");
    EXPECT_EQ(joinFilePath("C:\\", "a.bmp"), "C:\\a.bmp");
}

} // namespace
