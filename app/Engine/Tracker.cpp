#include "Engine/Tracker.h"

#include "Engine/WriteBacklog.h"
#include "Platform/Log.h"
#include "Platform/MainThread.h"
#include "core/AppIdentity.h"
#include "core/NumberFormat.h"

#include <ctime>
#include <filesystem>
#include <system_error>

namespace kestrove {

namespace {

const Log& trackLog()
{
    static const Log log("tracker");
    return log;
}

bool hasGitFolder(const std::string& folder)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(folder) / ".git", error);
}

// The date as "2026-12-07 03:55:08 +0000", the way a date prints in the log.
std::string logText(Date date)
{
    const std::time_t seconds = static_cast<std::time_t>(date);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    using NumberFormat::padded;
    return padded(utc.tm_year + 1900, 4) + "-" + padded(utc.tm_mon + 1, 2) + "-" +
           padded(utc.tm_mday, 2) + " " + padded(utc.tm_hour, 2) + ":" + padded(utc.tm_min, 2) +
           ":" + padded(utc.tm_sec, 2) + " +0000";
}

PrivacyPolicy defaultPolicy()
{
    return PrivacyPolicy(PrivacyPolicy::defaultPrivateBundleIDs(), {}, false, 30);
}

} // namespace

// Tells the observers once, at the end of an operation, when anything published changed.
class Tracker::Publication
{
public:
    explicit Publication(Tracker& tracker) : m_tracker(tracker) {}
    ~Publication()
    {
        if (m_tracker.m_changed) {
            m_tracker.m_changed = false;
            m_tracker.m_changes.notify();
        }
    }
    Publication(const Publication&) = delete;
    Publication& operator=(const Publication&) = delete;

private:
    Tracker& m_tracker;
};

Tracker::Tracker(Sources sources, const Clock& clock)
    : m_appTracker(sources.appTracker), m_browser(sources.browser), m_idle(sources.idle),
      m_systemEvents(sources.systemEvents), m_workspace(sources.workspace), m_clock(clock),
      m_classifier({}, std::string(kOwnBundleID)), m_policy(defaultPolicy())
{
    m_sample.appName = std::string(kNoApplicationName);
}

Tracker::~Tracker()
{
    // The collectors and the system events outlive us; nothing of theirs may call back.
    m_appTracker.onContextChange = nullptr;
    m_browser.onChange = nullptr;
    removeObservers();
}

