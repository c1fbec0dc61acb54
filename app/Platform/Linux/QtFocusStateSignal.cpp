#include "Platform/Linux/QtFocusStateSignal.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QList>
#include <QPair>

#include "Platform/Log.h"

namespace kestrove {

// A text dictionary sent in the order it was built (a QMap would sort its keys).
struct OrderedTextMap
{
    QList<QPair<QString, QString>> entries;
};

QDBusArgument& operator<<(QDBusArgument& argument, const OrderedTextMap& map)
{
    argument.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    for (const auto& [key, value] : map.entries) {
        argument.beginMapEntry();
        argument << key << value;
        argument.endMapEntry();
    }
    argument.endMap();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, OrderedTextMap& map)
{
    argument.beginMap();
    while (!argument.atEnd()) {
        QString key;
        QString value;
        argument.beginMapEntry();
        argument >> key >> value;
        argument.endMapEntry();
        map.entries.append({key, value});
    }
    argument.endMap();
    return argument;
}

} // namespace kestrove

Q_DECLARE_METATYPE(kestrove::OrderedTextMap)

namespace kestrove {

QtFocusStateSignal::QtFocusStateSignal(QDBusConnection connection)
    : m_connection(std::move(connection))
{
    qDBusRegisterMetaType<OrderedTextMap>();
}

void QtFocusStateSignal::send(const Entries& entries)
{
    // Without a session bus there is no one to tell; start-up said so once.
    if (!m_connection.isConnected()) {
        return;
    }
    OrderedTextMap map;
    for (const auto& [key, value] : entries) {
        map.entries.append({QString::fromStdString(key), QString::fromStdString(value)});
    }
    QDBusMessage message = QDBusMessage::createSignal(kPath, kInterface, kMember);
    message << QVariant::fromValue(map);
    // Nobody may be listening; a bus that went away is the only failure.
    if (!m_connection.send(message)) {
        Log("focus-state").debug("focus state not sent: the session bus is gone");
    }
}

} // namespace kestrove
