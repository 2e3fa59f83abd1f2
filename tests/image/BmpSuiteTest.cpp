// The BMP Suite corpus (Jason Summers): real files from many producers, read the
// way the open window and the export window read them. Good files must give the
// pixels Qt's own BMP reader gives; bad files must be refused or read without a
// crash or an allocation past the memory budget.

#include "ReaderFixtures.h"

#include "image/MemoryBudget.h"
#include "image/OpenCommand.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <memory>

using namespace lumiset;
using namespace lumiset::test;

namespace {

const QString kRoot = QStringLiteral(LUMISET_BMPSUITE_DIR);

/// Names relative to the corpus root ("g/pal8.bmp"), sorted, of every file in \a folders.
std::vector<std::string> corpusFiles(const QStringList& folders)
{
    std::vector<std::string> names;
    for (const QString& folder : folders)
        for (const QString& entry : QDir(kRoot + '/' + folder).entryList({"*.bmp"}, QDir::Files, QDir::Name))
            names.push_back((folder + '/' + entry).toStdString());
    return names;
}

/// One corpus file after the open command, as the open window leaves it.
struct CorpusFile {
    QString path;
    ImageStore store;
    RecordingOpenView view;
    OpenOutcome outcome = OpenOutcome::NothingSelected;
    /// 8 or 24 bits without compression: the only kinds the program may export.
    bool exportableKind() const { return store.pixelKind() != PixelKind::Unsupported && store.CompressionType == 0; }
};

std::unique_ptr<CorpusFile> openCorpusFile(const std::string& relative)
{
    auto f = std::make_unique<CorpusFile>();
    f->path = kRoot + '/' + QString::fromStdString(relative);
    f->outcome = openCommand(f->store, f->view, QFileInfo(f->path).path(), QFileInfo(f->path).fileName());
    return f;
}

std::uint32_t le32(const QByteArray& b, int at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | std::uint8_t(b[at + i]);
    return v;
}

/// Two palette layouts that Qt 6.4 misreads although the pixel data are plain,
/// rewritten so that Qt sees the same palette and pixels in a layout it takes:
/// - an OS/2 core header whose palette is shorter than 256 entries: Qt reads 256
///   three-byte entries regardless and starts the rows late; pad the palette.
/// - a Windows header claiming more than 256 colours for 8 bits: Qt refuses the
///   file; only the first 256 entries can be addressed, so claim 256.
QByteArray adjustedForQt(const QByteArray& bytes)
{
    Bytes b{bytes};
    if (b.size() < 54)
        return bytes;
    const std::uint32_t offset = le32(bytes, 10);
    const std::uint32_t room = offset - 26;
    if (le32(bytes, 14) == 12 && bytes[24] == 8 && offset > 26 && offset <= std::uint32_t(b.size()) && room < 768
        && room % 3 == 0) {
        b.data.insert(int(offset), QByteArray(int(768 - room), '\0'));
        b.patch32(10, std::int32_t(offset + 768 - room));
        b.patch32(2, std::int32_t(le32(bytes, 2) + 768 - room));
    } else if (le32(bytes, 14) >= 40 && bytes[28] == 8 && le32(bytes, 46) > 256) {
        b.patch32(46, 256);
    }
    return b.data;
}

/// Qt's reading, with its allocation limit lifted so that only the format decides.
QImage readWithQt(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QBuffer buffer;
    buffer.setData(adjustedForQt(file.readAll()));
    buffer.open(QIODevice::ReadOnly);
    const int previousLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    const QImage image = QImageReader(&buffer, "bmp").read();
    QImageReader::setAllocationLimit(previousLimit);
    return image;
}

/// The loaded tables as a picture, to compare with Qt's.
QImage loadedPicture(const ImageStore& s)
{
    QImage image(s.ImageWidth, s.ImageHeight, QImage::Format_RGB32);
    for (int y = 0; y < s.ImageHeight; ++y)
        for (int x = 0; x < s.ImageWidth; ++x)
            image.setPixel(x, y, qRgb(s.rgb(x + 1, y + 1)[0], s.rgb(x + 1, y + 1)[1], s.rgb(x + 1, y + 1)[2]));
    return image;
}

// Good and questionable files: the exported ones decode as Qt decodes them. Files
// Qt cannot read are skipped, but never these common layouts.
const QStringList kMustCompare = {
    "g/rgb24.bmp",       // 24 bits, bottom-up
    "g/pal8.bmp",        // 8 bits, Windows header, full palette
    "g/pal8os2.bmp",     // OS/2 core header, 3-byte palette entries
    "g/pal8topdown.bmp", // negative height: rows stored top first
    "g/pal8w126.bmp",    // odd width: rows padded
    "g/rgb24pal.bmp",    // 24 bits with a palette before the pixels
    "g/pal8v5.bmp",      // the longest Windows header
};

class BmpSuiteGoodFile : public testing::TestWithParam<std::string> { };

TEST_P(BmpSuiteGoodFile, ExportedPicturesDecodeToQtsPixels)
{
    const auto f = openCorpusFile(GetParam());
    SCOPED_TRACE(f->path.toStdString());
    ASSERT_EQ(f->outcome, OpenOutcome::Bmp);
    // Every producer's plain 8- and 24-bit layout is one the program accepts, and only those.
    ASSERT_EQ(f->view.exportOn, f->exportableKind())
        << f->store.BitsPerPixel << " bits, compression " << f->store.CompressionType;
    const bool required = kMustCompare.contains(QString::fromStdString(GetParam()));
    ASSERT_TRUE(f->exportableKind() || !required);
    if (!f->exportableKind())
        return;
    const QImage qt = readWithQt(f->path);
    ASSERT_FALSE(qt.isNull() && required) << "a common layout was not compared";
    if (qt.isNull())
        GTEST_SKIP() << "Qt cannot read it";
    ASSERT_EQ(loadPixels(f->store), LoadResult::Loaded);
    EXPECT_TRUE(loadedPicture(f->store) == qt.convertToFormat(QImage::Format_RGB32)) << "pixels differ from Qt's";
}

INSTANTIATE_TEST_SUITE_P(BmpSuiteGood, BmpSuiteGoodFile, testing::ValuesIn(corpusFiles({"g", "q"})));

// Bad files: refused, or read within the budget.
constexpr qint64 kTestBudget = qint64(64) << 20;

class BmpSuiteBadFile : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override { overrideAvailableMemory(kMemoryReserve + kTestBudget); }
    void TearDown() override { overrideAvailableMemory(-1); }
};

TEST_P(BmpSuiteBadFile, IsRefusedOrReadWithinTheBudget)
{
    const auto f = openCorpusFile(GetParam());
    SCOPED_TRACE(f->path.toStdString());
    ASSERT_EQ(f->outcome, OpenOutcome::Bmp);
    EXPECT_FALSE(f->view.reportText.isEmpty());
    if (f->view.exportOn) {
        EXPECT_TRUE(f->exportableKind()) << f->store.BitsPerPixel << " bits, compression " << f->store.CompressionType;
    } else {
        // A refusal is always explained: a message box or the notice under the preview.
        const auto& notice = f->view.label(OpenLabel::Notice);
        EXPECT_TRUE(!f->view.messages.isEmpty() || (notice.visible && !notice.text.isEmpty()))
            << "refused without a word to the user";
    }
    FileByteSource file(f->path);
    expectLoadedWithinBudget(f->store, file, kTestBudget);
}

INSTANTIATE_TEST_SUITE_P(BmpSuiteBad, BmpSuiteBadFile, testing::ValuesIn(corpusFiles({"b", "x"})));

} // namespace
