#include "ViewLogic/Focus/LockInPageModel.h"

#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "core/DateText.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"

namespace kestrove {

// What one read brought: each half, or the error it failed with.
struct LockInPageModel::History
{
    std::optional<std::vector<FocusSessionEntry>> recent;
    std::optional<LockdownStats> stats;
    std::string recentError;
    std::string statsError;
};

LockInPageModel::LockInPageModel(SessionEngine& engine) : m_engine(engine)
{
    m_taskEnded = m_engine.focusTaskEnded().subscribe([this] { load(); });
    load();
}

void LockInPageModel::load()
{
    assertMainThread();
    // Before the engine is done starting the database is not open yet: read once it is.
    if (!m_engine.hasStarted()) {
        m_engineStarted = m_engine.observers().subscribe([this] {
            if (m_engine.hasStarted()) {
                m_engineStarted.cancel();
                load();
            }
        });
        return;
    }
    const std::uint64_t generation = ++m_generation;
    const Date now = m_engine.clock().now();
    // Both reads in one job, so a page never shows one read's list beside another's figures.
    m_engine.database().run(
        m_guard,
        [now](Database& db) {
            History history;
            try {
                history.recent = db.recentFocusTasks(kRecentLimit);
            } catch (const DatabaseError& error) {
                history.recentError = error.what();
            }
            try {
                history.stats = db.lockdownStats(now);
            } catch (const DatabaseError& error) {
                history.statsError = error.what();
            }
            return history;
        },
        [this, generation](DatabaseResult<History> result) {
            if (result.ok()) {
                apply(generation, result.value());
            } else {
                apply(generation, History{{}, {}, result.error()->what(), result.error()->what()});
            }
        });
}

void LockInPageModel::apply(std::uint64_t generation, const History& history)
{
    if (generation != m_generation) {
        return;
    }
    if (!history.recentError.empty()) {
        m_log.error("lock-in history read error: " + history.recentError);
    }
    if (!history.statsError.empty()) {
        m_log.error("lock-in figures read error: " + history.statsError);
    }
    m_recent = history.recent.value_or(std::vector<FocusSessionEntry>{});
    m_readFailed = !history.recent.has_value();
    m_chips = chipsFor(history.stats);
    m_loaded = true;
    m_observers.notify();
}

SessionOutcome LockInPageModel::outcome(const FocusSessionEntry& entry)
{
    if (entry.endedReason == "completed") {
        return {"finished", SessionOutcome::Tone::success};
    }
    if (entry.endedReason == "brokeOut") {
        return {"broke out", SessionOutcome::Tone::distraction};
    }
    if (entry.endedReason == "crashed") {
        return {"interrupted", SessionOutcome::Tone::quiet};
    }
    return {entry.completed ? "finished" : "ended", SessionOutcome::Tone::quiet};
}

std::string LockInPageModel::detailLine(const FocusSessionEntry& entry, const std::string& locale)
{
    return DateText::formatted(entry.startedAt, "MMM d", locale) + " \u00B7 " +
           DateText::shortTime(entry.startedAt, locale) + " \u00B7 " + entry.onTaskFormatted() +
           " on task of " + DurationFormat::hm(entry.estimatedSeconds);
}

std::vector<LockInChip> LockInPageModel::chipsFor(const std::optional<LockdownStats>& stats)
{
    if (!stats || stats->sessions < 1) {
        return {};
    }
    return {
        {"lockdowns today", NumberFormat::integer(stats->sessions)},
        {"locked time", DurationFormat::hm(stats->totalLockedSeconds)},
        {"blocked attempts", NumberFormat::integer(stats->totalBlocks)},
        {"finished", DurationFormat::percent(stats->completionRate)},
    };
}

} // namespace kestrove
