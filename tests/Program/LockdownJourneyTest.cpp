// The whole program on the test desktop: a focus task with a lockdown, a blocked window walled
// on both monitors, sent away by "OK, back to work", and the task ended by the typed sentence.
// Every step waits for what it needs to have happened, with a deadline only a failure
// reaches: the desktop may be shared with a parallel build.
#include "Application.h"

#include "core/Uuid.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sqlite3.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

namespace kestrove {
namespace {

constexpr int kWaitMilliseconds = 20000;

QApplication& application()
{
    static int argc = 1;
    static char name[] = "kestrove_program_tests";
    static char* argv[] = {name, nullptr};
    // Another test of this program may have made it already.
    static QApplication* app = qApp ? qApp : new QApplication(argc, argv);
    return *app;
}

// A client of the test's own: windows of other applications, their state, and typing.
class Desktop
{
public:
    Desktop() : m_display(XOpenDisplay(nullptr)) {}
    ~Desktop() { XCloseDisplay(m_display); }

    Window create(const char* wmClass)
    {
        const Window window =
            XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 300, 200, 0, 0, 0);
        std::string instance = wmClass;
        XClassHint hint{instance.data(), const_cast<char*>(wmClass)};
        XSetClassHint(m_display, window, &hint);
        XMapWindow(m_display, window);
        XSync(m_display, False);
        return window;
    }

    void activate(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;
        XSendEvent(m_display, DefaultRootWindow(m_display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XSync(m_display, False);
    }

    long property(Window window, const char* name, Atom type)
    {
        Atom actual = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        long result = -1;
        XGetWindowProperty(m_display, window, atom(name), 0, 1, False, type, &actual, &format,
                           &items, &remaining, &data);
        if (data && items > 0) {
            result = *reinterpret_cast<long*>(data);
        }
        if (data) {
            XFree(data);
        }
        return result;
    }
    long wmState(Window window) { return property(window, "WM_STATE", atom("WM_STATE")); }
    Window active()
    {
        return static_cast<Window>(
            property(DefaultRootWindow(m_display), "_NET_ACTIVE_WINDOW", XA_WINDOW));
    }

    // Types through XTest, as a keyboard would, into whatever holds the keyboard.
    void type(const std::string& text)
    {
        const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
        for (const char c : text) {
            KeySym sym = 0;
            switch (c) {
            case ' ':
                sym = XK_space;
                break;
            case '.':
                sym = XK_period;
                break;
            case '\'':
                sym = XK_apostrophe;
                break;
            default:
                sym = static_cast<KeySym>(std::tolower(static_cast<unsigned char>(c)));
            }
            const bool upper = std::isupper(static_cast<unsigned char>(c));
            const KeyCode code = XKeysymToKeycode(m_display, sym);
            if (upper) {
                XTestFakeKeyEvent(m_display, shift, True, 0);
            }
            XTestFakeKeyEvent(m_display, code, True, 0);
            XTestFakeKeyEvent(m_display, code, False, 0);
            if (upper) {
                XTestFakeKeyEvent(m_display, shift, False, 0);
            }
            XSync(m_display, False);
        }
    }

private:
    Atom atom(const char* name) { return XInternAtom(m_display, name, False); }
    Display* m_display;
};

std::vector<std::vector<std::string>> rows(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    std::vector<std::vector<std::string>> result;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                std::vector<std::string> row;
                for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                    const auto* text = sqlite3_column_text(statement, i);
                    row.emplace_back(text ? reinterpret_cast<const char*>(text) : "NULL");
                }
                result.push_back(std::move(row));
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

QPushButton* button(QWidget* window, const char* name)
{
    return window ? window->findChild<QPushButton*>(name) : nullptr;
}

TEST(LockdownJourneyTest, BlockedWindowIsWalledSentAwayAndTheTaskBrokenOut)
{
    application();
    TemporaryFolder home;
    setenv("XDG_DATA_HOME", home.path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
    // A user who went through onboarding before: no welcome window takes the front.
    std::filesystem::create_directories(home.path + "/Kestrove");
    std::ofstream(home.path + "/Kestrove/preferences.json")
        << R"({"onboardingComplete": {"bool": true}})";
    Desktop desktop;
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
    EXPECT_EQ(rows(db, "SELECT focus_task_id, attempted_bundle_id FROM lockdown_blocks"),
              (std::vector<std::vector<std::string>>{{task.id, "chatter"}, {task.id, "chatter"}}));
    EXPECT_EQ(
        rows(db, "SELECT task_name, is_lockdown, completed, ended_reason, "
                 "breakout_attempts, task_uuid FROM focus_tasks"),
        (std::vector<std::vector<std::string>>{{"Essay", "1", "0", "brokeOut", "2", task.id}}));
}

} // namespace
} // namespace kestrove
