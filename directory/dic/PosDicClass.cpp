#include "directory/dic/PosDicClass.h"

#include "directory/DicField.h"
#include "directory/Geomark.h"
#include "directory/dic/DicLibrary.h"
#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"

#include <algorithm>

namespace {

const QString LibraryName = QStringLiteral("Postroll.so");

template <std::size_t N> QString Text(const char (&Field)[N])
{
    return FixedFieldText(Field, static_cast<int>(N));
}

// What a library says it returned, kept to what a buffer may be sized by.
int TrustedCount(int Count)
{
    return std::clamp(Count, 0, TPosSearch::MaxRecords);
}

} // namespace

TPosSearch::TPosSearch(const QString& LibraryFolder, const QString& DicFolder)
    : FLibraryFolder(DicLibraryFolder(LibraryFolder)), FDicFolder(DicLibraryFolder(DicFolder))
{
    LoadDicLibrary<EPostrollError>(FLibrary, FLibraryFolder, LibraryName);
    BindDicProc<EPostrollError>(FLibrary, FPostrollFirst, "PostrollFirst", LibraryName);
    BindDicProc<EPostrollError>(FLibrary, FPostrollCityList, "PostrollCityList", LibraryName);
    BindDicProc<EPostrollError>(FLibrary, FPostrollTownList, "PostrollTownList", LibraryName);
    BindDicProc<EPostrollError>(FLibrary, FPostrollLgTownList, "PostrollLgTownList", LibraryName);
    BindDicProc<EPostrollError>(FLibrary, FPostrollClose, "PostrollClose", LibraryName);
    BindDicProc<EPostrollError>(FLibrary, FPostrollPost, "PostrollPost", LibraryName);
}

TPosSearch::~TPosSearch()
{
    FCities.clear();
    FTowns.clear();
    FOffices.clear();
    CloseSearch();
    FLibrary.Free();
}

void TPosSearch::CloseSearch()
{
    if (FHandle && FPostrollClose)
        FPostrollClose(FHandle);
    FHandle = nullptr;
}

int TPosSearch::Search(const QString& Code, QString* Normalised)
{
    const QString Digits = DigitsOnly(Code);
    if (Digits.isEmpty())
        throw EPosSearchError(QStringLiteral("検索郵便番号が未入力です"));
    // The library keeps state behind each handle; one left open would live until the program ends.
    CloseSearch();
    FCities.clear();
    FTowns.clear();
    FOffices.clear();
    FListedCity = -1;
    FListedKind = -1;
    FCode = Digits;
    std::int16_t Count = 0;
    std::int32_t Rc = 0;
    FHandle = FPostrollFirst(Cp932Encode(Digits).constData(), &Count, &Rc, PathBytes(FDicFolder).constData());
    if (Rc == 4 || Rc == 8)
        return Rc;
    if (Rc != 0)
        RaiseDicCallError<EPostrollError>("PostrollFirst", LibraryName, Rc);
    if (Normalised)
        *Normalised = FormatPostalCode(Digits).left(TAdrsHitRecord::PosCapacity - 1);
    FCities.resize(TrustedCount(Count));
    if (!FCities.isEmpty()) {
        std::fill(FCities.begin(), FCities.end(), TPostrollCity{});
        Rc = FPostrollCityList(FHandle, FCities.data(), 0, static_cast<std::int32_t>(FCities.size()));
        if (Rc != 0)
            RaiseDicCallError<EPostrollError>("PostrollCityList", LibraryName, Rc);
    }
    return 0;
}

