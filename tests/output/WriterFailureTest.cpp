// The writers when the file system says no: every refusal must reach the user
// as the window's message, and a file written earlier must keep its bytes.

#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/OutputFixtures.h"
#include "output/RecordingExportProgress.h"
#include "output/SpreadsheetExport.h"
#include "output/XlsxWorkbook.h"
#include "support/ImageBuilders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace lumiset {
namespace {

using namespace lumiset::test;

const QByteArray kEarlier("earlier file\r\n");

// 40 × 50 red picture: its table is a few KiB, larger than the size limits below.
Workspace redWorkspace()
{
    std::vector<std::vector<Rgb8>> rows(50, std::vector<Rgb8>(40, Rgb8{200, 10, 10}));
    Workspace ws;
    ws.image = trueColourImage(rows);
    ws.selection = region(1, 1, 40, 50);
    ws.BrightnessMeasure = MeasureRed;
    ws.ColorPointCount = countColorPoints(ws.image, ws.selection);
    return ws;
}

Workspace preparedRed(bool fill)
{
    Workspace ws = redWorkspace();
    EXPECT_EQ(prepareExportRequest(ws, fill), RegionError::None);
    return ws;
}

// A folder the process cannot create files in. Root ignores the mode bits, so a
// probe write decides; the caller skips when the folder is still writable.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path)
    {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
        QFile probe(QDir(path_).filePath(QStringLiteral(".probe")));
        writable_ = probe.open(QIODevice::WriteOnly);
        if (writable_)
            probe.remove();
    }
    ~ReadOnlyFolder() { QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
    bool stillWritable() const { return writable_; }

private:
    QString path_;
    bool writable_ = false;
};

const char* const kRootSkip = "the mode bits do not stop this user (root): the folder is still writable";

// ---------------------------------------------------------------- CSV ------

struct NameCase {
    const char* name;
    /// The target in \a folder, which holds an earlier file "out" + \a ext.
    std::function<QString(const QString& folder, const QString& ext)> target;
};

// Targets the file system refuses to create, for root too.
std::array<NameCase, 4> refusedTargets()
{
    return {{
        {"missing folder",
         [](const QString& d, const QString& ext) { return d + QStringLiteral("/no such folder/out") + ext; }},
        {"the earlier file stands where the folder should be",
         [](const QString& d, const QString& ext) { return d + QStringLiteral("/out") + ext + QStringLiteral("/x") + ext; }},
        {"name component of 300 characters",
         [](const QString& d, const QString& ext) { return d + QLatin1Char('/') + QString(300, QLatin1Char('n')) + ext; }},
        {"name with a NUL character",
         [](const QString& d, const QString& ext) { return d + QStringLiteral("/out") + QChar(0) + ext; }},
    }};
}

TEST(CsvFailureInjectionTest, RefusedNamesGiveTheCreateMessageAndKeepTheEarlierFile)
{
    for (const NameCase& c : refusedTargets()) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString earlier = dir.filePath(QStringLiteral("out.csv"));
        ASSERT_TRUE(writeBytes(earlier, kEarlier));
        Workspace ws = redWorkspace();
        const QString path = c.target(dir.path(), QStringLiteral(".csv"));
        const CsvError error = writeCsv(ws, path, commaLocale());
        EXPECT_EQ(error, CsvError::CannotCreate);
        const UserMessage m = csvErrorMessage(error, path);
        EXPECT_EQ(m.title, csvPromptTitle());
        EXPECT_EQ(m.text, QStringLiteral("Не удалось создать файл ") + path
                              + QStringLiteral("\r\nПроверьте название файла и доступ к папке."));
        EXPECT_EQ(readBytes(earlier), kEarlier);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("out.csv")}); // no temporary left behind
    }
}

#ifdef Q_OS_UNIX
TEST(CsvFailureInjectionTest, ReadOnlyFolderKeepsTheEarlierFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    ASSERT_TRUE(writeBytes(path, kEarlier));
    ReadOnlyFolder readOnly(dir.path());
    if (readOnly.stillWritable())
        GTEST_SKIP() << kRootSkip;
    Workspace ws = redWorkspace();
    EXPECT_EQ(writeCsv(ws, path, commaLocale()), CsvError::CannotCreate);
    EXPECT_EQ(readBytes(path), kEarlier);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("out.csv")});
}

