#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <array>
#include <optional>

namespace lumiset {

/// Labels of the open window that the readers write.
enum class OpenLabel {
    SizeCaption,  ///< size, scale and colour count (Label1)
    DriveCaption, ///< caption over the drive list, also used for a notice (Label2)
    Notice,       ///< notice for refused pictures (Label4)
};

enum class MessageIcon { None, Exclamation, Critical, Information };

/// The preview band: 265 × 161 pixels whose left edge is that of the report box and
/// whose top is 64. Rectangles of the picture box are given relative to its corner.
inline constexpr int kPreviewBandWidth = 265;
inline constexpr int kPreviewBandHeight = 161;
inline constexpr int kPreviewBandTop = 64;

/// The 8 × 32 palette swatch: cell n sits in row n / 32, column n % 32; an empty
/// cell is not drawn.
struct Swatch {
    std::array<std::optional<QRgb>, 256> cells{};
};

/// Where the point-by-point preview box is anchored (its corner differs by kind).
enum class PreviewAnchor {
    Bmp,            ///< 7 right of the folder list, 7 below the stop button
    TgaUnstretched, ///< 7 right of the folder list, 7 below the help button
    TgaStretched,   ///< 7 right of the folder list, 3 below the help button
};

/// A preview drawn point by point from the file.
struct PointPreview {
    QImage image;          ///< the drawing area; points the reader did not draw are transparent
    QSizeF box;            ///< size requested for the box (border included when bordered)
    QPointF offset;        ///< box position relative to the anchor corner
    PreviewAnchor anchor = PreviewAnchor::Bmp;
    bool bordered = false; ///< a one-pixel border around the drawing area
};

/// \brief What a reader needs from the open window.
///
/// The open window implements it with its controls; tests and the batch front end
/// use RecordingOpenView. Every method maps to one control effect.
class OpenWindowView {
public:
    virtual ~OpenWindowView() = default;

    // Report box (Text7). Lines are separated by CR LF.
    virtual void setReport(const QString& text) = 0;
    virtual QString report() const = 0;
    // File-name box (Text4)
    virtual void setFileNameBox(const QString& name) = 0;

    virtual void setLabelText(OpenLabel label, const QString& text) = 0;
    virtual QString labelText(OpenLabel label) const = 0;
    virtual void setLabelVisible(OpenLabel label, bool visible) = 0;

    /// Preview box (Image11): a picture (null = emptied) placed at \a rect in
    /// band coordinates, stretched to it, with or without a single border.
    virtual void setPictureBox(const QImage& picture, const QRectF& rect, bool bordered) = 0;
    virtual void setPictureBoxVisible(bool visible) = 0;

    /// Point-by-point preview (Picture5).
    virtual void setDrawnPreview(const PointPreview& preview) = 0;
    virtual void setDrawnPreviewVisible(bool visible) = 0;

    /// The two crossing lines over an empty preview box (Line1, Line2).
    virtual void setCrossVisible(bool visible) = 0;

    /// Palette swatch (Picture1).
    virtual void setSwatch(const Swatch& swatch) = 0;
    virtual void setSwatchVisible(bool visible) = 0;

    /// Export command (Picture3): enabled state, the frame shown (0..12), and
    /// the slide timer (Timer0).
    virtual bool exportEnabled() const = 0;
    virtual void setExportEnabled(bool enabled) = 0;
    virtual void setExportFrame(int frame) = 0;
    virtual void setSlideTimerActive(bool active) = 0;

    /// The "Показывать файл" tick box (Check1).
    virtual bool showFileTicked() const = 0;

    virtual void showMessage(MessageIcon icon, const QString& title, const QString& text) = 0;

    /// Gives the open button (Image1) its normal picture back.
    virtual void restoreOpenButton() = 0;
    /// Arrow-with-hourglass pointer while a preview is drawn.
    virtual void setBusyCursor(bool busy) = 0;
};

// Compound effects that several readers share.

/// Export command disabled, back at frame 0, slide timer stopped.
void disableExport(OpenWindowView& view);
/// When the export command is disabled: frame 0, timer started, enabled (it slides in).
void armExport(OpenWindowView& view);
/// Preview box emptied at the band's place with a border; visible only when \a show.
void emptyPictureBox(OpenWindowView& view);
/// The crossed empty preview: emptied box shown with both lines over it.
void showEmptyPreview(OpenWindowView& view);
/// Appends CR LF + \a line to the report.
void appendReport(OpenWindowView& view, const QString& line);
void appendLabel(OpenWindowView& view, OpenLabel label, const QString& text);

} // namespace lumiset
