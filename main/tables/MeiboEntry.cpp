#include "main/tables/MeiboEntry.h"

#include "main/common/CommonText.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"

void LookUpEntries(const QString& Number, TEntryLookUp How, int Excluded, std::set<int>& Rows)
{
    const QString Key = DigitsOnly(Number);
    // A text of hyphens alone has no number to look for; an empty key would land on every entry
    // without numbers.
    if (Key.isEmpty() || !DMVxRelvo16 || !MeiboTable)
        return;
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    if (!Use.Opened())
        return;
    bool Found = false;
    for (const QString& Index : {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")}) {
        if (Found && How == TEntryLookUp::SecondIfNone)
            break;
        MeiboTable->SetIndexName(Index);
        MeiboTable->SetRange({Key}, {Key});
        for (MeiboTable->First(); !MeiboTable->Eof(); MeiboTable->Next()) {
            const int RecNo = MeiboTable->FieldByName(QStringLiteral("RecNo")).AsInteger();
            if (RecNo == Excluded)
                continue;
            Rows.insert(RecNo);
            Found = true;
            break;
        }
        MeiboTable->CancelRange();
    }
    MeiboTable->SetIndexName(QString());
}

TNextRecNo NextRecNo(TTable& Table)
{
    Table.SetIndexName(QString());
    Table.Last();
    TNextRecNo Next;
    Next.RecNo = Table.IsEmpty() ? 0 : Table.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
    if (Next.RecNo > MaxEntryRecNo) {
        Next.Exhausted = true;
        Next.TableFull = Table.RecordCount() >= MaxEntryRows;
    }
    return Next;
}
