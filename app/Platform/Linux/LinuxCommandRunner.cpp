#include "Platform/Linux/LinuxCommandRunner.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kestrove {

namespace {

// Enough of the error stream for a log line; the rest is read and dropped.
constexpr std::size_t kMaxErrorText = 4096;

using SteadyClock = std::chrono::steady_clock;

std::string errorText(int code)
{
    return std::system_category().message(code);
}

class SpawnSettings
{
public:
    explicit SpawnSettings(int errorPipe)
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, errorPipe, STDERR_FILENO);

        // Its own process group, so that a time-out also ends whatever it started; default
        // signal handling and an empty mask, whatever this process has set up.
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                  POSIX_SPAWN_SETSIGDEF);
        posix_spawnattr_setpgroup(&attributes, 0);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes, &signals);
        sigaddset(&signals, SIGPIPE);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        sigaddset(&signals, SIGHUP);
        posix_spawnattr_setsigdefault(&attributes, &signals);
    }
    ~SpawnSettings()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

int remainingMilliseconds(SteadyClock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// Reads the error stream until the child closes it or the deadline passes. False on time-out.
bool drain(int fd, SteadyClock::time_point deadline, std::string& text)
{
    char buffer[4096];
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, remainingMilliseconds(deadline));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return polled < 0; // a failed poll is no time-out; the wait below decides
        }
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return true;
        }
        const std::size_t room = kMaxErrorText - std::min(kMaxErrorText, text.size());
        text.append(buffer, std::min(room, static_cast<std::size_t>(count)));
    }
}

// Waits for the child's exit until the deadline. The status, or nothing on time-out.
std::optional<int> waitForExit(pid_t pid, SteadyClock::time_point deadline)
{
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return status;
        }
        if (done < 0 && errno != EINTR) {
            return 0; // already reaped elsewhere: nothing more to learn
        }
        if (SteadyClock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int exitCode(int status)
{
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return 128 + WTERMSIG(status);
}

} // namespace

CommandOutcome LinuxCommandRunner::run(const std::string& name, std::chrono::milliseconds timeout)
{
    CommandOutcome outcome;
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        outcome.failure = errorText(errno);
        return outcome;
    }
    pid_t pid = 0;
    int launched = 0;
    {
        SpawnSettings settings(errorPipe[1]);
        std::string program = name;
        char* arguments[] = {program.data(), nullptr};
        launched = ::posix_spawnp(&pid, program.c_str(), &settings.actions, &settings.attributes,
                                  arguments, environ);
    }
    ::close(errorPipe[1]);
    if (launched != 0) {
        ::close(errorPipe[0]);
        outcome.failure = errorText(launched);
        return outcome;
    }
    outcome.launched = true;

    const auto deadline = SteadyClock::now() + timeout;
    std::optional<int> status;
    if (drain(errorPipe[0], deadline, outcome.errorText)) {
        status = waitForExit(pid, deadline);
    }
    ::close(errorPipe[0]);
    if (!status) {
        ::kill(-pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return outcome;
    }
    outcome.exitCode = exitCode(*status);
    return outcome;
}

} // namespace kestrove
