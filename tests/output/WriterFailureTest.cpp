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
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h> // CreateFileW, to hold a file open as another program would
#endif

namespace lumiset {
namespace {

using namespace lumiset::test;

const QByteArray kEarlier("earlier file\r\n");

// 40 × 50 red picture: its table is a few KiB, larger than the size limits below.
Workspace redWorkspace(bool prepareWithFill = false)
{
    return preparedWorkspace(
        trueColourImage(std::vector<std::vector<Rgb8>>(50, std::vector<Rgb8>(40, Rgb8{200, 10, 10}))),
        region(1, 1, 40, 50), MeasureRed, prepareWithFill);
}

// Targets the file system refuses to create, for root too; \a d holds "out" + \a ext.
struct RefusedTarget {
    const char* name;
    std::function<QString(const QString& d, const QString& ext)> path;
    WorkbookError error; ///< what the workbook tells
};
const RefusedTarget kRefusedTargets[] = {
    {"missing folder",
     [](const QString& d, const QString& ext) { return d + QStringLiteral("/no such folder/out") + ext; },
     WorkbookError::FolderMissing},
    {"the earlier file stands where the folder should be",
     [](const QString& d, const QString& ext) { return d + QStringLiteral("/out") + ext + QStringLiteral("/x") + ext; },
     WorkbookError::FolderMissing},
    {"name of 300 characters",
     [](const QString& d, const QString& ext) { return d + QLatin1Char('/') + QString(300, u'n') + ext; },
     WorkbookError::NameRefused},
    {"name with a NUL character",
     [](const QString& d, const QString& ext) { return d + QStringLiteral("/out") + QChar(0) + ext; },
     WorkbookError::NameRefused},
};

SpreadsheetOutcome exportTo(const WorkbookTarget& target, QStringList* opened = nullptr,
                            QList<WorkbookFailure>* failures = nullptr)
{
    const Workspace ws = redWorkspace(true);
    XlsxWorkbook book(target, [opened](const QString& p) {
        if (opened)
            *opened << p;
        return true;
    });
    RecordingExportProgress view;
    const SpreadsheetOutcome outcome = exportToSpreadsheet(ws, book, view);
    EXPECT_TRUE(view.messages.empty()); // a failure is told by the caller: workbookFailureMessage()
    if (failures)
        *failures = book.failures();
    return outcome;
}

TEST(WriterFailureInjectionTest, RefusedNamesAreToldAndKeepTheEarlierFile)
{
    for (const RefusedTarget& t : kRefusedTargets) {
        SCOPED_TRACE(t.name);
        QTemporaryDir dir;
        ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("out.csv")), kEarlier));
        ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("out.xlsx")), kEarlier));
        Workspace ws = redWorkspace();
        const QString csv = t.path(dir.path(), QStringLiteral(".csv"));
        const CsvError error = writeCsv(ws, csv, commaLocale());
        EXPECT_EQ(error, CsvError::CannotCreate);
        const UserMessage m = csvErrorMessage(error, csv);
        EXPECT_EQ(m.title, csvPromptTitle());
        EXPECT_EQ(m.text,
                  QStringLiteral("Не удалось создать файл ") + csv
                      + QStringLiteral("\r\nПроверьте название файла и доступ к папке."));

        const QString xlsx = t.path(dir.path(), QStringLiteral(".xlsx"));
        QList<WorkbookFailure> failures;
        EXPECT_EQ(exportTo({QString(), QString(), xlsx}, nullptr, &failures), SpreadsheetOutcome::Failed);
        ASSERT_EQ(failures.size(), 1);
        EXPECT_EQ(failures[0].path, xlsx);
        EXPECT_EQ(failures[0].error, t.error);
        EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("out.csv"))), kEarlier);
        EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("out.xlsx"))), kEarlier);
        EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("out.csv"), QStringLiteral("out.xlsx")}))
            << "no temporary left behind";
    }
}

