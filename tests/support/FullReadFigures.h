#pragma once

#include "support/EngineRig.h"

#include "core/Calendar.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// Today's figures as a whole read of the day gives them: every stored segment of the day but
// the open one, the open one from memory up to now, a stable sort by start and a new summary.
// What the engine publishes must be exactly this.
struct FullReadFigures
{
    DaySummary today;
    std::optional<FocusBlock> liveBlock;

    explicit FullReadFigures(EngineRig& rig, double graceSeconds = 180)
    {
        const Date now = rig.clock.now();
        const Date dayStart = Calendar::startOfDay(now);
        const Date dayEnd = Calendar::addingDays(dayStart, 1);
        const auto& open = rig.tracker.open();
        std::optional<std::int64_t> excluded;
        if (open && rig.tracker.openHandle()) {
            excluded = rig.tracker.openHandle()->id();
        }
        std::vector<Segment> segments =
            rig.engine->database()
                .run([=](Database& db) { return db.segments(dayStart, dayEnd, excluded); })
                .wait()
                .value();
        if (open) {
            Segment copy = *open;
            copy.end = now;
            copy.start = std::max(copy.start, dayStart);
            if (copy.end > copy.start) {
                segments.push_back(copy);
                std::stable_sort(
                    segments.begin(), segments.end(),
                    [](const Segment& a, const Segment& b) { return a.start < b.start; });
            }
        }
        const FocusBlockBuilder builder{graceSeconds, 300};
        today = DaySummary::build(dayStart, segments, rig.engine->projects().projects(), builder);
        liveBlock = builder.liveBlock(segments, now);
    }

    bool matches(const SessionEngine& engine) const
    {
        return engine.today() == today && engine.liveBlock() == liveBlock;
    }

    // The totals of a summary, for failure messages.
    static std::string describe(const DaySummary& s)
    {
        using NumberFormat::shortest;
        return Calendar::dayString(s.date) + " deep " + shortest(s.deepSeconds) + " shallow " +
               shortest(s.shallowSeconds) + " distraction " + shortest(s.distractionSeconds) +
               " neutral " + shortest(s.neutralSeconds) + " idle " + shortest(s.idleSeconds) +
               " blocks " + NumberFormat::integer(static_cast<std::int64_t>(s.blocks.size())) +
               " projects " + NumberFormat::integer(static_cast<std::int64_t>(s.byProject.size()));
    }
};

} // namespace kestrove
