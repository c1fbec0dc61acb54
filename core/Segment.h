#pragma once

#include "core/ContextKind.h"
#include "core/Date.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kestrove {

// One observation of the frontmost application.
struct ContextSample
{
    std::optional<std::string> bundleID;
    std::string appName;
    std::string windowTitle;
    std::string url;
    std::string documentPath;
    bool isIdle = false;
    LockInState lockIn = LockInState::none;

    // The normalised domain and path of `url` (defined with the URL rules in DomainRules.cpp).
    std::string domain() const;
    std::string path() const;

    bool operator==(const ContextSample&) const = default;
};

// One stretch of uniform activity.
struct Segment
{
    enum class Source { live, legacy };

    // Two samples belong to the same segment exactly when their keys are equal.
    struct Key
    {
        std::optional<std::string> bundleID;
        std::string windowTitle;
        std::string domain;
        ContextKind kind = ContextKind::neutral;
        std::optional<std::string> project;
        std::optional<std::string> focusTaskID;

        bool operator==(const Key&) const = default;
    };

    std::int64_t id = 0; // 0 until the store has inserted the row
    Date start = 0;
    Date end = 0;
    std::optional<std::string> bundleID;
    std::string appName;
    std::string windowTitle;
    std::string url;
    std::string domain;
    ContextKind kind = ContextKind::neutral;
    std::optional<std::string> project;
    std::optional<std::string> area;
    std::optional<std::string> detectedProject;
    std::optional<std::string> focusTaskID;
    std::int64_t keystrokes = 0;
    Source source = Source::live;

    TimeInterval duration() const { return end > start ? end - start : 0; }
    // The label of the stretch in tooltips and lists of unassigned work.
    const std::string& hintLabel() const;
    Key key() const { return {bundleID, windowTitle, domain, kind, project, focusTaskID}; }

    bool operator==(const Segment&) const = default;

    static std::string_view rawValue(Source source);
    static std::optional<Source> sourceFromRawValue(std::string_view text);
};

// The row label the sampler gives a gap in sampling (sleep, a stopped process).
inline constexpr std::string_view kAsleepAppName = "Asleep";

} // namespace kestrove
