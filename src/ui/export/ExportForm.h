#pragma once

#include "common/Artwork.h"
#include "common/BusyCursor.h"
#include "output/CsvExport.h"
#include "output/ExportState.h"
#include "output/SelectionMath.h"

#include <QDialog>

#include <optional>
#include <utility>

class QCheckBox;
class QTimer;

namespace lumiset {

class ImagePanel;
class LineControl;
class MeasurePanel;
class OutputOptionsDialog;
class PictureButton;
class PixelReadout;
class ReadingProgress;
class RegionControls;
class ZoomPanel;

/// \brief The modal export window: the picture with its selection frame, the
/// region magnified, the region's bounds, the measure and the commands.
///
/// Each of those is a part of its own; the window builds them, wires them to
/// one another and to the workspace, and runs the start-up and the commands.
/// One object lives for the run: each showing runs the start-up again, while
/// the zoom and the reading progress carry over, and the pixels are read only
/// once per opened file.
class ExportForm : public QDialog {
    Q_OBJECT
public:
    explicit ExportForm(Workspace& workspace, QWidget* parent = nullptr);
    ~ExportForm() override;

    /// Runs the start-up and shows the window modally.
    int exec() override;
    /// Runs the start-up and shows the window without blocking (tests, screenshots).
    void showWindow();

    /// The export command ends here once the request is ready: the window closes
    /// with ExportCancelled false.
    void finishExport();
    /// The next showing starts with the region of the last one instead of the
    /// default, when it still lies inside the picture.
    void keepRegionAtNextShowing() { keepRegion_ = true; }

    /// Magnification of the zoomed view, in screen pixels per point; kept
    /// between showings. Takes effect at the next drawZoomedRegion().
    int zoom() const;
    void setZoom(int zoom);
    /// True while a mouse drag on the image view is selecting a region.
    bool dragging() const;

    /// One tick of the reading timer: reads the pixels the first time, then draws and stops.
    void startupTick();
    /// One tick of the pulse timer: the next colour of the selection frame's pulse.
    void pulseTick();

    /// Hands the picture to the image view and finishes the progress bar's second phase.
    void drawImage();
    /// Centres the image view in its viewport and sizes its scroll bars.
    void fitImage();
    /// Redraws the zoomed view of the region at the current zoom.
    void drawZoomedRegion();

    art::ZoomGlyph zoomPointer() const;
    Workspace& workspace() { return ws_; }

signals:
    /// The export button was clicked: the request is prepared from the region,
    /// the measure and the cell-colouring tick, then the window closes.
    void exportCommand();
    /// The CSV button was clicked: the region is saved as a table file; the window stays open.
    void csvCommand();
    /// A table file was written at \a path.
    void fileWritten(const QString& path);

protected:
    /// The input box of a weight; empty when cancelled. Tests replace it.
    virtual QString askWeight(const QString& title, const QString& prompt);
    /// Shows the export help modally; tests replace it.
    virtual void showHelp();
    /// Tells the user that the pixels could not be read; tests replace it.
    virtual void showReadError(const QString& title, const QString& text);
    /// The input box of the table file's name; empty when cancelled. Tests replace it.
    virtual QString askCsvName(const QString& title, const QString& prompt);
    /// Tells the user that the table file (or a too tall workbook) was not written; tests replace it.
    virtual void showCsvError(const QString& title, const QString& text);
    /// How long a table file is written before its progress box shows; tests shorten it.
    virtual int csvProgressDelay() const { return 1000; }
    /// Shows the output options modally and returns how it was closed; tests replace it.
    virtual int runOptionsDialog(OutputOptionsDialog& dialog);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    /// Sets every text of the window and its parts in the current language.
    void retranslate();
    void formLoad();
    void readPixels();
    void placeFrame();
    /// The region has changed: the zoomed view follows, unless a drag is under way.
    void zoomAfterChange();
    void showReadout(QPoint point, ReadoutView view);
    void measureChosen(int measure);
    /// Asks for the weight of component \a which (0 red, 1 green, 2 blue).
    void changeWeight(int which);
    void exportToTable();
    void saveCsv();
    /// The options button: the choices of its dialog take effect and are kept for the next runs.
    void chooseOutputOptions();
    /// The controls follow the layout of ws.output: a region too wide for it
    /// is cut, and cells are coloured only in the table layout.
    void followLayout();
    void placeGrip();

    Workspace& ws_;
    Selection& sel_;
    bool wedge_ = false;
    bool readFailed_ = false;
    bool keepRegion_ = false;
    /// The hourglass while the window works; the arrow with hourglass where it
    /// stays usable between short redraws.
    BusyCursor busy_;

    QTimer* readingTimer_ = nullptr;
    QTimer* pulseTimer_ = nullptr;
    ReadingProgress* progress_ = nullptr;
    MeasurePanel* measure_ = nullptr;
    RegionControls* region_ = nullptr;
    PixelReadout* readout_ = nullptr;
    ImagePanel* picture_ = nullptr;
    ZoomPanel* zoomPanel_ = nullptr;
    PictureButton* exportButton_ = nullptr;
    PictureButton* csvButton_ = nullptr;
    PictureButton* cancelButton_ = nullptr;
    PictureButton* helpButton_ = nullptr;
    PictureButton* optionsButton_ = nullptr;
    QCheckBox* colourCellsBox_ = nullptr; ///< colour the cells like their points
    LineControl* gripLines_[6] = {};
    /// The point the readout shows and the view it was pointed at in, if any.
    std::optional<std::pair<QPoint, ReadoutView>> lastPointed_;
};

} // namespace lumiset
