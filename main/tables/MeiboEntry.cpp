#include "main/tables/MeiboEntry.h"

#include "main/common/CommonText.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"

bool IsValidTelText(const QString& Text)
{
    return DigitsOnly(Text, KeepDigits | KeepHyphen) == TrimBlanks(Text);
}

std::optional<unsigned> ColorFromText(const QString& Text)
{
    // The colour is a number: "$" and hexadecimal digits as the program writes it, decimal digits as
    // an import or another tool may have stored it. Leading zeros are not required ("$FF" is red).
    const QString Trimmed = TrimBlanks(Text);
    const bool Hex = Trimmed.startsWith(u'$');
    const QString Digits = Hex ? Trimmed.mid(1) : Trimmed;
    if (Digits.isEmpty() || Digits.startsWith(u'+') || Digits.startsWith(u'-'))
        return std::nullopt;
    bool Ok = false;
    const qulonglong Value = Digits.toULongLong(&Ok, Hex ? 16 : 10);
    if (!Ok || Value > 0xFFFFFF)
        return std::nullopt;
    return static_cast<unsigned>(Value);
}

QString ColorToText(unsigned Color)
{
    return QStringLiteral("$") + QStringLiteral("%1").arg(Color & 0xffffff, 6, 16, QLatin1Char('0')).toUpper();
}

void LookUpEntries(const QString& Number, TEntryLookUp How, int Excluded, std::set<int>& Rows)
{
    if (DMVxRelvo16)
        LookUpEntries(*DMVxRelvo16, Number, How, Excluded, Rows);
}

void LookUpEntries(TDMVxRelvo16& Data, const QString& Number, TEntryLookUp How, int Excluded, std::set<int>& Rows)
{
    const QString Key = DigitsOnly(Number);
    // A text of hyphens alone has no number to look for; an empty key would land on every entry
    // without numbers.
    TTable* const Table = Data.Meibo();
    if (Key.isEmpty() || !Table)
        return;
    TTableUse Use(Data, TDataTable::Meibo);
    if (!Use.Opened())
        return;
    bool Found = false;
    for (const QString& Index : {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")}) {
        if (Found && How == TEntryLookUp::SecondIfNone)
            break;
        Table->SetIndexName(Index);
        // A look-up is one hit: the entry the key lands on. Several entries sharing a number are
        // still one entry to replace; the entry being edited is no duplicate of itself.
        Table->SetRange({Key}, {Key});
        for (Table->First(); !Table->Eof(); Table->Next()) {
            const int RecNo = Table->FieldByName(QStringLiteral("RecNo")).AsInteger();
            if (RecNo == Excluded)
                continue;
            Rows.insert(RecNo);
            Found = true;
            break;
        }
        Table->CancelRange();
    }
    Table->SetIndexName(QString());
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
