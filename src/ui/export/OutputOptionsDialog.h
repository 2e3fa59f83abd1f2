#pragma once

#include "output/OutputOptions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace lumiset {

/// \brief The output options of the export window: how the values are laid
/// out, the character set of CSV files and the workbook's summary sheet; and
/// the language of the program, which applies at once.
///
/// It only shows and collects the choices; the export window applies and
/// remembers them.
class OutputOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OutputOptionsDialog(const OutputOptions& options, QWidget* parent = nullptr);

    /// The choices the controls show.
    OutputOptions options() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QGroupBox* layoutGroup_ = nullptr;
    QGroupBox* encodingGroup_ = nullptr;
    QGroupBox* workbookGroup_ = nullptr;
    QLabel* longNote_ = nullptr;
    QLabel* utf8Note_ = nullptr;
    QLabel* summaryNote_ = nullptr;
    QLabel* languageCaption_ = nullptr;
    QComboBox* languageBox_ = nullptr;
    QRadioButton* tableLayout_ = nullptr;
    QRadioButton* longLayout_ = nullptr;
    QRadioButton* windows1251_ = nullptr;
    QRadioButton* utf8_ = nullptr;
    QCheckBox* summarySheet_ = nullptr;
};

/// The output options chosen in an earlier run, the defaults where none were
/// (or where the settings file holds a value this version does not know).
OutputOptions loadOutputOptions();
/// Keeps \a options for the next runs, in the user's settings of the program.
void saveOutputOptions(const OutputOptions& options);

} // namespace lumiset
