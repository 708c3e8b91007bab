#pragma once

// A data folder of its own with the data module over it, both tables made and the pick lists
// loaded, as the program has them when an import starts.
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"

#include <QTemporaryDir>

struct TImportDataFolder
{
    QTemporaryDir Dir;
    QString Folder = Dir.path() + QStringLiteral("/");
    TImportDataFolder()
    {
        DMVxRelvo16 = new TDMVxRelvo16(Dir.path(), Dir.path());
        DMVxRelvo16->CreateRecvHisTable();
        DMVxRelvo16->CreateMeiboTable();
        DMVxRelvo16->CreateRankHistory();
        (void)DMVxRelvo16->LoadRankHistory();
        for (int I = 0; I < 3; ++I) {
            DMVxRelvo16->CreateSelItemHistory(I);
            (void)DMVxRelvo16->LoadSelItemHistory(I);
        }
    }
    ~TImportDataFolder()
    {
        for (int I = 0; I < 3; ++I)
            DMVxRelvo16->FreeSelItemHistory(I);
        DMVxRelvo16->FreeRankHistory();
        DMVxRelvo16->FreeMeiboTable();
        DMVxRelvo16->FreeRecvHisTable();
        delete DMVxRelvo16;
        DMVxRelvo16 = nullptr;
    }
    TImportDataFolder(const TImportDataFolder&) = delete;
    TImportDataFolder& operator=(const TImportDataFolder&) = delete;
};
