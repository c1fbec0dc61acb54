// What the program shows once its engine has started: the welcome window until onboarding is
// complete, and the floating lock-in display on every desktop while a focus task runs.
#include "Application.h"
#include "ProgramTestSupport.h"
#include "core/Uuid.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace kestrove;

namespace {

constexpr int kWaitMilliseconds = 20000;

// The desktop a window is on, as the window manager was told; none when unset.
std::optional<unsigned long> desktopOf(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    std::optional<unsigned long> result;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_DESKTOP", False), 0, 1,
                           False, XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        data && count == 1) {
        // Xlib hands 32-bit items over as longs.
        result = static_cast<unsigned long>(*reinterpret_cast<long*>(data)) & 0xFFFFFFFFUL;
    }
    if (data) {
        XFree(data);
    }
    XCloseDisplay(display);
    return result;
}

class LaunchWindowsTest : public ::testing::Test
{
protected:
    LaunchWindowsTest()
    {
        testing_support::programApplication();
        setenv("XDG_DATA_HOME", home.path.c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
    }

    void completeOnboarding() { testing_support::writeReturningUser(home.path); }

    TemporaryFolder home;
};

} // namespace

TEST_F(LaunchWindowsTest, TheFirstLaunchWelcomesTheUserOnceTheEngineHasStarted)
{
    Application app;
    EXPECT_EQ(app.onboarding().window(), nullptr);
    app.launch();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return app.onboarding().window() != nullptr; }, kWaitMilliseconds));
    EXPECT_TRUE(app.engine().hasStarted());
    EXPECT_EQ(app.onboarding().window()->windowTitle(), "Welcome to Kestrove");
    app.quit();
}

TEST_F(LaunchWindowsTest, ALaterLaunchShowsTheLockInDisplayOnEveryDesktopDuringATask)
{
    completeOnboarding();
    Application app;
    app.launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.engine().hasStarted(); }, kWaitMilliseconds));
    QTest::qWait(100);
    EXPECT_EQ(app.onboarding().window(), nullptr);
    EXPECT_FALSE(app.lockInDisplay().isPanelVisible());

    FocusTask task;
    task.id = Uuid::generate();
    task.name = "Essay";
    task.estimatedSeconds = 1800;
    task.startedAt = SystemClock().now();
    app.engine().startFocusTask(task);
    ASSERT_TRUE(app.lockInDisplay().isPanelVisible());
    QWidget& panel = *app.lockInDisplay().panel();
    const QScreen* screen = QGuiApplication::primaryScreen();
    EXPECT_EQ(panel.x(), screen->geometry().right() + 1 - 252);
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktopOf(panel.winId()) == 0xFFFFFFFFUL; },
                                kWaitMilliseconds));
    // The pill never takes the keyboard from the user's own window.
    EXPECT_FALSE(panel.isActiveWindow());

    app.engine().endFocusTask(FocusTask::EndReason::completed);
    EXPECT_FALSE(app.lockInDisplay().isPanelVisible());
    app.quit();
}
