#pragma once

#include <QDBusConnection>

#include "Intents/FocusStateMonitor.h"

namespace kestrove {

// Sends focus-state events on the session bus as the signal com.kestrove.focusState.Changed
// from /com/kestrove/focusState, with one a{ss} argument whose entries keep their order.
class QtFocusStateSignal final : public FocusStateSignal
{
public:
    static constexpr const char* kPath = "/com/kestrove/focusState";
    static constexpr const char* kInterface = "com.kestrove.focusState";
    static constexpr const char* kMember = "Changed";

    explicit QtFocusStateSignal(QDBusConnection connection = QDBusConnection::sessionBus());

    void send(const Entries& entries) override;

private:
    QDBusConnection m_connection;
};

} // namespace kestrove
