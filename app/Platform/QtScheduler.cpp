#include "Platform/QtScheduler.h"

#include <QTimer>

#include <cmath>

namespace kestrove {

namespace {

class QtScheduledTimer final : public ScheduledTimer
{
public:
    QtScheduledTimer(TimeInterval interval, std::function<void()> fire)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(static_cast<int>(std::lround(interval * 1000.0)));
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
    return std::make_unique<QtScheduledTimer>(interval, std::move(fire));
}

} // namespace kestrove
