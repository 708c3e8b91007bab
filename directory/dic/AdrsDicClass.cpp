#include "directory/dic/AdrsDicClass.h"

#include "directory/DicField.h"
#include "directory/Geomark.h"
#include "directory/dic/DicLibrary.h"
#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"

#include <algorithm>

namespace {

const QString LibraryName = QStringLiteral("Placedex.so");

template <std::size_t N> QString Text(const char (&Field)[N])
{
    return FixedFieldText(Field, static_cast<int>(N));
}

int TrustedCount(int Count)
{
    return std::clamp(Count, 0, TAdrsSearch::MaxRecords);
}

} // namespace

TAdrsSearch::TAdrsSearch(const QString& LibraryFolder, const QString& DicFolder)
    : FLibraryFolder(DicLibraryFolder(LibraryFolder)), FDicFolder(DicLibraryFolder(DicFolder))
{
    LoadDicLibrary<EPlacedexError>(FLibrary, FLibraryFolder, LibraryName);
    BindDicProc<EPlacedexError>(FLibrary, FPlacedexJisCount, "PlacedexJisCount", LibraryName);
    BindDicProc<EPlacedexError>(FLibrary, FPlacedexJisList, "PlacedexJisList", LibraryName);
    BindDicProc<EPlacedexError>(FLibrary, FPlacedexTownCount, "PlacedexTownCount", LibraryName);
    BindDicProc<EPlacedexError>(FLibrary, FPlacedexTownList, "PlacedexTownList", LibraryName);
    BindDicProc<EPlacedexError>(FLibrary, FPlacedexLargeCount, "PlacedexLargeCount", LibraryName);
    BindDicProc<EPlacedexError>(FLibrary, FPlacedexLargeList, "PlacedexLargeList", LibraryName);
}

TAdrsSearch::~TAdrsSearch()
{
    FCities.clear();
    FTowns.clear();
    FOffices.clear();
    FLibrary.Free();
}

int TAdrsSearch::Search(const QString& Address)
{
    const QString Wide = ToFullWidth(Address.trimmed());
    if (Wide.isEmpty())
        throw EAdrsSearchError(QStringLiteral("検索住所が未入力です"));
    // Cut on a character boundary: half a character would make the rest of the text unreadable.
    FAddress = Cp932LeftBytes(Cp932Encode(Wide), MaxAddressBytes);
    const QByteArray Dic = PathBytes(FDicFolder);
    std::int32_t Count = 0;
    std::int32_t Rc = FPlacedexJisCount(FAddress.constData(), &Count, Dic.constData());
    if (Rc == 4 || Rc == 8)
        return Rc;
    if (Rc != 0)
        RaiseDicCallError<EPlacedexError>("PlacedexJisCount", LibraryName, Rc);
    FListedCity = -1;
    FListedKind = -1;
    FTowns.clear();
    FOffices.clear();
    FCities.resize(TrustedCount(Count));
    std::fill(FCities.begin(), FCities.end(), TPlacedexCity{});
    Rc = FPlacedexJisList(FAddress.constData(), FCities.data(), static_cast<std::int32_t>(FCities.size()),
                          Dic.constData());
    if (Rc != 0)
        RaiseDicCallError<EPlacedexError>("PlacedexJisList", LibraryName, Rc);
    return 0;
}

