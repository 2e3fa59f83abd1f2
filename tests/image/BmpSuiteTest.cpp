// The BMP Suite corpus (Jason Summers): real files from many producers, read the
// way the open window and the export window read them. Good files must give the
// pixels Qt's own BMP reader gives; bad files must be refused or read without a
// crash or an allocation past the memory budget.

#include "image/ImageStore.h"
#include "image/MemoryBudget.h"
#include "image/OpenCommand.h"
#include "image/PixelLoader.h"
#include "image/RecordingOpenView.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

using namespace lumiset;

namespace {

QString corpusRoot()
{
    return QStringLiteral(LUMISET_BMPSUITE_DIR);
}

/// Names relative to the corpus root ("g/pal8.bmp"), sorted, of every file in \a folders.
std::vector<std::string> corpusFiles(const QStringList& folders)
{
    std::vector<std::string> names;
    for (const QString& folder : folders) {
        const QDir dir(QDir(corpusRoot()).filePath(folder));
        const QStringList entries = dir.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
        for (const QString& entry : entries)
            names.push_back((folder + QLatin1Char('/') + entry).toStdString());
    }
    return names;
}

std::string testNameOf(const testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0)
        name.resize(name.size() - 4);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

/// One corpus file after the open command, as the open window leaves it.
struct CorpusFile {
    QString path;
    ImageStore store;
    RecordingOpenView view;
    OpenOutcome outcome = OpenOutcome::NothingSelected;

    bool plainDepth() const { return store.BitsPerPixel == 8 || store.BitsPerPixel == 24; }
    /// 8 or 24 bits without compression: the only kinds the program may export.
    bool exportableKind() const { return plainDepth() && store.CompressionType == 0; }
};

std::unique_ptr<CorpusFile> openCorpusFile(const std::string& relative)
{
    auto f = std::make_unique<CorpusFile>();
    f->path = QDir(corpusRoot()).filePath(QString::fromStdString(relative));
    const QFileInfo info(f->path);
    f->view.showFile = true; // the open window's default: the preview is drawn
    f->outcome = openCommand(f->store, f->view, info.path(), info.fileName());
    return f;
}

/// What Qt's BMP reader makes of a file, and how the bytes were adjusted for it.
struct QtReading {
    QImage image;
    QString whyNot;     ///< Qt's error when the image is null
    QString adjustment; ///< empty when Qt read the file as it is
};

std::uint32_t le32(const QByteArray& b, int at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8
        | std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

void putLe32(QByteArray& b, int at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

/// Two palette layouts that Qt 6.4 misreads although the pixel data are plain,
/// rewritten so that Qt sees the same palette and pixels in a layout it takes:
/// - an OS/2 core header whose palette is shorter than 256 entries: Qt reads 256
///   three-byte entries regardless and, being past the pixel offset by then, starts
///   the rows late; pad the palette to 256 entries.
/// - a Windows header claiming more than 256 colours for 8 bits: Qt refuses the file;
///   only the first 256 entries can be addressed, so claim 256.
QByteArray adjustedForQt(QByteArray b, QString* adjustment)
{
    if (b.size() < 54)
        return b;
    const std::uint32_t offset = le32(b, 10);
    const std::uint32_t headerSize = le32(b, 14);
    if (headerSize == 12 && std::uint8_t(b[24]) == 8) {
        const std::uint32_t room = offset - 26;
        if (offset > 26 && offset <= std::uint32_t(b.size()) && room < 768 && room % 3 == 0) {
            const std::uint32_t pad = 768 - room;
            b.insert(int(offset), QByteArray(int(pad), '\0'));
            putLe32(b, 10, offset + pad);
            putLe32(b, 2, le32(b, 2) + pad);
            *adjustment = QStringLiteral("OS/2 palette padded to 256 entries");
        }
    } else if (headerSize >= 40 && std::uint8_t(b[28]) == 8 && le32(b, 46) > 256) {
        putLe32(b, 46, 256);
        *adjustment = QStringLiteral("colours used capped at 256");
    }
    return b;
}

/// Qt's reading, with its allocation limit lifted so that only the format decides.
/// The process-wide limit is put back for the tests that rely on it.
QtReading readWithQt(const QString& path)
{
    QtReading r;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.whyNot = file.errorString();
        return r;
    }
    QBuffer buffer;
    buffer.setData(adjustedForQt(file.readAll(), &r.adjustment));
    buffer.open(QIODevice::ReadOnly);
    const int previousLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    QImageReader reader(&buffer, "bmp");
    r.image = reader.read();
    QImageReader::setAllocationLimit(previousLimit);
    if (r.image.isNull())
        r.whyNot = reader.errorString();
    return r;
}

QString describe(const std::array<std::uint8_t, 3>& rgb)
{
    return QStringLiteral("(%1, %2, %3)").arg(rgb[0]).arg(rgb[1]).arg(rgb[2]);
}

/// Empty when the loaded tables hold exactly \a expected; otherwise where they first differ.
QString firstDifference(const ImageStore& store, const QImage& expected)
{
    if (expected.width() != store.ImageWidth || expected.height() != store.ImageHeight)
        return QStringLiteral("size %1 x %2, Qt reads %3 x %4")
            .arg(store.ImageWidth)
            .arg(store.ImageHeight)
            .arg(expected.width())
            .arg(expected.height());
    int differing = 0;
    QString first;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb q = expected.pixel(x, y);
            const std::array<std::uint8_t, 3> want{std::uint8_t(qRed(q)), std::uint8_t(qGreen(q)), std::uint8_t(qBlue(q))};
            const auto got = store.rgb(x + 1, y + 1);
            if (got == want)
                continue;
            if (differing++ == 0)
                first = QStringLiteral("column %1, row %2: %3, Qt reads %4")
                            .arg(x + 1)
                            .arg(y + 1)
                            .arg(describe(got), describe(want));
        }
    }
    if (differing == 0)
        return {};
    return QString::number(differing) + QStringLiteral(" pixels differ; first at ") + first;
}

