#include "ExportForm.h"

#include "ImageView.h"
#include "ZoomView.h"
#include "common/PictureButton.h"
#include "help/HelpOpenForm.h"
#include "image/NumberText.h"
#include "image/PixelLoader.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
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
constexpr int kZoomLabelGap = 20;              // the zoom label's top above the zoomed frame
constexpr int kZoomLabelTopmost = 146;
constexpr int kBarThickness = 17;
constexpr int kProgressLeft = 88;
constexpr int kProgressTop = 8;
constexpr int kReadingPhaseEnd = 350; // the bar's length when the pixels are read
constexpr int kMaxZoom = 20;
constexpr QPoint kFillTickAt{8, 384}; // under the views, where the long caption has the window's width
constexpr int kReadInterval = 200;
constexpr int kPulseInterval = 180;
// No widget may be taller than this; a region taller than it at a high zoom is cut.
constexpr qint64 kMaxCanvas = 16000000;

int halfEven(double v) { return int(roundHalfEven(v)); }

const QColor kViewportColour(255, 192, 128);
const QColor kZoomFrameColour(128, 128, 255);
const QColor kWedgeColour(255, 255, 255);

QColor windowColour() { return QApplication::palette().color(QPalette::Base); }

} // namespace

/// The colour a region box takes when its number is refused.
QColor rejectedBoxColour() { return QToolTip::palette().color(QPalette::ToolTipBase); }

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

