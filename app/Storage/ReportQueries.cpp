// Report queries over segments, and the focus-task, refused-launch and day-plan records.
#include "Storage/ReportQueries.h"

#include "Platform/Log.h"
#include "Storage/Database.h"
#include "Storage/Statement.h"
#include "core/Calendar.h"
#include "core/NumberFormat.h"
#include "core/Uuid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <tuple>

namespace kestrove {

using JsonCoding::Json;

namespace {

const Log planLog("plan");

// Every sum clips rows to the range: ?1 = range end, ?2 = range start (the clip), ?3 = range
// start, ?4 = range end (the overlap). No row starts earlier than the longest segment before
// the range, which keeps each query on a two-sided index range.
#define KESTROVE_CLIPPED_SUM " SUM(MIN(end_ts, ?1) - MAX(start_ts, ?2)) AS secs"
#define KESTROVE_OVERLAP                                                                           \
    " end_ts > ?3 AND start_ts < ?4"                                                               \
    " AND start_ts >= ?3 - (SELECT MAX(end_ts - start_ts) FROM segments) - 1.0"

// What dayTotals needs of each segment, read in the same order and with the same clipping
// as Database::segments.
constexpr const char* kDayTotalRows =
    "SELECT start_ts, end_ts, kind FROM segments"
    " WHERE end_ts > ?1 AND start_ts < ?2"
    " AND start_ts >= ?1 - (SELECT MAX(end_ts - start_ts) FROM segments) - 1.0"
    " ORDER BY start_ts, id;";

// The same rows of one kind, from idx_segments_kind_span alone without visiting the table:
// by start, and among equal starts by end and project rather than by id.
constexpr const char* kDayTotalRowsOfKind =
    "SELECT start_ts, end_ts, id FROM segments"
    " WHERE kind = ?3 AND end_ts > ?1 AND start_ts < ?2"
    " AND start_ts >= ?1 - (SELECT MAX(end_ts - start_ts) FROM segments) - 1.0"
    " ORDER BY start_ts;";

// The stored kinds in order, one index step each.
constexpr const char* kFirstKind = "SELECT kind FROM segments ORDER BY kind LIMIT 1;";
constexpr const char* kNextKind =
    "SELECT kind FROM segments WHERE kind > ?1 ORDER BY kind LIMIT 1;";

constexpr const char* kProjectTotals =
    "SELECT COALESCE(project, ''), " KESTROVE_CLIPPED_SUM " FROM segments"
    " WHERE kind = 'deep' AND" KESTROVE_OVERLAP " GROUP BY COALESCE(project, '')"
    " ORDER BY secs DESC;";

constexpr const char* kProjectLabels =
    "SELECT COALESCE(NULLIF(window_title, ''), NULLIF(domain, ''), app_name) AS "
    "label," KESTROVE_CLIPPED_SUM " FROM segments WHERE kind = 'deep' AND" KESTROVE_OVERLAP
    " AND project = ?5 GROUP BY label ORDER BY secs DESC LIMIT ?6;";

// Unassigned means no project at all, absent or empty, as in projectTotals.
constexpr const char* kUnassignedLabels =
    "SELECT COALESCE(NULLIF(window_title, ''), NULLIF(domain, ''), app_name) AS "
    "label," KESTROVE_CLIPPED_SUM " FROM segments WHERE kind = 'deep' AND" KESTROVE_OVERLAP
    " AND (project IS NULL OR project = '') GROUP BY label ORDER BY secs DESC LIMIT ?5;";

constexpr const char* kSeenContexts =
    "SELECT CASE WHEN domain != '' THEN domain ELSE lower(COALESCE(bundle_id, app_name)) END"
    " AS key, CASE WHEN domain != '' THEN domain ELSE app_name END AS name,"
    " CASE WHEN domain != '' THEN 1 ELSE 0 END AS is_domain," KESTROVE_CLIPPED_SUM
    " FROM segments WHERE kind != 'idle' AND" KESTROVE_OVERLAP
    " GROUP BY key ORDER BY secs DESC LIMIT ?5;";

#undef KESTROVE_CLIPPED_SUM
#undef KESTROVE_OVERLAP

void bindRange(Statement& statement, Date from, Date to)
{
    statement.bind(1, to);
    statement.bind(2, from);
    statement.bind(3, from);
    statement.bind(4, to);
}

// Seconds as stored whole numbers; a value that is not a real duration is stored as 0.
std::int64_t wholeSeconds(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) >= 9.2e18) {
        return 0;
    }
    return static_cast<std::int64_t>(std::trunc(seconds));
}

