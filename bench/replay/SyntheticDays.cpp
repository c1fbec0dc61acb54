#include "replay/SyntheticDays.h"

#include "core/Calendar.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace kestrove::replay {

namespace {

using Type = TimelineEvent::Type;

// A small generator of its own, so a seed gives the same days with every standard library.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Whole seconds in [low, high].
    double seconds(double low, double high)
    {
        const auto span = static_cast<std::uint64_t>(high - low) + 1;
        return low + static_cast<double>(next() % span);
    }
    double minutes(double low, double high) { return seconds(low * 60, high * 60); }
    bool chance(double probability) { return static_cast<double>(next() % 1000) < probability * 1000; }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items)
    {
        return items[next() % N];
    }

private:
    std::uint64_t m_state;
};

struct App
{
    std::string_view bundleID;
    std::string_view name;
};

constexpr App kEditor{"com.microsoft.vscode", "Code"};
constexpr App kTerminal{"org.gnome.terminal", "Terminal"};
constexpr App kIDE{"com.jetbrains.pycharm", "PyCharm"};
constexpr App kBrowser{"org.mozilla.firefox", "Firefox"};
constexpr App kChat{"com.tinyspeck.slackmacgap", "Slack"};
constexpr App kMail{"org.mozilla.thunderbird", "Thunderbird"};
constexpr App kFiles{"org.gnome.nautilus", "Files"};

constexpr std::array<std::string_view, 8> kSourceFiles{
    "Tracker.cpp", "SessionEngine.cpp", "Database.cpp", "main.cpp",
    "parser.py",   "README.md",         "schema.sql",   "CMakeLists.txt"};
constexpr std::array<std::string_view, 5> kRepositories{"kestrove", "billing", "website",
                                                        "data-pipeline", "notes"};
constexpr std::array<std::string_view, 4> kDeepSites{
    "https://github.com/example/kestrove/pull/", "https://stackoverflow.com/questions/",
    "https://docs.google.com/document/d/", "https://en.cppreference.com/w/cpp/"};
constexpr std::array<std::string_view, 3> kShallowSites{
    "https://mail.google.com/mail/u/0/#inbox/", "https://calendar.google.com/calendar/r/week/",
    "https://linear.app/example/issue/"};
constexpr std::array<std::string_view, 5> kDistractingSites{
    "https://www.youtube.com/watch?v=", "https://www.reddit.com/r/programming/comments/",
    "https://news.ycombinator.com/item?id=", "https://x.com/home?s=",
    "https://www.bbc.co.uk/news/articles/"};
constexpr std::array<std::string_view, 4> kChannels{"#general", "#engineering", "#random",
                                                    "Direct message"};
constexpr std::array<std::string_view, 4> kTaskNames{
    "Finish the import", "Review the pull request", "Write the quarterly plan", "Fix the crash"};

// Writes one day after another; `m_now` is the absolute time of the next event.
class DayWriter
{
public:
    DayWriter(Timeline& timeline, std::uint64_t seed) : m_timeline(timeline), m_random(seed) {}

    void day(Date dayStart)
    {
        const int weekday = Calendar::weekday(dayStart);
        const bool weekend = weekday == 1 || weekday == 7;
        if (weekend) {
            weekendDay(dayStart);
        } else {
            workDay(dayStart);
        }
    }

private:
    void workDay(Date dayStart)
    {
        wakeAt(dayStart + 7.5 * 3600 + m_random.minutes(0, 75));
        mostlyShallow(m_random.minutes(10, 25)); // the morning's mail and chat
        workUntil(dayStart + 12.5 * 3600 + m_random.minutes(-15, 20), true);
        lunch(m_random.minutes(35, 60));
        workUntil(dayStart + 17.5 * 3600 + m_random.minutes(-30, 60), false);
        if (m_random.chance(0.5)) {
            sleepUntil(dayStart + 20 * 3600 + m_random.minutes(0, 40));
            browse(m_random.minutes(30, 100), 0.8);
        }
        sleepUntilTomorrow();
    }