ReadingBar::ReadingBar(QWidget* parent) : QWidget(parent) {}

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

    Image1 = new PictureButton(art::tableButton, QSize(130, 26), this);
    named(Image1, "Image1")->move(88, 8);
    Image1->setToolTip(QStringLiteral("Непосредственно экспорт в таблицу"));
    Image15 = new PictureButton(art::csvButton, QSize(122, 26), this);
    named(Image15, "Image15")->move(224, 8);
    Image15->setToolTip(QStringLiteral("Сохранить выделенную область в файл CSV"));
    Image2 = new PictureButton(art::cancelButton, QSize(98, 26), this);
    named(Image2, "Image2")->move(352, 8);
    Image2->setToolTip(QStringLiteral("Отменить и вернуться к открытию файлов"));
    Image3 = new PictureButton(art::helpButton, QSize(100, 26), this);
    named(Image3, "Image3")->move(454, 8);
    Image3->setToolTip(QStringLiteral("Справка о настройках в этом окне"));

    Image6 = new ArtView(art::readingFrame, QSize(472, 32), this);
    named(Image6, "Image6")->move(kProgressLeft - 3, kProgressTop - 3);
    Picture1 = new ReadingBar(this);
    named(Picture1, "Picture1")->setGeometry(kProgressLeft, kProgressTop, 1, ReadingBar::kHeight);

    // The measure group.
    Label23 = label("Label23", QStringLiteral("ВЫВЕСТИ :"), {8, 40, 120, 16});
    QFont bold = font();
    bold.setBold(true);
    Label23->setFont(bold);
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
        Option[n] = new QRadioButton(options[n - 1].caption, this);
        Option[n]->setObjectName(QStringLiteral("Option%1").arg(n));
        Option[n]->setGeometry(options[n - 1].geometry);
        connect(Option[n], &QRadioButton::toggled, this, [this, n](bool on) {
            if (on)
                optionClicked(n);
        });
    }
    const QString formulaTip = QStringLiteral(
        "Красный·0,299 + Зелёный·0,587 + Синий·0,114 - вклады в яркость в практике для телевизионного сигнала");
    ClickLabel** formula[6] = {&Label17, &Label18, &Label19, &Label20, &Label21, &Label22};
    const QString texts[6] = {QStringLiteral("Яркость = Красн.·"), QStringLiteral("0,299"), QStringLiteral(" + Зел.·"),
                              QStringLiteral("0,587"), QStringLiteral(" + Син.·"), QStringLiteral("0,114")};
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
            f.setUnderline(true); // the weights are edited by a click
            l->setFont(f);
            connect(l, &ClickLabel::clicked, this, [this, i] { weightClicked(i / 2); });
        }
        *formula[i] = l;
    }
    Label15 = label("Label15", QStringLiteral("Яркость чёрно-белого изображения"), {8, 78, 330, 18});
    Label15->hide();

    // Column bounds above their scroll bars, right edges on the bars' right edge.
    label("LabelFromColumn", QStringLiteral("Со столбца"), {392, 46, 76, 16});
    Text3 = new QLineEdit(this);
    named(Text3, "Text3")->setGeometry(470, 44, 50, 20);
    label("LabelToColumn", QStringLiteral("до"), {520, 46, 55, 16})->setAlignment(Qt::AlignCenter);
    Text4 = new QLineEdit(this);
    named(Text4, "Text4")->setGeometry(575, 44, 50, 20);
    label("LabelColumns", QStringLiteral("Будет выведено"), {392, 74, 176, 16});
    Text5 = new QLineEdit(this);
    named(Text5, "Text5")->setGeometry(575, 72, 50, 20);

    // Row bounds on a white panel below the wedge, which becomes its tapered
    // head reaching up to the row bars.
    auto* rowPanel = new QWidget(this);
    named(rowPanel, "RowPanel")->setGeometry(kRowPanel);
    rowPanel->setAutoFillBackground(true);
    QPalette white = rowPanel->palette();
    white.setColor(QPalette::Window, kWedgeColour);
    rowPanel->setPalette(white);
    label("LabelFromRow", QStringLiteral("Со строки"), {198, 192, 92, 16});
    Text1 = new QLineEdit(this);
    named(Text1, "Text1")->setGeometry(296, 190, 50, 20);
    label("LabelToRow", QStringLiteral("до"), {198, 218, 92, 16});
    Text2 = new QLineEdit(this);
    named(Text2, "Text2")->setGeometry(296, 216, 50, 20);
    const QString rowsCaption = QStringLiteral("Будет выведено");
    const bool oneLine = fontMetrics().horizontalAdvance(rowsCaption) <= 92;
    label("LabelRows", oneLine ? rowsCaption : QStringLiteral("Будет\nвыведено"), {198, 238, 92, 32})
        ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Text6 = new QLineEdit(this);
    named(Text6, "Text6")->setGeometry(296, 244, 50, 20);
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5, Text6})
        box->setAlignment(Qt::AlignRight); // the blank Str puts before a number stays out of sight
    for (QLineEdit* counter : {Text5, Text6})
        counter->setReadOnly(true);
    const struct {
        QLineEdit* box;
        RegionBox kind;
    } boxes[] = {{Text1, RegionBox::FirstRow}, {Text2, RegionBox::LastRow},
                 {Text3, RegionBox::FirstColumn}, {Text4, RegionBox::LastColumn}};
    for (const auto& b : boxes)
        connect(b.box, &QLineEdit::textChanged, this, [this, kind = b.kind] { regionTyped(kind); });

    Check1 = new QCheckBox(
        QStringLiteral("Заливка цветом фона ячеек таблицы (Значительно замедляет вывод в таблицу)"), this);
    named(Check1, "Check1")->move(kFillTickAt);
    Check1->adjustSize();

    // The pixel readout on its panel; the connector lines lead to it from the zoomed view.
    Label5 = label("Label5", QString(), {192, 278, 154, 92});
    Label5->setFrameShape(QFrame::StyledPanel);
    Label5->setAutoFillBackground(true);
    Label10 = label("Label10", QStringLiteral("X:"), {200, 284, 68, 16});
    Label11 = label("Label11", QStringLiteral("Y:"), {272, 284, 68, 16});
    Label12 = label("Label12", QStringLiteral("Красный"), {200, 302, 140, 16});
    Label13 = label("Label13", QStringLiteral("Зелёный"), {200, 318, 140, 16});
    Label14 = label("Label14", QStringLiteral("Синий"), {200, 334, 140, 16});
    Label16 = label("Label16", QStringLiteral("Яркость"), {200, 350, 140, 16});
    Line11 = new LineControl(this);
    named(Line11, "Line11");
    Line12 = new LineControl(this);
    named(Line12, "Line12");

    // The image view.
    Picture2 = new QWidget(this);
    named(Picture2, "Picture2")->setGeometry(kViewport);
    Picture2->setAutoFillBackground(true);
    QPalette viewport = Picture2->palette();
    viewport.setColor(QPalette::Window, kViewportColour);
    Picture2->setPalette(viewport);
    Picture3 = new ImageView(Picture2);
    named(Picture3, "Picture3");
    Picture3->setCursor(Qt::CrossCursor);
    Picture3->installEventFilter(this);
    // The picture holds the focus, so no number box shows a caret the user did not ask for.
    Picture3->setFocusPolicy(Qt::ClickFocus);
    Vydelenie = Picture3->frame();

    auto bar = [&](const char* name, Qt::Orientation o, QRect geometry, int single, int page) {
        auto* b = new QScrollBar(o, this);
        named(b, name)->setGeometry(geometry);
        b->setSingleStep(single);
        b->setPageStep(page);
        return b;
    };
    HScroll1 = bar("HScroll1", Qt::Horizontal, {392, 352, 233, kBarThickness}, 1, 1);
    VScroll1 = bar("VScroll1", Qt::Vertical, {624, 144, kBarThickness, 209}, 1, 1);
    HScroll3 = bar("HScroll3", Qt::Horizontal, {392, 104, 233, kBarThickness}, 1, 10);
    HScroll2 = bar("HScroll2", Qt::Horizontal, {392, 120, 233, kBarThickness}, 1, 10);
    VScroll3 = bar("VScroll3", Qt::Vertical, {352, 144, kBarThickness, 209}, 1, 10);
    VScroll2 = bar("VScroll2", Qt::Vertical, {368, 144, kBarThickness, 209}, 1, 10);
    HScroll4 = bar("HScroll4", Qt::Horizontal, {0, 352, 153, kBarThickness}, 1, 1);
    VScroll4 = bar("VScroll4", Qt::Vertical, {152, 184, kBarThickness, 169}, 1, 1);
    HScroll3->setToolTip(QStringLiteral("Первый столбец"));
    HScroll2->setToolTip(QStringLiteral("Последний столбец"));
    VScroll3->setToolTip(QStringLiteral("Первая строка"));
    VScroll2->setToolTip(QStringLiteral("Последняя строка"));
    const struct {
        QScrollBar* bar;
        Bar id;
    } bars[] = {{HScroll1, Bar::H1}, {VScroll1, Bar::V1}, {HScroll2, Bar::H2}, {HScroll3, Bar::H3},
                {VScroll2, Bar::V2}, {VScroll3, Bar::V3}, {HScroll4, Bar::H4}, {VScroll4, Bar::V4}};
    for (const auto& b : bars) {
        // A value change while the thumb is held is a scroll; any other (click,
        // key, release, code) is a change.
        QScrollBar* sb = b.bar;
        connect(sb, &QScrollBar::valueChanged, this, [this, sb, id = b.id] { barChanged(id, sb->isSliderDown()); });
        connect(sb, &QScrollBar::sliderReleased, this, [this, id = b.id] { barChanged(id, false); });
    }

    // The zoomed view.
    Label9 = label("Label9", QStringLiteral("Масштаб"), {0, 164, 153, 18});
    Label9->setAlignment(Qt::AlignCenter);
    Picture4 = new QWidget(this);
    named(Picture4, "Picture4")->setGeometry(kZoomArea);
    Picture4->setAutoFillBackground(true);
    QPalette zoomFrame = Picture4->palette();
    zoomFrame.setColor(QPalette::Window, kZoomFrameColour);
    Picture4->setPalette(zoomFrame);
    Picture5 = new ZoomView(Picture4);
    named(Picture5, "Picture5");

    for (int i = 0; i < 6; ++i) {
        Grip[i] = new LineControl(this, art::colour::edge);
        Grip[i]->setObjectName(QStringLiteral("Line%1").arg(13 + i));
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kReadInterval);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kPulseInterval);

    connect(Timer1, &QTimer::timeout, this, &ExportForm::timer1Tick);
    connect(Timer2, &QTimer::timeout, this, &ExportForm::timer2Tick);
    connect(Picture3, &ImageView::pressed, this, &ExportForm::picturePressed);
    connect(Picture3, &ImageView::moved, this, &ExportForm::pictureMoved);
    connect(Picture3, &ImageView::released, this, &ExportForm::pictureReleased);
    connect(Picture5, &ZoomView::pressed, this, &ExportForm::zoomPressed);
    connect(Picture5, &ZoomView::moved, this, &ExportForm::zoomMoved);
    connect(Picture1, &ReadingBar::clicked, this, [this] {
        Picture1->move(Picture1->x(), Picture1->y() == kProgressTop ? Picture1->y() + Picture1->height() : kProgressTop);
    });
    connect(Image1, &QAbstractButton::clicked, this, [this] { emit exportCommand(); });
    connect(Image15, &QAbstractButton::clicked, this, [this] { emit csvCommand(); });
    connect(this, &ExportForm::exportCommand, this, &ExportForm::exportToTable);
    connect(this, &ExportForm::csvCommand, this, &ExportForm::saveCsv);
    connect(Image2, &QAbstractButton::clicked, this, [this] {
        ws_.ExportCancelled = true;
        reject();
    });
    connect(Image3, &QAbstractButton::clicked, this, [this] { showHelp(); });
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
    setBusy(true);
    const RegionError refused = prepareExportRequest(ws_, Check1->isChecked());
    setBusy(false);
    // A region the pixel tables cannot give prepares nothing; the window stays
    // open for another region or cancel.
    if (refused != RegionError::None)
        return;
    finishExport();
}

