#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kestrove {

// Hides every window of one application, as a user would minimise them, after bringing another
// application's window to the front. Requests run one at a time, in order, away from the main
// thread; the outcome, as checked on the desktop afterwards, comes back on the main thread.
class Hider
{
public:
    struct Request
    {
        std::string bundleID;                 // the application to hide, as the workspace names it
        std::optional<std::string> refocusTo; // the application to bring to the front first
        std::uint64_t refocusWindow = 0;      // its window when known; 0: its topmost one
    };

    struct Outcome
    {
        // Every window of the application was seen hidden afterwards (none left counts).
        bool hidden = false;
        // Why not, when not.
        std::string detail;
    };

    using Completion = std::function<void(const Outcome&)>;

    virtual ~Hider() = default;
    virtual void hide(Request request, Completion done) = 0;
};

} // namespace kestrove
