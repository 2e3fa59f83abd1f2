// Qt's own texts on the program's windows (dialog buttons, the menu of a text
// box) are Russian like the rest of the interface, whatever the system locale.

#include "common/Translation.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTranslator>

#include <gtest/gtest.h>

#include <memory>

TEST(QtRussianTexts, StandardWidgetsSpeakRussianUnderAnEnglishLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTranslator* translator = lumiset::installQtRussian(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr) << "qtbase_ru.qm not found (Debian package qt6-translations-l10n)";

    QLineEdit edit; // Undo, Redo, Cut, Copy, Paste, Delete, Select All
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList shown;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator()) // the shortcut after a tab and the mnemonic's "&" are no words
            shown << action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
    QInputDialog dialog;
    dialog.show(); // the buttons are made on first show
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    shown << buttons->button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&'));

    ASSERT_EQ(shown.size(), 8);
    const QRegularExpression russian(QStringLiteral("^[А-Яа-яЁё ]+$"));
    for (const QString& text : shown)
        EXPECT_TRUE(russian.match(text).hasMatch()) << text.toStdString();
    QCoreApplication::removeTranslator(translator);
    delete translator;
    QLocale::setDefault(before);
}