TEST(XlsxFailureInjectionTest, UnwritablePictureFolderFallsBackAndBothUnwritableFail)
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(writeBytes(notAFolder, kEarlier));
    const QString image = notAFolder + QStringLiteral("/tyu2.bmp");
    QTemporaryDir docs;
    ASSERT_TRUE(writeBytes(docs.filePath(QStringLiteral("tyu2.xlsx")), kEarlier));

    QStringList opened;
    EXPECT_EQ(exportTo({image, docs.path(), QString()}, &opened), SpreadsheetOutcome::Written);
    EXPECT_EQ(opened, QStringList{docs.filePath(QStringLiteral("tyu2 (2).xlsx"))});
    EXPECT_TRUE(readBytes(opened.value(0)).startsWith("PK\x03\x04"));
    // Written through an owner-only temporary file, it must still be readable by others.
    EXPECT_TRUE(QFileInfo(opened.value(0)).permissions() & QFileDevice::ReadOther);
    EXPECT_EQ(readBytes(docs.filePath(QStringLiteral("tyu2.xlsx"))), kEarlier);

    const QString missing = dir.filePath(QStringLiteral("missing"));
    QList<WorkbookFailure> failures;
    EXPECT_EQ(exportTo({image, missing, QString()}, nullptr, &failures), SpreadsheetOutcome::Failed);
    EXPECT_EQ(workbookFailureMessage(failures).text,
              QStringLiteral("Не удалось создать файл ")
                  + QDir::toNativeSeparators(notAFolder + QStringLiteral("/tyu2.xlsx"))
                  + QStringLiteral("\r\nПапка не найдена.\r\n") + QStringLiteral("Не удалось создать файл ")
                  + QDir::toNativeSeparators(missing + QStringLiteral("/tyu2.xlsx"))
                  + QStringLiteral("\r\nПапка не найдена."));
    EXPECT_EQ(readBytes(notAFolder), kEarlier);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("pictures")});
    EXPECT_EQ(entries(docs.path()), (QStringList{QStringLiteral("tyu2 (2).xlsx"), QStringLiteral("tyu2.xlsx")}));
}

// A stop while the values are written: no new file, the earlier one as it was,
// no temporary left behind.
TEST(StoppedWriteTest, LeavesNoFileAndKeepsTheEarlierOne)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    const QString xlsx = dir.filePath(QStringLiteral("out.xlsx"));
    ASSERT_TRUE(writeBytes(csv, kEarlier));
    ASSERT_TRUE(writeBytes(xlsx, kEarlier));
    Workspace ws = redWorkspace();
    EXPECT_EQ(writeCsv(ws, csv, commaLocale(), [](qint64, qint64) { return false; }), CsvError::Stopped);
    for (const int run : {1, 2}) { // before the first row, and while the file is saved
        XlsxWorkbook book({QString(), QString(), xlsx});
        RecordingExportProgress view;
        view.stopDuringEventRun = run;
        EXPECT_EQ(exportToSpreadsheet(ws, book, view), SpreadsheetOutcome::Stopped);
    }
    XlsxWorkbook::waitForAbandonedSaves();
    EXPECT_EQ(readBytes(csv), kEarlier);
    EXPECT_EQ(readBytes(xlsx), kEarlier);
    EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("out.csv"), QStringLiteral("out.xlsx")}));
}

