// Operations that rewrite stored history as a whole: the one-time import of an older file's
// samples, the one-time privacy scrub, title retention and the erasure of everything.
#include "Storage/Database.h"

#include "Platform/Log.h"
#include "Storage/Statement.h"
#include "core/ContextClassifier.h"
#include "core/DomainRules.h"
#include "core/NumberFormat.h"
#include "core/Text.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <tuple>

namespace kestrove {

namespace {

const Log historyLog("app");

// Rows per transaction of a pass over the whole history: a few megabytes of log each.
constexpr std::int64_t kBatchRows = 20000;

// Adds the contexts row of the new texts when it is missing and makes the row refer to it.
#define KESTROVE_REFER_TO_CONTEXT                                                                  \
    " INSERT OR IGNORE INTO contexts (domain, identifier, app_name)"                               \
    " VALUES (NEW.domain, COALESCE(NEW.bundle_id, NEW.app_name), NEW.app_name);"                   \
    " UPDATE segments SET context_id = (SELECT id FROM contexts WHERE"                             \
    " (domain, identifier, app_name) = (NEW.domain, COALESCE(NEW.bundle_id, NEW.app_name),"        \
    " NEW.app_name)) WHERE id = NEW.id;"

// Every writer of a segment's texts keeps its reference right, an older build of the program
// included: the triggers live in the file. Moving the open segment's end fires neither.
constexpr std::array<const char*, 2> kContextTriggers = {
    "CREATE TRIGGER IF NOT EXISTS segments_context_on_insert AFTER INSERT ON segments"
    " WHEN NEW.context_id IS NULL BEGIN" KESTROVE_REFER_TO_CONTEXT " END;",
    "CREATE TRIGGER IF NOT EXISTS segments_context_on_update"
    " AFTER UPDATE OF domain, bundle_id, app_name ON segments BEGIN" KESTROVE_REFER_TO_CONTEXT
    " END;",
};

#undef KESTROVE_REFER_TO_CONTEXT

// One batch of rows of an older file that refer to no context yet.
constexpr const char* kAddBatchContexts =
    "INSERT OR IGNORE INTO contexts (domain, identifier, app_name)"
    " SELECT domain, COALESCE(bundle_id, app_name), app_name FROM segments"
    " WHERE id BETWEEN ?1 AND ?2 AND context_id IS NULL;";
constexpr const char* kReferBatchToContexts =
    "UPDATE segments SET context_id = (SELECT c.id FROM contexts AS c WHERE"
    " (c.domain, c.identifier, c.app_name) = (segments.domain,"
    " COALESCE(segments.bundle_id, segments.app_name), segments.app_name))"
    " WHERE id BETWEEN ?1 AND ?2 AND context_id IS NULL;";

// The seen applications and sites of a range are read from this index alone (its condition
// spares the read the kind); the id keeps rows in the order they are summed in without a sort.
// Moving the open segment's end writes it too, a few microseconds, where reading each row's end
// from the row would cost the read a third more.
constexpr const char* kSeenIndex =
    "CREATE INDEX IF NOT EXISTS idx_segments_seen ON segments(start_ts, id, end_ts, context_id)"
    " WHERE kind != 'idle';";

// One row per sample became one segment per sample: each lasts until the next sample, 30 s for
// the last, never more than 45 s. Of samples with equal times only the last survives. A NULL
// where a segment needs a value reads as the neutral one, so one odd row cannot keep the whole
// history out at every start; a sample without a time has no place in the record.
constexpr const char* kImportLegacyEvents =
    "INSERT INTO segments (start_ts, end_ts, bundle_id, app_name, window_title, url, domain,"
    " kind, project, detected_project, keystrokes, source)"
    " SELECT ts, ts + dur, bundle_id, COALESCE(app_name, 'Unknown'), COALESCE(window_title, ''),"
    " COALESCE(browser_url, ''), '', kind, project_name, detected_project,"
    " COALESCE(keystroke_count, 0), 'legacy' FROM ("
    "  SELECT timestamp AS ts,"
    "   MIN(COALESCE(LEAD(timestamp) OVER (ORDER BY timestamp, id) - timestamp, 30.0), 45.0)"
    "    AS dur,"
    "   CASE WHEN is_idle = 1 OR bundle_id = 'com.apple.loginwindow' THEN 'idle'"
    "    WHEN category = 'deep_work' THEN 'deep'"
    "    WHEN category = 'shallow_work' THEN 'shallow'"
    "    WHEN category = 'distraction' THEN 'distraction'"
    "    ELSE 'neutral' END AS kind,"
    "   bundle_id, app_name, window_title, browser_url, keystroke_count, project_name,"
    "   detected_project"
    "  FROM app_events WHERE timestamp IS NOT NULL)"
    " WHERE dur > 0;";

} // namespace

void Database::importLegacyEventsIfNeeded()
{
    if (meta("legacy_import_done")) {
        // Files imported before the fact was kept say so by their rows, once.
        if (!meta(kLegacyImportedKey)) {
            Statement find(m_db, "SELECT EXISTS (SELECT 1 FROM segments WHERE source = 'legacy');");
            setMeta(kLegacyImportedKey, find.next() && find.columnInt64(0) ? "1" : "0");
        }
        return;
    }
    // A search that cannot run says nothing about the older table: the import waits for the
    // next open rather than being marked done over rows it never read.
    {
        Statement find(m_db, "SELECT name FROM sqlite_master WHERE type='table'"
                             " AND name='app_events';");
        if (!find.next()) {
            writeMeta("legacy_import_done", "1");
            writeMeta(kLegacyImportedKey, "0");
            return;
        }
    }
    inTransaction([this] {
        execute(kImportLegacyEvents);
        reclassifyLegacyWebVisits();
        writeMeta("legacy_import_done", "1");
        writeMeta(kLegacyImportedKey, "1");
    });
}

bool Database::hasLegacyImport()
{
    return meta(kLegacyImportedKey) == "1";
}

// Older files classified sites by their browser; sites are now classified by address.
void Database::reclassifyLegacyWebVisits()
{
    const ContextClassifier classifier;
    std::vector<std::tuple<std::int64_t, std::string, std::string>> changes;
    {
        Statement rows(m_db, "SELECT id, url, kind FROM segments WHERE source='legacy'"
                             " AND url != '';");
        while (rows.next()) {
            const std::string url = rows.columnTextOr(1, "");
            std::string kind = rows.columnTextOr(2, "");
            const std::string domain = DomainRules::domain(url);
            if (kind != "idle" && !domain.empty()) {
                ContextSample sample;
                sample.bundleID = "com.google.chrome";
                sample.appName = "Browser";
                sample.url = url;
                kind = std::string(rawValue(classifier.classify(sample)));
            }
            changes.emplace_back(rows.columnInt64(0), domain, std::move(kind));
        }
    }
    Statement update(m_db, "UPDATE segments SET domain = ?, kind = ? WHERE id = ?;");
    for (const auto& [id, domain, kind] : changes) {
        update.reset();
        update.bind(1, std::string_view(domain));
        update.bind(2, std::string_view(kind));
        update.bind(3, id);
        update.step();
    }
}

void Database::applyPrivacyPolicyIfNeeded(const std::set<std::string>& browserBundleIDs,
                                          const std::set<std::string>& privateBundleIDs)
{
    if (meta("privacy_policy_v1")) {
        return;
    }
    std::set<std::string> ids;
    for (const auto* set : {&browserBundleIDs, &privateBundleIDs}) {
        for (const auto& id : *set) {
            ids.insert(Text::lowercased(id));
        }
    }
    scrubInBatches(ids.empty() ? std::vector<std::string>{} : storedIDsAmong(ids));
    if (meta("legacy_import_done")) {
        try {
            execute("DROP TABLE IF EXISTS app_events;");
        } catch (const DatabaseError&) {
        }
    }
    setMeta("privacy_policy_v1", NumberFormat::shortest(m_clock->now()));
    compact();
}

// SQLite's lower() knows only ASCII, so the stored identifiers are lower-cased here, the way
// the identifiers given were; the matching ones are then bound exactly as stored.
std::vector<std::string> Database::storedIDsAmong(const std::set<std::string>& lowercasedIDs)
{
    std::vector<std::string> stored;
    Statement rows(m_db, "SELECT DISTINCT COALESCE(bundle_id, '') FROM segments"
                         " WHERE window_title != '';");
    int result = SQLITE_ROW;
    while ((result = rows.step()) == SQLITE_ROW) {
        std::string id = rows.columnTextOr(0, "");
        if (lowercasedIDs.contains(Text::lowercased(id))) {
            stored.push_back(std::move(id));
        }
    }
    // A read cut short must not let the scrub count as done.
    if (result != SQLITE_DONE) {
        throw DatabaseError::executeFailed(sqlite3_errmsg(m_db));
    }
    return stored;
}

// Every address, and the titles of the rows whose identifier is one of `titleIDs`, go in
// batches of rows.
void Database::scrubInBatches(const std::vector<std::string>& titleIDs)
{
    Statement addresses(m_db, "UPDATE segments SET url = '' WHERE id BETWEEN ?1 AND ?2"
                              " AND url != '';");
    std::unique_ptr<Statement> titles;
    if (!titleIDs.empty()) {
        std::string sql = "UPDATE segments SET window_title = '' WHERE id BETWEEN ?1 AND ?2"
                          " AND window_title != '' AND COALESCE(bundle_id, '') IN (";
        for (std::size_t i = 0; i < titleIDs.size(); ++i) {
            sql += i == 0 ? "?" : ",?";
        }
        sql += ");";
        titles = std::make_unique<Statement>(m_db, sql.c_str());
        int index = 3;
        for (const auto& id : titleIDs) {
            titles->bind(index++, std::string_view(id));
        }
    }
    inBatchesOfRows("privacy scrub", "removing stored addresses and private titles from",
                    {&addresses, titles.get()});
}

// Each batch is its own transaction: the write-ahead log holds one batch at a time (it is
// checkpointed as it grows) rather than the whole history at once. Statements bind the batch's
// first and last id as ?1 and ?2; null ones are skipped.
void Database::inBatchesOfRows(const std::string& pass, const std::string& opening,
                               std::initializer_list<Statement*> statements)
{
    std::int64_t rowCount = 0, first = 0, last = 0;
    {
        Statement bounds(m_db, "SELECT COUNT(*), MIN(id), MAX(id) FROM segments;");
        if (!bounds.next() || bounds.columnInt64(0) == 0) {
            return;
        }
        rowCount = bounds.columnInt64(0);
        first = bounds.columnInt64(1);
        last = bounds.columnInt64(2);
    }
    // Batches are cut at stored ids, which may lie far apart.
    Statement batchEnd(m_db, "SELECT id FROM segments WHERE id >= ?1 ORDER BY id"
                             " LIMIT 1 OFFSET ?2;");
    historyLog.info(pass + ": " + opening + " " + NumberFormat::integer(rowCount) + " rows");
    std::int64_t done = 0;
    int reported = 0;
    for (std::int64_t from = first;;) {
        batchEnd.bind(1, from);
        batchEnd.bind(2, kBatchRows - 1);
        const std::int64_t to = batchEnd.next() ? batchEnd.columnInt64(0) : last;
        batchEnd.reset();
        inTransaction([&] {
            for (Statement* statement : statements) {
                if (statement) {
                    statement->bind(1, from);
                    statement->bind(2, to);
                    StatementCache::Use reset(*statement);
                    statement->run();
                }
            }
        });
        done = std::min(rowCount, done + kBatchRows);
        if (const auto percent = static_cast<int>(100 * done / rowCount);
            percent >= reported + 10 || to >= last) {
            reported = percent;
            historyLog.info(pass + ": " + NumberFormat::integer(to >= last ? 100 : percent) +
                            "% done");
        }
        if (to >= last) {
            break;
        }
        from = to + 1;
    }
}

void Database::referToContextsIfNeeded()
{
    if (!columns("segments").contains("context_id")) {
        execute("ALTER TABLE segments ADD COLUMN context_id INTEGER;");
    }
    for (const char* trigger : kContextTriggers) {
        execute(trigger);
    }
    if (!meta(kSegmentContextsKey)) {
        // The index is built once the references are in place: kept up to date through the
        // batches, it would cost a write per row more.
        Statement contexts(m_db, kAddBatchContexts);
        Statement references(m_db, kReferBatchToContexts);
        inBatchesOfRows("contexts", "recording the application or site of",
                        {&contexts, &references});
        execute(kSeenIndex);
        writeMeta(kSegmentContextsKey, "1");
        execute("PRAGMA wal_checkpoint(TRUNCATE);");
    }
    m_segmentContexts = true;
}

void Database::eraseTitles(Date cutoff)
{
    // A row that ends before the cut-off starts before it too, unless its end lies before its
    // start. So each statement searches a short range of one index: titled rows that start
    // before the cut-off (few once old titles are gone), and rows that end before they start.
    for (const char* sql :
         {"UPDATE segments SET window_title = '' WHERE window_title != '' AND start_ts < ?1"
          " AND end_ts < ?1;",
          "UPDATE segments SET window_title = '' WHERE window_title != ''"
          " AND end_ts - start_ts < 0 AND end_ts < ?1;"}) {
        Statement statement(m_db, sql);
        statement.bind(1, cutoff);
        statement.run();
    }
}

void Database::deleteAllHistory()
{
    inTransaction([this] {
        for (const char* table :
             {"DELETE FROM segments;", "DELETE FROM contexts;", "DELETE FROM focus_tasks;",
              "DELETE FROM lockdown_blocks;", "DELETE FROM day_plans;"}) {
            execute(table);
        }
        try {
            execute("DROP TABLE IF EXISTS app_events;");
        } catch (const DatabaseError&) {
        }
        writeMeta("segments_since", NumberFormat::shortest(m_clock->now()));
    });
    m_undecodedPlanColumns.clear();
    compact();
}

void Database::inTransaction(const std::function<void()>& work)
{
    execute("BEGIN;");
    try {
        work();
        execute("COMMIT;");
    } catch (const DatabaseError&) {
        try {
            execute("ROLLBACK;");
        } catch (const DatabaseError&) {
        }
        throw;
    }
}

// Gives the space of removed content back and leaves no copy of it in the write-ahead log. The
// log holds the whole rebuilt file after VACUUM, so it is emptied once more.
void Database::compact()
{
    for (const char* statement :
         {"PRAGMA wal_checkpoint(TRUNCATE);", "VACUUM;", "PRAGMA wal_checkpoint(TRUNCATE);"}) {
        try {
            execute(statement);
        } catch (const DatabaseError&) {
        }
    }
    tightenFilePermissions();
}

} // namespace kestrove
