#include "main/tables/AdrsTableDef.h"

namespace {

TFieldDef Field(const QString& Name, TFieldType Type, int Size = 0)
{
    return {Name, Type, Size};
}

} // namespace

TTableDef AdrsTableDef()
{
    using enum TFieldType;
    TTableDef Def;
    QList<TFieldDef>& F = Def.Fields;
    F << Field("RecNo", AutoInc) << Field("Group", Integer) << Field("CustomCode", String, 20)
      << Field("Tel", String, 11) << Field("TelDiv", Integer) << Field("Fax", String, 11)
      << Field("Portable1", String, 11) << Field("Portable2", String, 11) << Field("Pos", String, 7)
      << Field("Tdfkn", String, 8) << Field("Adrs1", String, 32) << Field("Adrs2", String, 100)
      << Field("Adrs3", String, 116) << Field("AdrsKana", String, 100) << Field("JisCode", String, 5)
      << Field("KajoCode", String, 6) << Field("Latitude", Integer) << Field("Longitude", Integer)
      << Field("PrivCorp", Boolean) << Field("CorpKanji", String, 120) << Field("CorpKana", String, 80)
      << Field("Dptmnt", String, 100) << Field("Post", String, 50) << Field("NameKanji", String, 75)
      << Field("NameKana", String, 25) << Field("Honor", String, 10) << Field("IgnoreName", Boolean)
      << Field("URL", String, 128) << Field("EMail1", String, 64) << Field("EMail2", String, 64);
    for (int I = 1; I <= 5; ++I)
        F << Field(QStringLiteral("Joint%1").arg(I), String, 55);
    for (int I = 1; I <= 5; ++I)
        F << Field(QStringLiteral("JointHonor%1").arg(I), String, 10);
    F << Field("JointOwner", Integer) << Field("JointPrint", Boolean);
    for (int I = 1; I <= 5; ++I)
        F << Field(QStringLiteral("JointPrint%1").arg(I), Boolean);
    F << Field("PrintTarget", Integer) << Field("Sender", Integer);
    for (int I = 1; I <= 8; ++I)
        F << Field(QStringLiteral("Keyword%1").arg(I), String, 100);
    F << Field("Note", Memo, 100) << Field("ExtFile", Memo, 100) << Field("SymbolMark", String, 10)
      << Field("SymbolColor", Integer) << Field("AddDateTime", DateTime) << Field("UpdDateTime", DateTime);

    QList<TIndexDef>& X = Def.Indexes;
    X << TIndexDef{QString(), "RecNo", true, true, false};
    for (const char* Name : {"Group", "CustomCode", "Tel", "Fax", "Portable1", "Portable2", "Pos"})
        X << TIndexDef{Name, Name, false, false, false};
    X << TIndexDef{"Adrs", "JisCode;Adrs2;Adrs3", false, false, true}
      << TIndexDef{"CorpKana", "CorpKana", false, false, true} << TIndexDef{"NameKana", "NameKana", false, false, true};
    for (int I = 1; I <= 8; ++I) {
        const QString Name = QStringLiteral("Keyword%1").arg(I);
        X << TIndexDef{Name, Name, false, false, true};
    }
    return Def;
}

QString AdrsPassword(int Edition)
{
    return Edition == 1 ? QStringLiteral("gaxnel74") : QStringLiteral("zomriv52");
}
