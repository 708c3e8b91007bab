#include "platform/sys/SerialPorts.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString ComPortDevice(int Number, const QString& DevFolder)
{
    QString Name;
    if (Number >= 1 && Number <= 4)
        Name = QStringLiteral("ttyS%1").arg(Number - 1);
    else if (Number >= 5 && Number <= 7)
        Name = QStringLiteral("ttyUSB%1").arg(Number - 5);
    else if (Number >= 8 && Number <= MaxComPort)
        Name = QStringLiteral("ttyACM%1").arg(Number - 8);
    else
        return {};
    return DevFolder + Name;
}

QList<int> ExistingComPorts(const QString& DevFolder)
{
    QList<int> Ports;
    for (int Number = 1; Number <= MaxComPort; ++Number)
        if (QFileInfo::exists(ComPortDevice(Number, DevFolder)))
            Ports.append(Number);
    return Ports;
}

bool ProbeSerialPort(const QString& Device)
{
    // Non-blocking, so that a modem line without carrier does not hang the open.
    const int Fd = ::open(QFile::encodeName(Device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0)
        return false;
    // Serial programs on Linux take an advisory lock on the device; a held lock means it is in use.
    const bool Free = ::flock(Fd, LOCK_EX | LOCK_NB) == 0;
    ::close(Fd);
    return Free;
}
