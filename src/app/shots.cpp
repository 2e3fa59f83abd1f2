// lumiset-shots: the program's windows for the screenshot script. It starts
// as lumiset does, then selects a file, opens a window over the form and grabs
// it into a PNG. Built beside the program, never installed.

#include "Startup.h"
#include "export/ExportForm.h"
#include "help/HelpOpenForm.h"
#include "image/PixelLoader.h"
#include "open/OpenForm.h"
#include "output/ExportPreparation.h"
#include "output/WorksheetLimits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

/// What to show and where to save it.
struct Hooks {
    QString folder;
    QString select;            ///< file of the folder to select after start-up
    int helpPage = 0;          ///< 1 summary, 2 help text, 3 export help: shown over the window
    QString shot;              ///< grab into this PNG and quit
    bool exportWindow = false; ///< open the export window on the selected file
    int zoom = 0;              ///< zoom of the export window's magnified view
    QString focus;             ///< control of the shown window to give the keyboard focus
    bool workbook = false;     ///< write the selected picture whole to a workbook; grabbed while it is saved
    bool unwritable = false;   ///< the same, with neither the picture's folder nor the fallback usable
    bool options = false;      ///< open the output options over the export window
};

/// The open window whose export window is replaced by a confirmed export of
/// the whole picture (as wide as a worksheet allows), and whose workbooks are
/// not handed to a spreadsheet program.
class ShotForm : public lumiset::OpenForm {
public:
    explicit ShotForm(const QString& folder) : OpenForm(folder)
    {
        setDocumentOpener([](const QString&) { return true; });
    }
    bool wholePicture = false;

protected:
    void showExportWindow(bool keepRegion) override
    {
        if (!wholePicture) {
            OpenForm::showExportWindow(keepRegion);
            return;
        }
        lumiset::Workspace& ws = workspace();
        if (keepRegion
            || (ws.image.ImageState < lumiset::ImageState::PixelsLoaded
                && lumiset::loadPixels(ws.image) != lumiset::LoadResult::Loaded))
            return; // cancelled
        ws.image.ImageState = lumiset::ImageState::PixelsLoaded;
        ws.selection = {1, std::min(ws.image.ImageWidth, lumiset::kMaxExportColumns), 1, ws.image.ImageHeight};
        ws.measure.ColorPointCount = lumiset::countColorPoints(ws.image, ws.selection);
        lumiset::prepareExportRequest(ws, false);
    }
};

Hooks parse(const QStringList& args)
{
    Hooks h;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--select") && i + 1 < args.size())
            h.select = args[++i];
        else if (a == QLatin1String("--help-page") && i + 1 < args.size())
            h.helpPage = args[++i].toInt();
        else if (a == QLatin1String("--export"))
            h.exportWindow = true;
        else if (a == QLatin1String("--zoom") && i + 1 < args.size())
            h.zoom = args[++i].toInt();
        else if (a == QLatin1String("--focus") && i + 1 < args.size())
            h.focus = args[++i];
        else if (a == QLatin1String("--shot") && i + 1 < args.size())
            h.shot = args[++i];
        else if (a == QLatin1String("--workbook"))
            h.workbook = true;
        else if (a == QLatin1String("--options"))
            h.exportWindow = h.options = true;
        else if (a == QLatin1String("--unwritable"))
            h.workbook = h.unwritable = true;
        else if (!a.startsWith(QLatin1String("--")) && h.folder.isEmpty())
            h.folder = a;
    }
    // A picture named instead of a folder starts in its folder, selected.
    if (const std::optional<lumiset::StartPlace> place = lumiset::startPlaceOf(h.folder)) {
        h.folder = place->folder;
        if (h.select.isEmpty())
            h.select = place->fileName;
    }
    return h;
}

