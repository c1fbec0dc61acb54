#pragma once

#include "core/Date.h"
#include "core/FocusTask.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrove {

// The figures of the celebration card, taken once when the user says the task is done.
struct SessionStats
{
    std::string taskName;
    std::int64_t durationSeconds = 0;
    std::int64_t onTaskSeconds = 0;
    std::optional<double> avgScore; // absent without samples or when the mean is not above 0

    // The running task's figures at `now`; nothing without a task.
    static std::optional<SessionStats> capture(const std::optional<FocusTask>& task, Date now);

    bool operator==(const SessionStats&) const = default;
};

// One screen's time-up card: the prompt with its minutes stepper, then the celebration.
class TimeUpModel
{
public:
    static constexpr int kMinMinutes = 5;
    static constexpr int kMaxMinutes = 120;
    static constexpr int kStepMinutes = 5;
    static constexpr int kStartMinutes = 15;

    enum class Phase
    {
        prompt,
        celebrating
    };

    explicit TimeUpModel(std::string taskName) : m_taskName(std::move(taskName)) {}

    // "45s", "59m", "1h 0m": whole seconds, minutes below an hour, hours and minutes above.
    static std::string formatDuration(std::int64_t seconds);
    // The figures box: label and value per line, the score only when there is one.
    static std::vector<std::pair<std::string, std::string>> statLines(const SessionStats& stats);

    const std::string& taskName() const { return m_taskName; }
    int minutes() const { return m_minutes; }
    std::string minutesLabel() const { return std::to_string(m_minutes) + " more minutes"; }
    bool canAddMinutes() const { return m_minutes < kMaxMinutes; }
    bool canRemoveMinutes() const { return m_minutes > kMinMinutes; }
    void addMinutes();
    void removeMinutes();

    Phase phase() const { return m_phase; }
    const std::optional<SessionStats>& stats() const { return m_stats; }
    // "Yes, I'm done": the captured figures, or the task's name with nothing counted when the
    // task has already gone. Nobody is told yet; the task runs until "Done".
    void celebrate(std::optional<SessionStats> captured);

private:
    std::string m_taskName;
    int m_minutes = kStartMinutes;
    Phase m_phase = Phase::prompt;
    std::optional<SessionStats> m_stats;
};

} // namespace kestrove
