// The whole program on the test desktop with two monitors: the morning wall covers both,
// hides another application, takes typed input, comes down on a valid plan, and a preview
// comes down when Shift, Alt and Ctrl are held through XTest. Every step waits for what it
// needs, with a deadline only a failure reaches.
#include "Application.h"

#include "Views/Rituals/MorningGateView.h"
#include "core/Calendar.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "ProgramTestSupport.h"
#include "support/TestWindows.h"

namespace kestrove {
namespace {

constexpr int kWaitMilliseconds = 20000;

TEST(MorningGateJourneyTest, TheWallCoversBothScreensTakesAPlanAndLetsTheHatchThrough)
{
    testing_support::programApplication();
    LogCapture log;
    TemporaryFolder home;
    setenv("XDG_DATA_HOME", home.path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
    testing_support::writeReturningUser(home.path);
    testing_support::TestWindows other;
    const Window chatter = other.create("Chatter");
    other.activate(chatter);

    Application app;
    app.launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.engine().hasStarted(); }, kWaitMilliseconds));
    if (QWidget* dashboard = app.shell().dashboard().window()) {
        dashboard->close();
    }
    EXPECT_FALSE(app.morningGate().isUp());

    // The gate opens at midnight every day: the next look raises it.
    app.engine().dayPlans().setConfig(MorningGateConfig(true, 0, 0, {}));
    app.morningGate().evaluate();
    ASSERT_TRUE(app.morningGate().isUp());
    const auto screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    ASSERT_EQ(app.wall().windows().size(), 2u);
    for (int i = 0; i < 2; ++i) {
        QWidget* window = app.wall().windows()[static_cast<std::size_t>(i)];
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window, kWaitMilliseconds));
        EXPECT_EQ(window->geometry(), screens[i]->geometry());
        EXPECT_TRUE(window->findChild<MorningGateView*>());
    }

    // The other application, in front when the wall rose, is hidden; brought back, it is
    // hidden again (after the blocker's pause between two hides of one application).
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return other.wmState(chatter) == IconicState; }, kWaitMilliseconds));
    app.hider().waitUntilIdle();
    QTest::qWait(1000);
    other.activate(chatter);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return log.count("hide ok for chatter") == 2; }, kWaitMilliseconds));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return other.wmState(chatter) == IconicState; }, kWaitMilliseconds));
    app.hider().waitUntilIdle();

    // Typed keys reach the first screen's form through the grab.
    QWidget* first = app.wall().windows().front();
    auto* field = first->findChild<QLineEdit*>("taskField");
    ASSERT_TRUE(field);
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }, kWaitMilliseconds));
    other.type("parser");
    auto* submit = first->findChild<QPushButton*>("submitButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return submit->isEnabled(); }, kWaitMilliseconds))
        << field->text().toStdString();
    EXPECT_EQ(field->text(), "parser");
    submit->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.morningGate().isUp(); }, kWaitMilliseconds));
    EXPECT_TRUE(app.wall().windows().empty());
    EXPECT_FALSE(app.engine().lockdownEnforcer().isEngaged());
    const auto plan = app.engine().dayPlans().today();
    ASSERT_TRUE(plan && plan->isComplete());
    ASSERT_EQ(plan->blocks.size(), 1u);
    EXPECT_EQ(plan->blocks[0].task, "parser");
    app.morningGate().evaluate();
    EXPECT_FALSE(app.morningGate().isUp()); // the day is planned

    // A preview, brought down by the hatch held through XTest for five seconds.
    app.morningGate().arm(true);
    ASSERT_EQ(app.wall().windows().size(), 2u);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app.wall().windows().front(), kWaitMilliseconds));
    QTest::qWait(300); // the grab is taken once the window is mapped
    other.key(XK_Shift_L, true);
    other.key(XK_Alt_L, true);
    other.key(XK_Control_L, true);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return app.wall().hatch().isCounting(); }, kWaitMilliseconds));
    QTest::qWait(4000);
    EXPECT_TRUE(app.morningGate().isUp()); // not yet
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.morningGate().isUp(); }, kWaitMilliseconds));
    other.key(XK_Control_L, false);
    other.key(XK_Alt_L, false);
    other.key(XK_Shift_L, false);
    EXPECT_TRUE(app.engine().dayPlans().today()->isSkipped());

    bool stopped = false;
    app.engine().stop([&] { stopped = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopped; }, kWaitMilliseconds));
}

} // namespace
} // namespace kestrove
