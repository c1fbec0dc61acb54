// The settings page as the running program shows it: its cards act on the user's own
// folders and on the desktop's session bus.
#include "Application.h"
#include "ProgramTestSupport.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Settings/SettingsPane.h"
#include "Views/Settings/SettingsRows.h"
#include "support/TemporaryFolder.h"

#include <QDBusConnection>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using namespace kestrove;

namespace {

constexpr int kWaitMilliseconds = 20000;

// A file manager on the test's own connection to the session bus.
class StandInFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "program-fm");
    QStringList shownFolders;

    StandInFileManager()
    {
        bus.registerObject("/org/freedesktop/FileManager1", this, QDBusConnection::ExportAllSlots);
        EXPECT_TRUE(bus.registerService("org.freedesktop.FileManager1"));
    }
    ~StandInFileManager() override
    {
        bus.unregisterService("org.freedesktop.FileManager1");
        QDBusConnection::disconnectFromBus("program-fm");
    }

public slots:
    void ShowFolders(const QStringList& uris, const QString&) { shownFolders += uris; }
};

SettingsPane* settingsPane(Application& app)
{
    QWidget* window = app.shell().dashboard().window();
    if (!window) {
        return nullptr;
    }
    for (QScrollArea* area : window->findChildren<QScrollArea*>()) {
        if (auto* pane = dynamic_cast<SettingsPane*>(area); pane && pane->isVisible()) {
            return pane;
        }
    }
    return nullptr;
}

} // namespace

TEST(SettingsPageTest, TheRunningProgramRevealsItsDataFolderAndWritesItsAutostartEntry)
{
    testing_support::programApplication();
    TemporaryFolder home;
    setenv("XDG_DATA_HOME", home.path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
    testing_support::writeReturningUser(home.path);
    StandInFileManager fileManager;

    Application app;
    app.launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.engine().hasStarted(); }, kWaitMilliseconds));
    app.shell().dashboard().show(DashboardSection::settings);
    SettingsPane* pane = nullptr;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (pane = settingsPane(app)) != nullptr; }, kWaitMilliseconds));
    EXPECT_TRUE(app.engine().permissions().isPolling());

    pane->data()->revealButton()->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !fileManager.shownFolders.isEmpty(); }, kWaitMilliseconds));
    EXPECT_EQ(fileManager.shownFolders,
              QStringList{QUrl::fromLocalFile(QString::fromStdString(home.path + "/Kestrove"))
                              .toString(QUrl::FullyEncoded)});

    const std::filesystem::path entry = home.path + "/autostart/kestrove.desktop";
    EXPECT_FALSE(pane->general()->launchSwitch()->isChecked());
    pane->general()->launchSwitch()->click();
    EXPECT_TRUE(pane->general()->launchSwitch()->isChecked());
    EXPECT_TRUE(std::filesystem::exists(entry));
    pane->general()->launchSwitch()->click();
    EXPECT_FALSE(std::filesystem::exists(entry));

    // Leaving the page ends the poll it held.
    app.shell().dashboard().show(DashboardSection::today);
    ASSERT_TRUE(QTest::qWaitFor([&] { return settingsPane(app) == nullptr; }, kWaitMilliseconds));
    EXPECT_FALSE(app.engine().permissions().isPolling());
    app.quit();
}

#include "SettingsPageTest.moc"
