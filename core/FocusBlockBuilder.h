#pragma once

#include "core/Date.h"
#include "core/Segment.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// How far a running stretch of deep work has come, by its deep seconds.
enum class SessionPhase
{
    idle,
    warmingUp,
    buildingFocus,
    deepWork,
    peakFocus
};

namespace SessionPhases {

inline constexpr std::array<SessionPhase, 5> allCases = {
    SessionPhase::idle, SessionPhase::warmingUp, SessionPhase::buildingFocus,
    SessionPhase::deepWork, SessionPhase::peakFocus};

std::optional<SessionPhase> fromRawValue(std::string_view text);
// Not a number or not above 0 is idle; then under 900, 1800, 3600 s, and from 3600 s on.
SessionPhase from(double deepSeconds);
// How far through its phase the stretch is, 0...1; 1 at peak focus, 0 when idle.
double progress(double deepSeconds);

} // namespace SessionPhases

// The text the focus-state broadcast carries: "idle", "warmingUp", ...
std::string_view rawValue(SessionPhase phase);
std::string_view label(SessionPhase phase);
double minSeconds(SessionPhase phase);
double maxSeconds(SessionPhase phase); // infinite for peak focus

// A run of deep work that survived short interruptions.
struct FocusBlock
{
    Date start = 0; // start of its first deep segment
    Date end = 0;   // end of its last deep segment
    double deepSeconds = 0;
    // Non-deep and unrecorded time between its first and last deep segment.
    double interruptionSeconds = 0;
    // Deep seconds per project; time without a project is kept under "".
    std::map<std::string, double> byProject;
    std::optional<std::string> focusTaskID;

    // Whole seconds since 1970 of the start; blocks starting in the same second share it.
    std::int64_t id() const;
    TimeInterval span() const { return end - start; }
    SessionPhase phase() const { return SessionPhases::from(deepSeconds); }
    // The project with the most deep time (ties: the first name in code-point order);
    // nullopt when time without a project had the most.
    std::optional<std::string> primaryProject() const;

    bool operator==(const FocusBlock&) const = default;
};

// Cuts a day's segments into focus blocks: deep segments join one block while the non-deep
// time since the last of them stays within the grace.
struct FocusBlockBuilder
{
    double graceSeconds = 180;
    double minBlockSeconds = 300;

    // Blocks with at least minBlockSeconds of deep time, in the order they closed. The
    // segments are in ascending order of start; `now` is not needed to cut them.
    std::vector<FocusBlock> blocks(const std::vector<Segment>& segments,
                                   std::optional<Date> now = std::nullopt) const;
    // The block still running at `now`, however short: the last block, if it ended within
    // the grace before `now`.
    std::optional<FocusBlock> liveBlock(const std::vector<Segment>& segments, Date now) const;
};

} // namespace kestrove
