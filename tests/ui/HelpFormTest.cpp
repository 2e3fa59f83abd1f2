#include "UiFixture.h"

#include "Version.h"
#include "common/Artwork.h"
#include "common/PictureButton.h"
#include "help/HelpOpenForm.h"

#include <QMouseEvent>
#include <QTest>

namespace lumiset::test {
namespace {

class RecordingHelp : public HelpOpenForm {
public:
    using HelpOpenForm::HelpOpenForm;
    void openLink(const QUrl& url) override { links.append(url); }
    QList<QUrl> links;
};

QStringList summaryNames() { return {"Image1", "Image2", "Image3", "Image5", "Label2", "Label3", "Label4"}; }

bool summaryShown(const QDialog& help)
{
    for (const QString& name : summaryNames()) {
        QWidget* w = help.findChild<QWidget*>(name);
        if (!w || w->isHidden())
            return false;
    }
    return help.findChild<QWidget*>(QStringLiteral("Text1"))->isHidden();
}

bool textShown(const QDialog& help)
{
    for (const QString& name : summaryNames())
        if (!help.findChild<QWidget*>(name)->isHidden())
            return false;
    return !help.findChild<QWidget*>(QStringLiteral("Text1"))->isHidden();
}

TEST(HelpOpenFormTest, OpensOnTheSummaryEveryTime)
{
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        RecordingHelp help;
        help.show();
        EXPECT_TRUE(summaryShown(help));
        help.findChild<QAbstractButton*>(QStringLiteral("Image14"))->click();
        EXPECT_TRUE(textShown(help));
        help.findChild<QAbstractButton*>(QStringLiteral("Image8"))->click();
        EXPECT_FALSE(help.isVisible());
    }
}

TEST(HelpOpenFormTest, PageSwitchGoesBothWaysAndKeepsTheCommonLines)
{
    RecordingHelp help;
    help.show();
    auto* page = help.findChild<PictureButton*>(QStringLiteral("Image14"));
    EXPECT_EQ(page->picture(), &art::moreButton);
    QTest::mouseClick(page, Qt::LeftButton);
    EXPECT_TRUE(textShown(help));
    EXPECT_EQ(page->picture(), &art::backButton);
    QTest::mouseClick(page, Qt::LeftButton);
    EXPECT_TRUE(summaryShown(help));
    EXPECT_EQ(page->picture(), &art::moreButton);
    for (const char* common : {"Label1", "lblVersion", "Label7", "Label8", "Image8", "Image14"})
        EXPECT_FALSE(help.findChild<QWidget*>(QLatin1String(common))->isHidden()) << common;
    auto* label1 = help.findChild<QLabel*>(QStringLiteral("Label1"));
    EXPECT_EQ(label1->text(), QStringLiteral("Программа выводит яркость точек изображения *.bmp в таблицу Excel "
                                             "или сохраняет в файл CSV."));
}

TEST(HelpOpenFormTest, PageSwitchTypesNothingIntoTheHelpText)
{
    RecordingHelp help;
    help.show();
    help.findChild<QAbstractButton*>(QStringLiteral("Image14"))->click();
    auto* text = help.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    const QString before = text->toPlainText();
    text->setFocus();
    help.findChild<QAbstractButton*>(QStringLiteral("Image14"))->click();
    QCoreApplication::processEvents(); // the posted keystroke arrives
    EXPECT_EQ(text->toPlainText(), before);
    EXPECT_TRUE(text->isReadOnly());
}

TEST(HelpOpenFormTest, VersionLineShowsTheBuildsThreeNumbers)
{
    RecordingHelp help;
    const QString expected = QStringLiteral("Версия ") + QString::number(kVersionMajor) + QLatin1Char('.')
        + QString::number(kVersionMinor) + QLatin1Char('.') + QString::number(kVersionPatch);
    EXPECT_EQ(help.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), expected);
}

TEST(HelpOpenFormTest, HelpTextHasItsContentsAndSections)
{
    const QString text = helpText();
    const QStringList inOrder{QStringLiteral("1 Основные сведения"), QStringLiteral("2 Минимальные системные требования"),
                              QStringLiteral("1 Основные сведения"), QStringLiteral("0,299"),
                              QStringLiteral("Заливка цветом фона ячеек..."), QStringLiteral("56 цветов"),
                              QStringLiteral("Файл: tyu2.bmp    Точек 211x23   ; 256 градаций серого"),
                              QStringLiteral("256 цветов"), QStringLiteral("2 Минимальные системные требования")};
    qsizetype from = 0;
    for (const QString& part : inOrder) {
        const qsizetype at = text.indexOf(part, from);
        EXPECT_GE(at, 0) << part.toStdString();
        if (at >= 0)
            from = at + part.size();
    }
}

TEST(HelpOpenFormTest, LinkTurnsBrightUnderThePointerAndOpensTheManual)
{
    RecordingHelp help;
    help.show();
    auto* link = help.findChild<QLabel*>(QStringLiteral("Label7"));
    auto colour = [&] { return link->palette().color(QPalette::WindowText); };
    EXPECT_EQ(colour(), QColor(0, 0, 128));
    QTest::mouseMove(link, QPoint(5, 5));
    QMouseEvent overLink(QEvent::MouseMove, QPointF(5, 5), link->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(link, &overLink);
    EXPECT_EQ(colour(), QColor(0, 0, 255));
    QMouseEvent overWindow(QEvent::MouseMove, QPointF(300, 20), help.mapToGlobal(QPointF(300, 20)), Qt::NoButton,
                           Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&help, &overWindow);
    EXPECT_EQ(colour(), QColor(0, 0, 128));

    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(help.links.size(), 1);
    EXPECT_TRUE(help.links[0].isLocalFile());
    EXPECT_TRUE(QFileInfo::exists(help.links[0].toLocalFile())) << help.links[0].toString().toStdString();
    EXPECT_TRUE(help.isVisible());
}

TEST(HelpExportFormTest, NineLabelsInTheirOrder)
{
    HelpExportForm help;
    const QString expected[] = {
        QStringLiteral("После загрузки файла можно сделать следующие настройки:"),
        QStringLiteral("1)  Выбрать область для вывода в таблицу на изображении"),
        QStringLiteral("(левой кнопкой мыши, а правая кнопка изменяет цвет прямоугольника выделения)"),
        QStringLiteral("2)  Задать, какие данные вывести:"),
        QStringLiteral(" а) Яркость красной, зелёной или синей составляющей"),
        QStringLiteral(" б) Яркость как среднее арифметическое"),
        QStringLiteral("в) Яркость как максимальное значение из красной зелёной и синей"),
        QStringLiteral("г) Или как"),
        QStringLiteral("3) В выделнной области левая кнопка мыши увеличивает, а правая уменьшает."),
    };
    for (int i = 0; i < 9; ++i) {
        auto* label = help.findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1));
        ASSERT_NE(label, nullptr) << i + 1;
        EXPECT_EQ(label->text(), expected[i]);
    }
}

TEST(HelpExportFormTest, CloseButtonPressesAndCloses)
{
    HelpExportForm help;
    help.show();
    auto* close = help.findChild<PictureButton*>(QStringLiteral("Image1"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->picture(), &art::closeButton);
    QTest::mousePress(close, Qt::LeftButton);
    EXPECT_TRUE(close->showsPressed());
    QTest::mouseRelease(close, Qt::LeftButton);
    EXPECT_FALSE(help.isVisible());
}

} // namespace
} // namespace lumiset::test
