#pragma once

#include "Platform/Clock.h"
#include "Storage/DatabaseError.h"
#include "Storage/ReportQueries.h"
#include "Storage/Statement.h"
#include "core/Date.h"
#include "core/DayPlan.h"
#include "core/DaySummary.h"
#include "core/FocusTask.h"
#include "core/Segment.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

namespace kestrove {

// The one owner of the history file: its connection, schema, migrations and one operation per
// query. Not thread-safe: the program reaches it only through DatabaseWorker's thread; tests
// and benchmarks may drive it directly from one thread. Every operation that fails throws
// DatabaseError.
class Database
{
public:
    // `path` is fixed here; its folder is created when missing. No connection yet.
    explicit Database(std::string path, const Clock& clock = systemClock());
    // A reader of a file that may not exist: nothing is created, now or at openReadOnly().
    struct ReadOnly
    {
    };
    Database(std::string path, ReadOnly, const Clock& clock = systemClock());
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // $XDG_DATA_HOME/Kestrove/kestrove.db, by default ~/.local/share/Kestrove/kestrove.db.
    static std::string defaultPath();
    static const Clock& systemClock();

    // Connects, sets the journal and the file modes, creates the schema and migrates. A failure
    // leaves no connection: every later operation fails with "no db" until an open succeeds.
    void open();
    // Connects to an existing file for reading only: no schema, no migration, no write. Fails
    // when the file is missing or holds no history.
    void openReadOnly();
    void close();
    bool isOpen() const { return m_db != nullptr; }
    // How long a statement waits for another connection's lock before it fails as busy.
    static constexpr std::chrono::milliseconds kBusyTimeout{5000};
    void setBusyTimeout(std::chrono::milliseconds timeout);
    // The error of the last failed open (null after a successful one). Its message names what
    // is wrong with the file and what to do about it.
    const DatabaseError* openError() const { return m_openError.get(); }
    const std::string& path() const { return m_path; }

    // Folder 0700 at open; the file and its -wal and -shm companions 0600.
    void tightenFilePermissions() const;
    void createSchema();
    void migrate();
    std::set<std::string> columns(const std::string& table);

    std::optional<std::string> meta(const std::string& key);
    void setMeta(const std::string& key, const std::string& value);
    // From when the segment record is complete; absent when the marker is missing or malformed.
    std::optional<Date> accurateSince();

    // Runs one statement that returns no rows.
    void execute(const std::string& sql);

    // Segments.
    std::int64_t insertSegment(const Segment& segment);
    void updateSegment(std::int64_t id, Date end);
    void deleteSegment(std::int64_t id);
    // Rows overlapping [from, to), clipped to it, by start then id.
    std::vector<Segment> segments(Date from, Date to,
                                  std::optional<std::int64_t> excludingID = std::nullopt);
    // The same rows with only what a day's summary and its focus blocks are built from: id,
    // start, end, kind, project, area, detected project, domain, application name and focus
    // task. The other fields are left empty.
    std::vector<Segment> summarySegments(Date from, Date to,
                                         std::optional<std::int64_t> excludingID = std::nullopt);
    // The same rows with only id, start, end, kind and project: what focus blocks are cut from.
    std::vector<Segment> blockSegments(Date from, Date to);
    static Segment mapSegment(const Statement& row);
    void assignUnassigned(const std::string& key, const std::string& project,
                          const std::optional<std::string>& area);
    void renameProject(const std::string& from, const std::optional<std::string>& to,
                       const std::optional<std::string>& area);
    void deleteSegments(Date start, Date end);

    // Converts an older file's per-sample `app_events` rows into segments, once.
    void importLegacyEventsIfNeeded();
    // Whether older data was really imported into this file (not merely looked for).
    bool hasLegacyImport();
    // Once per file: removes every stored address and the titles of the given applications.
    void applyPrivacyPolicyIfNeeded(const std::set<std::string>& browserBundleIDs,
                                    const std::set<std::string>& privateBundleIDs);
    // Blanks the titles of segments that ended before `cutoff`.
    void eraseTitles(Date cutoff);
    // Empties every table of history in one transaction: all of it goes, or nothing.
    void deleteAllHistory();

