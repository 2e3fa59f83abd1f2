#include "ExportForm.h"

#include "ImageView.h"
#include "ZoomView.h"
#include "common/PictureButton.h"
#include "help/HelpOpenForm.h"
#include "image/NumberText.h"
#include "image/PixelLoader.h"
#include "image/Rounding.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/SpreadsheetExport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace lumiset {

namespace {

// The window's design, in pixels. Only the viewport's width follows a resize.
constexpr int kStartWidth = 652; // 9780 twips at 15 twips per pixel
constexpr int kStartHeight = 412;
constexpr QRect kViewport{392, 144, 233, 209};
constexpr QRect kZoomArea{0, 184, 153, 169};
constexpr QRect kRowPanel{192, 184, 161, 89}; // under the wedge's widest line, as wide
constexpr int kZoomLabelGap = 20;             // the zoom label's top above the zoomed frame
constexpr int kZoomLabelTopmost = 146;
constexpr int kBarThickness = 17;
constexpr int kCsvProgressSteps = 1000;
constexpr int kProgressLeft = 88;
constexpr int kProgressTop = 8;
constexpr int kReadingPhaseEnd = 350; // the bar's length when the pixels are read
constexpr int kMaxZoom = 20;
constexpr QPoint kFillTickAt{8, 384}; // under the views, where the long caption has the window's width
constexpr int kReadInterval = 200;
constexpr int kPulseInterval = 180;
// No widget may be taller than this; a region taller than it at a high zoom is cut.
constexpr qint64 kMaxCanvas = 16000000;

const QColor kViewportColour(255, 192, 128);
const QColor kZoomFrameColour(128, 128, 255);
const QColor kWedgeColour(255, 255, 255);

QColor windowColour()
{
    return QApplication::palette().color(QPalette::Base);
}

} // namespace

/// The colour a region box takes when its number is refused.
QColor rejectedBoxColour()
{
    return QToolTip::palette().color(QPalette::ToolTipBase);
}

void LeftClick::press(const QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        armed_ = true;
}

bool LeftClick::release(const QMouseEvent* event, QSize size)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const bool inside = QRect(QPoint(0, 0), size).contains(event->position().toPoint());
    const bool click = armed_ && inside;
    armed_ = false;
    return click;
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    click_.press(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (click_.release(event, size()))
        emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !event->isAutoRepeat())
        emit clicked();
    else
        QLabel::keyPressEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent* event)
{
    if (hasFocus()) {
        QPainter p(this);
        art::focusBackdrop(p, QRectF(rect()));
    }
    QLabel::paintEvent(event);
}

ReadingBar::ReadingBar(QWidget* parent) : QWidget(parent)
{
}

void ReadingBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    art::readingBar(p, QRectF(0, 0, kLength, kHeight));
}

void ReadingBar::mousePressEvent(QMouseEvent* event)
{
    click_.press(event);
}

void ReadingBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (click_.release(event, size()))
        emit clicked();
}

ExportForm::ExportForm(Workspace& workspace, QWidget* parent)
    : QDialog(parent), ws_(workspace), sel_(workspace.selection)
{
    setObjectName(QStringLiteral("ExportForm"));
    setWindowTitle(QStringLiteral("Вывод в таблицу"));
    setModal(true);
    buildControls();
    resize(kStartWidth, kStartHeight);
}

ExportForm::~ExportForm()
{
    while (busyDepth_ > 0)
        setBusy(false);
}

