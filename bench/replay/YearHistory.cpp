#include "replay/YearHistory.h"

#include "Storage/Database.h"
#include "core/Calendar.h"
#include "core/NumberFormat.h"

#include <array>
#include <random>
#include <string>

namespace kestrove::replay {

namespace {

constexpr double kWakingSeconds = 16 * 3600.0;

Segment night(Date start, Date end)
{
    Segment s;
    s.start = start;
    s.end = end;
    s.appName = std::string(kAsleepAppName);
    s.kind = ContextKind::idle;
    return s;
}

} // namespace

Segment sampleSegment(std::mt19937& random, Date start, Date end, bool withUrl)
{
    static const std::array<const char*, 6> apps = {"Code",  "Firefox", "Terminal",
                                                    "Slack", "Spotify", "Files"};
    static const std::array<ContextKind, 5> kinds = {ContextKind::deep, ContextKind::deep,
                                                     ContextKind::shallow, ContextKind::distraction,
                                                     ContextKind::neutral};
    static const std::array<const char*, 4> projects = {"Kestrove", "Thesis", "Website", ""};
    Segment s;
    s.start = start;
    s.end = end;
    const auto app = random() % apps.size();
    s.appName = apps[app];
    s.bundleID = std::string("org.example.") + apps[app];
    s.windowTitle = "Document " + std::to_string(random() % 500) + " — " + apps[app];
    if (app == 1) {
        if (withUrl) {
            s.url = "https://example.org/page/" + std::to_string(random() % 1000);
        }
        s.domain = "example.org";
    }
    s.kind = kinds[random() % kinds.size()];
    const auto project = projects[random() % projects.size()];
    if (*project) {
        s.project = project;
    }
    s.keystrokes = random() % 100;
    return s;
}

void writeYearOfHistory(Database& db, Date now, int days, int todaySegments, std::uint32_t seed)
{
    std::mt19937 random(seed);
    const Date today = Calendar::startOfDay(now);
    db.execute("BEGIN;");
    Date day = Calendar::addingDays(today, -days);
    for (int d = 0; d < days; ++d) {
        const double step = kWakingSeconds / (kYearSegmentsPerDay - 1);
        Date t = day + 7 * 3600;
        for (int i = 0; i < kYearSegmentsPerDay - 1; ++i) {
            const Date end = t + step * (0.5 + double(random() % 1000) / 1000.0);
            db.insertSegment(sampleSegment(random, t, end, false));
            t = end;
        }
        day = Calendar::addingDays(day, 1);
        // The last night ends at midnight, where today's stretches begin.
        db.insertSegment(night(t, d + 1 < days ? day + 7 * 3600 : day));
    }
    const double todayStep = (now - 60 - today) / std::max(todaySegments, 1);
    for (int i = 0; i < todaySegments && todayStep > 0; ++i) {
        const Date start = today + todayStep * i;
        db.insertSegment(sampleSegment(random, start, start + todayStep, false));
    }
    // The record is complete from its first day.
    db.setMeta("segments_since", NumberFormat::shortest(Calendar::addingDays(today, -days)));
    db.execute("COMMIT;");
    // A running program's log is checkpointed as it goes; start from that steady state.
    db.execute("PRAGMA wal_checkpoint(TRUNCATE);");
}

} // namespace kestrove::replay