// ---------------------------------------------------------------------------
// Good and questionable files: the exported ones decode as Qt decodes them.

class BmpSuiteGoodFile : public testing::TestWithParam<std::string> {};

TEST_P(BmpSuiteGoodFile, ExportedPicturesDecodeToQtsPixels)
{
    const auto f = openCorpusFile(GetParam());
    SCOPED_TRACE(f->path.toStdString());
    ASSERT_EQ(f->outcome, OpenOutcome::Bmp);
    ASSERT_FALSE(f->view.reportText.isEmpty());

    if (!f->exportableKind()) {
        EXPECT_FALSE(f->view.exportOn) << "only 8 or 24 bits without compression may be exported; this file has "
                                       << f->store.BitsPerPixel << " bits, compression " << f->store.CompressionType;
        return;
    }
    // Every producer's plain 8- and 24-bit layout is one the program accepts.
    ASSERT_TRUE(f->view.exportOn) << "an uncompressed " << f->store.BitsPerPixel << "-bit file is refused";

    const QtReading qt = readWithQt(f->path);
    if (qt.image.isNull())
        GTEST_SKIP() << "Qt cannot read it: " << qt.whyNot.toStdString();
    SCOPED_TRACE(("Qt read it with " + (qt.adjustment.isEmpty() ? QStringLiteral("no adjustment") : qt.adjustment))
                     .toStdString());

    ASSERT_EQ(loadPixels(f->store), LoadResult::Loaded);
    const QString difference = firstDifference(f->store, qt.image);
    EXPECT_TRUE(difference.isEmpty()) << difference.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BmpSuiteGood, BmpSuiteGoodFile,
                         testing::ValuesIn(corpusFiles({QStringLiteral("g"), QStringLiteral("q")})), testNameOf);

