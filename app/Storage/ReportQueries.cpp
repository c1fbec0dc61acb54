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
#include <deque>
#include <limits>
#include <memory>
#include <tuple>
#include <unordered_map>

namespace kestrove {

using JsonCoding::Json;

namespace {

const Log planLog("plan");

// Rows that overlap [?1, ?2). No row starts earlier than the longest segment before ?1, which
// keeps the read on a two-sided index range and excludes nothing that overlaps.
#define KESTROVE_RANGE                                                                             \
    " end_ts > ?1 AND start_ts < ?2"                                                               \
    " AND start_ts >= ?1 - (SELECT MAX(end_ts - start_ts) FROM segments) - 1.0"

// The columns a day's summary and its focus blocks are built from, in the order of segments().
constexpr const char* kSummaryRows =
    "SELECT id, start_ts, end_ts, kind, project, area, detected_project, domain, app_name,"
    " focus_task_id FROM segments WHERE" KESTROVE_RANGE " AND id != ?3 ORDER BY start_ts, id;";

// What focus blocks are cut from.
constexpr const char* kBlockRows = "SELECT id, start_ts, end_ts, kind, project FROM segments"
                                   " WHERE" KESTROVE_RANGE " ORDER BY start_ts, id;";

// Deep rows from idx_segments_kind_span alone, by start; the id puts equal starts in order.
// Named, since a small table would otherwise be read through (kind, start_ts) and the rows.
constexpr const char* kDeepRowsOfProject =
    "SELECT start_ts, end_ts, id FROM segments INDEXED BY idx_segments_kind_span"
    " WHERE kind = 'deep' AND project = ?3 AND" KESTROVE_RANGE " ORDER BY start_ts;";
constexpr const char* kDeepRows =
    "SELECT start_ts, end_ts, id, project FROM segments INDEXED BY idx_segments_kind_span"
    " WHERE kind = 'deep' AND" KESTROVE_RANGE " ORDER BY start_ts;";

// The context each non-idle row refers to, in the order of segments(), from the narrow index
// alone: the texts, stored once per context, are read once per context.
constexpr const char* kSeenRows =
    "SELECT start_ts, end_ts, context_id FROM segments INDEXED BY idx_segments_seen"
    " WHERE kind != 'idle' AND" KESTROVE_RANGE " ORDER BY start_ts, id;";
constexpr const char* kContextTexts =
    "SELECT domain, identifier, app_name FROM contexts WHERE id = ?;";
// Far more contexts than a year brings.
constexpr std::int64_t kDenseContextIDs = std::int64_t{1} << 16;

// The same rows with their texts, for a file opened read-only before it gained contexts.
constexpr const char* kSeenRowsWithTexts =
    "SELECT start_ts, end_ts, domain, COALESCE(bundle_id, app_name), app_name FROM segments"
    " WHERE kind != 'idle' AND" KESTROVE_RANGE " ORDER BY start_ts, id;";

#undef KESTROVE_RANGE

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

constexpr const char* kProjectLabels =
    "SELECT COALESCE(NULLIF(window_title, ''), NULLIF(domain, ''), app_name) AS "
    "label," KESTROVE_CLIPPED_SUM " FROM segments WHERE kind = 'deep' AND" KESTROVE_OVERLAP
    " AND project = ?5 GROUP BY label ORDER BY secs DESC LIMIT ?6;";

// Unassigned means no project at all, absent or empty, as in projectTotals.
constexpr const char* kUnassignedLabels =
    "SELECT COALESCE(NULLIF(window_title, ''), NULLIF(domain, ''), app_name) AS "
    "label," KESTROVE_CLIPPED_SUM " FROM segments WHERE kind = 'deep' AND" KESTROVE_OVERLAP
    " AND (project IS NULL OR project = '') GROUP BY label ORDER BY secs DESC LIMIT ?5;";

#undef KESTROVE_CLIPPED_SUM
#undef KESTROVE_OVERLAP

void bindSpan(Statement& statement, Date from, Date to)
{
    statement.bind(1, from);
    statement.bind(2, to);
}

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

// The local days that [from, to) touches, each start found once: the calendar's conversions
// cost more than reading a row, so a row's day is a step or a search in this list.
class LocalDays
{
public:
    LocalDays(Date from, Date to)
    {
        Date day = Calendar::startOfDay(from);
        m_starts.push_back(day);
        do {
            const Date next = Calendar::addingDays(day, 1);
            m_starts.push_back(next > day ? next : day + 86400);
            day = m_starts.back();
        } while (day < to);
        m_seconds.resize(m_starts.size(), DayTotal{});
    }