void Tracker::tick(Date now)
{
    assertMainThread();
    const Publication publication(*this);

    // 1. Not tracking.
    if (!m_isRunning) {
        return;
    }
    // 2. Paused: only the time moves on, so a pause never reads as sleep.
    if (m_isPaused) {
        m_lastTick = now;
        if (m_pausedUntil && now >= *m_pausedUntil) {
            resume();
        }
        return;
    }
    // Display out of reach: what it showed last is not what the user does now. The open
    // segment ended at the loss, and nothing is recorded until the display is back.
    if (!m_workspace.isDisplayAvailable()) {
        closeOpen(now);
        publishPlaceholder(kNoApplicationName);
        m_lastTick = now;
        return;
    }
    // 3. A long gap since the last tick is time the machine slept.
    if (m_lastTick && now - *m_lastTick > kSleepGap) {
        recordSleepGap(*m_lastTick, now);
    }
    // 4. Input idle time.
    publish(m_secondsSinceInput, m_idle.secondsSinceInput());
    // 5. The frontmost application.
    const AppContext& app = m_appTracker.current();
    // 6. Idle flag.
    const bool forcedIdle = m_isScreenLocked || app.bundleID == kLoginWindowBundleID;
    const bool idle = forcedIdle || m_idleThreshold <= m_secondsSinceInput;
    // 7. Address of the browser's page.
    std::string url =
        ContextClassifier::isBrowser(app.bundleID) ? m_browser.currentURL(app.bundleID) : "";
    // 8. The sample.
    ContextSample sample{app.bundleID,     app.appName, app.windowTitle,  std::move(url),
                         app.documentPath, idle,        LockInState::none};
    // 9. Lock-in.
    const LockInInfo info = lockInProvider ? lockInProvider(sample) : LockInInfo::none();
    sample.lockIn = info.state;
    // The same sample under the same settings gets the same answers: a steady tick reuses them.
    if (!m_evaluation || m_evaluation->sample != sample ||
        m_evaluation->lockInProjectID != info.projectID) {
        Evaluation evaluation;
        evaluation.sample = sample;
        evaluation.lockInProjectID = info.projectID;
        // 10. Kind.
        evaluation.kind = m_classifier.classify(sample);
        // 11. Hint, then what of the sample may be stored.
        const std::optional<std::string> hint = detectHint(sample);
        evaluation.stored = m_policy.stored(sample, hint);
        // 12. Project.
        evaluation.project =
            m_resolver.resolve(sample, m_pinnedProjectID, info.projectID, evaluation.stored.hint)
                .project;
        m_evaluation = std::move(evaluation);
    }
    const ContextKind kind = m_evaluation->kind;
    const StoredContext& stored = m_evaluation->stored;
    // 13. Publish.
    publish(m_sample, std::move(sample));
    publish(m_kind, kind);
    publish(m_project, m_evaluation->project);
    publish(m_detectedHint, stored.hint);
    publish(m_isIdle, idle);
    // 14. Only time on the task belongs to it.
    const std::optional<std::string> focusTaskID =
        info.state == LockInState::onTask ? info.taskID : std::nullopt;
    // 15. The new key.
    std::optional<std::string> projectName;
    if (m_project) {
        projectName = m_project->name;
    }
    const Segment::Key key{m_sample.bundleID, stored.windowTitle, stored.domain, kind,
                           projectName,       focusTaskID};
    // 16. Same key: the open segment goes on.
    if (m_open && !m_forceSplit && m_open->key() == key) {
        extendOpen(now);
        m_lastTick = now;
        return;
    }
    // 17. Split.
    publish(m_forceSplit, false);
    // 18. Going idle through the threshold: the idle stretch began when input stopped.
    Date closeAt = now;
    if (m_open && kind == ContextKind::idle && m_open->kind != ContextKind::idle && !forcedIdle) {
        closeAt = std::max(now - m_secondsSinceInput, m_open->start);
    }
    // 19. Close.
    closeOpen(closeAt);
    // 20. Open the new segment.
    Segment segment;
    segment.start = closeAt;
    segment.end = closeAt;
    segment.bundleID = m_sample.bundleID;
    segment.appName = m_sample.appName;
    segment.windowTitle = stored.windowTitle;
    segment.domain = stored.domain;
    segment.kind = kind;
    segment.project = std::move(projectName);
    segment.area = m_project ? m_project->area : std::nullopt;
    segment.detectedProject = stored.hint;
    segment.focusTaskID = focusTaskID;
    segment.source = Segment::Source::live;
    publish(m_open, std::optional(segment));
    publish(m_lastPersistedEnd, std::optional(closeAt));
    // 21. Its row.
    publish(m_openHandle, std::make_shared<Handle>());
    enqueueInsert(std::move(segment), m_openHandle);
    // 22. Done.
    m_lastTick = now;
}

void Tracker::closeOpen(Date at)
{
    if (!m_open) {
        return;
    }
    Segment segment = std::move(*m_open);
    const std::shared_ptr<Handle> handle = std::move(m_openHandle);
    m_open.reset();
    m_changed = true;
    segment.end = std::max(at, segment.start);
    if (segment.end - segment.start < kMinimumSegment) {
        enqueueDelete(handle);
        return;
    }
    enqueueUpdate(handle, segment.end);
    if (onSegmentClosed) {
        onSegmentClosed(segment);
    }
}

void Tracker::extendOpen(Date to)
{
    if (!m_open) {
        return;
    }
    if (m_open->end != to) {
        m_open->end = to;
        m_changed = true;
    }
    if (m_lastPersistedEnd && to - *m_lastPersistedEnd >= kPersistInterval) {
        m_lastPersistedEnd = to;
        enqueueUpdate(m_openHandle, to);
    }
}

std::optional<std::string> Tracker::detectHint(const ContextSample& sample)
{
    if (!sample.documentPath.empty()) {
        const auto cached = m_gitRootCache.find(sample.documentPath);
        if (cached != m_gitRootCache.end()) {
            if (cached->second) {
                return cached->second;
            }
        } else {
            auto name = ProjectHints::gitRootName(sample.documentPath, hasGitFolder);
            if (m_gitRootCache.size() > kGitRootCacheLimit) {
                m_gitRootCache.clear();
            }
            m_gitRootCache.emplace(sample.documentPath, name);
            if (name) {
                return name;
            }
        }
    }
    return ProjectHints::fromWindowTitle(sample.bundleID, sample.windowTitle);
}

void Tracker::recordSleepGap(Date from, Date to)
{
    closeOpen(from);
    Segment asleep;
    asleep.start = from;
    asleep.end = to;
    asleep.appName = std::string(kAsleepAppName);
    asleep.kind = ContextKind::idle;
    asleep.source = Segment::Source::live;
    if (onGapRecorded) {
        onGapRecorded(asleep);
    }
    enqueueInsert(std::move(asleep), nullptr);
}

