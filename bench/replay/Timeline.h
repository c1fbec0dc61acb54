#pragma once

#include "core/Date.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove::replay {

// What the desktop did, one line per change, in time order:
//
//     kestrove-timeline 1
//     start 1764543600
//     0 wake
//     32400 app com.microsoft.vscode Code
//     32400 title Tracker.cpp — kestrove
//     32400 input
//     35000 idle 0
//     35100 url https://news.example.org/
//     36000 task 50 com.microsoft.vscode,com.apple.terminal Write the parser
//     39000 endtask
//     86400 end
//
// Offsets are seconds after `start`. `app` brings a new window of an application to the front
// (bundle identifier, then its name), `none` leaves no window in front, `title` and `url` change
// what that window shows. `input` means the user keeps typing or pointing; `idle N` means the
// last input was N seconds ago and nothing has come since. `sleep`/`wake` and `lock`/`unlock`
// are the machine's and the screen's states. `task` starts a focus task of so many minutes with
// its allowed applications (comma-separated, or `-`) and its name; `endtask` ends it.
struct TimelineEvent
{
    enum class Type { app, none, title, url, input, idle, sleep, wake, lock, unlock, task, endTask };

    double offset = 0;
    Type type = Type::input;
    std::string bundleID;              // app
    std::string text;                  // app: name; title, url: the text; task: its name
    double seconds = 0;                // idle: seconds since input; task: planned seconds
    std::vector<std::string> allowedBundleIDs; // task

    bool operator==(const TimelineEvent&) const = default;
};

struct Timeline
{
    Date start = 0;
    double duration = 0; // the `end` offset
    std::vector<TimelineEvent> events;

    bool operator==(const Timeline&) const = default;
};

class TimelineError : public std::runtime_error
{
public:
    TimelineError(int line, const std::string& message);
    int line() const { return m_line; }

private:
    int m_line;
};

// Throws TimelineError naming the first line that is not understood, or an offset that goes
// back in time.
Timeline parseTimeline(std::string_view text);
std::string formatTimeline(const Timeline& timeline);

std::string_view typeName(TimelineEvent::Type type);

} // namespace kestrove::replay
