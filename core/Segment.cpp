#include "core/Segment.h"

namespace kestrove {

const std::string& Segment::hintLabel() const
{
    if (detectedProject && !detectedProject->empty()) {
        return *detectedProject;
    }
    return domain.empty() ? appName : domain;
}

std::string_view Segment::rawValue(Source source)
{
    return source == Source::live ? "live" : "legacy";
}

std::optional<Segment::Source> Segment::sourceFromRawValue(std::string_view text)
{
    if (text == "live") {
        return Source::live;
    }
    if (text == "legacy") {
        return Source::legacy;
    }
    return std::nullopt;
}

} // namespace kestrove
