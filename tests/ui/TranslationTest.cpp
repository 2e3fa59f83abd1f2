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

#include <functional>
#include <memory>

namespace {

/// The visible words of Qt's texts: the shortcut after a tab and the "&" of
/// the mnemonic are left out.
QStringList words(const QStringList& texts)
{
    QStringList result;
    for (const QString& text : texts)
        result.append(text.section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')));
    return result;
}

QStringList textBoxMenu()
{
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            texts.append(action->text());
    return texts;
}

QStringList inputDialogCancel()
{
    QInputDialog dialog;
    dialog.show(); // the buttons are made on first show
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    return {buttons ? buttons->button(QDialogButtonBox::Cancel)->text() : QString()};
}

struct QtTextCase {
    const char* where;
    std::function<QStringList()> texts;
    int count;
};

} // namespace

TEST(QtRussianTexts, StandardWidgetsSpeakRussianUnderAnEnglishLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTranslator* translator = lumiset::installQtRussian(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr) << "qtbase_ru.qm not found (Debian package qt6-translations-l10n)";

    // Undo, Redo, Cut, Copy, Paste, Delete, Select All; Cancel.
    const QtTextCase cases[] = {
        {"text box menu", textBoxMenu, 7},
        {"input dialog", inputDialogCancel, 1},
    };
    const QRegularExpression russian(QStringLiteral("^[А-Яа-яЁё ]+$"));
    for (const QtTextCase& c : cases) {
        SCOPED_TRACE(c.where);
        const QStringList shown = words(c.texts());
        ASSERT_EQ(shown.size(), c.count);
        for (const QString& text : shown)
            EXPECT_TRUE(russian.match(text).hasMatch()) << text.toStdString();
    }

    QCoreApplication::removeTranslator(translator);
    delete translator;
    QLocale::setDefault(before);
}
