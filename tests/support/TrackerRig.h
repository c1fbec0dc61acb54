#pragma once

#include "Storage/DatabaseWorker.h"
#include "support/FakeSessionServices.h"
#include "support/TemporaryFolder.h"

#include <sqlite3.h>

#include <string>

namespace kestrove {

// A tracker over fake collectors, writing into a real database file in a fresh temporary
// folder. The test plays the engine: it moves the clock and ticks.
class TrackerRig : public FakeSessionServices
{
public:
    // With a path, the rig tracks into that file instead of one in its own folder.
    explicit TrackerRig(const std::string& databasePath = {})
        : FakeSessionServices(1765000000.0),
          path(databasePath.empty() ? folder.path + "/Kestrove/kestrove.db" : databasePath)
    {
        database.run([](Database& db) { db.open(); }).wait().value();
    }

    // Brings an application to the front the way the desktop reports it.
    void show(const std::string& bundleID, const std::string& title = "",
              const std::string& documentPath = "")
    {
        workspace.windows[++window] = {title, documentPath};
        workspace.activate({bundleID, bundleID, 100, window});
    }

    // The engine's one-second ticks.
    void run(int seconds, TimeInterval step = 1.0)
    {
        for (int i = 0; i < seconds; ++i) {
            scheduler.advance(step);
            tracker.tick(clock.now());
        }
    }

    // Every stored row, zero-length ones included, read over a connection of its own without
    // waiting for queued writes.
    std::vector<Segment> rows()
    {
        std::vector<Segment> result;
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT start_ts, end_ts, app_name, kind FROM segments ORDER BY id",
                           -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            Segment row;
            row.start = sqlite3_column_double(statement, 0);
            row.end = sqlite3_column_double(statement, 1);
            row.appName = reinterpret_cast<const char*>(sqlite3_column_text(statement, 2));
            row.kind = ContextKinds::fromRawValue(
                           reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)))
                           .value_or(ContextKind::neutral);
            result.push_back(row);
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return result;
    }

    // Removed last, after the database has closed its file.
    TemporaryFolder folder;
    std::string path;
    DatabaseWorker database{mainQueue, path, clock};

private:
    std::uint64_t window = 0;
};

} // namespace kestrove
