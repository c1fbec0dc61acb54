#include "Intents/FocusStateMonitor.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "Platform/Clock.h"
#include "core/NumberFormat.h"

namespace kestrove {

FocusStateMonitor::FocusStateMonitor(FocusStateSignal& signal, const Clock& clock)
    : m_signal(signal), m_clock(clock)
{}

bool FocusStateMonitor::isDeep(SessionPhase phase)
{
    return phase == SessionPhase::deepWork || phase == SessionPhase::peakFocus;
}

void FocusStateMonitor::update(SessionPhase phase)
{
    if (phase == m_currentPhase) {
        return;
    }
    const SessionPhase old = m_currentPhase;
    m_currentPhase = phase;
    const std::string phaseText(rawValue(phase));
    post("phase_changed", {{"phase", phaseText}});

    if (isDeep(phase)) {
        if (isDeep(old)) {
            return;
        }
        m_deepEnteredAt = m_clock.now();
        post("entered_deep_work", {{"phase", phaseText}});
        if (onEnterDeep) {
            onEnterDeep();
        }
        return;
    }
    if (!isDeep(old)) {
        return;
    }
    std::int64_t minutes = 0;
    if (m_deepEnteredAt) {
        // A clock set back since the stretch began must not report a negative length.
        const double seconds = std::max(0.0, m_clock.now() - *m_deepEnteredAt);
        minutes = static_cast<std::int64_t>(std::trunc(seconds / 60));
    }
    m_deepEnteredAt.reset();
    post("left_deep_work",
         {{"phase", phaseText}, {"duration_minutes", NumberFormat::integer(minutes)}});
    if (onLeaveDeep) {
        onLeaveDeep();
    }
}

void FocusStateMonitor::post(const std::string& event, FocusStateSignal::Entries data)
{
    data.insert(data.begin(), {"event", event});
    data.emplace_back("timestamp", timestamp(m_clock.now()));
    m_signal.send(data);
}

std::string FocusStateMonitor::timestamp(Date date)
{
    const auto seconds = static_cast<std::time_t>(std::floor(date));
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    return NumberFormat::padded(utc.tm_year + 1900, 4) + "-" +
           NumberFormat::padded(utc.tm_mon + 1, 2) + "-" + NumberFormat::padded(utc.tm_mday, 2) +
           "T" + NumberFormat::padded(utc.tm_hour, 2) + ":" + NumberFormat::padded(utc.tm_min, 2) +
           ":" + NumberFormat::padded(utc.tm_sec, 2) + "Z";
}

} // namespace kestrove
