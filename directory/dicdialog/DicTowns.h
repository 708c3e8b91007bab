#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TAdrsSearch;
class TKykbnSearch;
class TPosSearch;
struct TAreadexCity;
struct TAreadexTown;
struct TPlacedexCity;
struct TPlacedexLarge;
struct TPlacedexTown;
struct TPostrollCity;
struct TPostrollLarge;
struct TPostrollTown;

// What the dictionary dialog shows of a search: the caption of each city and the rows of the town
// list, whatever dictionary they come from. Nothing here needs a window.

// The kana filter boxes' items; item 0 shows every town.
[[nodiscard]] QStringList KanaFilterItems();
// Whether a town whose reading (half-width katakana) begins as it does passes the filter item.
[[nodiscard]] bool KanaFilterAccepts(int FilterItem, const QString& Reading);
// The hiragana initial of a half-width katakana reading; the first character unchanged when it is no
// plain half-width kana, empty for an empty reading.
[[nodiscard]] QString KanaInitial(const QString& Reading);
// A postal code as the town list shows it: trimmed, and with its hyphen after the third digit when it
// has 5 or 7 characters.
[[nodiscard]] QString TownPosText(const QString& Code);

// One town of a dictionary's listing, as read from its record.
struct TDicTown
{
    QString Pos;
    QString Reading;
    QString Name;
    QString Office; // the large office, in the large-office view
};

// One row of the town list: Index is the town's place in the dictionary's listing.
struct TDicTownRow
{
    int Index = 0;
    QString Pos;
    QString Initial; // blank on the rows after the first of a run of equal initials
    QString Name;
    QString Office;
};

// The rows of Towns under the filter item: towns with neither reading nor name are left out.
[[nodiscard]] QList<TDicTownRow> BuildTownRows(const QList<TDicTown>& Towns, int FilterItem);

// One city's caption and one town of each dictionary's records; Office null outside the
// large-office view.
[[nodiscard]] QString CityCaption(const TAreadexCity& City);
[[nodiscard]] QString CityCaption(const TPostrollCity& City);
[[nodiscard]] QString CityCaption(const TPlacedexCity& City);
[[nodiscard]] TDicTown DicTown(const TAreadexTown& Town);
[[nodiscard]] TDicTown DicTown(const TPostrollTown& Town, const TPostrollLarge* Office);
[[nodiscard]] TDicTown DicTown(const TPlacedexTown& Town, const TPlacedexLarge* Office);

// The cities and the listed towns of each dictionary.
[[nodiscard]] QStringList CityCaptions(const TKykbnSearch& Search);
[[nodiscard]] QStringList CityCaptions(const TPosSearch& Search);
[[nodiscard]] QStringList CityCaptions(const TAdrsSearch& Search);
[[nodiscard]] QList<TDicTown> ListedTowns(const TKykbnSearch& Search);
[[nodiscard]] QList<TDicTown> ListedTowns(const TPosSearch& Search, bool Offices);
[[nodiscard]] QList<TDicTown> ListedTowns(const TAdrsSearch& Search, bool Offices);
