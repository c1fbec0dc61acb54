#include "Gallery/WeekGallery.h"

#include "Gallery/GallerySupport.h"
#include "Views/Dashboard/ProjectEditSheet.h"
#include "Views/Dashboard/ProjectsView.h"
#include "Views/Dashboard/WeekView.h"
#include "core/Calendar.h"
#include "core/Uuid.h"
#include "support/EngineRig.h"

#include <QLayout>
#include <QLineEdit>
#include <QScrollArea>

namespace kestrove::gallery {

namespace {

struct Work
{
    const char* project; // null: none
    const char* area;
    const char* bundleID;
    const char* app;
    const char* title;
    const char* domain;
};

const std::vector<Work>& works()
{
    static const std::vector<Work> list = {
        {"Kestrove", "Work", "com.microsoft.vscode", "Code", "WeekView.cpp — kestrove", ""},
        {"Kestrove", "Work", "org.mozilla.firefox", "Firefox", "Pull request #231",
         "git.example.org"},
        {"Website", "Work", "com.figma.desktop", "Figma", "Landing page", ""},
        {"Thesis", "Study", "com.microsoft.vscode", "Code", "chapter-4.tex — thesis", ""},
        {"Garden planner", "Home", "org.gnome.gedit", "Text Editor", "beds.md — garden", ""},
        {nullptr, nullptr, "com.apple.terminal", "Terminal", "scratch", ""},
        {"Reading", nullptr, "org.gnome.evince", "Document Viewer", "Deep Work notes.pdf", ""},
    };
    return list;
}

Segment segmentOf(const Work& work, Date start, double minutes, ContextKind kind)
{
    Segment segment;
    segment.start = start;
    segment.end = start + minutes * 60;
    segment.bundleID = work.bundleID;
    segment.appName = work.app;
    segment.windowTitle = work.title;
    segment.domain = work.domain;
    segment.kind = kind;
    if (work.project) {
        segment.project = work.project;
        if (work.area) {
            segment.area = work.area;
        }
    }
    return segment;
}

// A fortnight of working days ending at `now`: mornings of deep runs with mail between, a
// weekend of little, one day above the goal; the day's pattern shifts with its date.
void seedFortnight(Database& db, Date now)
{
    const Date today = Calendar::startOfDay(now);
    static const double deepHours[] = {3.6, 4.4, 2.1, 6.2, 3.0, 0.4, 0.0,
                                       4.1, 5.3, 1.2, 4.6, 3.3, 0.7, 0.0};
    Work mail{nullptr, nullptr, "org.mozilla.firefox", "Firefox", "Inbox", "mail.example.org"};
    Work news{nullptr, nullptr, "org.mozilla.firefox", "Firefox", "News", "news.example.com"};
    for (int back = 13; back >= 0; --back) {
        const Date day = Calendar::addingDays(today, -back);
        const int weekday = Calendar::weekday(day);
        double deep = deepHours[(weekday + 5) % 7 + (back >= 7 ? 7 : 0)];
        Date at = day + 8.75 * 3600;
        db.insertSegment(segmentOf(mail, at, 20, ContextKind::shallow));
        at += 20 * 60;
        std::size_t next = static_cast<std::size_t>(back) % works().size();
        while (deep > 0.01) {
            const double minutes = std::min(deep * 60, 35.0 + 17.0 * static_cast<double>(next % 3));
            if (at + minutes * 60 > now) {
                break;
            }
            db.insertSegment(segmentOf(works()[next], at, minutes, ContextKind::deep));
            at += minutes * 60;
            deep -= minutes / 60;
            next = (next + 2) % works().size();
            if (at + 8 * 60 < now) {
                db.insertSegment(
                    segmentOf(next % 2 ? news : mail, at, 8,
                              next % 2 ? ContextKind::distraction : ContextKind::shallow));
                at += 8 * 60;
            }
        }
    }
}

Project project(const char* name, const char* color, const char* area,
                std::vector<ProjectRule> rules)
{
    Project p;
    p.id = Uuid::generate();
    p.name = name;
    p.color = color;
    if (area) {
        p.area = area;
    }
    p.rules = std::move(rules);
    return p;
}

// Thursday afternoon, two weeks recorded, five projects in three areas and one without.
EngineRig& weekRig()
{
    static EngineRig* instance = [] {
        const Date now = Calendar::date(2026, 12, 10, 16, 40);
        EngineRig* rig = rigWithHistory(now, [now](Database& db) { seedFortnight(db, now); });
        ProjectStore& store = rig->engine->projects();
        store.add(project(
            "Kestrove", "violet", "Work",
            {ProjectRule::pathContains("/code/kestrove/"), ProjectRule::domain("git.example.org"),
             ProjectRule::titleContains("kestrove"), ProjectRule::app("com.microsoft.vscode")}));
        store.add(project("Website", "blue", "Work", {ProjectRule::app("com.figma.desktop")}));
        store.add(project("Thesis", "teal", "Study", {ProjectRule::titleContains("thesis")}));
        store.add(project("Garden planner", "amber", "Home", {}));
        store.add(project("Reading", "pink", nullptr, {ProjectRule::titleContains(".pdf")}));
        startInFront(*rig, "com.microsoft.vscode", "WeekView.cpp — kestrove");
        return rig;
    }();
    return *instance;
}

EngineRig& emptyRig()
{
    static EngineRig* instance = startedRig(Calendar::date(2026, 12, 10, 9, 5));
    return *instance;
}

// The whole page at a window's width, not the scrolled part of it.
std::unique_ptr<QWidget> wholeWeek(EngineRig& rig, int weekOffset)
{
    static DashboardNavigation navigation;
    auto view = std::make_unique<WeekView>(*rig.engine, navigation);
    rig.settle();
    view->setWeekOffset(weekOffset);
    rig.settle();
    view->setFixedSize(920, heightAtWidth(*view->content(), 920));
    return view;
}

std::unique_ptr<QWidget> projectsPage(const std::function<void(ProjectsView&)>& prepare)
{
    EngineRig& rig = weekRig();
    auto view = std::make_unique<ProjectsView>(*rig.engine);
    rig.settle();
    prepare(*view);
    rig.settle();
    const int listHeight = view->list()->sizeHint().height();
    const int detailHeight = heightAtWidth(*view->detail(), 680);
    view->setFixedSize(1001, std::max({listHeight, detailHeight, 640}));
    return view;
}

std::unique_ptr<QWidget> projectNamed(const char* name)
{
    return projectsPage([name](ProjectsView& view) {
        view.select(*weekRig().engine->projects().projectNamed(name));
    });
}

std::unique_ptr<QWidget> editor()
{
    EngineRig& rig = weekRig();
    auto sheet = std::make_unique<ProjectEditSheet>(
        *rig.engine, rig.engine->projects().projectNamed("Kestrove"), ProjectEditSheet::Hooks{});
    sheet->setWindowFlags(Qt::Widget);
    return sheet;
}

std::unique_ptr<QWidget> newProjectRefused()
{
    EngineRig& rig = weekRig();
    auto sheet =
        std::make_unique<ProjectEditSheet>(*rig.engine, std::nullopt, ProjectEditSheet::Hooks{});
    sheet->setWindowFlags(Qt::Widget);
    sheet->ruleField()->setText("localhost");
    sheet->addTypedRule();
    return sheet;
}

} // namespace

std::vector<GalleryView> weekGalleryViews()
{
    return {
        {"week-this-week", [] { return wholeWeek(weekRig(), 0); }},
        {"week-last-week", [] { return wholeWeek(weekRig(), -1); }},
        {"week-empty", [] { return wholeWeek(emptyRig(), 0); }},
        {"projects-list", [] { return projectsPage([](ProjectsView&) {}); }},
        {"projects-detail", [] { return projectNamed("Kestrove"); }},
        {"projects-detail-no-rules", [] { return projectNamed("Garden planner"); }},
        {"projects-unassigned",
         [] { return projectsPage([](ProjectsView& view) { view.selectUnassigned(); }); }},
        {"projects-editor", editor},
        {"projects-editor-new-refused-rule", newProjectRefused},
    };
}

} // namespace kestrove::gallery
