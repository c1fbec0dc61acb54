#include "core/ContextKind.h"

namespace kestrove {

namespace {

struct KindTexts
{
    std::string_view raw;
    std::string_view display;
    std::string_view adjective;
};

constexpr std::array<KindTexts, 5> kTexts = {{
    {"deep", "Deep work", "deep-work"},
    {"shallow", "Shallow", "shallow"},
    {"distraction", "Distraction", "distraction"},
    {"neutral", "Neutral", "neutral"},
    {"idle", "Idle", "idle"},
}};

const KindTexts& texts(ContextKind kind)
{
    return kTexts[static_cast<std::size_t>(kind)];
}

} // namespace

std::optional<ContextKind> ContextKinds::fromRawValue(std::string_view text)
{
    for (ContextKind kind : allCases) {
        if (texts(kind).raw == text) {
            return kind;
        }
    }
    return std::nullopt;
}

ContextKind ContextKinds::fromLegacyCategory(std::string_view category, bool isIdle)
{
    if (isIdle) {
        return ContextKind::idle;
    }
    if (category == "deep_work") {
        return ContextKind::deep;
    }
    if (category == "shallow_work") {
        return ContextKind::shallow;
    }
    if (category == "distraction") {
        return ContextKind::distraction;
    }
    return ContextKind::neutral;
}

std::string_view rawValue(ContextKind kind)
{
    return texts(kind).raw;
}

std::string_view displayName(ContextKind kind)
{
    return texts(kind).display;
}

std::string_view adjective(ContextKind kind)
{
    return texts(kind).adjective;
}

} // namespace kestrove
