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

QString SystemRegistryFileName()
{
    QString Folder;
    for (const QString& Entry : qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        // Relative entries are to be ignored, as the base-directory rules say.
        if (Entry.trimmed().startsWith(QLatin1Char('/'))) {
            Folder = Entry.trimmed();
            break;
        }
    }
    if (Folder.isEmpty())
        Folder = QStringLiteral("/etc/xdg");
    return IncludeTrailingDelimiter(Folder) + QStringLiteral("Pelmar/registry.ini");
}

bool RegistryKeyExists(const QString& KeyPath)
{
    if (IsMachineKey(KeyPath) && TMemIniFile(SystemRegistryFileName()).SectionExists(KeyPath))
        return true;
    return TMemIniFile(RegistryFileName()).SectionExists(KeyPath);
}

QStringList RegistrySubKeys(const QString& KeyPath)
{
    QStringList Files;
    if (IsMachineKey(KeyPath))
        Files << SystemRegistryFileName();
    Files << RegistryFileName();
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

std::optional<QString> ReadRegistryString(const QString& KeyPath, const QString& ValueName)
{
    QStringList Files;
    if (IsMachineKey(KeyPath))
        Files << SystemRegistryFileName();
    Files << RegistryFileName();
    for (const QString& File : Files) {
        const TMemIniFile Registry(File);
        if (Registry.ValueExists(KeyPath, ValueName))
            return Registry.ReadString(KeyPath, ValueName, QString());
    }
    return std::nullopt;
}

bool WriteRegistryString(const QString& KeyPath, const QString& ValueName, const QString& Value)
{
    const QString FileName = RegistryFileName();
    if (!CreateOwnerOnlyFolder(QFileInfo(FileName).absolutePath()))
        return false;
    TMemIniFile Registry(FileName);
    Registry.WriteString(KeyPath, ValueName, Value);
    return Registry.UpdateFile();
}