// A full disk, simulated by a file-size limit of this process: writes beyond it
// fail with EFBIG once SIGXFSZ is ignored.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

// Every size at which the disk can run out, from nothing written to the last
// byte missing: the write fails, the message says so, the earlier file stays.
TEST(CsvFailureInjectionTest, DiskFullAtAnySizeKeepsTheEarlierFile)
{
    Workspace sized = redWorkspace();
    const qint64 size = csvBytes(sized.image, sized.selection, measureSettings(sized), QStringLiteral("tyu2.bmp"), commaLocale()).size();
    ASSERT_GT(size, 4096);
    for (const qint64 limit : {qint64(0), qint64(1), qint64(4095), qint64(4096), size / 2, size - 1}) {
        SCOPED_TRACE(limit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        ASSERT_TRUE(writeBytes(path, kEarlier));
        Workspace ws = redWorkspace();
        CsvError error = CsvError::None;
        {
            FileSizeLimit full{rlim_t(limit)};
            ASSERT_TRUE(full.ok());
            error = writeCsv(ws, path, commaLocale());
        }
        EXPECT_EQ(error, CsvError::WriteFailed);
        EXPECT_EQ(csvErrorMessage(error, path).text,
                  QStringLiteral("Не удалось записать файл ") + path
                      + QStringLiteral("\r\nВозможно, диск заполнен. Прежний файл с этим названием не изменён."));
        EXPECT_EQ(readBytes(path), kEarlier);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("out.csv")});
    }
}

TEST(CsvFailureInjectionTest, ExactlyEnoughRoomWritesTheWholeFile)
{
    Workspace ws = redWorkspace();
    const QByteArray bytes = csvBytes(ws.image, ws.selection, measureSettings(ws), QStringLiteral("tyu2.bmp"), commaLocale());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    ASSERT_TRUE(writeBytes(path, kEarlier));
    CsvError error = CsvError::WriteFailed;
    {
        FileSizeLimit full{rlim_t(bytes.size())};
        ASSERT_TRUE(full.ok());
        error = writeCsv(ws, path, commaLocale());
    }
    EXPECT_EQ(error, CsvError::None);
    EXPECT_EQ(readBytes(path), bytes);
}
#endif

// ------------------------------------------------------------ workbook ------

SpreadsheetOutcome exportTo(const WorkbookTarget& target, bool fill, QStringList* opened = nullptr)
{
    const Workspace ws = preparedRed(fill);
    XlsxWorkbook book(target, [opened](const QString& p) {
        if (opened)
            *opened << p;
        return true;
    });
    RecordingExportProgress view;
    const SpreadsheetOutcome outcome = exportToSpreadsheet(ws, book, view);
    EXPECT_TRUE(view.messages.empty()); // a failure is told by the caller: automationFailureMessage()
    return outcome;
}

bool isWorkbook(const QString& path) { return readBytes(path).startsWith("PK\x03\x04"); }

TEST(XlsxFailureInjectionTest, ExactPathRefusedKeepsTheEarlierFile)
{
    for (const NameCase& c : refusedTargets()) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString earlier = dir.filePath(QStringLiteral("out.xlsx"));
        ASSERT_TRUE(writeBytes(earlier, kEarlier));
        const QString path = c.target(dir.path(), QStringLiteral(".xlsx"));
        EXPECT_EQ(exportTo({QString(), QString(), path}, true), SpreadsheetOutcome::Failed);
        EXPECT_EQ(readBytes(earlier), kEarlier);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("out.xlsx")});
    }
}

TEST(XlsxFailureInjectionTest, FolderThatIsAFileFallsBackAndBothRefusedFail)
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(writeBytes(notAFolder, kEarlier));
    const QString image = notAFolder + QStringLiteral("/tyu2.bmp");
    QTemporaryDir docs;
    const QString earlier = docs.filePath(QStringLiteral("tyu2.xlsx"));
    ASSERT_TRUE(writeBytes(earlier, kEarlier));

    QStringList opened;
    EXPECT_EQ(exportTo({image, docs.path(), QString()}, true, &opened), SpreadsheetOutcome::Written);
    const QString fallback = docs.filePath(QStringLiteral("tyu2 (2).xlsx"));
    EXPECT_EQ(opened, QStringList{fallback});
    EXPECT_TRUE(isWorkbook(fallback));
    EXPECT_EQ(readBytes(earlier), kEarlier);

    EXPECT_EQ(exportTo({image, notAFolder, QString()}, true), SpreadsheetOutcome::Failed);
    EXPECT_EQ(readBytes(notAFolder), kEarlier);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("pictures")});
    EXPECT_EQ(entries(docs.path()), (QStringList{QStringLiteral("tyu2 (2).xlsx"), QStringLiteral("tyu2.xlsx")}));
}

