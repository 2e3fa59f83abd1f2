#include "UiFixture.h"

#include <QTest>

namespace lumiset::test {
namespace {

class BrowseTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        write("pics/a.bmp", bmp24(2, 2));
        write("pics/B.BMP", bmp24(2, 2));
        write("pics/c.tga", greyTga(2, 1, 90));
        write("pics/D.Tga", greyTga(2, 1, 90));
        write("pics/notes", "plain text");
        write("pics/e.txt", "plain text");
        mkdir("pics/sub");
    }
};

TEST_F(BrowseTest, FilterHasThreeEntriesAndStartsOnBitmaps)
{
    auto form = makeForm("pics");
    auto* combo = form->control<QComboBox>("ComboPattern");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("*.BMP (изображение Bitmap)"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("*.TGA (изображение TarGA)"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("*.*   (все форматы)"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("*.BMP"));
    EXPECT_EQ(form->fileEntries(), (QStringList{"a.bmp", "B.BMP"}));
}

TEST_F(BrowseTest, EachFilterEntrySetsItsPatternWithoutRegardToCase)
{
    const struct {
        int entry;
        const char* pattern;
        QStringList files;
    } cases[] = {
        {1, "*.tga", {"c.tga", "D.Tga"}},
        {2, "*.*", {"a.bmp", "B.BMP", "c.tga", "D.Tga", "e.txt", "notes"}},
        {0, "*.bmp", {"a.bmp", "B.BMP"}},
    };
    auto form = makeForm("pics");
    auto* combo = form->control<QComboBox>("ComboPattern");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        combo->setCurrentIndex(c.entry);
        emit combo->activated(c.entry);
        EXPECT_EQ(form->filePattern(), QLatin1String(c.pattern));
        EXPECT_EQ(form->fileEntries(), c.files);
    }
}

TEST_F(BrowseTest, TypedPatternOnlyRefreshesWithTheOldPattern)
{
    auto form = makeForm("pics");
    auto* combo = form->control<QComboBox>("ComboPattern");
    write("pics/late.bmp", bmp24(1, 1)); // appears only when the list is refreshed
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), "*.tga");
    EXPECT_EQ(form->filePattern(), QStringLiteral("*.bmp"));
    EXPECT_EQ(form->fileEntries(), (QStringList{"a.bmp", "B.BMP", "late.bmp"}));
}

TEST_F(BrowseTest, ClickingAFileOpensIt)
{
    auto form = makeForm("pics");
    QListWidget* list = form->files();
    const QRect entry = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_EQ(form->selectedFileIndex(), 1);
    EXPECT_EQ(form->selectedFileName(), QStringLiteral("B.BMP"));
    EXPECT_EQ(form->store().FilePath, rootPath() + "pics/B.BMP");
    EXPECT_EQ(form->store().ImageState, 1);
    EXPECT_EQ(form->control<QLineEdit>("Text4")->text(), QStringLiteral("B.BMP"));
    EXPECT_TRUE(form->report().startsWith(QStringLiteral("BMP формат")));
    EXPECT_TRUE(form->control<QPlainTextEdit>("Text7")->toPlainText().startsWith(QStringLiteral("BMP формат")));
}

TEST_F(BrowseTest, ClickingTheSelectedFileAgainOpensItAgain)
{
    auto form = makeForm("pics");
    QListWidget* list = form->files();
    const QRect entry = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    form->setReport(QString());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_TRUE(form->report().startsWith(QStringLiteral("BMP формат")));
}

TEST_F(BrowseTest, ArrowKeysOpenEachFileInTurn)
{
    auto form = makeForm("pics");
    auto* combo = form->control<QComboBox>("ComboPattern");
    emit combo->activated(2);
    QListWidget* list = form->files();
    list->setFocus();
    list->setCurrentRow(0);
    EXPECT_EQ(form->store().FilePath, rootPath() + "pics/a.bmp");
    const char* expected[] = {"B.BMP", "c.tga"};
    for (const char* name : expected) {
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(form->selectedFileName(), QLatin1String(name));
        EXPECT_EQ(form->store().FilePath, rootPath() + "pics/" + name);
    }
    EXPECT_EQ(form->store().FileSignature, QStringLiteral("TG"));
    EXPECT_TRUE(form->report().contains(QStringLiteral("Изображение в градациях серого.")));
}

TEST_F(BrowseTest, ChoosingAFolderShowsItsFilesAndPath)
{
    auto form = makeForm();
    write("pics/sub/inner.bmp", bmp24(1, 1));
    auto* folders = form->control<QListWidget>("Dir1");
    QList<QListWidgetItem*> pics = folders->findItems(QStringLiteral("pics"), Qt::MatchEndsWith);
    ASSERT_EQ(pics.size(), 1);
    emit folders->itemActivated(pics.first());
    EXPECT_EQ(form->fileListPath(), rootPath() + "pics");
    EXPECT_EQ(form->control<QLineEdit>("Text5")->text(), QDir::toNativeSeparators(rootPath() + "pics"));
    EXPECT_EQ(form->fileEntries(), (QStringList{"a.bmp", "B.BMP"}));
    QList<QListWidgetItem*> sub = folders->findItems(QStringLiteral("sub"), Qt::MatchEndsWith);
    ASSERT_EQ(sub.size(), 1);
    emit folders->itemActivated(sub.first());
    EXPECT_EQ(form->fileEntries(), QStringList{"inner.bmp"});
    EXPECT_TRUE(form->boxes.isEmpty());
}

