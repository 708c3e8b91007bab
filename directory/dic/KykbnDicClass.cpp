#include "directory/dic/KykbnDicClass.h"

#include "directory/Dashrule.h"
#include "directory/DicField.h"
#include "directory/Geomark.h"
#include "directory/dic/AdrsHitRecord.h"
#include "directory/dic/DicLibrary.h"
#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"

#include <algorithm>
#include <cstring>

namespace {

const QString LibraryName = QStringLiteral("Areadex.so");

template <std::size_t N> QString Text(const char (&Field)[N])
{
    return FixedFieldText(Field, static_cast<int>(N));
}

} // namespace

TKykbnSearch::TKykbnSearch(const QString& LibraryFolder, const QString& DicFolder)
    : FLibraryFolder(DicLibraryFolder(LibraryFolder)), FDicFolder(DicLibraryFolder(DicFolder))
{
    LoadDicLibrary<EAreadexError>(FLibrary, FLibraryFolder, LibraryName);
    BindDicProc<EAreadexError>(FLibrary, FAreadexPrefix, "AreadexPrefix", LibraryName);
    BindDicProc<EAreadexError>(FLibrary, FAreadexCity2, "AreadexCity2", LibraryName);
    BindDicProc<EAreadexError>(FLibrary, FAreadexTown2First, "AreadexTown2First", LibraryName);
    BindDicProc<EAreadexError>(FLibrary, FAreadexTown2Close, "AreadexTown2Close", LibraryName);
    BindDicProc<EAreadexError>(FLibrary, FAreadexTown2Next, "AreadexTown2Next", LibraryName);
    BindDicProc<EAreadexError>(FLibrary, FAreadexTown2Prev, "AreadexTown2Prev", LibraryName);
}

TKykbnSearch::~TKykbnSearch()
{
    FCities.clear();
    FTowns.clear();
    FLibrary.Free();
}

QString TKykbnSearch::Hyphenate(const QString& Number) const
{
    const int Loaded = LoadHyphenLibrary(FLibraryFolder, FDicFolder);
    const QString Result = FormatTelHyphen(Number, FDicFolder);
    if (Loaded != HyphenRcBindError)
        FreeHyphenLibrary();
    return Cp932Left(Result, TKykbnHitRecord::TelCapacity - 1);
}

int TKykbnSearch::Search(const QString& Number, QString* Hyphenated)
{
    const QString Digits = DigitsOnly(Number);
    if (Digits.isEmpty())
        throw EKykbnSearchError(QStringLiteral("検索電話番号が未入力です"));
    FNumber = Digits;
    const QByteArray Bytes = Cp932Encode(Digits);
    const QByteArray Dic = PathBytes(FDicFolder);
    char Prefix[14] = {};
    std::int16_t Count = 0;
    std::int32_t Rc = FAreadexPrefix(Bytes.constData(), Prefix, &Count, Dic.constData());
    if (Rc == 4 || Rc == 8)
        return Rc;
    if (Rc != 0)
        RaiseDicCallError<EAreadexError>("AreadexPrefix", LibraryName, Rc);
    if (Hyphenated)
        *Hyphenated = Hyphenate(Digits);
    FListedCity = -1;
    FTowns.clear();
    FCities = QList<TAreadexCity>(Batch, TAreadexCity{});
    Rc = FAreadexCity2(Bytes.constData(), FCities.data(), Dic.constData());
    if (Rc != 0)
        RaiseDicCallError<EAreadexError>("AreadexCity2", LibraryName, Rc);
    // The library fills at most one batch; the rest of a longer list stays as empty entries.
    FCities.resize(std::clamp<int>(Count, 0, MaxRecords));
    return 0;
}