// The comparison above skips what Qt cannot read; make sure that leaves the
// common layouts compared: bottom-up and top-down rows, Windows and OS/2 headers,
// palettes and true colour.
TEST(BmpSuiteCorpus, ComparedFilesCoverTheCommonLayouts)
{
    QStringList compared;
    QStringList adjusted;
    QStringList skipped;
    for (const std::string& name : corpusFiles({QStringLiteral("g"), QStringLiteral("q")})) {
        const auto f = openCorpusFile(name);
        const QString rel = QString::fromStdString(name);
        if (!f->exportableKind() || !f->view.exportOn) {
            skipped << rel + QStringLiteral(" (not exported)");
            continue;
        }
        const QtReading qt = readWithQt(f->path);
        if (qt.image.isNull()) {
            skipped << rel + QStringLiteral(" (Qt: ") + qt.whyNot + QLatin1Char(')');
            continue;
        }
        compared << rel;
        if (!qt.adjustment.isEmpty())
            adjusted << rel + QStringLiteral(" (") + qt.adjustment + QLatin1Char(')');
    }
    SCOPED_TRACE(("compared: " + compared.join(QStringLiteral(", ")) + "\nadjusted for Qt: "
                  + adjusted.join(QStringLiteral(", ")) + "\nskipped: " + skipped.join(QStringLiteral(", ")))
                     .toStdString());
    ASSERT_FALSE(compared.isEmpty());
    const char* const required[] = {
        "g/rgb24.bmp",       // 24 bits, bottom-up
        "g/pal8.bmp",        // 8 bits, Windows header, full palette
        "g/pal8os2.bmp",     // OS/2 core header, 3-byte palette entries
        "g/pal8topdown.bmp", // negative height: rows stored top first
        "g/pal8w126.bmp",    // odd width: rows padded
        "g/rgb24pal.bmp",    // 24 bits with a palette before the pixels
        "g/pal8v5.bmp",      // the longest Windows header
    };
    for (const char* name : required)
        EXPECT_TRUE(compared.contains(QLatin1String(name))) << name << " was not compared";
}

// ---------------------------------------------------------------------------
// Bad files: refused, or read within the budget.

/// Memory the pixel tables may take while these tests run, whatever the machine has.
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
        EXPECT_TRUE(f->exportableKind()) << "exported with " << f->store.BitsPerPixel << " bits, compression "
                                         << f->store.CompressionType;
    } else {
        // A refusal is always explained: a message box or the notice under the preview.
        const auto& notice = f->view.label(OpenLabel::Notice);
        EXPECT_TRUE(!f->view.messages.isEmpty() || (notice.visible && !notice.text.isEmpty()))
            << "refused without a word to the user";
    }

    // The loader runs only for exported files, but whatever stage one left behind
    // must never make it take more than the budget.
    const LoadResult result = loadPixels(f->store);
    const ImageStore& s = f->store;
    if (result != LoadResult::Loaded) {
        EXPECT_FALSE(s.PixelRed.allocated() || s.PixelGreen.allocated() || s.PixelBlue.allocated())
            << "tables kept after a failed load";
        return;
    }
    ASSERT_TRUE(s.PixelRed.allocated());
    ASSERT_EQ(s.PixelRed.width(), s.ImageWidth);
    ASSERT_EQ(s.PixelRed.height(), s.ImageHeight);
    const int planes = s.singlePlane() ? 1 : 3;
    if (planes == 3) {
        ASSERT_TRUE(s.PixelGreen.allocated() && s.PixelBlue.allocated());
        ASSERT_EQ(s.PixelGreen.width(), s.ImageWidth);
        ASSERT_EQ(s.PixelBlue.height(), s.ImageHeight);
    }
    EXPECT_LE(qint64(s.ImageWidth) * s.ImageHeight * planes, kTestBudget);
    // Every pixel's colour can be taken: a stray palette index or a short file
    // must still give a colour, never a read outside the tables.
    // (Run under AddressSanitizer to turn such a read into a failure.)
    volatile unsigned sink = 0;
    for (int row = 1; row <= s.ImageHeight; ++row)
        for (int column = 1; column <= s.ImageWidth; ++column) {
            const auto rgb = s.rgb(column, row);
            sink = sink + rgb[0] + rgb[1] + rgb[2];
        }
}

INSTANTIATE_TEST_SUITE_P(BmpSuiteBad, BmpSuiteBadFile,
                         testing::ValuesIn(corpusFiles({QStringLiteral("b"), QStringLiteral("x")})), testNameOf);

} // namespace
