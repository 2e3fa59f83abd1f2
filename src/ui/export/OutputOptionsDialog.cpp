#include "OutputOptionsDialog.h"

#include "output/WorksheetLimits.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace lumiset {

namespace {

// The settings keep words, not enum numbers, so a file stays readable and a
// reordered enum cannot change a user's choice.
const QString kLayoutKey = QStringLiteral("output/layout");
const QString kEncodingKey = QStringLiteral("output/csvEncoding");
const QString kSummaryKey = QStringLiteral("output/summarySheet");
const QString kLong = QStringLiteral("long");
const QString kUtf8 = QStringLiteral("utf-8");

/// The program's settings: an INI file in the user's settings folder on every
/// system (~/.config/lumiset/lumiset.conf, %APPDATA%\lumiset\lumiset.ini), so
/// that tests can move it with QSettings::setPath().
std::unique_ptr<QSettings> openSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QCoreApplication::organizationName(),
                                       QCoreApplication::applicationName());
}

/// A note under the choices of a group, its lines as wide as the longest
/// choice, its left edge on their texts.
QLabel* note(const QString& text, QBoxLayout* group)
{
    auto* label = new QLabel(text);
    label->setObjectName(QStringLiteral("Note"));
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    group->addWidget(label);
    return label;
}

/// Gives each note of \a dialog the height its wrapped lines take at the width
/// of the widest choice (a wrapping label cannot tell a fixed-size dialog).
void fitNotes(QDialog* dialog)
{
    const QStyle* style = dialog->style();
    const int indent = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
        + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    int widest = 0;
    for (const QAbstractButton* choice : dialog->findChildren<QAbstractButton*>())
        if (!qobject_cast<const QPushButton*>(choice))
            widest = std::max(widest, choice->sizeHint().width());
    for (QLabel* label : dialog->findChildren<QLabel*>(QStringLiteral("Note"))) {
        label->setIndent(indent);
        label->setFixedSize(widest, label->heightForWidth(widest));
    }
}

QRadioButton* choice(const char* name, const QString& text, QBoxLayout* group)
{
    auto* button = new QRadioButton(text);
    button->setObjectName(QLatin1String(name));
    group->addWidget(button);
    return button;
}

} // namespace

OutputOptionsDialog::OutputOptionsDialog(const OutputOptions& options, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OutputOptionsDialog"));
    setWindowTitle(QStringLiteral("Параметры вывода"));
    const QLocale russian(QLocale::Russian); // 1 048 572, grouped as the user reads numbers

    auto* layoutGroup = new QGroupBox(QStringLiteral("Расположение значений"), this);
    auto* layoutChoices = new QVBoxLayout(layoutGroup);
    tableLayout_ = choice("TableLayout", QStringLiteral("Как на изображении: строка таблицы на строку точек"),
                          layoutChoices);
    longLayout_ = choice("LongLayout", QStringLiteral("Списком: строка таблицы на каждую точку (X, Y и значения)"),
                         layoutChoices);
    note(QStringLiteral("Списком в файл CSV выводится область любой ширины, в таблицу — не больше %1 точек; "
                        "ячейки при этом цветом не заливаются.")
             .arg(russian.toString(kMaxLongLayoutPoints)),
         layoutChoices);

    auto* encodingGroup = new QGroupBox(QStringLiteral("Кодировка файла CSV"), this);
    auto* encodingChoices = new QVBoxLayout(encodingGroup);
    windows1251_ = choice("Windows1251", QStringLiteral("Windows-1251"), encodingChoices);
    utf8_ = choice("Utf8", QStringLiteral("UTF-8 с меткой BOM"), encodingChoices);
    note(QStringLiteral("Файл в UTF-8 с меткой BOM Excel и LibreOffice открывают без выбора кодировки."),
         encodingChoices);

    auto* workbookGroup = new QGroupBox(QStringLiteral("Вывод в таблицу"), this);
    auto* workbookChoices = new QVBoxLayout(workbookGroup);
    summarySheet_ = new QCheckBox(QStringLiteral("Добавить лист «Сводка»"));
    summarySheet_->setObjectName(QStringLiteral("SummarySheet"));
    workbookChoices->addWidget(summarySheet_);
    note(QStringLiteral("Статистика области, гистограмма и сведения об изображении — после листов со значениями."),
         workbookChoices);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    for (QWidget* part : std::initializer_list<QWidget*>{layoutGroup, encodingGroup, workbookGroup, buttons})
        column->addWidget(part);
    fitNotes(this);

    (options.layout == TableLayout::Long ? longLayout_ : tableLayout_)->setChecked(true);
    (options.csvEncoding == CsvEncoding::Utf8 ? utf8_ : windows1251_)->setChecked(true);
    summarySheet_->setChecked(options.summarySheet);
}

OutputOptions OutputOptionsDialog::options() const
{
    OutputOptions chosen;
    chosen.layout = longLayout_->isChecked() ? TableLayout::Long : TableLayout::Table;
    chosen.csvEncoding = utf8_->isChecked() ? CsvEncoding::Utf8 : CsvEncoding::Windows1251;
    chosen.summarySheet = summarySheet_->isChecked();
    return chosen;
}

OutputOptions loadOutputOptions()
{
    const std::unique_ptr<QSettings> settings = openSettings();
    OutputOptions options;
    if (settings->value(kLayoutKey).toString() == kLong)
        options.layout = TableLayout::Long;
    if (settings->value(kEncodingKey).toString() == kUtf8)
        options.csvEncoding = CsvEncoding::Utf8;
    options.summarySheet = settings->value(kSummaryKey, false).toBool();
    return options;
}

void saveOutputOptions(const OutputOptions& options)
{
    const std::unique_ptr<QSettings> settings = openSettings();
    settings->setValue(kLayoutKey, options.layout == TableLayout::Long ? kLong : QStringLiteral("table"));
    settings->setValue(kEncodingKey, options.csvEncoding == CsvEncoding::Utf8 ? kUtf8 : QStringLiteral("windows-1251"));
    settings->setValue(kSummaryKey, options.summarySheet);
}

} // namespace lumiset
