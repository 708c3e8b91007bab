#include "main/settings/OwnedFiles.h"

#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"

#include <QDir>

QStringList OwnedFolders()
{
    QStringList Folders;
    for (const QString& Folder : {Settings.DataPath, SettingsPath})
        if (!Folder.isEmpty() && !Folders.contains(Folder))
            Folders << Folder;
    return Folders;
}

bool IsOwnedFile(const QString& Path)
{
    return IsFileOfFolders(Path, OwnedFolders());
}

QString OwnedFileRefusal(const QString& Path)
{
    return QDir::toNativeSeparators(Path) + QStringLiteral("\r\nは ") + ProductName +
           QStringLiteral(" が使用しているファイルのため  \r\n出力先に指定できません  ");
}
