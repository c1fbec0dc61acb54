#include "Platform/Linux/XTestKeySender.h"
#include "DesktopTestSupport.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

using namespace kestrove;

// The keys reach the focused window as Ctrl+V, pressed and released in order.
TEST(XTestKeySenderTest, TheFocusedWindowReceivesControlV)
{
    testing_support::ensureApplication();
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
    XSelectInput(display, window, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapRaised(display, window);
    // Focus can be given only to a window that is mapped.
    XEvent mapped;
    do {
        XNextEvent(display, &mapped);
    } while (mapped.type != MapNotify);
    bool focused = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!focused && std::chrono::steady_clock::now() < deadline) {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        focused = focus == window;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(focused);

    XTestKeySender keys;
    ASSERT_TRUE(keys.sendPaste());

    std::vector<std::pair<int, KeySym>> received; // event type, key
    bool vWithControl = false;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (received.size() < 4 && std::chrono::steady_clock::now() < until) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != KeyPress && event.type != KeyRelease) {
                continue;
            }
            const KeySym key = XLookupKeysym(&event.xkey, 0);
            received.emplace_back(event.type, key);
            if (event.type == KeyPress && key == XK_v) {
                vWithControl = (event.xkey.state & ControlMask) != 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::vector<std::pair<int, KeySym>> expected = {
        {KeyPress, XK_Control_L}, {KeyPress, XK_v}, {KeyRelease, XK_v}, {KeyRelease, XK_Control_L}};
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(vWithControl);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}
