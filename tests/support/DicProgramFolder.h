#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A program folder with the dictionary stand-ins and a dictionary built from the fixture rows in
// Japan Post's format (tests/data/dic/jpostal);
// Without names a library left out, as if it were not installed.
inline QString MakeProgramFolder(const QTemporaryDir& Dir, const QString& Without = {})
{
    const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
    const QString Folder = Dir.path() + QStringLiteral("/");
    for (const char* Name :
         {"Areadex.so", "Postroll.so", "Placedex.so", "Placefix.so", "Geomark.so", "Numfind.so", "Dashrule.so"})
        if (QLatin1String(Name) != Without)
            QFile::link(BinFolder + QLatin1String(Name), Folder + QLatin1String(Name));
    QProcess Build;
    Build.start(BinFolder + QStringLiteral("vxdict"),
                {QStringLiteral("build"), QStringLiteral("--jpostal"), QStringLiteral(VX_TEST_DATA_DIR "/dic/jpostal"),
                 QStringLiteral("--out"), Folder + QStringLiteral("Dic")});
    EXPECT_TRUE(Build.waitForFinished(60000));
    EXPECT_EQ(Build.exitCode(), 0) << Build.readAllStandardError().toStdString();
    return Folder;
}
