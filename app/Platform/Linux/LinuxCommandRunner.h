#pragma once

#include "Platform/CommandRunner.h"

namespace kestrove {

// posix_spawnp in a process group of its own (a time-out kills the whole group), standard input
// and output on /dev/null, the error stream drained while the program runs so that a program
// that floods it never blocks.
class LinuxCommandRunner final : public CommandRunner
{
public:
    CommandOutcome run(const std::string& name, std::chrono::milliseconds timeout) override;
};

} // namespace kestrove
