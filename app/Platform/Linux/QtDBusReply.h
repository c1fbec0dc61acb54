#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QObject>

#include <utility>

namespace kestrove {

// Sends `call` without blocking the main thread and hands its typed reply (a QDBusPendingReply)
// to `done` once it arrives; nothing arrives after `context` is gone.
template <typename Reply, typename Done>
void whenAnswered(const QDBusConnection& bus, const QDBusMessage& call, QObject* context, Done done)
{
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, done = std::move(done)](QDBusPendingCallWatcher*) {
                         watcher->deleteLater();
                         const Reply reply = *watcher;
                         done(reply);
                     });
}

} // namespace kestrove
