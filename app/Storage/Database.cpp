#include "Storage/Database.h"

#include "Storage/Statement.h"
#include "core/Calendar.h"
#include "core/NumberFormat.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrove {

namespace fs = std::filesystem;

namespace {

// Why the database cannot open, in the user's words, with what to do about it.
constexpr const char* kIsAFolder =
    "it is a folder, not a database file; move or rename it and start Kestrove again";
constexpr const char* kNotAFile =
    "it is not a regular file; move it aside and start Kestrove again";
constexpr const char* kNotADatabase = "it is not a Kestrove database and was left untouched;"
                                      " move it aside and start Kestrove again";
constexpr const char* kDamaged = "it is damaged and was left as it is; move it aside and start"
                                 " Kestrove again (a fresh database is created)";
constexpr const char* kPermissionDenied =
    "permission denied; give your user read and write access to it and to its folder, then"
    " start Kestrove again";
constexpr const char* kReadOnly =
    "it is on a read-only file system; point XDG_DATA_HOME at a writable folder";
constexpr const char* kInUse = "it is in use by another Kestrove (or another program holds it"
                               " locked); quit that one first";
constexpr const char* kDiskFull = "the disk is full; free some space and start Kestrove again";

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

constexpr std::array<const char*, 16> kSchema = {
    "CREATE TABLE IF NOT EXISTS segments ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " start_ts REAL NOT NULL,"
    " end_ts REAL NOT NULL,"
    " bundle_id TEXT,"
    " app_name TEXT NOT NULL,"
    " window_title TEXT NOT NULL DEFAULT '',"
    " url TEXT NOT NULL DEFAULT '',"
    " domain TEXT NOT NULL DEFAULT '',"
    " kind TEXT NOT NULL,"
    " project TEXT,"
    " area TEXT,"
    " detected_project TEXT,"
    " focus_task_id TEXT,"
    " keystrokes INTEGER NOT NULL DEFAULT 0,"
    " source TEXT NOT NULL DEFAULT 'live',"
    " context_id INTEGER);",
    "CREATE INDEX IF NOT EXISTS idx_segments_start ON segments(start_ts);",
    "CREATE INDEX IF NOT EXISTS idx_segments_end ON segments(end_ts);",
    "CREATE INDEX IF NOT EXISTS idx_segments_kind_start ON segments(kind, start_ts);",
    "CREATE INDEX IF NOT EXISTS idx_segments_project ON segments(project);",
    // Deep time per project is summed from this index alone, without reading the rows.
    "CREATE INDEX IF NOT EXISTS idx_segments_kind_span ON segments(kind, start_ts, end_ts,"
    " project);",
    // The longest segment, found in one step, bounds range reads on both sides of start_ts.
    "CREATE INDEX IF NOT EXISTS idx_segments_length ON segments(end_ts - start_ts);",
    // Only rows that still carry a title, so erasing old titles at every start reads what is
    // left to erase rather than the whole history. Keyed by start, which the open segment's
    // growing end never changes.
    "CREATE INDEX IF NOT EXISTS idx_segments_titled_start ON segments(start_ts)"
    " WHERE window_title != '';",
    "CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);",
    // Each distinct set of texts a seen application or site is keyed and named by, stored once:
    // the domain, the bundle identifier (else the name) and the name. Segments refer to it.
    "CREATE TABLE IF NOT EXISTS contexts ("
    " id INTEGER PRIMARY KEY,"
    " domain TEXT NOT NULL,"
    " identifier TEXT NOT NULL,"
    " app_name TEXT NOT NULL,"
    " UNIQUE (domain, identifier, app_name));",
    "CREATE TABLE IF NOT EXISTS focus_tasks ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " started_at REAL NOT NULL,"
    " ended_at REAL NOT NULL,"
    " task_name TEXT NOT NULL,"
    " estimated_seconds INTEGER NOT NULL,"
    " actual_active_seconds INTEGER NOT NULL,"
    " completed INTEGER NOT NULL DEFAULT 0,"
    " avg_score REAL NOT NULL DEFAULT 0.0,"
    " allowed_bundle_ids TEXT,"
    " allowed_url_patterns TEXT,"
    " is_lockdown INTEGER NOT NULL DEFAULT 0,"
    " breakout_attempts INTEGER NOT NULL DEFAULT 0,"
    " ended_reason TEXT,"
    " task_uuid TEXT);",
    "CREATE INDEX IF NOT EXISTS idx_focus_tasks_started ON focus_tasks(started_at DESC);",
    "CREATE TABLE IF NOT EXISTS lockdown_blocks ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " focus_task_id TEXT NOT NULL,"
    " timestamp REAL NOT NULL,"
    " attempted_bundle_id TEXT NOT NULL);",
    "CREATE INDEX IF NOT EXISTS idx_lockdown_blocks_task ON lockdown_blocks(focus_task_id);",
    "CREATE INDEX IF NOT EXISTS idx_lockdown_blocks_ts ON lockdown_blocks(timestamp DESC);",
    "CREATE TABLE IF NOT EXISTS day_plans ("
    " day_start REAL PRIMARY KEY,"
    " created_at REAL NOT NULL,"
    " completed_at REAL,"
    " skipped_at REAL,"
    " context TEXT NOT NULL DEFAULT '',"
    " so_what TEXT NOT NULL DEFAULT '',"
    " project TEXT NOT NULL DEFAULT '',"
    " urgent TEXT NOT NULL DEFAULT '[]',"
    " maintenance TEXT NOT NULL DEFAULT '[]',"
    " other TEXT NOT NULL DEFAULT '',"
    " blocks TEXT NOT NULL DEFAULT '[]');",
};

struct MigrationColumn
{
    const char* name;
    const char* definition;
};

// Columns that older files lack, added in this order.
constexpr std::array<MigrationColumn, 5> kFocusTaskColumns = {{
    {"is_lockdown", "INTEGER NOT NULL DEFAULT 0"},
    {"breakout_attempts", "INTEGER NOT NULL DEFAULT 0"},
    {"ended_reason", "TEXT"},
    {"task_uuid", "TEXT"},
    {"project", "TEXT"},
}};

// Created after the columns are migrated: older files have no task_uuid to index yet.
constexpr const char* kFocusTaskUuidIndex =
    "CREATE INDEX IF NOT EXISTS idx_focus_tasks_uuid ON focus_tasks(task_uuid);";

// Rows that overlap [?1, ?2), except row ?3. The lower bound on start_ts (no row starts earlier
// than the longest segment before ?1) keeps the read on a two-sided index range; it excludes
// nothing that overlaps.
constexpr const char* kSelectSegments =
    "SELECT id, start_ts, end_ts, bundle_id, app_name, window_title, url, domain, kind, project,"
    " area, detected_project, focus_task_id, keystrokes, source FROM segments"
    " WHERE end_ts > ?1 AND start_ts < ?2 AND id != ?3"
    " AND start_ts >= ?1 - (SELECT MAX(end_ts - start_ts) FROM segments) - 1.0"
    " ORDER BY start_ts, id;";

// The tracker inserts a segment at every change of context and moves the open one's end every
// few seconds: both are prepared once per connection. A context seen before is referred to
// here, which spares the row the trigger's second write; a new one is left to the trigger.
constexpr const char* kInsertSegment =
    "INSERT INTO segments (start_ts, end_ts, bundle_id, app_name, window_title, url, domain, kind,"
    " project, area, detected_project, focus_task_id, keystrokes, source, context_id)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, (SELECT id FROM"
    " contexts WHERE (domain, identifier, app_name) = (?7, COALESCE(?3, ?4), ?4)));";
constexpr const char* kUpdateSegmentEnd = "UPDATE segments SET end_ts = ? WHERE id = ?;";

constexpr const char* kCountCandidateSegments =
    "SELECT COUNT(*) FROM segments WHERE start_ts < ?2"
    " AND start_ts >= ?1 - (SELECT MAX(end_ts - start_ts) FROM segments) - 1.0;";

std::string dataHome()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* entry = getpwuid(getuid());
        home = entry ? entry->pw_dir : "/tmp";
    }
    return std::string(home) + "/.local/share";
}