    void weekendDay(Date dayStart)
    {
        if (m_random.chance(0.4)) {
            return; // the machine stays asleep all day
        }
        wakeAt(dayStart + 10 * 3600 + m_random.minutes(0, 120));
        browse(m_random.minutes(40, 150), 0.7);
        if (m_random.chance(0.3)) {
            deep(m_random.minutes(20, 60), false);
        }
        sleepUntilTomorrow();
    }

    // Stretches of deep work, chat and distraction, with short breaks, until `end`.
    void workUntil(Date end, bool morning)
    {
        bool offeredTask = !morning;
        while (m_now < end - 300) {
            const double left = end - m_now;
            const auto roll = m_random.next() % 100;
            if (roll < 55) {
                const bool asTask = !offeredTask && m_random.chance(0.6);
                offeredTask = true;
                deep(std::min(left, m_random.minutes(20, 90)), asTask);
            } else if (roll < 75) {
                mostlyShallow(std::min(left, m_random.minutes(5, 25)));
            } else if (roll < 90) {
                browse(std::min(left, m_random.minutes(2, 20)), 1.0);
            } else {
                walkAway(std::min(left, m_random.minutes(6, 15)));
            }
        }
    }

    void deep(double length, bool asTask)
    {
        const Date end = m_now + length;
        if (asTask) {
            emitTask(length);
        }
        const auto repository = m_random.pick(kRepositories);
        while (m_now < end) {
            const auto roll = m_random.next() % 10;
            if (roll < 6) {
                show(m_random.chance(0.8) ? kEditor : kIDE);
                title(std::string(m_random.pick(kSourceFiles)) + " — " + std::string(repository));
            } else if (roll < 8) {
                show(kTerminal);
                title("~/src/" + std::string(repository));
            } else {
                show(kBrowser);
                url(page(m_random.pick(kDeepSites)));
            }
            input();
            stayUntil(std::min(end, m_now + m_random.minutes(1, 8)), true);
        }
        if (asTask) {
            emit(Type::endTask);
        }
    }

    void mostlyShallow(double length)
    {
        const Date end = m_now + length;
        while (m_now < end) {
            const auto roll = m_random.next() % 10;
            if (roll < 5) {
                show(kChat);
                title(std::string(m_random.pick(kChannels)) + " — Example team");
            } else if (roll < 7) {
                show(kMail);
                title("Inbox — you@example.org");
            } else if (roll < 9) {
                show(kBrowser);
                url(page(m_random.pick(kShallowSites)));
            } else {
                show(kFiles);
                title("Downloads");
            }
            input();
            stayUntil(std::min(end, m_now + m_random.seconds(30, 300)), false);
        }
    }

    // Browsing; `distracted` is the share of distracting pages.
    void browse(double length, double distracted)
    {
        const Date end = m_now + length;
        show(kBrowser);
        while (m_now < end) {
            url(page(m_random.chance(distracted) ? m_random.pick(kDistractingSites)
                                                 : m_random.pick(kShallowSites)));
            input();
            stayUntil(std::min(end, m_now + m_random.seconds(20, 420)), true);
        }
    }

    // Up from the desk without locking: input stops and the idle time grows.
    void walkAway(double length)
    {
        emitIdle(0);
        m_now += length;
        input();
    }

    void lunch(double length)
    {
        emitIdle(0);
        emit(Type::lock);
        m_now += length;
        emit(Type::unlock);
        input();
    }

    // Stays in the front window; a reader pauses input for under a minute now and then.
    void stayUntil(Date end, bool reads)
    {
        while (reads && m_now + 240 < end && m_random.chance(0.3)) {
            m_now += m_random.seconds(30, 120);
            emitIdle(0);
            m_now += m_random.seconds(10, 50);
            input();
        }
        m_now = std::max(m_now, end);
    }

