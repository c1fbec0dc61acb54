// The week page and the projects page on one year of history (about a million segments, over
// twenty projects): their reads through the database's thread, and each page read and laid out.
#include "Gallery/Gallery.h"
#include "ViewLogic/Projects/ProjectsLoader.h"
#include "ViewLogic/Week/WeekLoader.h"
#include "ViewLogic/Week/WeekModel.h"
#include "Views/Dashboard/ProjectsView.h"
#include "Views/Dashboard/WeekView.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QApplication>
#include <QLayout>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <random>
#include <string>
#include <vector>

using namespace kestrove;

namespace {

constexpr int kDays = 365;
constexpr int kSegmentsPerDay = 2740;
constexpr int kProjects = 20;
const Date kNow = Calendar::date(2026, 3, 12, 17, 0); // a Thursday

std::string projectName(int i)
{
    return "Project " + std::to_string(i + 1);
}

// Sixteen waking hours a day of short stretches, a fifth of them without a project.
void buildYear(const std::string& path)
{
    {
        Database db(path);
        db.open();
    }
    sqlite3* raw = nullptr;
    sqlite3_open(path.c_str(), &raw);
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(raw,
                       "INSERT INTO segments (start_ts, end_ts, bundle_id, app_name, window_title, "
                       "domain, kind, project, area) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    static const std::array<const char*, 5> kinds = {"deep", "deep", "shallow", "distraction",
                                                     "neutral"};
    static const std::array<const char*, 4> titles = {"main.cpp", "notes.md", "Inbox", "report"};
    std::vector<std::string> names;
    for (int i = 0; i < kProjects; ++i) {
        names.push_back(projectName(i));
    }
    std::mt19937 random(11);
    const Date today = Calendar::startOfDay(kNow);
    for (int day = -kDays; day <= 0; ++day) {
        const Date start = Calendar::addingDays(today, day) + 7 * 3600.0;
        const double span = day == 0 ? kNow - start : 16 * 3600.0;
        const double step = span / kSegmentsPerDay;
        for (int i = 0; i < kSegmentsPerDay; ++i) {
            const Date from = start + i * step;
            const int project = static_cast<int>(random() % (kProjects + 5));
            sqlite3_bind_double(insert, 1, from);
            sqlite3_bind_double(insert, 2, from + step);
            sqlite3_bind_text(insert, 3, "org.example.editor", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 4, "Editor", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 5, titles[random() % titles.size()], -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 6, "", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 7, kinds[random() % kinds.size()], -1, SQLITE_STATIC);
            if (project < kProjects) {
                sqlite3_bind_text(insert, 8, names[project].c_str(), -1, SQLITE_STATIC);
                sqlite3_bind_text(insert, 9, project % 3 == 0 ? "Work" : "Study", -1,
                                  SQLITE_STATIC);
            } else {
                sqlite3_bind_null(insert, 8);
                sqlite3_bind_null(insert, 9);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
}

struct Year
{
    Year()
    {
        buildYear(folder.path + "/kestrove.db");
        rig.emplace(kNow, folder.path + "/kestrove.db");
        for (int i = 0; i < kProjects; ++i) {
            Project project;
            project.id = "P" + std::to_string(i);
            project.name = projectName(i);
            project.color = std::string(ProjectStore::palette[i % ProjectStore::palette.size()]);
            if (i % 3 == 0) {
                project.area = "Work";
            }
            project.rules = {ProjectRule::titleContains("project " + std::to_string(i + 1))};
            rig->engine->projects().add(project);
        }
        rig->show("org.example.editor", "main.cpp");
        rig->start();
    }
    TemporaryFolder folder;
    std::optional<EngineRig> rig;
};

Year& year()
{
    static Year* instance = new Year;
    return *instance;
}

QApplication& application()
{
    static int argc = 1;
    static char name[] = "WeekBench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = gallery::offscreenApplication(argc, argv);
    return *app;
}

// What the week page reads: its seven day totals and its projects up to now, through the
// database's thread and back.
void BM_WeekPageData(benchmark::State& state)
{
    EngineRig& rig = *year().rig;
    WeekLoader loader(*rig.engine);
    const Date start = weekStart(kNow, 0, 2);
    std::size_t projects = 0;
    for (auto _ : state) {
        std::optional<WeekLoad> result;
        loader.load(start, kNow, [&](WeekLoad load) { result = std::move(load); });
        rig.settle();
        if (!result || result->failed || result->days.size() != 7) {
            state.SkipWithError("the week was not read");
            break;
        }
        projects = result->projectTotals.size();
    }
    state.counters["projects"] = static_cast<double>(projects);
}
BENCHMARK(BM_WeekPageData)->Unit(benchmark::kMillisecond);

// What the projects page reads when a project is chosen: the 30-day figures of every project,
// and the chosen one's 30 daily figures and top labels.
void BM_ProjectsPageData(benchmark::State& state)
{
    EngineRig& rig = *year().rig;
    ProjectsLoader loader(*rig.engine);
    std::size_t rows = 0;
    for (auto _ : state) {
        std::optional<ProjectTotalsLoad> totals;
        std::optional<ProjectDetailLoad> detail;
        loader.loadTotals(kNow, [&](ProjectTotalsLoad load) { totals = std::move(load); });
        loader.loadDetail(projectName(0), kNow,
                          [&](ProjectDetailLoad load) { detail = std::move(load); });
        rig.settle();
        if (!totals || totals->failed || !detail || detail->trend.size() != 30) {
            state.SkipWithError("the projects were not read");
            break;
        }
        rows = totals->totals.size();
    }
    state.counters["projects"] = static_cast<double>(rows);
}
BENCHMARK(BM_ProjectsPageData)->Unit(benchmark::kMillisecond);

void BM_WeekLoadAndLayOut(benchmark::State& state)
{
    application();
    EngineRig& rig = *year().rig;
    DashboardNavigation navigation;
    for (auto _ : state) {
        WeekView view(*rig.engine, navigation);
        rig.settle();
        view.content()->setFixedWidth(924);
        view.content()->layout()->activate();
        if (view.days().size() != 7) {
            state.SkipWithError("the week was not read");
            break;
        }
    }
}
BENCHMARK(BM_WeekLoadAndLayOut)->Unit(benchmark::kMillisecond);

// The page as the dashboard opens it, then a project chosen: twenty rows by area, the detail
// with its chart, rules and labels.
void BM_ProjectsLoadAndLayOut(benchmark::State& state)
{
    application();
    EngineRig& rig = *year().rig;
    const Project first = *rig.engine->projects().projectWithID("P0");
    for (auto _ : state) {
        ProjectsView view(*rig.engine);
        rig.settle();
        view.select(first);
        rig.settle();
        view.resize(1100, 720);
        view.list()->layout()->activate();
        view.detail()->layout()->activate();
        if (view.totals30().size() < kProjects || view.trend().size() != 30) {
            state.SkipWithError("the projects were not read");
            break;
        }
    }
}
BENCHMARK(BM_ProjectsLoadAndLayOut)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