#ifdef Q_OS_UNIX
TEST(XlsxFailureInjectionTest, ReadOnlyPictureFolderFallsBackAndBothReadOnlyFail)
{
    QTemporaryDir pictures;
    QTemporaryDir docs;
    const QString image = pictures.filePath(QStringLiteral("tyu2.bmp"));
    ASSERT_TRUE(writeBytes(image, kEarlier));
    ReadOnlyFolder readOnlyPictures(pictures.path());
    if (readOnlyPictures.stillWritable())
        GTEST_SKIP() << kRootSkip;
    QStringList opened;
    EXPECT_EQ(exportTo({image, docs.path(), QString()}, false, &opened), SpreadsheetOutcome::Written);
    EXPECT_EQ(opened, QStringList{docs.filePath(QStringLiteral("tyu2.xlsx"))});
    EXPECT_EQ(entries(pictures.path()), QStringList{QStringLiteral("tyu2.bmp")});

    ReadOnlyFolder readOnlyDocs(docs.path());
    EXPECT_EQ(exportTo({image, docs.path(), QString()}, false), SpreadsheetOutcome::Failed);
    EXPECT_EQ(entries(docs.path()), QStringList{QStringLiteral("tyu2.xlsx")});
    EXPECT_EQ(readBytes(image), kEarlier);
}

TEST(XlsxFailureInjectionTest, ReadOnlyFolderKeepsTheEarlierWorkbookAtAnExactPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.xlsx"));
    ASSERT_TRUE(writeBytes(path, kEarlier));
    ReadOnlyFolder readOnly(dir.path());
    if (readOnly.stillWritable())
        GTEST_SKIP() << kRootSkip;
    EXPECT_EQ(exportTo({QString(), QString(), path}, true), SpreadsheetOutcome::Failed);
    EXPECT_EQ(readBytes(path), kEarlier);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("out.xlsx")});
}

// A full disk while the workbook is written: nothing replaces the earlier file,
// no temporary is left, and a full picture folder does not send the workbook to
// the fallback folder half-written.
TEST(XlsxFailureInjectionTest, DiskFullKeepsEarlierWorkbooksAndLeavesNoTemporary)
{
    for (const rlim_t limit : {rlim_t(0), rlim_t(100), rlim_t(2000)}) {
        SCOPED_TRACE(limit);
        QTemporaryDir dir;
        QTemporaryDir docs;
        const QString exact = dir.filePath(QStringLiteral("out.xlsx"));
        const QString beside = dir.filePath(QStringLiteral("tyu2.xlsx"));
        ASSERT_TRUE(writeBytes(exact, kEarlier));
        ASSERT_TRUE(writeBytes(beside, kEarlier));
        SpreadsheetOutcome toExact = SpreadsheetOutcome::Written;
        SpreadsheetOutcome toNew = SpreadsheetOutcome::Written;
        {
            FileSizeLimit full{limit};
            ASSERT_TRUE(full.ok());
            toExact = exportTo({QString(), QString(), exact}, true);
            toNew = exportTo({dir.filePath(QStringLiteral("tyu2.bmp")), docs.path(), QString()}, true);
        }
        EXPECT_EQ(toExact, SpreadsheetOutcome::Failed);
        EXPECT_EQ(toNew, SpreadsheetOutcome::Failed);
        EXPECT_EQ(readBytes(exact), kEarlier);
        EXPECT_EQ(readBytes(beside), kEarlier);
        EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("out.xlsx"), QStringLiteral("tyu2.xlsx")}));
        EXPECT_TRUE(entries(docs.path()).isEmpty());
    }
    // The same export with room to spare succeeds, so the failures above came from the limit.
    QTemporaryDir dir;
    const QString exact = dir.filePath(QStringLiteral("out.xlsx"));
    ASSERT_TRUE(writeBytes(exact, kEarlier));
    EXPECT_EQ(exportTo({QString(), QString(), exact}, true), SpreadsheetOutcome::Written);
    EXPECT_TRUE(isWorkbook(exact));
}
#endif

} // namespace
} // namespace lumiset
