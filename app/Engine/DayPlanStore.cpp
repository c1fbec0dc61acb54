#include "Engine/DayPlanStore.h"

#include "Platform/Clock.h"
#include "Platform/Log.h"
#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "Storage/DatabaseWorker.h"
#include "core/Calendar.h"
#include "core/NumberFormat.h"
#include "core/Text.h"

#include <algorithm>
#include <limits>

namespace kestrove {

namespace {

const Log kLog("plan");

int clampedInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

} // namespace

DayPlanStore::DayPlanStore(Preferences& preferences, const Clock& clock)
    : m_preferences(preferences), m_clock(clock), m_config(MorningGateConfig::defaultConfig())
{
    loadConfig();
}

// ---- Settings ----

void DayPlanStore::loadConfig()
{
    assertMainThread();
    std::set<int> weekdays = {1, 2, 3, 4, 5, 6, 7};
    if (const auto stored = m_preferences.integerArray(kActiveWeekdaysKey)) {
        weekdays.clear();
        for (std::int64_t day : *stored) {
            weekdays.insert(clampedInt(day));
        }
    }
    m_config = MorningGateConfig(m_preferences.boolValue(kEnabledKey).value_or(false),
                                 clampedInt(m_preferences.integer(kStartHourKey).value_or(6)),
                                 clampedInt(m_preferences.integer(kStartMinuteKey).value_or(0)),
                                 std::move(weekdays));
}

void DayPlanStore::setConfig(const MorningGateConfig& config)
{
    assertMainThread();
    if (config == m_config) {
        return;
    }
    m_config = config;
    persistConfig();
    changed();
}

void DayPlanStore::persistConfig()
{
    assertMainThread();
    m_preferences.setBool(kEnabledKey, m_config.enabled);
    m_preferences.setInteger(kStartHourKey, m_config.startHour);
    m_preferences.setInteger(kStartMinuteKey, m_config.startMinute);
    // A set is already in ascending order.
    m_preferences.setIntegerArray(
        kActiveWeekdaysKey,
        std::vector<std::int64_t>(m_config.activeWeekdays.begin(), m_config.activeWeekdays.end()));
}

// ---- Today's plan ----

std::optional<DayPlan> DayPlanStore::today() const
{
    if (m_today && Calendar::isSameDay(m_today->day, m_clock.now())) {
        return m_today;
    }
    return std::nullopt;
}

void DayPlanStore::setToday(std::optional<DayPlan> plan)
{
    assertMainThread();
    assignToday(std::move(plan));
}

void DayPlanStore::assignToday(std::optional<DayPlan> plan)
{
    assertMainThread();
    if (plan == m_today) {
        return;
    }
    m_today = std::move(plan);
    changed();
}

void DayPlanStore::changed()
{
    assertMainThread();
    m_observers.notify();
    if (onChange) {
        onChange();
    }
}

void DayPlanStore::reload(std::function<void()> done)
{
    if (!m_database) {
        if (done) {
            done();
        }
        return;
    }
    const Date day = Calendar::startOfDay(m_clock.now());
    m_database->run(
        m_guard, [day](Database& database) { return database.dayPlan(day); },
        [this, day, done = std::move(done)](DatabaseResult<std::optional<DayPlan>> result) {
            // A failed read counts as no plan.
            std::optional<DayPlan> plan = result.ok() ? result.value() : std::nullopt;
            if (plan && !Calendar::isSameDay(plan->day, day)) {
                plan.reset();
            }
            assignToday(std::move(plan));
            if (done) {
                done();
            }
        });
}

bool DayPlanStore::shouldArmNow() const
{
    assertMainThread();
    const auto plan = today();
    return MorningGate::shouldArm(m_clock.now(), m_config, plan && plan->isComplete(),
                                  plan && plan->isSkipped());
}

std::string DayPlanStore::gateExplanation() const
{
    const auto plan = today();
    return MorningGate::explain(m_clock.now(), m_config, plan && plan->isComplete(),
                                plan && plan->isSkipped());
}

DayPlan DayPlanStore::draft() const
{
    if (auto plan = today()) {
        return *plan;
    }
    const Date now = m_clock.now();
    return DayPlan::empty(Calendar::startOfDay(now), now);
}

void DayPlanStore::complete(const DayPlan& submitted)
{
    assertMainThread();
    // Only the stored plan of the submitted plan's own day has history to keep.
    std::optional<DayPlan> stored;
    if (m_today && Calendar::isSameDay(m_today->day, submitted.day)) {
        stored = m_today;
    }
    DayPlan plan = submitted.preservingHistory(stored);
    plan.day = Calendar::startOfDay(submitted.day);
    if (!plan.completedAt) {
        plan.completedAt = m_clock.now();
    }
    plan.skippedAt.reset();
    const auto blocks = static_cast<std::int64_t>(plan.blocks.size());
    save(std::move(plan));
    kLog.info("plan saved, blocks=" + NumberFormat::integer(blocks));
}

void DayPlanStore::markSkipped()
{
    assertMainThread();
    DayPlan plan = draft();
    plan.skippedAt = m_clock.now();
    save(std::move(plan));
    kLog.info("morning skipped via hatch");
}

template <typename Match, typename Change>
bool DayPlanStore::changeBlock(Match matches, Change apply)
{
    assertMainThread();
    // The held plan, of whatever day: a focus task that ran past midnight settles its block in
    // the plan it belongs to.
    if (!m_today) {
        return false;
    }
    const auto& blocks = m_today->blocks;
    const auto it = std::find_if(blocks.begin(), blocks.end(), matches);
    if (it == blocks.end()) {
        return false;
    }
    PlannedBlock block = *it;
    apply(block);
    DayPlan plan = *m_today;
    plan.update(block);
    save(std::move(plan));
    return true;
}

void DayPlanStore::setBlockApps(const std::string& blockID, const std::vector<std::string>& apps)
{
    assertMainThread();
    changeBlock([&](const PlannedBlock& b) { return b.id == blockID; },
                [&](PlannedBlock& b) {
                    b.allowedBundleIDs.clear();
                    for (const std::string& app : apps) {
                        b.allowedBundleIDs.push_back(Text::lowercased(app));
                    }
                });
}

void DayPlanStore::markBlockStarted(const std::string& blockID, const std::string& focusTaskID)
{
    assertMainThread();
    const Date now = m_clock.now();
    changeBlock([&](const PlannedBlock& b) { return b.id == blockID; },
                [&](PlannedBlock& b) {
                    b.startedAt = now;
                    b.endedAt.reset();
                    b.focusTaskID = focusTaskID;
                });
}

void DayPlanStore::markBlockFinished(const std::string& focusTaskID, double onTaskSeconds,
                                     bool completed)
{
    assertMainThread();
    const Date now = m_clock.now();
    const bool settled =
        changeBlock([&](const PlannedBlock& b) { return b.focusTaskID == focusTaskID; },
                    [&](PlannedBlock& b) {
                        b.actualOnTaskSeconds =
                            std::max(b.actualOnTaskSeconds.value_or(0), onTaskSeconds);
                        if (completed) {
                            b.endedAt = now;
                        } else {
                            b.reopen();
                        }
                    });
    if (settled) {
        kLog.info(std::string("block settled completed=") + (completed ? "true" : "false"));
    }
}

void DayPlanStore::reopenBlock(const std::string& blockID)
{
    assertMainThread();
    if (changeBlock([&](const PlannedBlock& b) { return b.id == blockID; },
                    [](PlannedBlock& b) { b.reopen(); })) {
        kLog.info("block reopened by hand");
    }
}

void DayPlanStore::save(DayPlan plan)
{
    assertMainThread();
    assignToday(plan);
    if (!m_database) {
        return;
    }
    // The plan in memory stays either way; the next successful save writes it.
    m_database->run([plan = std::move(plan)](Database& database) { database.upsertDayPlan(plan); },
                    [](DatabaseResult<void> result) {
                        if (const DatabaseError* error = result.error()) {
                            kLog.error(std::string("plan save failed: ") + error->what());
                        }
                    });
}

} // namespace kestrove
