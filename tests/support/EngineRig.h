#pragma once

#include "Engine/AppAllowlistPresets.h"
#include "Engine/SessionEngine.h"
#include "support/FakeSessionServices.h"
#include "support/RecordingPreferences.h"
#include "support/TableRows.h"
#include "support/TemporaryFolder.h"

#include <memory>
#include <string>
#include <vector>

namespace kestrove {

// A session engine over fake collectors and services, writing into a real database file in a
// temporary folder. The test moves the clock second by second; settle() lets the database's
// thread and the main queue finish what they were given.
class EngineRig : public FakeSessionServices
{
public:
    // The preferences and the clock may come from an earlier rig (a restart).
    explicit EngineRig(Date now, std::string databasePath = {})
        : FakeSessionServices(now),
          path(databasePath.empty() ? folder.path + "/Kestrove/kestrove.db"
                                    : std::move(databasePath))
    {
        build();
    }

    ~EngineRig() { engine.reset(); }

    void build()
    {
        engine = std::make_unique<SessionEngine>(
            SessionEngine::Services{clock, mainQueue, scheduler, prefs, workspace, tracker, presets,
                                    lockdown, overlay, display, gate, notifications, bridge,
                                    monitor, desktop},
            path);
    }
    // A restart: the engine goes and a new one is built on the same preferences and file.
    void restart()
    {
        engine->stop();
        settle();
        engine.reset();
        build();
    }

    void settle()
    {
        for (int round = 0; round < 100; ++round) {
            engine->database().waitUntilIdle();
            if (mainQueue.drain() == 0) {
                return;
            }
        }
    }
    void start()
    {
        engine->start();
        settle();
    }
    // Seconds of the engine's own timer, each followed by what it set going.
    void run(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            scheduler.advance(1.0);
            settle();
        }
    }
    void show(const std::string& bundleID, const std::string& title = "")
    {
        workspace.windows[++window] = {title, ""};
        workspace.activate({bundleID, bundleID, 100, window});
    }

    // Rows of a table read over a connection of its own; each row's columns as texts.
    std::vector<std::vector<std::string>> rows(const std::string& sql)
    {
        return tableRows(path, sql);
    }

    TemporaryFolder folder;
    std::string path;
    RecordingPreferences prefs;
    AppAllowlistPresets presets{prefs};
    std::unique_ptr<SessionEngine> engine;

private:
    std::uint64_t window = 0;
};

} // namespace kestrove
