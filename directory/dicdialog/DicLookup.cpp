#include "directory/dicdialog/DicLookup.h"

#include "directory/dicdialog/DicSch.h"
#include "main/common/CommonForms.h"

TDicLookupRun DictionaryDialog()
{
    return [](QWidget* Owner, bool EarlierSearch, int Kind, const QString& Text) -> std::optional<TDicLookup> {
        TDicSearch Dialog(Owner);
        CenterForm(&Dialog, Owner);
        Dialog.SetTabs(7, EarlierSearch);
        // 0: the user chooses; 1: the dialog chose by itself; anything else: nothing to show.
        const int Started = Dialog.StartSearch(Kind, Text);
        if (Started != 0 && Started != 1)
            return std::nullopt;
        if (Started == 0 && Dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        TDicLookup Lookup;
        Lookup.Kind = Dialog.ResultKind();
        if (Lookup.Kind == TDicSearch::DicResultCaller)
            Dialog.GetResult(Lookup.Caller);
        else
            Dialog.GetResult(Lookup.Address);
        return Lookup;
    };
}
