#pragma once

#include "Engine/ChangeObservers.h"
#include "Platform/LifetimeGuard.h"
#include "Platform/Log.h"
#include "Storage/ReportQueries.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

class SessionEngine;

// How a past focus task ended, as its row says it.
struct SessionOutcome
{
    enum class Tone
    {
        success,
        distraction,
        quiet
    };
    std::string word;
    Tone tone = Tone::quiet;

    bool operator==(const SessionOutcome&) const = default;
};

// One of today's figures on the page.
struct LockInChip
{
    std::string label;
    std::string value;

    bool operator==(const LockInChip&) const = default;
};

// The lock-in page: today's lockdown figures and the latest focus tasks, read from the
// database when the page is shown and again after every focus task that ends. Main thread only.
class LockInPageModel
{
public:
    static constexpr int kRecentLimit = 20;
    static constexpr const char* kEyebrow = "Lock in";
    static constexpr const char* kTitle = "Time-boxed focus";
    static constexpr const char* kIntro =
        "Pick a task, a length and the apps you need. Everything else is walled off until the "
        "timer ends or you type your way out. Time counts only while you are in those apps and "
        "active.";
    static constexpr const char* kRecentTitle = "Recent sessions";
    static constexpr const char* kNoSessions = "No sessions yet.";
    static constexpr const char* kReadFailed = "Past sessions could not be read.";

    // Loads at once and after every task that ends, for as long as the model lives.
    explicit LockInPageModel(SessionEngine& engine);

    // Reads both again; when reads overlap, only the newest one's answer is shown.
    void load();

    const std::vector<FocusSessionEntry>& recent() const { return m_recent; }
    // Today's four figures; empty while no lockdown ran today (or they could not be read).
    const std::vector<LockInChip>& chips() const { return m_chips; }
    // What the list says when it has no rows: nothing yet, or that the read failed.
    std::string emptyText() const { return m_readFailed ? kReadFailed : kNoSessions; }
    bool isLoaded() const { return m_loaded; }
    ChangeObservers& observers() { return m_observers; }

    static SessionOutcome outcome(const FocusSessionEntry& entry);
    // "Mar 5 · 9:41 AM · 1h 5m on task of 1h 30m", in `locale` (the user's when empty).
    static std::string detailLine(const FocusSessionEntry& entry, const std::string& locale = {});
    static std::vector<LockInChip> chipsFor(const std::optional<LockdownStats>& stats);

private:
    struct History;
    void apply(std::uint64_t generation, const History& history);

    SessionEngine& m_engine;
    Log m_log{"focus"};
    std::vector<FocusSessionEntry> m_recent;
    std::vector<LockInChip> m_chips;
    bool m_readFailed = false;
    bool m_loaded = false;
    std::uint64_t m_generation = 0;
    ChangeObservers m_observers;
    Subscription m_taskEnded;
    Subscription m_engineStarted;
    LifetimeGuard m_guard;
};

} // namespace kestrove
