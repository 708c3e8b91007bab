#pragma once

#include "tests/support/ProgramHarness.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

// A StatusNotifier desktop of the test's own: a private session bus (dbus-daemon), a watcher on it that
// reports a host as the panels of KDE, XFCE and LXQt do, and the host's side of the talk with an item:
// its exported menu read through DBusMenu, its Activate called. The watcher answers on a thread of its
// own, so that the program's questions are answered while the test waits for something else.
class TStatusNotifierHost
{
public:
    static constexpr const char* WatcherName = "org.kde.StatusNotifierWatcher";

    TStatusNotifierHost()
    {
        Daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!Daemon.waitForStarted() || !Daemon.waitForReadyRead(TProgramHarness::Patience))
            return;
        Address = QString::fromLatin1(Daemon.readLine().trimmed());
        Bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(Address, QStringLiteral("vxsnihost")));
        if (!Bus->isConnected())
            return;
        Thread.start();
        Watcher.moveToThread(&Thread);
        Ready = Bus->registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &Watcher) &&
                Bus->registerService(QLatin1String(WatcherName));
    }
    ~TStatusNotifierHost()
    {
        if (Bus) {
            Bus->unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
            QDBusConnection::disconnectFromBus(QStringLiteral("vxsnihost"));
        }
        Thread.quit();
        Thread.wait();
        Daemon.terminate();
        if (!Daemon.waitForFinished(3000)) {
            Daemon.kill();
            Daemon.waitForFinished();
        }
    }
    TStatusNotifierHost(const TStatusNotifierHost&) = delete;
    TStatusNotifierHost& operator=(const TStatusNotifierHost&) = delete;

    // Why such a desktop cannot be had here; empty when it can.
    [[nodiscard]] static QString Missing()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return QStringLiteral("dbus-daemon is installed by scripts/bootstrap");
        return {};
    }

    // Puts the program on this bus, as a desktop session's own bus.
    void Host(TProgramHarness& Program) const
    {
        Program.Environment().insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), Address);
    }

    // The service name of the first item that registered with the watcher; empty when none came in time.
    [[nodiscard]] QString WaitForItem() const
    {
        QElapsedTimer Clock;
        Clock.start();
        do {
            if (const QStringList Items = Watcher.Items(); !Items.isEmpty())
                return Items.first();
            QThread::msleep(100);
        } while (Clock.elapsed() < TProgramHarness::Patience);
        return {};
    }

    // A property of the item, as a host reads it.
    [[nodiscard]] QVariant ItemProperty(const QString& Item, const QString& Name) const
    {
        QDBusMessage Get = QDBusMessage::createMethodCall(Item, QStringLiteral("/StatusNotifierItem"),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        Get << QStringLiteral("org.kde.StatusNotifierItem") << Name;
        const QDBusMessage Reply = Bus->call(Get);
        if (Reply.type() != QDBusMessage::ReplyMessage || Reply.arguments().isEmpty())
            return {};
        return Reply.arguments().first().value<QDBusVariant>().variant();
    }

    // One entry of an exported menu as a host draws it.
    struct TMenuEntry
    {
        int Id;
        QString Label;     // with the mnemonic's underscore, as DBusMenu writes it
        bool Separator;
        bool Enabled;
        bool operator==(const TMenuEntry&) const = default;
    };
    // The top level of the menu at Path of Item, read with GetLayout; Ok false when the call failed.
    [[nodiscard]] QList<TMenuEntry> MenuLayout(const QString& Item, const QString& Path, bool* Ok) const
    {
        QDBusMessage Call = QDBusMessage::createMethodCall(Item, Path, QStringLiteral("com.canonical.dbusmenu"),
                                                           QStringLiteral("GetLayout"));
        Call << 0 << -1 << QStringList();
        const QDBusMessage Reply = Bus->call(Call);
        QList<TMenuEntry> Entries;
        *Ok = Reply.type() == QDBusMessage::ReplyMessage && Reply.arguments().size() == 2;
        if (!*Ok)
            return Entries;
        QList<QDBusVariant> Children;
        (void)ReadNode(Reply.arguments().at(1).value<QDBusArgument>(), &Children);
        for (const QDBusVariant& Child : Children) {
            int ChildId = 0;
            const QVariantMap Properties = ReadNode(Child.variant().value<QDBusArgument>(), nullptr, &ChildId);
            if (!Properties.value(QStringLiteral("visible"), true).toBool())
                continue;
            Entries.append({ChildId, Properties.value(QStringLiteral("label")).toString(),
                            Properties.value(QStringLiteral("type")).toString() == QStringLiteral("separator"),
                            Properties.value(QStringLiteral("enabled"), true).toBool()});
        }
        return Entries;
    }

    // One node of a DBusMenu layout, (ia{sv}av): its properties, its id and its children.
    static QVariantMap ReadNode(const QDBusArgument& Node, QList<QDBusVariant>* Children, int* Id = nullptr)
    {
        int NodeId = 0;
        QVariantMap Properties;
        Node.beginStructure();
        Node >> NodeId >> Properties;
        Node.beginArray();
        while (!Node.atEnd()) {
            QDBusVariant Child;
            Node >> Child;
            if (Children)
                Children->append(Child);
        }
        Node.endArray();
        Node.endStructure();
        if (Id)
            *Id = NodeId;
        return Properties;
    }

    // The host's click on the menu entry Id; true when the item took the event.
    bool ClickMenuEntry(const QString& Item, const QString& Path, int Id) const
    {
        QDBusMessage Call = QDBusMessage::createMethodCall(Item, Path, QStringLiteral("com.canonical.dbusmenu"),
                                                           QStringLiteral("Event"));
        Call << Id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
        return Bus->call(Call).type() == QDBusMessage::ReplyMessage;
    }

    // The host's click on the item; true when the item took the call.
    bool Activate(const QString& Item) const
    {
        QDBusMessage Call = QDBusMessage::createMethodCall(Item, QStringLiteral("/StatusNotifierItem"),
                                                           QStringLiteral("org.kde.StatusNotifierItem"),
                                                           QStringLiteral("Activate"));
        Call << 10 << 10;
        return Bus->call(Call).type() == QDBusMessage::ReplyMessage;
    }

    QString Address;
    bool Ready = false;

private:
    // The watcher's whole interface, as a host's panel offers it.
    class TWatcher : public QDBusVirtualObject
    {
    public:
        QString introspect(const QString&) const override
        {
            return QStringLiteral(
                "<interface name=\"org.kde.StatusNotifierWatcher\">"
                "<method name=\"RegisterStatusNotifierItem\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
                "<method name=\"RegisterStatusNotifierHost\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
                "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
                "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
                "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
                "</interface>");
        }
        bool handleMessage(const QDBusMessage& Message, const QDBusConnection& Connection) override
        {
            const QString Member = Message.member();
            if (Message.interface() == QLatin1String("org.freedesktop.DBus.Properties")) {
                const QString Name = Message.arguments().value(1).toString();
                QVariant Value;
                if (Member == QLatin1String("GetAll")) {
                    Connection.send(Message.createReply(QVariant::fromValue(Properties())));
                    return true;
                }
                Value = Properties().value(Name);
                if (!Value.isValid())
                    return false;
                Connection.send(Message.createReply(QVariant::fromValue(QDBusVariant(Value))));
                return true;
            }
            if (Member == QLatin1String("RegisterStatusNotifierItem")) {
                // An item gives its service name, or only its path on the sender's connection.
                QString Item = Message.arguments().value(0).toString();
                if (Item.startsWith(QLatin1Char('/')))
                    Item = Message.service();
                {
                    QMutexLocker Lock(&Guard);
                    Registered << Item;
                }
                Connection.send(Message.createReply());
                return true;
            }
            if (Member == QLatin1String("RegisterStatusNotifierHost")) {
                Connection.send(Message.createReply());
                return true;
            }
            return false;
        }
        [[nodiscard]] QStringList Items() const
        {
            QMutexLocker Lock(&Guard);
            return Registered;
        }

    private:
        [[nodiscard]] QVariantMap Properties() const
        {
            return {{QStringLiteral("RegisteredStatusNotifierItems"), Items()},
                    {QStringLiteral("IsStatusNotifierHostRegistered"), true},
                    {QStringLiteral("ProtocolVersion"), 0}};
        }
        mutable QMutex Guard;
        QStringList Registered;
    };

    QProcess Daemon;
    std::unique_ptr<QDBusConnection> Bus;
    QThread Thread;
    TWatcher Watcher;
};
