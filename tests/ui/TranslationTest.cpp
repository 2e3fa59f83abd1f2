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
