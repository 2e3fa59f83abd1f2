#include "ExportForm.h"

#include "CsvProgressBox.h"
#include "ImagePanel.h"
#include "ImageView.h"
#include "MeasurePanel.h"
#include "OutputOptionsDialog.h"
#include "PixelReadout.h"
#include "ReadingProgress.h"
#include "RegionControls.h"
#include "ZoomPanel.h"
#include "common/PictureButton.h"
#include "help/HelpOpenForm.h"
#include "image/PixelLoader.h"
#include "output/ExportPreparation.h"
#include "output/SpreadsheetExport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QShortcut>
#include <QTimer>

namespace lumiset {

namespace {

// The window's design, in pixels.
constexpr int kStartWidth = 652; // 9780 twips at 15 twips per pixel
constexpr int kStartHeight = 412;
constexpr QPoint kFillTickAt{8, 384}; // under the views, where the long caption has the window's width
constexpr int kRightEdge = 625;       // of the column boxes and bars, and of the options button above them
constexpr int kReadInterval = 200;
constexpr int kPulseInterval = 180;

const QColor kWedgeColour(255, 255, 255);

} // namespace

ExportForm::ExportForm(Workspace& workspace, QWidget* parent)
    : QDialog(parent), ws_(workspace), sel_(workspace.selection)
{
    setObjectName(QStringLiteral("ExportForm"));
    setModal(true);
    buildControls();
    retranslate();
    // The choices of the last run; the options dialog changes both together, so a
    // settings file that cannot be written costs only the next run's memory.
    ws_.output = loadOutputOptions();
    resize(kStartWidth, kStartHeight);
}

ExportForm::~ExportForm()
{
    // Hiding the window on its way out moves the focus; what the parts report
    // then has no window left to reach.
    for (QObject* part : std::initializer_list<QObject*>{progress_, measure_, region_, readout_, picture_, zoomPanel_})
        part->disconnect(this);
}

void ExportForm::buildControls()
{
    auto command = [this](art::PictureFn picture, int width, const char* name, int x) {
        auto* b = new PictureButton(picture, QSize(width, 26), this);
        b->setObjectName(QLatin1String(name));
        b->move(x, 8);
        return b;
    };
    exportButton_ = command(art::tableButton, 130, "Image1", 88);
    csvButton_ = command(art::csvButton, 122, "Image15", 224);
    cancelButton_ = command(art::cancelButton, 98, "Image2", 352);
    helpButton_ = command(art::helpButton, 100, "Image3", 454);
    // Apart from the commands: it changes how they write, and writes nothing.
    optionsButton_ = command(art::optionsButton, 32, "OutputOptions", kRightEdge - 32);

    progress_ = new ReadingProgress(this);
    measure_ = new MeasurePanel(this);
    region_ = new RegionControls(this, sel_, ws_.image, ws_.output);
    colourCellsBox_ = new QCheckBox(this);
    colourCellsBox_->setObjectName(QStringLiteral("Check1"));
    colourCellsBox_->move(kFillTickAt);
    readout_ = new PixelReadout(this);
    picture_ = new ImagePanel(this, ws_.image);
    zoomPanel_ = new ZoomPanel(this, ws_.image, sel_);
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
    connect(measure_, &MeasurePanel::measureChosen, this, &ExportForm::measureChosen);
    connect(measure_, &MeasurePanel::weightRequested, this, &ExportForm::changeWeight);
    connect(region_, &RegionControls::changed, this, &ExportForm::placeFrame);
    connect(region_, &RegionControls::barMoved, this, &ExportForm::zoomAfterChange);
    connect(region_, &RegionControls::typed, this, &ExportForm::drawZoomedRegion);
    connect(picture_, &ImagePanel::dragged, this,
            [this](QPoint anchor, QPoint pointer) { region_->apply(region_->editor().drag(anchor, pointer)); });
    connect(picture_, &ImagePanel::dragEnded, this, [this] {
        const auto busy = busy_.scope();
        drawZoomedRegion();
    });
    connect(picture_, &ImagePanel::pointed, this, [this](QPoint point) { showReadout(point, ReadoutView::Image); });
    connect(zoomPanel_, &ZoomPanel::zoomStepped, this, &ExportForm::drawZoomedRegion);
    connect(zoomPanel_, &ZoomPanel::pointed, this, [this](QPoint point) { showReadout(point, ReadoutView::Zoomed); });
    connect(exportButton_, &QAbstractButton::clicked, this, [this] { emit exportCommand(); });
    connect(csvButton_, &QAbstractButton::clicked, this, [this] { emit csvCommand(); });
    connect(this, &ExportForm::exportCommand, this, &ExportForm::exportToTable);
    connect(this, &ExportForm::csvCommand, this, &ExportForm::saveCsv);
    connect(cancelButton_, &QAbstractButton::clicked, this, [this] {
        ws_.ExportCancelled = true;
        reject();
    });
    connect(helpButton_, &QAbstractButton::clicked, this, [this] { showHelp(); });
    connect(optionsButton_, &QAbstractButton::clicked, this, &ExportForm::chooseOutputOptions);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] { showHelp(); });

    // Tab follows the eye: the commands and the options, the measure, the
    // columns, the rows, the zoomed view beside them, the tick; from the
    // picture, which holds the focus at start, it comes to the commands.
    QList<QWidget*> tabOrder{exportButton_, csvButton_, cancelButton_, helpButton_, optionsButton_};
    tabOrder << measure_->focusChain() << region_->focusChain() << zoomPanel_->view() << colourCellsBox_
             << picture_->view();
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void ExportForm::retranslate()
{
    setWindowTitle(tr("Вывод в таблицу"));
    exportButton_->setToolTip(tr("Непосредственно экспорт в таблицу"));
    csvButton_->setToolTip(tr("Сохранить выделенную область в файл CSV"));
    cancelButton_->setToolTip(tr("Отменить и вернуться к открытию файлов"));
    helpButton_->setToolTip(tr("Справка о настройках в этом окне"));
    optionsButton_->setToolTip(tr("Параметры вывода: расположение значений, кодировка CSV, лист «Сводка»"));
    optionsButton_->setAccessibleName(tr("Параметры вывода"));
    colourCellsBox_->setText(tr("Заливка цветом фона ячеек таблицы (Значительно замедляет вывод в таблицу)"));
    colourCellsBox_->adjustSize();
    measure_->retranslate();
    region_->retranslate();
    zoomPanel_->retranslate();
    // The readout's texts come from the core: ask again for the point last shown.
    if (lastPointed_)
        showReadout(lastPointed_->first, lastPointed_->second);
    else
        readout_->clear();
}

