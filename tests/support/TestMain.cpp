// The main of both test programs; the widget tests build it with LUMISET_WIDGET_TESTS.
#ifdef LUMISET_WIDGET_TESTS
#include <QApplication>
#include <QFont>
#include <QSettings>
#include <QTemporaryDir>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // ctest's discovery runs this binary without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
#if defined(LUMISET_WIDGET_TESTS) && defined(Q_OS_WIN)
    // The offscreen platform on Windows starts from Qt's generic 12-point font;
    // the windows are laid out for the 9-point one Windows gives them.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
#endif
#ifdef LUMISET_WIDGET_TESTS
    // What the windows remember goes to a folder of this run, never to the
    // user's settings, and every test program starts with none.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("lumiset"));
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
