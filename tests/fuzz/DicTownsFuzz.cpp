// The towns a dictionary library lists, of any bytes, as the dictionary dialog shows them and takes
// them over: the kana filter keeps exactly the towns of its column, a row always points back at its
// own town, the initial shows once per run, and what the dialog hands back fits its fields.

#include "FuzzSupport.h"
#include "directory/dic/AdrsDicClass.h"
#include "directory/dic/AdrsHitRecord.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dic/PosDicClass.h"
#include "directory/dicdialog/DicSearchResult.h"
#include "directory/dicdialog/DicTowns.h"
#include "platform/text/Cp932.h"

namespace {

template <typename TRecord> TRecord Take(TFuzzInput& Input)
{
    TRecord Record;
    std::memset(&Record, 0, sizeof Record);
    const QByteArray Bytes = Input.Bytes(sizeof Record);
    std::memcpy(&Record, Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
    return Record;
}

void CheckRows(const QList<TDicTown>& Towns)
{
    const int FilterCount = static_cast<int>(KanaFilterItems().size());
    const QList<TDicTownRow> All = BuildTownRows(Towns, 0);
    int Filtered = 0;
    for (int Filter = 0; Filter < FilterCount; ++Filter) {
        const QList<TDicTownRow> Rows = BuildTownRows(Towns, Filter);
        int Last = -1;
        QString LastInitial;
        for (int R = 0; R < Rows.size(); ++R) {
            const TDicTownRow& Row = Rows.at(R);
            VX_FUZZ_CHECK(Row.Index > Last && Row.Index < Towns.size());
            Last = Row.Index;
            const TDicTown& Town = Towns.at(Row.Index);
            VX_FUZZ_CHECK(!Town.Reading.trimmed().isEmpty() || !Town.Name.trimmed().isEmpty());
            VX_FUZZ_CHECK(KanaFilterAccepts(Filter, Town.Reading.trimmed()));
            VX_FUZZ_CHECK_EQ(Row.Name, Town.Name);
            const QString Initial = KanaInitial(Town.Reading.trimmed());
            VX_FUZZ_CHECK_EQ(Row.Initial, R > 0 && Initial == LastInitial ? QString() : Initial);
            LastInitial = Initial;
            VX_FUZZ_CHECK(Row.Pos.size() <= Town.Pos.trimmed().size() + 1);
        }
        if (Filter > 0)
            Filtered += static_cast<int>(Rows.size());
    }
    // The columns do not overlap and leave out what begins no column.
    VX_FUZZ_CHECK(Filtered <= All.size());
}

void CheckResult(const TDicSearchResult& Result)
{
    VX_FUZZ_CHECK(Cp932Width(Result.Tel) <= TDicSearchResult::TelWidth);
    VX_FUZZ_CHECK(Cp932Width(Result.Pos) <= TDicSearchResult::PosWidth);
    VX_FUZZ_CHECK(Cp932Width(Result.Tdfkn) <= TDicSearchResult::TdfknWidth);
    VX_FUZZ_CHECK(Cp932Width(Result.Adrs1) <= TDicSearchResult::Adrs1Width);
    VX_FUZZ_CHECK(Cp932Width(Result.Adrs2) <= TDicSearchResult::Adrs2Width);
    VX_FUZZ_CHECK(Cp932Width(Result.JisCode) <= TDicSearchResult::JisCodeWidth);
    VX_FUZZ_CHECK(Cp932Width(Result.KajoCode) <= TDicSearchResult::KajoCodeWidth);
    VX_FUZZ_CHECK(Cp932Width(Result.NameKanji) <= TDicSearchResult::NameKanjiWidth);
    VX_FUZZ_CHECK(Cp932Width(Result.NameKana) <= TDicSearchResult::NameKanaWidth);
    VX_FUZZ_CHECK(!Result.Personal);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TFuzzInput Input(Data, Size);
    const int Kind = Input.Byte() % 3;
    const int Count = Input.Byte() % 12;
    QList<TDicTown> Towns;
    for (int I = 0; I < Count && Input.Left() > 0; ++I) {
        if (Kind == 0) {
            Towns.append(DicTown(Take<TAreadexTown>(Input)));
        } else if (Kind == 1) {
            const auto Town = Take<TPostrollTown>(Input);
            const auto Office = Take<TPostrollLarge>(Input);
            Towns.append(DicTown(Town, I % 2 ? &Office : nullptr));
        } else {
            const auto Town = Take<TPlacedexTown>(Input);
            const auto Office = Take<TPlacedexLarge>(Input);
            Towns.append(DicTown(Town, I % 2 ? &Office : nullptr));
        }
    }
    CheckRows(Towns);
    (void)CityCaption(Take<TAreadexCity>(Input));
    (void)CityCaption(Take<TPostrollCity>(Input));
    (void)CityCaption(Take<TPlacedexCity>(Input));

    // The hit the dialog takes over, with every text as long as the input makes it.
    const auto Text = [&] { return Cp932DecodeLenient(Input.Piece()); };
    TAdrsHitRecord Hit;
    Hit.Pos = Text();
    Hit.TdfknKanji = Text();
    Hit.CityKanji = Text();
    Hit.TownKanji = Text() + Text();
    Hit.JisCode = Text();
    Hit.KajoCode = Text();
    Hit.LargeKanji = Text();
    Hit.LargeKana = Text();
    CheckResult(DicResultOfAdrsHit(Hit));
    TKykbnHitRecord Area;
    Area.Tel = Text();
    Area.Pos = Hit.Pos;
    Area.TdfknKanji = Hit.TdfknKanji;
    Area.CityKanji = Hit.CityKanji;
    Area.TownKanji = Hit.TownKanji;
    CheckResult(DicResultOfKykbnHit(Area));
    return 0;
}
