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

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    ArtView* Image1 = nullptr;
    ArtView* Image2 = nullptr;
    ArtView* Image3 = nullptr;
    ArtView* Image5 = nullptr;
    LineControl* Line1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    PictureButton* Image14 = nullptr;
    PictureButton* Image8 = nullptr;
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
