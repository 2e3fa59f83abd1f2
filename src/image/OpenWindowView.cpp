#include "OpenWindowView.h"

#include "NumberText.h"
#include "Rounding.h"

#include <QCoreApplication>

namespace lumiset {

namespace {
struct SizeLabel {
    Q_DECLARE_TR_FUNCTIONS(SizeLabel)
};
} // namespace

void disableExport(OpenWindowView& view)
{
    view.setExportFrame(0);
    view.setExportEnabled(false);
    view.setSlideTimerActive(false);
}

void armExport(OpenWindowView& view)
{
    if (view.exportEnabled())
        return;
    view.setExportFrame(0);
    view.setSlideTimerActive(true);
    view.setExportEnabled(true);
}

void emptyPictureBox(OpenWindowView& view)
{
    view.setPictureBox(QImage(), QRectF(0, 0, kPreviewBandWidth, kPreviewBandHeight), true);
}

void showEmptyPreview(OpenWindowView& view)
{
    emptyPictureBox(view);
    view.setPictureBoxVisible(true);
    view.setCrossVisible(true);
}

void appendReport(OpenWindowView& view, const QString& line)
{
    view.setReport(view.report() + QStringLiteral("\r\n") + line);
}

void appendLabel(OpenWindowView& view, OpenLabel label, const QString& text)
{
    view.setLabelText(label, view.labelText(label) + text);
}

void setSizeCaption(OpenWindowView& view, qint64 width, qint64 height)
{
    view.setLabelText(OpenLabel::SizeCaption, integerText(width) + QStringLiteral(" x ") + integerText(height));
}

void showSwatch(OpenWindowView& view, const Swatch& swatch)
{
    view.setSwatch(swatch);
    view.setSwatchVisible(true);
}

void clearPicture(OpenWindowView& view, const QString& report)
{
    view.setReport(report);
    view.setLabelText(OpenLabel::SizeCaption, QString());
    view.setLabelVisible(OpenLabel::Notice, false);
    view.setDrawnPreviewVisible(false);
    view.setSwatchVisible(false);
    showEmptyPreview(view);
    disableExport(view);
}

void refusePicture(OpenWindowView& view, const QString& notice)
{
    view.setDrawnPreviewVisible(false);
    showEmptyPreview(view);
    disableExport(view);
    view.setLabelText(OpenLabel::Notice, notice);
    view.setLabelVisible(OpenLabel::Notice, true);
}

void showDrawnPreview(OpenWindowView& view, const std::function<PointPreview()>& draw)
{
    view.setBusyCursor(true);
    view.setDrawnPreview(draw());
    view.setBusyCursor(false);
    view.setDrawnPreviewVisible(true);
}

BandFit bandFit(int width, int height)
{
    const double w = width;
    const double h = height;
    if (w <= kPreviewBandWidth && h <= kPreviewBandHeight)
        return BandFit::Whole;
    return h / w > double(kPreviewBandHeight) / kPreviewBandWidth ? BandFit::ToHeight : BandFit::ToWidth;
}

QRectF picturePlacement(int width, int height)
{
    const double w = width;
    const double h = height;
    switch (bandFit(width, height)) {
    case BandFit::Whole: return QRectF((kPreviewBandWidth - w) / 2, (kPreviewBandHeight - h) / 2, w, h);
    case BandFit::ToHeight: {
        const double fitted = w / h * kPreviewBandHeight;
        return QRectF((kPreviewBandWidth - fitted) / 2, 0, fitted, kPreviewBandHeight);
    }
    case BandFit::ToWidth: break;
    }
    const double fitted = h / w * kPreviewBandWidth;
    return QRectF(0, (kPreviewBandHeight - fitted) / 2, kPreviewBandWidth, fitted);
}

void showDecodedPicture(OpenWindowView& view, const QImage& picture, int width, int height)
{
    const QRectF place = picturePlacement(width, height);
    const int shownHeight = roundHalfEvenToInt(place.height());
    // A picture too flat for one whole row of the band is reduced by the
    // unrounded height, not divided by a zero.
    const double shown = shownHeight > 0 ? double(shownHeight) : place.height();
    if (shownHeight < height)
        appendLabel(view, OpenLabel::SizeCaption,
                    QStringLiteral("   ")
                        + SizeLabel::tr("Уменьшено в %1 раза").arg(fixedText(double(height) / shown, 2)));
    else
        appendLabel(view, OpenLabel::SizeCaption, QStringLiteral("   ") + SizeLabel::tr("Масштаб 1:1"));

    view.setPictureBox(picture, place, false);
    view.setCrossVisible(false);
}

void showPictureBox(OpenWindowView& view, const QImage* picture, int width, int height)
{
    if (picture) {
        showDecodedPicture(view, *picture, width, height);
    } else {
        emptyPictureBox(view);
        view.setCrossVisible(true);
    }
    view.setDrawnPreviewVisible(false);
    view.setPictureBoxVisible(true);
}

void presentPicture(OpenWindowView& view, const PictureDescription& d)
{
    view.setReport(d.report.join(QStringLiteral("\r\n")));
    setSizeCaption(view, d.width, d.height);
    if (!d.notice.isEmpty()) {
        view.setSwatchVisible(false);
        refusePicture(view, d.notice);
        return;
    }
    showPictureBox(view, view.showFileTicked() && !d.picture.isNull() ? &d.picture : nullptr, d.width, d.height);
    if (d.swatch)
        showSwatch(view, *d.swatch);
    else
        view.setSwatchVisible(false);
    view.setLabelVisible(OpenLabel::Notice, false);
    armExport(view);
    appendLabel(view, OpenLabel::SizeCaption, d.colourCaption);
}

} // namespace lumiset
