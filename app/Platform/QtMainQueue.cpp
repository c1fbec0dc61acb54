#include "Platform/QtMainQueue.h"

#include <QMetaObject>

namespace kestrove {

void QtMainQueue::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(m_context, std::move(work), Qt::QueuedConnection);
}

} // namespace kestrove