// Task identifiers are stored in the canonical upper-case form; anything else as it came.
std::string canonicalID(const std::string& id)
{
    return Uuid::isValid(id) ? Uuid::normalized(id) : id;
}

std::string encodeStrings(const std::vector<std::string>& list)
{
    try {
        return Json(list).dump();
    } catch (const Json::exception&) {
        return "[]";
    }
}

std::string encodeBlocks(const std::vector<PlannedBlock>& blocks)
{
    try {
        return PlannedBlock::listToJson(blocks).dump();
    } catch (const Json::exception&) {
        return "[]";
    }
}

std::vector<std::string> decodeStrings(const std::string& text)
{
    const Json json = JsonCoding::parse(text);
    if (!json.is_array()) {
        throw JsonCoding::DecodeError("expected an array");
    }
    std::vector<std::string> list;
    for (const Json& item : json) {
        if (!item.is_string()) {
            throw JsonCoding::DecodeError("expected strings");
        }
        list.push_back(item.get<std::string>());
    }
    return list;
}

// Active and deep seconds by local day; a stretch across midnight counts on both days.
class DaySums
{
public:
    void add(Date start, Date end, bool deep)
    {
        for (Date p = start; p < end;) {
            findDay(p);
            const Date q = std::min(end, m_nextDay);
            m_total->activeSeconds += q - p;
            if (deep) {
                m_total->deepSeconds += q - p;
            }
            p = q;
        }
    }

    // From the day of `from` up to, not including, the day of `to`; days without rows as zeros.
    std::vector<DayTotal> totals(Date from, Date to) const
    {
        std::vector<DayTotal> result;
        const Date last = Calendar::startOfDay(to);
        for (Date d = Calendar::startOfDay(from); d < last; d = Calendar::addingDays(d, 1)) {
            const auto found = m_days.find(d);
            DayTotal day = found == m_days.end() ? DayTotal{} : found->second;
            day.date = d;
            result.push_back(day);
        }
        return result;
    }

private:
    // Rows come by start, so most fall in the day found for the row before.
    void findDay(Date p)
    {
        if (!(p >= m_dayStart && p < m_nextDay)) {
            m_dayStart = Calendar::startOfDay(p);
            m_nextDay = Calendar::addingDays(m_dayStart, 1);
            m_total = &m_days[m_dayStart];
        }
    }

    std::map<Date, DayTotal> m_days;
    Date m_dayStart = 0;
    Date m_nextDay = -1;
    DayTotal* m_total = nullptr;
};

// One kind's rows in (start, id) order: each run of equal starts that the index gives is put
// in id order before its first row is handed out.
class KindRows
{
public:
    struct Row
    {
        Date start;
        Date end;
        std::int64_t id;
    };

    KindRows(sqlite3* db, Date from, Date to, const std::string& kind, bool deep)
        : m_rows(db, kDayTotalRowsOfKind), m_deep(deep)
    {
        m_rows.bind(1, from);
        m_rows.bind(2, to);
        m_rows.bind(3, std::string_view(kind));
        m_more = read(m_pending);
        refill();
    }

    bool empty() const { return m_next == m_run.size(); }
    const Row& front() const { return m_run[m_next]; }
    bool deep() const { return m_deep; }
    void pop()
    {
        if (++m_next == m_run.size()) {
            refill();
        }
    }

private:
    bool read(Row& row)
    {
        if (!m_rows.next()) {
            return false;
        }
        row = {m_rows.columnDouble(0), m_rows.columnDouble(1), m_rows.columnInt64(2)};
        return true;
    }

    void refill()
    {
        m_run.clear();
        m_next = 0;
        if (!m_more) {
            return;
        }
        m_run.push_back(m_pending);
        while ((m_more = read(m_pending)) && m_pending.start == m_run.front().start) {
            m_run.push_back(m_pending);
        }
        std::sort(m_run.begin(), m_run.end(),
                  [](const Row& a, const Row& b) { return a.id < b.id; });
    }

    Statement m_rows;
    bool m_deep;
    std::vector<Row> m_run;
    std::size_t m_next = 0;
    Row m_pending{};
    bool m_more = false;
};

} // namespace

