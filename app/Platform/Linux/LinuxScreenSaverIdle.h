#pragma once

#include "Platform/IdleTimeSource.h"
#include "Platform/Linux/LinuxX11Connection.h"

#include <string>

namespace kestrove {

// Input idle time from the X server's screen-saver extension, on a connection of its own that is
// reopened after the display was lost.
class LinuxScreenSaverIdle final : public IdleTimeSource
{
public:
    explicit LinuxScreenSaverIdle(std::string displayName = {});
    std::optional<double> idleSeconds() override;

private:
    bool ensureConnected();

    LinuxX11Connection m_connection;
    bool m_hasExtension = false;
    bool m_reportedFailure = false;
};

} // namespace kestrove
