#include "platform/sys/Volume.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSet>

namespace {

struct TMount
{
    QString Device;
    QString Folder; // without a trailing "/", "/" for the root
    QByteArray Type;
};

// /proc/self/mounts writes a space, tab, newline and backslash in a path as "\" and three octal digits;
// the label links write a blank as "\x20".
QByteArray DecodeEscapes(const QByteArray& Field)
{
    QByteArray Out;
    for (qsizetype I = 0; I < Field.size(); ++I) {
        bool Ok = false;
        if (Field[I] == '\\' && I + 3 < Field.size() && Field[I + 1] == 'x') {
            const int Code = Field.mid(I + 2, 2).toInt(&Ok, 16);
            if (Ok) {
                Out.append(char(Code));
                I += 3;
                continue;
            }
        } else if (Field[I] == '\\' && I + 3 < Field.size()) {
            const int Code = Field.mid(I + 1, 3).toInt(&Ok, 8);
            if (Ok) {
                Out.append(char(Code));
                I += 3;
                continue;
            }
        }
        Out.append(Field[I]);
    }
    return Out;
}

QString WithoutTrailingDelimiter(QString Folder)
{
    while (Folder.size() > 1 && Folder.endsWith(QLatin1Char('/')))
        Folder.chop(1);
    return Folder;
}

QList<TMount> ReadMounts(const QString& MountsFile)
{
    QList<TMount> Mounts;
    QFile File(MountsFile);
    if (!File.open(QIODevice::ReadOnly))
        return Mounts;
    for (const QByteArray& Line : File.readAll().split('\n')) {
        const QList<QByteArray> Fields = Line.simplified().split(' ');
        if (Fields.size() < 3)
            continue;
        Mounts.append({QFile::decodeName(DecodeEscapes(Fields[0])),
                       WithoutTrailingDelimiter(QFile::decodeName(DecodeEscapes(Fields[1]))), Fields[2]});
    }
    return Mounts;
}

// The mount that holds Path; a later mount over the same folder hides the earlier one.
const TMount* FindMount(const QList<TMount>& Mounts, const QString& Path)
{
    const TMount* Best = nullptr;
    for (const TMount& Mount : Mounts) {
        const bool Holds = Mount.Folder == QStringLiteral("/") || Path == Mount.Folder ||
                           Path.startsWith(Mount.Folder + QLatin1Char('/'));
        if (Holds && (!Best || Mount.Folder.size() >= Best->Folder.size()))
            Best = &Mount;
    }
    return Best;
}

// Path with the links of its existing part resolved; the part that does not exist yet is kept as written.
QString ResolvedPath(QString Path)
{
    Path = QDir::cleanPath(Path);
    QString Tail;
    while (!QFileInfo::exists(Path) && Path != QStringLiteral("/") && !Path.isEmpty()) {
        Tail = QLatin1Char('/') + QFileInfo(Path).fileName() + Tail;
        Path = QFileInfo(Path).path();
    }
    QString Canonical = QFileInfo(Path).canonicalFilePath();
    if (Canonical.isEmpty())
        Canonical = Path;
    return Canonical == QStringLiteral("/") && !Tail.isEmpty() ? Tail : Canonical + Tail;
}

} // namespace

TDriveType GetDriveType(const QString& Path, const QString& MountsFile)
{
    if (!Path.startsWith(QLatin1Char('/')))
        return TDriveType::NoRootDir;
    const QList<TMount> Mounts = ReadMounts(MountsFile);
    const TMount* Mount = FindMount(Mounts, ResolvedPath(Path));
    if (!Mount)
        return TDriveType::Unknown;
    static const QSet<QByteArray> Optical = {"iso9660", "udf"};
    static const QSet<QByteArray> Network = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p"};
    static const QSet<QByteArray> Ram = {"tmpfs", "ramfs"};
    static const QSet<QByteArray> Virtual = {"proc",        "sysfs",      "devtmpfs",  "devpts",   "cgroup",
                                             "cgroup2",     "securityfs", "debugfs",   "tracefs",  "configfs",
                                             "fusectl",     "mqueue",     "hugetlbfs", "pstore",   "bpf",
                                             "binfmt_misc", "autofs",     "efivarfs",  "squashfs", "rpc_pipefs"};
    if (Optical.contains(Mount->Type))
        return TDriveType::CDRom;
    if (Network.contains(Mount->Type))
        return TDriveType::Remote;
    if (Ram.contains(Mount->Type))
        return TDriveType::RamDisk;
    if (Virtual.contains(Mount->Type))
        return TDriveType::Unknown;
    if (Mount->Type == "vfat" || Mount->Type == "exfat") {
        // Memory sticks and cards mostly carry these; the kernel says whether the disk is removable.
        const QString Disk = QFileInfo(QFileInfo(Mount->Device).canonicalFilePath()).fileName();
        QString Block = Disk;
        while (!Block.isEmpty() && !QFileInfo::exists(QStringLiteral("/sys/block/") + Block))
            Block.chop(1);
        QFile Removable(QStringLiteral("/sys/block/") + Block + QStringLiteral("/removable"));
        if (!Block.isEmpty() && Removable.open(QIODevice::ReadOnly) && Removable.readAll().trimmed() == "1")
            return TDriveType::Removable;
    }
    return TDriveType::Fixed;
}

QString GetVolumeLabel(const QString& MountPoint, const QString& MountsFile, const QString& LabelFolder)
{
    const QString Folder = WithoutTrailingDelimiter(MountPoint);
    const QList<TMount> Mounts = ReadMounts(MountsFile);
    const TMount* Mount = nullptr;
    for (const TMount& Each : Mounts)
        if (Each.Folder == Folder)
            Mount = &Each;
    if (!Mount || !Mount->Device.startsWith(QLatin1Char('/')))
        return {};
    const QString Device = QFileInfo(Mount->Device).canonicalFilePath();
    const QDir Labels(LabelFolder);
    for (const QFileInfo& Link : Labels.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (!Device.isEmpty() && Link.canonicalFilePath() == Device)
            return QString::fromUtf8(DecodeEscapes(QFile::encodeName(Link.fileName())));
    }
    return {};
}
