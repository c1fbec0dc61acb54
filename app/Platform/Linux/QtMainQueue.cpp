#include "Platform/Linux/QtMainQueue.h"

#include "Platform/MainThread.h"

#include <QMetaObject>

namespace kestrove {

void QtMainQueue::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(
        m_context,
        [work = std::move(work)] {
            assertMainThread();
            work();
        },
        Qt::QueuedConnection);
}

} // namespace kestrove
