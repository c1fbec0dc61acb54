#include "Views/Dashboard/DashboardRootView.h"
#include "Views/Shell/ShellController.h"
#include "Views/Shell/StatusItem.h"
#include "ViewsTestSupport.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

class ShellTest : public ::testing::Test
{
protected:
    ShellTest() { testing_support::ensureApplication(); }

    EngineRig rig{Calendar::date(2026, 12, 7, 9, 0)};
};

QAbstractButton* sidebarEntry(QWidget& root, const QString& title)
{
    for (auto* button : root.findChildren<QAbstractButton*>()) {
        if (button->accessibleName() == title) {
            return button;
        }
    }
    return nullptr;
}

} // namespace

TEST_F(ShellTest, TheTrayImageIsDrawnOnlyWhenTheTitleChanges)
{
    StatusItem item;
    item.setTitle("0m");
    item.setTitle("0m");
    EXPECT_EQ(item.imageRenders(), 1);
    item.setTitle("1m");
    EXPECT_EQ(item.imageRenders(), 2);
    EXPECT_EQ(item.title(), "1m");
    // The lock of a focus task is drawn as a symbol: the picture differs from the bare text's.
    EXPECT_NE(StatusItem::titleImage(QString::fromUtf8("\U0001F512 12m"), 22, 2.0),
              StatusItem::titleImage("12m", 22, 2.0));
}

TEST_F(ShellTest, SidebarEntriesSwitchThePageAndTheSelectedOneChangesNothing)
{
    DashboardNavigation navigation;
    int built = 0;
    DashboardRootView root(*rig.engine, navigation, [&](DashboardSection) {
        ++built;
        return nullptr; // the page that is not built yet
    });
    QWidget* first = root.page();
    ASSERT_NE(first, nullptr);
    QTest::mouseClick(sidebarEntry(root, "Today"), Qt::LeftButton);
    EXPECT_EQ(root.page(), first);
    EXPECT_EQ(built, 1);
    QTest::mouseClick(sidebarEntry(root, "Week"), Qt::LeftButton);
    EXPECT_EQ(navigation.section(), DashboardSection::week);
    EXPECT_NE(root.page(), first);
    EXPECT_EQ(built, 2);
}

TEST_F(ShellTest, TheDashboardWindowIsFrontedRestoredAndRemembersItsPlace)
{
    DashboardNavigation navigation;
    DashboardWindowController controller(*rig.engine, navigation, rig.prefs);
    controller.show(DashboardSection::week);
    QWidget* window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Kestrove");
    EXPECT_GE(window->minimumWidth(), 960);

    controller.show(DashboardSection::settings);
    EXPECT_EQ(controller.window(), window);
    EXPECT_EQ(navigation.section(), DashboardSection::settings);

    window->showMinimized();
    controller.show();
    EXPECT_EQ(controller.window(), window) << "a minimised window is shown again, not replaced";
    EXPECT_FALSE(window->isMinimized());

    window->setGeometry(100, 120, 1000, 700);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(controller.window(), nullptr);
    ASSERT_TRUE(rig.prefs.data(DashboardWindowController::kGeometryKey));
    controller.show();
    ASSERT_NE(controller.window(), nullptr);
    EXPECT_EQ(controller.window()->size(), QSize(1000, 700));
    EXPECT_EQ(navigation.section(), DashboardSection::settings) << "navigation outlives windows";
}

TEST_F(ShellTest, LinksOpenTheirPageTheEditorOrNothing)
{
    ShellController shell(*rig.engine, rig.prefs, {});
    shell.openUrl("kestrove://nowhere");
    shell.openUrl("Kestrove://week");
    EXPECT_EQ(shell.dashboard().window(), nullptr);

    shell.openUrl("kestrove://plan");
    EXPECT_EQ(rig.gate.editorOpenings, 1);
    EXPECT_EQ(shell.dashboard().window(), nullptr);

    shell.openUrl("kestrove://WEEK");
    ASSERT_NE(shell.dashboard().window(), nullptr);
    EXPECT_EQ(shell.navigation().section(), DashboardSection::week);

    shell.openUrl("kestrove://today?date=2026-12-01");
    EXPECT_EQ(shell.navigation().section(), DashboardSection::today);
    EXPECT_EQ(shell.navigation().selectedDay(), Calendar::date(2026, 12, 1));
    shell.openUrl("kestrove://today?date=nonsense");
    EXPECT_EQ(shell.navigation().selectedDay(), Calendar::date(2026, 12, 1));
    shell.openUrl("kestrove://today");
    EXPECT_EQ(shell.navigation().selectedDay(), std::nullopt);

    shell.navigation().setSection(DashboardSection::projects);
    shell.openUrl("kestrove://card");
    EXPECT_TRUE(shell.navigation().showShare());
    EXPECT_EQ(shell.navigation().section(), DashboardSection::today);

    shell.navigation().setSection(DashboardSection::lockIn);
    shell.handleArguments({});
    EXPECT_EQ(shell.navigation().section(), DashboardSection::lockIn) << "a reopen keeps the page";
}

TEST_F(ShellTest, TheTrayTitleFollowsTheEngineTickWithoutATimerOfItsOwn)
{
    rig.start();
    ShellController shell(*rig.engine, rig.prefs, {});
    shell.updateTitle();
    ASSERT_EQ(shell.statusItem().title(), "0m");
    // No event loop runs here: only the engine's tick can carry the change to the tray.
    rig.engine->pauseTracking(std::nullopt);
    rig.run(1);
    EXPECT_EQ(shell.statusItem().title(), "Paused");
    rig.engine->resumeTracking();
    rig.run(1);
    EXPECT_EQ(shell.statusItem().title(), "0m");
    EXPECT_EQ(shell.statusItem().imageRenders(), 3);
}
