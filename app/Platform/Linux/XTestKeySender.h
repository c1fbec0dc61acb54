#pragma once

#include "Platform/KeySender.h"
#include "Platform/Linux/LinuxX11Connection.h"

namespace kestrove {

// Synthetic keys through the XTest extension on a connection of its own, opened at the first
// key sent. Control is pressed around V as a user's own fingers would.
class XTestKeySender final : public KeySender
{
public:
    bool sendPaste() override;

private:
    bool ready();

    LinuxX11Connection m_connection;
    bool m_checked = false;
    bool m_available = false;
};

} // namespace kestrove
