#include "OpenWindowView.h"

namespace lumiset {

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

} // namespace lumiset
