// The whole program on the test desktop: a focus task with a lockdown, a blocked window walled
// on both monitors, sent away by "OK, back to work", and the task ended by the typed sentence.
// Every step waits for what it needs to have happened, with a deadline only a failure
// reaches: the desktop may be shared with a parallel build.
#include "Application.h"

#include "core/Uuid.h"
#include "support/TableRows.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ProgramTestSupport.h"
#include "support/TestWindows.h"

#include <cstdlib>

namespace kestrove {
namespace {

constexpr int kWaitMilliseconds = 20000;

QPushButton* button(QWidget* window, const char* name)
{
    return window ? window->findChild<QPushButton*>(name) : nullptr;
}

TEST(LockdownJourneyTest, BlockedWindowIsWalledSentAwayAndTheTaskBrokenOut)
{
    testing_support::programApplication();
    TemporaryFolder home;
    setenv("XDG_DATA_HOME", home.path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
    testing_support::writeReturningUser(home.path);
    testing_support::TestWindows desktop;
    const Window keeper = desktop.create("Keeper");
    const Window chatter = desktop.create("Chatter");
    // The allowed window is in front before the program starts: nothing is walled yet.
    desktop.activate(keeper);
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.active() == keeper; }, kWaitMilliseconds));

    Application app;
    app.launch();
    // Blocks are counted once the engine is wired to the lockdown.
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.engine().hasStarted(); }, kWaitMilliseconds));
    // The test desktop has no tray, so the dashboard opened in its place; the journey starts
    // from the user's own windows.
    if (QWidget* dashboard = app.shell().dashboard().window()) {
        dashboard->close();
    }

    FocusTask task;
    task.id = Uuid::generate();
    task.name = "Essay";
    task.estimatedSeconds = 3600;
    task.allowedBundleIDs = {"keeper"};
    task.startedAt = SystemClock().now();
    task.isLockdown = true;
    app.engine().startFocusTask(task);
    ASSERT_TRUE(app.engine().lockdownEnforcer().isEngaged());

    desktop.activate(chatter);

    // The wall covers both monitors.
    auto& overlay = app.overlayWindows();
    const auto screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return overlay.windows().size() == 2; }, kWaitMilliseconds));
    for (int i = 0; i < 2; ++i) {
        QWidget* window = overlay.windows()[static_cast<std::size_t>(i)];
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window, kWaitMilliseconds));
        EXPECT_EQ(window->geometry(), screens[i]->geometry());
    }
    EXPECT_EQ(desktop.active(), chatter); // behind the wall, not hidden yet

    // "OK, back to work": the blocked window goes, the allowed one comes to the front.
    button(overlay.windows().front(), "backToWork")->click();
    EXPECT_TRUE(overlay.windows().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.wmState(chatter) == IconicState; },
                                kWaitMilliseconds));
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.active() == keeper; }, kWaitMilliseconds));
    // The hider checks its work after the window manager has done it, and hides again by
    // other means what it finds shown: it has to be finished before the window comes back.
    app.hider().waitUntilIdle();

    // Back again: a new wall, and this time the sentence, typed.
    desktop.activate(chatter);
    ASSERT_TRUE(QTest::qWaitFor([&] { return overlay.windows().size() == 2; }, kWaitMilliseconds))
        << "active " << desktop.active() << ", chatter " << chatter << " in state "
        << desktop.wmState(chatter);
    QWidget* first = overlay.windows().front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(first, kWaitMilliseconds));
    button(first, "typeEscape")->click();
    auto* field = first->findChild<QPlainTextEdit*>("escapeField");
    ASSERT_TRUE(field);
    // The keys typed below reach the program only through its keyboard grab.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QWidget::keyboardGrabber() == field; }, kWaitMilliseconds));
    desktop.type("I am knowingly deciding to abandon my focused work block and spend my later "
                 "self's time.");
    QPushButton* breakOut = button(first, "breakOut");
    ASSERT_TRUE(QTest::qWaitFor([&] { return breakOut->isEnabled(); }, kWaitMilliseconds))
        << field->toPlainText().toStdString();
    breakOut->click();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.engine().focusTaskManager().active(); },
                                kWaitMilliseconds));
    EXPECT_FALSE(app.engine().lockdownEnforcer().isEngaged());
    EXPECT_TRUE(overlay.windows().empty());
    bool stopped = false;
    app.engine().stop([&] { stopped = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopped; }, kWaitMilliseconds));

    const std::string db = home.path + "/Kestrove/kestrove.db";
    EXPECT_EQ(tableRows(db, "SELECT focus_task_id, attempted_bundle_id FROM lockdown_blocks"),
              (std::vector<std::vector<std::string>>{{task.id, "chatter"}, {task.id, "chatter"}}));
    EXPECT_EQ(
        tableRows(db, "SELECT task_name, is_lockdown, completed, ended_reason, "
                      "breakout_attempts, task_uuid FROM focus_tasks"),
        (std::vector<std::vector<std::string>>{{"Essay", "1", "0", "brokeOut", "2", task.id}}));
}

} // namespace
} // namespace kestrove