void ExportForm::saveCsv()
{
    const QString defaultPath = defaultCsvPath(ws_.image.FilePath);
    const QString answer = askCsvName(csvPromptTitle(), csvPromptText(defaultCsvName(defaultPath)));
    setBusy(true);
    const CsvError error = lumiset::csvCommand(ws_, answer, QLocale());
    setBusy(false);
    if (error == CsvError::None)
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
    Picture1->hide();
    Picture1->setGeometry(kProgressLeft, kProgressTop, 1, ReadingBar::kHeight);
    Picture2->setGeometry(kViewport);
    Picture3->hide();
    Picture3->setStore(nullptr);
    Picture4->hide();
    Label9->hide();
    Label9->setText(QStringLiteral("Масштаб"));
    for (QScrollBar* b : {HScroll1, VScroll1, HScroll4, VScroll4}) {
        const QSignalBlocker block(b);
        b->setRange(0, 0);
    }
    HScroll1->setGeometry(392, 352, 233, kBarThickness);
    VScroll1->setGeometry(624, 144, kBarThickness, 209);
    HScroll4->hide();
    VScroll4->hide();
    HScroll4->setPageStep(1);
    VScroll4->setPageStep(1);
    // The selection bars cover the whole picture from the start, so no bound
    // can leave it even when the pixels cannot be read.
    for (QScrollBar* b : {HScroll2, HScroll3, VScroll2, VScroll3}) {
        const QSignalBlocker block(b);
        const int size = (b == HScroll2 || b == HScroll3) ? W : H;
        b->setRange(1, std::max(1, size));
        b->setValue(1);
    }
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5, Text6}) {
        const QSignalBlocker block(box);
        box->clear();
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, windowColour());
        box->setPalette(pal);
    }
    for (int n = 1; n <= 6; ++n)
        Option[n]->show();
    for (QLabel* l : {Label17, Label18, Label19, Label20, Label21, Label22})
        l->show();
    Label15->hide();
    for (PictureButton* b : {Image1, Image15, Image2, Image3}) {
        b->show();
        b->setEnabled(true);
    }
    Check1->setChecked(false); // colouring is slow: each showing starts without it
    Vydelenie->setMode(SelectionFrame::CopyPen);
    Vydelenie->setColour(QColor(255, 0, 0));

    Picture3->move(0, 0);
    Vydelenie->setGeometry(0, 0, 20, 20);
    Picture3->resize(std::max(1, W), std::max(1, H));
    if (img.BitsPerPixel == 8)
        selectOption(MeasureMean);
    else
        selectOption(MeasureRed); // true colour of any depth reads as its components
    Image6->setVisible(img.ImageState == 1);
    NewSelectionPending = true;
    sel_ = defaultSelection(W, H);
    setBar(HScroll3, sel_.SelColumnFrom);
    setBar(VScroll3, sel_.SelRowFrom);
    setBar(HScroll2, sel_.SelColumnTo);
    setBar(VScroll2, sel_.SelRowTo);
    // The bars only run their rules on a change; the boxes show the region anyway.
    setBox(Text1, integerText(sel_.SelRowFrom));
    setBox(Text2, integerText(sel_.SelRowTo));
    setBox(Text3, strForm(sel_.SelColumnFrom));
    setBox(Text4, strForm(sel_.SelColumnTo));
    setBox(Text5, strForm(qint64(sel_.SelColumnTo) - sel_.SelColumnFrom + 1));
    setBox(Text6, strForm(qint64(sel_.SelRowTo) - sel_.SelRowFrom + 1));
    placeFrame();
    Vydelenie->show();
    setZoomPointer(art::ZoomGlyph::Plain);
    placeGrip();
    ws_.ExportCancelled = true;
    FrameRising = true;
    FrameLevel = 70;
    Label18->setText(fixedText(ws_.CoefRed, 3, Precision::Single));
    Label20->setText(fixedText(ws_.CoefGreen, 3, Precision::Single));
    Label22->setText(fixedText(ws_.CoefBlue, 3, Precision::Single));
    layoutFormula(0);
    for (QLabel* l : {Label10, Label11, Label12, Label13, Label14})
        l->setText(l->text().section(QLatin1Char(' '), 0, 0));
    Label16->setText(QStringLiteral("Яркость"));

    Timer1->start();
    Timer2->start();
}