// The write chain. The worker runs jobs one at a time in the order they were sent, so each
// job's predecessor has finished before it starts, and the insert has stored its row id in
// the handle before any update or delete of that handle runs.

template <typename Write> void Tracker::enqueueWrite(const char* failure, Write write)
{
    auto report = std::make_shared<WriteReport>();
    m_writeChain = m_database->runTelling(
        m_guard,
        [backlog = m_backlog, report, write = std::move(write)](Database& database) {
            report->openFailed = database.openError() != nullptr;
            write(*backlog, database, *report);
        },
        // Only what logWrite says anything about comes back to the main thread.
        [report](const DatabaseResult<void>& result) {
            return !result.ok() || report->heldBack || report->resumed || report->dropped > 0 ||
                   !report->errors.empty() || report->lost > 0;
        },
        [this, failure, report](const DatabaseResult<void>& result) {
            logWrite(failure, *report, result.error());
        });
}

void Tracker::enqueueInsert(Segment segment, std::shared_ptr<Handle> handle)
{
    if (!m_database) {
        return;
    }
    enqueueWrite("insert failed: ",
                 [segment = std::move(segment), handle = std::move(handle)](
                     WriteBacklog& backlog, Database& database, WriteReport& report) {
                     backlog.insert(database, segment, handle, report);
                 });
}

void Tracker::enqueueUpdate(const std::shared_ptr<Handle>& handle, Date end)
{
    if (!m_database || !handle) {
        return;
    }
    enqueueWrite("update failed: ",
                 [handle, end](WriteBacklog& backlog, Database& database, WriteReport& report) {
                     backlog.update(database, handle, end, report);
                 });
}

void Tracker::enqueueDelete(const std::shared_ptr<Handle>& handle)
{
    if (!m_database || !handle) {
        return;
    }
    enqueueWrite("delete failed: ",
                 [handle](WriteBacklog& backlog, Database& database, WriteReport& report) {
                     backlog.remove(database, handle, report);
                 });
}

void Tracker::logWrite(const char* failure, const WriteReport& report, const DatabaseError* error)
{
    if (report.heldBack) {
        trackLog().error("recording held back: " + *report.heldBack +
                         "; segments are kept in memory and written when space returns");
    }
    for (const std::string& held : report.errors) {
        trackLog().error("held-back write failed: " + held);
    }
    if (report.dropped > 0 && !m_loggedDrops) {
        m_loggedDrops = true;
        trackLog().error("more than " + std::to_string(WriteBacklog::kLimit) +
                         " writes held back: the oldest are given up");
    }
    if (report.resumed) {
        m_loggedDrops = false;
        trackLog().info("recording resumed: space is back and the held-back segments are written");
    }
    if (report.lost > 0) {
        trackLog().error(std::to_string(report.lost) +
                         " held-back writes are lost: the disk was still full at the stop");
    }
    if (!error) {
        return;
    }
    // Without a connection every write fails alike: said once, or not at all when the failed
    // open has already said why.
    if (error->isNoConnection()) {
        if (m_loggedNoConnection || report.openFailed) {
            return;
        }
        m_loggedNoConnection = true;
    }
    trackLog().error(failure + std::string(error->what()));
}

void Tracker::waitForWrites() const
{
    if (m_writeChain) {
        m_writeChain->wait();
    }
}

void Tracker::start(DatabaseWorker& database)
{
    assertMainThread();
    const Publication publication(*this);
    if (m_isRunning) {
        return;
    }
    publish(m_isRunning, true);
    m_database = &database;
    m_backlog = std::make_shared<WriteBacklog>();
    m_loggedNoConnection = false;
    // Every context change counts as a switch, the first one reported at start included.
    m_appTracker.onContextChange = [this](const AppContext&) {
        publish(m_appSwitchesToday, m_appSwitchesToday + 1);
        tick(m_clock.now());
    };
    m_appTracker.start();
    m_browser.onChange = [this] { tick(m_clock.now()); };
    installObservers();
    // Observers hear of changes only: a screen already locked at start is idle from the start.
    m_asleep = m_systemEvents.isAsleep();
    m_locked = m_systemEvents.isScreenLocked();
    publish(m_isScreenLocked, m_asleep || m_locked);
    tick(m_clock.now());
    trackLog().info(std::string("tracker started (accessibility: ") +
                    (m_workspace.isTrusted() ? "true" : "false") + ")");
}

