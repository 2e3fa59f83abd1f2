#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <QStringList>

#include <array>
#include <functional>
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
    QImage image;   ///< the drawing area; points the reader did not draw are transparent
    QSizeF box;     ///< size requested for the box (border included when bordered)
    QPointF offset; ///< box position relative to the anchor corner
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

/// "W x H" in the size label; the scale and the colour count are appended later.
void setSizeCaption(OpenWindowView& view, qint64 width, qint64 height);
/// Palette swatch set and shown.
void showSwatch(OpenWindowView& view, const Swatch& swatch);
/// \brief A file no reader takes: nothing of an earlier picture stays on show
/// or ready for export. The report becomes \a report, the size caption, notice,
/// drawn preview and swatch go, the crossed empty preview shows, export disabled.
void clearPicture(OpenWindowView& view, const QString& report);
/// \brief A picture the program cannot take: the drawn preview hidden, the crossed
/// empty preview shown, export disabled, \a notice shown under the preview.
void refusePicture(OpenWindowView& view, const QString& notice);
/// Busy pointer while \a draw samples the file, then the drawn preview shown.
void showDrawnPreview(OpenWindowView& view, const std::function<PointPreview()>& draw);

/// How a picture meets the preview band.
enum class BandFit {
    Whole,    ///< it fits as it is
    ToHeight, ///< taller in shape than the band: reduced to the band's height
    ToWidth,  ///< otherwise reduced to the band's width
};
/// \brief How a \a width × \a height picture fits the 265 × 161 preview band.
BandFit bandFit(int width, int height);

/// \brief Where a decoded picture goes in the 265 × 161 preview band: centred when
/// it fits, otherwise reduced to fit with its proportions kept.
QRectF picturePlacement(int width, int height);
/// \brief A picture decoded by a general image reader in the preview box, the scale
/// ("Масштаб 1:1" or "Уменьшено в N раза") appended to the size label, no cross.
void showDecodedPicture(OpenWindowView& view, const QImage& picture, int width, int height);

/// \brief The preview box shown with \a picture as showDecodedPicture() places it,
/// or without one (not to be shown) emptied with the cross; the drawn preview hidden.
void showPictureBox(OpenWindowView& view, const QImage* picture, int width, int height);

/// \brief Everything the open window shows about a file whose pixels a general
/// image reader decodes. A reader of such a format fills it from its header and
/// hands it to presentPicture(); it never drives the window itself.
struct PictureDescription {
    QStringList report; ///< report lines, first to last
    int width = 0;
    int height = 0;
    QString colourCaption;        ///< appended to the size label after the scale, e.g. "    16 млн. цветов"
    std::optional<Swatch> swatch; ///< a palette to show beside the preview
    QString notice;               ///< non-empty: the picture is refused with this notice
    QImage picture;               ///< the decoded picture, when the file is shown
};

/// \brief Applies \a d to the window in the order the readers use: report, size
/// label, then either the refusal or the preview, swatch, notice hidden, export armed.
void presentPicture(OpenWindowView& view, const PictureDescription& d);

} // namespace lumiset
