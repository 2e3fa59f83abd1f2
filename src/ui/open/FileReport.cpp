#include "FileReport.h"

#include "OpenLayout.h"
#include "PreviewBox.h"
#include "common/PictureButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace lumiset {

using namespace openlayout;

namespace {

constexpr int kReportWidth = kPreviewBandWidth; // the report box spans the preview band
constexpr int kCaptionTop = 228;                // the size caption, under the preview band
constexpr int kReportBottom = 407;

} // namespace

QString shownText(const QString& text)
{
    // Widgets want bare line feeds.
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

FileReport::FileReport(QWidget* window) : QObject(window)
{
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    driveCaption_ = new QLabel(window);
    // Also the notice of a compressed TGA: it ends where the lists end and
    // may use their whole width, clear of the buttons.
    named(driveCaption_, "Label2")->setGeometry(kMargin, 31, 329, 17);
    driveCaption_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    driveCaption_->setStyleSheet(QStringLiteral("color: #b83b3b;"));
    driveCaption_->hide();
    fileCaption_ = new QLabel(window);
    named(fileCaption_, "Label6")->setGeometry(kMargin, 317, 48, 22);
    fileNameBox_ = new QLineEdit(window);
    named(fileNameBox_, "Text4")->setGeometry(56, 317, 278, 22);
    fileNameBox_->setReadOnly(true);
    paletteSwatch_ = new PaletteSwatch(window);
    named(paletteSwatch_, "Picture1")->move(kMargin, 347);
    paletteSwatch_->hide();
    noticeLabel_ = new QLabel(window);
    named(noticeLabel_, "Label4")->setGeometry(kMargin, 347, 323, 60);
    noticeLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    noticeLabel_->setWordWrap(true); // a long line breaks between words; layOut() gives it the room
    noticeLabel_->setStyleSheet(QStringLiteral("color: #b83b3b; font-weight: bold;"));
    noticeLabel_->hide();

    pictureBox_ = new PreviewBox(PreviewBox::Fit::Stretch, window);
    named(pictureBox_, "Image11")->setGeometry(341, kPreviewBandTop, kPreviewBandWidth, kPreviewBandHeight);
    drawnPreview_ = new PreviewBox(PreviewBox::Fit::Actual, window);
    named(drawnPreview_, "Picture5")->hide();
    crossDown_ = new LineControl(window);
    named(crossDown_, "Line1");
    crossUp_ = new LineControl(window);
    named(crossUp_, "Line2");
    sizeCaption_ = new QLabel(window);
    // Size, scale and colour count of a reduced picture can need two lines;
    // the type never shrinks.
    const int captionHeight = 2 * window->fontMetrics().lineSpacing() + 4;
    named(sizeCaption_, "Label1")->setGeometry(341, kCaptionTop, kReportWidth, captionHeight);
    sizeCaption_->setWordWrap(true);
    sizeCaption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sizeCaption_->setIndent(3); // the first glyph clear of the box's edge at any scale
    reportBox_ = new QPlainTextEdit(window);
    const int reportTop = kCaptionTop + captionHeight + 2;
    named(reportBox_, "Text7")->setGeometry(framedBox(342, reportTop, kReportWidth, kReportBottom - reportTop));
    reportBox_->setReadOnly(true);
    showFileBox_ = new QCheckBox(window);
    named(showFileBox_, "Check1");
    showFileBox_->setChecked(true);
    retranslate();
}

void FileReport::retranslate()
{
    fileCaption_->setText(tr("Файл:"));
    reportBox_->setToolTip(tr("Информация о файле"));
    showFileBox_->setText(tr("Показывать файл"));
    showFileBox_->adjustSize();
    showFileBox_->move(341 + (kReportWidth - showFileBox_->width()) / 2, 416);
}

QWidget* FileReport::fileNameBox() const
{
    return fileNameBox_;
}
QWidget* FileReport::reportBox() const
{
    return reportBox_;
}
QWidget* FileReport::showFileBox() const
{
    return showFileBox_;
}

void FileReport::setReport(const QString& text)
{
    reportText_ = text;
    reportBox_->setPlainText(shownText(text));
}

void FileReport::setFileNameBox(const QString& name)
{
    fileNameBox_->setText(name);
}

QLabel* FileReport::labelWidget(OpenLabel label) const
{
    switch (label) {
    case OpenLabel::SizeCaption: return sizeCaption_;
    case OpenLabel::DriveCaption: return driveCaption_;
    case OpenLabel::Notice: break;
    }
    return noticeLabel_;
}

void FileReport::setLabelText(OpenLabel label, const QString& text)
{
    labelTexts_[int(label)] = text;
    labelWidget(label)->setText(shownText(text));
}

void FileReport::setLabelVisible(OpenLabel label, bool visible)
{
    labelWidget(label)->setVisible(visible);
}

// ---- the preview band ---------------------------------------------------------

void FileReport::setPictureBox(const QImage& picture, const QRectF& rect, bool bordered)
{
    pictureRect_ = rect;
    pictureBox_->setPicture(picture, bordered);
    placePictureBox();
}

void FileReport::placePictureBox()
{
    pictureBox_->setGeometry(wholePixels(pictureRect_).translated(reportBox_->x(), kPreviewBandTop));
    placeLines();
}

void FileReport::placeLines()
{
    // Two rules crossing the preview box from corner to corner.
    const int left = reportBox_->x();
    const int right = pictureBox_->x() + pictureBox_->width() - 1;
    const int top = kPreviewBandTop, bottom = kPreviewBandTop + kPreviewBandHeight - 1;
    crossDown_->setLine(QPoint(left, top), QPoint(right, bottom));
    crossUp_->setLine(QPoint(right, top), QPoint(left, bottom));
}

void FileReport::setPictureBoxVisible(bool visible)
{
    pictureBox_->setVisible(visible);
}

void FileReport::setDrawnPreview(const PointPreview& preview, QPoint corner)
{
    drawnPreview_->setGeometry(wholePixels(QRectF(QPointF(corner) + preview.offset, preview.box)));
    drawnPreview_->setPicture(preview.image, preview.bordered);
}

void FileReport::setDrawnPreviewVisible(bool visible)
{
    drawnPreview_->setVisible(visible);
}

void FileReport::setCrossVisible(bool visible)
{
    crossDown_->setVisible(visible);
    crossUp_->setVisible(visible);
    if (visible) {
        crossDown_->raise();
        crossUp_->raise();
    }
}

void FileReport::setSwatch(const Swatch& swatch)
{
    paletteSwatch_->setCells(swatch.cells);
}

void FileReport::setSwatchVisible(bool visible)
{
    paletteSwatch_->setVisible(visible);
}

bool FileReport::showFileTicked() const
{
    return showFileBox_->isChecked();
}

// ---- layout -------------------------------------------------------------------

int FileReport::swatchRight() const
{
    return paletteSwatch_->x() + paletteSwatch_->width();
}

int FileReport::band() const
{
    return reportBox_->x();
}

int FileReport::bandWidth() const
{
    return reportBox_->width();
}

void FileReport::layOut(int listArea, int windowHeight)
{
    driveCaption_->setGeometry(kMargin, driveCaption_->y(), listArea, driveCaption_->height());
    // The notice spans the lists' width and may run down to the window's bottom edge.
    noticeLabel_->setGeometry(kMargin, noticeLabel_->y(), listArea,
                              std::max(60, windowHeight - noticeLabel_->y() - kMargin));
    if (listArea - 51 > 3)
        fileNameBox_->resize(listArea - 51, fileNameBox_->height());
    sizeCaption_->move(listArea + 12, sizeCaption_->y());
    reportBox_->move(listArea + 12, reportBox_->y());
    const int band = reportBox_->x();
    pictureBox_->move(band + roundHalfEvenToInt((kPreviewBandWidth - pictureBox_->width()) / 2.0), pictureBox_->y());
    drawnPreview_->move(band + roundHalfEvenToInt((kPreviewBandWidth - drawnPreview_->width()) / 2.0),
                        drawnPreview_->y());
    showFileBox_->move(band + roundHalfEvenToInt(reportBox_->width() - showFileBox_->width()) / 2, showFileBox_->y());
    placeLines();
}

} // namespace lumiset
