// The program entry: a Qt application around the composition root.
#include "Application.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (!kestrove::Application::hasDisplay()) {
        std::fprintf(stderr, "kestrove: no X display to watch (is DISPLAY set?); Kestrove "
                             "needs an X11 desktop session.\n");
        return 1;
    }
    kestrove::Application::useOnlyTheUsersSessionBus();
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Kestrove");
    // The tray application lives on when its windows close; only Quit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    kestrove::Application app;
    app.launch();
    return app.exec();
}