// ---- Timer1: reading, drawing, viewport ---------------------------------------

void ExportForm::timer1Tick()
{
    const bool firstTick = !wedge_;
    wedge_ = true;
    update(QRect(192, 144, 162, 40));
    ImageStore& img = ws_.image;
    if (img.ImageState == 1) {
        readingTick();
        if (readFailed_)
            return;
    } else if (img.ImageState > 1) {
        Timer1->stop();
        ОтрисовкаИзображения();
        НастройкаИзображения();
    }
    Picture3->show();
    Picture2->show();
    if (firstTick)
        Picture3->setFocus(Qt::OtherFocusReason);
    ++img.ImageState;
}

void ExportForm::setProgressWidth(int width)
{
    Picture1->resize(std::clamp(width, 1, ReadingBar::kLength), Picture1->height());
    Picture1->repaint();
}

void ExportForm::readingTick()
{
    ImageStore& img = ws_.image;
    setBusy(true);
    Image6->show();
    Image6->raise();
    Picture1->show();
    Picture1->raise();
    setProgressWidth(1);
    Zoom = 3;
    Picture3->hide();
    Picture2->hide();
    ProgressPos = 0;
    ProgressStep = float(kReadingPhaseEnd) / float(std::max(1, img.ImageHeight));
    // Bottom-up files count one row less, so the bar ends a row short of 350.
    const bool bottomUp = img.isBmp() ? !img.RowsTopDown : !img.TgaTopOrigin;
    const LoadResult result = loadPixels(img, [this, bottomUp](int rowsDone) {
        const int n = bottomUp ? rowsDone - 1 : rowsDone;
        if (n * ProgressStep - ProgressPos >= 2) {
            ProgressPos = n * ProgressStep;
            setProgressWidth(halfEven(ProgressPos));
        }
    });
    if (result != LoadResult::Loaded) {
        // The loader has released the tables: nothing of an earlier file can
        // show as this one's pixels. The window stays open for cancel and help.
        Timer1->stop();
        readFailed_ = true;
        Image6->hide();
        Picture1->hide();
        Image1->setEnabled(false);
        Image15->setEnabled(false);
        setBusy(false);
        const QString file = QDir::toNativeSeparators(img.FilePath);
        if (result == LoadResult::OutOfMemory)
            showReadError(QStringLiteral("Недостаточно памяти"),
                          QStringLiteral("Для изображения из файла\n%1\nне хватает памяти.\n"
                                         "Закройте другие программы и откройте файл снова.").arg(file));
        else
            showReadError(QStringLiteral("Ошибка чтения файла"),
                          QStringLiteral("Не удалось прочитать изображение из файла\n%1\n"
                                         "Файл недоступен или изменился после открытия. Откройте его снова.")
                              .arg(file));
        return;
    }
    ОтрисовкаИзображения();
    НастройкаИзображения();
    DrawSelectionZoom();
    for (PictureButton* b : {Image1, Image15, Image2, Image3})
        b->show();
    Image6->hide();
    for (int i = 1; i <= 25; ++i) {
        Picture1->resize(Picture1->width(), ReadingBar::kHeight - i);
        Picture1->repaint();
    }
    Picture1->hide();
    Picture1->resize(Picture1->width(), ReadingBar::kHeight);
    setBusy(false);
}