// A file that holds something other than a database is the user's; SQLite must not touch it.
bool holdsOtherData(const std::string& path)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error || size == 0) {
        return false;
    }
    static constexpr char kHeader[16] = "SQLite format 3";
    char header[16] = {};
    std::ifstream file(path, std::ios::binary);
    file.read(header, sizeof header);
    return file.gcount() != sizeof header || std::memcmp(header, kHeader, sizeof header) != 0;
}

std::string systemReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return kPermissionDenied;
    case EROFS:
        return kReadOnly;
    default:
        return std::strerror(error);
    }
}

// What keeps the path from holding the database, found before SQLite touches anything there;
// empty when nothing does.
std::string unusableBecause(const std::string& path)
{
    const fs::path folder = fs::path(path).parent_path();
    struct stat info;
    if (!folder.empty() && ::stat(folder.c_str(), &info) != 0) {
        return "its folder " + folder.string() + " cannot be created (" + std::strerror(errno) +
               ")";
    }
    if (!folder.empty() && !S_ISDIR(info.st_mode)) {
        return "its folder " + folder.string() + " is not a folder";
    }
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return kIsAFolder;
        }
        // Reading a pipe or a device to look for a header could block or consume it.
        if (!S_ISREG(info.st_mode)) {
            return kNotAFile;
        }
        if (::access(path.c_str(), R_OK | W_OK) != 0) {
            return systemReason(errno);
        }
        if (holdsOtherData(path)) {
            return kNotADatabase;
        }
    }
    // The file, its -wal and its -shm are created beside it.
    const std::string folderPath = folder.empty() ? "." : folder.string();
    if (::access(folderPath.c_str(), W_OK | X_OK) != 0) {
        return systemReason(errno);
    }
    return {};
}

