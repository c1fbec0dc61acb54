#include "Platform/Linux/XTestKeySender.h"

#include "Platform/Log.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace kestrove {

namespace {

const Log kLog("share");

} // namespace

bool XTestKeySender::ready()
{
    if (m_connection.isLost()) {
        m_connection.close();
        m_checked = false;
    }
    if (m_checked) {
        return m_available;
    }
    m_checked = true;
    m_available = false;
    if (!m_connection.open()) {
        kLog.error("cannot send keys: no X display");
        return false;
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(m_connection.display(), &event, &error, &major, &minor)) {
        kLog.error("cannot send keys: the X server has no XTest extension");
        return false;
    }
    m_available = true;
    return true;
}

bool XTestKeySender::sendPaste()
{
    if (!ready()) {
        return false;
    }
    Display* display = m_connection.display();
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    const KeyCode v = XKeysymToKeycode(display, XK_v);
    if (control == 0 || v == 0) {
        kLog.error("cannot send keys: the keyboard has no Control or V key");
        return false;
    }
    LinuxX11Connection::ErrorTrap trap(m_connection);
    const bool sent = XTestFakeKeyEvent(display, control, True, CurrentTime) &&
                      XTestFakeKeyEvent(display, v, True, CurrentTime) &&
                      XTestFakeKeyEvent(display, v, False, CurrentTime) &&
                      XTestFakeKeyEvent(display, control, False, CurrentTime);
    XSync(display, False);
    return sent && !trap.failed() && !m_connection.isLost();
}

} // namespace kestrove
