// Switching the language while the windows are open. (That Qt's Russian
// translation file is installed with the program is checked with the package,
// by scripts/check-package.sh.)

#include "ExportFormFixture.h"
#include "UiFixture.h"
#include "common/KeptSettings.h"
#include "export/OutputOptionsDialog.h"
#include "image/Language.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <map>

namespace lumiset::test {
namespace {

/// What the user reads on \a window: its title, and the caption and tip of
/// each visible control.
std::map<const QWidget*, QString> visibleTexts(const QWidget* window)
{
    std::map<const QWidget*, QString> texts{{window, window->windowTitle()}};
    for (const QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisible()) {
            const auto* label = qobject_cast<const QLabel*>(w);
            const auto* button = qobject_cast<const QAbstractButton*>(w);
            const auto* group = qobject_cast<const QGroupBox*>(w);
            texts[w] = w->toolTip() + u'|'
                + (label        ? label->text()
                       : button ? button->text()
                       : group  ? group->title()
                                : QString());
        }
    return texts;
}

// The language chosen in the output options relabels every open window at once
// and is kept; Russian comes back exactly as it was, with Qt's own texts in
// Russian whatever the system locale.
TEST_F(ExportFormTest, ChoosingALanguageRelabelsEveryOpenWindow)
{
    const auto russianAfterwards = qScopeGuard([] {
        useLanguage(Language::Russian, false);
        saveLanguage(Language::Russian);
    });
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // the fixture restores it
    ASSERT_TRUE(useLanguage(Language::Russian, true)) << "qtbase_ru.qm (Debian's qt6-translations-l10n)";
    open(bmp24(16, 2));
    start();
    RecordingForm openWindow(folder, {{QStringLiteral("test"), folder}});
    openWindow.show();
    openWindow.openListEntry(openWindow.fileEntries().indexOf(QStringLiteral("picture.bmp")));
    OutputOptionsDialog dialog({}, form.get());
    dialog.show();
    QCoreApplication::processEvents(); // the report box's scroll bar, once laid out
    const QWidget* windows[] = {&openWindow, form.get(), &dialog};
    std::map<const QWidget*, QString> russian[3];
    for (int i = 0; i < 3; ++i)
        russian[i] = visibleTexts(windows[i]);
    auto* language = dialog.findChild<QComboBox*>(QStringLiteral("Language"));
    auto choose = [language](const QString& name) {
        emit language->activated(language->findText(name));
        QCoreApplication::sendPostedEvents(); // the application's LanguageChange, then the windows'
        QCoreApplication::sendPostedEvents();
    };

    choose(QStringLiteral("English"));
    EXPECT_EQ(savedLanguage(), Language::English);
    for (int i = 0; i < 3; ++i)
        for (const auto& [control, text] : visibleTexts(windows[i])) {
            SCOPED_TRACE(control->objectName().toStdString() + " " + text.toStdString());
            EXPECT_FALSE(
                std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.script() == QChar::Script_Cyrillic; }));
            EXPECT_FALSE(text == u"|" && russian[i].count(control) && russian[i].at(control) != u"|")
                << "a caption was lost";
        }

    choose(QStringLiteral("Русский"));
    EXPECT_EQ(savedLanguage(), Language::Russian);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(visibleTexts(windows[i]), russian[i]) << windows[i]->objectName().toStdString();
    EXPECT_EQ(form->windowTitle().toStdString(), "Вывод в таблицу");
    EXPECT_EQ(c<QAbstractButton>("Option4")->text().toStdString(), "Среднее арифметическое значение");
    EXPECT_EQ(openWindow.control<QAbstractButton>("Check1")->text().toStdString(), "Показывать файл");
    EXPECT_EQ(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text().toStdString(), "Отмена");
}

} // namespace
} // namespace lumiset::test