void ExportForm::ОтрисовкаИзображения()
{
    const ImageStore& img = ws_.image;
    // The view paints whatever part of the picture is exposed straight from the
    // pixel planes, so "drawing" is taking the colour rule; the bar still
    // shows the second phase, from 350 to 466.
    Picture3->setStore(&img);
    if (!img.isBmp() && !img.isTga())
        return;
    ProgressPos -= kReadingPhaseEnd - 1;
    ProgressStep = float(ReadingBar::kLength - kReadingPhaseEnd) / float(std::max(1, img.ImageHeight));
    const float end = img.ImageHeight * ProgressStep;
    if (end - ProgressPos >= 2)
        ProgressPos = end;
    if (Picture1->isVisible())
        setProgressWidth(kReadingPhaseEnd + halfEven(ProgressPos));
}

void ExportForm::НастройкаИзображения()
{
    const int W = Picture3->width(), H = Picture3->height();
    QRect vp = Picture2->geometry();
    if (H < kViewport.height()) {
        vp.moveTop(halfEven(kViewport.top() + (kViewport.height() - H) / 2.0));
        vp.setHeight(H + 2);
        VScroll1->hide();
    } else {
        vp.moveTop(kViewport.top());
        vp.setHeight(kViewport.height());
        VScroll1->setRange(0, H - kViewport.height() + 2);
        VScroll1->show();
    }
    if (W < kViewport.width()) {
        vp.moveLeft(halfEven(kViewport.left() + (kViewport.width() - W) / 2.0));
        vp.setWidth(W + 2);
        HScroll1->hide();
    } else {
        vp.moveLeft(kViewport.left());
        vp.setWidth(kViewport.width());
        HScroll1->setRange(0, W - kViewport.width() + 2);
        HScroll1->setGeometry(vp.left(), vp.bottom() + 1, vp.width(), kBarThickness);
        HScroll1->show();
    }
    Picture2->setGeometry(vp);
    VScroll1->move(vp.right() + 1, VScroll1->y());
    HScroll2->setMaximum(std::max(1, ws_.image.ImageWidth));
    HScroll3->setMaximum(std::max(1, ws_.image.ImageWidth));
    VScroll2->setMaximum(std::max(1, ws_.image.ImageHeight));
    VScroll3->setMaximum(std::max(1, ws_.image.ImageHeight));
}

// ---- Timer2: the frame pulse ---------------------------------------------------

void ExportForm::timer2Tick()
{
    FramePulse pulse{FrameLevel, FrameRising};
    const auto c = pulse.colour(ws_.FrameHue);
    Vydelenie->setColour(QColor(c[0], c[1], c[2]));
    pulse.step();
    FrameLevel = pulse.level;
    FrameRising = pulse.rising;
}

// ---- the zoomed view ------------------------------------------------------------

