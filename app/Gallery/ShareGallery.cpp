#include "Gallery/ShareGallery.h"

#include "ViewLogic/Share/ShareCardBuilder.h"
#include "ViewLogic/Share/ShareCardLayout.h"
#include "Views/Share/ShareCardView.h"
#include "Views/Share/ShareSheet.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/FakeClipboard.h"

#include <QPainter>

namespace kestrove::gallery {

namespace {

struct Stretch
{
    int startMinute;
    int minutes;
    const char* bundleID;
    const char* app;
    const char* title;
    ContextKind kind;
    const char* project; // null: none
};

// A working day; each weekday stretches or trims its deep runs a little, so no two days match.
const std::vector<Stretch>& workDay()
{
    using K = ContextKind;
    static const std::vector<Stretch> day = {
        {8 * 60 + 40, 20, "org.mozilla.firefox", "Firefox", "Inbox", K::shallow, nullptr},
        {9 * 60, 70, "com.microsoft.vscode", "Code", "ShareCard.cpp — kestrove", K::deep,
         "Kestrove"},
        {10 * 60 + 10, 6, "org.mozilla.firefox", "Firefox", "Chat", K::distraction, nullptr},
        {10 * 60 + 16, 44, "com.microsoft.vscode", "Code", "ShareSheet.cpp — kestrove", K::deep,
         "Kestrove"},
        {11 * 60, 25, "org.mozilla.firefox", "Firefox", "Review", K::shallow, "Kestrove"},
        {11 * 60 + 25, 35, "com.apple.terminal", "Terminal", "thesis — make", K::deep, "Thesis"},
        {12 * 60, 60, "", "Idle", "", K::idle, nullptr},
        {13 * 60, 15, "org.gnome.nautilus", "Files", "Downloads", K::neutral, nullptr},
        {13 * 60 + 15, 55, "com.microsoft.vscode", "Code", "chapter-4.tex — thesis", K::deep,
         "Thesis"},
        {14 * 60 + 10, 20, "org.mozilla.firefox", "Firefox", "News", K::distraction, nullptr},
        {14 * 60 + 30, 30, "com.figma.desktop", "Figma", "Card layout", K::deep, "Garden planner"},
    };
    return day;
}

void seedDay(Database& db, Date dayStart, int weekday, int untilMinute)
{
    int shift = 0;
    for (const Stretch& stretch : workDay()) {
        // Deep runs grow through the week, and Wednesday is a short day.
        int minutes = stretch.minutes;
        if (stretch.kind == ContextKind::deep) {
            minutes = weekday == 3 ? minutes / 2 : minutes + 6 * weekday;
        }
        const int start = stretch.startMinute + shift;
        shift += minutes - stretch.minutes;
        if (start + minutes > untilMinute) {
            break;
        }
        Segment segment;
        segment.start = dayStart + start * 60.0;
        segment.end = segment.start + minutes * 60.0;
        if (*stretch.bundleID) {
            segment.bundleID = stretch.bundleID;
        }
        segment.appName = stretch.app;
        segment.windowTitle = stretch.title;
        segment.kind = stretch.kind;
        if (stretch.project) {
            segment.project = stretch.project;
        }
        db.insertSegment(segment);
    }
}

Project project(const char* name, const char* color)
{
    Project p;
    p.name = name;
    p.color = color;
    return p;
}

// Friday afternoon of a week recorded from Monday on, the editor open right now.
EngineRig& weekRig()
{
    static EngineRig* instance = [] {
        const Date now = Calendar::date(2026, 12, 11, 15, 10);
        const Date monday = Calendar::date(2026, 12, 7);
        auto* rig = new EngineRig(now);
        {
            Database db(rig->path);
            db.open();
            for (int day = 0; day < 5; ++day) {
                seedDay(db, Calendar::addingDays(monday, day), day + 1,
                        day < 4 ? 24 * 60 : 15 * 60);
            }
        }
        rig->engine->projects().add(project("Kestrove", "violet"));
        rig->engine->projects().add(project("Thesis", "teal"));
        rig->engine->projects().add(project("Garden planner", "amber"));
        rig->engine->goal().setDailyGoalHours(3);
        rig->prefs.setString(ShareSheetTexts::kHandleKey, "@kestrel");
        rig->start();
        rig->show("com.microsoft.vscode", "ShareGallery.cpp — kestrove");
        rig->run(10 * 60);
        rig->engine->refreshHistory();
        rig->settle();
        return rig;
    }();
    return *instance;
}

ShareCardData card(const SharePeriod& period)
{
    EngineRig& rig = weekRig();
    ShareCardBuilder builder(*rig.engine);
    ShareCardData data;
    builder.build(period, rig.prefs.string(ShareSheetTexts::kHandleKey),
                  [&data](ShareCard built) { data = std::move(built.data); });
    rig.settle();
    return data;
}

// The card as it is shared, at its own size.
class CardPicture final : public QWidget
{
public:
    explicit CardPicture(ShareCardData data) : m_data(std::move(data))
    {
        setFixedSize(static_cast<int>(kShareCardWidth), static_cast<int>(kShareCardHeight));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        paintShareCard(painter, m_data, "en_US");
    }

private:
    ShareCardData m_data;
};

std::unique_ptr<QWidget> sheet()
{
    static FakeClipboard clipboard;
    EngineRig& rig = weekRig();
    auto view =
        std::make_unique<ShareSheet>(ShareSheet::Services{*rig.engine, clipboard, {}, {}, {}},
                                     SharePeriod::day(rig.clock.now()));
    rig.settle();
    return view;
}

} // namespace

std::vector<GalleryView> shareGalleryViews()
{
    const auto week = [] {
        const Date monday = Calendar::date(2026, 12, 7);
        return SharePeriod::week(monday, Calendar::addingDays(monday, 7));
    };
    return {
        {"share-card-day",
         [] {
             return std::make_unique<CardPicture>(card(SharePeriod::day(weekRig().clock.now())));
         }},
        {"share-card-past-day",
         [] {
             return std::make_unique<CardPicture>(
                 card(SharePeriod::day(Calendar::date(2026, 12, 9, 12))));
         }},
        {"share-card-week", [week] { return std::make_unique<CardPicture>(card(week())); }},
        {"share-sheet", sheet},
    };
}

} // namespace kestrove::gallery