void Tracker::stop()
{
    assertMainThread();
    const Publication publication(*this);
    if (!m_isRunning) {
        return;
    }
    closeOpen(m_clock.now());
    m_appTracker.stop();
    publish(m_isPaused, false);
    publish(m_pausedUntil, std::optional<Date>());
    removeObservers();
    // Writes still held for lack of space get one last try.
    enqueueWrite("", [](WriteBacklog& backlog, Database& database, WriteReport& report) {
        backlog.abandon(database, report);
    });
    waitForWrites();
    m_database = nullptr;
    publish(m_isRunning, false);
}

void Tracker::pause(std::optional<Date> until)
{
    assertMainThread();
    const Publication publication(*this);
    if (!m_isRunning) {
        return;
    }
    closeOpen(m_clock.now());
    m_appTracker.stop();
    publish(m_isPaused, true);
    publish(m_pausedUntil, until);
    publishPlaceholder(kPausedAppName);
    trackLog().info("paused (until: " + (until ? logText(*until) : "resumed by hand") + ")");
}

void Tracker::resume()
{
    assertMainThread();
    const Publication publication(*this);
    if (!m_isPaused) {
        return;
    }
    publish(m_isPaused, false);
    publish(m_pausedUntil, std::optional<Date>());
    m_appTracker.start();
    publish(m_forceSplit, true);
    tick(m_clock.now());
    trackLog().info("resumed");
}

void Tracker::setIdleThreshold(TimeInterval seconds)
{
    assertMainThread();
    const Publication publication(*this);
    publish(m_idleThreshold, seconds > 0 ? seconds : kDefaultIdleThreshold);
}

void Tracker::setClassifier(ContextClassifier classifier)
{
    assertMainThread();
    m_classifier = std::move(classifier);
    m_evaluation.reset();
}

void Tracker::setResolver(ProjectResolver resolver)
{
    assertMainThread();
    m_resolver = std::move(resolver);
    m_evaluation.reset();
}

void Tracker::setPolicy(PrivacyPolicy policy)
{
    assertMainThread();
    m_policy = std::move(policy);
    m_evaluation.reset();
}

void Tracker::setPinnedProjectID(std::optional<std::string> projectID)
{
    assertMainThread();
    const Publication publication(*this);
    publish(m_pinnedProjectID, std::move(projectID));
    m_evaluation.reset();
}

void Tracker::setForceSplit(bool forceSplit)
{
    assertMainThread();
    const Publication publication(*this);
    publish(m_forceSplit, forceSplit);
}

void Tracker::resetAppSwitchesToday()
{
    const Publication publication(*this);
    publish(m_appSwitchesToday, 0);
}

void Tracker::installObservers()
{
    SystemEvents::Handlers handlers;
    // The tick runs before sleep may go on, and the closed segment is written first.
    handlers.willSleep = [this](std::function<void()> ready) {
        setAsleep(true);
        if (!m_database) {
            ready();
            return;
        }
        m_database->run([](Database&) {}, [ready](const DatabaseResult<void>&) { ready(); });
    };
    handlers.didWake = [this] { setAsleep(false); };
    handlers.screenLocked = [this] { setLocked(true); };
    handlers.screenUnlocked = [this] { setLocked(false); };
    m_observer = m_systemEvents.addObserver(std::move(handlers));
    // The tick at the loss ends the open segment then; the one at the return starts afresh.
    m_displayObserver = m_workspace.addAvailabilityObserver([this](bool) { tick(m_clock.now()); });
}

void Tracker::removeObservers()
{
    if (m_observer) {
        m_systemEvents.removeObserver(*m_observer);
        m_observer.reset();
    }
    if (m_displayObserver) {
        m_workspace.removeAvailabilityObserver(*m_displayObserver);
        m_displayObserver.reset();
    }
}

void Tracker::setAsleep(bool asleep)
{
    if (m_asleep == asleep) {
        return;
    }
    m_asleep = asleep;
    updateForcedIdleFlag();
}

void Tracker::setLocked(bool locked)
{
    if (m_locked == locked) {
        return;
    }
    m_locked = locked;
    updateForcedIdleFlag();
}

void Tracker::updateForcedIdleFlag()
{
    const Publication publication(*this);
    publish(m_isScreenLocked, m_asleep || m_locked);
    tick(m_clock.now());
}

void Tracker::publishPlaceholder(std::string_view appName)
{
    ContextSample placeholder;
    placeholder.appName = std::string(appName);
    publish(m_sample, std::move(placeholder));
    publish(m_kind, ContextKind::idle);
    publish(m_project, std::optional<Project>());
    publish(m_detectedHint, std::optional<std::string>());
    publish(m_isIdle, true);
}

} // namespace kestrove