int TKykbnSearch::ListTowns(int CityIndex)
{
    if (CityIndex == FListedCity)
        return 0;
    const TAreadexCity& Listed = City(CityIndex);
    FListedCity = CityIndex;
    FTowns.clear();
    const int Count = std::clamp<int>(Listed.TownCount, 0, MaxRecords);
    if (Count == 0)
        return 8;
    FTowns = QList<TAreadexTown>(Count, TAreadexTown{});
    TAreadexTown Buffer[Batch];
    std::memset(Buffer, 0, sizeof Buffer);
    std::int32_t Rc = 0;
    void* Handle =
        FAreadexTown2First(Cp932Encode(FNumber).constData(), &Listed, Buffer, &Rc, PathBytes(FDicFolder).constData());
    if (Rc == 8) {
        if (Handle)
            FAreadexTown2Close(Handle);
        return 8;
    }
    if (Rc != 0 && Rc != 1) {
        if (Handle)
            FAreadexTown2Close(Handle);
        RaiseDicCallError<EAreadexError>("AreadexTown2First", LibraryName, Rc);
    }
    int Received = 0;
    while (true) {
        const int Take = std::min(Batch, Count - Received);
        std::copy(Buffer, Buffer + Take, FTowns.begin() + Received);
        Received += Take;
        // A library that keeps answering "more" past the city's town count is not followed further.
        if (Rc != 1 || Received >= Count)
            break;
        std::memset(Buffer, 0, sizeof Buffer);
        Rc = FAreadexTown2Next(Handle, Buffer);
        if (Rc > 1) {
            if (Handle)
                FAreadexTown2Close(Handle);
            RaiseDicCallError<EAreadexError>("AreadexTown2Next", LibraryName, Rc);
        }
    }
    if (Handle)
        FAreadexTown2Close(Handle);
    return 0;
}

const TAreadexCity& TKykbnSearch::City(int Index) const
{
    if (FCities.isEmpty())
        throw EKykbnSearchError(QStringLiteral("市区郡町村検索の結果がありません"));
    if (Index < 0 || Index >= FCities.size())
        throw ERangeError(QStringLiteral("市区郡町村の番号が範囲外です"));
    return FCities[Index];
}

const TAreadexTown& TKykbnSearch::Town(int Index) const
{
    if (FTowns.isEmpty())
        throw EKykbnSearchError(QStringLiteral("町大字検索の結果がありません"));
    if (Index < 0 || Index >= FTowns.size())
        throw ERangeError(QStringLiteral("町大字の番号が範囲外です"));
    return FTowns[Index];
}

const TKykbnHitRecord& TKykbnSearch::BuildHit(int TownIndex, bool WithCoordinates)
{
    FHit = TKykbnHitRecord{};
    const TAreadexCity& Listed = City(FListedCity);
    const TAreadexTown* ListedTown = TownIndex >= 0 ? &Town(TownIndex) : nullptr;
    FHit.Tel = Hyphenate(FNumber);
    if (ListedTown)
        FHit.Pos = HitField(FormatPostalCode(Text(ListedTown->Pos)), TAdrsHitRecord::PosCapacity);
    TPrefectureSplit Split = SplitPrefecture(Text(Listed.Kanji));
    FHit.TdfknKanji = HitField(Split.Prefecture, TAdrsHitRecord::PrefCapacity);
    FHit.CityKanji = HitField(Split.Rest, TAdrsHitRecord::CityCapacity);
    if (ListedTown)
        FHit.TownKanji = HitField(Text(ListedTown->Kanji), TAdrsHitRecord::TownCapacity);
    FHit.JisCode = HitField(Text(Listed.JisCode), TAdrsHitRecord::JisCodeCapacity);
    if (ListedTown)
        FHit.KajoCode = HitField(Text(ListedTown->Codes).mid(5, 6), TAdrsHitRecord::KajoCodeCapacity);
    if (ListedTown && WithCoordinates) {
        TAdrsHitRecord Hit;
        Hit.JisCode = FHit.JisCode;
        Hit.KajoCode = FHit.KajoCode;
        Hit.Pos = FHit.Pos;
        Hit.TdfknKanji = FHit.TdfknKanji;
        Hit.CityKanji = FHit.CityKanji;
        Hit.TownKanji = FHit.TownKanji;
        ApplyCoordinates(Hit, FLibraryFolder, FDicFolder, true);
        FHit.Pos = Hit.Pos;
        FHit.TdfknKana = Hit.TdfknKana;
        FHit.TdfknKanji = Hit.TdfknKanji;
        FHit.CityKana = Hit.CityKana;
        FHit.CityKanji = Hit.CityKanji;
        FHit.TownKana = Hit.TownKana;
        FHit.TownKanji = Hit.TownKanji;
        FHit.Latitude = Hit.Latitude;
        FHit.Longitude = Hit.Longitude;
    }
    return FHit;
}
