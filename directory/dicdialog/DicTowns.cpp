#include "directory/dicdialog/DicTowns.h"

#include "directory/DicField.h"
#include "directory/dic/AdrsDicClass.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dic/PosDicClass.h"

namespace {

template <std::size_t N> QString Text(const char (&Field)[N])
{
    return FixedFieldText(Field, static_cast<int>(N));
}

// Half-width katakana in the order of the kana table, and the hiragana at the same places.
const QString HalfKana = QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝ");
const QString Hiragana =
    QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん");

// The filter items' ranges over the half-width katakana, lower bound included, upper excluded: the
// columns of the kana table. "わ行" holds ﾜ only: ｦ sorts before ｱ and ﾝ after ﾜ, so neither
// reading is in any column.
struct TKanaRange
{
    char16_t From;
    char16_t To;
};
constexpr TKanaRange KanaRanges[] = {
    {u'ｱ', u'ｶ'}, {u'ｶ', u'ｻ'}, {u'ｻ', u'ﾀ'}, {u'ﾀ', u'ﾅ'}, {u'ﾅ', u'ﾊ'},
    {u'ﾊ', u'ﾏ'}, {u'ﾏ', u'ﾔ'}, {u'ﾔ', u'ﾗ'}, {u'ﾗ', u'ﾜ'}, {u'ﾜ', u'ﾝ'},
};
static_assert(u'ｱ' == 0xFF71 && u'ﾜ' == 0xFF9C && u'ﾝ' == 0xFF9D);

} // namespace

QStringList KanaFilterItems()
{
    return {QStringLiteral("すべて"), QStringLiteral("あ行"), QStringLiteral("か行"), QStringLiteral("さ行"),
            QStringLiteral("た行"),   QStringLiteral("な行"), QStringLiteral("は行"), QStringLiteral("ま行"),
            QStringLiteral("や行"),   QStringLiteral("ら行"), QStringLiteral("わ行")};
}

bool KanaFilterAccepts(int FilterItem, const QString& Reading)
{
    if (FilterItem <= 0)
        return true;
    if (FilterItem > static_cast<int>(std::size(KanaRanges)) || Reading.isEmpty())
        return false;
    const char16_t First = Reading.front().unicode();
    const TKanaRange& Range = KanaRanges[FilterItem - 1];
    return First >= Range.From && First < Range.To;
}

QString KanaInitial(const QString& Reading)
{
    if (Reading.isEmpty())
        return {};
    const qsizetype At = HalfKana.indexOf(Reading.front());
    return At >= 0 ? QString(Hiragana.at(At)) : QString(Reading.front());
}

QString TownPosText(const QString& Code)
{
    const QString Trimmed = Code.trimmed();
    if (Trimmed.size() == 5 || Trimmed.size() == 7)
        return Trimmed.left(3) + QLatin1Char('-') + Trimmed.mid(3);
    return Trimmed;
}

QList<TDicTownRow> BuildTownRows(const QList<TDicTown>& Towns, int FilterItem)
{
    QList<TDicTownRow> Rows;
    QString LastInitial;
    for (int I = 0; I < Towns.size(); ++I) {
        const TDicTown& Town = Towns.at(I);
        const QString Reading = Town.Reading.trimmed();
        if (Reading.isEmpty() && Town.Name.trimmed().isEmpty())
            continue;
        if (!KanaFilterAccepts(FilterItem, Reading))
            continue;
        TDicTownRow Row;
        Row.Index = I;
        Row.Pos = TownPosText(Town.Pos);
        const QString Initial = KanaInitial(Reading);
        Row.Initial = Rows.isEmpty() || Initial != LastInitial ? Initial : QString();
        LastInitial = Initial;
        Row.Name = Town.Name;
        Row.Office = Town.Office;
        Rows.append(Row);
    }
    return Rows;
}

QString CityCaption(const TAreadexCity& City)
{
    return Text(City.Kanji);
}

QString CityCaption(const TPostrollCity& City)
{
    return Text(City.Kanji);
}

QString CityCaption(const TPlacedexCity& City)
{
    return Text(City.PrefKanji).trimmed() + Text(City.CityKanji).trimmed();
}

// The area-code dictionary gives the reading's first character only.
TDicTown DicTown(const TAreadexTown& Town)
{
    return {Text(Town.Pos), Text(Town.Initial), Text(Town.Kanji), {}};
}

TDicTown DicTown(const TPostrollTown& Town, const TPostrollLarge* Office)
{
    return {Text(Town.Pos), Text(Town.Kana), Text(Town.Kanji), Office ? Text(Office->Kanji) : QString()};
}

TDicTown DicTown(const TPlacedexTown& Town, const TPlacedexLarge* Office)
{
    return {Text(Town.Pos), Text(Town.Kana), Text(Town.Kanji), Office ? Text(Office->Kanji) : QString()};
}

namespace {

template <typename TSearch> QStringList Captions(const TSearch& Search)
{
    QStringList Result;
    for (int I = 0; I < Search.CityCount(); ++I)
        Result << CityCaption(Search.City(I));
    return Result;
}

template <typename TSearch> QList<TDicTown> Towns(const TSearch& Search, bool Offices)
{
    QList<TDicTown> Result;
    for (int I = 0; I < Search.TownCount(); ++I)
        Result.append(DicTown(Search.Town(I), Offices && I < Search.OfficeCount() ? &Search.Office(I) : nullptr));
    return Result;
}

} // namespace

QStringList CityCaptions(const TKykbnSearch& Search)
{
    return Captions(Search);
}

QStringList CityCaptions(const TPosSearch& Search)
{
    return Captions(Search);
}

QStringList CityCaptions(const TAdrsSearch& Search)
{
    return Captions(Search);
}

QList<TDicTown> ListedTowns(const TKykbnSearch& Search)
{
    QList<TDicTown> Result;
    for (int I = 0; I < Search.TownCount(); ++I)
        Result.append(DicTown(Search.Town(I)));
    return Result;
}

QList<TDicTown> ListedTowns(const TPosSearch& Search, bool Offices)
{
    return Towns(Search, Offices);
}

QList<TDicTown> ListedTowns(const TAdrsSearch& Search, bool Offices)
{
    return Towns(Search, Offices);
}
