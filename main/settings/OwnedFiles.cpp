#include "main/settings/OwnedFiles.h"

#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"

#include <QDir>

QList<TFolderFiles> OwnedFiles()
{
    QList<TFolderFiles> Files;
    if (!Settings.DataPath.isEmpty())
        Files.append(
            {Settings.DataPath,
             {QStringLiteral("*.DB"), QStringLiteral("*.mtd"), QStringLiteral("*.spool"), QStringLiteral("*.folders"),
              QStringLiteral("InError.txt"), QStringLiteral("Import.unfinished")}});
    // Every file of the settings folder is the program's, unless the user made it the data folder
    // too, where earlier exports lie beside the tables.
    if (!SettingsPath.isEmpty())
        Files.append({SettingsPath,
                      Settings.DataPath.isEmpty() || !IsSameFile(SettingsPath, Settings.DataPath)
                          ? QStringList{QStringLiteral("*")}
                          : QStringList{QStringLiteral("*.ini"), QStringLiteral("*.pwd"), QStringLiteral("*.tpl")}});
    return Files;
}

bool IsOwnedFile(const QString& Path)
{
    return IsFileOfFolders(Path, OwnedFiles());
}

QString OwnedFileRefusal(const QString& Path)
{
    return QDir::toNativeSeparators(Path) + QStringLiteral("\r\nは ") + ProductName +
           QStringLiteral(" が使用しているファイルのため  \r\n出力先に指定できません  ");
}
