#include "replay/ReplayDriver.h"

#include "replay/TimelineFeed.h"

#include "Engine/AppAllowlistPresets.h"
#include "Engine/SessionEngine.h"
#include "Platform/Preferences.h"
#include "support/FakeSessionServices.h"

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace kestrove::replay {

namespace {

// The desktop around the engine: every platform service stood in for, the engine real.
struct Desktop : FakeSessionServices
{
    Desktop(Date start, const std::string& folder)
        : FakeSessionServices(start), preferences(folder + "/Kestrove/preferences.json", mainQueue)
    {}

    FilePreferences preferences;
    AppAllowlistPresets presets{preferences};
};

// Lets the database's thread and the main queue finish what they were given.
void settle(SessionEngine& engine, ManualMainQueue& mainQueue)
{
    do {
        engine.database().waitUntilIdle();
    } while (mainQueue.drain() > 0);
}

std::int64_t count(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    std::int64_t result = 0;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        result = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return result;
}

std::int64_t fileBytes(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

} // namespace

std::string replayDatabasePath(const std::string& folder)
{
    return folder + "/Kestrove/kestrove.db";
}

ReplayReport replayTimeline(const Timeline& timeline, const std::string& folder)
{
    const std::string path = replayDatabasePath(folder);
    auto desktop = std::make_unique<Desktop>(timeline.start, folder);
    SessionEngine engine(
        SessionEngine::Services{desktop->clock, desktop->mainQueue, desktop->scheduler,
                                desktop->preferences, desktop->workspace, desktop->tracker,
                                desktop->presets, desktop->lockdown, desktop->overlay,
                                desktop->display, desktop->gate, desktop->notifications,
                                desktop->bridge, desktop->monitor, desktop->desktop},
        path);
    TimelineFeed feed(timeline,
                      {desktop->workspace, desktop->scripting, desktop->input, desktop->events});
    feed.onTask = [&](const TimelineEvent& event, const std::string& id) {
        engine.startFocusTask(focusTask(event, id, desktop->clock.now()));
    };
    feed.onEndTask = [&] { engine.endFocusTask(FocusTask::EndReason::completed); };

    ReplayReport report;
    const auto began = std::chrono::steady_clock::now();
    feed.advance(desktop->clock.now());
    engine.start();
    settle(engine, desktop->mainQueue);
    // Second by second, as the engine's timer runs. A second is ages for the database, so what
    // the desktop's events and each tick sent it has landed, and its answers been handled,
    // before the next tick.
    while (!feed.isFinished(desktop->clock.now())) {
        if (feed.advance(desktop->clock.now() + 1) > 0) {
            settle(engine, desktop->mainQueue);
        } else {
            desktop->mainQueue.drain();
        }
        desktop->scheduler.advance(1);
        settle(engine, desktop->mainQueue);
        ++report.samples;
    }
    bool stopped = false;
    engine.stop([&] { stopped = true; });
    while (!stopped) {
        settle(engine, desktop->mainQueue);
    }
    report.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    report.simulatedSeconds = static_cast<double>(report.samples);
    desktop->preferences.flush();

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        report.segments = count(db, "SELECT COUNT(*) FROM segments");
        report.focusTasks = count(db, "SELECT COUNT(*) FROM focus_tasks");
    }
    sqlite3_close(db);
    report.databaseBytes =
        fileBytes(path) + fileBytes(path + "-wal") + fileBytes(path + "-journal");
    return report;
}

std::vector<Segment> storedSegments(const std::string& path)
{
    std::vector<Segment> result;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return result;
    }
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT start_ts, end_ts, bundle_id, app_name, window_title, domain, kind,"
                       " project, focus_task_id FROM segments ORDER BY id",
                       -1, &statement, nullptr);
    const auto text = [&](int column) -> std::optional<std::string> {
        const auto* value = sqlite3_column_text(statement, column);
        return value ? std::optional<std::string>(reinterpret_cast<const char*>(value))
                     : std::nullopt;
    };
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        Segment row;
        row.start = sqlite3_column_double(statement, 0);
        row.end = sqlite3_column_double(statement, 1);
        row.bundleID = text(2);
        row.appName = text(3).value_or("");
        row.windowTitle = text(4).value_or("");
        row.domain = text(5).value_or("");
        row.kind = ContextKinds::fromRawValue(text(6).value_or("")).value_or(ContextKind::neutral);
        row.project = text(7);
        row.focusTaskID = text(8);
        result.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

} // namespace kestrove::replay
