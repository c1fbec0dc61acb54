#pragma once

#include "core/FocusTask.h"

#include <optional>
#include <string>

namespace kestrove {

// What the tray's title is made of; read from the engine once a second.
struct StatusInputs
{
    bool isShutdownComplete = false;
    bool isPaused = false;
    std::optional<FocusTask> activeTask;
    double liveDeepSecondsToday = 0;
};

// The running task's time left: "0:07" under a minute, else whole minutes rounded up ("2m");
// "0:00" without a task or once the estimate is used up.
std::string menuBarCountdown(const std::optional<FocusTask>& activeTask);

// "Shutdown", "Paused", "🔒 " and the countdown during a focus task, else today's deep time
// ("59m", "1:00").
std::string statusTitle(const StatusInputs& inputs);

} // namespace kestrove
