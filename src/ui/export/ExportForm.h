#pragma once

#include "common/Artwork.h"
#include "output/ExportState.h"
#include "output/RegionEditor.h"
#include "output/SelectionMath.h"

#include <QDialog>
#include <QLabel>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace lumiset {

class ArtView;
class ImageView;
class LineControl;
class PictureButton;
class SelectionFrame;
class ZoomView;

/// \brief Tells whether a press and release make a click: the left button,
/// pressed on the widget and let go over it, as a push button counts one.
class LeftClick {
public:
    void press(const QMouseEvent* event);
    /// True when this release completes a click on a widget of \a size.
    bool release(const QMouseEvent* event, QSize size);

private:
    bool armed_ = false;
};

/// \brief A label that reports clicks (the formula of the luminance measure);
/// one given the focus reports Enter and the space bar too, and shows the focus mark.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    LeftClick click_;
};

/// \brief The reading progress bar, revealed from the left by widening its box.
class ReadingBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLength = 466;
    static constexpr int kHeight = 26;
    explicit ReadingBar(QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    LeftClick click_;
};

/// \brief The modal export window: the picture with its selection frame, the
/// region magnified, the region's bounds, the measure and the commands.
///
/// One object lives for the run: each showing runs the start-up again, while
/// `zoom_` and `progressPos_` carry over, and the pixels are read only once per
/// opened file.
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
    int zoom() const { return zoom_; }
    void setZoom(int zoom) { zoom_ = zoom; }
    /// True while a mouse drag on the image view is selecting a region.
    bool dragging() const { return !newSelectionPending_; }

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

    art::ZoomGlyph zoomPointer() const { return zoomPointer_; }
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

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    /// The window's scroll bars: the two views' own and the region's four.
    enum class Bar { ImageX, ImageY, LastColumn, FirstColumn, LastRow, FirstRow, ZoomX, ZoomY };

    void buildControls();
    void formLoad();
    void readPixels();
    void setProgressWidth(int width);

    void barChanged(Bar bar, bool dragging);
    void boundBarMoved(RegionField field);
    QScrollBar* boundBar(RegionField field) const;
    QLineEdit* regionBox(RegionField field) const;
    RegionEditor regionEditor();
    void applyRegionChange(const RegionChange& change);
    void zoomAfterChange();
    void placeFrame();
    void setBox(QLineEdit* box, const QString& text);
    void regionTyped(RegionField field);
    /// A box the user is done with shows the bound in force again.
    void settleBox(RegionField field);
    void settleBoxes();

    void selectOption(int n);
    void optionClicked(int n);
    void weightClicked(int which);
    void layoutFormula(int from);

    void picturePressed(int buttons, QPointF pos);
    void pictureMoved(int buttons, QPointF pos);
    void pictureReleased(int button, QPointF pos);
    void startDrag(QPoint anchor);
    void zoomPressed(int buttons, QPointF pos);
    void zoomMoved(int buttons, QPointF pos);
    void showReadout(int column, int row, ReadoutView view);
    void setZoomPointer(art::ZoomGlyph glyph);

    void exportToTable();
    void saveCsv();

    void applyResizeRule();
    void placeGrip();
    /// The pointer while the window works: the hourglass by default, the arrow
    /// with hourglass where the window stays usable between short redraws.
    void setBusy(bool busy, Qt::CursorShape shape = Qt::WaitCursor);
    /// A drag whose release never came (focus taken by a popup, pointer let go
    /// outside the window) ends, so the next drag starts a new region.
    void dragLost();

    Workspace& ws_;
    Selection& sel_;
    QLineEdit* typingBox_ = nullptr; ///< the box whose own input is being applied
    bool wedge_ = false;
    bool readFailed_ = false;
    bool keepRegion_ = false;
    art::ZoomGlyph zoomPointer_ = art::ZoomGlyph::Plain;
    int busyDepth_ = 0;

    // State that lives as long as the window object.
    qint32 zoom_ = 0;
    float progressPos_ = 0;
    float progressStep_ = 0;
    qint32 pointerColumn_ = 0;
    qint32 pointerRow_ = 0;
    qint32 anchorColumn_ = 0;
    qint32 anchorRow_ = 0;
    bool newSelectionPending_ = true;
    bool pulseRising_ = true;
    int pulseLevel_ = 70;

    QTimer* readingTimer_ = nullptr;
    QTimer* pulseTimer_ = nullptr;
    ReadingBar* progressBar_ = nullptr;
    ArtView* progressFrame_ = nullptr;
    QWidget* imageViewport_ = nullptr;
    ImageView* imageView_ = nullptr;
    SelectionFrame* selectionFrame_ = nullptr;
    QWidget* zoomViewport_ = nullptr;
    ZoomView* zoomView_ = nullptr;
    QScrollBar* imageHScroll_ = nullptr;
    QScrollBar* imageVScroll_ = nullptr;
    QScrollBar* lastColumnBar_ = nullptr;
    QScrollBar* firstColumnBar_ = nullptr;
    QScrollBar* lastRowBar_ = nullptr;
    QScrollBar* firstRowBar_ = nullptr;
    QScrollBar* zoomHScroll_ = nullptr;
    QScrollBar* zoomVScroll_ = nullptr;
    QLineEdit* firstRowBox_ = nullptr;
    QLineEdit* lastRowBox_ = nullptr;
    QLineEdit* firstColumnBox_ = nullptr;
    QLineEdit* lastColumnBox_ = nullptr;
    QLineEdit* columnCountBox_ = nullptr;
    QLineEdit* rowCountBox_ = nullptr;
    QRadioButton* measureButtons_[7] = {}; ///< indexed by measure, 1 … 6
    ClickLabel* formulaCaption_ = nullptr;
    ClickLabel* redWeightLabel_ = nullptr;
    ClickLabel* greenCaption_ = nullptr;
    ClickLabel* greenWeightLabel_ = nullptr;
    ClickLabel* blueCaption_ = nullptr;
    ClickLabel* blueWeightLabel_ = nullptr;
    QLabel* readoutPanel_ = nullptr;
    QLabel* zoomCaption_ = nullptr;
    QLabel* readoutColumn_ = nullptr;
    QLabel* readoutRow_ = nullptr;
    QLabel* readoutRed_ = nullptr;
    QLabel* readoutGreen_ = nullptr;
    QLabel* readoutBlue_ = nullptr;
    QLabel* greyCaption_ = nullptr;
    QLabel* readoutBrightness_ = nullptr;
    QLabel* measureCaption_ = nullptr; ///< "ВЫВЕСТИ :"
    PictureButton* exportButton_ = nullptr;
    PictureButton* csvButton_ = nullptr;
    PictureButton* cancelButton_ = nullptr;
    PictureButton* helpButton_ = nullptr;
    QCheckBox* colourCellsBox_ = nullptr; ///< colour the cells like their points
    LineControl* upperConnector_ = nullptr;
    LineControl* lowerConnector_ = nullptr;
    LineControl* gripLines_[6] = {};
};

} // namespace lumiset
