#pragma once

#include "main/common/CallerRec.h"
#include "main/common/CommonText.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "tests/support/DataModuleFolder.h"
#include "tests/support/SqlRows.h"
#include "tests/support/TableFaults.h"

#include <QFile>
#include <gtest/gtest.h>

// The data module's own folder with what the tests ask of it: rows added as the call pipeline and
// the directory window add them, queries straight from the files, writes made to fail.
class TRecvData : public TDataModuleFolder
{
public:
    // A history row as the call pipeline appends it.
    void AddCall(int RecNo, const QString& Tel, int Division = 0)
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        RecvHisTable->Append();
        RecvHisTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        RecvHisTable->FieldByName(QStringLiteral("SchTel")).SetAsString(DigitsOnly(Tel));
        RecvHisTable->FieldByName(QStringLiteral("Tel")).SetAsString(Tel);
        RecvHisTable->FieldByName(QStringLiteral("Division")).SetAsString(QString::number(Division));
        RecvHisTable->Post();
    }

    void AddEntry(int RecNo, const QString& Tel1, const QString& Tel2, const QString& NameKanji = {})
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        MeiboTable->Append();
        MeiboTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        MeiboTable->FieldByName(QStringLiteral("SchTel1")).SetAsString(DigitsOnly(Tel1));
        MeiboTable->FieldByName(QStringLiteral("SchTel2")).SetAsString(DigitsOnly(Tel2));
        MeiboTable->FieldByName(QStringLiteral("Tel1")).SetAsString(Tel1);
        MeiboTable->FieldByName(QStringLiteral("Tel2")).SetAsString(Tel2);
        MeiboTable->FieldByName(QStringLiteral("NameKanji")).SetAsString(NameKanji);
        MeiboTable->FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(1000);
        MeiboTable->Post();
    }

    // Rows of a query straight from a table file, as "a|b|c".
    [[nodiscard]] QStringList Rows(const QString& FileName, const char* Sql) const
    {
        return SqlRows(Folder + FileName, Sql);
    }

    // Makes every later insert into or update of Table fail, as a full disk would.
    void BreakWrites(const QString& FileName, const char* Table) const
    {
        {
            // The table has to exist before its constraint can go in.
            TTableUse Use(*DMVxRelvo16, FileName == MeiboFileName ? TDataTable::Meibo : TDataTable::RecvHis);
        }
        EXPECT_TRUE(TableFaults::RefuseWrites(Folder + FileName, QString::fromLatin1(Table)));
    }
};

// The record the identification hands over for a call.
inline TCallerRecord CallRecordFor(int HisRecNo, const QString& Tel, int Division = 0, int RecNo = 0)
{
    TCallerRecord R;
    R.HisRecNo = HisRecNo;
    R.RecNo = RecNo;
    R.SchTel[0] = DigitsOnly(Tel);
    R.Tel[0] = Tel;
    R.Division = Division;
    R.RecvDateTime = DateTimeToDays(QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30)));
    return R;
}
