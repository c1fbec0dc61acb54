#pragma once

#include "Platform/MainQueue.h"

#include <QObject>

namespace kestrove {

// Posts work to the thread of `context` (the main thread) through the Qt event loop.
class QtMainQueue final : public MainQueue
{
public:
    explicit QtMainQueue(QObject* context) : m_context(context) {}
    void post(std::function<void()> work) override;

private:
    QObject* m_context;
};

} // namespace kestrove
