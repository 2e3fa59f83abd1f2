// lumiset-cli export when an output cannot be written: status 3, the reason on
// standard error, an earlier file of that name untouched, and nothing already
// written lost.

#include "support/ImageBuilders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace lumiset::test;

namespace {

constexpr int kExitWriteFailed = 3;
const QByteArray kEarlier("earlier file\r\n");

struct CliRun {
    int exitCode = -1;
    QString err;
};

// \a fileSizeLimit >= 0 runs the program as on a disk that fills up after that
// many bytes of any one file (the child ignores SIGXFSZ, so writes fail with EFBIG).
CliRun runExport(const QStringList& args, qint64 fileSizeLimit = -1)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
#ifdef Q_OS_UNIX
    if (fileSizeLimit >= 0)
        p.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = rlim_t(fileSizeLimit);
            setrlimit(RLIMIT_FSIZE, &limit);
        });
#endif
    p.start(QStringLiteral(LUMISET_CLI_PATH), QStringList{QStringLiteral("export")} + args);
    CliRun r;
    if (p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// 40 × 30 picture: its table (about 5 KiB) is larger than the size limits used.
QString picture()
{
    BmpBuilder b;
    b.width = 40;
    b.height = 30;
    b.pixels.assign(30, std::vector<Rgb>(40, Rgb{200, 100, 50}));
    return QDir(writeTempFile(QStringLiteral("pic.bmp"), b.build())).filePath(QStringLiteral("pic.bmp"));
}

const QStringList kWholePicture{QStringLiteral("--to"), QStringLiteral("40,30"), QStringLiteral("--locale"),
                                QStringLiteral("ru_RU")};

struct TargetCase {
    const char* name;
    std::function<QString(const QString& folder, const QString& ext)> target; ///< folder holds "out" + ext
};

std::array<TargetCase, 3> refusedTargets()
{
    return {{
        {"missing folder",
         [](const QString& d, const QString& ext) { return d + QStringLiteral("/no such folder/out") + ext; }},
        {"the earlier file stands where the folder should be",
         [](const QString& d, const QString& ext) { return d + QStringLiteral("/out") + ext + QStringLiteral("/x") + ext; }},
        {"name component of 300 characters",
         [](const QString& d, const QString& ext) { return d + QLatin1Char('/') + QString(300, QLatin1Char('n')) + ext; }},
    }};
}

TEST(CliFailureTest, RefusedCsvTargetExitsThreeWithTheWindowsMessage)
{
    const QString image = picture();
    for (const TargetCase& c : refusedTargets()) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString earlier = dir.filePath(QStringLiteral("out.csv"));
        ASSERT_TRUE(writeBytes(earlier, kEarlier));
        const QString csv = c.target(dir.path(), QStringLiteral(".csv"));
        const CliRun r = runExport(QStringList{image} + kWholePicture + QStringList{QStringLiteral("--csv"), csv});
        EXPECT_EQ(r.exitCode, kExitWriteFailed);
        EXPECT_EQ(r.err, QStringLiteral("lumiset-cli: Не удалось создать файл ") + csv
                             + QStringLiteral(" | Проверьте название файла и доступ к папке.\n"));
        EXPECT_EQ(readBytes(earlier), kEarlier);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("out.csv")});
    }
}

TEST(CliFailureTest, RefusedWorkbookTargetExitsThreeAndKeepsTheCsv)
{
    const QString image = picture();
    QTemporaryDir reference;
    const QString referenceCsv = reference.filePath(QStringLiteral("ref.csv"));
    ASSERT_EQ(runExport(QStringList{image} + kWholePicture + QStringList{QStringLiteral("--csv"), referenceCsv}).exitCode, 0);
    const QByteArray table = readBytes(referenceCsv);
    ASSERT_GT(table.size(), 4000);
    for (const TargetCase& c : refusedTargets()) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString earlier = dir.filePath(QStringLiteral("out.xlsx"));
        ASSERT_TRUE(writeBytes(earlier, kEarlier));
        const QString csv = dir.filePath(QStringLiteral("table.csv"));
        const QString xlsx = c.target(dir.path(), QStringLiteral(".xlsx"));
        const CliRun r = runExport(QStringList{image} + kWholePicture
                                + QStringList{QStringLiteral("--csv"), csv, QStringLiteral("--xlsx"), xlsx, QStringLiteral("--fill")});
        EXPECT_EQ(r.exitCode, kExitWriteFailed);
        EXPECT_TRUE(r.err.endsWith(QStringLiteral("lumiset-cli: cannot write ") + xlsx + QLatin1Char('\n')))
            << qPrintable(r.err); // after the workbook library's own diagnostics
        EXPECT_EQ(readBytes(earlier), kEarlier);
        EXPECT_EQ(readBytes(csv), table); // the table written first is complete
        EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("out.xlsx"), QStringLiteral("table.csv")}));
    }
}