    // The day that holds `p`, an instant in [from, to); rows come by start, so most fall in
    // the day of the row before.
    DayTotal& totalAt(Date p)
    {
        if (!(p >= m_starts[m_day] && p < m_starts[m_day + 1])) {
            const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), p);
            m_day = std::clamp<std::size_t>(std::size_t(after - m_starts.begin()), 1,
                                            m_starts.size() - 1) -
                    1;
        }
        return m_seconds[m_day];
    }
    // The end of the day `totalAt` last found.
    Date dayEnd() const { return m_starts[m_day + 1]; }

    // The days whose start is before `last`, oldest first.
    std::vector<DayTotal> totals(Date last) const
    {
        std::vector<DayTotal> result;
        for (std::size_t i = 0; i + 1 < m_starts.size() && m_starts[i] < last; ++i) {
            result.push_back(m_seconds[i]);
            result.back().date = m_starts[i];
        }
        return result;
    }

private:
    std::vector<Date> m_starts; // and the end of the last day
    std::vector<DayTotal> m_seconds;
    std::size_t m_day = 0;
};

// Active and deep seconds by local day; a stretch across midnight counts on both days.
class DaySums
{
public:
    DaySums(Date from, Date to) : m_days(from, to), m_last(Calendar::startOfDay(to)) {}

    // A stretch within [from, to).
    void add(Date start, Date end, bool deep)
    {
        for (Date p = start; p < end;) {
            DayTotal& total = m_days.totalAt(p);
            const Date q = std::min(end, m_days.dayEnd());
            total.activeSeconds += q - p;
            if (deep) {
                total.deepSeconds += q - p;
            }
            p = q;
        }
    }

    // From the day of `from` up to, not including, the day of `to`; days without rows as zeros.
    std::vector<DayTotal> totals() const { return m_days.totals(m_last); }

private:
    LocalDays m_days;
    Date m_last;
};

// Steps `rows`, which come by start alone, and hands each to `visit` in (start, id) order: a run
// of equal starts is put in id order first. `read` makes a row (with `start` and `id`) of the
// current step. Sums taken in this order come out as a sum over segments() does, to the last
// bit.
template <typename Read, typename Visit>
void inStartAndIDOrder(Statement& rows, Read read, Visit visit)
{
    using Row = decltype(read(rows));
    std::vector<Row> run;
    const auto flush = [&] {
        if (run.size() > 1) {
            std::sort(run.begin(), run.end(),
                      [](const Row& a, const Row& b) { return a.id < b.id; });
        }
        for (const Row& row : run) {
            visit(row);
        }
        run.clear();
    };
    while (rows.next()) {
        Row row = read(rows);
        if (!run.empty() && row.start != run.front().start) {
            flush();
        }
        run.push_back(std::move(row));
    }
    flush();
}

// A row clipped to [from, to); absent when nothing of it is left, as segments() leaves it out.
std::optional<std::pair<Date, Date>> clipped(Date start, Date end, Date from, Date to)
{
    start = std::max(start, from);
    end = std::min(end, to);
    if (!(end > start)) {
        return std::nullopt;
    }
    return std::make_pair(start, end);
}

// The rows a ranged statement steps through, clipped to [from, to) as segments() clips them;
// `fill` reads a row's other columns into its segment.
template <typename Fill>
std::vector<Segment> clippedRows(Statement& rows, Date from, Date to, std::size_t expected,
                                 Fill fill)
{
    std::vector<Segment> result;
    result.reserve(expected);
    while (rows.next()) {
        const auto span = clipped(rows.columnDouble(1), rows.columnDouble(2), from, to);
        if (!span) {
            continue;
        }
        Segment& segment = result.emplace_back();
        segment.id = rows.columnInt64(0);
        std::tie(segment.start, segment.end) = *span;
        segment.kind =
            ContextKinds::fromRawValue(rows.columnView(3)).value_or(ContextKind::neutral);
        segment.project = rows.columnText(4);
        fill(rows, segment);
    }
    return result;
}

// Largest first; equal seconds keep their order.
template <typename Row, typename Seconds> void largestFirst(std::vector<Row>& rows, Seconds seconds)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const Row& a, const Row& b) { return seconds(a) > seconds(b); });
}

