#pragma once

#include "tests/support/ProgramHarness.h"

#include <QDir>
#include <QFile>
#include <utility>

// Sets the harness's program to identify callers in a book of edition 0 of the address-book
// product: the edition registered, its settings file naming FbDataPath as its data folder, and
// [USE FBADRS] choosing the book BookName (the first of the folder's list) without asking.
inline bool UseFbBookInProgram(TProgramHarness& Program, const QString& FbDataPath, const QString& BookName)
{
    const QString Pelmar = Program.DataHome() + QStringLiteral("Pelmar/");
    QDir().mkpath(Pelmar + QStringLiteral("fbarea18"));
    QFile Registry(Pelmar + QStringLiteral("registry.ini"));
    if (!Registry.open(QIODevice::Append))
        return false;
    Registry.write("\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\fbarea18.exe]\n"
                   "Path=" +
                   Program.TempPath(QStringLiteral("fernbook/")).toUtf8() + "\n");
    Registry.close();
    QFile Ini(Pelmar + QStringLiteral("fbarea18/fbarea18.ini"));
    if (!Ini.open(QIODevice::WriteOnly))
        return false;
    Ini.write("[BASE]\nDataPath=" + FbDataPath.toUtf8() + "\n");
    Ini.close();
    for (const auto& [Key, Value] : {std::pair{QStringLiteral("UseFbAdrs"), QStringLiteral("1")},
                                     {QStringLiteral("FbSeries"), QStringLiteral("0")},
                                     {QStringLiteral("FbAdrsBook"), QStringLiteral("0")},
                                     {QStringLiteral("FbAdrsBookName"), BookName},
                                     {QStringLiteral("RunFbDlg"), QStringLiteral("0")},
                                     {QStringLiteral("FbBackup"), QStringLiteral("0")}})
        Program.SetSetting(QStringLiteral("USE FBADRS"), Key, Value);
    return true;
}
