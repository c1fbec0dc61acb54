#pragma once

#include "Platform/StartupSummary.h"

#include <functional>

namespace kestrove {

// The desktop's accessibility switch, through which browsers tell their sites. Both calls
// answer later, on the main thread; a slow or missing bus never holds a window.
class AccessibilitySwitch
{
public:
    using StateHandler = std::function<void(AccessibilityState)>;
    using Done = std::function<void(bool ok)>;

    virtual ~AccessibilitySwitch() = default;

    virtual void readState(StateHandler done) = 0;
    // Turns accessibility on for the whole desktop session.
    virtual void turnOn(Done done) = 0;
};

} // namespace kestrove