    void wakeAt(Date time)
    {
        m_now = std::max(m_now, time);
        emit(Type::wake);
        m_now += m_random.seconds(5, 40);
        emit(Type::unlock);
        input();
    }

    void sleepUntil(Date time)
    {
        emitIdle(0);
        m_now += m_random.seconds(30, 90);
        emit(Type::lock);
        m_now += m_random.seconds(5, 60);
        emit(Type::sleep);
        m_now = std::max(m_now, time);
        emit(Type::wake);
        m_now += m_random.seconds(5, 40);
        emit(Type::unlock);
        input();
    }

    void sleepUntilTomorrow()
    {
        emitIdle(0);
        m_now += m_random.seconds(30, 90);
        emit(Type::lock);
        m_now += m_random.seconds(5, 60);
        emit(Type::sleep);
    }

    std::string page(std::string_view site)
    {
        return std::string(site) + NumberFormat::integer(static_cast<std::int64_t>(m_random.next() % 100000));
    }

    void show(const App& app)
    {
        if (m_front == app.bundleID && app.bundleID != kBrowser.bundleID) {
            return;
        }
        m_front = app.bundleID;
        TimelineEvent event = make(Type::app);
        event.bundleID = app.bundleID;
        event.text = app.name;
        m_timeline.events.push_back(std::move(event));
    }
    void title(std::string text) { emitText(Type::title, std::move(text)); }
    void url(std::string text) { emitText(Type::url, std::move(text)); }
    // Only a change of the input state is written.
    void input()
    {
        if (!m_typing) {
            m_typing = true;
            emit(Type::input);
        }
    }

    void emitText(Type type, std::string text)
    {
        TimelineEvent event = make(type);
        event.text = std::move(text);
        m_timeline.events.push_back(std::move(event));
    }
    void emitIdle(double seconds)
    {
        m_typing = false;
        TimelineEvent event = make(Type::idle);
        event.seconds = seconds;
        m_timeline.events.push_back(std::move(event));
    }
    void emitTask(double length)
    {
        TimelineEvent event = make(Type::task);
        event.seconds = std::max(15.0, std::round(length / 60 / 5) * 5) * 60;
        event.allowedBundleIDs = {std::string(kEditor.bundleID), std::string(kIDE.bundleID),
                                  std::string(kTerminal.bundleID)};
        event.text = m_random.pick(kTaskNames);
        m_timeline.events.push_back(std::move(event));
    }
    void emit(Type type) { m_timeline.events.push_back(make(type)); }

    TimelineEvent make(Type type) const
    {
        TimelineEvent event;
        event.offset = m_now - m_timeline.start;
        event.type = type;
        return event;
    }

    Timeline& m_timeline;
    Random m_random;
    Date m_now = m_timeline.start;
    std::string_view m_front;
    bool m_typing = false;
};

} // namespace

Timeline syntheticDays(int days, Date firstDay, std::uint64_t seed)
{
    Timeline timeline;
    timeline.start = Calendar::startOfDay(firstDay);
    timeline.events.push_back({0, Type::sleep, {}, {}, 0, {}});
    DayWriter writer(timeline, seed);
    for (int i = 0; i < days; ++i) {
        writer.day(Calendar::addingDays(timeline.start, i));
    }
    const Date end = Calendar::addingDays(timeline.start, std::max(days, 0));
    // The program starts when the machine first wakes: a sleeping machine starts nothing.
    const auto wake = std::find_if(timeline.events.begin(), timeline.events.end(),
                                   [](const auto& event) { return event.type == Type::wake; });
    if (wake != timeline.events.end()) {
        const double offset = wake->offset;
        timeline.events.erase(timeline.events.begin(), wake + 1);
        for (auto& event : timeline.events) {
            event.offset -= offset;
        }
        timeline.start += offset;
    }
    timeline.duration = end - timeline.start;
    return timeline;
}

} // namespace kestrove::replay
