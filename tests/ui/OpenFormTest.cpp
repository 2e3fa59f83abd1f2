#include "UiFixture.h"

#include "open/PreviewBox.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimerEvent>
#include <QtEndian>

namespace lumiset::test {
namespace {

class OpenFormTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        write("pics/a.bmp", bmp24(2, 2, {10, 20, 30}));
        write("pics/B.BMP", bmp24(2, 2));
        write("pics/c.tga", greyTga(2, 1, 90));
        write("pics/e.txt", "plain text");
        write("pics/notes", "plain text");
    }
    static void chooseFilter(RecordingForm& form, int entry)
    {
        auto* filter = form.control<QComboBox>("ComboPattern");
        filter->setCurrentIndex(entry);
        emit filter->activated(entry);
    }
    static void click(QListWidget* list, int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
};

TEST_F(OpenFormTest, FilterEntriesListTheirFilesInAnyCase)
{
    const struct {
        int entry;
        QStringList files;
    } cases[] = {
        {1, {"c.tga"}},
        {2, {"a.bmp", "B.BMP", "c.tga", "d.png", "e.txt", "F.JPG", "notes"}}, // also files without an extension
        {3, {"a.bmp", "B.BMP", "c.tga", "d.png", "F.JPG"}},
        {0, {"a.bmp", "B.BMP"}},
    };
    write("pics/d.png", "");
    write("pics/F.JPG", "");
    auto form = makeForm("pics");
    EXPECT_EQ(form->fileEntries(), (QStringList{"a.bmp", "B.BMP"}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        chooseFilter(*form, c.entry);
        EXPECT_EQ(form->fileEntries(), c.files);
    }
}

TEST_F(OpenFormTest, TypedTextIsNeitherCompletedNorTakenForAnEntry)
{
    auto form = makeForm("pics");
    chooseFilter(*form, 2);
    auto* filter = form->control<QComboBox>("ComboPattern");
    write("pics/late.bmp", bmp24(1, 1)); // appears only when the list is refreshed
    filter->lineEdit()->clear();
    QApplication::setActiveWindow(form.get()); // completion works only in the active window
    filter->setFocus();
    QTest::keyClicks(filter->lineEdit(), "*.txt"); // "*" must not turn into the bitmap entry
    EXPECT_EQ(filter->currentText(), QStringLiteral("*.txt"));
    EXPECT_EQ(form->filePattern(), QStringLiteral("*.*"));
    EXPECT_EQ(form->fileEntries(), (QStringList{"a.bmp", "B.BMP", "c.tga", "e.txt", "late.bmp", "notes"}));
}

TEST_F(OpenFormTest, MouseAndArrowKeysOpenTheSelectedFile)
{
    auto form = makeForm("pics");
    chooseFilter(*form, 2);
    QListWidget* list = form->files();
    click(list, 1);
    EXPECT_EQ(form->store().FilePath, rootPath() + "pics/B.BMP");
    EXPECT_EQ(form->control<QLineEdit>("Text4")->text(), QStringLiteral("B.BMP"));
    form->setReport(QString());
    click(list, 1); // the entry already selected opens again
    EXPECT_TRUE(form->report().startsWith(QStringLiteral("BMP формат")));

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(form->store().FilePath, rootPath() + "pics/c.tga");
    // The grey picture is drawn point by point in place of the picture box.
    EXPECT_TRUE(form->control<PreviewBox>("Picture5")->isVisible());
    EXPECT_FALSE(form->control<QWidget>("Image11")->isVisible());
    EXPECT_FALSE(form->control<PictureButton>("Image1")->showsPressed());
}

TEST_F(OpenFormTest, OpenedPictureIsPreviewedUnlessShowFileIsUnticked)
{
    auto form = makeForm("pics");
    form->openListEntry(0);
    auto* box = form->control<PreviewBox>("Image11");
    EXPECT_EQ(QColor(box->grab().toImage().pixel(box->width() / 2, box->height() / 2)), QColor(10, 20, 30));
    EXPECT_FALSE(form->control<QWidget>("Line1")->isVisible());

    form->control<QCheckBox>("Check1")->setChecked(false);
    form->openListEntry(1);
    EXPECT_TRUE(box->picture().isNull());
    EXPECT_TRUE(form->control<QWidget>("Line1")->isVisible()); // the crossed box
}

TEST_F(OpenFormTest, ExportButtonSlidesInOnTheTimerAndAPressedClickRequestsTheExport)
{
    auto form = makeForm("pics");
    auto* timer = form->control<QTimer>("Timer0");
    QSignalSpy requests(form.get(), &OpenForm::exportRequested);
    form->openListEntry(0);
    ASSERT_TRUE(form->exportButton()->isEnabled());
    for (int frame = 1; frame <= 11; ++frame) {
        ASSERT_TRUE(timer->isActive());
        QTimerEvent tick(timer->timerId());
        QCoreApplication::sendEvent(timer, &tick);
        EXPECT_EQ(form->exportFrame(), std::min(frame, 10));
    }
    EXPECT_FALSE(timer->isActive());

    const QPoint inside(65, 13 + 260); // frame 10 in the strip's own coordinates
    QTest::mousePress(form->exportButton(), Qt::LeftButton, {}, inside);
    EXPECT_EQ(form->exportFrame(), 11);
    QTest::mouseRelease(form->exportButton(), Qt::LeftButton, {}, QPoint(65, 13 + 286));
    EXPECT_EQ(form->exportFrame(), 10);
    EXPECT_EQ(requests.count(), 1);
}

TEST_F(OpenFormTest, ChosenFolderShowsItsFilesAndAVanishedOneReportsError76)
{
    mkdir("pics/sub");
    auto form = makeForm();
    auto* folders = form->control<QListWidget>("Dir1");
    auto choose = [&](const char* name) {
        const QList<QListWidgetItem*> found = folders->findItems(QLatin1String(name), Qt::MatchEndsWith);
        ASSERT_EQ(found.size(), 1) << name;
        emit folders->itemActivated(found.first());
    };
    choose("pics");
    EXPECT_EQ(form->control<QLineEdit>("Text5")->text(), QDir::toNativeSeparators(rootPath() + "pics"));
    EXPECT_EQ(form->fileEntries(), (QStringList{"a.bmp", "B.BMP"}));
    QDir(rootPath() + "pics/sub").removeRecursively();
    choose("sub");
    ASSERT_EQ(form->boxes.size(), 1);
    EXPECT_TRUE(form->boxes[0].text.startsWith(QStringLiteral("Ошибка 76 ")));
    EXPECT_EQ(form->fileListPath() + "/", rootPath());
}

TEST_F(OpenFormTest, DrivesKeepTheirLastFolderAndAnUnusableOneFallsBack)
{
    const QString second = mkdir("second/");
    auto form = makeForm("pics", {{"second", second}, {"gone", rootPath() + "no-such-volume/"}});
    auto* drives = form->control<QComboBox>("Drive1");
    drives->setCurrentIndex(1);
    EXPECT_EQ(form->fileListPath() + "/", second);
    drives->setCurrentIndex(0);
    EXPECT_EQ(form->fileListPath(), rootPath() + "pics");
    EXPECT_TRUE(form->boxes.isEmpty());
    drives->setCurrentIndex(2);
    const QString unavailable = QStringLiteral("Ошибка 68 Устройство недоступно");
#ifdef Q_OS_WIN
    // None of C:, A: and D: is among these drives: each is tried and told in turn.
    ASSERT_EQ(form->boxes.size(), 3);
    EXPECT_EQ(form->boxes[1].text, unavailable + QStringLiteral("\r\nДиск C: недоступен."));
    EXPECT_EQ(form->boxes[2].text, unavailable + QStringLiteral("\r\nДиск А: недоступен."));
#else
    ASSERT_EQ(form->boxes.size(), 1);
#endif
    EXPECT_EQ(form->boxes[0].text, unavailable);
    EXPECT_EQ(drives->currentIndex(), 0);
}

TEST_F(OpenFormTest, DriveListFollowsTheFolderShownAndBareNamesStartAtItsRoot)
{
    mkdir("top");
    auto form = makeForm("pics", {{"pics", rootPath() + "pics/"}}); // a volume inside another, as home in /
    auto* drives = form->control<QComboBox>("Drive1");
    auto* folders = form->control<QListWidget>("Dir1");
    ASSERT_EQ(drives->currentIndex(), 1);
    const QList<QListWidgetItem*> top = folders->findItems(QDir(rootPath()).dirName(), Qt::MatchEndsWith);
    ASSERT_EQ(top.size(), 1);
    emit folders->itemActivated(top.first());
    EXPECT_EQ(drives->currentIndex(), 0);
    auto* path = form->control<QLineEdit>("Text5");
    path->setText("top");
    QTest::keyClick(path, Qt::Key_Return);
    EXPECT_EQ(form->fileListPath(), rootPath() + "top");
    EXPECT_TRUE(form->boxes.isEmpty());
}

TEST_F(OpenFormTest, DriveListReadsTheVolumesAgainWhenItDropsDown)
{
    QList<DriveEntry> volumes{{"test", rootPath()}, {"old", mkdir("old/")}};
    RecordingForm form(rootPath() + "pics", [&] { return volumes; });
    auto* drives = form.control<QComboBox>("Drive1");
    volumes = {{"new", mkdir("new/")}, {"test", rootPath()}};
    drives->showPopup();
    drives->hidePopup();
    ASSERT_EQ(drives->count(), 2);
    EXPECT_EQ(drives->itemText(0), QStringLiteral("new"));
    EXPECT_EQ(drives->currentIndex(), 1); // still the drive on screen
    drives->setCurrentIndex(0);
    EXPECT_EQ(form.fileListPath() + "/", rootPath() + "new/");
}

TEST_F(OpenFormTest, UnreadableFolderGivesTheAccessError)
{
    const QString locked = mkdir("pics/locked");
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    if (QDir(locked).isReadable()) // the superuser reads it anyway
        GTEST_SKIP() << "the folder stays readable for this user";
    auto form = makeForm("pics");
    auto* folders = form->control<QListWidget>("Dir1");
    emit folders->itemActivated(folders->findItems("locked", Qt::MatchEndsWith).value(0));
    ASSERT_EQ(form->boxes.size(), 1);
    EXPECT_EQ(form->boxes[0].text, QStringLiteral("Ошибка №75 Ошибка доступа к пути/файлу"));
}

TEST_F(OpenFormTest, StopButtonIsPaintedAwayAsSoonAsColouringEnds)
{
    // The rest of the rows go out uncoloured right after, with no event loop to paint the hidden button away.
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } spy;
    auto form = makeForm("pics");
    form->setStopButtonActive(true);
    QCoreApplication::processEvents();
    form->installEventFilter(&spy);
    form->setStopButtonActive(false);
    EXPECT_TRUE(spy.painted.contains(form->control<QWidget>("Image13")->geometry()));
}

TEST_F(OpenFormTest, LongTextsAreShownWholeAtTheirOwnSize)
{
    write("pics/wide.bmp", bmp24(3000, 2));
    TgaBuilder packed;
    packed.imageType = 10; // compressed: refused with a notice over the lists
    packed.rawPixels = QByteArray(4, '\x01');
    write("pics/packed.tga", packed.build());
    QByteArray huge = bmp24(1, 1);
    for (int field : {18, 22}) // width and height, claimed only
        qToLittleEndian<qint32>(40000, huge.data() + field);
    write("pics/huge.bmp", huge);
    auto form = makeForm("pics");
    chooseFilter(*form, 2);
    auto* filter = form->control<QComboBox>("ComboPattern");
    const QFontMetrics metrics(form->font());
    for (int i = 0; i < filter->count(); ++i) {
        EXPECT_LT(metrics.horizontalAdvance(filter->itemText(i)), filter->lineEdit()->width()) << i;
        EXPECT_LT(metrics.horizontalAdvance(filter->itemText(i)), filter->view()->width()) << i;
    }
    form->openListEntry(form->fileEntries().indexOf("wide.bmp"));
    auto* size = form->control<QLabel>("Label1");
    EXPECT_EQ(size->font(), form->font());
    EXPECT_LE(size->heightForWidth(size->width()), size->height());
    form->openListEntry(form->fileEntries().indexOf("packed.tga"));
    auto* notice = form->control<QLabel>("Label2");
    ASSERT_TRUE(notice->isVisible());
    EXPECT_LE(metrics.horizontalAdvance(notice->text()), notice->width());
    EXPECT_LT(notice->geometry().right(), form->control<QWidget>("Image3")->x());

    // A refusal notice breaks between words inside its box: no ink on its right or bottom edge.
    form->openListEntry(form->fileEntries().indexOf("huge.bmp"));
    auto* refusal = form->control<QLabel>("Label4");
    ASSERT_TRUE(refusal->isVisible());
    ASSERT_TRUE(refusal->text().contains(QStringLiteral("слишком велико:")));
    for (int pixels : {13, 20}) {
        QFont type = form->font();
        type.setPixelSize(pixels);
        refusal->setFont(type);
        const QImage shown = refusal->grab().toImage();
        const auto ink = [&](int x, int y) { return qRed(shown.pixel(x, y)) - qGreen(shown.pixel(x, y)) > 60; };
        int edgeInk = 0;
        for (int y = 0; y < shown.height(); ++y)
            edgeInk += ink(shown.width() - 1, y);
        for (int x = 0; x < shown.width(); ++x)
            edgeInk += ink(x, shown.height() - 1);
        EXPECT_EQ(edgeInk, 0) << pixels << " px";
    }
}

// ---- path box -------------------------------------------------------------

struct PathCase {
    const char* name;
    const char* typed;            ///< %R: the scratch root without its final '/'; %B: the same with '\\'
    const char* expectedDir;      ///< relative to the root; nullptr: the folder does not change
    bool refused;                 ///< the "Невозможно открыть путь" box
    const char* opened = nullptr; ///< the file opened there
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.name;
}

class PathBoxTest : public UiTest, public ::testing::WithParamInterface<PathCase> { };

TEST_P(PathBoxTest, EnterFollowsThePathRules)
{
    const PathCase& c = GetParam();
    mkdir("pics/sub");
    mkdir("top");
#ifdef Q_OS_WIN
    // A typed drive letter must name a drive of the list: the scratch root's own.
    write("Папка/файл.bmp", bmp24(1, 1));
    auto form = makeForm("pics", {{QStringLiteral("c:"), rootPath().left(3)}});
#else
    auto form = makeForm("pics");
#endif
    auto* box = form->control<QLineEdit>("Text5");
    write("pics/late.bmp", bmp24(1, 1)); // listed only if the folder is read again
    write("top/notes.txt", "text");
    const QString before = form->fileListPath();
    const QString top = rootPath().chopped(1);
    box->setText(QString::fromUtf8(c.typed)
                     .replace(QLatin1String("%R"), top)
                     .replace(QLatin1String("%B"), QString(top).replace(QLatin1Char('/'), QLatin1Char('\\'))));
    QTest::keyClick(box, Qt::Key_Return);

    EXPECT_EQ(form->fileListPath(), c.expectedDir ? rootPath() + c.expectedDir : before);
    ASSERT_EQ(form->boxes.size(), c.refused ? 1 : 0);
    if (c.refused) {
        EXPECT_EQ(form->boxes[0].title, QStringLiteral("Невозможно открыть путь"));
        EXPECT_EQ(form->boxes[0].text, QStringLiteral("Файловый путь не доступен или не существует"));
    }
    if (!c.expectedDir) {
        EXPECT_TRUE(form->fileEntries().isEmpty());
    }
    EXPECT_EQ(form->store().FilePath, c.opened ? rootPath() + c.opened : QString());
}

const PathCase kPathCases[] = {
    {"UnchangedTextIsNotReadAgain", "%R/pics", nullptr, false},
    {"BareNameIsTakenFromTheRoot", "top", "top", false},
    {"FileOpensInItsFolder", "%R/pics/late.bmp", "pics", false, "pics/late.bmp"},
    {"FileHiddenByTheFilterToo", "top/notes.txt", "top", false, "top/notes.txt"},
    {"BareNameIsNotASubfolderOfTheCurrent", "sub", nullptr, true},
    {"SlashStartsAtTheFileSystemRoot", "%R/pics/sub", "pics/sub", false},
    {"BackslashStartsAtTheFileSystemRoot", "%B\\top", "top", false},
    {"TrailingBlanksIgnored", "top   ", "top", false},
    {"LeadingBlankStaysPartOfTheName", " top", nullptr, true},
    {"DigitBeforeColonIsIgnored", "1:\\top", nullptr, false},
#ifdef Q_OS_WIN
    {"SlashIsTheShownDrivesRoot", "/top", "top", false},
    {"DriveLetterBackslashesAndCyrillic", "%B\\Папка\\файл.bmp", "Папка", false, "Папка/файл.bmp"},
#else
    {"SlashIsNotTheDrivesRoot", "/top", nullptr, true},
    {"DriveLetterWithoutDrives", "q:\\top", nullptr, true},
#endif
};

INSTANTIATE_TEST_SUITE_P(Rules, PathBoxTest, ::testing::ValuesIn(kPathCases),
                         [](const ::testing::TestParamInfo<PathCase>& row) { return std::string(row.param.name); });

} // namespace
} // namespace lumiset::test