    // Reports (ReportQueries.cpp). Ranges are half-open; rows are clipped to them.
    // One total per local day from the day of `from` up to, not including, the day of `to`.
    std::vector<DayTotal> dayTotals(Date from, Date to);
    // Deep seconds per project, largest first; no project (absent or empty) is "Unassigned".
    // Every sum here adds the clipped rows in the order segments() gives them, so it equals the
    // same sum over segments() to the last bit; rows with nothing left in the range add nothing.
    std::vector<TimeShare> projectTotals(Date from, Date to);
    // A project's deep seconds per local day from the day of `from` while the day starts before
    // `to`, in `deepSeconds` (`activeSeconds` stays 0). A row counts whole on the day it starts.
    std::vector<DayTotal> projectDailyDeepSeconds(const std::string& project, Date from, Date to);
    // The top labels of a project's deep time; without a project, of unassigned deep time.
    std::vector<LabelTime> labelBreakdown(const std::optional<std::string>& project, Date from,
                                          Date to, int limit);
    // Non-idle seconds by domain, else by lower-cased bundle identifier (else name), largest
    // first, at most `limit` (none when negative); name and flag of the group's latest row.
    std::vector<SeenContext> seenContexts(Date from, Date to, int limit);

    // Focus tasks, refused launches and day plans (ReportQueries.cpp).
    void insertFocusTask(const FocusTask& task, bool completed);
    void recordLockdownBlock(const std::string& focusTaskID, Date timestamp,
                             const std::string& attemptedBundleID);
    LockdownStats lockdownStats(Date day);
    std::vector<FocusSessionEntry> recentFocusTasks(int limit);
    std::optional<DayPlan> dayPlan(Date day);
    void upsertDayPlan(const DayPlan& plan);

    // The start of the local day of `date` and the start of the next, seconds since 1970.
    static std::pair<Date, Date> dayBounds(Date date);

private:
    // setMeta that reports its failure, for markers written inside a transaction.
    void writeMeta(const std::string& key, const std::string& value);
    DayPlan mapDayPlan(const Statement& row);
    void reclassifyLegacyWebVisits();
    // The distinct kinds stored, in order; absent when one is not plain text.
    std::optional<std::vector<std::string>> storedKinds();
    // The stored identifiers of titled rows that, lower-cased, are among `lowercasedIDs`.
    std::vector<std::string> storedIDsAmong(const std::set<std::string>& lowercasedIDs);
    void scrubInBatches(const std::vector<std::string>& titleIDs);
    // Runs `statements` over every row in batches of ids, logging the pass's progress.
    void inBatchesOfRows(const std::string& pass, const std::string& opening,
                         std::initializer_list<Statement*> statements);
    // Gives every segment a reference to the texts it is seen by, stored once per context,
    // once per file, and keeps it right for every later write.
    void referToContextsIfNeeded();
    void compact();
    // Runs `work` between BEGIN and COMMIT; any failure rolls all of it back and is rethrown.
    void inTransaction(const std::function<void()>& work);

    void openConnection();
    void setUp();
    void writeSegmentsSinceIfMissing();
    std::size_t candidateCount(Date from, Date to);

    std::string m_path;
    const Clock* m_clock;
    sqlite3* m_db = nullptr;
    std::shared_ptr<const DatabaseError> m_openError;
    std::chrono::milliseconds m_busyTimeout = kBusyTimeout;
    // Cleared before the connection closes.
    StatementCache m_statements;
    // Whether every segment refers to its context and the index of those references exists;
    // false only for an older file opened read-only.
    bool m_segmentContexts = false;
    // Stored plan lists that did not decode, by day start and column: a later write of the
    // same day keeps them unless it brings a list of its own.
    std::map<Date, std::map<std::string, std::string>> m_undecodedPlanColumns;
    static constexpr const char* kLegacyImportedKey = "legacy_imported";
    static constexpr const char* kSegmentContextsKey = "segment_contexts";
};

} // namespace kestrove
