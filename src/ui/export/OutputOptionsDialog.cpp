#include "OutputOptionsDialog.h"

#include "common/KeptSettings.h"
#include "output/WorksheetLimits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
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

/// A note under the choices of a group, its lines as wide as the longest
/// choice, its left edge on their texts.
QLabel* note(QBoxLayout* group)
{
    auto* label = new QLabel;
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

QRadioButton* choice(const char* name, QBoxLayout* group)
{
    auto* button = new QRadioButton;
    button->setObjectName(QLatin1String(name));
    group->addWidget(button);
    return button;
}

} // namespace

OutputOptionsDialog::OutputOptionsDialog(const OutputOptions& options, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OutputOptionsDialog"));

    layoutGroup_ = new QGroupBox(this);
    auto* layoutChoices = new QVBoxLayout(layoutGroup_);
    tableLayout_ = choice("TableLayout", layoutChoices);
    longLayout_ = choice("LongLayout", layoutChoices);
    longNote_ = note(layoutChoices);

    encodingGroup_ = new QGroupBox(this);
    auto* encodingChoices = new QVBoxLayout(encodingGroup_);
    windows1251_ = choice("Windows1251", encodingChoices);
    windows1251_->setText(QStringLiteral("Windows-1251"));
    utf8_ = choice("Utf8", encodingChoices);
    utf8Note_ = note(encodingChoices);

    workbookGroup_ = new QGroupBox(this);
    auto* workbookChoices = new QVBoxLayout(workbookGroup_);
    summarySheet_ = new QCheckBox;
    summarySheet_->setObjectName(QStringLiteral("SummarySheet"));
    workbookChoices->addWidget(summarySheet_);
    summaryNote_ = note(workbookChoices);

    // The language is not an output option: it applies at once, to every window,
    // and is kept whether the dialog is confirmed or not.
    languageCaption_ = new QLabel(this);
    languageBox_ = new QComboBox(this);
    languageBox_->setObjectName(QStringLiteral("Language"));
    languageBox_->addItem(QStringLiteral("Русский"), int(Language::Russian)); // each in its own language
    languageBox_->addItem(QStringLiteral("English"), int(Language::English));
    languageBox_->setCurrentIndex(languageBox_->findData(int(currentLanguage())));
    languageCaption_->setBuddy(languageBox_);
    connect(languageBox_, &QComboBox::activated, this, [this](int index) {
        const auto language = Language(languageBox_->itemData(index).toInt());
        if (language == currentLanguage())
            return;
        useLanguage(language, true);
        saveLanguage(language);
    });
    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(languageCaption_);
    languageRow->addWidget(languageBox_);
    languageRow->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    for (QWidget* part : std::initializer_list<QWidget*>{layoutGroup_, encodingGroup_, workbookGroup_})
        column->addWidget(part);
    column->addLayout(languageRow);
    column->addWidget(buttons);
    retranslate();

    (options.layout == TableLayout::Long ? longLayout_ : tableLayout_)->setChecked(true);
    (options.csvEncoding == CsvEncoding::Utf8 ? utf8_ : windows1251_)->setChecked(true);
    summarySheet_->setChecked(options.summarySheet);
}

void OutputOptionsDialog::retranslate()
{
    setWindowTitle(tr("Параметры вывода"));
    layoutGroup_->setTitle(tr("Расположение значений"));
    tableLayout_->setText(tr("Как на изображении: строка таблицы на строку точек"));
    longLayout_->setText(tr("Списком: строка таблицы на каждую точку (X, Y и значения)"));
    // 1 048 572, grouped as the reader of the text groups numbers
    const QLocale numbers(currentLanguage() == Language::English ? QLocale::English : QLocale::Russian);
    longNote_->setText(tr("Списком в файл CSV выводится область любой ширины, в таблицу — не больше %1 точек; "
                          "ячейки при этом цветом не заливаются.")
                           .arg(numbers.toString(kMaxLongLayoutPoints)));
    encodingGroup_->setTitle(tr("Кодировка файла CSV"));
    utf8_->setText(tr("UTF-8 с меткой BOM"));
    utf8Note_->setText(tr("Файл в UTF-8 с меткой BOM Excel и LibreOffice открывают без выбора кодировки."));
    workbookGroup_->setTitle(tr("Вывод в таблицу"));
    summarySheet_->setText(tr("Добавить лист «Сводка»"));
    summaryNote_->setText(
        tr("Статистика области, гистограмма и сведения об изображении — после листов со значениями."));
    languageCaption_->setText(tr("&Язык:"));
    fitNotes(this);
}

void OutputOptionsDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
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
    const std::unique_ptr<QSettings> settings = keptSettings();
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
    const std::unique_ptr<QSettings> settings = keptSettings();
    settings->setValue(kLayoutKey, options.layout == TableLayout::Long ? kLong : QStringLiteral("table"));
    settings->setValue(kEncodingKey, options.csvEncoding == CsvEncoding::Utf8 ? kUtf8 : QStringLiteral("windows-1251"));
    settings->setValue(kSummaryKey, options.summarySheet);
}

} // namespace lumiset
