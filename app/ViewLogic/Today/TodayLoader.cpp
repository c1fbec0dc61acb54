#include "ViewLogic/Today/TodayLoader.h"

#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "Platform/Preferences.h"
#include "core/Calendar.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace kestrove {

namespace {

constexpr double kMinBlockSeconds = 300;

} // namespace

std::vector<Segment> mergeOpenSegment(std::vector<Segment> rows, const std::optional<Segment>& open,
                                      Date dayStart, Date now)
{
    if (!open) {
        return rows;
    }
    Segment copy = *open;
    copy.end = now;
    copy.start = std::max(copy.start, dayStart);
    if (copy.end > copy.start) {
        rows.push_back(std::move(copy));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Segment& a, const Segment& b) { return a.start < b.start; });
    return rows;
}

TodayLoader::TodayLoader(SessionEngine& engine) : m_engine(engine) {}

void TodayLoader::load(Date day, bool isToday, Apply apply)
{
    const std::uint64_t generation = ++m_generation;
    const Date dayStart = day;
    const Date dayEnd = Calendar::addingDays(dayStart, 1);
    const Date now = m_engine.clock().now();

    // The open segment and its row are taken together, now: the row's id is read on the
    // database's thread, after every write sent before this job has landed, so the stored row
    // and the copy in memory are one segment even when it closes while the read runs.
    std::optional<Segment> open;
    std::shared_ptr<Tracker::Handle> handle;
    if (isToday) {
        open = m_engine.tracker().open();
        handle = m_engine.tracker().openHandle();
        if (!open) {
            handle.reset();
        }
    }
    std::optional<FocusBlockBuilder> builder;
    std::vector<Project> projects;
    if (!isToday) {
        builder = FocusBlockBuilder{SessionEngine::blockGraceSeconds(m_engine.preferences()),
                                    kMinBlockSeconds};
        projects = m_engine.projects().projects();
    }

    m_engine.database().run(
        m_guard,
        [=](Database& db) {
            TodayLoad load;
            load.day = dayStart;
            load.isToday = isToday;
            std::optional<std::int64_t> excluded;
            if (handle) {
                excluded = handle->id();
            }
            load.segments =
                mergeOpenSegment(db.segments(dayStart, dayEnd, excluded), open, dayStart, now);
            if (builder) {
                load.pastSummary = DaySummary::build(dayStart, load.segments, projects, *builder);
            }
            load.legacyImported = db.hasLegacyImport();
            return load;
        },
        [this, generation, dayStart, isToday, apply](DatabaseResult<TodayLoad> result) {
            if (generation != m_generation) {
                return;
            }
            if (result.ok()) {
                m_failing = false;
                apply(result.value());
                return;
            }
            if (!std::exchange(m_failing, true)) {
                m_log.error(std::string("today load failed: ") + result.error()->what());
            }
            TodayLoad failed;
            failed.day = dayStart;
            failed.isToday = isToday;
            failed.failed = true;
            apply(std::move(failed));
        });
}

} // namespace kestrove
