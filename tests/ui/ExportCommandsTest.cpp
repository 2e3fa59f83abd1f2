#include "ExportFormFixture.h"
#include "UiFixture.h"

#include "output/CsvExport.h"
#include "output/SpreadsheetExport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRegularExpression>
#include <QSignalSpy>

#include <zlib.h>

#include <functional>
#include <map>

namespace lumiset::test {
namespace {

// ---- reading a written workbook ------------------------------------------------------

/// One part of a zip archive (an .xlsx is one), found through the central
/// directory; empty when it is missing or does not inflate.
QByteArray zipMember(const QString& archive, const QByteArray& name)
{
    QFile file(archive);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray zip = file.readAll();
    auto u16 = [&zip](qsizetype at) -> quint32 {
        return at + 2 <= zip.size() ? quint32(uchar(zip[at])) | quint32(uchar(zip[at + 1])) << 8 : 0;
    };
    auto u32 = [&u16](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return {};
    qsizetype at = u32(end + 16);
    for (quint32 i = 0, entries = u16(end + 10); i < entries && at + 46 <= zip.size(); ++i) {
        const quint32 method = u16(at + 10), packed = u32(at + 20), size = u32(at + 24);
        const quint32 nameLength = u16(at + 28), local = u32(at + 42);
        const QByteArray entry = zip.mid(at + 46, nameLength);
        at += 46 + nameLength + u16(at + 30) + u16(at + 32);
        if (entry != name)
            continue;
        const QByteArray raw = zip.mid(local + 30 + u16(local + 26) + u16(local + 28), packed);
        if (method == 0)
            return raw;
        QByteArray out(qsizetype(size), '\0');
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return {};
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
        z.avail_in = uInt(raw.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(out.size());
        const int status = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        return status == Z_STREAM_END ? out : QByteArray();
    }
    return {};
}

/// The XML of each row of the first worksheet, by row number.
std::map<int, QString> sheetRows(const QString& workbook)
{
    const QString xml = QString::fromUtf8(zipMember(workbook, "xl/worksheets/sheet1.xml"));
    static const QRegularExpression row(QStringLiteral("<row r=\"(\\d+)\"[^>]*>(.*?)</row>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    std::map<int, QString> rows;
    for (auto it = row.globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        rows[m.captured(1).toInt()] = m.captured(2);
    }
    return rows;
}

/// A value cell carries a style only when it was given a fill or a font colour
/// (the red measure sets no number format).
bool rowStyled(const QString& rowXml) { return rowXml.contains(QLatin1String(" s=\"")); }

QStringList workbooksIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.xlsx")}, QDir::Files);
}

// ---- the open window with a scripted user in the export window ----------------------------

/// What the open window shows at one pending-events run of the colouring.
struct Look {
    int frame;
    bool openVisible, helpVisible, stopVisible, stopEnabled, remainingVisible, barVisible, listEnabled;
    int barWidth;
    QString remaining;
};

/// The open window whose export window is driven by a script instead of a user,
/// without blocking, and whose colouring loop can press the stop button.
class ScriptedForm : public RecordingForm {
public:
    using RecordingForm::RecordingForm;

    std::function<void(ExportForm&)> user; ///< what the user does in the shown export window
    int stopAtRun = 0;                     ///< the stop button is clicked during this run (1-based); 0 never
    qint64 millisecondsPerReading = 0;     ///< a scripted clock: each reading this much later
    std::function<void(int run)> onRun;    ///< more user actions during a run
    std::vector<Look> looks;

    void processEvents() override
    {
        looks.push_back(look());
        const int run = int(looks.size());
        if (run == stopAtRun)
            QTest::mouseClick(control<QAbstractButton>("Image13"), Qt::LeftButton);
        if (onRun)
            onRun(run);
        RecordingForm::processEvents();
    }
    qint64 nowMilliseconds() override
    {
        now_ += millisecondsPerReading;
        return now_;
    }

    Look look() const
    {
        auto visible = [this](const char* name) { return control<QWidget>(name)->isVisible(); };
        return {exportFrame(), visible("Image1"), visible("Image3"), visible("Image13"),
                control<QWidget>("Image13")->isEnabled(), visible("Label5"), visible("Picture4"),
                control<QWidget>("File1")->isEnabled(), control<QWidget>("Picture4")->width(),
                control<QLabel>("Label5")->text()};
    }

protected:
    void showExportWindow() override
    {
        ++exportShown;
        ExportForm& window = exportForm();
        window.showWindow();
        window.timer1Tick(); // reads the pixels
        if (user)
            user(window);
    }

private:
    qint64 now_ = 0;
};

void click(ExportForm& window, const char* name)
{
    auto* button = window.findChild<QAbstractButton*>(QLatin1String(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

class ExportCommandTest : public UiTest {
protected:
    /// A picture of \a rows × 3 pure red points in the folder "pics", opened in the open window.
    std::unique_ptr<ScriptedForm> openPicture(int rows)
    {
        BmpBuilder b;
        b.width = 3;
        b.height = rows;
        b.pixels.assign(std::size_t(rows), std::vector<Rgb>(3, Rgb{255, 0, 0}));
        picture = write(QStringLiteral("pics/tyu2.bmp"), b.build());
        folder = QFileInfo(picture).absolutePath();
        auto form = std::make_unique<ScriptedForm>(folder, QList<DriveEntry>{{QStringLiteral("test"), rootPath()}});
        form->setWorkbookFallbackFolder(mkdir(QStringLiteral("documents")));
        form->show();
        const int row = form->fileEntries().indexOf(QStringLiteral("tyu2.bmp"));
        EXPECT_GE(row, 0);
        form->openListEntry(row);
        form->setSlideTimerActive(false);
        form->setExportFrame(10);
        EXPECT_TRUE(form->exportButton()->isEnabled());
        return form;
    }
    /// The export command, as a click on the export button starts it.
    static void clickExport(ScriptedForm& form)
    {
        QTest::mouseClick(form.exportButton(), Qt::LeftButton, {}, QPoint(65, 13 + 260));
    }

    QString picture;
    QString folder;
};

TEST_F(ExportCommandTest, CancelledExportWindowWritesNothing)
{
    auto form = openPicture(4);
    QSignalSpy confirmed(form.get(), &OpenForm::exportConfirmed);
    form->user = [](ExportForm& window) { click(window, "Image2"); };
    clickExport(*form);

    EXPECT_EQ(form->exportShown, 1);
    EXPECT_EQ(confirmed.count(), 0);
    EXPECT_TRUE(workbooksIn(folder).isEmpty());
    EXPECT_TRUE(workbooksIn(rootPath() + QStringLiteral("documents")).isEmpty());
    EXPECT_TRUE(form->opened.isEmpty());
    EXPECT_TRUE(form->boxes.isEmpty());
    EXPECT_EQ(form->exportFrame(), 10) << "the resting frame, not the pressed one";
    EXPECT_TRUE(form->looks.empty()) << "no colouring ran";
}

TEST_F(ExportCommandTest, ConfirmedExportWritesTheWorkbookBesideThePictureAndOpensIt)
{
    auto form = openPicture(4);
    QSignalSpy confirmed(form.get(), &OpenForm::exportConfirmed);
    form->user = [](ExportForm& window) { click(window, "Image1"); };
    clickExport(*form);

    EXPECT_EQ(confirmed.count(), 1);
    ASSERT_EQ(form->opened.size(), 1);
    EXPECT_EQ(form->opened[0], QDir(folder).filePath(QStringLiteral("tyu2.xlsx")));
    EXPECT_TRUE(QFileInfo::exists(form->opened[0]));
    EXPECT_TRUE(form->boxes.isEmpty());
    EXPECT_EQ(form->programEnds, 0);
    EXPECT_TRUE(form->looks.empty()) << "without the tick no colouring runs";

    const std::map<int, QString> rows = sheetRows(form->opened[0]);
    ASSERT_EQ(rows.size(), 7u) << "4 value rows and 3 description lines";
    for (int r = 1; r <= 4; ++r)
        EXPECT_FALSE(rowStyled(rows.at(r))) << "row " << r << " was coloured without the tick";
    EXPECT_TRUE(rows.at(5).contains(QStringLiteral("Файл: tyu2.bmp")));

    const Look after = form->look();
    EXPECT_EQ(after.frame, 10);
    EXPECT_TRUE(after.openVisible);
    EXPECT_TRUE(after.helpVisible);
    EXPECT_FALSE(after.remainingVisible);
    EXPECT_TRUE(after.listEnabled);

    // A second export never replaces the first workbook.
    clickExport(*form);
    ASSERT_EQ(form->opened.size(), 2);
    EXPECT_EQ(form->opened[1], QDir(folder).filePath(QStringLiteral("tyu2 (2).xlsx")));
}

TEST_F(ExportCommandTest, ColouringShowsProgressAndStopLeavesLaterRowsUncoloured)
{
    auto form = openPicture(6);
    form->stopAtRun = 3;
    form->millisecondsPerReading = 2000; // every row takes two seconds
    form->setStopRequested(true);        // a click from before the export does not count
    form->setRemainingText(QStringLiteral("Осталось  99 с")); // left from an earlier export
    form->user = [](ExportForm& window) {
        QTest::mouseClick(window.findChild<QCheckBox*>(QStringLiteral("Check1")), Qt::LeftButton);
        click(window, "Image1");
    };
    clickExport(*form);

    ASSERT_EQ(form->looks.size(), 3u) << "the loop ends at the run in which stop was clicked";
    for (std::size_t i = 0; i < form->looks.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "run " << i + 1);
        const Look& l = form->looks[i];
        EXPECT_EQ(l.frame, 12) << "busy frame";
        EXPECT_FALSE(l.openVisible);
        EXPECT_FALSE(l.helpVisible);
        EXPECT_TRUE(l.stopVisible);
        EXPECT_TRUE(l.stopEnabled);
        EXPECT_TRUE(l.remainingVisible);
        EXPECT_TRUE(l.barVisible);
        EXPECT_FALSE(l.listEnabled) << "no other picture may be opened under the export";
    }
    EXPECT_EQ(form->looks[0].remaining, QString()) << "no estimate before the first row, none left over";
    EXPECT_EQ(form->looks[1].barWidth, 130 / 6);
    EXPECT_EQ(form->looks[1].remaining, QStringLiteral("Осталось  10 с"));
    EXPECT_EQ(form->looks[2].barWidth, 2 * 130 / 6);
    EXPECT_EQ(form->looks[2].remaining, QStringLiteral("Осталось  8 с"));

    const Look after = form->look();
    EXPECT_FALSE(after.stopVisible);
    EXPECT_FALSE(after.barVisible);
    EXPECT_EQ(after.barWidth, 1);
    EXPECT_FALSE(after.remainingVisible);
    EXPECT_TRUE(after.openVisible);
    EXPECT_TRUE(after.helpVisible);
    EXPECT_EQ(after.frame, 10);

    ASSERT_EQ(form->opened.size(), 1);
    ASSERT_TRUE(QFileInfo::exists(form->opened[0]));
    const std::map<int, QString> rows = sheetRows(form->opened[0]);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_TRUE(rowStyled(rows.at(1)));
    EXPECT_TRUE(rowStyled(rows.at(2)));
    for (int r = 3; r <= 6; ++r)
        EXPECT_FALSE(rowStyled(rows.at(r))) << "row " << r << " was coloured after the stop";
    EXPECT_TRUE(rows.at(7).contains(QStringLiteral("Файл: tyu2.bmp")));
    EXPECT_TRUE(rows.at(8).contains(QStringLiteral("Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ")));
    EXPECT_TRUE(rows.at(9).contains(QStringLiteral("От [1;1] до [3;6]")));
}

TEST_F(ExportCommandTest, UnopenedWorkbookIsReportedAndTheProgramGoesOn)
{
    auto form = openPicture(2);
    form->openerSucceeds = false;
    form->user = [](ExportForm& window) { click(window, "Image1"); };
    clickExport(*form);

    ASSERT_EQ(form->opened.size(), 1);
    const UserMessage notice = workbookNotOpenedMessage(form->opened[0]);
    ASSERT_EQ(form->boxes.size(), 1);
    EXPECT_EQ(form->boxes[0].title, notice.title);
    EXPECT_EQ(form->boxes[0].text, notice.text);
    EXPECT_EQ(form->programEnds, 0);
    EXPECT_EQ(form->exportFrame(), 10);
    EXPECT_TRUE(form->control<QWidget>("Image1")->isVisible());
}

TEST_F(ExportCommandTest, WorkbookThatCannotBeWrittenEndsTheProgramWithTheCriticalBox)
{
    auto form = openPicture(2);
    form->setWorkbookFallbackFolder(rootPath() + QStringLiteral("no such folder"));
    form->user = [this](ExportForm& window) {
        // The pixels are in memory; now neither folder can take the workbook.
        ASSERT_TRUE(QDir(folder).removeRecursively());
        click(window, "Image1");
    };
    clickExport(*form);

    const UserMessage failure = automationFailureMessage();
    ASSERT_EQ(form->boxes.size(), 1);
    EXPECT_EQ(form->boxes[0].icon, MessageIcon::Critical);
    EXPECT_EQ(form->boxes[0].title, failure.title);
    EXPECT_EQ(form->boxes[0].text, failure.text);
    EXPECT_EQ(form->programEnds, 1);
    EXPECT_TRUE(form->opened.isEmpty());
}

TEST_F(ExportCommandTest, ExportButtonIsIgnoredWhileAnExportRuns)
{
    auto form = openPicture(3);
    form->onRun = [&form](int run) {
        if (run == 1)
            clickExport(*form);
    };
    form->user = [](ExportForm& window) {
        QTest::mouseClick(window.findChild<QCheckBox*>(QStringLiteral("Check1")), Qt::LeftButton);
        click(window, "Image1");
    };
    clickExport(*form);

    EXPECT_EQ(form->exportShown, 1) << "no export window inside the running export";
    ASSERT_EQ(form->looks.size(), 3u);
    EXPECT_EQ(form->looks[1].frame, 12) << "the click did not press the busy button";
    EXPECT_EQ(form->opened.size(), 1);
}

// ---- the export window's own commands -------------------------------------------------------

class ExportWindowCommandTest : public ExportFormTest {
protected:
    void startOn(const QByteArray& bytes)
    {
        ws = Workspace{};
        form.reset();
        open(bytes);
        start();
    }
    void clickButton(const char* name) { QTest::mouseClick(c<QAbstractButton>(name), Qt::LeftButton); }
    QCheckBox* tick() const { return c<QCheckBox>("Check1"); }
    static QByteArray fileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ExportWindowCommandTest, TickBoxDecidesWhetherCellsAreColoured)
{
    for (const bool ticked : {false, true}) {
        SCOPED_TRACE(ticked ? "ticked" : "not ticked");
        startOn(bmp24(3, 2, {255, 0, 0}));
        ASSERT_EQ(tick()->text(),
                  QStringLiteral("Заливка цветом фона ячеек таблицы (Значительно замедляет вывод в таблицу)"));
        EXPECT_FALSE(tick()->isChecked()) << "each showing starts without colouring";
        if (ticked)
            QTest::mouseClick(tick(), Qt::LeftButton);
        ASSERT_EQ(tick()->isChecked(), ticked);
        clickButton("Image1");

        EXPECT_FALSE(form->isVisible()) << "the export command closes the window";
        EXPECT_FALSE(ws.ExportCancelled);
        EXPECT_EQ(ws.request.FillCellBackground, ticked);
        ASSERT_EQ(ws.request.rowCount, 2);
        ASSERT_EQ(ws.request.columnCount, 3);
        EXPECT_EQ(ws.request.value(2, 3), 255.0f);
        const std::array<qint32, 2> expected = ticked ? std::array<qint32, 2>{3, 2} : std::array<qint32, 2>{0, 0};
        EXPECT_EQ(ws.request.colors(2, 3), expected) << "red fill and white text only when ticked";
    }
}

TEST_F(ExportWindowCommandTest, TickIsClearedByTheNextShowing)
{
    startOn(bmp24(3, 2));
    QTest::mouseClick(tick(), Qt::LeftButton);
    clickButton("Image2");
    form->showWindow();
    EXPECT_FALSE(tick()->isChecked());
}

TEST_F(ExportWindowCommandTest, TickBoxSitsInsideTheWindowClearOfTheOtherControls)
{
    startOn(bmp24(3, 2));
    const QRect box = tick()->geometry();
    EXPECT_TRUE(form->rect().contains(box)) << "the whole caption is shown";
    for (QWidget* other : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (other == tick() || !other->isVisible())
            continue;
        EXPECT_FALSE(box.intersects(other->geometry())) << other->objectName().toStdString();
    }
}

TEST_F(ExportWindowCommandTest, RegionThatCannotBeReadPreparesNothingAndKeepsTheWindow)
{
    startOn(bmp24(3, 2));
    ws.image.PixelGreen.release(); // as if the pixels had been dropped under the window
    clickButton("Image1");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(ws.ExportCancelled);
    EXPECT_EQ(ws.request.rowCount, 0);
}

TEST_F(ExportWindowCommandTest, CsvAnswerNamesTheFileBesideThePicture)
{
    const struct {
        const char* answer;
        const char* file;
    } cases[] = {
        {"", "picture.csv"},          {"res", "res.csv"},         {"res.csv", "res.csv"},
        {"res.cvs", "res.csv"},       {"res.CVS", "res.csv"},     {"res.CSV", "res.CSV"},
        {"res.txt", "res.txt.csv"},   {"data.Csv", "data.Csv.csv"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.answer);
        startOn(bmp24(3, 2));
        form->csvAnswers << QString::fromUtf8(k.answer);
        clickButton("Image15");

        EXPECT_EQ(form->csvAsked, QStringList{csvPromptTitle() + QLatin1Char('|')
                                              + csvPromptText(QStringLiteral("picture.csv"))});
        EXPECT_TRUE(form->csvErrors.isEmpty()) << "nothing is shown when the file is written";
        EXPECT_TRUE(form->isVisible()) << "the window stays open";
        EXPECT_TRUE(ws.ExportCancelled) << "saving a table file is no export";
        const QString written = QDir(folder).filePath(QString::fromUtf8(k.file));
        EXPECT_EQ(ws.SelectedFileName, written);
        const QByteArray bytes = fileBytes(written);
        EXPECT_TRUE(bytes.startsWith("200;200;200\r\n200;200;200\r\n")) << bytes.left(40).constData();
        EXPECT_EQ(bytes.count("\r\n"), 5) << "two rows and three description lines";
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.csv"), QStringLiteral("*.CSV")}, QDir::Files).size(), 1);
    }
}

TEST_F(ExportWindowCommandTest, CsvThatCannotBeCreatedIsReportedAndTheWindowStays)
{
    startOn(bmp24(3, 2));
    form->csvAnswers << QStringLiteral("missing/res");
    clickButton("Image15");

    const QString target = QDir(folder).filePath(QStringLiteral("missing/res.csv"));
    EXPECT_FALSE(QFileInfo::exists(target));
    const UserMessage expected = csvErrorMessage(CsvError::CannotCreate, QDir::toNativeSeparators(target));
    EXPECT_EQ(form->csvErrors, QStringList{expected.title + QLatin1Char('|') + expected.text});
    EXPECT_TRUE(form->isVisible());

    // The same window then writes where it can.
    form->csvAnswers << QStringLiteral("res");
    clickButton("Image15");
    EXPECT_EQ(form->csvErrors.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("res.csv"))));
}

} // namespace
} // namespace lumiset::test
