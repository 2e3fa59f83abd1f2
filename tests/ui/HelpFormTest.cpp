#include "UiFixture.h"

#include "common/Artwork.h"
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

TEST(HelpFormTest, PageButtonSwitchesBetweenSummaryAndTextAndTheCloseButtonsClose)
{
    RecordingHelp help;
    help.show();
    auto* page = help.findChild<PictureButton*>(QStringLiteral("Image14"));
    auto* text = help.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    auto* picture = help.findChild<QWidget*>(QStringLiteral("Image1"));
    const QString before = text->toPlainText();
    for (bool toText : {true, false, true}) {
        SCOPED_TRACE(toText);
        text->setFocus();
        QTest::mouseClick(page, Qt::LeftButton);
        QCoreApplication::processEvents(); // the switch's posted keystroke arrives
        EXPECT_EQ(help.showsHelpText(), toText);
        EXPECT_EQ(text->isHidden(), !toText);
        EXPECT_EQ(picture->isHidden(), toText);
        EXPECT_EQ(page->picture(), toText ? &art::backButton : &art::moreButton);
        EXPECT_EQ(text->toPlainText(), before); // and types nothing into the text
    }
    QTest::mouseClick(help.findChild<QAbstractButton*>(QStringLiteral("Image8")), Qt::LeftButton);
    EXPECT_FALSE(help.isVisible());
    HelpExportForm exportHelp;
    exportHelp.show();
    QTest::mouseClick(exportHelp.findChild<QAbstractButton*>(QStringLiteral("Image1")), Qt::LeftButton);
    EXPECT_FALSE(exportHelp.isVisible());
}

TEST(HelpFormTest, LinkTurnsBrightUnderThePointerAndOpensTheManual)
{
    RecordingHelp help;
    help.show();
    auto* link = help.findChild<QLabel*>(QStringLiteral("Label7"));
    auto colour = [&] { return link->palette().color(QPalette::WindowText); };
    auto move = [](QWidget* over, QPointF at) {
        QMouseEvent event(QEvent::MouseMove, at, over->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(over, &event);
    };
    EXPECT_EQ(colour(), art::colour::link);
    move(link, QPointF(5, 5));
    EXPECT_EQ(colour(), art::colour::linkHover);
    move(&help, QPointF(300, 20));
    EXPECT_EQ(colour(), art::colour::link);

    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(help.links.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(help.links[0].toLocalFile())) << help.links[0].toString().toStdString();
    EXPECT_TRUE(help.isVisible());
}

} // namespace
} // namespace lumiset::test
