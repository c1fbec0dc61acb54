// The program entry: a Qt application around the composition root.
#include "Application.h"
#include "Platform/Linux/SingleInstanceGuard.h"

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

    // One Kestrove per user records: the lock is taken before the database opens and is held
    // until the program ends.
    using Guard = kestrove::SingleInstanceGuard;
    Guard instance(Guard::defaultLockPath(kestrove::Database::defaultPath()));
    if (instance.acquire() != Guard::Outcome::acquired) {
        std::fprintf(stderr, "kestrove: %s\n", instance.refusal().c_str());
        return instance.outcome() == Guard::Outcome::heldElsewhere ? 0 : 1;
    }

    kestrove::Application app;
    app.launch();
    return app.exec();
}
