#include "directory/record/RecordTools.h"

#include "calls/CallTel.h"
#include "calls/RecvView.h"
#include "directory/picklist/InputLst.h"
#include "main/common/CommonForms.h"

void InstallReceiveViewTools(const TDicLookupRun& Run)
{
    ReceiveViewTools.DicSearch = nullptr;
    if (Run)
        ReceiveViewTools.DicSearch = [Run](TReceiveView& View, int Tag) {
            View.DicSearch(Tag, View.DicSearchText(Tag), Run);
        };
    ReceiveViewTools.EditLists = [](TReceiveView& View, int Tag) {
        TInputList Editor(&View);
        CenterForm(&Editor, &View);
        Editor.Prepare(false);
        Editor.SelectList(Tag);
        int Changed = 0;
        if (Editor.exec() == 1)
            Editor.GetChangedLists(Changed);
        return Changed;
    };
    ReceiveViewTools.Dial = [](TReceiveView& View, const QStringList& Numbers) { RunCallsTelephone(&View, Numbers); };
}
