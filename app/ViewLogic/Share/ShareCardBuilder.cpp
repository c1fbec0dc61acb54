#include "ViewLogic/Share/ShareCardBuilder.h"

#include "Engine/SessionEngine.h"
#include "core/Calendar.h"

#include <memory>
#include <utility>

namespace kestrove {

ShareCardBuilder::ShareCardBuilder(SessionEngine& engine) : m_engine(engine) {}

ShareCardInputs ShareCardBuilder::inputs(SessionEngine& engine, const SharePeriod& period,
                                         const std::optional<std::string>& handle)
{
    ShareCardInputs inputs;
    inputs.period = period;
    inputs.now = engine.clock().now();
    inputs.projects = engine.projects().projects();
    inputs.goalHours = engine.goal().dailyGoalHours();
    inputs.streak = engine.streak();
    inputs.graceSeconds = SessionEngine::blockGraceSeconds(engine.preferences());
    inputs.handle = handle;
    if (!period.isWeek() && Calendar::isSameDay(period.start, inputs.now)) {
        inputs.open = engine.tracker().open();
        // Before the engine's first history read there are no recent days, and none are read.
        inputs.recentDays = engine.recentDays();
    }
    return inputs;
}

void ShareCardBuilder::build(const SharePeriod& period, const std::optional<std::string>& handle,
                             Done done)
{
    ShareCardInputs taken = inputs(m_engine, period, handle);
    // The open segment and its row are taken together; the row's id is read on the database's
    // thread, once the insert sent before this job has landed.
    std::shared_ptr<Tracker::Handle> row;
    if (taken.open) {
        row = m_engine.tracker().openHandle();
    }
    m_engine.database().run(
        m_guard,
        [taken = std::move(taken), row](Database& db) {
            return buildShareCard(db, taken, row ? row->id() : std::nullopt);
        },
        [done = std::move(done)](DatabaseResult<ShareCard> result) {
            // The card never fails as a whole: each failed read already counted as empty.
            if (result.ok() && done) {
                done(result.value());
            }
        });
}

} // namespace kestrove