void ExportForm::buildControls()
{
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    auto label = [&](const char* name, const QString& text, QRect geometry) {
        auto* l = new QLabel(text, this);
        named(l, name)->setGeometry(geometry);
        return l;
    };

    exportButton_ = new PictureButton(art::tableButton, QSize(130, 26), this);
    named(exportButton_, "Image1")->move(88, 8);
    exportButton_->setToolTip(QStringLiteral("Непосредственно экспорт в таблицу"));
    csvButton_ = new PictureButton(art::csvButton, QSize(122, 26), this);
    named(csvButton_, "Image15")->move(224, 8);
    csvButton_->setToolTip(QStringLiteral("Сохранить выделенную область в файл CSV"));
    cancelButton_ = new PictureButton(art::cancelButton, QSize(98, 26), this);
    named(cancelButton_, "Image2")->move(352, 8);
    cancelButton_->setToolTip(QStringLiteral("Отменить и вернуться к открытию файлов"));
    helpButton_ = new PictureButton(art::helpButton, QSize(100, 26), this);
    named(helpButton_, "Image3")->move(454, 8);
    helpButton_->setToolTip(QStringLiteral("Справка о настройках в этом окне"));

    progressFrame_ = new ArtView(art::readingFrame, QSize(472, 32), this);
    named(progressFrame_, "Image6")->move(kProgressLeft - 3, kProgressTop - 3);
    progressBar_ = new ReadingBar(this);
    named(progressBar_, "Picture1")->setGeometry(kProgressLeft, kProgressTop, 1, ReadingBar::kHeight);

    // The measure group.
    measureCaption_ = label("Label23", QStringLiteral("ВЫВЕСТИ :"), {8, 40, 120, 16});
    QFont bold = font();
    bold.setBold(true);
    measureCaption_->setFont(bold);
    const struct {
        QString caption;
        QRect geometry;
    } options[6] = {
        {QStringLiteral("Красную составляющую"), {8, 58, 184, 18}},
        {QStringLiteral("Зелёную"), {194, 58, 84, 18}},
        {QStringLiteral("Синюю"), {280, 58, 70, 18}},
        {QStringLiteral("Среднее арифметическое значение"), {8, 78, 330, 18}},
        {QStringLiteral("Максимальное значение"), {8, 98, 330, 18}},
        {QString(), {8, 118, 20, 18}},
    };
    for (int n = 1; n <= 6; ++n) {
        measureButtons_[n] = new QRadioButton(options[n - 1].caption, this);
        measureButtons_[n]->setObjectName(QStringLiteral("Option%1").arg(n));
        measureButtons_[n]->setGeometry(options[n - 1].geometry);
        connect(measureButtons_[n], &QRadioButton::toggled, this, [this, n](bool on) {
            if (on)
                optionClicked(n);
        });
    }
    const QString formulaTip = QStringLiteral(
        "Красный·0,299 + Зелёный·0,587 + Синий·0,114 - вклады в яркость в практике для телевизионного сигнала");
    ClickLabel** formula[6] = {&formulaCaption_,   &redWeightLabel_, &greenCaption_,
                               &greenWeightLabel_, &blueCaption_,    &blueWeightLabel_};
    const QString texts[6] = {QStringLiteral("Яркость = Красн.·"), QStringLiteral("0,299"),
                              QStringLiteral(" + Зел.·"),          QStringLiteral("0,587"),
                              QStringLiteral(" + Син.·"),          QStringLiteral("0,114")};
    for (int i = 0; i < 6; ++i) {
        auto* l = new ClickLabel(texts[i], this);
        l->setObjectName(QStringLiteral("Label%1").arg(17 + i));
        l->setGeometry(28, 119, 10, 16);
        l->setCursor(Qt::PointingHandCursor);
        if (i % 2 == 0) {
            l->setToolTip(formulaTip);
            connect(l, &ClickLabel::clicked, this, [this] { selectOption(MeasureLuminance); });
        } else {
            QFont f = font();
            f.setUnderline(true); // the weights are edited by a click, or by Enter
            l->setFont(f);
            l->setFocusPolicy(Qt::StrongFocus);
            connect(l, &ClickLabel::clicked, this, [this, i] { weightClicked(i / 2); });
        }
        *formula[i] = l;
    }
    greyCaption_ = label("Label15", QStringLiteral("Яркость чёрно-белого изображения"), {8, 78, 330, 18});
    greyCaption_->hide();

    // Column bounds above their scroll bars, right edges on the bars' right edge.
    label("LabelFromColumn", QStringLiteral("Со столбца"), {392, 46, 76, 16});
    firstColumnBox_ = new QLineEdit(this);
    named(firstColumnBox_, "Text3")->setGeometry(470, 44, 50, 20);
    label("LabelToColumn", QStringLiteral("до"), {520, 46, 55, 16})->setAlignment(Qt::AlignCenter);
    lastColumnBox_ = new QLineEdit(this);
    named(lastColumnBox_, "Text4")->setGeometry(575, 44, 50, 20);
    label("LabelColumns", QStringLiteral("Будет выведено"), {392, 74, 176, 16});
    columnCountBox_ = new QLineEdit(this);
    named(columnCountBox_, "Text5")->setGeometry(575, 72, 50, 20);

    // Row bounds on a white panel below the wedge, which becomes its tapered
    // head reaching up to the row bars.
    auto* rowPanel = new QWidget(this);
    named(rowPanel, "RowPanel")->setGeometry(kRowPanel);
    rowPanel->setAutoFillBackground(true);
    QPalette white = rowPanel->palette();
    white.setColor(QPalette::Window, kWedgeColour);
    rowPanel->setPalette(white);
    label("LabelFromRow", QStringLiteral("Со строки"), {198, 192, 92, 16});
    firstRowBox_ = new QLineEdit(this);
    named(firstRowBox_, "Text1")->setGeometry(296, 190, 50, 20);
    label("LabelToRow", QStringLiteral("до"), {198, 218, 92, 16});
    lastRowBox_ = new QLineEdit(this);
    named(lastRowBox_, "Text2")->setGeometry(296, 216, 50, 20);
    const QString rowsCaption = QStringLiteral("Будет выведено");
    const bool oneLine = fontMetrics().horizontalAdvance(rowsCaption) <= 92;
    label("LabelRows", oneLine ? rowsCaption : QStringLiteral("Будет\nвыведено"), {198, 238, 92, 32})
        ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    rowCountBox_ = new QLineEdit(this);
    named(rowCountBox_, "Text6")->setGeometry(296, 244, 50, 20);
    for (QLineEdit* box : {firstRowBox_, lastRowBox_, firstColumnBox_, lastColumnBox_, columnCountBox_, rowCountBox_})
        box->setAlignment(Qt::AlignRight); // the blank Str puts before a number stays out of sight
    for (QLineEdit* counter : {columnCountBox_, rowCountBox_})
        counter->setReadOnly(true);
    const struct {
        QLineEdit* box;
        RegionField kind;
    } boxes[] = {{firstRowBox_, RegionField::FirstRow},
                 {lastRowBox_, RegionField::LastRow},
                 {firstColumnBox_, RegionField::FirstColumn},
                 {lastColumnBox_, RegionField::LastColumn}};
    for (const auto& b : boxes) {
        connect(b.box, &QLineEdit::textChanged, this, [this, kind = b.kind] { regionTyped(kind); });
        b.box->installEventFilter(this); // a box that is left shows the bound in force
    }

    colourCellsBox_ = new QCheckBox(
        QStringLiteral("Заливка цветом фона ячеек таблицы (Значительно замедляет вывод в таблицу)"), this);
    named(colourCellsBox_, "Check1")->move(kFillTickAt);
    colourCellsBox_->adjustSize();

    // The pixel readout on its panel; the connector lines lead to it from the zoomed view.
    readoutPanel_ = label("Label5", QString(), {192, 278, 154, 92});
    readoutPanel_->setFrameShape(QFrame::StyledPanel);
    readoutPanel_->setAutoFillBackground(true);
    readoutColumn_ = label("Label10", QStringLiteral("X:"), {200, 284, 68, 16});
    readoutRow_ = label("Label11", QStringLiteral("Y:"), {272, 284, 68, 16});
    readoutRed_ = label("Label12", QStringLiteral("Красный"), {200, 302, 140, 16});
    readoutGreen_ = label("Label13", QStringLiteral("Зелёный"), {200, 318, 140, 16});
    readoutBlue_ = label("Label14", QStringLiteral("Синий"), {200, 334, 140, 16});
    readoutBrightness_ = label("Label16", QStringLiteral("Яркость"), {200, 350, 140, 16});
    upperConnector_ = new LineControl(this);
    named(upperConnector_, "Line11");
    lowerConnector_ = new LineControl(this);
    named(lowerConnector_, "Line12");

    // The image view.
    imageViewport_ = new QWidget(this);
    named(imageViewport_, "Picture2")->setGeometry(kViewport);
    imageViewport_->setAutoFillBackground(true);
    QPalette viewport = imageViewport_->palette();
    viewport.setColor(QPalette::Window, kViewportColour);
    imageViewport_->setPalette(viewport);
    imageView_ = new ImageView(imageViewport_);
    named(imageView_, "Picture3");
    imageView_->setCursor(Qt::CrossCursor);
    imageView_->installEventFilter(this);
    // The picture holds the focus, so no number box shows a caret the user did not ask for.
    imageView_->setFocusPolicy(Qt::ClickFocus);
    selectionFrame_ = imageView_->frame();

    auto bar = [&](const char* name, Qt::Orientation o, QRect geometry, int single, int page) {
        auto* b = new QScrollBar(o, this);
        named(b, name)->setGeometry(geometry);
        b->setSingleStep(single);
        b->setPageStep(page);
        return b;
    };
    imageHScroll_ = bar("HScroll1", Qt::Horizontal, {392, 352, 233, kBarThickness}, 1, 1);
    imageVScroll_ = bar("VScroll1", Qt::Vertical, {624, 144, kBarThickness, 209}, 1, 1);
    firstColumnBar_ = bar("HScroll3", Qt::Horizontal, {392, 104, 233, kBarThickness}, 1, 10);
    lastColumnBar_ = bar("HScroll2", Qt::Horizontal, {392, 120, 233, kBarThickness}, 1, 10);
    firstRowBar_ = bar("VScroll3", Qt::Vertical, {352, 144, kBarThickness, 209}, 1, 10);
    lastRowBar_ = bar("VScroll2", Qt::Vertical, {368, 144, kBarThickness, 209}, 1, 10);
    zoomHScroll_ = bar("HScroll4", Qt::Horizontal, {0, 352, 153, kBarThickness}, 1, 1);
    zoomVScroll_ = bar("VScroll4", Qt::Vertical, {152, 184, kBarThickness, 169}, 1, 1);
    firstColumnBar_->setToolTip(QStringLiteral("Первый столбец"));
    lastColumnBar_->setToolTip(QStringLiteral("Последний столбец"));
    firstRowBar_->setToolTip(QStringLiteral("Первая строка"));
    lastRowBar_->setToolTip(QStringLiteral("Последняя строка"));
    const struct {
        QScrollBar* bar;
        Bar id;
    } bars[] = {{imageHScroll_, Bar::ImageX},        {imageVScroll_, Bar::ImageY}, {lastColumnBar_, Bar::LastColumn},
                {firstColumnBar_, Bar::FirstColumn}, {lastRowBar_, Bar::LastRow},  {firstRowBar_, Bar::FirstRow},
                {zoomHScroll_, Bar::ZoomX},          {zoomVScroll_, Bar::ZoomY}};
    for (const auto& b : bars) {
        // A value change while the thumb is held is a scroll; any other (click,
        // key, release, code) is a change.
        QScrollBar* sb = b.bar;
        connect(sb, &QScrollBar::valueChanged, this, [this, sb, id = b.id] { barChanged(id, sb->isSliderDown()); });
        connect(sb, &QScrollBar::sliderReleased, this, [this, id = b.id] { barChanged(id, false); });
    }

    // The zoomed view.
    zoomCaption_ = label("Label9", QStringLiteral("Масштаб"), {0, 164, 153, 18});
    zoomCaption_->setAlignment(Qt::AlignCenter);
    zoomViewport_ = new QWidget(this);
    named(zoomViewport_, "Picture4")->setGeometry(kZoomArea);
    zoomViewport_->setAutoFillBackground(true);
    QPalette zoomFrame = zoomViewport_->palette();
    zoomFrame.setColor(QPalette::Window, kZoomFrameColour);
    zoomViewport_->setPalette(zoomFrame);
    zoomView_ = new ZoomView(zoomViewport_);
    named(zoomView_, "Picture5");

    for (int i = 0; i < 6; ++i) {
        gripLines_[i] = new LineControl(this, art::colour::edge);
        gripLines_[i]->setObjectName(QStringLiteral("Line%1").arg(13 + i));
    }

    readingTimer_ = new QTimer(this);
    readingTimer_->setObjectName(QStringLiteral("Timer1"));
    readingTimer_->setInterval(kReadInterval);
    pulseTimer_ = new QTimer(this);
    pulseTimer_->setObjectName(QStringLiteral("Timer2"));
    pulseTimer_->setInterval(kPulseInterval);

    connect(readingTimer_, &QTimer::timeout, this, &ExportForm::startupTick);
    connect(pulseTimer_, &QTimer::timeout, this, &ExportForm::pulseTick);
    connect(imageView_, &ImageView::pressed, this, &ExportForm::picturePressed);
    connect(imageView_, &ImageView::moved, this, &ExportForm::pictureMoved);
    connect(imageView_, &ImageView::released, this, &ExportForm::pictureReleased);
    connect(zoomView_, &ZoomView::pressed, this, &ExportForm::zoomPressed);
    connect(zoomView_, &ZoomView::moved, this, &ExportForm::zoomMoved);
    connect(progressBar_, &ReadingBar::clicked, this, [this] {
        progressBar_->move(progressBar_->x(),
                           progressBar_->y() == kProgressTop ? progressBar_->y() + progressBar_->height()
                                                             : kProgressTop);
    });
    connect(exportButton_, &QAbstractButton::clicked, this, [this] { emit exportCommand(); });
    connect(csvButton_, &QAbstractButton::clicked, this, [this] { emit csvCommand(); });
    connect(this, &ExportForm::exportCommand, this, &ExportForm::exportToTable);
    connect(this, &ExportForm::csvCommand, this, &ExportForm::saveCsv);
    connect(cancelButton_, &QAbstractButton::clicked, this, [this] {
        ws_.ExportCancelled = true;
        reject();
    });
    connect(helpButton_, &QAbstractButton::clicked, this, [this] { showHelp(); });
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] { showHelp(); });

    // Tab follows the eye: the commands, the measure, the columns, the rows, the
    // tick; from the picture, which holds the focus at start, it comes to the commands.
    QWidget* const tabOrder[] = {exportButton_,      csvButton_,         cancelButton_,      helpButton_,
                                 measureButtons_[1], measureButtons_[2], measureButtons_[3], measureButtons_[4],
                                 measureButtons_[5], measureButtons_[6], redWeightLabel_,    greenWeightLabel_,
                                 blueWeightLabel_,   firstColumnBox_,    lastColumnBox_,     columnCountBox_,
                                 firstRowBox_,       lastRowBox_,        rowCountBox_,       colourCellsBox_,
                                 imageView_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

// ---- showing and start-up -----------------------------------------------------

int ExportForm::exec()
{
    formLoad();
    return QDialog::exec();
}

void ExportForm::showWindow()
{
    formLoad();
    show();
}

void ExportForm::finishExport()
{
    ws_.ExportCancelled = false;
    accept();
}

void ExportForm::exportToTable()
{
    settleBoxes(); // the file holds the region the boxes show
    setBusy(true);
    const RegionError refused = prepareExportRequest(ws_, colourCellsBox_->isChecked());
    setBusy(false);
    // A region the pixel tables cannot give prepares nothing; the window stays
    // open for another region or cancel.
    if (refused == RegionError::TallerThanSheet) {
        const UserMessage message = tallerThanSheetMessage();
        showCsvError(message.title, message.text);
    }
    if (refused != RegionError::None)
        return;
    finishExport();
}

void ExportForm::saveCsv()
{
    settleBoxes();
    const QString defaultPath = defaultCsvPath(ws_.image.FilePath);
    const QString answer = askCsvName(csvPromptTitle(), csvPromptText(defaultCsvName(defaultPath)));
    setBusy(true);
    // A long write shows a progress box after a second, with the time left and
    // a stop button; a stopped write leaves no file.
    QProgressDialog progress(QStringLiteral("Запись файла CSV…"), QStringLiteral("Остановить"), 0, kCsvProgressSteps,
                             this);
    progress.setObjectName(QStringLiteral("CsvProgress"));
    progress.setWindowTitle(csvPromptTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(csvProgressDelay()); // shorter writes show no box
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QElapsedTimer clock;
    clock.start();
    const CsvError error = lumiset::csvCommand(ws_, answer, QLocale(), [&](qint64 done, qint64 total) {
        progress.setValue(int(done * kCsvProgressSteps / qMax<qint64>(total, 1)));
        const qint64 secondsLeft = std::llround(double(clock.elapsed()) * double(total - done)
                                                / double(qMax<qint64>(done, 1)) / 1000.0);
        progress.setLabelText(QStringLiteral("Запись файла CSV…\nОсталось  ") + QString::number(secondsLeft)
                              + QStringLiteral(" с"));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    setBusy(false);
    if (error == CsvError::None)
        emit fileWritten(ws_.SelectedFileName);
    if (error == CsvError::None || error == CsvError::Stopped)
        return;
    const UserMessage message = csvErrorMessage(error, QDir::toNativeSeparators(ws_.SelectedFileName));
    showCsvError(message.title, message.text);
}

void ExportForm::formLoad()
{
    const ImageStore& img = ws_.image;
    const int W = img.ImageWidth, H = img.ImageHeight;

    // The controls come back as designed; the window's fields keep their values.
    resize(kStartWidth, height());
    readFailed_ = false;
    wedge_ = false;
    progressBar_->hide();
    progressBar_->setGeometry(kProgressLeft, kProgressTop, 1, ReadingBar::kHeight);
    imageViewport_->setGeometry(kViewport);
    imageView_->hide();
    imageView_->setStore(nullptr);
    zoomViewport_->hide();
    zoomCaption_->hide();
    zoomCaption_->setText(QStringLiteral("Масштаб"));
    for (QScrollBar* b : {imageHScroll_, imageVScroll_, zoomHScroll_, zoomVScroll_}) {
        const QSignalBlocker block(b);
        b->setRange(0, 0);
    }
    imageHScroll_->setGeometry(392, 352, 233, kBarThickness);
    imageVScroll_->setGeometry(624, 144, kBarThickness, 209);
    zoomHScroll_->hide();
    zoomVScroll_->hide();
    zoomHScroll_->setPageStep(1);
    zoomVScroll_->setPageStep(1);
    // The selection bars cover the whole picture from the start, so no bound
    // can leave it even when the pixels cannot be read.
    for (QScrollBar* b : {lastColumnBar_, firstColumnBar_, lastRowBar_, firstRowBar_}) {
        const QSignalBlocker block(b);
        const int size = (b == lastColumnBar_ || b == firstColumnBar_) ? W : H;
        b->setRange(1, std::max(1, size));
        b->setValue(1);
    }
    for (QLineEdit* box : {firstRowBox_, lastRowBox_, firstColumnBox_, lastColumnBox_, columnCountBox_, rowCountBox_}) {
        const QSignalBlocker block(box);
        box->clear();
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, windowColour());
        box->setPalette(pal);
    }
    for (int n = 1; n <= 6; ++n)
        measureButtons_[n]->show();
    for (QLabel* l :
         {formulaCaption_, redWeightLabel_, greenCaption_, greenWeightLabel_, blueCaption_, blueWeightLabel_})
        l->show();
    greyCaption_->hide();
    for (PictureButton* b : {exportButton_, csvButton_, cancelButton_, helpButton_}) {
        b->show();
        b->setEnabled(true);
    }
    colourCellsBox_->setChecked(false); // colouring is slow: each showing starts without it
    selectionFrame_->setMode(SelectionFrame::CopyPen);
    selectionFrame_->setColour(QColor(255, 0, 0));

    imageView_->move(0, 0);
    selectionFrame_->setGeometry(0, 0, 20, 20);
    imageView_->resize(std::max(1, W), std::max(1, H));
    if (img.singlePlane())
        selectOption(MeasureMean);
    else
        selectOption(MeasureRed); // true colour of any depth reads as its components
    progressFrame_->setVisible(img.ImageState == 1);
    newSelectionPending_ = true;
    if (!keepRegion_ || checkRegion(img, sel_) == RegionError::OutsideImage)
        sel_ = defaultSelection(W, H);
    keepRegion_ = false;
    RegionChange everything;
    everything.outcome = RegionChange::Outcome::Applied;
    everything.boxes.set();
    for (RegionField f :
         {RegionField::FirstRow, RegionField::LastRow, RegionField::FirstColumn, RegionField::LastColumn})
        everything.bars.set(std::size_t(f), boundBar(f)->value() != RegionEditor::value(f, sel_));
    // A bar that moves redraws the region, as its change rule would.
    const bool barsMoved = everything.bars.any();
    applyRegionChange(everything);
    if (barsMoved)
        zoomAfterChange();
    placeFrame();
    selectionFrame_->show();
    setZoomPointer(art::ZoomGlyph::Plain);
    placeGrip();
    ws_.ExportCancelled = true;
    pulseRising_ = true;
    pulseLevel_ = 70;
    redWeightLabel_->setText(fixedText(ws_.CoefRed, 3, Precision::Single));
    greenWeightLabel_->setText(fixedText(ws_.CoefGreen, 3, Precision::Single));
    blueWeightLabel_->setText(fixedText(ws_.CoefBlue, 3, Precision::Single));
    layoutFormula(0);
    for (QLabel* l : {readoutColumn_, readoutRow_, readoutRed_, readoutGreen_, readoutBlue_})
        l->setText(l->text().section(QLatin1Char(' '), 0, 0));
    readoutBrightness_->setText(QStringLiteral("Яркость"));

    readingTimer_->start();
    pulseTimer_->start();
}

// ---- the reading timer: reading, drawing, viewport ---------------------------------------

void ExportForm::startupTick()
{
    const bool firstTick = !wedge_;
    wedge_ = true;
    update(QRect(192, 144, 162, 40));
    ImageStore& img = ws_.image;
    if (img.ImageState == 1) {
        readPixels();
        if (readFailed_)
            return;
    } else if (img.ImageState > 1) {
        readingTimer_->stop();
        drawImage();
        fitImage();
    }
    imageView_->show();
    imageViewport_->show();
    if (firstTick)
        imageView_->setFocus(Qt::OtherFocusReason);
    ++img.ImageState;
}

void ExportForm::setProgressWidth(int width)
{
    progressBar_->resize(std::clamp(width, 1, ReadingBar::kLength), progressBar_->height());
    progressBar_->repaint();
}

void ExportForm::readPixels()
{
    ImageStore& img = ws_.image;
    setBusy(true);
    progressFrame_->show();
    progressFrame_->raise();
    progressBar_->show();
    progressBar_->raise();
    setProgressWidth(1);
    zoom_ = 3;
    imageView_->hide();
    imageViewport_->hide();
    progressPos_ = 0;
    progressStep_ = float(kReadingPhaseEnd) / float(std::max(1, img.ImageHeight));
    // Bottom-up files count one row less, so the bar ends a row short of 350.
    const bool bottomUp = img.isBmp() ? !img.RowsTopDown : img.isTga() && !img.TgaTopOrigin;
    const LoadResult result = loadPixels(img, [this, bottomUp](int rowsDone) {
        const int n = bottomUp ? rowsDone - 1 : rowsDone;
        if (n * progressStep_ - progressPos_ >= 2) {
            progressPos_ = n * progressStep_;
            setProgressWidth(roundHalfEvenToInt(progressPos_));
        }
    });
    if (result != LoadResult::Loaded) {
        // The loader has released the tables: nothing of an earlier file can
        // show as this one's pixels. With nothing to export, the window closes
        // once the user has read why.
        readingTimer_->stop();
        readFailed_ = true;
        progressFrame_->hide();
        progressBar_->hide();
        exportButton_->setEnabled(false);
        csvButton_->setEnabled(false);
        setBusy(false);
        const QString file = QDir::toNativeSeparators(img.FilePath);
        if (result == LoadResult::OutOfMemory)
            showReadError(QStringLiteral("Недостаточно памяти"),
                          QStringLiteral("Для изображения из файла\n%1\nне хватает памяти.\n"
                                         "Закройте другие программы и откройте файл снова.")
                              .arg(file));
        else
            showReadError(QStringLiteral("Ошибка чтения файла"),
                          QStringLiteral("Не удалось прочитать изображение из файла\n%1\n"
                                         "Файл недоступен или изменился после открытия. Откройте его снова.")
                              .arg(file));
        ws_.ExportCancelled = true;
        reject();
        return;
    }
    drawImage();
    fitImage();
    drawZoomedRegion();
    for (PictureButton* b : {exportButton_, csvButton_, cancelButton_, helpButton_})
        b->show();
    progressFrame_->hide();
    for (int i = 1; i <= 25; ++i) {
        progressBar_->resize(progressBar_->width(), ReadingBar::kHeight - i);
        progressBar_->repaint();
    }
    progressBar_->hide();
    progressBar_->resize(progressBar_->width(), ReadingBar::kHeight);
    setBusy(false);
}

void ExportForm::drawImage()
{
    const ImageStore& img = ws_.image;
    // The view paints whatever part of the picture is exposed straight from the
    // pixel planes, so "drawing" is taking the colour rule; the bar still
    // shows the second phase, from 350 to 466.
    imageView_->setStore(&img);
    if (img.pixelKind() == PixelKind::Unsupported)
        return;
    progressPos_ -= kReadingPhaseEnd - 1;
    progressStep_ = float(ReadingBar::kLength - kReadingPhaseEnd) / float(std::max(1, img.ImageHeight));
    const float end = img.ImageHeight * progressStep_;
    if (end - progressPos_ >= 2)
        progressPos_ = end;
    if (progressBar_->isVisible())
        setProgressWidth(kReadingPhaseEnd + roundHalfEvenToInt(progressPos_));
}

void ExportForm::fitImage()
{
    const int W = imageView_->width(), H = imageView_->height();
    QRect vp = imageViewport_->geometry();
    if (H < kViewport.height()) {
        vp.moveTop(roundHalfEvenToInt(kViewport.top() + (kViewport.height() - H) / 2.0));
        vp.setHeight(H + 2);
        imageVScroll_->hide();
    } else {
        vp.moveTop(kViewport.top());
        vp.setHeight(kViewport.height());
        imageVScroll_->setRange(0, H - kViewport.height() + 2);
        imageVScroll_->show();
    }
    if (W < kViewport.width()) {
        vp.moveLeft(roundHalfEvenToInt(kViewport.left() + (kViewport.width() - W) / 2.0));
        vp.setWidth(W + 2);
        imageHScroll_->hide();
    } else {
        vp.moveLeft(kViewport.left());
        vp.setWidth(kViewport.width());
        imageHScroll_->setRange(0, W - kViewport.width() + 2);
        imageHScroll_->setGeometry(vp.left(), vp.bottom() + 1, vp.width(), kBarThickness);
        imageHScroll_->show();
    }
    imageViewport_->setGeometry(vp);
    imageVScroll_->move(vp.right() + 1, imageVScroll_->y());
    lastColumnBar_->setMaximum(std::max(1, ws_.image.ImageWidth));
    firstColumnBar_->setMaximum(std::max(1, ws_.image.ImageWidth));
    lastRowBar_->setMaximum(std::max(1, ws_.image.ImageHeight));
    firstRowBar_->setMaximum(std::max(1, ws_.image.ImageHeight));
}

// ---- the pulse timer: the frame pulse ---------------------------------------------------

void ExportForm::pulseTick()
{
    FramePulse pulse{pulseLevel_, pulseRising_};
    const auto c = pulse.colour(ws_.FrameHue);
    selectionFrame_->setColour(QColor(c[0], c[1], c[2]));
    pulse.step();
    pulseLevel_ = pulse.level;
    pulseRising_ = pulse.rising;
}

// ---- the zoomed view ------------------------------------------------------------

void ExportForm::drawZoomedRegion()
{
    const int Z = zoom_;
    zoomCaption_->setText(QStringLiteral("Масштаб ") + integerText(qint64(Z) * 100) + QLatin1Char('%'));
    zoomCaption_->show();
    zoomViewport_->hide();
    const qint64 W5 = std::min(kMaxCanvas, (qint64(sel_.SelColumnTo) - sel_.SelColumnFrom + 1) * Z);
    const qint64 H5 = std::min(kMaxCanvas, (qint64(sel_.SelRowTo) - sel_.SelRowFrom + 1) * Z);
    zoomView_->setGeometry(0, 0, int(W5), int(H5));
    QRect frame;
    if (H5 < kZoomArea.height()) {
        frame.setTop(roundHalfEvenToInt(kZoomArea.top() + (kZoomArea.height() - H5) / 2.0));
        frame.setHeight(int(H5));
        zoomVScroll_->hide();
    } else {
        frame.setTop(kZoomArea.top());
        frame.setHeight(kZoomArea.height());
        zoomVScroll_->setRange(0, int(H5 - kZoomArea.height()));
        zoomVScroll_->show();
    }
    if (W5 < kZoomArea.width()) {
        frame.setLeft(roundHalfEvenToInt((kZoomArea.width() - W5) / 2.0));
        frame.setWidth(int(W5));
        zoomHScroll_->hide();
    } else {
        frame.setLeft(0);
        frame.setWidth(kZoomArea.width());
        zoomHScroll_->setRange(0, int(W5 - kZoomArea.width()));
        zoomHScroll_->move(zoomHScroll_->x(), frame.top() + frame.height());
        zoomHScroll_->show();
    }
    zoomViewport_->setGeometry(frame);
    zoomVScroll_->move(frame.left() + frame.width(), zoomVScroll_->y());
    // The canvas starts at its top-left corner again, so do the thumbs.
    for (QScrollBar* b : {zoomHScroll_, zoomVScroll_}) {
        const QSignalBlocker block(b);
        b->setValue(0);
    }

    zoomView_->setRegion(&ws_.image, sel_, Z);
    ws_.ColorPointCount = countColorPoints(ws_.image, sel_);
    const bool colour = ws_.ColorPointCount != 0;
    for (int n = 1; n <= 6; ++n)
        measureButtons_[n]->setVisible(colour);
    for (QLabel* l :
         {formulaCaption_, redWeightLabel_, greenCaption_, greenWeightLabel_, blueCaption_, blueWeightLabel_})
        l->setVisible(colour);
    greyCaption_->setVisible(!colour);

    zoomView_->move(0, 0);
    zoomView_->show();
    zoomViewport_->setVisible(W5 > 0 && H5 > 0);
    const QPoint topRight(frame.left() + frame.width(), frame.top());
    const QPoint bottomRight(frame.left() + frame.width(), frame.top() + frame.height());
    upperConnector_->setLine(topRight, readoutPanel_->geometry().topLeft());
    lowerConnector_->setLine(bottomRight, QPoint(readoutPanel_->x(), readoutPanel_->y() + readoutPanel_->height()));
    // The connectors run unbroken from the frame to the readout, over its scroll bars.
    upperConnector_->raise();
    lowerConnector_->raise();
    // The caption sits just above the frame, wherever the region's size puts it.
    zoomCaption_->move(zoomCaption_->x(), std::max(kZoomLabelTopmost, frame.top() - kZoomLabelGap));
}

// ---- the selection scroll bars ------------------------------------------------

QScrollBar* ExportForm::boundBar(RegionField field) const
{
    switch (field) {
    case RegionField::FirstRow: return firstRowBar_;
    case RegionField::LastRow: return lastRowBar_;
    case RegionField::FirstColumn: return firstColumnBar_;
    default: return lastColumnBar_;
    }
}

QLineEdit* ExportForm::regionBox(RegionField field) const
{
    switch (field) {
    case RegionField::FirstRow: return firstRowBox_;
    case RegionField::LastRow: return lastRowBox_;
    case RegionField::FirstColumn: return firstColumnBox_;
    case RegionField::LastColumn: return lastColumnBox_;
    case RegionField::Columns: return columnCountBox_;
    default: return rowCountBox_;
    }
}

RegionEditor ExportForm::regionEditor()
{
    return RegionEditor(sel_, ws_.image.ImageWidth, ws_.image.ImageHeight);
}

void ExportForm::applyRegionChange(const RegionChange& change)
{
    if (change.outcome != RegionChange::Outcome::Applied)
        return;
    for (int i = 0; i < 6; ++i) {
        const auto field = RegionField(i);
        if (i < 4 && change.bar(field)) {
            QScrollBar* bar = boundBar(field);
            const QSignalBlocker block(bar); // the editor has applied the bar's rule already
            bar->setValue(RegionEditor::value(field, sel_));
        }
        if (change.box(field))
            setBox(regionBox(field), RegionEditor::boxText(field, sel_));
    }
    placeFrame();
}

void ExportForm::setBox(QLineEdit* box, const QString& text)
{
    if (box == typingBox_)
        return; // leave what the user is typing alone
    // What the program writes is a valid bound: it needs no check.
    const QSignalBlocker block(box);
    box->setText(text);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, windowColour());
    box->setPalette(pal);
}

void ExportForm::barChanged(Bar bar, bool dragging)
{
    switch (bar) {
    case Bar::ImageX: imageView_->move(-imageHScroll_->value(), imageView_->y()); break;
    case Bar::ImageY: imageView_->move(imageView_->x(), -imageVScroll_->value()); break;
    case Bar::ZoomX: zoomView_->move(-zoomHScroll_->value(), zoomView_->y()); break;
    case Bar::ZoomY: zoomView_->move(zoomView_->x(), -zoomVScroll_->value()); break;
    case Bar::LastColumn: boundBarMoved(RegionField::LastColumn); break;
    case Bar::FirstColumn: boundBarMoved(RegionField::FirstColumn); break;
    case Bar::LastRow:
        if (!dragging) // the last-row bar only acts when its thumb is let go
            boundBarMoved(RegionField::LastRow);
        break;
    case Bar::FirstRow: boundBarMoved(RegionField::FirstRow); break;
    }
}

void ExportForm::placeFrame()
{
    selectionFrame_->setGeometry(sel_.SelColumnFrom - 1, sel_.SelRowFrom - 1, sel_.SelColumnTo - sel_.SelColumnFrom + 1,
                                 sel_.SelRowTo - sel_.SelRowFrom + 1);
}

void ExportForm::zoomAfterChange()
{
    // During a mouse drag the region is redrawn once, when the button is let go.
    if (!newSelectionPending_)
        return;
    setBusy(true, Qt::BusyCursor);
    drawZoomedRegion();
    setBusy(false);
}

void ExportForm::boundBarMoved(RegionField field)
{
    applyRegionChange(regionEditor().moveBar(field, boundBar(field)->value()));
    // A thumb drag redraws the zoomed view as it goes, as the number boxes it
    // updates always have.
    zoomAfterChange();
}

// ---- typed region numbers -------------------------------------------------------

void ExportForm::regionTyped(RegionField field)
{
    QLineEdit* box = regionBox(field);
    const RegionChange change = regionEditor().typeBox(field, box->text());
    if (change.outcome == RegionChange::Outcome::Ignored)
        return;
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base,
                 change.outcome == RegionChange::Outcome::Refused ? rejectedBoxColour() : windowColour());
    box->setPalette(pal);
    if (change.outcome == RegionChange::Outcome::Refused)
        return;
    typingBox_ = box;
    applyRegionChange(change);
    typingBox_ = nullptr;
    drawZoomedRegion();
}

void ExportForm::settleBox(RegionField field)
{
    QLineEdit* box = regionBox(field);
    if (const std::optional<QString> text = RegionEditor::settledText(field, box->text(), sel_))
        setBox(box, *text);
}

void ExportForm::settleBoxes()
{
    for (RegionField f :
         {RegionField::FirstRow, RegionField::LastRow, RegionField::FirstColumn, RegionField::LastColumn})
        settleBox(f);
}

// ---- measures and weights ------------------------------------------------------

void ExportForm::selectOption(int n)
{
    if (measureButtons_[n]->isChecked())
        optionClicked(n);
    else
        measureButtons_[n]->setChecked(true); // its toggled handler records the measure
}

void ExportForm::optionClicked(int n)
{
    ws_.BrightnessMeasure = n;
    if (n <= MeasureBlue)
        ws_.FrameHue = n;
    QLabel* components[3] = {readoutRed_, readoutGreen_, readoutBlue_};
    for (int i = 0; i < 3; ++i) {
        QFont f = font();
        f.setBold(n == i + 1);
        components[i]->setFont(f);
    }
    QFont f = font();
    f.setBold(n >= MeasureMean);
    readoutBrightness_->setFont(f);
    readoutBrightness_->setVisible(n >= MeasureMean);
}

void ExportForm::weightClicked(int which)
{
    selectOption(MeasureLuminance);
    static const char* const colours[3] = {"красной", "зелёной", "синей"};
    const QString colour = QString::fromUtf8(colours[which]);
    const QString answer = askWeight(QStringLiteral("Ввести коэффициент %1 составляющей").arg(colour),
                                     QStringLiteral("Введите долю %1 составляющей ").arg(colour));
    const ParsedWeight weight = parseWeight(answer);
    if (weight.kind != WeightInput::Number)
        return;
    float* coef[3] = {&ws_.CoefRed, &ws_.CoefGreen, &ws_.CoefBlue};
    QLabel* label[3] = {redWeightLabel_, greenWeightLabel_, blueWeightLabel_};
    *coef[which] = weight.value;
    label[which]->setText(fixedText(weight.value, 3, Precision::Single));
    layoutFormula(1 + 2 * which);
}

void ExportForm::layoutFormula(int from)
{
    QLabel* row[6] = {formulaCaption_,   redWeightLabel_, greenCaption_,
                      greenWeightLabel_, blueCaption_,    blueWeightLabel_};
    for (QLabel* l : row)
        l->adjustSize();
    for (int i = std::max(1, from); i < 6; ++i)
        row[i]->move(row[i - 1]->x() + row[i - 1]->width() + 1, row[i]->y());
}

QString ExportForm::askWeight(const QString& title, const QString& prompt)
{
    return QInputDialog::getText(this, title, prompt);
}

void ExportForm::showHelp()
{
    HelpExportForm help(this);
    help.exec();
}

void ExportForm::showReadError(const QString& title, const QString& text)
{
    QMessageBox::critical(this, title, text);
}

QString ExportForm::askCsvName(const QString& title, const QString& prompt)
{
    return QInputDialog::getText(this, title, QString(prompt).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void ExportForm::showCsvError(const QString& title, const QString& text)
{
    QMessageBox::warning(this, title, QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

// ---- the mouse on the image view -------------------------------------------------

void ExportForm::picturePressed(int buttons, QPointF pos)
{
    if (buttons == 1 || buttons == 3) {
        selectionFrame_->show();
        // The region starts at the point under the press; a press without a
        // move leaves the region as it was.
        if (newSelectionPending_)
            startDrag(imagePoint(pos.x(), pos.y(), ws_.image.ImageWidth, ws_.image.ImageHeight));
    } else if (buttons == 2) {
        selectionFrame_->show();
        selectionFrame_->nextMode();
    } else if (buttons >= 4) {
        selectionFrame_->hide();
    }
}

void ExportForm::pictureMoved(int buttons, QPointF pos)
{
    const ImageStore& img = ws_.image;
    const QPoint p = imagePoint(pos.x(), pos.y(), img.ImageWidth, img.ImageHeight);
    pointerColumn_ = p.x();
    pointerRow_ = p.y();
    if (!newSelectionPending_ && !(buttons & 1)) {
        // The left button went up where this view could not see it.
        dragLost();
    } else if (buttons == 1 || buttons == 3) {
        if (newSelectionPending_)
            startDrag(p); // the press went elsewhere: the drag starts where this view first sees it
        applyRegionChange(regionEditor().drag(QPoint(anchorColumn_, anchorRow_), p));
        // Bring the picture back when the pointer leaves the view at the left or top.
        if (pointerColumn_ > 0 && imageHScroll_->value() > 0 && pointerColumn_ <= imageHScroll_->value())
            imageHScroll_->setValue(pointerColumn_);
        if (pointerRow_ > 0 && imageVScroll_->value() > 0 && pointerRow_ <= imageVScroll_->value())
            imageVScroll_->setValue(pointerRow_);
    }
    showReadout(pointerColumn_ + 1, pointerRow_ + 1, ReadoutView::Image);
}

void ExportForm::startDrag(QPoint anchor)
{
    newSelectionPending_ = false;
    anchorColumn_ = anchor.x();
    anchorRow_ = anchor.y();
}

void ExportForm::pictureReleased(int button, QPointF)
{
    if (button != 1 && button != 3)
        return;
    newSelectionPending_ = true;
    setBusy(true);
    drawZoomedRegion();
    setBusy(false);
}

void ExportForm::dragLost()
{
    if (newSelectionPending_)
        return;
    newSelectionPending_ = true;
    setBusy(true);
    drawZoomedRegion(); // the region the drag reached, as its release would have drawn
    setBusy(false);
}

bool ExportForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Another control of this window took the focus; a switch to another
        // window or a context menu leaves the box as it is.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        for (RegionField f :
             {RegionField::FirstRow, RegionField::LastRow, RegionField::FirstColumn, RegionField::LastColumn})
            if (watched == regionBox(f) && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                settleBox(f);
    }
    if (watched == imageView_ && (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut)) {
        // While the button is held the view grabs the mouse and sees no Leave;
        // one arriving now means the drag is over.
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
            dragLost();
    }
    return QDialog::eventFilter(watched, event);
}

void ExportForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Another window taking over mid-drag receives the release instead.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        dragLost();
}

// ---- the mouse on the zoomed view --------------------------------------------------

void ExportForm::zoomMoved(int, QPointF pos)
{
    const QPoint point = zoomedPoint(pos.x(), pos.y(), zoom_, sel_);
    pointerColumn_ = (point.x() - sel_.SelColumnFrom) * std::max(1, zoom_);
    pointerRow_ = (point.y() - sel_.SelRowFrom) * std::max(1, zoom_);
    showReadout(point.x(), point.y(), ReadoutView::Zoomed);
}

void ExportForm::zoomPressed(int buttons, QPointF)
{
    const bool in = buttons == 1 || buttons == 3;
    const bool out = buttons == 2 || buttons == 4;
    if (in) {
        if (zoom_ >= kMaxZoom) {
            setZoomPointer(art::ZoomGlyph::Out);
            return;
        }
        ++zoom_;
        setZoomPointer(art::ZoomGlyph::In);
    } else if (out && zoom_ >= 2) {
        setZoomPointer(art::ZoomGlyph::Out);
        --zoom_;
    } else {
        return;
    }
    drawZoomedRegion();
    zoomHScroll_->setPageStep(zoom_);
    zoomVScroll_->setPageStep(zoom_);
    setZoomPointer(art::ZoomGlyph::Plain);
}

void ExportForm::setZoomPointer(art::ZoomGlyph glyph)
{
    zoomPointer_ = glyph;
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    art::zoomCursor(p, QRectF(0, 0, 32, 32), glyph);
    p.end();
    zoomView_->setCursor(QCursor(picture, 12, 12));
}

void ExportForm::showReadout(int column, int row, ReadoutView view)
{
    const Readout r = pixelReadout(ws_.image, column, row, view, ws_.BrightnessMeasure, ws_, ws_.ColorPointCount);
    readoutColumn_->setText(r.column);
    readoutRow_->setText(r.row);
    if (r.red)
        readoutRed_->setText(*r.red);
    if (r.green)
        readoutGreen_->setText(*r.green);
    if (r.blue)
        readoutBlue_->setText(*r.blue);
    if (r.brightness)
        readoutBrightness_->setText(*r.brightness);
}

// ---- layout ---------------------------------------------------------------------

void ExportForm::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    if (!wedge_)
        return;
    // The white wedge that leads the eye from the image view to the zoomed view.
    QPainter p(this);
    p.setPen(kWedgeColour);
    for (int y = 144; y <= 183; ++y)
        p.drawLine(353, y, 353 - (y - 144) * 161 / 39, y);
}

void ExportForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    applyResizeRule();
}

