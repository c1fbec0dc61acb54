#include "DesktopTestSupport.h"
#include "Platform/Linux/QtAccessibilitySwitch.h"
#include "Platform/Linux/QtFolderRevealer.h"
#include "Platform/Linux/XdgAutostart.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QTest>

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kestrove {
namespace {

std::string contents(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(XdgAutostartTest, EntryIsWrittenAndRemovedInTheConfigFolder)
{
    const TemporaryFolder config;
    const std::filesystem::path folder = std::filesystem::path(config.path) / "autostart";
    XdgAutostart autostart(folder, "/opt/Kestrove Apps/bin/kestrove");
    EXPECT_FALSE(autostart.isEnabled());

    ASSERT_TRUE(autostart.setEnabled(true)) << "the folder is made when missing";
    EXPECT_TRUE(autostart.isEnabled());
    const std::string text = contents(folder / "kestrove.desktop");
    EXPECT_NE(text.find("[Desktop Entry]\nType=Application\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=\"/opt/Kestrove Apps/bin/kestrove\"\n"), std::string::npos)
        << "a path with a space is quoted";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator{}),
              1)
        << "no temporary file is left behind";

    ASSERT_TRUE(autostart.setEnabled(true)) << "writing again replaces the entry";
    ASSERT_TRUE(autostart.setEnabled(false));
    EXPECT_FALSE(std::filesystem::exists(folder / "kestrove.desktop"));
    EXPECT_TRUE(autostart.setEnabled(false)) << "an entry that is not there is what was asked";
}

TEST(XdgAutostartTest, EntriesTheUserSwitchedOffReadAsOff)
{
    const TemporaryFolder config;
    XdgAutostart autostart(config.path, "kestrove");
    const std::pair<const char*, bool> cases[] = {
        {"[Desktop Entry]\nExec=kestrove\n", true},
        {"[Desktop Entry]\nHidden=true\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Other]\nHidden=true\n[Desktop Entry]\nExec=kestrove\n", true},
    };
    for (const auto& [text, enabled] : cases) {
        std::ofstream(autostart.entryPath()) << text;
        EXPECT_EQ(autostart.isEnabled(), enabled) << text;
    }
    EXPECT_EQ(XdgAutostart::entryText("/a/b%c$d").find("Exec=\"/a/b%%c\\\\$d\""),
              XdgAutostart::entryText("/a/b%c$d").find("Exec="))
        << "field codes doubled and the dollar escaped inside quotes";
}

// A folder that cannot be made (a file stands where it should be) refuses even root.
TEST(XdgAutostartTest, UnwritableFolderRefusesAndTheSwitchIsCorrected)
{
    const TemporaryFolder config;
    const std::filesystem::path blocked = std::filesystem::path(config.path) / "autostart";
    std::ofstream(blocked) << "not a folder";
    XdgAutostart autostart(blocked, "kestrove");
    EXPECT_FALSE(autostart.setEnabled(true));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_EQ(contents(blocked), "not a folder") << "nothing of the user's is overwritten";
}

// A file manager on the test's second connection that records what it is asked to show.
class StandInFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-fm");
    QStringList shownFolders;

    StandInFileManager()
    {
        bus.registerObject("/org/freedesktop/FileManager1", this, QDBusConnection::ExportAllSlots);
        EXPECT_TRUE(bus.registerService("org.freedesktop.FileManager1"));
    }
    ~StandInFileManager() override
    {
        bus.unregisterService("org.freedesktop.FileManager1");
        QDBusConnection::disconnectFromBus("fake-fm");
    }

public slots:
    void ShowFolders(const QStringList& uris, const QString&) { shownFolders += uris; }
    void ShowItems(const QStringList&, const QString&) {}
};

TEST(QtFolderRevealerTest, AsksTheFileManagerOnTheBusElseXdgOpen)
{
    testing_support::ensureApplication();
    QStringList launched;
    const auto launcher = [&](const QString& program, const QStringList& arguments) {
        launched << program + " " + arguments.join(' ');
        return true;
    };
    {
        StandInFileManager manager;
        QtFolderRevealer revealer(QDBusConnection::sessionBus(), launcher);
        revealer.reveal("/tmp/Data Folder/Kestrove");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !manager.shownFolders.isEmpty(); }, 5000));
        EXPECT_EQ(manager.shownFolders, QStringList{"file:///tmp/Data%20Folder/Kestrove"});
        EXPECT_TRUE(launched.isEmpty());
    }
    QtFolderRevealer revealer(QDBusConnection::sessionBus(), launcher);
    revealer.reveal("/tmp/Kestrove");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !launched.isEmpty(); }, 5000))
        << "with no file manager on the bus, xdg-open opens the folder";
    EXPECT_EQ(launched, QStringList{"xdg-open /tmp/Kestrove"});
}

TEST(QtAccessibilitySwitchTest, GrantTurnsAccessibilityOnForTheAccessibilityBus)
{
    testing_support::ensureApplication();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const auto running = [&] {
        return bus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")).value();
    };
    QtAccessibilitySwitch accessibility;
    std::optional<AccessibilityState> state;
    const auto read = [&] {
        state.reset();
        accessibility.readState([&](AccessibilityState answer) { state = answer; });
        return QTest::qWaitFor([&] { return state.has_value(); }, 5000);
    };
    ASSERT_FALSE(running());
    ASSERT_TRUE(read());
    EXPECT_EQ(state, AccessibilityState::notRunning);

    const TemporaryFolder home;
    QProcess launcher;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(home.path));
    environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    launcher.setProcessEnvironment(environment);
    launcher.setStandardErrorFile(QProcess::nullDevice());
    launcher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                   {QStringLiteral("--launch-immediately")});
    ASSERT_TRUE(launcher.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor(running, 10000)) << "the accessibility bus did not start";
    ASSERT_TRUE(read());
    EXPECT_EQ(state, AccessibilityState::off);

    std::optional<bool> granted;
    accessibility.turnOn([&](bool ok) { granted = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return granted.has_value(); }, 5000));
    EXPECT_EQ(granted, true);
    ASSERT_TRUE(read());
    EXPECT_EQ(state, AccessibilityState::on);

    launcher.terminate();
    ASSERT_TRUE(launcher.waitForFinished(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !running(); }, 5000));
}

} // namespace
} // namespace kestrove

#include "SettingsPlatformTest.moc"
