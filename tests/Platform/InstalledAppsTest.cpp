#include "Platform/InstalledApps.h"
#include "support/ManualMainQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kestrove {
namespace {

TEST(InstalledAppsTest, ScansOffTheMainThreadAndAnswersOnIt)
{
    ManualMainQueue queue;
    std::thread::id scannedOn;
    InstalledApps apps(
        [&] {
            scannedOn = std::this_thread::get_id();
            return std::vector<InstalledApp>{{"org.gnome.nautilus", "Files", "folder"}};
        },
        queue);
    int told = 0;
    const auto subscription = apps.observers().subscribe([&] { ++told; });

    apps.refresh();
    apps.waitForScan();
    EXPECT_NE(scannedOn, std::this_thread::get_id());
    EXPECT_FALSE(apps.hasScanned()) << "the result waits for the main thread";
    EXPECT_EQ(told, 0);

    queue.drain();
    EXPECT_TRUE(apps.hasScanned());
    EXPECT_EQ(told, 1);
    EXPECT_EQ(apps.displayName("org.gnome.Nautilus"), "Files");
    EXPECT_EQ(apps.icon("ORG.GNOME.NAUTILUS"), "folder");
}

TEST(InstalledAppsTest, ARefreshDuringAScanIsFollowedByAnother)
{
    ManualMainQueue queue;
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    std::atomic<int> scans = 0;
    InstalledApps apps(
        [&] {
            std::unique_lock lock(mutex);
            released.wait(lock, [&] { return open; });
            const int n = ++scans;
            return std::vector<InstalledApp>{{"app.scan" + std::to_string(n), "Scan", ""}};
        },
        queue);

    apps.refresh();
    apps.refresh();
    apps.refresh();
    {
        std::lock_guard lock(mutex);
        open = true;
    }
    released.notify_all();
    apps.waitForScan();
    queue.drain(); // the first result, which starts the one that follows
    apps.waitForScan();
    queue.drain();
    EXPECT_EQ(scans, 2);
    EXPECT_NE(apps.find("app.scan2"), nullptr);
    EXPECT_EQ(apps.find("app.scan1"), nullptr);
}

TEST(InstalledAppsTest, AResultThatArrivesAfterTheListIsGoneIsDropped)
{
    ManualMainQueue queue;
    {
        InstalledApps apps([] { return std::vector<InstalledApp>{{"a", "A", ""}}; }, queue);
        apps.refresh();
    }
    EXPECT_EQ(queue.drain(), 1);
}

TEST(InstalledAppsTest, NamesOfApplicationsThatAreNotInstalled)
{
    ManualMainQueue queue;
    InstalledApps apps(
        [] {
            return std::vector<InstalledApp>{{"com.example.blank", "", ""}};
        },
        queue);
    apps.refresh();
    apps.waitForScan();
    queue.drain();
    const struct
    {
        const char* id;
        const char* name;
    } cases[] = {
        {"com.google.chrome", "Chrome"},
        {"org.gnome.TextEditor", "Texteditor"},
        {"com.example.my app", "My App"},
        {"trailing.dots..", "Dots"},
        {"xterm", "Xterm"},
        {"...", "..."},
        {"", ""},
        {"com.example.blank", "Blank"}, // installed, but without a name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(apps.displayName(c.id), c.name) << c.id;
        EXPECT_EQ(InstalledApps::fallbackName(c.id), c.name) << c.id;
    }
    EXPECT_EQ(apps.icon("com.google.chrome"), "");
}

} // namespace
} // namespace kestrove
