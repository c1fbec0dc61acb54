#include "Platform/Linux/QtSystemEvents.h"
#include "DesktopTestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QTest>

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

namespace kestrove {
namespace {

constexpr int kWaitMilliseconds = 3000;
const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/_3");

// A stand-in login manager: it hands out delay inhibitors as pipes whose read ends the test
// keeps, so that it can see when Kestrove lets go of one.
class FakeLogin1Manager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    std::vector<int> inhibitorReadEnds; // left open: the test process is short-lived

    // True when every holder of the newest inhibitor has closed it.
    bool newestInhibitorReleased() const
    {
        pollfd p{inhibitorReadEnds.back(), POLLIN, 0};
        return ::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLIN));
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString&, const QString&,
                                    const QString& mode)
    {
        EXPECT_EQ(what + mode, "sleepdelay");
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        inhibitorReadEnds.push_back(fds[0]);
        QDBusUnixFileDescriptor handle(fds[1]); // duplicates the descriptor
        ::close(fds[1]);
        return handle;
    }
    QDBusObjectPath GetSession(const QString&) { return QDBusObjectPath(kSessionPath); }
};

class FakeLogin1Session : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool Active READ active)
    Q_PROPERTY(bool LockedHint READ lockedHint)

public:
    bool active() const { return false; }
    bool lockedHint() const { return locked; }

    bool locked = false;
};

class QtSystemEventsTest : public testing::Test
{
protected:
    QtSystemEventsTest()
    {
        testing_support::ensureApplication();
        fake = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-login1");
        fake.registerObject("/org/freedesktop/login1", &manager, QDBusConnection::ExportAllSlots);
        fake.registerObject(kSessionPath, &session, QDBusConnection::ExportAllProperties);
        for (const char* name : {"org.freedesktop.login1", "org.freedesktop.ScreenSaver"}) {
            EXPECT_TRUE(fake.registerService(name));
        }
    }
    ~QtSystemEventsTest() override
    {
        fake.unregisterService("org.freedesktop.login1");
        fake.unregisterService("org.freedesktop.ScreenSaver");
        QDBusConnection::disconnectFromBus("fake-login1");
    }

    void emitSignal(const QString& path, const QString& interface, const QString& member,
                    const QVariantList& arguments = {})
    {
        auto message = QDBusMessage::createSignal(path, interface, member);
        message.setArguments(arguments);
        fake.send(message);
    }
    void prepareForSleep(bool start)
    {
        emitSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
                   {start});
    }

    // The service is ready once it holds its first inhibitor and watches the session.
    std::unique_ptr<QtSystemEvents> makeEvents(SystemEvents::Handlers handlers)
    {
        auto bus = QDBusConnection::sessionBus();
        auto result = std::make_unique<QtSystemEvents>(bus, bus);
        result->addObserver(std::move(handlers));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return result->holdsSleepDelay() && !result->sessionPath().isEmpty(); },
            kWaitMilliseconds));
        return result;
    }

    FakeLogin1Manager manager;
    FakeLogin1Session session;
    QDBusConnection fake{QString()};
};

TEST_F(QtSystemEventsTest, AScreenLockedBeforeTheStartIsReportedLocked)
{
    session.locked = true;
    int locks = 0;
    SystemEvents::Handlers handlers;
    handlers.screenLocked = [&] { ++locks; };
    auto events = makeEvents(handlers);
    EXPECT_TRUE(QTest::qWaitFor([&] { return events->isScreenLocked(); }, kWaitMilliseconds));
    EXPECT_EQ(locks, 1);
}

TEST_F(QtSystemEventsTest, SleepHoldsTheDelayUntilTheSegmentIsClosedAndWakeTakesANewOne)
{
    std::function<void()> ready;
    int wakes = 0;
    SystemEvents::Handlers handlers;
    handlers.willSleep = [&](std::function<void()> r) { ready = std::move(r); };
    handlers.didWake = [&] { ++wakes; };
    auto events = makeEvents(handlers);
    SystemEvents::Handlers prompt; // answers at once, twice: that counts once
    prompt.willSleep = [](std::function<void()> r) { r(), r(); };
    events->addObserver(prompt);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !events->isSessionActive(); }, kWaitMilliseconds))
        << "the session's Active property is read at start";

    prepareForSleep(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(ready); }, kWaitMilliseconds));
    EXPECT_TRUE(events->isAsleep());
    QTest::qWait(50);
    EXPECT_FALSE(manager.newestInhibitorReleased());
    ready();
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager.newestInhibitorReleased(); }, 1000));

    prepareForSleep(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return wakes == 1 && events->holdsSleepDelay(); },
                                kWaitMilliseconds));
    EXPECT_FALSE(events->isAsleep());
    EXPECT_EQ(manager.inhibitorReadEnds.size(), 2u);
    ready(); // late answer from the earlier sleep: the new inhibitor stays
    EXPECT_TRUE(events->holdsSleepDelay());
}

TEST_F(QtSystemEventsTest, LockAndSleepAreSeparateStates)
{
    std::vector<std::string> seen;
    SystemEvents::Handlers handlers;
    handlers.willSleep = [&](std::function<void()> ready) {
        seen.push_back("sleep");
        ready();
    };
    handlers.didWake = [&] { seen.push_back("wake"); };
    handlers.screenLocked = [&] { seen.push_back("lock"); };
    handlers.screenUnlocked = [&] { seen.push_back("unlock"); };
    handlers.sessionActiveChanged = [&](bool a) { seen.push_back(a ? "active" : "inactive"); };
    auto events = makeEvents(handlers);
    auto settle = [&](std::size_t count) {
        return QTest::qWaitFor([&] { return seen.size() >= count; }, kWaitMilliseconds);
    };

    emitSignal(kSessionPath, "org.freedesktop.login1.Session", "Lock");
    ASSERT_TRUE(settle(1));
    prepareForSleep(true);
    prepareForSleep(false);
    ASSERT_TRUE(settle(3));
    EXPECT_TRUE(events->isScreenLocked()) << "waking does not unlock the screen";

    // The screen saver's shield going down unlocks; a second unlock is no change.
    emitSignal("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged",
               {false});
    emitSignal(kSessionPath, "org.freedesktop.login1.Session", "Unlock");
    emitSignal(kSessionPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
               {"org.freedesktop.login1.Session", QVariantMap{{"Active", true}}, QStringList{}});
    ASSERT_TRUE(settle(5));
    QTest::qWait(50);
    EXPECT_EQ(seen, (std::vector<std::string>{"lock", "sleep", "wake", "unlock", "active"}));
    EXPECT_FALSE(events->isScreenLocked());
    EXPECT_TRUE(events->isSessionActive());
}

} // namespace
} // namespace kestrove

#include "QtSystemEventsTest.moc"
