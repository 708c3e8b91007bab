#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per name. The copy that holds a lock file called Name locked (an flock and a lock
// of the open file, which others can test without taking it) is "the running program"; it also listens on a local socket of the same name, through which a later start asks it
// to come to the front. The lock goes with the process: a crash never leaves a stale claim behind.
//
// Both live in $XDG_RUNTIME_DIR when it is the user's own folder and closed to others; otherwise in a
// folder of our own, made 0700, under the user's data folder (Pelmar/locks). Never in a shared
// folder such as /tmp, where another user could take the name first. Name is used as a file name and
// must not hold "/".
class TSingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class EAcquire
    {
        Acquired,
        HeldElsewhere,
        Failed
    };

    explicit TSingleInstance(const QString& Name, QObject* Parent = nullptr);
    ~TSingleInstance() override;

    // Takes the lock without waiting and, once it is ours, starts listening for activation requests.
    [[nodiscard]] EAcquire Acquire();
    [[nodiscard]] bool IsHeld() const { return LockFd >= 0; }
    void Release();

    [[nodiscard]] const QString& Name() const { return InstanceName; }

    // Whether some holder (another process, or another object of this one) has the lock now. Only looks:
    // a copy starting at the same moment is never kept out by it.
    [[nodiscard]] static bool IsHeldElsewhere(const QString& Name);
    // Asks the holder to bring its window to the front; false when nobody listens.
    static bool RequestActivation(const QString& Name, int TimeoutMs = 2000);

    [[nodiscard]] static QString LockFilePath(const QString& Name);
    [[nodiscard]] static QString ServerPath(const QString& Name);

signals:
    // A later start asked us to show ourselves; the main window connects its raising here.
    void ActivationRequested();

private:
    void OnNewConnection();

    QString InstanceName;
    int LockFd = -1;
    QLocalServer* Server = nullptr;
};
