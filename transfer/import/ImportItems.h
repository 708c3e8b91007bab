#pragma once

#include "transfer/import/ImportText.h"

#include <QList>
#include <QString>
#include <QStringList>

// The destination items of the two tables: what the mapping grid lists, the longest constant each
// takes, and the header names the automatic mapping recognises.

enum class TImportDest
{
    RecvHis = 0,
    Meibo = 1
};

struct TImportItem
{
    QString Name;
    int MaxLength = 0; // of a typed constant, in characters; 0 = no limit
};

// Entry 0 is the header row's place and stays empty, so that entry n is item row n.
[[nodiscard]] QList<TImportItem> ImportItems(TImportDest Dest, const QStringList& SelectItemNames);

// Rows of the call history's items.
namespace HisItem {
inline constexpr int RecvDate = 1, RecvTime = 2, Tel = 3, CorpKana = 4, CorpKanji = 5, NameKana = 6, NameKanji = 7,
                     Division = 8, Rank = 9, SelItem1 = 10, Last = 12;
}
// Rows of the directory's items.
namespace MeiboItem {
inline constexpr int Tel1 = 1, Tel2 = 2, Pos = 3, Adrs1 = 4, Adrs2 = 5, Adrs3 = 6, JisCode = 7, CorpKana = 8,
                     CorpKanji = 9, NameKana = 10, NameKanji = 11, PrivCorp = 12, Memo1 = 13, EMail = 16, Rank = 17,
                     Latitude = 18, Longitude = 19, Msg = 20, Msg1 = 21, Msg2 = 22, BGColor = 23, ExtFile = 24,
                     Note = 25, AddDate = 26, AddTime = 27, Last = 27;
}

// One pass of the automatic mapping: the first source field that matches any of Names goes into
// the first free piece of Row.
struct TAutoSetPass
{
    int Row = 0;
    QStringList Names;
};
[[nodiscard]] QList<TAutoSetPass> AutoSetPasses(TImportDest Dest, const QStringList& SelectItemNames);

// Walks Sources (the line-1 texts as the source list shows them, quotes kept) from the first and
// puts the first that matches one of Names, compared half-width and without regard to case, into
// the first free piece of Mapping[Row], shown as the matching name. A full row takes nothing.
void AutoSetItem(TImportMapping& Mapping, int Row, const QStringList& Names, const QStringList& Sources);
