#include "replay/Timeline.h"

#include "core/NumberFormat.h"
#include "core/Text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

namespace kestrove::replay {

namespace {

constexpr std::string_view kHeader = "kestrove-timeline 1";

using Type = TimelineEvent::Type;

constexpr std::array<std::pair<Type, std::string_view>, 12> kTypeNames{{
    {Type::app, "app"},
    {Type::none, "none"},
    {Type::title, "title"},
    {Type::url, "url"},
    {Type::input, "input"},
    {Type::idle, "idle"},
    {Type::sleep, "sleep"},
    {Type::wake, "wake"},
    {Type::lock, "lock"},
    {Type::unlock, "unlock"},
    {Type::task, "task"},
    {Type::endTask, "endtask"},
}};

std::optional<Type> typeNamed(std::string_view name)
{
    for (const auto& [type, typeName] : kTypeNames) {
        if (typeName == name) {
            return type;
        }
    }
    return std::nullopt;
}

// Splits off the first word; the rest keeps its inner spaces.
std::pair<std::string_view, std::string_view> firstWord(std::string_view text)
{
    const auto space = text.find(' ');
    if (space == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, space), text.substr(space + 1)};
}

std::optional<double> number(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> splitCommas(std::string_view text)
{
    std::vector<std::string> parts;
    if (text == "-") {
        return parts;
    }
    while (!text.empty()) {
        const auto comma = text.find(',');
        const auto part = text.substr(0, comma);
        if (!part.empty()) {
            parts.emplace_back(part);
        }
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return parts;
}

class Parser
{
public:
    Timeline parse(std::string_view text)
    {
        bool sawHeader = false;
        std::optional<double> end;
        while (!text.empty()) {
            const auto newline = text.find('\n');
            std::string_view line = text.substr(0, newline);
            text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
            ++m_line;
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            if (Text::isBlank(std::string(line)) || line.front() == '#') {
                continue;
            }
            if (!sawHeader) {
                if (line != kHeader) {
                    fail("expected \"" + std::string(kHeader) + "\"");
                }
                sawHeader = true;
                continue;
            }
            if (end) {
                fail("nothing may follow the end");
            }
            end = parseLine(line);
        }
        if (!sawHeader) {
            fail("the timeline is empty");
        }
        m_timeline.duration = end.value_or(m_lastOffset);
        return std::move(m_timeline);
    }

private:
    [[noreturn]] void fail(const std::string& message) const { throw TimelineError(m_line, message); }

    // Returns the offset of an `end` line.
    std::optional<double> parseLine(std::string_view line)
    {
        const auto [head, rest] = firstWord(line);
        if (head == "start") {
            if (m_sawEvent) {
                fail("the start must come before the first event");
            }
            m_timeline.start = require(number(rest), "the start is not a number");
            return std::nullopt;
        }
        const double offset = require(number(head), "expected an offset in seconds");
        if (offset < m_lastOffset) {
            fail("the offset goes back in time");
        }
        m_lastOffset = offset;
        m_sawEvent = true;
        const auto [verb, arguments] = firstWord(rest);
        if (verb == "end") {
            return offset;
        }
        const auto type = typeNamed(verb);
        if (!type) {
            fail("unknown event \"" + std::string(verb) + "\"");
        }
        m_timeline.events.push_back(event(offset, *type, arguments));
        return std::nullopt;
    }

    TimelineEvent event(double offset, Type type, std::string_view arguments) const
    {
        TimelineEvent event;
        event.offset = offset;
        event.type = type;
        switch (type) {
        case Type::app: {
            const auto [bundleID, name] = firstWord(arguments);
            if (bundleID.empty()) {
                fail("an application needs its bundle identifier");
            }
            event.bundleID = bundleID;
            event.text = name;
            break;
        }
        case Type::title:
        case Type::url:
            event.text = arguments;
            break;
        case Type::idle:
            event.seconds = require(number(arguments), "idle needs its seconds");
            if (event.seconds < 0) {
                fail("idle seconds cannot be negative");
            }
            break;
        case Type::task: {
            const auto [minutes, rest] = firstWord(arguments);
            const auto [apps, name] = firstWord(rest);
            event.seconds = require(number(minutes), "a task needs its minutes") * 60;
            event.allowedBundleIDs = splitCommas(apps);
            event.text = name;
            break;
        }
        default:
            if (!arguments.empty()) {
                fail("\"" + std::string(typeName(type)) + "\" takes no arguments");
            }
        }
        return event;
    }

    double require(std::optional<double> value, const std::string& message) const
    {
        if (!value) {
            fail(message);
        }
        return *value;
    }

    Timeline m_timeline;
    int m_line = 0;
    double m_lastOffset = 0;
    bool m_sawEvent = false;
};

std::string joined(const std::vector<std::string>& parts)
{
    if (parts.empty()) {
        return "-";
    }
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : ",") + part;
    }
    return text;
}

} // namespace

TimelineError::TimelineError(int line, const std::string& message)
    : std::runtime_error("line " + NumberFormat::integer(line) + ": " + message), m_line(line)
{}

Timeline parseTimeline(std::string_view text)
{
    return Parser().parse(text);
}

std::string_view typeName(TimelineEvent::Type type)
{
    for (const auto& [candidate, name] : kTypeNames) {
        if (candidate == type) {
            return name;
        }
    }
    return {};
}

std::string formatTimeline(const Timeline& timeline)
{
    std::string text = std::string(kHeader) + "\nstart " + NumberFormat::shortest(timeline.start) + "\n";
    for (const auto& event : timeline.events) {
        text += NumberFormat::shortest(event.offset) + " " + std::string(typeName(event.type));
        switch (event.type) {
        case Type::app:
            text += " " + event.bundleID + (event.text.empty() ? "" : " " + event.text);
            break;
        case Type::title:
        case Type::url:
            text += event.text.empty() ? "" : " " + event.text;
            break;
        case Type::idle:
            text += " " + NumberFormat::shortest(event.seconds);
            break;
        case Type::task:
            text += " " + NumberFormat::shortest(event.seconds / 60) + " " +
                    joined(event.allowedBundleIDs) + " " + event.text;
            break;
        default:
            break;
        }
        text += "\n";
    }
    text += NumberFormat::shortest(timeline.duration) + " end\n";
    return text;
}

} // namespace kestrove::replay
