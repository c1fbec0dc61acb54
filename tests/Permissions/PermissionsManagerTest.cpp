#include "Permissions/PermissionsManager.h"
#include "support/FakeScheduler.h"
#include "support/FakeWorkspace.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

class PermissionsManagerTest : public testing::Test
{
protected:
    PermissionsManagerTest()
    {
        manager.onAccessibilityChange = [this](bool) { ++notifications; };
    }

    FakeClock clock;
    FakeScheduler scheduler{clock};
    FakeWorkspace workspace;
    PermissionsManager manager{workspace, scheduler};
    int notifications = 0;
};

TEST_F(PermissionsManagerTest, PollFollowsTheTrustWithinTwoSecondsWithOneTimer)
{
    workspace.trusted = false;
    manager.startPolling();
    manager.startPolling();
    EXPECT_EQ(scheduler.runningTimers(), 1);

    EXPECT_EQ(notifications, 0) << "an unchanged flag notifies nobody";
    workspace.trusted = true;
    scheduler.advance(2.0);
    manager.refreshAccessibility();
    EXPECT_TRUE(manager.hasAccessibility());
    EXPECT_EQ(notifications, 1);

    manager.stopPolling();
    EXPECT_FALSE(manager.isPolling());
    workspace.trusted = false;
    scheduler.advance(10.0);
    EXPECT_TRUE(manager.hasAccessibility());
}

} // namespace
} // namespace kestrove

namespace kestrove {
namespace {

// Two pages that show the permission share one poll; it ends with the last of them.
TEST_F(PermissionsManagerTest, OnePollForEveryPageAndNoneAfterTheLast)
{
    workspace.trusted = true;
    Subscription first = manager.keepPolling();
    EXPECT_TRUE(manager.hasAccessibility()) << "read at once";
    Subscription second = manager.keepPolling();
    EXPECT_EQ(scheduler.runningTimers(), 1);

    first.cancel();
    EXPECT_TRUE(manager.isPolling()) << "the other page still shows it";
    workspace.trusted = false;
    scheduler.advance(2.0);
    EXPECT_FALSE(manager.hasAccessibility());

    manager.startPolling();
    manager.stopPolling();
    EXPECT_TRUE(manager.isPolling()) << "an explicit stop leaves the page's poll running";
    second.cancel();
    EXPECT_FALSE(manager.isPolling());
    EXPECT_EQ(scheduler.runningTimers(), 0);
}

} // namespace
} // namespace kestrove