#ifdef Q_OS_WIN
// A file another program holds open without sharing (a spreadsheet showing it)
// cannot be replaced: both writers say so and leave it, and no temporary, behind.
TEST(WriterFailureInjectionTest, FileHeldOpenElsewhereIsToldAndKeepsItsBytes)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    const QString xlsx = dir.filePath(QStringLiteral("out.xlsx"));
    std::vector<HANDLE> held;
    for (const QString& path : {csv, xlsx}) {
        ASSERT_TRUE(writeBytes(path, kEarlier));
        held.push_back(CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), GENERIC_READ, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(held.back(), INVALID_HANDLE_VALUE);
    }
    Workspace ws = redWorkspace();
    const CsvError error = writeCsv(ws, csv, commaLocale());
    EXPECT_EQ(error, CsvError::TargetInUse);
    EXPECT_EQ(csvErrorMessage(error, csv).text,
              QStringLiteral("Не удалось заменить файл ") + csv
                  + QStringLiteral("\r\nОн открыт в другой программе. Закройте его там и сохраните выделение снова."));
    QList<WorkbookFailure> failures;
    EXPECT_EQ(exportTo({QString(), QString(), xlsx}, nullptr, &failures), SpreadsheetOutcome::Failed);
    EXPECT_EQ(workbookFailureMessage(failures).text,
              QStringLiteral("Не удалось заменить файл ") + QDir::toNativeSeparators(xlsx)
                  + QStringLiteral("\r\nОн открыт в другой программе. Закройте его там и повторите вывод в таблицу."));
    for (const HANDLE h : held)
        CloseHandle(h);
    EXPECT_EQ(readBytes(csv), kEarlier);
    EXPECT_EQ(readBytes(xlsx), kEarlier);
    EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("out.csv"), QStringLiteral("out.xlsx")}));
}
#endif

#ifdef Q_OS_UNIX
// Runs \a write on a full disk, simulated by a file-size limit of this process:
// writes beyond it fail with EFBIG once SIGXFSZ is ignored.
template <class Write> auto withFileSizeLimit(rlim_t bytes, Write write)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    return result;
}

// The disk runs out anywhere from the first to the last byte: the write fails and
// says so, the earlier file stays; exactly enough room writes the whole file.
TEST(CsvFailureInjectionTest, DiskFullAtAnySizeKeepsTheEarlierFile)
{
    Workspace sized = redWorkspace();
    const QByteArray bytes = csvBytes(sized.image, sized.selection, sized.measure, QStringLiteral("tyu2.bmp"),
                                      commaLocale());
    const qint64 size = bytes.size();
    ASSERT_GT(size, 4096);
    for (const qint64 limit : {qint64(0), qint64(1), qint64(4095), qint64(4096), size / 2, size - 1, size}) {
        SCOPED_TRACE(limit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        ASSERT_TRUE(writeBytes(path, kEarlier));
        Workspace ws = redWorkspace();
        const CsvError error = withFileSizeLimit(rlim_t(limit), [&] { return writeCsv(ws, path, commaLocale()); });
        if (limit == size) {
            EXPECT_EQ(error, CsvError::None);
            EXPECT_EQ(readBytes(path), bytes);
            continue;
        }
        EXPECT_EQ(error, CsvError::WriteFailed);
        EXPECT_EQ(csvErrorMessage(error, path).text,
                  QStringLiteral("Не удалось записать файл ") + path
                      + QStringLiteral("\r\nВозможно, диск заполнен. Прежний файл с этим названием не изменён."));
        EXPECT_EQ(readBytes(path), kEarlier);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("out.csv")});
    }
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
        QList<WorkbookFailure> failures;
        const auto [toExact, toNew] = withFileSizeLimit(limit, [&] {
            return std::pair(
                exportTo({QString(), QString(), exact}),
                exportTo({dir.filePath(QStringLiteral("tyu2.bmp")), docs.path(), QString()}, nullptr, &failures));
        });
        EXPECT_EQ(toExact, SpreadsheetOutcome::Failed);
        EXPECT_EQ(toNew, SpreadsheetOutcome::Failed);
        EXPECT_EQ(workbookFailureMessage(failures).text,
                  QStringLiteral("Не удалось записать файл ") + beside
                      + QStringLiteral("\r\nВозможно, диск заполнен."));
        EXPECT_EQ(readBytes(exact), kEarlier);
        EXPECT_EQ(readBytes(beside), kEarlier);
        EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("out.xlsx"), QStringLiteral("tyu2.xlsx")}));
        EXPECT_TRUE(entries(docs.path()).isEmpty());
    }
}
#endif

} // namespace
} // namespace lumiset
