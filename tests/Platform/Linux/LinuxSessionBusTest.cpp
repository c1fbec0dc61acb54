#include "Platform/Linux/LinuxSessionBus.h"

#include "DesktopTestSupport.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QTest>

#include <cstdlib>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kestrove {
namespace {

// Sets an environment variable (or unsets it, with nullopt) until the end of the scope.
class ScopedVariable
{
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        set(value);
    }
    ~ScopedVariable() { set(m_old); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void set(const std::optional<std::string>& value)
    {
        if (value) {
            ::setenv(m_name, value->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

// A listening Unix socket at `path`, as a per-user bus would leave it.
int listenAt(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(fd, 1), 0);
    return fd;
}

TEST(LinuxSessionBusTest, AutolaunchIsPreventedOnlyWhenNoBusIsAdvertised)
{
    const TemporaryFolder withSocket;
    const TemporaryFolder withFile;
    const TemporaryFolder empty;
    const int socket = listenAt(withSocket.path + "/bus");
    withFile.write("bus", "not a socket");

    struct Row
    {
        const char* name;
        std::optional<std::string> address;
        std::optional<std::string> runtimeFolder;
        bool advertised;
    };
    const Row rows[] = {
        {"address given", "unix:path=/run/user/1000/bus", std::nullopt, true},
        {"per-user bus socket", std::nullopt, withSocket.path, true},
        {"empty address, per-user bus socket", "", withSocket.path, true},
        {"a file where the socket would be", std::nullopt, withFile.path, false},
        {"nothing", std::nullopt, empty.path, false},
        {"empty address", "", empty.path, false},
        {"already disabled", LinuxSessionBus::kDisabledAddress, withSocket.path, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", row.address);
        const ScopedVariable runtime("XDG_RUNTIME_DIR", row.runtimeFolder);
        EXPECT_EQ(LinuxSessionBus::isAdvertised(), row.advertised);
        LinuxSessionBus::preventAutolaunch();
        const char* after = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (row.advertised) {
            EXPECT_EQ(after ? std::optional<std::string>(after) : std::nullopt, row.address);
        } else {
            EXPECT_STREQ(after, LinuxSessionBus::kDisabledAddress);
            EXPECT_EQ(LinuxSessionBus::state(), SessionBusState::missing);
        }
    }
    ::close(socket);
}

TEST(LinuxSessionBusTest, StateAndAccessibilityOfABusThatIsNotConnected)
{
    testing_support::ensureApplication();
    const QDBusConnection unconnected(QStringLiteral("no-bus"));
    EXPECT_EQ(LinuxSessionBus::state(unconnected), SessionBusState::unreachable);
    EXPECT_EQ(LinuxSessionBus::accessibility(unconnected), AccessibilityState::noSessionBus);
    EXPECT_EQ(LinuxSessionBus::state(), SessionBusState::connected);
}

// The desktop's own accessibility bus inside the test's session bus, read as it starts, is
// switched on, and is gone again; reading never starts it.
TEST(LinuxSessionBusTest, AccessibilitySwitchIsReadWithoutStartingTheBus)
{
    testing_support::ensureApplication();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const auto running = [&] {
        return bus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")).value();
    };
    ASSERT_FALSE(running());
    EXPECT_EQ(LinuxSessionBus::accessibility(), AccessibilityState::notRunning);
    EXPECT_FALSE(running());

    // The launcher keeps the switch in the user's settings, here held in memory.
    testing_support::AccessibilityBusLauncher launcher;
    ASSERT_TRUE(launcher.start());
    ASSERT_TRUE(QTest::qWaitFor(running, 10000)) << "the accessibility bus did not start";
    EXPECT_EQ(LinuxSessionBus::accessibility(), AccessibilityState::off);

    auto turnOn = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
    turnOn << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled")
           << QVariant::fromValue(QDBusVariant(true));
    ASSERT_EQ(bus.call(turnOn).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(LinuxSessionBus::accessibility(), AccessibilityState::on);

    ASSERT_TRUE(launcher.stop());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !running(); }, 5000));
    EXPECT_EQ(LinuxSessionBus::accessibility(), AccessibilityState::notRunning);
}

} // namespace
} // namespace kestrove
