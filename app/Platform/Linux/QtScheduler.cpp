#include "Platform/Linux/QtScheduler.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace kestrove {

namespace {

class QtScheduledTimer final : public ScheduledTimer
{
public:
    QtScheduledTimer(TimeInterval interval, bool singleShot, std::function<void()> fire)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setSingleShot(singleShot);
        m_timer.setInterval(static_cast<int>(std::lround(std::max(0.0, interval) * 1000.0)));
        QObject::connect(&m_timer, &QTimer::timeout, std::move(fire));
        m_timer.start();
    }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<ScheduledTimer> QtScheduler::repeating(TimeInterval interval,
                                                       std::function<void()> fire)
{
    return std::make_unique<QtScheduledTimer>(interval, false, std::move(fire));
}

std::unique_ptr<ScheduledTimer> QtScheduler::once(TimeInterval delay, std::function<void()> fire)
{
    return std::make_unique<QtScheduledTimer>(delay, true, std::move(fire));
}

} // namespace kestrove
