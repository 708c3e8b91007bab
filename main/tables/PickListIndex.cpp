#include "main/tables/PickListIndex.h"

#include "platform/db/Table.h"
#include "platform/text/Cp932.h"

#include <algorithm>

TPickListIndex::TPickListIndex(THistoryData& List) : FList(List)
{
    const QList<THistoryStruct>* Items = List.Items();
    if (!Items)
        return;
    FEntries.reserve(Items->size());
    for (const THistoryStruct& Item : *Items) {
        const qsizetype At = FEntries.size();
        FEntries.append({Item, FNextEnd++});
        // A later item of the same saved form stays where it is, as the list's own search never
        // reaches it.
        const QByteArray Bytes = FList.StoredBytes(Item.Text);
        if (!FByBytes.contains(Bytes))
            FByBytes.insert(Bytes, At);
    }
}

bool TPickListIndex::Contains(const QString& Text) const
{
    return FByBytes.contains(FList.StoredBytes(Text));
}

void TPickListIndex::MoveToFront(const QString& Text)
{
    const QByteArray Bytes = FList.StoredBytes(Text);
    const qint64 Place = -(++FFronts);
    FChanged = true;
    if (const auto Found = FByBytes.constFind(Bytes); Found != FByBytes.cend()) {
        TEntry& Entry = FEntries[*Found];
        // An item this index has already moved is in its cut form (one the file brought may be
        // longer than the list keeps): nearly every line of an import names one of those again.
        const bool Cut = Entry.Place < 0 && Entry.Item.Text == Text;
        Entry.Item = {0, Cut ? Entry.Item.Text : Cp932Left(Text, FList.ItemBytes())};
        Entry.Place = Place;
        return;
    }
    FByBytes.insert(Bytes, FEntries.size());
    FEntries.append({{0, Cp932Left(Text, FList.ItemBytes())}, Place});
}

void TPickListIndex::AddIfAbsent(const QString& Text)
{
    const QByteArray Bytes = FList.StoredBytes(Text);
    if (FByBytes.contains(Bytes))
        return;
    FChanged = true;
    FByBytes.insert(Bytes, FEntries.size());
    FEntries.append({{0, Cp932Left(Text, FList.ItemBytes())}, FNextEnd++});
}

void TPickListIndex::Apply()
{
    QList<const TEntry*> Order;
    Order.reserve(FEntries.size());
    for (const TEntry& Entry : FEntries)
        Order.append(&Entry);
    std::sort(Order.begin(), Order.end(), [](const TEntry* A, const TEntry* B) { return A->Place < B->Place; });

    const double Now = DateTimeToDays(QDateTime::currentDateTime());

    QList<THistoryStruct> Items;
    Items.reserve(Order.size());
    for (const TEntry* Entry : Order) {
        THistoryStruct Item = Entry->Item;
        if (Item.Stamp == 0)
            Item.Stamp = Now;
        Items.append(Item);
    }
    FList.SetItems(std::move(Items));
    FChanged = false;
}
