#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Date.h"
#include "core/FocusBlockBuilder.h"

namespace kestrove {

class Clock;

// Carries a focus-state event to other processes of the user. Entries are text keys and text
// values, in the order they are to be sent.
class FocusStateSignal
{
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;

    virtual ~FocusStateSignal() = default;
    virtual void send(const Entries& entries) = 0;
};

// Announces every change of the live session phase: "phase_changed", and when deep work
// begins or ends, "entered_deep_work" or "left_deep_work" with how long it lasted.
// Main thread only.
class FocusStateMonitor
{
public:
    FocusStateMonitor(FocusStateSignal& signal, const Clock& clock);

    void update(SessionPhase phase);

    SessionPhase currentPhase() const { return m_currentPhase; }
    std::optional<Date> deepEnteredAt() const { return m_deepEnteredAt; }

    std::function<void()> onEnterDeep;
    std::function<void()> onLeaveDeep;

    static bool isDeep(SessionPhase phase);
    // "2026-03-01T12:00:05Z": UTC, whole seconds.
    static std::string timestamp(Date date);

private:
    void post(const std::string& event, FocusStateSignal::Entries data);

    FocusStateSignal& m_signal;
    const Clock& m_clock;
    SessionPhase m_currentPhase = SessionPhase::idle;
    std::optional<Date> m_deepEnteredAt;
};

} // namespace kestrove
