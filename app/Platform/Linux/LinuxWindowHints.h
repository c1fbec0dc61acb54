#pragma once

class QWidget;

namespace kestrove {

// What Qt cannot ask of the window manager for one of our own windows.
namespace LinuxWindowHints {

// Keeps a window on every desktop (and out of the task bar and pager): the hints are set on
// the window before it is mapped, and asked of the window manager when it is mapped already.
// Does nothing without an X11 connection (the offscreen platform of tests).
void showOnEveryDesktop(QWidget& window);

} // namespace LinuxWindowHints

} // namespace kestrove
