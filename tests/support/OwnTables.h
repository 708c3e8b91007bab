#pragma once

#include "main/common/CommonText.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A data folder of its own with a data module over it that keeps its tables and pick lists to itself:
// the program-wide pointers stay as they were, so that whatever is handed this module can reach its
// tables only through it. Several of them side by side are several offices' folders.
class TOwnTables
{
public:
    TOwnTables()
        : Folder(Dir.path() + QStringLiteral("/")), Module(Folder, Folder, TModuleReach::Private)
    {
        Module.CreateRecvHisTable();
        Module.CreateMeiboTable();
        Module.CreateRankHistory();
        for (int I = 0; I < 3; ++I)
            Module.CreateSelItemHistory(I);
        (void)Module.LoadRankHistory();
        for (int I = 0; I < 3; ++I)
            (void)Module.LoadSelItemHistory(I);
    }
    TOwnTables(const TOwnTables&) = delete;
    TOwnTables& operator=(const TOwnTables&) = delete;

    // A history row as the call pipeline appends it.
    void AddCall(int RecNo, const QString& Tel, const QString& Rank = {})
    {
        const TTableUse Use(Module, TDataTable::RecvHis);
        ASSERT_TRUE(Use.Opened());
        TTable& T = *Module.RecvHis();
        T.Append();
        T.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        T.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(46000 + RecNo);
        T.FieldByName(QStringLiteral("SchTel")).SetAsString(DigitsOnly(Tel));
        T.FieldByName(QStringLiteral("Tel")).SetAsString(Tel);
        T.FieldByName(QStringLiteral("Rank")).SetAsString(Rank);
        T.FieldByName(QStringLiteral("Division")).SetAsString(QStringLiteral("0"));
        T.Post();
    }

    void AddEntry(int RecNo, const QString& Tel1, const QString& NameKanji)
    {
        const TTableUse Use(Module, TDataTable::Meibo);
        ASSERT_TRUE(Use.Opened());
        TTable& T = *Module.Meibo();
        T.Append();
        T.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        T.FieldByName(QStringLiteral("SchTel1")).SetAsString(DigitsOnly(Tel1));
        T.FieldByName(QStringLiteral("Tel1")).SetAsString(Tel1);
        T.FieldByName(QStringLiteral("NameKanji")).SetAsString(NameKanji);
        T.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(1000);
        T.Post();
    }

    // Whether none of the program-wide pointers leads to this module's objects.
    [[nodiscard]] bool OutOfGlobalReach() const
    {
        const auto Apart = [](const void* Global, const void* Own) { return !Own || Global != Own; };
        bool Out = Apart(RecvHisTable, Module.RecvHis()) && Apart(MeiboTable, Module.Meibo()) &&
                   Apart(RankHistory, Module.Rank());
        for (int I = 0; I < 3; ++I)
            Out = Out && Apart(SelItemHistory[I], Module.SelItem(I));
        return Out;
    }

    QTemporaryDir Dir;
    QString Folder;
    TDMVxRelvo16 Module;
};
