#include "help/HelpOpenForm.h"
#include "open/OpenForm.h"

#include <QApplication>
#include <QAbstractButton>
#include <QDir>
#include <QListWidget>
#include <QTimer>

namespace {

/// Options the screenshot script uses; not part of the program's interface.
struct Hooks {
    QString folder;
    QString select;   ///< file of the folder to select after start-up
    int helpPage = 0; ///< 1 summary, 2 help text: shows the help window instead
    QString shot;     ///< grab the window into this PNG and quit
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
        else if (a == QLatin1String("--shot") && i + 1 < args.size())
            h.shot = args[++i];
        else if (!a.startsWith(QLatin1String("--")) && h.folder.isEmpty())
            h.folder = QDir(a).absolutePath();
    }
    return h;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const Hooks hooks = parse(app.arguments());

    lumiset::OpenForm form(hooks.folder);
    form.show();
    if (!hooks.select.isEmpty()) {
        const auto entries = form.findChild<QListWidget*>(QStringLiteral("File1"));
        const auto items = entries ? entries->findItems(hooks.select, Qt::MatchExactly) : QList<QListWidgetItem*>();
        if (!items.isEmpty())
            entries->setCurrentItem(items.first());
    }
    if (hooks.helpPage > 0) {
        auto* help = new lumiset::HelpOpenForm(&form);
        help->show();
        if (hooks.helpPage == 2)
            help->findChild<QAbstractButton*>(QStringLiteral("Image14"))->click();
        if (!hooks.shot.isEmpty())
            QTimer::singleShot(700, help, [help, hooks] { help->grab().save(hooks.shot); qApp->quit(); });
    } else if (!hooks.shot.isEmpty()) {
        // Long enough for the export button to finish sliding in.
        QTimer::singleShot(700, &form, [&form, hooks] { form.grab().save(hooks.shot); qApp->quit(); });
    }
    return app.exec();
}
