#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPlainTextEdit;

namespace lumiset {

class ArtView;
class LineControl;
class PictureButton;

/// \brief Help and about window of the open window: an illustrated summary,
/// the detailed help text, the version line and the link to the user manual.
class HelpOpenForm : public QDialog {
    Q_OBJECT
public:
    explicit HelpOpenForm(QWidget* parent = nullptr);

    bool showsHelpText() const;
    /// Where the link leads: the manual installed with the program.
    static QUrl manualUrl();
    static QString versionText();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Opens \a url with the desktop's browser; tests replace it.
    virtual void openLink(const QUrl& url);

private:
    void switchPage();
    void setLinkColour(const QColor& colour);

    QLabel* headline_ = nullptr;
    QLabel* conversionCaption_ = nullptr;
    QLabel* sourceCaption_ = nullptr;
    QLabel* tableCaption_ = nullptr;
    ArtView* examplePicture_ = nullptr;
    ArtView* arrowPicture_ = nullptr;
    ArtView* tablePicture_ = nullptr;
    ArtView* badgePicture_ = nullptr;
    LineControl* separator_ = nullptr;
    QPlainTextEdit* helpTextBox_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* manualLink_ = nullptr;
    QLabel* siteCaption_ = nullptr;
    PictureButton* pageButton_ = nullptr;
    PictureButton* closeButton_ = nullptr;
};

/// \brief How to use the export window: nine numbered hints and a close button.
class HelpExportForm : public QDialog {
    Q_OBJECT
public:
    explicit HelpExportForm(QWidget* parent = nullptr);
};

/// The detailed help text of HelpOpenForm.
QString helpText();

} // namespace lumiset
