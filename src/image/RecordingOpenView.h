#pragma once

#include "OpenWindowView.h"

#include <QList>

#include <array>

namespace lumiset {

/// \brief An open window without widgets: keeps the state that the readers leave
/// behind and every message box shown, in order. Used by the batch front end and
/// by the tests.
class RecordingOpenView : public OpenWindowView {
public:
    struct Message {
        MessageIcon icon;
        QString title;
        QString text;
    };
    struct Label {
        QString text;
        bool visible = false;
    };

    void setReport(const QString& text) override { reportText = text; }
    QString report() const override { return reportText; }
    void setFileNameBox(const QString& name) override { fileName = name; }

    void setLabelText(OpenLabel label, const QString& text) override { labels[int(label)].text = text; }
    QString labelText(OpenLabel label) const override { return labels[int(label)].text; }
    void setLabelVisible(OpenLabel label, bool visible) override { labels[int(label)].visible = visible; }

    void setPictureBox(const QImage& picture, const QRectF& rect, bool bordered) override
    {
        pictureBox = picture;
        pictureRect = rect;
        pictureBordered = bordered;
    }
    void setPictureBoxVisible(bool visible) override { pictureBoxVisible = visible; }
    void setDrawnPreview(const PointPreview& preview) override { drawn = preview; }
    void setDrawnPreviewVisible(bool visible) override { drawnVisible = visible; }
    void setCrossVisible(bool visible) override { crossVisible = visible; }
    void setSwatch(const Swatch& s) override { swatch = s; }
    void setSwatchVisible(bool visible) override { swatchVisible = visible; }

    bool exportEnabled() const override { return exportOn; }
    void setExportEnabled(bool enabled) override { exportOn = enabled; }
    void setExportFrame(int frame) override { exportFrame = frame; }
    void setSlideTimerActive(bool active) override { slideTimer = active; }

    bool showFileTicked() const override { return showFile; }
    void showMessage(MessageIcon icon, const QString& title, const QString& text) override
    {
        messages.append({icon, title, text});
    }
    void restoreOpenButton() override { ++openButtonRestored; }
    void setBusyCursor(bool busy) override
    {
        if (busy)
            ++busyCursorShown;
    }

    const Label& label(OpenLabel l) const { return labels[int(l)]; }
    /// The report split into its lines.
    QStringList reportLines() const;

    QString reportText;
    QString fileName;
    std::array<Label, 3> labels;
    QImage pictureBox;
    QRectF pictureRect;
    bool pictureBordered = false;
    bool pictureBoxVisible = false;
    PointPreview drawn;
    bool drawnVisible = false;
    bool crossVisible = false;
    Swatch swatch;
    bool swatchVisible = false;
    bool exportOn = false;
    int exportFrame = 0;
    bool slideTimer = false;
    bool showFile = true;
    QList<Message> messages;
    int openButtonRestored = 0;
    int busyCursorShown = 0;
};

} // namespace lumiset
