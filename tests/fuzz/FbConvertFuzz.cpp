// The conversion of the directory into an address book over a directory record, a rank list and a
// keyword list of any bytes. The record's fields land as the field table says (the colour of any
// text is a number or 0, a company only for "1"), no text outgrows its field, and the rank items
// stand at the top of the keyword list in their own order.

#include "FuzzSupport.h"
#include "main/tables/AdrsTableDef.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"
#include "utility/fernbook/FbArea.h"
#include "utility/fernbook/FbConvert.h"

namespace {

const char* const Fields[] = {"SchTel1", "SchTel2", "NameKanji", "PrivCorp", "BGColor", "Memo1", "Rank", "Adrs3"};

QStringList Items(const QString& File, int ItemBytes)
{
    THistoryData List(File, true, ItemBytes);
    try {
        (void)List.Load();
    } catch (const std::exception&) {
        return {};
    }
    QStringList Result;
    for (int I = 0; I < List.Count(); ++I)
        Result << List.GetText(I);
    return Result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    SetCoreMessageBox([](const QString&, const QString&, unsigned) { return 1; });
    const QString Root = FreshFolder(QStringLiteral("fbconvert"));
    const QString Source = Root + QStringLiteral("data/");
    const QString Book = Root + QStringLiteral("fb/Adrs/Book/");
    Utility::KeywordPath = Root + QStringLiteral("fb/History/");
    QDir().mkpath(Source);
    QDir().mkpath(Book);
    QDir().mkpath(Utility::KeywordPath);
    const QList<QByteArray> Pieces =
        SplitInput(QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)), "\n--\n", 10);
    WriteFuzzFile(Source + QStringLiteral("Rank.mtd"), Pieces[8]);
    WriteFuzzFile(Utility::KeywordPath + QStringLiteral("Keyword1.mtd"), Pieces[9]);
    const QStringList Ranks = Items(Source + QStringLiteral("Rank.mtd"), 20);

    QStringList Values;
    Utility::TFbConvertCounts Counts;
    {
        TDMVxRelvo16 Module(Source, Root);
        Module.CreateMeiboTable();
        {
            TTableUse Use(Module, TDataTable::Meibo);
            MeiboTable->Append();
            MeiboTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(1);
            for (int I = 0; I < 8; ++I) {
                MeiboTable->FieldByName(QString::fromLatin1(Fields[I])).SetAsString(Cp932DecodeLenient(Pieces[I]));
                Values << MeiboTable->FieldByName(QString::fromLatin1(Fields[I])).AsString();
            }
            MeiboTable->Post();
        }
        Counts = Utility::ConvertToFernbook(Module, Book, {});
    }
    VX_FUZZ_CHECK_EQ(Counts.Records, 1);

    DefaultSession().AddPassword(AdrsPassword(0));
    {
        TTable Adrs;
        Adrs.SetDatabaseName(Book);
        Adrs.SetTableName(AdrsFileName);
        Adrs.Open();
        VX_FUZZ_CHECK_EQ(Adrs.RecordCount(), 1);
        Adrs.First();
        VX_FUZZ_CHECK_EQ(Adrs.FieldByName(QStringLiteral("Tel")).AsString(), Values[0]);
        VX_FUZZ_CHECK_EQ(Adrs.FieldByName(QStringLiteral("Portable1")).AsString(), Values[1]);
        VX_FUZZ_CHECK_EQ(Adrs.FieldByName(QStringLiteral("NameKanji")).AsString(), Values[2]);
        VX_FUZZ_CHECK_EQ(Adrs.FieldByName(QStringLiteral("PrivCorp")).AsBoolean(), Values[3] != QLatin1String("1"));
        VX_FUZZ_CHECK_EQ(Adrs.FieldByName(QStringLiteral("SymbolColor")).AsInteger(),
                         Utility::SymbolColorOf(Values[4]));
        VX_FUZZ_CHECK_EQ(Adrs.FieldByName(QStringLiteral("Keyword1")).AsString(), Values[5]);
        VX_FUZZ_CHECK_EQ(Adrs.FieldByName(QStringLiteral("Keyword6")).AsString(), Values[6]);
        for (int I = 0; I < Adrs.FieldCount(); ++I) {
            TField& Field = Adrs.Fields(I);
            if (Field.DataType() == TFieldType::String)
                VX_FUZZ_CHECK(Cp932Width(Field.AsString()) <= Field.Size());
        }
    }
    DefaultSession().RemoveAllPasswords();

    // The rank items head the keyword list, unless the keyword file could not be read at all.
    const QStringList Keywords = Items(Utility::KeywordPath + QStringLiteral("Keyword1.mtd"), 100);
    if (Counts.Ranks > 0) {
        VX_FUZZ_CHECK_EQ(Counts.Ranks, Ranks.size());
        VX_FUZZ_CHECK(Keywords.size() >= Ranks.size());
        // The keyword file is CP932: what it lacks (an undecodable byte of the rank file among it) is
        // written as the substitute mark.
        QStringList Written;
        for (const QString& Rank : Ranks)
            Written << Cp932DecodeLenient(Cp932Encode(Rank));
        VX_FUZZ_CHECK_EQ(Keywords.mid(0, Ranks.size()), Written);
    }
    return 0;
}
