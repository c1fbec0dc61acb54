#include "Platform/Linux/LinuxWindowHints.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace kestrove::LinuxWindowHints {

namespace {

constexpr unsigned long kEveryDesktop = 0xFFFFFFFFUL;

void requestState(Display* display, Window window, Atom state)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1; // add
    event.xclient.data.l[1] = static_cast<long>(state);
    event.xclient.data.l[3] = 2; // a pager-like request, as ours are the user's own
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

} // namespace

void showOnEveryDesktop(QWidget& window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) {
        return;
    }
    const auto id = static_cast<Window>(window.winId());
    const Atom desktop = XInternAtom(display, "_NET_WM_DESKTOP", False);
    const Atom sticky = XInternAtom(display, "_NET_WM_STATE_STICKY", False);
    const Atom skipTaskbar = XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False);
    const Atom skipPager = XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False);
    // Qt writes the current desktop into the property when it shows the window: the property
    // is written again after it, for a manager that reads it at mapping, and the manager is
    // asked as well, for one that already manages the window.
    const unsigned long every = kEveryDesktop;
    XChangeProperty(display, id, desktop, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&every), 1);
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = desktop;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(kEveryDesktop);
    event.xclient.data.l[1] = 2;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    for (const Atom state : {sticky, skipTaskbar, skipPager}) {
        requestState(display, id, state);
    }
    XFlush(display);
}

} // namespace kestrove::LinuxWindowHints
