#include "directory/record/RecordTools.h"

#include "directory/picklist/InputLst.h"
#include "main/common/CommonForms.h"

int RunPickListEditor(QWidget* Owner, int Tag)
{
    TInputList Editor(Owner);
    CenterForm(&Editor, Owner);
    Editor.Prepare(false);
    Editor.SelectList(Tag);
    int Changed = 0;
    if (Editor.exec() == 1)
        Editor.GetChangedLists(Changed);
    return Changed;
}