std::string FocusSessionEntry::onTaskFormatted() const
{
    const std::int64_t s = wholeSeconds(onTaskSeconds);
    const std::int64_t hours = s / 3600;
    const std::int64_t rest = s - 3600 * hours;
    const std::int64_t minutes = rest / 60;
    if (s < 3600) {
        return rest < 60 ? NumberFormat::integer(s) + "s" : NumberFormat::integer(minutes) + "m";
    }
    return NumberFormat::integer(hours) + "h " + NumberFormat::integer(minutes) + "m";
}

std::vector<DayTotal> Database::dayTotals(Date from, Date to)
{
    DaySums days;
    const auto kinds = storedKinds();
    if (!kinds) {
        Statement rows(m_db, kDayTotalRows);
        rows.bind(1, from);
        rows.bind(2, to);
        while (rows.next()) {
            const auto kind = ContextKinds::fromRawValue(rows.columnView(2));
            if (kind != ContextKind::idle) {
                days.add(std::max(rows.columnDouble(0), from), std::min(rows.columnDouble(1), to),
                         kind == ContextKind::deep);
            }
        }
        return days.totals(from, to);
    }
    // Each kind is read from a covering index, without visiting the rows; idle time adds nothing.
    std::vector<std::unique_ptr<KindRows>> streams;
    for (const std::string& kind : *kinds) {
        const auto known = ContextKinds::fromRawValue(kind);
        if (known != ContextKind::idle) {
            auto stream =
                std::make_unique<KindRows>(m_db, from, to, kind, known == ContextKind::deep);
            if (!stream->empty()) {
                streams.push_back(std::move(stream));
            }
        }
    }
    // Rows are summed in (start, id) order, as one read of all rows gives them, so that every
    // sum comes out the same to the last bit.
    const auto earlier = [](const auto& a, const auto& b) {
        return std::tie(a->front().start, a->front().id) <
               std::tie(b->front().start, b->front().id);
    };
    while (!streams.empty()) {
        const auto next = std::min_element(streams.begin(), streams.end(), earlier);
        KindRows& stream = **next;
        days.add(std::max(stream.front().start, from), std::min(stream.front().end, to),
                 stream.deep());
        stream.pop();
        if (stream.empty()) {
            streams.erase(next);
        }
    }
    return days.totals(from, to);
}

// Absent when a stored kind is not plain text, which the index steps cannot walk past.
std::optional<std::vector<std::string>> Database::storedKinds()
{
    std::vector<std::string> kinds;
    std::optional<std::string> kind;
    {
        Statement first(m_db, kFirstKind);
        if (first.next()) {
            kind = first.columnText(0);
        }
    }
    while (kind) {
        if (!kinds.empty() && *kind <= kinds.back()) {
            return std::nullopt;
        }
        kinds.push_back(std::move(*kind));
        Statement next(m_db, kNextKind);
        next.bind(1, std::string_view(kinds.back()));
        kind = next.next() ? next.columnText(0) : std::nullopt;
    }
    return kinds;
}

std::vector<TimeShare> Database::projectTotals(Date from, Date to)
{
    Statement rows(m_db, kProjectTotals);
    bindRange(rows, from, to);
    std::vector<TimeShare> result;
    while (rows.next()) {
        std::string name = rows.columnTextOr(0, "");
        if (name.empty()) {
            name = DaySummary::kUnassignedLabel;
        }
        result.push_back({std::move(name), rows.columnDouble(1), std::nullopt});
    }
    return result;
}

std::vector<LabelTime> Database::labelBreakdown(const std::optional<std::string>& project,
                                                Date from, Date to, int limit)
{
    Statement rows(m_db, project ? kProjectLabels : kUnassignedLabels);
    bindRange(rows, from, to);
    if (project) {
        rows.bind(5, std::string_view(*project));
        rows.bindInt32(6, limit);
    } else {
        rows.bindInt32(5, limit);
    }
    std::vector<LabelTime> result;
    while (rows.next()) {
        result.push_back({rows.columnTextOr(0, ""), rows.columnDouble(1)});
    }
    return result;
}

std::vector<SeenContext> Database::seenContexts(Date from, Date to, int limit)
{
    Statement rows(m_db, kSeenContexts);
    bindRange(rows, from, to);
    rows.bindInt32(5, limit);
    std::vector<SeenContext> result;
    while (rows.next()) {
        result.push_back({rows.columnTextOr(0, ""), rows.columnTextOr(1, ""),
                          rows.columnInt64(2) != 0, rows.columnDouble(3)});
    }
    return result;
}

