#include "directory/namedic/NameloreLib.h"

#include "directory/DicField.h"
#include "platform/text/Cp932.h"

#include <algorithm>
#include <vector>

bool TNameloreLib::Load(const QString& AbsolutePath)
{
    Free();
    if (!FLib.Load(AbsolutePath))
        return false;
    FSeiCount = FLib.SymbolAs<TCountProc>("NameloreSeiCount");
    FMeiCount = FLib.SymbolAs<TCountProc>("NameloreMeiCount");
    FSeiList = FLib.SymbolAs<TListProc>("NameloreSeiList");
    FMeiList = FLib.SymbolAs<TListProc>("NameloreMeiList");
    if (!FSeiCount || !FMeiCount || !FSeiList || !FMeiList) {
        Free();
        return false;
    }
    return true;
}

void TNameloreLib::Free()
{
    FLib.Free();
    FSeiCount = FMeiCount = nullptr;
    FSeiList = FMeiList = nullptr;
}

TNameloreLib::TCountResult TNameloreLib::Count(const QString& Reading, int Kind, const QString& DicFolder) const
{
    TCountResult Result;
    const TCountProc Proc = Kind == 1 ? FMeiCount : FSeiCount;
    if (!Proc)
        return Result;
    std::int32_t N = 0;
    Result.Rc = Proc(Cp932Encode(Reading).constData(), 0, &N, PathBytes(DicFolder).constData());
    Result.Count = N > 0 ? N : 0;
    return Result;
}

TNameloreLib::TListResult TNameloreLib::List(const QString& Reading, int Kind, int Count,
                                             const QString& DicFolder) const
{
    TListResult Result;
    const TListProc Proc = Kind == 1 ? FMeiList : FSeiList;
    if (!Proc || Count <= 0)
        return Result;
    // A count no library means (a damaged one's) must not become an allocation of gigabytes.
    constexpr int MaxNames = 10000;
    Count = std::min(Count, MaxNames);
    std::vector<TNameDicEntry> Entries(static_cast<std::size_t>(Count), TNameDicEntry{});
    Result.Rc = Proc(Cp932Encode(Reading).constData(), 0, Entries.data(), Count, PathBytes(DicFolder).constData());
    if (Result.Rc != 0)
        return Result;
    // A library that fills fewer entries than it counted leaves the rest zeroed: the list ends there.
    for (const TNameDicEntry& E : Entries) {
        TNameDicName Name{FixedFieldText(E.Reading, sizeof E.Reading), FixedFieldText(E.Name, sizeof E.Name)};
        if (Name.Name.isEmpty())
            break;
        Result.Names.append(Name);
    }
    return Result;
}
