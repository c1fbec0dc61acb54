#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrove::journey {

// Another program's widgets as assistive technology sees them, read over the accessibility
// bus: what a screen reader would name, where it is on the screen and whether it is shown.
// The journey finds a button by its name here and then clicks it with the pointer.
class AccessibleTree
{
public:
    struct Node
    {
        QString service;
        QString path;
        QString role;
        QString name;
        QRect extents;
        bool showing = false;
        int depth = 0;
    };

    // The accessibility bus of the session bus's desktop; not connected until it answers.
    bool connect()
    {
        if (m_bus.isConnected()) {
            return true;
        }
        QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return false;
        }
        m_bus = QDBusConnection::connectToBus(reply.arguments().front().toString(),
                                              "journey-accessibility");
        return m_bus.isConnected();
    }

    // Every node of the applications that process `pid` put on the bus, depth first.
    std::vector<Node> nodes(qint64 pid)
    {
        std::vector<Node> result;
        if (!connect()) {
            return result;
        }
        for (const auto& [service, path] :
             children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")) {
            if (processOf(service) == pid) {
                walk(service, path, 0, result);
            }
        }
        return result;
    }

    // The first shown node with this role whose name passes `matches`.
    std::optional<Node> find(qint64 pid, const QString& role,
                             const std::function<bool(const QString&)>& matches)
    {
        for (Node& node : nodes(pid)) {
            if (node.showing && node.role == role && matches(node.name) &&
                !node.extents.isEmpty()) {
                return node;
            }
        }
        return std::nullopt;
    }
    std::optional<Node> find(qint64 pid, const QString& role, const QString& name)
    {
        return find(pid, role, [&](const QString& text) { return text == name; });
    }

    // The shown nodes, one a line, for a failure's message.
    std::string dump(qint64 pid)
    {
        std::string text;
        for (const Node& node : nodes(pid)) {
            if (!node.showing) {
                continue;
            }
            text += std::string(static_cast<std::size_t>(node.depth) * 2, ' ') +
                    node.role.toStdString() + " \"" + node.name.left(60).toStdString() + "\" " +
                    std::to_string(node.extents.x()) + "," + std::to_string(node.extents.y()) +
                    " " + std::to_string(node.extents.width()) + "x" +
                    std::to_string(node.extents.height()) + "\n";
        }
        return text;
    }

private:
    static constexpr int kStateShowing = 25;

    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& member, const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, member);
        message.setArguments(arguments);
        QDBusMessage reply = m_bus.call(message, QDBus::Block, 5000);
        // An object without the interface answers with an error: no value to read.
        return reply.type() == QDBusMessage::ReplyMessage ? reply : QDBusMessage();
    }

    std::vector<std::pair<QString, QString>> children(const QString& service, const QString& path)
    {
        std::vector<std::pair<QString, QString>> result;
        const QDBusMessage reply = call(service, path, "org.a11y.atspi.Accessible", "GetChildren");
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return result;
        }
        const auto argument = reply.arguments().front().value<QDBusArgument>();
        argument.beginArray();
        while (!argument.atEnd()) {
            QString childService;
            QDBusObjectPath childPath;
            argument.beginStructure();
            argument >> childService >> childPath;
            argument.endStructure();
            result.emplace_back(childService, childPath.path());
        }
        argument.endArray();
        return result;
    }

    qint64 processOf(const QString& service)
    {
        const QDBusMessage reply =
            call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                 "GetConnectionUnixProcessID", {service});
        return reply.arguments().isEmpty() ? -1 : reply.arguments().front().toLongLong();
    }

    void walk(const QString& service, const QString& path, int depth, std::vector<Node>& out)
    {
        Node node;
        node.service = service;
        node.path = path;
        node.depth = depth;
        const QDBusMessage role = call(service, path, "org.a11y.atspi.Accessible", "GetRoleName");
        if (!role.arguments().isEmpty()) {
            node.role = role.arguments().front().toString();
        }
        const QDBusMessage name = call(service, path, "org.freedesktop.DBus.Properties", "Get",
                                       {QString("org.a11y.atspi.Accessible"), QString("Name")});
        if (!name.arguments().isEmpty()) {
            node.name = name.arguments().front().value<QDBusVariant>().variant().toString();
        }
        const QDBusMessage state = call(service, path, "org.a11y.atspi.Accessible", "GetState");
        if (!state.arguments().isEmpty()) {
            const auto argument = state.arguments().front().value<QDBusArgument>();
            std::vector<uint> words;
            argument.beginArray();
            while (!argument.atEnd()) {
                uint word = 0;
                argument >> word;
                words.push_back(word);
            }
            argument.endArray();
            node.showing = !words.empty() && (words[0] & (1u << kStateShowing)) != 0;
        }
        const QDBusMessage extents = call(service, path, "org.a11y.atspi.Component", "GetExtents",
                                          {QVariant::fromValue(uint(0))});
        if (!extents.arguments().isEmpty()) {
            const auto argument = extents.arguments().front().value<QDBusArgument>();
            int x = 0;
            int y = 0;
            int width = 0;
            int height = 0;
            argument.beginStructure();
            argument >> x >> y >> width >> height;
            argument.endStructure();
            node.extents = QRect(x, y, width, height);
        }
        out.push_back(node);
        // A hidden page's widgets are never clicked; their subtrees are skipped.
        if (depth > 0 && !node.showing) {
            return;
        }
        for (const auto& [childService, childPath] : children(service, path)) {
            walk(childService, childPath, depth + 1, out);
        }
    }

    QDBusConnection m_bus{QString()};
};

} // namespace kestrove::journey