// What SQLite's last failure on the connection means for the user.
std::string sqliteReason(sqlite3* db)
{
    if (!db) {
        return {};
    }
    switch (sqlite3_extended_errcode(db) & 0xff) {
    case SQLITE_NOTADB:
        return kNotADatabase;
    case SQLITE_CORRUPT:
        return kDamaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return kInUse;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return kPermissionDenied;
    case SQLITE_FULL:
        return kDiskFull;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        if (const int error = sqlite3_system_errno(db); error != 0) {
            return systemReason(error);
        }
        break;
    default:
        break;
    }
    return sqlite3_errmsg(db);
}

// SQLite gives its -wal and -shm files the mode of the database file, so a file created
// private keeps all three private from the first byte.
void createPrivately(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
    if (fd >= 0) {
        ::close(fd);
    }
}

std::optional<double> strictDecimal(const std::string& text)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) {
        return std::nullopt;
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

Database::Database(std::string path, const Clock& clock) : m_path(std::move(path)), m_clock(&clock)
{
    const fs::path folder = fs::path(m_path).parent_path();
    std::error_code ignored;
    if (!folder.empty()) {
        fs::create_directories(folder.parent_path(), ignored);
        ::mkdir(folder.c_str(), kFolderMode);
    }
}

Database::Database(std::string path, ReadOnly, const Clock& clock)
    : m_path(std::move(path)), m_clock(&clock)
{}

Database::~Database()
{
    close();
}

std::string Database::defaultPath()
{
    return dataHome() + "/Kestrove/kestrove.db";
}

const Clock& Database::systemClock()
{
    static const SystemClock clock;
    return clock;
}

void Database::open()
{
    close();
    try {
        openConnection();
        try {
            setUp();
        } catch (const DatabaseError& error) {
            // A file SQLite refuses says so only now, at the first statement.
            const std::string reason = sqliteReason(m_db);
            throw DatabaseError::openFailed(m_path, reason.empty() ? error.what() : reason);
        }
        m_openError.reset();
    } catch (const DatabaseError& error) {
        close();
        m_openError = std::make_shared<DatabaseError>(error);
        throw;
    }
}

void Database::openReadOnly()
{
    close();
    struct stat info;
    if (::stat(m_path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw DatabaseError::openFailed(m_path, "no history file");
    }
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(m_path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        const std::string reason = sqliteReason(m_db);
        close();
        throw DatabaseError::openFailed(m_path, reason);
    }
    sqlite3_busy_timeout(m_db, static_cast<int>(m_busyTimeout.count()));
    try {
        if (columns("segments").empty()) {
            throw DatabaseError::openFailed(m_path, "no history in it");
        }
    } catch (const DatabaseError&) {
        close();
        throw;
    }
    // An older file is read as it is, without the references a writable open would add.
    m_segmentContexts = meta(kSegmentContextsKey).has_value();
}

void Database::setBusyTimeout(std::chrono::milliseconds timeout)
{
    m_busyTimeout = timeout;
    if (m_db) {
        sqlite3_busy_timeout(m_db, static_cast<int>(timeout.count()));
    }
}

void Database::openConnection()
{
    const fs::path folder = fs::path(m_path).parent_path();
    if (!folder.empty()) {
        ::chmod(folder.c_str(), kFolderMode);
    }
    if (const std::string reason = unusableBecause(m_path); !reason.empty()) {
        throw DatabaseError::openFailed(m_path, reason);
    }
    createPrivately(m_path);
    // Only one thread at a time ever uses the connection, so SQLite's own locking is not needed.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(m_path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        throw DatabaseError::openFailed(m_path, sqliteReason(m_db));
    }
    // Another process reading (a command-line query) or briefly writing makes a write wait
    // for its lock instead of failing with "database is locked".
    sqlite3_busy_timeout(m_db, static_cast<int>(m_busyTimeout.count()));
}

void Database::setUp()
{
    for (const char* pragma :
         {"PRAGMA journal_mode=WAL;", "PRAGMA synchronous=NORMAL;", "PRAGMA secure_delete=ON;"}) {
        execute(pragma);
    }
    // Memory stays small on a year of history: nothing mapped, since mapped pages of the file
    // stay resident long after the read that touched them, and a page cache of 1 MiB, which
    // holds the upper levels of every index; the narrow reads need no more.
    execute("PRAGMA mmap_size=0;");
    execute("PRAGMA cache_size=-1024;");
    tightenFilePermissions();
    createSchema();
    migrate();
}

void Database::close()
{
    m_segmentContexts = false;
    m_statements.clear();
    if (m_db) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

void Database::tightenFilePermissions() const
{
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const std::string file = m_path + suffix;
        struct stat info;
        if (::stat(file.c_str(), &info) == 0) {
            ::chmod(file.c_str(), kFileMode);
        }
    }
}

void Database::createSchema()
{
    for (const char* statement : kSchema) {
        execute(statement);
    }
}

void Database::migrate()
{
    const auto existing = columns("focus_tasks");
    for (const auto& column : kFocusTaskColumns) {
        if (!existing.contains(column.name)) {
            execute(std::string("ALTER TABLE focus_tasks ADD COLUMN ") + column.name + " " +
                    column.definition + ";");
        }
    }
    execute(kFocusTaskUuidIndex);
    importLegacyEventsIfNeeded();
    referToContextsIfNeeded();
    writeSegmentsSinceIfMissing();
}

void Database::writeSegmentsSinceIfMissing()
{
    if (!meta("segments_since")) {
        setMeta("segments_since", NumberFormat::shortest(m_clock->now()));
    }
}

std::set<std::string> Database::columns(const std::string& table)
{
    std::set<std::string> names;
    try {
        Statement statement(m_db, "SELECT name FROM pragma_table_info(?);");
        statement.bind(1, std::string_view(table));
        while (statement.next()) {
            if (auto name = statement.columnText(0)) {
                names.insert(std::move(*name));
            }
        }
    } catch (const DatabaseError&) {
    }
    return names;
}

std::optional<std::string> Database::meta(const std::string& key)
{
    try {
        Statement statement(m_db, "SELECT value FROM meta WHERE key = ?;");
        statement.bind(1, std::string_view(key));
        if (statement.next()) {
            return statement.columnText(0);
        }
    } catch (const DatabaseError&) {
    }
    return std::nullopt;
}

void Database::setMeta(const std::string& key, const std::string& value)
{
    try {
        Statement statement(m_db, "INSERT OR REPLACE INTO meta (key, value) VALUES (?, ?);");
        statement.bind(1, std::string_view(key));
        statement.bind(2, std::string_view(value));
        statement.step();
    } catch (const DatabaseError&) {
    }
}

void Database::writeMeta(const std::string& key, const std::string& value)
{
    Statement statement(m_db, "INSERT OR REPLACE INTO meta (key, value) VALUES (?, ?);");
    statement.bind(1, std::string_view(key));
    statement.bind(2, std::string_view(value));
    statement.run();
}

std::optional<Date> Database::accurateSince()
{
    const auto text = meta("segments_since");
    return text ? strictDecimal(*text) : std::nullopt;
}

void Database::execute(const std::string& sql)
{
    if (!m_db) {
        throw DatabaseError::executeFailed(DatabaseError::kNoConnection);
    }
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown";
        sqlite3_free(message);
        throw Statement::executeError(m_db, text);
    }
}