#ifdef Q_OS_UNIX
TEST(CliFailureTest, ReadOnlyFolderExitsThreeAndKeepsTheEarlierFiles)
{
    const QString image = picture();
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    const QString xlsx = dir.filePath(QStringLiteral("out.xlsx"));
    ASSERT_TRUE(writeBytes(csv, kEarlier));
    ASSERT_TRUE(writeBytes(xlsx, kEarlier));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool stillWritable = writeBytes(dir.filePath(QStringLiteral(".probe")), "x");
    QFile::remove(dir.filePath(QStringLiteral(".probe")));
    CliRun toCsv;
    CliRun toXlsx;
    if (!stillWritable) {
        toCsv = runExport(QStringList{image} + kWholePicture + QStringList{QStringLiteral("--csv"), csv});
        toXlsx = runExport(QStringList{image} + kWholePicture + QStringList{QStringLiteral("--xlsx"), xlsx});
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (stillWritable)
        GTEST_SKIP() << "the mode bits do not stop this user (root): the folder is still writable";
    EXPECT_EQ(toCsv.exitCode, kExitWriteFailed);
    EXPECT_TRUE(toCsv.err.contains(QStringLiteral("Не удалось создать файл ") + csv)) << qPrintable(toCsv.err);
    EXPECT_EQ(toXlsx.exitCode, kExitWriteFailed);
    EXPECT_EQ(readBytes(csv), kEarlier);
    EXPECT_EQ(readBytes(xlsx), kEarlier);
    EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("out.csv"), QStringLiteral("out.xlsx")}));
}

// A disk that fills up: every size short of the whole file fails both writers
// with status 3 and keeps the earlier files; the whole size succeeds.
TEST(CliFailureTest, DiskFullExitsThreeAndKeepsTheEarlierFiles)
{
    const QString image = picture();
    QTemporaryDir reference;
    const QString referenceCsv = reference.filePath(QStringLiteral("ref.csv"));
    ASSERT_EQ(runExport(QStringList{image} + kWholePicture + QStringList{QStringLiteral("--csv"), referenceCsv}).exitCode, 0);
    const qint64 size = readBytes(referenceCsv).size();
    for (const qint64 limit : {qint64(0), qint64(1000), size - 1}) {
        SCOPED_TRACE(limit);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("out.csv"));
        const QString xlsx = dir.filePath(QStringLiteral("out.xlsx"));
        ASSERT_TRUE(writeBytes(csv, kEarlier));
        ASSERT_TRUE(writeBytes(xlsx, kEarlier));
        const CliRun toCsv = runExport(QStringList{image} + kWholePicture + QStringList{QStringLiteral("--csv"), csv}, limit);
        EXPECT_EQ(toCsv.exitCode, kExitWriteFailed);
        EXPECT_EQ(toCsv.err, QStringLiteral("lumiset-cli: Не удалось записать файл ") + csv
                                 + QStringLiteral(" | Возможно, диск заполнен. Прежний файл с этим названием не изменён.\n"));
        const CliRun toXlsx = runExport(QStringList{image} + kWholePicture + QStringList{QStringLiteral("--xlsx"), xlsx}, limit);
        EXPECT_EQ(toXlsx.exitCode, kExitWriteFailed);
        EXPECT_TRUE(toXlsx.err.endsWith(QStringLiteral("lumiset-cli: cannot write ") + xlsx + QLatin1Char('\n')))
            << qPrintable(toXlsx.err);
        EXPECT_EQ(readBytes(csv), kEarlier);
        EXPECT_EQ(readBytes(xlsx), kEarlier);
        EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("out.csv"), QStringLiteral("out.xlsx")}));
    }
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    const CliRun enough = runExport(QStringList{image} + kWholePicture + QStringList{QStringLiteral("--csv"), csv}, size);
    EXPECT_EQ(enough.exitCode, 0) << qPrintable(enough.err);
    EXPECT_EQ(readBytes(csv), readBytes(referenceCsv));
}
#endif

} // namespace
