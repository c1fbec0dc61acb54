#pragma once

#include "Collectors/AppTracker.h"
#include "Collectors/BrowserTracker.h"
#include "Collectors/SystemIdle.h"
#include "Engine/ChangeObservers.h"
#include "Platform/Clock.h"
#include "Platform/LifetimeGuard.h"
#include "Platform/SystemEvents.h"
#include "Platform/Workspace.h"
#include "Storage/DatabaseWorker.h"
#include "core/ContextClassifier.h"
#include "core/PrivacyPolicy.h"
#include "core/ProjectRules.h"
#include "core/Segment.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace kestrove {

class WriteBacklog;
struct WriteReport;

// The sampler: once per tick it reads what the user is doing, classifies it, attributes it to a
// project, filters it through the privacy policy and extends or replaces the open segment. Its
// writes reach the database in the order they were made. Everything but the database jobs runs
// on the main thread.
class Tracker
{
public:
    static constexpr TimeInterval kDefaultIdleThreshold = 300.0;
    // Ticks further apart than this mean the machine slept or the process stood still.
    static constexpr TimeInterval kSleepGap = 60.0;
    // A running segment's stored end lags its true end by less than this.
    static constexpr TimeInterval kPersistInterval = 15.0;
    // Shorter segments are flicker between two contexts and are not kept.
    static constexpr TimeInterval kMinimumSegment = 0.5;
    static constexpr std::size_t kGitRootCacheLimit = 500;
    static constexpr std::string_view kLoginWindowBundleID = "com.apple.loginwindow";
    static constexpr std::string_view kPausedAppName = "Paused";
    // The sample's name while nothing can be read: before the first tick, without a display.
    static constexpr std::string_view kNoApplicationName = "—";

    // The row of one segment. The insert job fills in the id on the database's thread before
    // any later job runs, so queued updates and deletes of the same segment find their row.
    class Handle
    {
    public:
        // Nothing until the insert has completed (or when it failed).
        std::optional<std::int64_t> id() const
        {
            const std::int64_t value = m_id.load(std::memory_order_acquire);
            return value > 0 ? std::optional(value) : std::nullopt;
        }
        void setID(std::int64_t id) { m_id.store(id, std::memory_order_release); }

    private:
        std::atomic<std::int64_t> m_id{0};
    };

    // The focus task's view of one sample.
    struct LockInInfo
    {
        LockInState state = LockInState::none;
        std::optional<std::string> taskID;
        std::optional<std::string> projectID;

        static LockInInfo none() { return {}; }
        bool operator==(const LockInInfo&) const = default;
    };

    // What the tracker samples and listens to; all of it outlives the tracker.
    struct Sources
    {
        AppTracker& appTracker;
        BrowserTracker& browser;
        SystemIdle& idle;
        SystemEvents& systemEvents;
        Workspace& workspace; // asked whether titles can be read and the display is there
    };

    Tracker(Sources sources, const Clock& clock);
    ~Tracker();
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;

    // Takes one sample at `now` and extends or replaces the open segment.
    void tick(Date now);

    // Begins tracking into `database`, which must outlive the tracking (until stop()).
    void start(DatabaseWorker& database);
    // Closes the open segment, removes the observers and returns once every queued write landed.
    void stop();
    // Closes the open segment and samples nothing until `until` (or resume()).
    void pause(std::optional<Date> until);
    void resume();

    // Asked once per sample for the focus task's state; absent means no focus task.
    std::function<LockInInfo(const ContextSample&)> lockInProvider;
    // Told about every closed segment that is kept.
    std::function<void(const Segment&)> onSegmentClosed;
    // Told about the segment recorded for a gap in sampling (sleep, a stopped process).
    std::function<void(const Segment&)> onGapRecorded;

    // Settings. A threshold that is not positive would make every sample idle: the default
    // applies instead.
    void setIdleThreshold(TimeInterval seconds);
    void setClassifier(ContextClassifier classifier);
    void setResolver(ProjectResolver resolver);
    void setPolicy(PrivacyPolicy policy);
    void setPinnedProjectID(std::optional<std::string> projectID);
    // The next tick closes the open segment even when its key is unchanged.
    void setForceSplit(bool forceSplit);
    void resetAppSwitchesToday();

    TimeInterval idleThreshold() const { return m_idleThreshold; }
    const ContextClassifier& classifier() const { return m_classifier; }
    const ProjectResolver& resolver() const { return m_resolver; }
    const PrivacyPolicy& policy() const { return m_policy; }
    const std::optional<std::string>& pinnedProjectID() const { return m_pinnedProjectID; }
    bool forceSplit() const { return m_forceSplit; }