int TPosSearch::ListTowns(int CityIndex, bool WithOffices)
{
    const int Kind = WithOffices ? 1 : 0;
    if (CityIndex == FListedCity && Kind == FListedKind)
        return 0;
    const TPostrollCity& Listed = City(CityIndex);
    FListedCity = CityIndex;
    FListedKind = Kind;
    FTowns.clear();
    FOffices.clear();
    const int Count = TrustedCount(WithOffices ? Listed.LargeCount : Listed.TownCount);
    if (Count == 0)
        return 8;
    FTowns.resize(Count);
    std::fill(FTowns.begin(), FTowns.end(), TPostrollTown{});
    std::int32_t Rc;
    if (WithOffices) {
        FOffices.resize(Count);
        std::fill(FOffices.begin(), FOffices.end(), TPostrollLarge{});
        Rc = FPostrollLgTownList(FHandle, &Listed, FTowns.data(), FOffices.data(), 0, Count);
        if (Rc != 0 && Rc != 8)
            RaiseDicCallError<EPostrollError>("PostrollLgTownList", LibraryName, Rc);
    } else {
        Rc = FPostrollTownList(FHandle, &Listed, FTowns.data(), 0, Count);
        if (Rc != 0 && Rc != 8)
            RaiseDicCallError<EPostrollError>("PostrollTownList", LibraryName, Rc);
    }
    return Rc;
}

const TPostrollCity& TPosSearch::City(int Index) const
{
    if (FCities.isEmpty())
        throw EPosSearchError(QStringLiteral("市区郡町村検索の結果がありません"));
    if (Index < 0 || Index >= FCities.size())
        throw ERangeError(QStringLiteral("市区郡町村の番号が範囲外です"));
    return FCities[Index];
}

const TPostrollTown& TPosSearch::Town(int Index) const
{
    if (FTowns.isEmpty())
        throw EPosSearchError(QStringLiteral("町大字検索の結果がありません"));
    if (Index < 0 || Index >= FTowns.size())
        throw ERangeError(QStringLiteral("町大字の番号が範囲外です"));
    return FTowns[Index];
}

const TPostrollLarge& TPosSearch::Office(int Index) const
{
    if (FOffices.isEmpty())
        throw EPosSearchError(QStringLiteral("大口事業所検索の結果がありません"));
    if (Index < 0 || Index >= FOffices.size())
        throw ERangeError(QStringLiteral("大口事業所の番号が範囲外です"));
    return FOffices[Index];
}

const TAdrsHitRecord& TPosSearch::BuildHit(int TownIndex, bool WithCoordinates)
{
    FHit = TAdrsHitRecord{};
    const TPostrollCity& Listed = City(FListedCity);
    const bool WithTown = TownIndex >= 0;
    const TPostrollTown* ListedTown = WithTown ? &Town(TownIndex) : nullptr;
    if (ListedTown)
        FHit.Pos = HitField(FormatPostalCode(Text(ListedTown->Pos)), TAdrsHitRecord::PosCapacity);
    TPrefectureSplit Kana = SplitPrefectureKana(Text(Listed.Kana));
    FHit.TdfknKana = HitField(Kana.Prefecture, TAdrsHitRecord::PrefCapacity);
    FHit.CityKana = HitField(Kana.Rest, TAdrsHitRecord::CityCapacity);
    TPrefectureSplit Kanji = SplitPrefecture(Text(Listed.Kanji));
    FHit.TdfknKanji = HitField(Kanji.Prefecture, TAdrsHitRecord::PrefCapacity);
    FHit.CityKanji = HitField(Kanji.Rest, TAdrsHitRecord::CityCapacity);
    if (ListedTown) {
        FHit.TownKana = HitField(Text(ListedTown->Kana), TAdrsHitRecord::TownCapacity);
        FHit.TownKanji = HitField(Text(ListedTown->Kanji), TAdrsHitRecord::TownCapacity);
        if (FListedKind == 1) {
            const TPostrollLarge& Large = Office(TownIndex);
            FHit.LargeKana = HitField(Text(Large.Kana), TAdrsHitRecord::LargeCapacity);
            FHit.LargeKanji = HitField(Text(Large.Kanji), TAdrsHitRecord::LargeCapacity);
        }
    }
    FHit.JisCode = HitField(Text(Listed.JisCode), TAdrsHitRecord::JisCodeCapacity);
    if (ListedTown)
        FHit.KajoCode = HitField(Text(ListedTown->KajoCode), TAdrsHitRecord::KajoCodeCapacity);
    if (ListedTown && WithCoordinates)
        ApplyCoordinates(FHit, FLibraryFolder, FDicFolder, FListedKind == 0);
    return FHit;
}