void Database::insertFocusTask(const FocusTask& task, bool completed)
{
    Statement statement(
        m_db, "INSERT INTO focus_tasks (started_at, ended_at, task_name, estimated_seconds,"
              " actual_active_seconds, completed, avg_score, allowed_bundle_ids,"
              " allowed_url_patterns, is_lockdown, breakout_attempts, ended_reason, task_uuid,"
              " project) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    statement.bind(1, task.startedAt);
    statement.bind(2, task.endedAt.value_or(m_clock->now()));
    statement.bind(3, std::string_view(task.name));
    statement.bind(4, wholeSeconds(task.estimatedSeconds));
    statement.bind(5, wholeSeconds(task.cumulativeOnTaskSeconds));
    statement.bindInt32(6, completed ? 1 : 0);
    statement.bind(7, task.avgScore());
    statement.bind(8, std::string_view(encodeStrings(task.allowedBundleIDs)));
    statement.bind(9, std::string_view(encodeStrings(task.allowedURLPatterns)));
    statement.bindInt32(10, task.isLockdown ? 1 : 0);
    statement.bind(11, task.breakoutAttempts);
    if (task.endedReason) {
        statement.bind(12, FocusTask::rawValue(*task.endedReason));
    } else {
        statement.bindNull(12);
    }
    statement.bind(13, std::string_view(canonicalID(task.id)));
    statement.bind(14, task.projectName);
    statement.run();
}

void Database::recordLockdownBlock(const std::string& focusTaskID, Date timestamp,
                                   const std::string& attemptedBundleID)
{
    Statement statement(m_db, "INSERT INTO lockdown_blocks (focus_task_id, timestamp,"
                              " attempted_bundle_id) VALUES (?, ?, ?);");
    statement.bind(1, std::string_view(canonicalID(focusTaskID)));
    statement.bind(2, timestamp);
    statement.bind(3, std::string_view(attemptedBundleID));
    statement.run();
}

LockdownStats Database::lockdownStats(Date day)
{
    const auto [start, end] = dayBounds(day);
    LockdownStats stats;
    std::int64_t completed = 0;
    {
        Statement tasks(m_db, "SELECT COUNT(*), COALESCE(SUM(actual_active_seconds), 0),"
                              " SUM(CASE WHEN ended_reason = 'completed' THEN 1 ELSE 0 END)"
                              " FROM focus_tasks WHERE is_lockdown = 1 AND started_at >= ?"
                              " AND started_at < ?;");
        tasks.bind(1, start);
        tasks.bind(2, end);
        if (tasks.next()) {
            stats.sessions = tasks.columnInt64(0);
            stats.totalLockedSeconds = tasks.columnDouble(1);
            completed = tasks.columnInt64(2);
        }
    }
    Statement blocks(m_db, "SELECT COUNT(*) FROM lockdown_blocks WHERE timestamp >= ?"
                           " AND timestamp < ?;");
    blocks.bind(1, start);
    blocks.bind(2, end);
    if (blocks.next()) {
        stats.totalBlocks = blocks.columnInt64(0);
    }
    stats.completionRate = stats.sessions >= 1 ? double(completed) / double(stats.sessions) : 0;
    return stats;
}

std::vector<FocusSessionEntry> Database::recentFocusTasks(int limit)
{
    Statement rows(m_db, "SELECT started_at, ended_at, task_name, estimated_seconds,"
                         " actual_active_seconds, completed, avg_score, ended_reason, is_lockdown"
                         " FROM focus_tasks ORDER BY started_at DESC LIMIT ?;");
    rows.bindInt32(1, limit);
    std::vector<FocusSessionEntry> result;
    while (rows.next()) {
        FocusSessionEntry entry;
        entry.id = Uuid::generate();
        entry.startedAt = rows.columnDouble(0);
        entry.endedAt = rows.columnDouble(1);
        entry.taskName = rows.columnTextOr(2, "Untitled");
        entry.estimatedSeconds = double(rows.columnInt64(3));
        entry.onTaskSeconds = double(rows.columnInt64(4));
        entry.completed = rows.columnInt64(5) != 0;
        entry.avgScore = rows.columnDouble(6);
        entry.endedReason = rows.columnText(7);
        entry.isLockdown = rows.columnInt64(8) != 0;
        result.push_back(std::move(entry));
    }
    return result;
}

std::optional<DayPlan> Database::dayPlan(Date day)
{
    Statement row(m_db, "SELECT day_start, created_at, completed_at, skipped_at, context, so_what,"
                        " project, urgent, maintenance, other, blocks FROM day_plans"
                        " WHERE day_start = ?;");
    row.bind(1, Calendar::startOfDay(day));
    if (!row.next()) {
        return std::nullopt;
    }
    return mapDayPlan(row);
}

DayPlan Database::mapDayPlan(const Statement& row)
{
    DayPlan plan;
    plan.day = row.columnDouble(0);
    plan.createdAt = row.columnDouble(1);
    if (!row.isNull(2)) {
        plan.completedAt = row.columnDouble(2);
    }
    if (!row.isNull(3)) {
        plan.skippedAt = row.columnDouble(3);
    }
    plan.context = row.columnTextOr(4, "");
    plan.soWhat = row.columnTextOr(5, "");
    plan.project = row.columnTextOr(6, "");
    plan.other = row.columnTextOr(9, "");

    auto& undecoded = m_undecodedPlanColumns[plan.day];
    undecoded.clear();
    // A stored list that does not decode reads as empty and is kept for the next write.
    auto decode = [&](int column, const char* name, auto decoder, auto& target) {
        const auto text = row.columnText(column);
        if (!text) {
            return;
        }
        try {
            target = decoder(*text);
        } catch (const JsonCoding::DecodeError& error) {
            planLog.error(std::string("stored plan ") + name + " does not decode: " + error.what());
            undecoded[name] = *text;
        }
    };
    decode(7, "urgent", decodeStrings, plan.urgent);
    decode(8, "maintenance", decodeStrings, plan.maintenance);
    decode(
        10, "blocks",
        [](const std::string& text) { return PlannedBlock::listFromJson(JsonCoding::parse(text)); },
        plan.blocks);
    if (undecoded.empty()) {
        m_undecodedPlanColumns.erase(plan.day);
    }
    return plan;
}

void Database::upsertDayPlan(const DayPlan& plan)
{
    const Date dayStart = Calendar::startOfDay(plan.day);
    const auto undecoded = m_undecodedPlanColumns.find(dayStart);
    // A list the caller left empty over a stored list that could not be read keeps the stored one.
    auto column = [&](const char* name, bool isEmpty, std::string encoded) {
        if (isEmpty && undecoded != m_undecodedPlanColumns.end()) {
            if (const auto kept = undecoded->second.find(name); kept != undecoded->second.end()) {
                return kept->second;
            }
        }
        return encoded;
    };
    const std::string urgent = column("urgent", plan.urgent.empty(), encodeStrings(plan.urgent));
    const std::string maintenance =
        column("maintenance", plan.maintenance.empty(), encodeStrings(plan.maintenance));
    const std::string blocks = column("blocks", plan.blocks.empty(), encodeBlocks(plan.blocks));

    Statement statement(
        m_db, "INSERT OR REPLACE INTO day_plans (day_start, created_at, completed_at, skipped_at,"
              " context, so_what, project, urgent, maintenance, other, blocks)"
              " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    statement.bind(1, dayStart);
    statement.bind(2, plan.createdAt);
    plan.completedAt ? statement.bind(3, *plan.completedAt) : statement.bindNull(3);
    plan.skippedAt ? statement.bind(4, *plan.skippedAt) : statement.bindNull(4);
    statement.bind(5, std::string_view(plan.context));
    statement.bind(6, std::string_view(plan.soWhat));
    statement.bind(7, std::string_view(plan.project));
    statement.bind(8, std::string_view(urgent));
    statement.bind(9, std::string_view(maintenance));
    statement.bind(10, std::string_view(plan.other));
    statement.bind(11, std::string_view(blocks));
    statement.run();
    if (undecoded != m_undecodedPlanColumns.end()) {
        std::erase_if(undecoded->second, [&](const auto& entry) {
            return !(entry.first == "urgent"        ? plan.urgent.empty()
                     : entry.first == "maintenance" ? plan.maintenance.empty()
                                                    : plan.blocks.empty());
        });
        if (undecoded->second.empty()) {
            m_undecodedPlanColumns.erase(undecoded);
        }
    }
}

} // namespace kestrove