std::int64_t Database::insertSegment(const Segment& segment)
{
    auto use = m_statements.use(m_db, kInsertSegment);
    Statement& statement = *use;
    statement.bind(1, segment.start);
    statement.bind(2, segment.end);
    statement.bind(3, segment.bundleID);
    statement.bind(4, std::string_view(segment.appName));
    statement.bind(5, std::string_view(segment.windowTitle));
    statement.bind(6, std::string_view(segment.url));
    statement.bind(7, std::string_view(segment.domain));
    statement.bind(8, rawValue(segment.kind));
    statement.bind(9, segment.project);
    statement.bind(10, segment.area);
    statement.bind(11, segment.detectedProject);
    statement.bind(12, segment.focusTaskID);
    statement.bind(13, segment.keystrokes);
    statement.bind(14, Segment::rawValue(segment.source));
    statement.run();
    return sqlite3_last_insert_rowid(m_db);
}

void Database::updateSegment(std::int64_t id, Date end)
{
    auto statement = m_statements.use(m_db, kUpdateSegmentEnd);
    statement->bind(1, end);
    statement->bind(2, id);
    statement->run();
}

void Database::deleteSegment(std::int64_t id)
{
    Statement statement(m_db, "DELETE FROM segments WHERE id = ?;");
    statement.bind(1, id);
    statement.step();
}

