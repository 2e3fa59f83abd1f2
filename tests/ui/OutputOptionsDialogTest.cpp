#include "export/OutputOptionsDialog.h"
#include "ExportFormFixture.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include <tuple>

namespace lumiset::test {
namespace {

/// The export window whose options dialog is answered by clicking the named
/// choices, then OK (or Cancel when \a cancel).
class OptionsForm : public TestExportForm {
public:
    using TestExportForm::TestExportForm;
    QStringList clicks;
    bool cancel = false;

protected:
    int runOptionsDialog(OutputOptionsDialog& dialog) override
    {
        for (const QString& name : std::as_const(clicks))
            dialog.findChild<QAbstractButton*>(name)->click();
        const auto button = cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok;
        dialog.findChild<QDialogButtonBox*>()->button(button)->click();
        return dialog.result();
    }
};

/// Every test starts, and leaves the next one, with the default options.
class OutputOptionsTest : public ExportFormTest {
protected:
    void SetUp() override { saveOutputOptions({}); }
    void TearDown() override { saveOutputOptions({}); }
};

std::tuple<TableLayout, CsvEncoding, bool> chosen(const Workspace& ws)
{
    return {ws.output.layout, ws.output.csvEncoding, ws.output.summarySheet};
}

// The choices reach the workspace, the window follows the layout (the width
// limit, the colour tick), and a new window starts with what was chosen last.
TEST_F(OutputOptionsTest, ChoicesTakeEffectAndAreRememberedByTheNextWindow)
{
    open(bmp24(16390, 2));
    auto* options = new OptionsForm(ws);
    form.reset(options);
    start();
    EXPECT_EQ(chosen(ws), std::tuple(TableLayout::Table, CsvEncoding::Windows1251, false)) << "nothing remembered yet";
    options->clicks = {"LongLayout", "Utf8", "SummarySheet"};
    options->cancel = true;
    QTest::keyClick(c("OutputOptions"), Qt::Key_Return);
    EXPECT_EQ(chosen(ws), std::tuple(TableLayout::Table, CsvEncoding::Windows1251, false)) << "cancelled";
    options->cancel = false;
    QTest::keyClick(c("OutputOptions"), Qt::Key_Space);
    EXPECT_EQ(chosen(ws), std::tuple(TableLayout::Long, CsvEncoding::Utf8, true));
    EXPECT_FALSE(c("Check1")->isEnabled()) << "the long layout colours no cells";

    c<QLineEdit>("Text4")->setText(QStringLiteral("16390"));
    EXPECT_EQ(text("Text5"), QStringLiteral(" 16390")) << "the long layout takes any width";
    options->clicks = {"TableLayout"};
    click("OutputOptions");
    EXPECT_EQ(text("Text4") + text("Text5"), QStringLiteral(" 16384 16384")) << "the table layout cuts it";
    EXPECT_TRUE(c("Check1")->isEnabled());

    options->clicks = {"LongLayout"};
    click("OutputOptions");
    Workspace next;
    TestExportForm nextWindow(next);
    nextWindow.showWindow();
    EXPECT_EQ(chosen(next), std::tuple(TableLayout::Long, CsvEncoding::Utf8, true));
}

// The workbook's sheet limit counts rows in the table layout and points in the long one.
TEST_F(OutputOptionsTest, TheLongLayoutRefusesMorePointsThanASheetHolds)
{
    open(bmp24(1025, 1024)); // 1 049 600 points
    OutputOptions longLayout;
    longLayout.layout = TableLayout::Long;
    saveOutputOptions(longLayout);
    form = std::make_unique<TestExportForm>(ws);
    form->keepRegionAtNextShowing();
    sel() = {1, 1025, 1, 1024};
    start();
    click("Image1");
    EXPECT_TRUE(ws.ExportCancelled);
    ASSERT_EQ(form->csvErrors.size(), 1);
    EXPECT_TRUE(form->csvErrors[0].startsWith(
        QStringLiteral("Вывод в таблицу|Выделено больше точек, чем вмещает лист таблицы.\r\nНа листе помещается "
                       "не больше 1048572 точек")));

    ws.output.layout = TableLayout::Table;
    click("Image1");
    EXPECT_FALSE(ws.ExportCancelled) << "1024 rows fit a sheet";
}

// With the focus on the zoomed view, + and Page Up zoom in, - and Page Down out,
// a step each as a click, and the caption shows the focus mark.
TEST_F(OutputOptionsTest, TheZoomedViewZoomsByKeys)
{
    open(bmp24(30, 30));
    start();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const QImage unfocused = c("Label9")->grab().toImage();
    c("Picture5")->setFocus(Qt::TabFocusReason);
    EXPECT_NE(c("Label9")->grab().toImage(), unfocused) << "the focus mark shows";
    QList<int> zooms;
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Equal, Qt::Key_PageUp, Qt::Key_Minus, Qt::Key_PageDown, Qt::Key_A}) {
        QTest::keyClick(c("Picture5"), key);
        zooms << form->zoom();
    }
    EXPECT_EQ(zooms, QList<int>({4, 5, 6, 5, 4, 4}));
    EXPECT_EQ(text("Label9"), QStringLiteral("Масштаб 400%")) << "the view is drawn again";
}

} // namespace
} // namespace lumiset::test
