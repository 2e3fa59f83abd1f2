#include "common/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace lumiset::test {
namespace {

Qt::CursorShape shown()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

// A window takes down only the pointers it put up, and all of them when it goes.
TEST(BusyCursorTest, WindowTakesDownItsOwnPointersOnly)
{
    QGuiApplication::setOverrideCursor(Qt::IBeamCursor); // another window's
    {
        BusyCursor busy;
        busy.show();
        busy.show(Qt::BusyCursor);
        busy.hide();
        EXPECT_EQ(shown(), Qt::WaitCursor);
        busy.show(Qt::BusyCursor);
    }
    EXPECT_EQ(shown(), Qt::IBeamCursor) << "both left up went with the window";
    BusyCursor idle;
    idle.hide();
    EXPECT_EQ(shown(), Qt::IBeamCursor) << "nothing of its own to take down";
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace lumiset::test
