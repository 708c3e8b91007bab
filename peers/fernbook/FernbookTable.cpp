#include "peers/fernbook/FernbookTable.h"

namespace {

struct TColumn
{
    const char* Name;
    TFieldType Type;
    int Size;
    int Repeat; // 0: one field of Name; n: Name1 .. Namen
};

// In the order the product writes them.
constexpr TColumn Columns[] = {
    {"RecNo", TFieldType::AutoInc, 0, 0},        {"Group", TFieldType::Integer, 0, 0},
    {"CustomCode", TFieldType::String, 20, 0},   {"Tel", TFieldType::String, 11, 0},
    {"TelDiv", TFieldType::Integer, 0, 0},       {"Fax", TFieldType::String, 11, 0},
    {"Portable", TFieldType::String, 11, 2},     {"Pos", TFieldType::String, 7, 0},
    {"Tdfkn", TFieldType::String, 8, 0},         {"Adrs1", TFieldType::String, 32, 0},
    {"Adrs2", TFieldType::String, 100, 0},       {"Adrs3", TFieldType::String, 116, 0},
    {"AdrsKana", TFieldType::String, 100, 0},    {"JisCode", TFieldType::String, 5, 0},
    {"KajoCode", TFieldType::String, 6, 0},      {"Latitude", TFieldType::Integer, 0, 0},
    {"Longitude", TFieldType::Integer, 0, 0},    {"PrivCorp", TFieldType::Boolean, 0, 0},
    {"CorpKanji", TFieldType::String, 120, 0},   {"CorpKana", TFieldType::String, 80, 0},
    {"Dptmnt", TFieldType::String, 100, 0},      {"Post", TFieldType::String, 50, 0},
    {"NameKanji", TFieldType::String, 75, 0},    {"NameKana", TFieldType::String, 25, 0},
    {"Honor", TFieldType::String, 10, 0},        {"IgnoreName", TFieldType::Boolean, 0, 0},
    {"URL", TFieldType::String, 128, 0},         {"EMail", TFieldType::String, 64, 2},
    {"Joint", TFieldType::String, 55, 5},        {"JointHonor", TFieldType::String, 10, 5},
    {"JointOwner", TFieldType::Integer, 0, 0},   {"JointPrint", TFieldType::Boolean, 0, 0},
    {"JointPrint", TFieldType::Boolean, 0, 5},   {"PrintTarget", TFieldType::Integer, 0, 0},
    {"Sender", TFieldType::Integer, 0, 0},       {"Keyword", TFieldType::String, 100, 8},
    {"Note", TFieldType::Memo, 100, 0},          {"ExtFile", TFieldType::Memo, 100, 0},
    {"SymbolMark", TFieldType::String, 10, 0},   {"SymbolColor", TFieldType::Integer, 0, 0},
    {"AddDateTime", TFieldType::DateTime, 0, 0}, {"UpdDateTime", TFieldType::DateTime, 0, 0},
};

} // namespace

TTableDef FernbookTableDef()
{
    TTableDef Def;
    for (const TColumn& Column : Columns) {
        const QString Name = QString::fromLatin1(Column.Name);
        if (Column.Repeat == 0)
            Def.Fields.append({Name, Column.Type, Column.Size});
        for (int I = 1; I <= Column.Repeat; ++I)
            Def.Fields.append({Name + QString::number(I), Column.Type, Column.Size});
    }
    // The primary key, the numbers and codes as they are, the readings and keywords without case.
    Def.Indexes.append({QString(), QStringLiteral("RecNo"), true, true, false});
    for (const char* Name : {"Group", "CustomCode", "Tel", "Fax", "Portable1", "Portable2", "Pos"})
        Def.Indexes.append({QString::fromLatin1(Name), QString::fromLatin1(Name), false, false, false});
    Def.Indexes.append({QStringLiteral("Adrs"), QStringLiteral("JisCode;Adrs2;Adrs3"), false, false, true});
    for (const char* Name : {"CorpKana", "NameKana", "Keyword1", "Keyword2", "Keyword3", "Keyword4", "Keyword5",
                             "Keyword6", "Keyword7", "Keyword8"})
        Def.Indexes.append({QString::fromLatin1(Name), QString::fromLatin1(Name), false, false, true});
    return Def;
}

QString FernbookPassword(int Edition)
{
    return Edition == 1 ? QStringLiteral("gaxnel74") : QStringLiteral("zomriv52");
}
