#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace kestrove {

// How one run of a program ended.
struct CommandOutcome
{
    // False when the program could not be started at all; `failure` then says why.
    bool launched = false;
    // The exit status (128 + signal when a signal ended it); absent after a time-out.
    std::optional<int> exitCode;
    // What the program wrote to its error stream, cut to a few kilobytes.
    std::string errorText;
    std::string failure;

    bool timedOut() const { return launched && !exitCode; }
};

// Runs a program by name, found on PATH, without a shell, and waits for it up to a time-out.
// Blocking: callers run it on a worker thread of their own.
class CommandRunner
{
public:
    virtual ~CommandRunner() = default;
    virtual CommandOutcome run(const std::string& name, std::chrono::milliseconds timeout) = 0;
};

} // namespace kestrove
