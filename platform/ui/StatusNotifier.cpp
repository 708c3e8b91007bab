#include "platform/ui/StatusNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>

bool StatusNotifierHostPresent()
{
    const QString Watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection Bus = QDBusConnection::sessionBus();
    if (!Bus.isConnected() || Bus.interface() == nullptr || !Bus.interface()->isServiceRegistered(Watcher))
        return false;
    QDBusInterface Remote(Watcher, QStringLiteral("/StatusNotifierWatcher"), Watcher, Bus);
    return Remote.property("IsStatusNotifierHostRegistered").toBool();
}
