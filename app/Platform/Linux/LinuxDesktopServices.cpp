#include "Platform/Linux/LinuxDesktopServices.h"

#include "Platform/Linux/LinuxWorkspace.h"
#include "Platform/Log.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <thread>

extern char** environ;

namespace kestrove {

namespace {

const Log log("app");

} // namespace

std::vector<RunningApplication> LinuxDesktopServices::runningApplications()
{
    std::vector<RunningApplication> running;
    for (const FrontmostApplication& client : m_workspace.clientApplications()) {
        if (!client.localizedName) {
            continue;
        }
        const RunningApplication app{client.bundleID, *client.localizedName};
        if (std::find(running.begin(), running.end(), app) == running.end()) {
            running.push_back(app);
        }
    }
    return running;
}

void LinuxDesktopServices::playSound(std::string_view name)
{
    // Run without a shell; a missing player is not an error worth more than a line.
    std::string program = "canberra-gtk-play";
    std::string argument = "--id=" + std::string(name);
    char* argv[] = {program.data(), argument.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        log.info("no sound player for " + std::string(name));
        return;
    }
    // Reaped on the side so that no zombie is left behind.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
}

} // namespace kestrove
