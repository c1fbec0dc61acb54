#pragma once

class QWidget;

namespace kestrove {

// What Qt cannot ask of the window manager for one of our own windows.
namespace LinuxWindowHints {

// Keeps a window on every desktop (and out of the task bar and pager); called right after the
// window is shown. Does nothing without an X11 connection (the offscreen platform of tests).
void showOnEveryDesktop(QWidget& window);

} // namespace LinuxWindowHints

} // namespace kestrove
