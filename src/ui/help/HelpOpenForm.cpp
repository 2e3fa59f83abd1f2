#include "HelpOpenForm.h"

#include "Version.h"
#include "common/PictureButton.h"
#include "image/Language.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>

namespace lumiset {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setWordWrap(true);
    return l;
}

/// \a w named \a name at \a at.
template <class W> W* placed(W* w, const char* name, QPoint at)
{
    w->setObjectName(QLatin1String(name));
    w->move(at);
    return w;
}

void embolden(QLabel* l)
{
    QFont strong = l->font();
    strong.setBold(true);
    l->setFont(strong);
}

constexpr int kHintHeight = 20;

} // namespace

QString HelpOpenForm::versionText()
{
    return tr("Версия %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch);
}

QUrl HelpOpenForm::manualUrl()
{
    // Installed next to the program (bin/../share/doc/lumiset/manual), or the
    // copy in the source tree when the program runs from its build folder.
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates{
        appDir + QStringLiteral("/../share/doc/lumiset/manual/index.html"),
        appDir + QStringLiteral("/manual/index.html"),
#ifdef LUMISET_SOURCE_MANUAL
        QStringLiteral(LUMISET_SOURCE_MANUAL),
#endif
    };
    // The English manual, where there is one, lies beside the Russian.
    const bool english = currentLanguage() == Language::English;
    for (const QString& path : candidates) {
        if (!QFileInfo::exists(path))
            continue;
        const QString translated = QString(path).replace(QLatin1String("/index.html"), QLatin1String("/index.en.html"));
        const QString chosen = english && QFileInfo::exists(translated) ? translated : path;
        return QUrl::fromLocalFile(QFileInfo(chosen).canonicalFilePath());
    }
    return QUrl::fromLocalFile(QDir::cleanPath(candidates.first()));
}

HelpOpenForm::HelpOpenForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpOpenForm"));
    setWindowTitle(tr("О программе Lumiset"));
    setFixedSize(540, 436);
    setMouseTracking(true);

    headline_ = label(this, "Label1",
                      tr("Программа выводит яркость точек изображения *.bmp в таблицу Excel или "
                         "сохраняет в файл CSV."),
                      QRect(14, 10, 512, 36));
    embolden(headline_);

    conversionCaption_ = label(this, "Label2",
                               tr("Действие программы - преобразование яркостей изображения в таблицу:"),
                               QRect(14, 54, 512, 20));
    examplePicture_ = placed(new ArtView(art::examplePicture, QSize(150, 125), this), "Image1", {34, 84});
    arrowPicture_ = placed(new ArtView(art::conversionArrow, QSize(56, 40), this), "Image2", {198, 126});
    tablePicture_ = placed(new ArtView(art::brightnessTable, QSize(252, 125), this), "Image3", {268, 84});
    badgePicture_ = placed(new ArtView(art::tableBadge, QSize(40, 40), this), "Image5", {206, 176});
    sourceCaption_ = label(this, "Label3", tr("Исходный файл (например, tyu2.bmp)"), QRect(14, 214, 190, 36));
    sourceCaption_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    tableCaption_ = label(this, "Label4", tr("Яркости точек (к примеру) красной составляющей"),
                          QRect(268, 214, 252, 36));
    tableCaption_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    helpTextBox_ = new QPlainTextEdit(helpText(), this);
    helpTextBox_->setObjectName(QStringLiteral("Text1"));
    helpTextBox_->setGeometry(14, 54, 511, 229); // starts even and ends odd: the frame stays whole at scale 1.5
    helpTextBox_->setReadOnly(true);
    helpTextBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    helpTextBox_->hide();

    separator_ = new LineControl(this, art::colour::edge);
    separator_->setObjectName(QStringLiteral("Line1"));
    separator_->setLine(QPoint(14, 294), QPoint(525, 294));

    versionLabel_ = label(this, "lblVersion", QString(), QRect(14, 304, 250, 20));
    versionLabel_->setText(versionText());
    label(this, "Label5", tr("Разработка: команда Lumiset"), QRect(14, 326, 300, 20));
    label(this, "Label6", tr("Выпуск 2026 года"), QRect(14, 348, 300, 20));
    siteCaption_ = label(this, "Label8", tr("Сайт:"), QRect(14, 370, 40, 20));
    manualLink_ = label(this, "Label7", tr("Руководство пользователя"), QRect(56, 370, 220, 20));
    QFont underlined = manualLink_->font();
    underlined.setUnderline(true);
    manualLink_->setFont(underlined);
    manualLink_->setCursor(Qt::PointingHandCursor);
    manualLink_->setMouseTracking(true);
    manualLink_->setToolTip(manualUrl().toLocalFile());
    manualLink_->installEventFilter(this);
    setLinkColour(art::colour::link);

    pageButton_ = placed(new PictureButton(art::moreButton, QSize(120, 26), this), "Image14", {296, 398});
    closeButton_ = placed(new PictureButton(art::closeButton, QSize(104, 26), this), "Image8", {422, 398});

    // Every label is transparent to the pointer so the window sees it move
    // and can turn the link back to its resting colour.
    for (QLabel* l : findChildren<QLabel*>())
        if (l != manualLink_)
            l->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (ArtView* v : findChildren<ArtView*>())
        v->setAttribute(Qt::WA_TransparentForMouseEvents);

    connect(pageButton_, &QAbstractButton::clicked, this, &HelpOpenForm::switchPage);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::accept);
}

