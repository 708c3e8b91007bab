#include "apps/VxRelvo16/ReceiveViewWiring.h"

#include "calls/CallTel.h"
#include "calls/RecvView.h"
#include "directory/maps/MapButtons.h"
#include "directory/record/RecordTools.h"

#include <QLineEdit>

void InstallReceiveViewTools(const TDicLookupRun& Run)
{
    ReceiveViewTools.DicSearch = nullptr;
    if (Run)
        ReceiveViewTools.DicSearch = [Run](TReceiveView& View, int Tag) {
            View.DicSearch(Tag, View.DicSearchText(Tag), Run);
        };
    ReceiveViewTools.EditLists = [](TReceiveView& View, int Tag) { return RunPickListEditor(&View, Tag); };
    ReceiveViewTools.Dial = [](TReceiveView& View, const QStringList& Numbers) { RunCallsTelephone(&View, Numbers); };
}

void InstallReceiveViewMap()
{
    ReceiveViewTools.Map = [](TReceiveView& View) {
        TCallerMapRequest Request;
        Request.Opener = {&View, View.edtTel1};
        Request.Fields = {View.edtTel1->text(), View.edtTel2->text(), View.edtTdfkn->text(), View.edtAdrs1->text(),
                          View.edtAdrs2->text()};
        Request.Existing = View.IsExisting();
        Request.Latitude = View.CurLatitude();
        Request.Longitude = View.CurLongitude();
        if (const std::optional<TMapPlace> Picked = CallerMapClick(Request))
            View.SetCurPosition(Picked->Latitude, Picked->Longitude);
    };
}