int ExportForm::zoom() const
{
    return zoomPanel_->zoom();
}

void ExportForm::setZoom(int zoom)
{
    zoomPanel_->setZoom(zoom);
}

art::ZoomGlyph ExportForm::zoomPointer() const
{
    return zoomPanel_->pointer();
}

bool ExportForm::dragging() const
{
    return picture_->dragging();
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

void ExportForm::formLoad()
{
    const ImageStore& img = ws_.image;

    // The controls come back as designed; the window's fields keep their values.
    resize(kStartWidth, height());
    readFailed_ = false;
    wedge_ = false;
    progress_->reset(img.ImageState == ImageState::HeaderRead);
    picture_->reset();
    zoomPanel_->reset();
    region_->reset();
    measure_->showChoices(true);
    for (PictureButton* b : {exportButton_, csvButton_, cancelButton_, helpButton_, optionsButton_}) {
        b->show();
        b->setEnabled(true);
    }
    colourCellsBox_->setChecked(false); // colouring is slow: each showing starts without it
    measure_->select(defaultMeasure(img));
    if (!keepRegion_ || checkRegion(img, sel_) == RegionError::OutsideImage)
        sel_ = defaultSelection(img.ImageWidth, img.ImageHeight);
    keepRegion_ = false;
    followLayout(); // shows the region, within the width and with the tick the layout allows
    placeGrip();
    ws_.ExportCancelled = true;
    measure_->showWeights(ws_.measure.CoefRed, ws_.measure.CoefGreen, ws_.measure.CoefBlue);
    readout_->clear();
    lastPointed_.reset();

    readingTimer_->start();
    pulseTimer_->start();
}

void ExportForm::startupTick()
{
    const bool firstTick = !wedge_;
    wedge_ = true;
    update(QRect(192, 144, 162, 40));
    ImageStore& img = ws_.image;
    if (img.ImageState == ImageState::HeaderRead) {
        readPixels();
        if (readFailed_)
            return;
    } else if (img.ImageState > ImageState::HeaderRead) {
        readingTimer_->stop();
        drawImage();
        fitImage();
    }
    picture_->setPictureVisible(true);
    if (firstTick)
        picture_->focusPicture();
    img.ImageState = nextImageState(img.ImageState);
}

void ExportForm::readPixels()
{
    ImageStore& img = ws_.image;
    busy_.show();
    progress_->startReading(img);
    zoomPanel_->setZoom(3);
    picture_->setPictureVisible(false);
    const LoadResult result = loadPixels(img, [this](int rowsDone) { progress_->rowsRead(rowsDone); });
    if (result != LoadResult::Loaded) {
        // The loader has released the tables: nothing of an earlier file can
        // show as this one's pixels. With nothing to export, the window closes
        // once the user has read why.
        readingTimer_->stop();
        readFailed_ = true;
        progress_->abandon();
        exportButton_->setEnabled(false);
        csvButton_->setEnabled(false);
        busy_.hide();
        const QString file = QDir::toNativeSeparators(img.FilePath);
        if (result == LoadResult::OutOfMemory)
            showReadError(tr("Недостаточно памяти"),
                          tr("Для изображения из файла\n%1\nне хватает памяти.\n"
                             "Закройте другие программы и откройте файл снова.")
                              .arg(file));
        else
            showReadError(tr("Ошибка чтения файла"),
                          tr("Не удалось прочитать изображение из файла\n%1\n"
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
    progress_->finish();
    busy_.hide();
}

void ExportForm::drawImage()
{
    const ImageStore& img = ws_.image;
    picture_->drawPicture();
    if (img.pixelKind() == PixelKind::Unsupported)
        return;
    progress_->startDrawing(img.ImageHeight); // the bar's second phase, from 350 to 466
}

void ExportForm::fitImage()
{
    picture_->fit();
    region_->fitBarsToPicture();
}

void ExportForm::pulseTick()
{
    picture_->pulse(ws_.FrameHue);
}

// ---- the parts at work ------------------------------------------------------------

void ExportForm::drawZoomedRegion()
{
    const QRect frame = zoomPanel_->draw();
    ws_.measure.ColorPointCount = countColorPoints(ws_.image, sel_);
    measure_->showChoices(ws_.measure.ColorPointCount != 0);
    readout_->leadFrom(frame);
}

void ExportForm::placeFrame()
{
    picture_->placeFrame(sel_);
}

void ExportForm::zoomAfterChange()
{
    // During a mouse drag the region is redrawn once, when the button is let go.
    if (picture_->dragging())
        return;
    const auto busy = busy_.scope(Qt::BusyCursor);
    drawZoomedRegion();
}

void ExportForm::showReadout(QPoint point, ReadoutView view)
{
    lastPointed_ = std::make_pair(point, view);
    readout_->show(pixelReadout(ws_.image, point.x(), point.y(), view, ws_.measure.BrightnessMeasure, ws_,
                                ws_.measure.ColorPointCount));
}

void ExportForm::measureChosen(int measure)
{
    ws_.measure.BrightnessMeasure = measure;
    if (measure <= MeasureBlue)
        ws_.FrameHue = measure;
    readout_->emphasise(measure);
}

void ExportForm::changeWeight(int which)
{
    const QString titles[3] = {tr("Ввести коэффициент красной составляющей"),
                               tr("Ввести коэффициент зелёной составляющей"),
                               tr("Ввести коэффициент синей составляющей")};
    const QString prompts[3] = {tr("Введите долю красной составляющей "), tr("Введите долю зелёной составляющей "),
                                tr("Введите долю синей составляющей ")};
    const QString answer = askWeight(titles[which], prompts[which]);
    const ParsedWeight weight = parseWeight(answer);
    if (weight.kind != WeightInput::Number)
        return;
    float* coef[3] = {&ws_.measure.CoefRed, &ws_.measure.CoefGreen, &ws_.measure.CoefBlue};
    *coef[which] = weight.value;
    measure_->showWeight(which, weight.value);
}

// ---- commands -------------------------------------------------------------------

void ExportForm::finishExport()
{
    ws_.ExportCancelled = false;
    accept();
}

void ExportForm::exportToTable()
{
    region_->settleAll(); // the file holds the region the boxes show
    const RegionError refused = [this] {
        const auto busy = busy_.scope();
        return prepareExportRequest(ws_, colourCellsBox_->isChecked());
    }();
    // A region the pixel tables cannot give prepares nothing; the window stays
    // open for another region or cancel.
    if (refused == RegionError::TallerThanSheet) {
        const UserMessage message = tallerThanSheetMessage(ws_.output.layout);
        showCsvError(message.title, message.text);
    }
    if (refused != RegionError::None)
        return;
    finishExport();
}

void ExportForm::saveCsv()
{
    region_->settleAll();
    const QString defaultPath = defaultCsvPath(ws_.image.FilePath);
    const QString answer = askCsvName(csvPromptTitle(), csvPromptText(defaultCsvName(defaultPath)));
    const CsvError error = [&] {
        const auto busy = busy_.scope();
        return writeCsvShowingProgress(this, ws_, answer, csvProgressDelay());
    }();
    if (error == CsvError::None)
        emit fileWritten(ws_.SelectedFileName);
    if (error == CsvError::None || error == CsvError::Stopped)
        return;
    const UserMessage message = csvErrorMessage(error, QDir::toNativeSeparators(ws_.SelectedFileName));
    showCsvError(message.title, message.text);
}

void ExportForm::chooseOutputOptions()
{
    OutputOptionsDialog dialog(ws_.output, this);
    if (runOptionsDialog(dialog) != QDialog::Accepted)
        return;
    ws_.output = dialog.options();
    saveOutputOptions(ws_.output);
    followLayout();
}

void ExportForm::followLayout()
{
    const bool table = ws_.output.layout == TableLayout::Table;
    colourCellsBox_->setEnabled(table);
    if (!table)
        colourCellsBox_->setChecked(false);
    clampColumns(sel_, ws_.image.ImageWidth, limitsRegionWidth(ws_.output.layout));
    // A bar that moves redraws the region, as its change rule would.
    if (region_->showSelection())
        zoomAfterChange();
    placeFrame();
}

int ExportForm::runOptionsDialog(OutputOptionsDialog& dialog)
{
    return dialog.exec();
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

// ---- the window itself ----------------------------------------------------------

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
    if (!picture_)
        return;
    picture_->followWindowWidth();
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

void ExportForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Another window taking over mid-drag receives the release instead.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        picture_->dragLost();
    if (event->type() == QEvent::LanguageChange)
        retranslate();
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
    lastPointed_.reset(); // another picture may be opened before the next showing
    QDialog::done(result);
}

} // namespace lumiset
