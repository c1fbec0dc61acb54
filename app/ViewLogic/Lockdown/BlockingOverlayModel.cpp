#include "ViewLogic/Lockdown/BlockingOverlayModel.h"

#include "core/Text.h"

#include <cmath>
#include <numbers>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace kestrove {

namespace {

// Lower-cased, each run of white space (any Unicode kind, line breaks included) one space,
// trimmed at both ends.
std::string normalized(std::string_view text)
{
    const std::string lower = Text::lowercased(text);
    const auto* bytes = reinterpret_cast<const uint8_t*>(lower.data());
    const auto length = static_cast<int32_t>(lower.size());
    std::string result;
    result.reserve(lower.size());
    bool pendingSpace = false;
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c >= 0 && u_isUWhiteSpace(c)) {
            pendingSpace = !result.empty();
            continue;
        }
        if (pendingSpace) {
            result += ' ';
            pendingSpace = false;
        }
        result.append(lower, static_cast<std::size_t>(start), static_cast<std::size_t>(i - start));
    }
    return result;
}

} // namespace

bool BlockingOverlayModel::matches(std::string_view text)
{
    static const std::string sentence = normalized(kBreakoutSentence);
    return normalized(text) == sentence;
}

std::string BlockingOverlayModel::allowLabel(const std::optional<std::string>& blockedAppName)
{
    return "I need " + blockedAppName.value_or("this app") + " for this";
}

double BlockingOverlayModel::wiggleAt(double from, double to, double seconds)
{
    constexpr double kResponse = 0.15;
    constexpr double kDamping = 0.3;
    if (seconds <= 0) {
        return from;
    }
    if (seconds >= kWiggleSettle) {
        return to;
    }
    const double natural = 2 * std::numbers::pi / kResponse;
    const double damped = natural * std::sqrt(1 - kDamping * kDamping);
    const double decay = std::exp(-kDamping * natural * seconds);
    const double progress = 1 - decay * (std::cos(damped * seconds) +
                                         kDamping * natural / damped * std::sin(damped * seconds));
    return from + (to - from) * progress;
}

void BlockingOverlayModel::cancel()
{
    m_card = Card::callout;
    m_escapeText.clear();
}

bool BlockingOverlayModel::pressBreakOut()
{
    if (matches(m_escapeText)) {
        return true;
    }
    m_wiggle = !m_wiggle;
    return false;
}

} // namespace kestrove
