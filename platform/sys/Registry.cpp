#include "platform/sys/Registry.h"

#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"

#include <QFileInfo>

namespace {

bool IsMachineKey(const QString& KeyPath)
{
    static const QString Root = QStringLiteral("HKEY_LOCAL_MACHINE\\");
    return KeyPath.startsWith(Root, Qt::CaseInsensitive);
}

} // namespace

QString RegistryFileName()
{
    return GetCommonAppDataFolder() + QStringLiteral("Pelmar/registry.ini");
}

#ifndef VX_MACHINE_CONFIG_DIR
#define VX_MACHINE_CONFIG_DIR "/etc/xdg"
#endif

namespace {

QString& MachineFolder()
{
    static QString Folder = QStringLiteral(VX_MACHINE_CONFIG_DIR);
    return Folder;
}

} // namespace

QString MachineConfigFolder()
{
    return MachineFolder();
}

void SetMachineConfigFolder(const QString& Folder)
{
    MachineFolder() = Folder;
}

QString SystemRegistryFileName()
{
    return IncludeTrailingDelimiter(MachineConfigFolder()) + QStringLiteral("Pelmar/registry.ini");
}

QStringList SystemRegistryFileNames()
{
    QStringList Files{SystemRegistryFileName()};
    for (const QString& Entry : qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        // Relative entries are to be ignored, as the base-directory rules say.
        if (!Entry.trimmed().startsWith(QLatin1Char('/')))
            continue;
        const QString File = IncludeTrailingDelimiter(Entry.trimmed()) + QStringLiteral("Pelmar/registry.ini");
        if (!IsSameFile(File, Files.front()))
            Files << File;
        break;
    }
    return Files;
}

namespace {

QStringList FilesFor(const QString& KeyPath)
{
    QStringList Files;
    if (IsMachineKey(KeyPath))
        Files = SystemRegistryFileNames();
    Files << RegistryFileName();
    return Files;
}

} // namespace

bool RegistryKeyExists(const QString& KeyPath)
{
    for (const QString& File : FilesFor(KeyPath))
        if (TMemIniFile(File).SectionExists(KeyPath))
            return true;
    return false;
}

QStringList RegistrySubKeys(const QString& KeyPath)
{
    const QStringList Files = FilesFor(KeyPath);
    QString Prefix = KeyPath;
    while (Prefix.endsWith(QLatin1Char('\\')))
        Prefix.chop(1);
    Prefix += QLatin1Char('\\');
    QStringList Names;
    for (const QString& File : Files)
        for (const QString& Section : TMemIniFile(File).ReadSections()) {
            if (Section.size() <= Prefix.size() || !Section.startsWith(Prefix, Qt::CaseInsensitive))
                continue;
            // A deeper section names its child too: the key between exists as a path step. A path
            // with an empty step names no key at all, so it leads to no child either.
            const QStringList Steps = Section.mid(Prefix.size()).split(QLatin1Char('\\'));
            if (Steps.contains(QString()))
                continue;
            const QString& Name = Steps.front();
            if (!Names.contains(Name, Qt::CaseInsensitive))
                Names << Name;
        }
    return Names;
}

std::optional<QString> RegistryValueFileName(const QString& KeyPath, const QString& ValueName)
{
    for (const QString& File : FilesFor(KeyPath))
        if (TMemIniFile(File).ValueExists(KeyPath, ValueName))
            return File;
    return std::nullopt;
}

std::optional<QString> ReadRegistryString(const QString& KeyPath, const QString& ValueName)
{
    const auto File = RegistryValueFileName(KeyPath, ValueName);
    if (!File)
        return std::nullopt;
    return TMemIniFile(*File).ReadString(KeyPath, ValueName, QString());
}

bool WriteRegistryString(const QString& KeyPath, const QString& ValueName, const QString& Value)
{
    const QString FileName = RegistryFileName();
    if (!CreateOwnerOnlyFolder(QFileInfo(FileName).absolutePath()))
        return false;
    // The user's file holds the keys of the machine that the user set up alone, a password among them.
    TMemIniFile Registry(FileName, TFileAccess::OwnerOnly);
    Registry.WriteString(KeyPath, ValueName, Value);
    return Registry.UpdateFile();
}

bool ReplaceRegistryString(const QString& FileName, const QString& KeyPath, const QString& ValueName,
                           const QString& Value)
{
    // The file keeps its mode: the administrator's must stay readable to every user.
    TMemIniFile Registry(FileName);
    if (!Registry.ValueExists(KeyPath, ValueName))
        return false;
    Registry.WriteString(KeyPath, ValueName, Value);
    return Registry.UpdateFile();
}
