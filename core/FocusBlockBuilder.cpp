#include "core/FocusBlockBuilder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrove {

namespace {

struct PhaseInfo
{
    SessionPhase phase;
    std::string_view rawValue;
    std::string_view label;
    double minSeconds;
    double maxSeconds;
};

constexpr std::array<PhaseInfo, 5> kPhases = {{
    {SessionPhase::idle, "idle", "Idle", 0, 0},
    {SessionPhase::warmingUp, "warmingUp", "Warming Up", 0, 900},
    {SessionPhase::buildingFocus, "buildingFocus", "Building Focus", 900, 1800},
    {SessionPhase::deepWork, "deepWork", "Deep Work", 1800, 3600},
    {SessionPhase::peakFocus, "peakFocus", "Peak Focus", 3600,
     std::numeric_limits<double>::infinity()},
}};

const PhaseInfo& info(SessionPhase phase)
{
    return kPhases[static_cast<std::size_t>(phase)];
}

// The working state of one pass over the segments.
class BlockCutter
{
public:
    BlockCutter(double graceSeconds, double minBlockSeconds)
        : m_grace(graceSeconds), m_minimum(minBlockSeconds)
    {}

    void add(const Segment& segment)
    {
        if (m_hasLastEnd && segment.start > m_lastEnd && m_hasCurrent) {
            addGap(segment.start - m_lastEnd);
        }
        m_lastEnd = m_hasLastEnd ? std::max(m_lastEnd, segment.end) : segment.end;
        m_hasLastEnd = true;
        if (segment.kind != ContextKind::deep) {
            if (m_hasCurrent) {
                addGap(segment.duration());
            }
            return;
        }
        addDeep(segment);
    }

    std::vector<FocusBlock> finish()
    {
        close();
        return std::move(m_result);
    }

private:
    void addGap(double seconds)
    {
        m_gap += seconds;
        if (m_gap > m_grace) {
            close();
        }
    }

    void addDeep(const Segment& segment)
    {
        const double d = segment.duration();
        const std::string& key = segment.project ? *segment.project : kNoProject;
        if (!m_hasCurrent) {
            m_current =
                FocusBlock{segment.start, segment.end, d, 0, {{key, d}}, segment.focusTaskID};
            m_hasCurrent = true;
        } else {
            m_current.end = segment.end;
            m_current.deepSeconds += d;
            m_current.interruptionSeconds += m_gap;
            m_current.byProject[key] += d;
            if (!m_current.focusTaskID) {
                m_current.focusTaskID = segment.focusTaskID;
            }
        }
        m_gap = 0;
    }

    void close()
    {
        if (m_hasCurrent && m_current.deepSeconds >= m_minimum) {
            m_result.push_back(std::move(m_current));
        }
        m_hasCurrent = false;
        m_gap = 0;
    }

    inline static const std::string kNoProject;
    double m_grace;
    double m_minimum;
    std::vector<FocusBlock> m_result;
    FocusBlock m_current;
    bool m_hasCurrent = false;
    Date m_lastEnd = 0;
    bool m_hasLastEnd = false;
    double m_gap = 0;
};

} // namespace

std::optional<SessionPhase> SessionPhases::fromRawValue(std::string_view text)
{
    for (const auto& phase : kPhases) {
        if (phase.rawValue == text) {
            return phase.phase;
        }
    }
    return std::nullopt;
}

SessionPhase SessionPhases::from(double s)
{
    if (!(s > 0)) {
        return SessionPhase::idle;
    }
    if (s < 900) {
        return SessionPhase::warmingUp;
    }
    if (s < 1800) {
        return SessionPhase::buildingFocus;
    }
    return s < 3600 ? SessionPhase::deepWork : SessionPhase::peakFocus;
}

double SessionPhases::progress(double deepSeconds)
{
    const SessionPhase phase = from(deepSeconds);
    const double width = maxSeconds(phase) - minSeconds(phase);
    if (width > 0 && std::isfinite(width)) {
        return std::clamp((deepSeconds - minSeconds(phase)) / width, 0.0, 1.0);
    }
    return phase == SessionPhase::peakFocus ? 1 : 0;
}

std::string_view rawValue(SessionPhase phase)
{
    return info(phase).rawValue;
}

std::string_view label(SessionPhase phase)
{
    return info(phase).label;
}

double minSeconds(SessionPhase phase)
{
    return info(phase).minSeconds;
}

double maxSeconds(SessionPhase phase)
{
    return info(phase).maxSeconds;
}

std::int64_t FocusBlock::id() const
{
    // Guard the conversion: a start outside the int64 range would be undefined behaviour.
    if (!std::isfinite(start) || std::fabs(start) >= 9.2e18) {
        return 0;
    }
    return static_cast<std::int64_t>(start);
}

std::optional<std::string> FocusBlock::primaryProject() const
{
    const std::pair<const std::string, double>* best = nullptr;
    for (const auto& entry : byProject) {
        if (!best || entry.second > best->second) {
            best = &entry;
        }
    }
    if (!best || best->first.empty()) {
        return std::nullopt;
    }
    return best->first;
}

std::vector<FocusBlock> FocusBlockBuilder::blocks(const std::vector<Segment>& segments,
                                                  std::optional<Date>) const
{
    BlockCutter cutter(graceSeconds, minBlockSeconds);
    for (const auto& segment : segments) {
        cutter.add(segment);
    }
    return cutter.finish();
}

std::optional<FocusBlock> FocusBlockBuilder::liveBlock(const std::vector<Segment>& segments,
                                                       Date now) const
{
    // The running block counts from its first deep second, below the listing minimum.
    auto all = FocusBlockBuilder{graceSeconds, 0}.blocks(segments, now);
    if (all.empty() || now - all.back().end > graceSeconds) {
        return std::nullopt;
    }
    return std::move(all.back());
}

} // namespace kestrove
