#pragma once

#include "image/OpenWindowView.h"

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace lumiset {

class LineControl;
class PaletteSwatch;
class PreviewBox;

/// \brief What the open window shows about the opened file: the file-name box,
/// the report, the size caption and notices, the preview band with its picture
/// box, drawn preview and crossing lines, the palette swatch and the tick box
/// that decides whether a picture is shown.
///
/// Its controls are the window's children, placed in the window's coordinates
/// beside the other parts.
class FileReport : public QObject {
    Q_OBJECT
public:
    explicit FileReport(QWidget* window);

    void setReport(const QString& text);
    QString report() const { return reportText_; }
    void setFileNameBox(const QString& name);
    void setLabelText(OpenLabel label, const QString& text);
    QString labelText(OpenLabel label) const { return labelTexts_[int(label)]; }
    void setLabelVisible(OpenLabel label, bool visible);
    void setPictureBox(const QImage& picture, const QRectF& rect, bool bordered);
    void setPictureBoxVisible(bool visible);
    /// The drawn preview, \a preview's offset taken from \a corner.
    void setDrawnPreview(const PointPreview& preview, QPoint corner);
    void setDrawnPreviewVisible(bool visible);
    void setCrossVisible(bool visible);
    void setSwatch(const Swatch& swatch);
    void setSwatchVisible(bool visible);
    bool showFileTicked() const;

    /// The right edge of the swatch, which the list area must hold.
    int swatchRight() const;
    /// Follows a list area of \a listArea pixels in a window \a windowHeight high.
    void layOut(int listArea, int windowHeight);
    /// The left edge of the preview band (that of the report box) and the band's width there.
    int band() const;
    int bandWidth() const;

    QWidget* fileNameBox() const;
    QWidget* reportBox() const;
    QWidget* showFileBox() const;

    /// Sets the window's own captions in the current language.
    void retranslate();

private:
    void placePictureBox();
    void placeLines();
    QLabel* labelWidget(OpenLabel label) const;

    QString reportText_;
    QString labelTexts_[3];
    QRectF pictureRect_{0, 0, kPreviewBandWidth, kPreviewBandHeight};

    QLabel* driveCaption_ = nullptr;
    QLabel* fileCaption_ = nullptr;
    QLineEdit* fileNameBox_ = nullptr;
    PaletteSwatch* paletteSwatch_ = nullptr;
    QLabel* noticeLabel_ = nullptr;
    PreviewBox* pictureBox_ = nullptr;
    PreviewBox* drawnPreview_ = nullptr;
    LineControl* crossDown_ = nullptr;
    LineControl* crossUp_ = nullptr;
    QLabel* sizeCaption_ = nullptr;
    QPlainTextEdit* reportBox_ = nullptr;
    QCheckBox* showFileBox_ = nullptr;
};

/// \a text as a widget shows it: the readers separate lines with CR LF.
QString shownText(const QString& text);

} // namespace lumiset