void ExportForm::applyResizeRule()
{
    if (!imageViewport_)
        return;
    const int A = width() - imageViewport_->x() - 16 - (imageVScroll_->isVisibleTo(this) ? imageVScroll_->width() : 0);
    auto widen = [this](int w) {
        imageViewport_->resize(w, imageViewport_->height());
        imageHScroll_->setGeometry(imageViewport_->x(), imageHScroll_->y(), w, imageHScroll_->height());
        imageHScroll_->setMaximum(std::max(0, imageView_->width() - w + 2));
        imageHScroll_->show();
        imageVScroll_->move(imageViewport_->x() + w, imageVScroll_->y());
    };
    if (A > imageViewport_->width()) {
        if (imageView_->width() > imageViewport_->width())
            widen(A);
        else
            imageViewport_->resize(imageView_->width(), imageViewport_->height());
    } else if (A > 7) {
        widen(A);
    }
    placeGrip();
}

void ExportForm::placeGrip()
{
    static constexpr int d[6] = {4, 6, 9, 10, 13, 14};
    static constexpr int e[6] = {32, 33, 36, 37, 40, 41};
    const int W = width(), H = height();
    for (int i = 0; i < 6; ++i)
        if (gripLines_[i])
            gripLines_[i]->setLine(QPoint(W - 9, H - e[i]), QPoint(W - 9 - d[i], H - e[i] + d[i]));
}

void ExportForm::closeEvent(QCloseEvent* event)
{
    // The close box leaves ExportCancelled as the start-up set it: true.
    QDialog::closeEvent(event);
}

void ExportForm::done(int result)
{
    readingTimer_->stop();
    pulseTimer_->stop();
    QDialog::done(result);
}

void ExportForm::setBusy(bool busy, Qt::CursorShape shape)
{
    if (busy) {
        QGuiApplication::setOverrideCursor(shape);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

} // namespace lumiset
