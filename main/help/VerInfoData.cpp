#include "main/help/VerInfoData.h"

#include "main/device/VxComm.h"
#include "main/settings/Settings.h"

#include <QFile>
#include <QLocale>
#include <QStringList>
#include <sys/utsname.h>

TVersionInfoParams CollectVersionInfoParams(const QString& LibraryFolder)
{
    TVersionInfoParams Params;
    Params.AdapterExtend = Settings.AdapterExtend;
    TDeviceLibraryInfo& InUse = Settings.IPPBX ? Params.IP : Params.Serial;
    TDeviceLibraryInfo& Other = Settings.IPPBX ? Params.Serial : Params.IP;
    if (VxCommDLL) {
        InUse.Loaded = true;
        InUse.Version = Settings.DLL.trimmed().toUInt();
        InUse.KindCount = static_cast<int>(VxCommDLL->Kinds().size());
    }
    if (const std::unique_ptr<TVxCommDLL> Library =
            TVxCommDLL::Create(VxCommDLL ? VxCommDLL->Owner() : nullptr, Settings.IPPBX ? 0 : 1, LibraryFolder)) {
        Other.Loaded = true;
        Other.Version = static_cast<quint32>(Library->GetVersion());
        Other.KindCount = Library->LoadKinds() ? static_cast<int>(Library->Kinds().size()) : 0;
    }
    return Params;
}

QString VersionText(int Major, int Minor, int Release)
{
    if (Release != 0)
        return QStringLiteral("Version %1.%2.%3").arg(Major).arg(Minor).arg(Release);
    return QStringLiteral("Version %1.%2").arg(Major).arg(Minor);
}

QString DeviceVersionText(quint32 Version)
{
    return QStringLiteral(":  %1.%2.%3.%4")
        .arg(Version >> 24)
        .arg((Version >> 16) & 0xFF)
        .arg((Version >> 8) & 0xFF)
        .arg(Version & 0xFF);
}

QString AdapterCountText(int Count, bool AdapterExtend)
{
    return QStringLiteral(":  %1").arg(Count) + (AdapterExtend ? QStringLiteral(" (Extend Mode)") : QString());
}

QString SystemNameText(const QString& OsReleaseFile)
{
    QString PrettyName;
    QString Name;
    QFile File(OsReleaseFile);
    if (File.open(QIODevice::ReadOnly)) {
        for (const QString& Line : QString::fromUtf8(File.readAll()).split(QLatin1Char('\n'))) {
            const qsizetype Equal = Line.indexOf(QLatin1Char('='));
            if (Equal <= 0)
                continue;
            QString Value = Line.mid(Equal + 1).trimmed();
            if (Value.size() >= 2 && (Value.startsWith(QLatin1Char('"')) || Value.startsWith(QLatin1Char('\''))) &&
                Value.endsWith(Value[0]))
                Value = Value.mid(1, Value.size() - 2);
            const QString Key = Line.left(Equal).trimmed();
            if (Key == QLatin1String("PRETTY_NAME"))
                PrettyName = Value;
            else if (Key == QLatin1String("NAME"))
                Name = Value;
        }
    }
    utsname Uname{};
    const bool HaveUname = uname(&Uname) == 0;
    if (PrettyName.isEmpty())
        PrettyName = !Name.isEmpty() ? Name
                     : HaveUname     ? QString::fromLocal8Bit(Uname.sysname)
                                     : QStringLiteral("Linux");
    if (!HaveUname)
        return PrettyName;
    return PrettyName + QStringLiteral("  [") + QString::fromLocal8Bit(Uname.release) + QLatin1Char(']');
}

TMemoryStatus ReadMemoryStatus(const QString& MemInfoFile)
{
    TMemoryStatus Status;
    QFile File(MemInfoFile);
    if (!File.open(QIODevice::ReadOnly))
        return Status;
    qint64 Free = -1;
    qint64 Available = -1;
    for (const QByteArray& Line : File.readAll().split('\n')) {
        const QList<QByteArray> Parts = Line.simplified().split(' ');
        if (Parts.size() < 2)
            continue;
        bool Ok = false;
        const qint64 Value = Parts[1].toLongLong(&Ok);
        if (!Ok)
            continue;
        if (Parts[0] == "MemTotal:")
            Status.TotalKB = Value;
        else if (Parts[0] == "MemAvailable:")
            Available = Value;
        else if (Parts[0] == "MemFree:")
            Free = Value;
    }
    Status.AvailableKB = Available >= 0 ? Available : Free;
    Status.Valid = Status.TotalKB > 0 && Status.AvailableKB >= 0;
    return Status;
}

QString MemoryAvailableText(const TMemoryStatus& Status)
{
    const QLocale C = QLocale::c();
    QLocale Grouped(C);
    Grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return QStringLiteral("利用可能なメモリ:  %1 / %2 (KB)")
        .arg(Grouped.toString(Status.AvailableKB), Grouped.toString(Status.TotalKB));
}

QString MemoryPercentText(const TMemoryStatus& Status)
{
    const double Percent = Status.TotalKB > 0 ? 100.0 * Status.AvailableKB / Status.TotalKB : 0.0;
    return QLatin1Char('[') + QString::number(Percent, 'f', 1) + QStringLiteral(" %]");
}
