// The program entry: one Kestrove per user, a Qt application around the composition root.
#include "Application.h"
#include "Intents/CommandLine.h"
#include "Platform/Linux/InstanceChannel.h"
#include "Platform/Linux/SingleInstanceGuard.h"
#include "Subcommands.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace kestrove;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The automation commands answer without a display and without starting Kestrove.
    if (CommandLine::isSubcommand(arguments)) {
        return runSubcommand(argc, argv, arguments);
    }
    if (!Application::hasDisplay()) {
        std::fprintf(stderr, "kestrove: no X display to watch (is DISPLAY set?); Kestrove "
                             "needs an X11 desktop session.\n");
        return 1;
    }
    Application::useOnlyTheUsersSessionBus();
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Kestrove");
    // The tray application lives on when its windows close; only Quit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // One Kestrove per user records: the lock is taken before the database opens and is held
    // until the program ends. A second start hands its links (or a reopen) to the first.
    SingleInstanceGuard instance(SingleInstanceGuard::defaultLockPath(Database::defaultPath()));
    if (instance.acquire() != SingleInstanceGuard::Outcome::acquired) {
        std::fprintf(stderr, "kestrove: %s\n", instance.refusal().c_str());
        if (instance.outcome() != SingleInstanceGuard::Outcome::heldElsewhere) {
            return 1;
        }
        if (!InstanceChannel::send(arguments)) {
            std::fprintf(stderr, "kestrove: the running Kestrove did not answer.\n");
        }
        return 0;
    }

    Application app;
    InstanceChannel channel;
    channel.onMessage = [&app](const std::vector<std::string>& forwarded) {
        app.shell().handleArguments(forwarded);
    };
    channel.onRequest = [&app](const std::vector<std::string>& request,
                               InstanceChannel::Reply reply) {
        app.answerRequest(request, std::move(reply));
    };
    channel.listen();
    app.launch();
    for (const std::string& link : arguments) {
        app.shell().openUrl(link);
    }
    return app.exec();
}
