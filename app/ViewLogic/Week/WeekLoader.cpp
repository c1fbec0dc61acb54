#include "ViewLogic/Week/WeekLoader.h"

#include "Engine/SessionEngine.h"
#include "ViewLogic/Week/WeekModel.h"
#include "core/Calendar.h"

#include <utility>

namespace kestrove {

WeekLoader::WeekLoader(SessionEngine& engine) : m_engine(engine) {}

void WeekLoader::load(Date start, Date now, Apply apply)
{
    const std::uint64_t generation = ++m_generation;
    const Date end = Calendar::addingDays(start, 7);
    const Date projectsEnd = weekProjectWindowEnd(start, now);
    m_engine.database().run(
        m_guard,
        [start, end, projectsEnd](Database& db) {
            WeekLoad load;
            load.weekStart = start;
            load.days = db.dayTotals(start, end);
            load.projectTotals = db.projectTotals(start, projectsEnd);
            return load;
        },
        [this, generation, start, apply](DatabaseResult<WeekLoad> result) {
            if (generation != m_generation) {
                return;
            }
            if (result.ok()) {
                apply(result.value());
                return;
            }
            WeekLoad failed;
            failed.weekStart = start;
            failed.failed = true;
            failed.error = result.error()->what();
            apply(std::move(failed));
        });
}

} // namespace kestrove
