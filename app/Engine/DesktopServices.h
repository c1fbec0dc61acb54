#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// One application with a window on the desktop.
struct RunningApplication
{
    std::optional<std::string> bundleID;
    std::string name;

    bool operator==(const RunningApplication&) const = default;
};

// The few things the engine asks of the desktop beyond sampling: which applications run, and
// a short sound from the desktop's sound theme.
class DesktopServices
{
public:
    virtual ~DesktopServices() = default;

    // In the desktop's window order; each application once.
    virtual std::vector<RunningApplication> runningApplications() = 0;
    // Plays the named event sound of the sound theme where the desktop has one; otherwise
    // nothing happens.
    virtual void playSound(std::string_view name) = 0;
};

} // namespace kestrove