void ExportForm::DrawSelectionZoom()
{
    const int Z = Zoom;
    Label9->setText(QStringLiteral("Масштаб ") + integerText(qint64(Z) * 100) + QLatin1Char('%'));
    Label9->show();
    Picture4->hide();
    const qint64 W5 = std::min(kMaxCanvas, (qint64(sel_.SelColumnTo) - sel_.SelColumnFrom + 1) * Z);
    const qint64 H5 = std::min(kMaxCanvas, (qint64(sel_.SelRowTo) - sel_.SelRowFrom + 1) * Z);
    Picture5->setGeometry(0, 0, int(W5), int(H5));
    QRect frame;
    if (H5 < kZoomArea.height()) {
        frame.setTop(halfEven(kZoomArea.top() + (kZoomArea.height() - H5) / 2.0));
        frame.setHeight(int(H5));
        VScroll4->hide();
    } else {
        frame.setTop(kZoomArea.top());
        frame.setHeight(kZoomArea.height());
        VScroll4->setRange(0, int(H5 - kZoomArea.height()));
        VScroll4->show();
    }
    if (W5 < kZoomArea.width()) {
        frame.setLeft(halfEven((kZoomArea.width() - W5) / 2.0));
        frame.setWidth(int(W5));
        HScroll4->hide();
    } else {
        frame.setLeft(0);
        frame.setWidth(kZoomArea.width());
        HScroll4->setRange(0, int(W5 - kZoomArea.width()));
        HScroll4->move(HScroll4->x(), frame.top() + frame.height());
        HScroll4->show();
    }
    Picture4->setGeometry(frame);
    VScroll4->move(frame.left() + frame.width(), VScroll4->y());
    // The canvas starts at its top-left corner again, so do the thumbs.
    for (QScrollBar* b : {HScroll4, VScroll4}) {
        const QSignalBlocker block(b);
        b->setValue(0);
    }

    Picture5->setRegion(&ws_.image, sel_, Z);
    ws_.ColorPointCount = countColorPoints(ws_.image, sel_);
    const bool colour = ws_.ColorPointCount != 0;
    for (int n = 1; n <= 6; ++n)
        Option[n]->setVisible(colour);
    for (QLabel* l : {Label17, Label18, Label19, Label20, Label21, Label22})
        l->setVisible(colour);
    Label15->setVisible(!colour);

    Picture5->move(0, 0);
    Picture5->show();
    Picture4->setVisible(W5 > 0 && H5 > 0);
    const QPoint topRight(frame.left() + frame.width(), frame.top());
    const QPoint bottomRight(frame.left() + frame.width(), frame.top() + frame.height());
    Line11->setLine(topRight, Label5->geometry().topLeft());
    Line12->setLine(bottomRight, QPoint(Label5->x(), Label5->y() + Label5->height()));
    // The connectors run unbroken from the frame to the readout, over its scroll bars.
    Line11->raise();
    Line12->raise();
    // The caption sits just above the frame, wherever the region's size puts it.
    Label9->move(Label9->x(), std::max(kZoomLabelTopmost, frame.top() - kZoomLabelGap));
}

// ---- the selection scroll bars ------------------------------------------------

void ExportForm::setBar(QScrollBar* bar, int value)
{
    bar->setValue(value); // a different value runs the bar's change rule
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
    case Bar::H1: Picture3->move(-HScroll1->value(), Picture3->y()); break;
    case Bar::V1: Picture3->move(Picture3->x(), -VScroll1->value()); break;
    case Bar::H4: Picture5->move(-HScroll4->value(), Picture5->y()); break;
    case Bar::V4: Picture5->move(Picture5->x(), -VScroll4->value()); break;
    case Bar::H2: lastColumnRule(); break;
    case Bar::H3: firstColumnRule(); break;
    case Bar::V2:
        if (!dragging) // the last-row bar only acts when its thumb is let go
            lastRowRule();
        break;
    case Bar::V3: firstRowRule(); break;
    }
}

void ExportForm::placeFrame()
{
    Vydelenie->setGeometry(sel_.SelColumnFrom - 1, sel_.SelRowFrom - 1, sel_.SelColumnTo - sel_.SelColumnFrom + 1,
                           sel_.SelRowTo - sel_.SelRowFrom + 1);
}

void ExportForm::zoomAfterChange()
{
    // During a mouse drag the region is redrawn once, when the button is let go.
    if (!NewSelectionPending)
        return;
    setBusy(true, Qt::BusyCursor);
    DrawSelectionZoom();
    setBusy(false);
}

void ExportForm::lastColumnRule()
{
    sel_.SelColumnTo = HScroll2->value();
    setBox(Text4, strForm(sel_.SelColumnTo));
    if (qint64(sel_.SelColumnTo) - sel_.SelColumnFrom > kMaxExportColumns - 1) {
        setBar(HScroll3, sel_.SelColumnTo - (kMaxExportColumns - 1));
        sel_.SelColumnFrom = sel_.SelColumnTo - (kMaxExportColumns - 1);
    }
    if (sel_.SelColumnTo < sel_.SelColumnFrom) {
        setBar(HScroll3, sel_.SelColumnTo);
        sel_.SelColumnFrom = sel_.SelColumnTo;
    }
    setBox(Text3, strForm(sel_.SelColumnFrom));
    setBox(Text5, strForm(qint64(sel_.SelColumnTo) - sel_.SelColumnFrom + 1));
    placeFrame();
    // A thumb drag redraws the zoomed view as it goes, as the number boxes it
    // updates always have.
    zoomAfterChange();
}

