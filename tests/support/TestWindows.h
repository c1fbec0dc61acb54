#pragma once

// Include after Qt headers: Xlib defines macros that clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>

#include <cctype>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrove::testing_support {

// Real top-level windows of other applications on the test desktop, their state, and a
// keyboard, all through a connection of the test's own.
class TestWindows
{
public:
    explicit TestWindows(const char* displayName = nullptr) : m_display(XOpenDisplay(displayName))
    {
        if (!m_display) {
            throw std::runtime_error("no X display: run the tests inside scripts/with-desktop");
        }
    }
    ~TestWindows() { XCloseDisplay(m_display); }
    TestWindows(const TestWindows&) = delete;
    TestWindows& operator=(const TestWindows&) = delete;

    struct Spec
    {
        std::string instance;
        std::string wmClass;
        std::string netTitle;    // _NET_WM_NAME (UTF-8); empty: not set
        std::string legacyTitle; // WM_NAME (Latin-1 STRING); empty: not set
        std::string gtkApplicationID;
        bool ownPid = false;
        unsigned width = 200;
        unsigned height = 100;
    };

    // A plain window of an application known only by its class.
    Window create(const char* wmClass)
    {
        Spec spec;
        spec.instance = wmClass;
        spec.wmClass = wmClass;
        spec.width = 300;
        spec.height = 200;
        return create(spec);
    }

    Window create(const Spec& spec)
    {
        const Window window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0,
                                                  spec.width, spec.height, 0, 0, 0);
        XClassHint hint{const_cast<char*>(spec.instance.c_str()),
                        const_cast<char*>(spec.wmClass.c_str())};
        XSetClassHint(m_display, window, &hint);
        setText(window, "_NET_WM_NAME", "UTF8_STRING", spec.netTitle);
        if (!spec.legacyTitle.empty()) {
            XChangeProperty(m_display, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(spec.legacyTitle.data()),
                            static_cast<int>(spec.legacyTitle.size()));
        }
        setText(window, "_GTK_APPLICATION_ID", "UTF8_STRING", spec.gtkApplicationID);
        if (spec.ownPid) {
            const long pid = getpid();
            XChangeProperty(m_display, window, atom("_NET_WM_PID"), XA_CARDINAL, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
        }
        XMapWindow(m_display, window);
        XSync(m_display, False);
        return window;
    }

    // Asks the window manager to activate the window, as a pager would.
    void activate(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, DefaultRootWindow(m_display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XSync(m_display, False);
    }

    void setTitle(Window window, const std::string& title)
    {
        setText(window, "_NET_WM_NAME", "UTF8_STRING", title);
        XSync(m_display, False);
    }

    void setClass(Window window, std::string instance, std::string wmClass)
    {
        XClassHint hint{instance.data(), wmClass.data()};
        XSetClassHint(m_display, window, &hint);
        XSync(m_display, False);
    }

    // 32-bit values of a type such as CARDINAL, WINDOW or ATOM.
    void setValues(Window window, const char* name, Atom type, const std::vector<long>& values)
    {
        XChangeProperty(m_display, window, atom(name), type, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(values.data()),
                        static_cast<int>(values.size()));
        XSync(m_display, False);
    }

    void remove(Window window, const char* name)
    {
        XDeleteProperty(m_display, window, atom(name));
        XSync(m_display, False);
    }

    // The first 32-bit value of a property; -1 when it is not set.
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

    // Presses or releases a key through XTest, as a keyboard would.
    void key(KeySym sym, bool down)
    {
        XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, sym), down ? True : False, 0);
        XSync(m_display, False);
    }

    // Moves the pointer to a point of the screen and clicks there with the first button.
    void click(int x, int y)
    {
        XTestFakeMotionEvent(m_display, -1, x, y, 0);
        XSync(m_display, False);
        usleep(50000); // hover first, as a hand does: widgets see the pointer arrive
        XTestFakeButtonEvent(m_display, 1, True, 0);
        XTestFakeButtonEvent(m_display, 1, False, 0);
        XSync(m_display, False);
    }

    // Types into whatever holds the keyboard: letters, with Shift for capitals, spaces,
    // full stops and apostrophes.
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

    Display* display() const { return m_display; }
    Atom atom(const char* name) { return XInternAtom(m_display, name, False); }

    void setText(Window window, const char* name, const char* type, const std::string& text)
    {
        if (text.empty()) {
            return;
        }
        XChangeProperty(m_display, window, atom(name), atom(type), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size()));
        XSync(m_display, False);
    }

private:
    Display* m_display;
};

} // namespace kestrove::testing_support
