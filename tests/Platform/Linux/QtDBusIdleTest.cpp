#include "Platform/Linux/QtDBusIdle.h"
#include "DesktopTestSupport.h"

#include <QDBusConnection>
#include <QThread>

#include <gtest/gtest.h>

namespace kestrove {
namespace {

// Idle monitors of the two desktops, answering in milliseconds. They live on a thread of their
// own: the service under test calls them blocking, from the main thread.
class FakeMutterIdle : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public slots:
    qulonglong GetIdletime() { return 4500; }
};

class FakeScreenSaverIdle : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    uint GetSessionIdleTime() { return 1200; }
};

TEST(QtDBusIdleTest, AsksTheScreenSaverFirstThenTheCompositor)
{
    testing_support::ensureApplication();
    QThread thread;
    thread.start();
    FakeMutterIdle mutter;
    FakeScreenSaverIdle screenSaver;
    mutter.moveToThread(&thread);
    screenSaver.moveToThread(&thread);
    auto fake = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-idle");
    QtDBusIdle idle(QDBusConnection::sessionBus());
    EXPECT_EQ(idle.idleSeconds(), std::nullopt) << "no idle monitor on the bus";

    fake.registerObject("/org/gnome/Mutter/IdleMonitor/Core", &mutter,
                        QDBusConnection::ExportAllSlots);
    ASSERT_TRUE(fake.registerService("org.gnome.Mutter.IdleMonitor"));
    EXPECT_EQ(idle.idleSeconds(), 4.5);

    fake.registerObject("/org/freedesktop/ScreenSaver", &screenSaver,
                        QDBusConnection::ExportAllSlots);
    ASSERT_TRUE(fake.registerService("org.freedesktop.ScreenSaver"));
    EXPECT_EQ(idle.idleSeconds(), 1.2);

    QDBusConnection::disconnectFromBus("fake-idle");
    thread.quit();
    thread.wait();
}

} // namespace
} // namespace kestrove

#include "QtDBusIdleTest.moc"
