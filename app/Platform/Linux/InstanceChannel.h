#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace kestrove {

// The running instance's door: a local socket in the user's runtime folder that only the user
// can reach. A second start sends its arguments through it (a link, or nothing for "reopen")
// and exits; the running instance acts on them. A command-line request (a status, a card) is
// answered on the same connection.
class InstanceChannel final : public QObject
{
public:
    // What the running instance answers a request with.
    struct Answer
    {
        int exitCode = 0;
        std::string output; // for standard output
        std::string error;  // for standard error
        std::string file;   // the bytes of a file the asker writes (a card's PNG)

        bool operator==(const Answer&) const = default;
    };
    using Reply = std::function<void(const Answer&)>;

    explicit InstanceChannel(std::string socketPath = defaultSocketPath());
    ~InstanceChannel() override;

    // $XDG_RUNTIME_DIR/kestrove.socket, or a per-user name in the temporary folder.
    static std::string defaultSocketPath();

    // Starts listening; a socket file left by a crashed run is replaced. Call only while holding
    // the single-instance lock. False (and logged) when the socket cannot be made.
    bool listen();
    // Receives each message's arguments on the main thread.
    std::function<void(const std::vector<std::string>& arguments)> onMessage;
    // Receives each request on the main thread; `reply` may be called later, once. Without a
    // handler a request is answered with a failure.
    std::function<void(const std::vector<std::string>& request, Reply reply)> onRequest;

    // Hands `arguments` to the instance listening at `socketPath` and waits until it has taken
    // them. False when nobody answers within the time-out.
    static bool send(const std::vector<std::string>& arguments,
                     const std::string& socketPath = defaultSocketPath(), int timeoutMs = 3000);

    // Asks the instance listening at `socketPath` and waits for its answer; nothing when nobody
    // listens or no answer comes within the time-out.
    static std::optional<Answer> request(const std::vector<std::string>& request,
                                         const std::string& socketPath = defaultSocketPath(),
                                         int timeoutMs = 20000);

private:
    void acceptConnections();
    void answerRequest(QLocalSocket& socket, const QStringList& received);

    std::string m_socketPath;
    QLocalServer* m_server = nullptr;
};

} // namespace kestrove
