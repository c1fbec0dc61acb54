#include "ViewLogic/Projects/ProjectsLoader.h"

#include "Engine/SessionEngine.h"
#include "ViewLogic/Projects/ProjectsModel.h"

#include <utility>

namespace kestrove {

namespace {

constexpr int kDetailLabels = 12;
constexpr int kUnassignedLabels = 25;

} // namespace

ProjectsLoader::ProjectsLoader(SessionEngine& engine) : m_engine(engine) {}

void ProjectsLoader::loadTotals(Date now, Apply<ProjectTotalsLoad> apply)
{
    const std::uint64_t generation = ++m_totalsGeneration;
    const ProjectWindow window = thirtyDayWindow(now);
    m_engine.database().run(
        m_guard, [window](Database& db) { return db.projectTotals(window.from, window.to); },
        [this, generation, apply](DatabaseResult<std::vector<TimeShare>> result) {
            if (generation != m_totalsGeneration) {
                return;
            }
            ProjectTotalsLoad load;
            load.failed = !result.ok();
            if (result.ok()) {
                load.totals = result.value();
            }
            apply(std::move(load));
        });
}

void ProjectsLoader::loadDetail(const std::string& project, Date now,
                                Apply<ProjectDetailLoad> apply)
{
    const std::uint64_t generation = ++m_detailGeneration;
    const ProjectWindow window = thirtyDayWindow(now);
    m_engine.database().run(
        m_guard,
        [project, window](Database& db) {
            ProjectDetailLoad load;
            load.project = project;
            load.trend = db.projectDailyDeepSeconds(project, window.from, window.to);
            load.labels = db.labelBreakdown(project, window.from, window.to, kDetailLabels);
            return load;
        },
        [this, generation, project, apply](DatabaseResult<ProjectDetailLoad> result) {
            if (generation != m_detailGeneration) {
                return;
            }
            if (result.ok()) {
                apply(result.value());
                return;
            }
            ProjectDetailLoad failed;
            failed.project = project;
            failed.failed = true;
            apply(std::move(failed));
        });
}

void ProjectsLoader::loadUnassigned(Date now, Apply<UnassignedLoad> apply)
{
    const std::uint64_t generation = ++m_unassignedGeneration;
    const ProjectWindow window = thirtyDayWindow(now);
    m_engine.database().run(
        m_guard,
        [window](Database& db) {
            return db.labelBreakdown(std::nullopt, window.from, window.to, kUnassignedLabels);
        },
        [this, generation, apply](DatabaseResult<std::vector<LabelTime>> result) {
            if (generation != m_unassignedGeneration) {
                return;
            }
            UnassignedLoad load;
            load.failed = !result.ok();
            if (result.ok()) {
                load.labels = result.value();
            }
            apply(std::move(load));
        });
}

void renameProjectHistory(SessionEngine& engine, const HistoryRename& rename,
                          const LifetimeGuard& guard,
                          std::function<void(std::optional<std::string> error)> done)
{
    auto report = guard.guarded(std::move(done));
    engine.database().run(
        [rename](Database& db) { db.renameProject(rename.from, rename.to, rename.area); },
        [&engine, report](DatabaseResult<void> result) {
            std::optional<std::string> error;
            if (!result.ok()) {
                error = result.error()->what();
            }
            // Today's figures follow the stored names either way.
            engine.refreshToday([report, error] {
                if (report) {
                    report(error);
                }
            });
        });
}

} // namespace kestrove
