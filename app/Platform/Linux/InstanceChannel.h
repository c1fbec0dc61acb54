#pragma once

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QLocalServer;

namespace kestrove {

// The running instance's door: a local socket in the user's runtime folder that only the user
// can reach. A second start sends its arguments through it (a link, or nothing for "reopen")
// and exits; the running instance acts on them.
class InstanceChannel final : public QObject
{
public:
    explicit InstanceChannel(std::string socketPath = defaultSocketPath());
    ~InstanceChannel() override;

    // $XDG_RUNTIME_DIR/kestrove.socket, or a per-user name in the temporary folder.
    static std::string defaultSocketPath();

    // Starts listening; a socket file left by a crashed run is replaced. Call only while holding
    // the single-instance lock. False (and logged) when the socket cannot be made.
    bool listen();
    // Receives each message's arguments on the main thread.
    std::function<void(const std::vector<std::string>& arguments)> onMessage;

    // Hands `arguments` to the instance listening at `socketPath` and waits until it has taken
    // them. False when nobody answers within the time-out.
    static bool send(const std::vector<std::string>& arguments,
                     const std::string& socketPath = defaultSocketPath(), int timeoutMs = 3000);

private:
    void acceptConnections();

    std::string m_socketPath;
    QLocalServer* m_server = nullptr;
};

} // namespace kestrove
