#pragma once

#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"

#include <QTemporaryDir>

// A data folder of its own with the data module over it: both tables made, the rank list and the
// three select-item lists loaded, as the program has them after start-up.
class TDataModuleFolder
{
public:
    TDataModuleFolder()
    {
        DMVxRelvo16 = new TDMVxRelvo16(Folder, Folder);
        DMVxRelvo16->CreateRecvHisTable();
        DMVxRelvo16->CreateMeiboTable();
        DMVxRelvo16->CreateRankHistory();
        (void)DMVxRelvo16->LoadRankHistory();
        for (int I = 0; I < 3; ++I) {
            DMVxRelvo16->CreateSelItemHistory(I);
            (void)DMVxRelvo16->LoadSelItemHistory(I);
        }
    }
    ~TDataModuleFolder()
    {
        for (int I = 0; I < 3; ++I)
            DMVxRelvo16->FreeSelItemHistory(I);
        DMVxRelvo16->FreeRankHistory();
        DMVxRelvo16->FreeMeiboTable();
        DMVxRelvo16->FreeRecvHisTable();
        delete DMVxRelvo16;
        DMVxRelvo16 = nullptr;
    }
    TDataModuleFolder(const TDataModuleFolder&) = delete;
    TDataModuleFolder& operator=(const TDataModuleFolder&) = delete;

    QTemporaryDir Dir;
    // The folder's path with its closing slash.
    QString Folder = Dir.path() + QStringLiteral("/");
};