TEST_F(BrowseTest, FolderThatVanishedReportsAnErrorAndReturnsToTheRoot)
{
    auto form = makeForm("pics");
    auto* folders = form->control<QListWidget>("Dir1");
    QList<QListWidgetItem*> sub = folders->findItems(QStringLiteral("sub"), Qt::MatchEndsWith);
    ASSERT_EQ(sub.size(), 1);
    QDir(rootPath() + "pics/sub").removeRecursively();
    emit folders->itemActivated(sub.first());
    ASSERT_EQ(form->boxes.size(), 1);
    EXPECT_EQ(form->boxes[0].title, QStringLiteral("Ошибка"));
    EXPECT_TRUE(form->boxes[0].text.startsWith(QStringLiteral("Ошибка 76 ")));
    EXPECT_EQ(form->fileListPath() + "/", rootPath());
}

TEST_F(BrowseTest, UnusableDriveFallsBackToTheFirstDrive)
{
    const QString gone = rootPath() + "no-such-volume/";
    auto form = makeForm("pics", {{QStringLiteral("gone"), gone}});
    auto* drives = form->control<QComboBox>("Drive1");
    ASSERT_EQ(drives->currentIndex(), 0);
    drives->setCurrentIndex(1);
    ASSERT_EQ(form->boxes.size(), 1);
    EXPECT_EQ(form->boxes[0].title, QStringLiteral("Ошибка"));
    EXPECT_TRUE(form->boxes[0].text.startsWith(QStringLiteral("Ошибка ")));
    EXPECT_EQ(drives->currentIndex(), 0);
    EXPECT_TRUE(form->fileListPath().startsWith(rootPath().chopped(1)));
}

TEST_F(BrowseTest, DriveChangeReturnsToTheDrivesLastFolder)
{
    const QString second = mkdir("second/");
    auto form = makeForm("pics", {{QStringLiteral("second"), second}});
    auto* drives = form->control<QComboBox>("Drive1");
    drives->setCurrentIndex(1);
    EXPECT_EQ(form->fileListPath() + "/", second);
    drives->setCurrentIndex(0);
    EXPECT_EQ(form->fileListPath(), rootPath() + "pics");
    EXPECT_TRUE(form->boxes.isEmpty());
}

TEST_F(BrowseTest, StopButtonOnlyRaisesTheRequest)
{
    auto form = makeForm("pics");
    auto* stop = form->control<QAbstractButton>("Image13");
    EXPECT_TRUE(stop->isHidden()); // shown only while cells are coloured
    stop->click();
    EXPECT_TRUE(form->stopRequested());
}

TEST_F(BrowseTest, HelpButtonShowsTheHelpWindow)
{
    auto form = makeForm("pics");
    auto* help = form->control<QAbstractButton>("Image3");
    QTest::mouseClick(help, Qt::LeftButton);
    EXPECT_EQ(form->helpShown, 1);
}

// ---- path box -------------------------------------------------------------

struct PathCase {
    const char* name;
    const char* typed;       ///< %R stands for the scratch root without its final '/'
    const char* expectedDir; ///< relative to the root; nullptr: the folder does not change
    bool refused;            ///< the "Невозможно открыть путь" box
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class PathBoxTest : public UiTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PathBoxTest, EnterFollowsThePathRules)
{
    const PathCase& c = GetParam();
    mkdir("pics/sub");
    mkdir("top");
    auto form = makeForm("pics");
    auto* box = form->control<QLineEdit>("Text5");
    const QString before = form->fileListPath();
    box->setText(QString::fromUtf8(c.typed).replace(QLatin1String("%R"), rootPath().chopped(1)));
    const QString typed = box->text();
    QTest::keyClick(box, Qt::Key_Return);

    if (c.expectedDir)
        EXPECT_EQ(form->fileListPath(), rootPath() + c.expectedDir);
    else
        EXPECT_EQ(form->fileListPath(), before);
    ASSERT_EQ(form->boxes.size(), c.refused ? 1 : 0);
    if (c.refused) {
        EXPECT_EQ(form->boxes[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(form->boxes[0].title, QStringLiteral("Невозможно открыть путь"));
        EXPECT_EQ(form->boxes[0].text, QStringLiteral("Файловый путь не доступен или не существует"));
        EXPECT_EQ(box->text(), typed); // the box keeps what was typed
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PathBoxTest,
    ::testing::Values(PathCase{"UnchangedText", "%R/pics", nullptr, false},
                      PathCase{"BareNameIsTakenFromTheRoot", "top", "top", false},
                      PathCase{"BareNameIsNotASubfolderOfTheCurrent", "sub", nullptr, true},
                      PathCase{"BackslashStartsAtTheRoot", "\\top", "top", false},
                      PathCase{"SlashStartsAtTheRoot", "/pics/sub", "pics/sub", false},
                      PathCase{"TrailingBlanksIgnored", "top   ", "top", false},
                      PathCase{"LeadingBlankStaysPartOfTheName", " top", nullptr, true},
                      PathCase{"FolderThatDoesNotExist", "nowhere", nullptr, true},
                      PathCase{"DigitBeforeColonIsIgnored", "1:\\top", nullptr, false}
#ifndef Q_OS_WIN
                      ,
                      PathCase{"DriveLetterWithoutDrives", "q:\\top", nullptr, true}
#endif
                      ),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST_F(UiTest, UnchangedPathDoesNotEvenRefreshTheList)
{
    mkdir("pics");
    auto form = makeForm("pics");
    write("pics/late.bmp", bmp24(1, 1));
    QTest::keyClick(form->control<QLineEdit>("Text5"), Qt::Key_Return);
    EXPECT_TRUE(form->fileEntries().isEmpty());
}

} // namespace
} // namespace lumiset::test