void ExportForm::firstColumnRule()
{
    sel_.SelColumnFrom = HScroll3->value();
    setBox(Text3, strForm(sel_.SelColumnFrom));
    if (qint64(sel_.SelColumnTo) - sel_.SelColumnFrom > kMaxExportColumns - 1) {
        setBar(HScroll2, sel_.SelColumnFrom + (kMaxExportColumns - 1));
        sel_.SelColumnTo = sel_.SelColumnFrom + (kMaxExportColumns - 1);
    }
    if (sel_.SelColumnTo < sel_.SelColumnFrom) {
        setBar(HScroll2, sel_.SelColumnFrom);
        sel_.SelColumnTo = sel_.SelColumnFrom;
    }
    setBox(Text4, strForm(sel_.SelColumnTo));
    setBox(Text5, strForm(qint64(sel_.SelColumnTo) - sel_.SelColumnFrom + 1));
    placeFrame();
    zoomAfterChange();
}

void ExportForm::lastRowRule()
{
    sel_.SelRowTo = VScroll2->value();
    if (sel_.SelRowTo < sel_.SelRowFrom) {
        setBar(VScroll3, sel_.SelRowTo);
        sel_.SelRowFrom = sel_.SelRowTo;
        setBox(Text1, integerText(sel_.SelRowFrom));
    }
    setBox(Text2, integerText(sel_.SelRowTo));
    setBox(Text6, strForm(qint64(sel_.SelRowTo) - sel_.SelRowFrom + 1));
    placeFrame();
    zoomAfterChange();
}

void ExportForm::firstRowRule()
{
    sel_.SelRowFrom = VScroll3->value();
    if (sel_.SelRowTo < sel_.SelRowFrom) {
        setBar(VScroll2, sel_.SelRowFrom);
        sel_.SelRowTo = sel_.SelRowFrom;
        setBox(Text2, integerText(sel_.SelRowTo));
    }
    setBox(Text1, integerText(sel_.SelRowFrom));
    setBox(Text6, strForm(qint64(sel_.SelRowTo) - sel_.SelRowFrom + 1));
    placeFrame();
    zoomAfterChange();
}

// ---- typed region numbers -------------------------------------------------------

void ExportForm::regionTyped(RegionBox kind)
{
    QLineEdit* box = kind == RegionBox::FirstRow ? Text1 : kind == RegionBox::LastRow ? Text2
                   : kind == RegionBox::FirstColumn ? Text3 : Text4;
    const ParsedRegionNumber input = parseRegionNumber(box->text());
    if (input.kind == RegionInput::Empty)
        return;
    auto paint = [box](const QColor& c) {
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, c);
        box->setPalette(pal);
    };
    const std::optional<Selection> next = input.kind == RegionInput::Number
        ? applyRegionNumber(kind, input.value, sel_, ws_.image.ImageWidth, ws_.image.ImageHeight)
        : std::nullopt;
    if (!next) {
        paint(rejectedBoxColour());
        return;
    }
    sel_ = *next;
    placeFrame();
    if (kind == RegionBox::FirstRow || kind == RegionBox::LastRow)
        setBox(Text6, strForm(qint64(sel_.SelRowTo) - sel_.SelRowFrom + 1));
    else
        setBox(Text5, strForm(qint64(sel_.SelColumnTo) - sel_.SelColumnFrom + 1));
    paint(windowColour());
    DrawSelectionZoom();
    typingBox_ = box;
    QScrollBar* bar = kind == RegionBox::FirstRow ? VScroll3 : kind == RegionBox::LastRow ? VScroll2
                    : kind == RegionBox::FirstColumn ? HScroll3 : HScroll2;
    setBar(bar, int(input.value));
    typingBox_ = nullptr;
}

// ---- measures and weights ------------------------------------------------------

void ExportForm::selectOption(int n)
{
    if (Option[n]->isChecked())
        optionClicked(n);
    else
        Option[n]->setChecked(true); // its toggled handler records the measure
}

void ExportForm::optionClicked(int n)
{
    ws_.BrightnessMeasure = n;
    if (n <= MeasureBlue)
        ws_.FrameHue = n;
    QLabel* components[3] = {Label12, Label13, Label14};
    for (int i = 0; i < 3; ++i) {
        QFont f = font();
        f.setBold(n == i + 1);
        components[i]->setFont(f);
    }
    QFont f = font();
    f.setBold(n >= MeasureMean);
    Label16->setFont(f);
    Label16->setVisible(n >= MeasureMean);
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
    QLabel* label[3] = {Label18, Label20, Label22};
    *coef[which] = weight.value;
    label[which]->setText(fixedText(weight.value, 3, Precision::Single));
    layoutFormula(1 + 2 * which);
}