int TAdrsSearch::ListTowns(int CityIndex, bool WithOffices)
{
    const int Kind = WithOffices ? 1 : 0;
    if (CityIndex == FListedCity && Kind == FListedKind)
        return 0;
    const TPlacedexCity& Listed = City(CityIndex);
    FListedCity = CityIndex;
    FListedKind = Kind;
    FTowns.clear();
    FOffices.clear();
    const QByteArray Dic = PathBytes(FDicFolder);
    std::int32_t Count = 0;
    const char* CountName = WithOffices ? "PlacedexLargeCount" : "PlacedexTownCount";
    std::int32_t Rc = (WithOffices ? FPlacedexLargeCount : FPlacedexTownCount)(FAddress.constData(), &Listed, &Count,
                                                                               Dic.constData());
    if (Rc == 4 || Rc == 8)
        return Rc;
    if (Rc != 0)
        RaiseDicCallError<EPlacedexError>(CountName, LibraryName, Rc);
    const int Trusted = TrustedCount(Count);
    FTowns.resize(Trusted);
    std::fill(FTowns.begin(), FTowns.end(), TPlacedexTown{});
    if (WithOffices) {
        FOffices.resize(Trusted);
        std::fill(FOffices.begin(), FOffices.end(), TPlacedexLarge{});
        Rc =
            FPlacedexLargeList(FAddress.constData(), &Listed, FTowns.data(), FOffices.data(), Trusted, Dic.constData());
        if (Rc != 0)
            RaiseDicCallError<EPlacedexError>("PlacedexLargeList", LibraryName, Rc);
    } else {
        Rc = FPlacedexTownList(FAddress.constData(), &Listed, FTowns.data(), Trusted, Dic.constData());
        if (Rc != 0)
            RaiseDicCallError<EPlacedexError>("PlacedexTownList", LibraryName, Rc);
    }
    return 0;
}

const TPlacedexCity& TAdrsSearch::City(int Index) const
{
    if (FCities.isEmpty())
        throw EAdrsSearchError(QStringLiteral("市区郡町村検索の結果がありません"));
    if (Index < 0 || Index >= FCities.size())
        throw ERangeError(QStringLiteral("市区郡町村の番号が範囲外です"));
    return FCities[Index];
}

const TPlacedexTown& TAdrsSearch::Town(int Index) const
{
    if (FTowns.isEmpty())
        throw EAdrsSearchError(QStringLiteral("町大字検索の結果がありません"));
    if (Index < 0 || Index >= FTowns.size())
        throw ERangeError(QStringLiteral("町大字の番号が範囲外です"));
    return FTowns[Index];
}

const TPlacedexLarge& TAdrsSearch::Office(int Index) const
{
    if (FOffices.isEmpty())
        throw EAdrsSearchError(QStringLiteral("大口事業所検索の結果がありません"));
    if (Index < 0 || Index >= FOffices.size())
        throw ERangeError(QStringLiteral("大口事業所の番号が範囲外です"));
    return FOffices[Index];
}

const TAdrsHitRecord& TAdrsSearch::BuildHit(int TownIndex, bool WithCoordinates)
{
    FHit = TAdrsHitRecord{};
    const TPlacedexCity& Listed = City(FListedCity);
    const TPlacedexTown* ListedTown = TownIndex >= 0 ? &Town(TownIndex) : nullptr;
    if (ListedTown)
        FHit.Pos = HitField(FormatPostalCode(Text(ListedTown->Pos)), TAdrsHitRecord::PosCapacity);
    FHit.TdfknKana = HitField(Text(Listed.PrefKana), TAdrsHitRecord::PrefCapacity);
    FHit.TdfknKanji = HitField(Text(Listed.PrefKanji), TAdrsHitRecord::PrefCapacity);
    FHit.CityKana = HitField(Text(Listed.CityKana), TAdrsHitRecord::CityCapacity);
    FHit.CityKanji = HitField(Text(Listed.CityKanji), TAdrsHitRecord::CityCapacity);
    if (ListedTown) {
        FHit.TownKana = HitField(Text(ListedTown->Kana), TAdrsHitRecord::TownCapacity);
        FHit.TownKanji = HitField(Text(ListedTown->Kanji), TAdrsHitRecord::TownCapacity);
        if (FListedKind == 1) {
            const TPlacedexLarge& Large = Office(TownIndex);
            FHit.LargeKana = HitField(Text(Large.Kana), TAdrsHitRecord::LargeCapacity);
            FHit.LargeKanji = HitField(Text(Large.Kanji), TAdrsHitRecord::LargeCapacity);
        }
        FHit.KajoCode = HitField(Text(ListedTown->KajoCode), TAdrsHitRecord::KajoCodeCapacity);
    }
    FHit.JisCode = HitField(Text(Listed.JisCode), TAdrsHitRecord::JisCodeCapacity);
    if (ListedTown && WithCoordinates)
        ApplyCoordinates(FHit, FLibraryFolder, FDicFolder, FListedKind == 0);
    return FHit;
}