std::vector<Segment> Database::segments(Date from, Date to, std::optional<std::int64_t> excludingID)
{
    auto statement = m_statements.use(m_db, kSelectSegments);
    statement->bind(1, from);
    statement->bind(2, to);
    statement->bind(3, excludingID.value_or(-1));
    std::vector<Segment> result;
    result.reserve(candidateCount(from, to));
    while (statement->next()) {
        Segment segment = mapSegment(*statement);
        segment.start = std::max(segment.start, from);
        segment.end = std::min(segment.end, to);
        if (segment.end > segment.start) {
            result.push_back(std::move(segment));
        }
    }
    return result;
}

// Growing the result row by row costs more than reading the rows, so it is sized once from an
// index-only count of the rows the read will visit (never fewer than it returns).
std::size_t Database::candidateCount(Date from, Date to)
{
    auto count = m_statements.use(m_db, kCountCandidateSegments);
    count->bind(1, from);
    count->bind(2, to);
    return count->next()
               ? static_cast<std::size_t>(std::max<std::int64_t>(count->columnInt64(0), 0))
               : 0;
}

Segment Database::mapSegment(const Statement& row)
{
    Segment segment;
    segment.id = row.columnInt64(0);
    segment.start = row.columnDouble(1);
    segment.end = row.columnDouble(2);
    segment.bundleID = row.columnText(3);
    segment.appName = row.columnTextOr(4, "Unknown");
    segment.windowTitle = row.columnTextOr(5, "");
    segment.url = row.columnTextOr(6, "");
    segment.domain = row.columnTextOr(7, "");
    const auto kind = row.columnText(8);
    segment.kind = ContextKinds::fromRawValue(kind.value_or("")).value_or(ContextKind::neutral);
    segment.project = row.columnText(9);
    segment.area = row.columnText(10);
    segment.detectedProject = row.columnText(11);
    segment.focusTaskID = row.columnText(12);
    segment.keystrokes = row.columnInt64(13);
    const auto source = row.columnText(14);
    segment.source = source == "legacy" ? Segment::Source::legacy : Segment::Source::live;
    return segment;
}

void Database::assignUnassigned(const std::string& key, const std::string& project,
                                const std::optional<std::string>& area)
{
    Statement statement(m_db, "UPDATE segments SET project = ?, area = ? WHERE project IS NULL AND"
                              " (detected_project = ?"
                              " OR (COALESCE(detected_project,'') = '' AND domain = ?)"
                              " OR (COALESCE(detected_project,'') = '' AND domain = ''"
                              " AND app_name = ?));");
    statement.bind(1, std::string_view(project));
    statement.bind(2, area);
    statement.bind(3, std::string_view(key));
    statement.bind(4, std::string_view(key));
    statement.bind(5, std::string_view(key));
    statement.run();
}

void Database::renameProject(const std::string& from, const std::optional<std::string>& to,
                             const std::optional<std::string>& area)
{
    Statement statement(m_db, "UPDATE segments SET project = ?, area = ? WHERE project = ?;");
    statement.bind(1, to);
    statement.bind(2, area);
    statement.bind(3, std::string_view(from));
    statement.step();
}

void Database::deleteSegments(Date start, Date end)
{
    Statement statement(m_db, "DELETE FROM segments WHERE end_ts > ? AND start_ts < ?;");
    statement.bind(1, start);
    statement.bind(2, end);
    // A reset that left the rows in place must not be reported as done. Nor may it keep the
    // names of what was seen only then: one pass over the references, a rare and asked-for cost.
    inTransaction([&] {
        statement.run();
        execute("DELETE FROM contexts WHERE id NOT IN"
                " (SELECT context_id FROM segments WHERE context_id IS NOT NULL);");
    });
}

std::pair<Date, Date> Database::dayBounds(Date date)
{
    const Date start = Calendar::startOfDay(date);
    return {start, Calendar::addingDays(start, 1)};
}

} // namespace kestrove