    // The latest sample and what became of it.
    const ContextSample& sample() const { return m_sample; }
    ContextKind kind() const { return m_kind; }
    const std::optional<Project>& project() const { return m_project; }
    const std::optional<std::string>& detectedHint() const { return m_detectedHint; }
    bool isIdle() const { return m_isIdle; }
    bool isScreenLocked() const { return m_isScreenLocked; }
    TimeInterval secondsSinceInput() const { return m_secondsSinceInput; }
    // The open segment; its end is current in memory, the stored end may lag by up to 15 s.
    const std::optional<Segment>& open() const { return m_open; }
    // The open segment's row, so that readers can leave it out and count `open()` instead.
    const std::shared_ptr<Handle>& openHandle() const { return m_openHandle; }
    int appSwitchesToday() const { return m_appSwitchesToday; }
    bool isRunning() const { return m_isRunning; }
    bool isPaused() const { return m_isPaused; }
    const std::optional<Date>& pausedUntil() const { return m_pausedUntil; }

    // The last queued write; readers wait for it to see every segment queued until then.
    const std::optional<DatabaseJob<void>>& writeChain() const { return m_writeChain; }
    void waitForWrites() const;

    // Told after the published state above changed.
    ChangeObservers& changes() { return m_changes; }

private:
    class Publication;

    // What the classifier, the privacy policy and the resolver made of one sample.
    struct Evaluation
    {
        ContextSample sample;
        std::optional<std::string> lockInProjectID;
        ContextKind kind = ContextKind::neutral;
        StoredContext stored;
        std::optional<Project> project;
    };

    void closeOpen(Date at);
    void extendOpen(Date to);
    std::optional<std::string> detectHint(const ContextSample& sample);
    void recordSleepGap(Date from, Date to);
    void enqueueInsert(Segment segment, std::shared_ptr<Handle> handle);
    void enqueueUpdate(const std::shared_ptr<Handle>& handle, Date end);
    void enqueueDelete(const std::shared_ptr<Handle>& handle);
    // Queues `write(backlog, database, report)`; what it did is logged back on the main thread.
    template <typename Write> void enqueueWrite(const char* failure, Write write);
    void logWrite(const char* failure, const WriteReport& report, const DatabaseError* error);

    void installObservers();
    void removeObservers();
    void setAsleep(bool asleep);
    void setLocked(bool locked);
    void updateForcedIdleFlag();
    void publishPlaceholder(std::string_view appName);

    // Observers hear of a field only when its value really changed.
    template <typename T, typename Value> void publish(T& field, Value&& value)
    {
        if (field == value) {
            return;
        }
        field = std::forward<Value>(value);
        m_changed = true;
    }

    AppTracker& m_appTracker;
    BrowserTracker& m_browser;
    SystemIdle& m_idle;
    SystemEvents& m_systemEvents;
    Workspace& m_workspace;
    const Clock& m_clock;

    TimeInterval m_idleThreshold = kDefaultIdleThreshold;
    ContextClassifier m_classifier;
    ProjectResolver m_resolver;
    PrivacyPolicy m_policy;
    std::optional<std::string> m_pinnedProjectID;
    ContextSample m_sample;
    ContextKind m_kind = ContextKind::idle;
    std::optional<Project> m_project;
    std::optional<std::string> m_detectedHint;
    bool m_isIdle = true;
    // Sleep and screen lock are separate states on this desktop (waking does not unlock);
    // either one makes every sample idle.
    bool m_isScreenLocked = false;
    bool m_asleep = false;
    bool m_locked = false;
    TimeInterval m_secondsSinceInput = 0;
    std::optional<Segment> m_open;
    int m_appSwitchesToday = 0;
    bool m_isRunning = false;
    bool m_isPaused = false;
    std::optional<Date> m_pausedUntil;
    DatabaseWorker* m_database = nullptr;
    std::shared_ptr<Handle> m_openHandle;
    std::optional<Date> m_lastPersistedEnd;
    std::optional<Date> m_lastTick;
    bool m_forceSplit = false;
    // Document path to repository name (nothing: not inside a repository).
    std::unordered_map<std::string, std::optional<std::string>> m_gitRootCache;
    // The last sample's evaluation; dropped whenever a setting it depends on changes.
    std::optional<Evaluation> m_evaluation;
    std::optional<int> m_observer;
    std::optional<int> m_displayObserver;
    std::optional<DatabaseJob<void>> m_writeChain;
    // Writes held while the disk is full; a fresh one for each start. Only jobs touch it.
    std::shared_ptr<WriteBacklog> m_backlog;
    // What has been logged once: "no db", and that held writes were given up.
    bool m_loggedNoConnection = false;
    bool m_loggedDrops = false;
    // Job completions that come back after the tracker is gone do nothing.
    LifetimeGuard m_guard;

    ChangeObservers m_changes;
    bool m_changed = false;
};

} // namespace kestrove
