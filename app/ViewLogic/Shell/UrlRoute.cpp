#include "ViewLogic/Shell/UrlRoute.h"

#include "core/Calendar.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <string_view>
#include <vector>

namespace kestrove {

namespace {

constexpr std::string_view kScheme = "kestrove";

std::string lowercasedASCII(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string percentDecoded(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

struct Parts
{
    std::string host;
    std::string_view query;
};

// Scheme "kestrove", then "//" and an authority whose host is kept; nothing for anything else.
std::optional<Parts> split(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || text.substr(0, colon) != kScheme) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(colon + 1);
    const auto fragment = rest.find('#');
    rest = rest.substr(0, fragment);
    Parts parts;
    const auto question = rest.find('?');
    if (question != std::string_view::npos) {
        parts.query = rest.substr(question + 1);
        rest = rest.substr(0, question);
    }
    if (rest.starts_with("//")) {
        std::string_view authority = rest.substr(2, rest.find('/', 2) - 2);
        if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
            authority.remove_prefix(at + 1);
        }
        authority = authority.substr(0, authority.find(':'));
        parts.host = lowercasedASCII(percentDecoded(authority));
    }
    return parts;
}

// The value of the first query item named `name` exactly; an item without "=" has none.
std::optional<std::string> param(std::string_view query, std::string_view name)
{
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view item = query.substr(0, amp);
        const auto equals = item.find('=');
        if (percentDecoded(item.substr(0, equals)) == name) {
            if (equals == std::string_view::npos) {
                return std::nullopt;
            }
            return percentDecoded(item.substr(equals + 1));
        }
        if (amp == std::string_view::npos) {
            break;
        }
        query.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

std::optional<int> number(std::string_view digits, std::size_t minLength, std::size_t maxLength)
{
    if (digits.size() < minLength || digits.size() > maxLength) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

// A calendar day written "yyyy-MM-dd" (one-digit month and day accepted), as local midnight.
std::optional<Date> parseDay(std::string_view text)
{
    const auto first = text.find('-');
    const auto second = text.find('-', first == std::string_view::npos ? first : first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto year = number(text.substr(0, first), 4, 4);
    const auto month = number(text.substr(first + 1, second - first - 1), 1, 2);
    const auto day = number(text.substr(second + 1), 1, 2);
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1) {
        return std::nullopt;
    }
    const Date date = Calendar::date(*year, *month, *day);
    // A day past the month's end would roll into the next month.
    if (Calendar::components(date).day != *day) {
        return std::nullopt;
    }
    return date;
}

UrlRoute dashboard(DashboardSection section)
{
    UrlRoute route;
    route.target = UrlRoute::Target::dashboard;
    route.section = section;
    return route;
}

} // namespace

UrlRoute route(const std::string& text, Date now)
{
    const auto parts = split(text);
    if (!parts) {
        return {};
    }
    const std::string& host = parts->host;
    if (host == "dashboard" || host == "today") {
        UrlRoute result = dashboard(DashboardSection::today);
        const auto date = param(parts->query, "date");
        if (!date) {
            result.daySelection = UrlRoute::Day::today;
        } else if (const auto day = parseDay(*date);
                   day && *day < Calendar::addingDays(Calendar::startOfDay(now), 1)) {
            result.daySelection = UrlRoute::Day::selected;
            result.day = *day;
        }
        return result;
    }
    static const std::map<std::string, DashboardSection, std::less<>> kPages = {
        {"week", DashboardSection::week},         {"projects", DashboardSection::projects},
        {"lockin", DashboardSection::lockIn},     {"lock-in", DashboardSection::lockIn},
        {"settings", DashboardSection::settings},
    };
    if (const auto page = kPages.find(host); page != kPages.end()) {
        return dashboard(page->second);
    }
    if (host == "morning" || host == "plan") {
        UrlRoute result;
        result.target = UrlRoute::Target::planEditor;
        return result;
    }
    if (host == "share" || host == "card") {
        UrlRoute result = dashboard(DashboardSection::today);
        result.showShare = true;
        return result;
    }
    return {};
}

std::string loggableUrl(const std::string& text)
{
    return text.substr(0, std::min(text.find('?'), text.find('#')));
}

} // namespace kestrove
