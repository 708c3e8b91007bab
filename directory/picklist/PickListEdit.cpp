#include "directory/picklist/PickListEdit.h"

#include "main/common/CommonText.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"

TPickList TPickList::Of(const QStringList& Items)
{
    TPickList List;
    List.Items = Items;
    List.Selected = QList<bool>(Items.size(), false);
    return List;
}

QList<int> TPickList::SelectedIndexes() const
{
    QList<int> Indexes;
    for (int I = 0; I < Selected.size(); ++I)
        if (Selected[I])
            Indexes << I;
    return Indexes;
}

void TPickList::SelectOnly(int Index)
{
    Selected.fill(false);
    if (Index >= 0 && Index < Selected.size())
        Selected[Index] = true;
    Current = Index;
}

QString RefusalText(TPickRefusal Refusal)
{
    switch (Refusal) {
    case TPickRefusal::NameBlank:
        return MsgNameBlank;
    case TPickRefusal::NameExists:
        return MsgNameExists;
    case TPickRefusal::NothingSelected:
        return MsgSelectToRename;
    case TPickRefusal::SeveralSelected:
        return MsgSelectOneToRename;
    case TPickRefusal::None:
        break;
    }
    return {};
}

TPickRefusal AddName(TPickList& List, const QString& Name)
{
    const QString Text = TrimBlanks(Name);
    if (Text.isEmpty())
        return TPickRefusal::NameBlank;
    if (List.Items.contains(Text, Qt::CaseSensitive))
        return TPickRefusal::NameExists;
    List.Items.prepend(Text);
    List.Selected.prepend(false);
    List.SelectOnly(0);
    return TPickRefusal::None;
}

TPickRefusal RenameSelected(TPickList& List, const QString& Name)
{
    const QString Text = TrimBlanks(Name);
    if (Text.isEmpty())
        return TPickRefusal::NameBlank;
    const QList<int> Chosen = List.SelectedIndexes();
    if (Chosen.isEmpty())
        return TPickRefusal::NothingSelected;
    if (Chosen.size() > 1)
        return TPickRefusal::SeveralSelected;
    for (int I = 0; I < List.Items.size(); ++I)
        if (I != Chosen[0] && List.Items[I] == Text)
            return TPickRefusal::NameExists;
    List.Items[Chosen[0]] = Text;
    List.Current = Chosen[0];
    return TPickRefusal::None;
}

void DeleteSelected(TPickList& List)
{
    const QList<int> Chosen = List.SelectedIndexes();
    for (auto It = Chosen.crbegin(); It != Chosen.crend(); ++It) {
        List.Items.removeAt(*It);
        List.Selected.removeAt(*It);
    }
    if (List.Current >= List.Items.size())
        List.Current = static_cast<int>(List.Items.size()) - 1;
}

bool MoveSelected(TPickList& List, bool Up)
{
    const int Count = static_cast<int>(List.Items.size());
    const QList<int> Chosen = List.SelectedIndexes();
    if (Chosen.isEmpty() || (Up ? Chosen.first() == 0 : Chosen.last() == Count - 1))
        return false;
    // Each selected item trades places with its unselected neighbour, walking from the end the
    // block moves towards, so that a run of selected items moves as one.
    const int Step = Up ? -1 : 1;
    for (int N = 0; N < Count; ++N) {
        const int I = Up ? N : Count - 1 - N;
        if (!List.Selected[I])
            continue;
        List.Items.swapItemsAt(I, I + Step);
        List.Selected.swapItemsAt(I, I + Step);
        if (List.Current == I)
            List.Current = I + Step;
        else if (List.Current == I + Step)
            List.Current = I;
    }
    return true;
}

TMoveButtons MoveButtonsFor(const TPickList& List)
{
    const QList<int> Chosen = List.SelectedIndexes();
    if (Chosen.isEmpty())
        return {};
    return {Chosen.first() != 0, Chosen.last() != List.Items.size() - 1};
}

void TPickListTabs::Prepare(bool RankOnly)
{
    FCount = RankOnly ? 1 : MaxTabs;
    FTabs = {};
}

THistoryData* TPickListTabs::ListOf(int Index)
{
    return Index == 0 ? RankHistory : SelItemHistory.at(static_cast<size_t>(Index - 1));
}

QString TPickListTabs::Caption(int Index)
{
    const QString Names[] = {QStringLiteral("ランク"), Settings.SelectItem1, Settings.SelectItem2,
                             Settings.SelectItem3};
    return QLatin1Char(' ') + Names[Index] + QLatin1Char(' ');
}

QStringList TPickListTabs::ShownItems(int Index) const
{
    if (const auto& Copy = Tab(Index).ItemsCopy)
        return *Copy;
    QStringList Items;
    if (const THistoryData* List = ListOf(Index); List && List->Items())
        for (const THistoryStruct& Item : *List->Items())
            Items << Item.Text;
    return Items;
}

int TPickListTabs::ChangedBits() const
{
    int Bits = 0;
    for (int I = 0; I < FCount; ++I)
        if (Tab(I).Changed)
            Bits |= 1 << I;
    return Bits;
}

QString TPickListTabs::CancelQuestion() const
{
    QString Text;
    for (int I = 0; I < FCount; ++I)
        if (Tab(I).Changed)
            Text += Caption(I) + QStringLiteral("\r\n");
    return Text + QStringLiteral("\r\n以上のリストが変更されています  \r\n"
                                 "このままキャンセルすると変更内容が破棄されますが  \r\nよろしいですか？  ");
}

QString TPickListTabs::SaveChanged()
{
    for (int I = 0; I < FCount; ++I) {
        const TPickListTab& T = Tab(I);
        THistoryData* List = ListOf(I);
        if (!T.Changed || !T.ItemsCopy || !List)
            continue;
        const QList<THistoryStruct> Before = List->Items() ? *List->Items() : QList<THistoryStruct>();
        const QString Failed = List->FileName() + QStringLiteral("\r\nデータが書き込めませんでした");
        const auto PutBack = [&] {
            if (!List->Items())
                return;
            List->Clear();
            for (const THistoryStruct& Item : Before)
                List->Add(Item.Text, Item.Stamp);
        };
        try {
            // The stamps fall from n to 1 down the list, so that the list keeps this order however
            // its users sort it by recency.
            const int N = static_cast<int>(T.ItemsCopy->size());
            List->Clear();
            for (int J = 0; J < N; ++J)
                List->Add(T.ItemsCopy->at(J), N - J);
            if (!List->Save()) {
                PutBack();
                return Failed;
            }
        } catch (const EHistoryDataError& Error) {
            PutBack();
            return Error.Message();
        }
    }
    return {};
}