void ExportForm::layoutFormula(int from)
{
    QLabel* row[6] = {Label17, Label18, Label19, Label20, Label21, Label22};
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

void ExportForm::picturePressed(int buttons, QPointF)
{
    if (buttons == 1 || buttons == 3) {
        Vydelenie->show();
    } else if (buttons == 2) {
        Vydelenie->show();
        Vydelenie->nextMode();
    } else if (buttons >= 4) {
        Vydelenie->hide();
    }
}

void ExportForm::pictureMoved(int buttons, QPointF pos)
{
    const ImageStore& img = ws_.image;
    const QPoint p = imagePoint(pos.x(), pos.y(), img.ImageWidth, img.ImageHeight);
    MouseColumn = p.x();
    MouseRow = p.y();
    if (!NewSelectionPending && !(buttons & 1)) {
        // The left button went up where this view could not see it.
        dragLost();
    } else if (buttons == 1 || buttons == 3) {
        if (NewSelectionPending) {
            // The selection starts where the pointer is on the first move with the button held.
            NewSelectionPending = false;
            AnchorColumn = MouseColumn;
            AnchorRow = MouseRow;
            Vydelenie->setGeometry(AnchorColumn, AnchorRow, 1, 1);
        } else {
            sel_ = dragSelection(QPoint(AnchorColumn, AnchorRow), p, img.ImageWidth, img.ImageHeight);
            placeFrame();
            setBar(HScroll3, sel_.SelColumnFrom);
            setBar(HScroll2, sel_.SelColumnTo);
            setBar(VScroll3, sel_.SelRowFrom);
            setBar(VScroll2, sel_.SelRowTo);
            // Bring the picture back when the pointer leaves the view at the left or top.
            if (MouseColumn > 0 && HScroll1->value() > 0 && MouseColumn <= HScroll1->value())
                HScroll1->setValue(MouseColumn);
            if (MouseRow > 0 && VScroll1->value() > 0 && MouseRow <= VScroll1->value())
                VScroll1->setValue(MouseRow);
        }
    }
    showReadout(MouseColumn + 1, MouseRow + 1, ReadoutView::Image);
}

void ExportForm::pictureReleased(int button, QPointF)
{
    if (button != 1 && button != 3)
        return;
    NewSelectionPending = true;
    setBusy(true);
    DrawSelectionZoom();
    setBusy(false);
}

void ExportForm::dragLost()
{
    if (NewSelectionPending)
        return;
    NewSelectionPending = true;
    setBusy(true);
    DrawSelectionZoom(); // the region the drag reached, as its release would have drawn
    setBusy(false);
}

bool ExportForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Picture3 && (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut)) {
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
    const QPoint point = zoomedPoint(pos.x(), pos.y(), Zoom, sel_);
    MouseColumn = (point.x() - sel_.SelColumnFrom) * std::max(1, Zoom);
    MouseRow = (point.y() - sel_.SelRowFrom) * std::max(1, Zoom);
    showReadout(point.x(), point.y(), ReadoutView::Zoomed);
}

void ExportForm::zoomPressed(int buttons, QPointF)
{
    const bool in = buttons == 1 || buttons == 3;
    const bool out = buttons == 2 || buttons == 4;
    if (in) {
        if (Zoom >= kMaxZoom) {
            setZoomPointer(art::ZoomGlyph::Out);
            return;
        }
        ++Zoom;
        setZoomPointer(art::ZoomGlyph::In);
    } else if (out && Zoom >= 2) {
        setZoomPointer(art::ZoomGlyph::Out);
        --Zoom;
    } else {
        return;
    }
    DrawSelectionZoom();
    HScroll4->setPageStep(Zoom);
    VScroll4->setPageStep(Zoom);
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
    Picture5->setCursor(QCursor(picture, 12, 12));
}

void ExportForm::showReadout(int column, int row, ReadoutView view)
{
    const Readout r = pixelReadout(ws_.image, column, row, view, ws_.BrightnessMeasure, ws_, ws_.ColorPointCount);
    Label10->setText(r.column);
    Label11->setText(r.row);
    if (r.red)
        Label12->setText(*r.red);
    if (r.green)
        Label13->setText(*r.green);
    if (r.blue)
        Label14->setText(*r.blue);
    if (r.brightness)
        Label16->setText(*r.brightness);
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
    if (!Picture2)
        return;
    const int A = width() - Picture2->x() - 16 - (VScroll1->isVisibleTo(this) ? VScroll1->width() : 0);
    auto widen = [this](int w) {
        Picture2->resize(w, Picture2->height());
        HScroll1->setGeometry(Picture2->x(), HScroll1->y(), w, HScroll1->height());
        HScroll1->setMaximum(std::max(0, Picture3->width() - w + 2));
        HScroll1->show();
        VScroll1->move(Picture2->x() + w, VScroll1->y());
    };
    if (A > Picture2->width()) {
        if (Picture3->width() > Picture2->width())
            widen(A);
        else
            Picture2->resize(Picture3->width(), Picture2->height());
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
        if (Grip[i])
            Grip[i]->setLine(QPoint(W - 9, H - e[i]), QPoint(W - 9 - d[i], H - e[i] + d[i]));
}

void ExportForm::closeEvent(QCloseEvent* event)
{
    // The close box leaves ExportCancelled as the start-up set it: true.
    QDialog::closeEvent(event);
}

void ExportForm::done(int result)
{
    Timer1->stop();
    Timer2->stop();
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
