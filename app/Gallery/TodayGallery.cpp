#include "Gallery/TodayGallery.h"

#include "Gallery/GallerySupport.h"
#include "ViewLogic/Today/StripData.h"
#include "Views/Components/DepthStrip.h"
#include "Views/Components/ReviewCard.h"
#include "Views/Dashboard/AssignSheet.h"
#include "Views/Dashboard/TodayView.h"
#include "core/Calendar.h"
#include "core/DaySummary.h"
#include "support/EngineRig.h"

#include <QCoreApplication>
#include <QThread>
#include <QVBoxLayout>

namespace kestrove::gallery {

namespace {

struct Stretch
{
    int startMinute; // of the day
    int minutes;
    const char* bundleID;
    const char* app;
    const char* title;
    const char* domain;
    ContextKind kind;
    const char* project; // null: none
    const char* area;
    const char* detected;
};

// A working day: two long runs in the editor, reviews and mail between, a lunch away, a
// distracted half hour and some unassigned design and terminal time.
const std::vector<Stretch>& workDay()
{
    using K = ContextKind;
    static const std::vector<Stretch> day = {
        {8 * 60 + 42, 18, "org.mozilla.firefox", "Firefox", "Inbox", "mail.example.org", K::shallow,
         nullptr, nullptr, nullptr},
        {9 * 60, 52, "com.microsoft.vscode", "Code", "TodayView.cpp — kestrove", "", K::deep,
         "Kestrove", "Work", "kestrove"},
        {9 * 60 + 52, 3, "org.mozilla.firefox", "Firefox", "Chat", "chat.example.org",
         K::distraction, nullptr, nullptr, nullptr},
        {9 * 60 + 55, 41, "com.microsoft.vscode", "Code", "StripData.cpp — kestrove", "", K::deep,
         "Kestrove", "Work", "kestrove"},
        {10 * 60 + 36, 14, "org.mozilla.firefox", "Firefox", "Pull request #212", "git.example.org",
         K::shallow, "Kestrove", "Work", nullptr},
        {10 * 60 + 50, 26, "com.figma.desktop", "Figma", "Landing page", "", K::deep, nullptr,
         nullptr, nullptr},
        {11 * 60 + 16, 31, "org.mozilla.firefox", "Firefox", "News", "news.example.com",
         K::distraction, nullptr, nullptr, nullptr},
        {11 * 60 + 47, 38, "com.apple.terminal", "Terminal", "thesis — make", "", K::deep, "Thesis",
         "Study", "thesis"},
        {12 * 60 + 25, 55, "", "Idle", "", "", K::idle, nullptr, nullptr, nullptr},
        {13 * 60 + 20, 12, "org.gnome.nautilus", "Files", "Downloads", "", K::neutral, nullptr,
         nullptr, nullptr},
        {13 * 60 + 32, 47, "com.microsoft.vscode", "Code", "chapter-3.tex — thesis", "", K::deep,
         "Thesis", "Study", "thesis"},
        {14 * 60 + 19, 9, "com.apple.terminal", "Terminal", "scratch", "", K::deep, nullptr,
         nullptr, "scratch"},
    };
    return day;
}

void seed(Database& db, Date dayStart, int untilMinute)
{
    for (const Stretch& stretch : workDay()) {
        if (stretch.startMinute + stretch.minutes > untilMinute) {
            continue;
        }
        Segment segment;
        segment.start = dayStart + stretch.startMinute * 60.0;
        segment.end = segment.start + stretch.minutes * 60.0;
        if (*stretch.bundleID) {
            segment.bundleID = stretch.bundleID;
        }
        segment.appName = stretch.app;
        segment.windowTitle = stretch.title;
        segment.domain = stretch.domain;
        segment.kind = stretch.kind;
        if (stretch.project) {
            segment.project = stretch.project;
            segment.area = stretch.area;
        }
        if (stretch.detected) {
            segment.detectedProject = stretch.detected;
        }
        db.insertSegment(segment);
    }
}

Project project(const char* name, const char* color, const char* area, ProjectRule rule)
{
    Project p;
    p.name = name;
    p.color = color;
    p.area = area;
    p.rules = {std::move(rule)};
    return p;
}

// Today at 14:25, in the editor on Kestrove again, with yesterday recorded too.
EngineRig& busyRig()
{
    static EngineRig* instance = [] {
        const Date now = Calendar::date(2026, 12, 8, 14, 25);
        EngineRig* rig = rigWithHistory(now, [now](Database& db) {
            seed(db, Calendar::startOfDay(now), 14 * 60 + 25);
            seed(db, Calendar::addingDays(Calendar::startOfDay(now), -1), 24 * 60);
        });
        rig->engine->projects().add(
            project("Kestrove", "violet", "Work", ProjectRule::titleContains("kestrove")));
        rig->engine->projects().add(
            project("Thesis", "teal", "Study", ProjectRule::titleContains("thesis")));
        rig->engine->projects().add(
            project("Garden planner", "amber", "Home", ProjectRule::titleContains("garden")));
        startInFront(*rig, "com.microsoft.vscode", "TodayView.cpp — kestrove");
        return rig;
    }();
    return *instance;
}

EngineRig& firstDayRig()
{
    static EngineRig* instance = startedRig(Calendar::date(2026, 12, 8, 9, 5));
    return *instance;
}

std::unique_ptr<QWidget> page(EngineRig& rig, std::optional<Date> selectedDay)
{
    static DashboardNavigation navigation;
    navigation.setSelectedDay(selectedDay);
    auto view = std::make_unique<TodayView>(*rig.engine, navigation);
    rig.settle();
    // The whole page, not the window's scrolled part of it.
    view->setFixedSize(920, heightAtWidth(*view->content(), 920));
    return view;
}

std::unique_ptr<QWidget> todayLive()
{
    return page(busyRig(), std::nullopt);
}

std::unique_ptr<QWidget> pastDay()
{
    EngineRig& rig = busyRig();
    return page(rig, Calendar::addingDays(Calendar::startOfDay(rig.clock.now()), -1));
}

std::unique_ptr<QWidget> emptyFirstDay()
{
    return page(firstDayRig(), std::nullopt);
}

std::unique_ptr<QWidget> assignSheet()
{
    auto sheet = std::make_unique<AssignSheet>(*busyRig().engine, "scratch", 9 * 60.0, true,
                                               std::function<void()>{});
    sheet->setWindowFlags(Qt::Widget);
    return sheet;
}

std::vector<Segment> stripSegments(Date dayStart)
{
    std::vector<Segment> segments;
    for (const Stretch& stretch : workDay()) {
        Segment segment;
        segment.start = dayStart + stretch.startMinute * 60.0;
        segment.end = segment.start + stretch.minutes * 60.0;
        segment.appName = stretch.app;
        segment.windowTitle = stretch.title;
        segment.kind = stretch.kind;
        if (stretch.project) {
            segment.project = stretch.project;
        }
        segments.push_back(segment);
    }
    return segments;
}

// The strip with the pointer over the first run in the editor.
std::unique_ptr<QWidget> stripHovered()
{
    const Date dayStart = Calendar::date(2026, 12, 7);
    const auto segments = StripData::coalesce(stripSegments(dayStart));
    const auto range = StripData::range(segments, dayStart, dayStart + 86400 * 2);
    auto holder = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(holder.get());
    layout->setContentsMargins(16, 16, 16, 16);
    auto* strip = new DepthStrip(segments, range.start, range.end, std::nullopt, true, true, 56);
    layout->addWidget(strip);
    holder->setFixedWidth(720);
    holder->adjustSize();
    strip->hoverAt(StripGeometry{range.start, range.end, double(strip->width())}.position(
        dayStart + 9.5 * 3600));
    // The tooltip's room opens over 0.15 s; the picture shows it open.
    QCoreApplication::processEvents();
    for (int i = 0; i < 25; ++i) {
        QThread::msleep(10);
        QCoreApplication::processEvents();
    }
    return holder;
}

std::unique_ptr<QWidget> weekReview()
{
    const Date monday = Calendar::date(2026, 11, 30);
    std::vector<DayTotal> days;
    const double deep[] = {4.2, 3.1, 0.01, 5.0, 2.4, 0, 0.6};
    for (int i = 0; i < 7; ++i) {
        days.push_back({Calendar::addingDays(monday, i), deep[i] * 3600, deep[i] * 3600 * 1.6});
    }
    auto card = std::make_unique<WeekReviewCard>(days, 4 * 3600, std::vector<DayTotal>{});
    card->setFixedWidth(620);
    return card;
}

} // namespace

std::vector<GalleryView> todayGalleryViews()
{
    return {
        {"today-live", todayLive},
        {"today-past-day", pastDay},
        {"today-empty-first-day", emptyFirstDay},
        {"today-assign-sheet", assignSheet},
        {"depth-strip-hovered", stripHovered},
        {"review-week", weekReview},
    };
}

} // namespace kestrove::gallery