// SQLite's lower(): only ASCII letters change.
void lowerASCII(std::string& text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

// Seen seconds by key. A context, one (domain, identifier or name, name), belongs to the group
// of its key; a group is named by the context of its latest row.
class SeenTally
{
public:
    struct Context;
    struct Group
    {
        SeenContext row;
        const Context* latest = nullptr;
    };
    struct Context
    {
        Group* group;
        std::string displayName;
        bool isDomain;
    };

    // A new context of these texts; it lives as long as the tally.
    Context& add(std::string_view domain, std::string_view identifier, std::string_view appName)
    {
        // A site is its domain; an application its identifier (else its name), lower-cased.
        std::string key(domain.empty() ? identifier : domain);
        if (domain.empty()) {
            lowerASCII(key);
        }
        auto group = m_groups.find(key);
        if (group == m_groups.end()) {
            group = m_groups.emplace(key, Group{SeenContext{key, {}, false, 0}}).first;
        }
        return m_contexts.emplace_back(Context{
            &group->second, std::string(domain.empty() ? appName : domain), !domain.empty()});
    }

    static void count(Context& context, double seconds)
    {
        context.group->latest = &context;
        context.group->row.seconds += seconds;
    }

    // Largest first, at most `limit` (none when negative).
    std::vector<SeenContext> result(int limit)
    {
        std::vector<SeenContext> rows;
        rows.reserve(m_groups.size());
        for (auto& [key, group] : m_groups) {
            group.row.displayName = group.latest->displayName;
            group.row.isDomain = group.latest->isDomain;
            rows.push_back(std::move(group.row));
        }
        largestFirst(rows, [](const SeenContext& row) { return row.seconds; });
        if (limit >= 0 && rows.size() > static_cast<std::size_t>(limit)) {
            rows.resize(static_cast<std::size_t>(limit));
        }
        return rows;
    }

private:
    std::map<std::string, Group, std::less<>> m_groups; // by key
    std::deque<Context> m_contexts;
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

// Tallies rows of start, end, domain, identifier (else name) and name, clipped to [from, to).
void tallyByTexts(Statement& rows, Date from, Date to, SeenTally& tally)
{
    // Most rows repeat an application or site seen before, and are then one look-up by their
    // texts: the domain, else the identifier prefixed with its length and the name, so that no
    // two pairs read the same.
    std::unordered_map<std::string, SeenTally::Context*> contexts;
    std::string texts;
    while (rows.next()) {
        const auto span = clipped(rows.columnDouble(0), rows.columnDouble(1), from, to);
        if (!span) {
            continue;
        }
        const std::string_view domain = rows.columnView(2);
        std::string_view identifier, appName;
        texts.clear();
        if (!domain.empty()) {
            texts += 'd';
            texts += domain;
        } else {
            identifier = rows.columnView(3);
            appName = rows.columnView(4);
            const auto length = static_cast<std::uint32_t>(identifier.size());
            texts += 'a';
            texts.append(reinterpret_cast<const char*>(&length), sizeof length);
            texts += identifier;
            texts += appName;
        }
        auto context = contexts.find(texts);
        if (context == contexts.end()) {
            context = contexts.emplace(texts, &tally.add(domain, identifier, appName)).first;
        }
        SeenTally::count(*context->second, span->second - span->first);
    }
}

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
    DaySums days(from, to);
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
        return days.totals();
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
    return days.totals();
}

// Absent when a stored kind is not plain text, which the index steps cannot walk past.
std::optional<std::vector<std::string>> Database::storedKinds()
{
    std::vector<std::string> kinds;
    std::optional<std::string> kind;
    {
        auto first = m_statements.use(m_db, kFirstKind);
        if (first->next()) {
            kind = first->columnText(0);
        }
    }
    while (kind) {
        if (!kinds.empty() && *kind <= kinds.back()) {
            return std::nullopt;
        }
        kinds.push_back(std::move(*kind));
        auto next = m_statements.use(m_db, kNextKind);
        next->bind(1, std::string_view(kinds.back()));
        kind = next->next() ? next->columnText(0) : std::nullopt;
    }
    return kinds;
}

std::vector<TimeShare> Database::projectTotals(Date from, Date to)
{
    struct Row
    {
        Date start;
        Date end;
        std::int64_t id;
        double* sum; // absent when nothing of the row lies in the range
    };
    // By project as stored, so that absent and empty fall together and the rows of equal
    // seconds come in the order of their names.
    std::map<std::string, double, std::less<>> sums;
    auto rows = m_statements.use(m_db, kDeepRows);
    bindSpan(*rows, from, to);
    inStartAndIDOrder(
        *rows,
        [&](const Statement& row) {
            Row r{row.columnDouble(0), row.columnDouble(1), row.columnInt64(2), nullptr};
            if (clipped(r.start, r.end, from, to)) {
                const std::string_view project = row.columnView(3);
                auto found = sums.find(project);
                if (found == sums.end()) {
                    found = sums.emplace(std::string(project), 0.0).first;
                }
                r.sum = &found->second;
            }
            return r;
        },
        [&](const Row& r) {
            if (const auto span = clipped(r.start, r.end, from, to)) {
                *r.sum += span->second - span->first;
            }
        });
    std::vector<TimeShare> result;
    result.reserve(sums.size());
    for (const auto& [project, seconds] : sums) {
        result.push_back({project.empty() ? std::string(DaySummary::kUnassignedLabel) : project,
                          seconds, std::nullopt});
    }
    largestFirst(result, [](const TimeShare& row) { return row.seconds; });
    return result;
}

std::vector<DayTotal> Database::projectDailyDeepSeconds(const std::string& project, Date from,
                                                        Date to)
{
    struct Row
    {
        Date start;
        Date end;
        std::int64_t id;
    };
    LocalDays days(from, to);
    auto rows = m_statements.use(m_db, kDeepRowsOfProject);
    bindSpan(*rows, from, to);
    rows->bind(3, std::string_view(project));
    inStartAndIDOrder(
        *rows,
        [](const Statement& row) {
            return Row{row.columnDouble(0), row.columnDouble(1), row.columnInt64(2)};
        },
        [&](const Row& r) {
            // A stretch counts whole on the day it starts, also when it runs past midnight.
            if (const auto span = clipped(r.start, r.end, from, to)) {
                days.totalAt(span->first).deepSeconds += span->second - span->first;
            }
        });
    return days.totals(to);
}

std::vector<Segment> Database::summarySegments(Date from, Date to,
                                               std::optional<std::int64_t> excludingID)
{
    auto rows = m_statements.use(m_db, kSummaryRows);
    bindSpan(*rows, from, to);
    rows->bind(3, excludingID.value_or(-1));
    return clippedRows(*rows, from, to, candidateCount(from, to),
                       [](Statement& row, Segment& segment) {
                           segment.area = row.columnText(5);
                           segment.detectedProject = row.columnText(6);
                           segment.domain = row.columnView(7);
                           segment.appName = row.isNull(8) ? "Unknown" : row.columnView(8);
                           segment.focusTaskID = row.columnText(9);
                       });
}

std::vector<Segment> Database::blockSegments(Date from, Date to)
{
    auto rows = m_statements.use(m_db, kBlockRows);
    bindSpan(*rows, from, to);
    return clippedRows(*rows, from, to, candidateCount(from, to), [](Statement&, Segment&) {});
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
    SeenTally tally;
    if (!m_segmentContexts) {
        auto rows = m_statements.use(m_db, kSeenRowsWithTexts);
        bindSpan(*rows, from, to);
        tallyByTexts(*rows, from, to, tally);
        return tally.result(limit);
    }
    // Context ids are small numbers handed out in turn, so a vector indexed by them is the map;
    // ids beyond it (only from a file written by hand) go to a hash map.
    std::vector<SeenTally::Context*> dense;
    std::unordered_map<std::int64_t, SeenTally::Context*> sparse;
    auto texts = m_statements.use(m_db, kContextTexts);
    const auto contextOf = [&](std::int64_t id) -> SeenTally::Context& {
        SeenTally::Context** slot = nullptr;
        if (id >= 0 && id < kDenseContextIDs) {
            const auto index = static_cast<std::size_t>(id);
            if (index >= dense.size()) {
                dense.resize(index + 1);
            }
            slot = &dense[index];
        } else {
            slot = &sparse[id];
        }
        if (!*slot) {
            texts->bind(1, id);
            if (!texts->next()) {
                throw DatabaseError::executeFailed("a segment refers to no context");
            }
            *slot = &tally.add(texts->columnView(0), texts->columnView(1), texts->columnView(2));
            texts->reset();
        }
        return **slot;
    };

    auto rows = m_statements.use(m_db, kSeenRows);
    bindSpan(*rows, from, to);
    while (rows->next()) {
        if (const auto span = clipped(rows->columnDouble(0), rows->columnDouble(1), from, to)) {
            SeenTally::count(contextOf(rows->columnInt64(2)), span->second - span->first);
        }
    }
    return tally.result(limit);
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
