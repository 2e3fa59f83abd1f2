#pragma once

#include "common/Artwork.h"
#include "output/ExportState.h"
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

/// \brief A label that reports clicks (the formula of the luminance measure).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

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
/// `Zoom` and `ProgressPos` carry over, and the pixels are read only once per
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

    // Window fields that live as long as the window object.
    qint32 Zoom = 0;
    float ProgressPos = 0;
    float ProgressStep = 0;
    qint32 MouseColumn = 0;
    qint32 MouseRow = 0;
    qint32 AnchorColumn = 0;
    qint32 AnchorRow = 0;
    bool NewSelectionPending = true;
    bool FrameRising = true;
    int FrameLevel = 70;

    /// One tick of Timer1: reads the pixels the first time, then draws and stops.
    void timer1Tick();
    /// One tick of Timer2: the next colour of the selection frame's pulse.
    void timer2Tick();

    void ОтрисовкаИзображения();
    void НастройкаИзображения();
    void DrawSelectionZoom();

    art::ZoomGlyph zoomPointer() const { return zoomPointer_; }
    Workspace& workspace() { return ws_; }

signals:
    /// The export button was clicked: the request is prepared from the region,
    /// the measure and the cell-colouring tick, then the window closes.
    void exportCommand();
    /// The CSV button was clicked: the region is saved as a table file; the window stays open.
    void csvCommand();

protected:
    /// The input box of a weight; empty when cancelled. Tests replace it.
    virtual QString askWeight(const QString& title, const QString& prompt);
    /// Shows the export help modally; tests replace it.
    virtual void showHelp();
    /// Tells the user that the pixels could not be read; tests replace it.
    virtual void showReadError(const QString& title, const QString& text);
    /// The input box of the table file's name; empty when cancelled. Tests replace it.
    virtual QString askCsvName(const QString& title, const QString& prompt);
    /// Tells the user that the table file was not written; tests replace it.
    virtual void showCsvError(const QString& title, const QString& text);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    enum class Bar { H1, V1, H2, H3, V2, V3, H4, V4 };

    void buildControls();
    void formLoad();
    void readingTick();
    void setProgressWidth(int width);

    void barChanged(Bar bar, bool dragging);
    void lastColumnRule();
    void firstColumnRule();
    void lastRowRule();
    void firstRowRule();
    void zoomAfterChange();
    void placeFrame();
    void setBox(QLineEdit* box, const QString& text);
    void setBar(QScrollBar* bar, int value);
    void regionTyped(RegionBox box);

    void selectOption(int n);
    void optionClicked(int n);
    void weightClicked(int which);
    void layoutFormula(int from);

    void picturePressed(int buttons, QPointF pos);
    void pictureMoved(int buttons, QPointF pos);
    void pictureReleased(int button, QPointF pos);
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
    art::ZoomGlyph zoomPointer_ = art::ZoomGlyph::Plain;
    int busyDepth_ = 0;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    ReadingBar* Picture1 = nullptr;
    ArtView* Image6 = nullptr;
    QWidget* Picture2 = nullptr;
    ImageView* Picture3 = nullptr;
    SelectionFrame* Vydelenie = nullptr;
    QWidget* Picture4 = nullptr;
    ZoomView* Picture5 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll2 = nullptr;
    QScrollBar* HScroll3 = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QScrollBar* VScroll3 = nullptr;
    QScrollBar* HScroll4 = nullptr;
    QScrollBar* VScroll4 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QRadioButton* Option[7] = {};
    ClickLabel* Label17 = nullptr;
    ClickLabel* Label18 = nullptr;
    ClickLabel* Label19 = nullptr;
    ClickLabel* Label20 = nullptr;
    ClickLabel* Label21 = nullptr;
    ClickLabel* Label22 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label23 = nullptr; ///< "ВЫВЕСТИ :"
    PictureButton* Image1 = nullptr;
    PictureButton* Image15 = nullptr;
    PictureButton* Image2 = nullptr;
    PictureButton* Image3 = nullptr;
    QCheckBox* Check1 = nullptr; ///< colour the cells like their points
    LineControl* Line11 = nullptr;
    LineControl* Line12 = nullptr;
    LineControl* Grip[6] = {};
};

} // namespace lumiset