bool HelpOpenForm::showsHelpText() const
{
    return !helpTextBox_->isHidden();
}

void HelpOpenForm::switchPage()
{
    // The switch first types "A" into whatever has the keyboard; only the
    // read-only help text takes keys, so nothing changes.
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A")));
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A")));

    const bool toText = helpTextBox_->isHidden();
    helpTextBox_->setVisible(toText);
    for (QWidget* w : {static_cast<QWidget*>(examplePicture_), static_cast<QWidget*>(arrowPicture_),
                       static_cast<QWidget*>(tablePicture_), static_cast<QWidget*>(badgePicture_),
                       static_cast<QWidget*>(conversionCaption_), static_cast<QWidget*>(sourceCaption_),
                       static_cast<QWidget*>(tableCaption_)})
        w->setVisible(!toText);
    pageButton_->setPicture(toText ? art::backButton : art::moreButton);
}

void HelpOpenForm::setLinkColour(const QColor& colour)
{
    QPalette pal = manualLink_->palette();
    pal.setColor(QPalette::WindowText, colour);
    manualLink_->setPalette(pal);
}

void HelpOpenForm::mouseMoveEvent(QMouseEvent* event)
{
    setLinkColour(art::colour::link);
    QDialog::mouseMoveEvent(event);
}

bool HelpOpenForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == manualLink_) {
        if (event->type() == QEvent::MouseMove) {
            setLinkColour(art::colour::linkHover);
            return true; // not passed on to the window, which would dim the link again
        }
        if (event->type() == QEvent::Enter)
            setLinkColour(art::colour::linkHover);
        else if (event->type() == QEvent::Leave)
            setLinkColour(art::colour::link);
        else if (event->type() == QEvent::MouseButtonRelease
                 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            openLink(manualUrl()); // the help window stays open
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void HelpOpenForm::openLink(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

HelpExportForm::HelpExportForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpExportForm"));
    setWindowTitle(tr("Справка: вывод в таблицу"));
    setFixedSize(640, 344);

    // Three framed groups: the region, the data, the zoom.
    const QRect frames[] = {{10, 34, 620, 56}, {10, 96, 620, 148}, {10, 250, 620, 40}};
    for (const QRect& r : frames) {
        auto* frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(r);
    }
    QLabel* headline = label(this, "Label1", tr("После загрузки файла можно сделать следующие настройки:"),
                             QRect(14, 8, 610, kHintHeight));
    headline->setWordWrap(false);
    embolden(headline);
    // Each hint is one line: its name, left edge, top, width and text.
    const struct {
        const char* name;
        int left, top, width;
        const char* text;
    } hints[] = {
        {"Label2", 20, 42, 600, QT_TR_NOOP("1)  Выбрать область для вывода в таблицу на изображении")},
        {"Label3", 38, 64, 588,
         QT_TR_NOOP("(левой кнопкой мыши, а правая кнопка изменяет цвет прямоугольника выделения)")},
        {"Label4", 20, 102, 600, QT_TR_NOOP("2)  Задать, какие данные вывести:")},
        {"Label5", 38, 124, 580, QT_TR_NOOP(" а) Яркость красной, зелёной или синей составляющей")},
        {"Label6", 38, 146, 580, QT_TR_NOOP(" б) Яркость как среднее арифметическое")},
        {"Label7", 42, 168, 580, QT_TR_NOOP("в) Яркость как максимальное значение из красной зелёной и синей")},
        {"Label8", 42, 198, 80, QT_TR_NOOP("г) Или как")},
        {"Label9", 20, 260, 606,
         QT_TR_NOOP("3) В выделнной области левая кнопка мыши увеличивает, а правая уменьшает.")},
    };
    for (const auto& hint : hints)
        label(this, hint.name, tr(hint.text), QRect(hint.left, hint.top, hint.width, kHintHeight))->setWordWrap(false);
    placed(new ArtView(art::luminanceFormula, QSize(260, 28), this), "Image2", {122, 194});

    auto* close = placed(new PictureButton(art::closeButton, QSize(104, 26), this), "Image1", {526, 304});
    connect(close, &QAbstractButton::clicked, this, &QDialog::accept);
}

} // namespace lumiset
