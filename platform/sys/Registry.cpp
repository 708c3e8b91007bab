#include "platform/sys/Registry.h"

#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"

#include <QFileInfo>

QString RegistryFileName()
{
    return GetCommonAppDataFolder() + QStringLiteral("Pelmar/registry.ini");
}

bool RegistryKeyExists(const QString& KeyPath)
{
    return TMemIniFile(RegistryFileName()).SectionExists(KeyPath);
}

std::optional<QString> ReadRegistryString(const QString& KeyPath, const QString& ValueName)
{
    const TMemIniFile Registry(RegistryFileName());
    if (!Registry.ValueExists(KeyPath, ValueName))
        return std::nullopt;
    return Registry.ReadString(KeyPath, ValueName, QString());
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
