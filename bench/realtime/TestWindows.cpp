// kestrove-test-windows: a few windows of made-up applications that a user switches between,
// for the real-time run. Every few seconds another window is activated the way a pager does it,
// now and then a title changes, and the pointer moves so that the user never reads as idle.
//     kestrove-test-windows SECONDS
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Application
{
    const char* instance; // WM_CLASS, as a desktop entry names it
    const char* className;
    const char* title;
};

constexpr Application kApplications[] = {
    {"code", "Code", "main.cpp — kestrove — Visual Studio Code"},
    {"firefox", "firefox", "Pull request · kestrove — Mozilla Firefox"},
    {"slack", "Slack", "#engineering — Example team — Slack"},
    {"thunderbird", "thunderbird", "Inbox — you@example.org"},
};

void setTitle(Display* display, Window window, const std::string& title)
{
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
}

Window createWindow(Display* display, const Application& application, int index)
{
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 40 * index, 40 * index, 640,
                            480, 0, BlackPixel(display, screen), WhitePixel(display, screen));
    XClassHint hint{const_cast<char*>(application.instance),
                    const_cast<char*>(application.className)};
    XSetClassHint(display, window, &hint);
    setTitle(display, window, application.title);
    XMapWindow(display, window);
    return window;
}

// Asks the window manager to activate the window, as a pager (source 2) would.
void activate(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
    if (seconds <= 0) {
        std::cerr << "usage: kestrove-test-windows SECONDS\n";
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "kestrove-test-windows: no X display\n";
        return 1;
    }
    std::vector<Window> windows;
    int index = 0;
    for (const auto& application : kApplications) {
        windows.push_back(createWindow(display, application, index++));
    }
    XSync(display, False);

    // A switch every 7 s, a title change every 3rd step, the pointer moved every second.
    for (int second = 0; second < seconds; ++second) {
        if (second % 7 == 0) {
            const std::size_t next = static_cast<std::size_t>(second / 7) % windows.size();
            activate(display, windows[next]);
            if ((second / 7) % 3 == 0) {
                setTitle(display, windows[next],
                         std::string(kApplications[next].title) + " (" +
                             std::to_string(second) + ")");
            }
        }
        XTestFakeMotionEvent(display, -1, 100 + second % 50, 100, CurrentTime);
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    XCloseDisplay(display);
    return 0;
}
