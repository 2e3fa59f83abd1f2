// Qt's own texts on the program's windows are Russian like the rest of the
// interface, whatever the system locale. (That Qt's translation file holds
// them is checked with the package, by scripts/check-package.sh.)

#include "image/Language.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>

#include <gtest/gtest.h>

TEST(QtRussianTexts, LoadedUnderAnEnglishLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const bool loaded = lumiset::useLanguage(lumiset::Language::Russian, true);
    const auto restore = qScopeGuard([&] {
        lumiset::useLanguage(lumiset::Language::Russian, false);
        QLocale::setDefault(before);
    });
    ASSERT_TRUE(loaded) << "qtbase_ru.qm not found (Debian package qt6-translations-l10n)";

    QInputDialog dialog;
    dialog.show(); // the buttons are made on first show
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().toStdString(), "Отмена");
}

// ---- switching the language while the windows are open -----------------------

#include "ExportFormFixture.h"
#include "UiFixture.h"
#include "common/KeptSettings.h"
#include "export/OutputOptionsDialog.h"

#include <QComboBox>
#include <QGroupBox>

#include <map>

namespace lumiset::test {
namespace {

/// Russian, Qt's texts included, for the test; Russian again however it ends.
struct RussianAfterwards {
    RussianAfterwards() { loaded = useLanguage(Language::Russian, true); }
    ~RussianAfterwards()
    {
        useLanguage(Language::Russian, false);
        saveLanguage(Language::Russian);
    }
    bool loaded = false;
};

/// Delivers the LanguageChange events: the application's, then the windows'.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
}

/// What the user reads on \a window: its title and, for every visible
/// control, its caption and tip, keyed by the control.
std::map<const QWidget*, QString> visibleTexts(const QWidget* window)
{
    std::map<const QWidget*, QString> texts{{window, window->windowTitle()}};
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        // These are the reader's report and captions, which the core translates.
        static const QStringList coreTexts{QStringLiteral("Label1"), QStringLiteral("Label2"),
                                           QStringLiteral("Label4")};
        if (!w->isVisible() || (window->inherits("lumiset::OpenForm") && coreTexts.contains(w->objectName())))
            continue;
        QString text = w->toolTip();
        if (const auto* label = qobject_cast<const QLabel*>(w))
            text += QLatin1Char('|') + label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            text += QLatin1Char('|') + button->text();
        else if (const auto* group = qobject_cast<const QGroupBox*>(w))
            text += QLatin1Char('|') + group->title();
        texts[w] = text;
    }
    return texts;
}

bool hasCyrillic(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

class LanguageSwitchTest : public ExportFormTest { };

// The language chosen in the output options relabels every open window at once,
// is kept for the next run, and Russian comes back exactly as it was.
TEST_F(LanguageSwitchTest, ChoosingALanguageRelabelsEveryOpenWindow)
{
    const RussianAfterwards russian;
    ASSERT_TRUE(russian.loaded);
    open(bmp24(16, 2));
    start();
    RecordingForm openWindow(folder, {{QStringLiteral("test"), folder}});
    openWindow.show();
    openWindow.openListEntry(openWindow.fileEntries().indexOf(QStringLiteral("picture.bmp")));
    OutputOptionsDialog dialog({}, form.get());
    dialog.show();
    const QWidget* windows[] = {&openWindow, form.get(), &dialog};
    std::map<const QWidget*, QString> before[3];
    for (int i = 0; i < 3; ++i)
        before[i] = visibleTexts(windows[i]);
    auto* language = dialog.findChild<QComboBox*>(QStringLiteral("Language"));
    ASSERT_NE(language, nullptr);

    emit language->activated(language->findText(QStringLiteral("English")));
    settle();
    EXPECT_EQ(currentLanguage(), Language::English);
    EXPECT_EQ(savedLanguage(), Language::English);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(windows[i]->objectName().toStdString());
        const auto english = visibleTexts(windows[i]);
        EXPECT_GT(english.size(), 5u);
        for (const auto& [control, text] : english) {
            SCOPED_TRACE(control->objectName().toStdString());
            EXPECT_FALSE(hasCyrillic(text)) << text.toStdString();
            EXPECT_FALSE(hasCyrillic(before[i][control]) && text.isEmpty()) << "a caption was lost";
        }
    }

    emit language->activated(language->findText(QStringLiteral("Русский")));
    settle();
    EXPECT_EQ(savedLanguage(), Language::Russian);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(visibleTexts(windows[i]), before[i]) << windows[i]->objectName().toStdString();
    EXPECT_EQ(form->windowTitle().toStdString(), "Вывод в таблицу");
    EXPECT_EQ(c<QAbstractButton>("Option4")->text().toStdString(), "Среднее арифметическое значение");
    EXPECT_EQ(openWindow.control<QAbstractButton>("Check1")->text().toStdString(), "Показывать файл");
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Параметры вывода");
}

} // namespace
} // namespace lumiset::test