/// The top-level window the user sees last: a message box or help window over the form.
QPixmap grabShown(QWidget* fallback)
{
    QWidget* top = QApplication::activeModalWidget();
    if (top && top != fallback) {
        // A message box over the window: take the screen area around both.
        const QRect area = fallback->frameGeometry().united(top->frameGeometry());
        if (QScreen* screen = fallback->screen())
            return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    }
    return fallback->grab();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QString unknownLanguage;
    lumiset::prepareApplication(app,
                                lumiset::chosenLanguage(lumiset::languageOption(app.arguments(), &unknownLanguage)));
    const Hooks hooks = parse(app.arguments());

    ShotForm form(hooks.folder);
    form.show();

    QWidget* shown = &form;
    if (hooks.exportWindow) {
        // Shown without blocking so that the grab below can run; the window
        // reads the pixels on its own first timer tick.
        lumiset::ExportForm& exportForm = form.exportForm();
        shown = &exportForm;
        QTimer::singleShot(50, &form, [&form, &exportForm, hooks] {
            form.selectFile(hooks.select);
            exportForm.showWindow();
            if (hooks.zoom > 0)
                QTimer::singleShot(500, &exportForm, [&exportForm, hooks] {
                    exportForm.setZoom(hooks.zoom);
                    exportForm.drawZoomedRegion();
                });
            if (hooks.options) // modal: the grab below runs inside it
                QTimer::singleShot(400, &exportForm, [&exportForm] {
                    exportForm.findChild<QAbstractButton*>(QStringLiteral("OutputOptions"))->click();
                });
        });
    }
    if (hooks.helpPage == 3) {
        shown = new lumiset::HelpExportForm(&form);
        shown->show();
    } else if (hooks.helpPage > 0) {
        shown = new lumiset::HelpOpenForm(&form);
        shown->show();
        if (hooks.helpPage == 2)
            shown->findChild<QAbstractButton*>(QStringLiteral("Image14"))->click();
    }
    if (!hooks.focus.isEmpty()) {
        // After the window's own start-up, which may place the focus itself.
        QTimer::singleShot(600, shown, [shown, hooks] {
            shown->activateWindow();
            if (QWidget* control = shown->findChild<QWidget*>(hooks.focus))
                control->setFocus(Qt::TabFocusReason);
        });
    }
    // A workbook being saved is grabbed when the strip says so; every other
    // shot once the export button has slid in.
    const bool grabWhileSaving = hooks.workbook && !hooks.unwritable;
    if (!hooks.shot.isEmpty() && !grabWhileSaving) {
        // Long enough for the export button to finish sliding in; also fires
        // inside a message box that the selection may raise.
        // The options dialog is modal and takes a moment longer to map at a larger scale.
        QTimer::singleShot(hooks.options ? 1500 : 800, shown, [shown, hooks] {
            grabShown(shown).save(hooks.shot);
            QCoreApplication::exit(0);
        });
    }
    if (hooks.workbook) {
        form.wholePicture = true;
        QTimer::singleShot(50, &form, [&form, hooks, grabWhileSaving] {
            form.selectFile(hooks.select);
            if (hooks.unwritable) {
                // Read now: the picture's folder goes, and the fallback does not exist.
                lumiset::ImageStore& image = form.workspace().image;
                if (lumiset::loadPixels(image) == lumiset::LoadResult::Loaded)
                    image.ImageState = lumiset::ImageState::PixelsLoaded;
                form.setWorkbookFallbackFolder(QDir(hooks.folder).filePath(QStringLiteral("missing")));
                QDir(hooks.folder).removeRecursively();
            }
            if (grabWhileSaving) {
                auto* poll = new QTimer(&form);
                QObject::connect(poll, &QTimer::timeout, &form, [&form, hooks, poll] {
                    if (form.findChild<QLabel*>(QStringLiteral("Label5"))->text()
                        != QCoreApplication::translate("WorkbookTexts", "Сохранение…"))
                        return;
                    poll->stop();
                    QTimer::singleShot(300, &form, [&form, hooks] { // the bar a few steps on
                        form.grab().save(hooks.shot);
                        QCoreApplication::exit(0);
                    });
                });
                poll->start(20);
            }
            emit form.exportRequested();
        });
    }
    if (!hooks.select.isEmpty() && !hooks.exportWindow && !hooks.workbook)
        QTimer::singleShot(0, &form, [&form, hooks] { form.selectFile(hooks.select); });
    const int status = app.exec();
    lumiset::XlsxWorkbook::waitForAbandonedSaves();
    return status;
}
