#include "directory/maps/MapButtons.h"

#include "directory/maps/MapLaunch.h"
#include "directory/maps/MapPosSave.h"
#include "directory/maps/MapViewLaunch.h"
#include "directory/record/MeiboVw.h"
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "main/tables/MeiboEntry.h"

#include <QLineEdit>

namespace {

TMapFields FieldsOf(const TMeiboView& View)
{
    return {View.edtTel1->text(), View.edtTel2->text(), View.edtTdfkn->text(), View.edtAdrs1->text(),
            View.edtAdrs2->text()};
}

bool Moved(const TMapSearchParams& Params, int Latitude, int Longitude)
{
    return static_cast<int>(Params.Latitude) != Latitude || static_cast<int>(Params.Longitude) != Longitude;
}

} // namespace

std::optional<TMapPlace> CallerMapClick(const TCallerMapRequest& Request)
{
    // The window's button holds the refill guard and the hourglass around this whole action.
    const int Map = Settings.Map;
    const bool ReturnsPosition = MapReturnsPosition(Map);
    if (ReturnsPosition)
        (void)MessageBoxPos(Request.Opener.Window, Request.Existing ? MsgMapPositionOnChange : MsgMapPositionOnRegister,
                            ProductName, MB_OK | MB_ICONINFORMATION);
    TMapSearchParams Params =
        MakeMapSearchParams(Settings.MapSearchKind, Request.Latitude, Request.Longitude, Request.Fields);
    RunMapLauncher(Map, Request.Opener, Params);
    if (!ReturnsPosition || !Moved(Params, Request.Latitude, Request.Longitude))
        return std::nullopt;
    return TMapPlace{static_cast<int>(Params.Latitude), static_cast<int>(Params.Longitude)};
}

void MeiboViewMapClick(TMeiboView& View)
{
    const THourglass Wait;
    const int Map = Settings.Map;
    bool WriteBack = false;
    if (MapReturnsPosition(Map)) {
        if (View.Inquiry())
            WriteBack = MessageBoxPos(&View, MsgMapSavePosition, ProductName, MB_YESNO | MB_ICONQUESTION) == IDYES;
        else {
            (void)MessageBoxPos(&View, MsgMapPositionOnRegister, ProductName, MB_OK | MB_ICONINFORMATION);
            WriteBack = true;
        }
    }
    TMapSearchParams Params =
        MakeMapSearchParams(Settings.MapSearchKind, View.Latitude(), View.Longitude(), FieldsOf(View));
    RunMapLauncher(Map, {&View, View.edtTel1}, Params);
    if (!WriteBack || !Moved(Params, View.Latitude(), View.Longitude()))
        return;
    const int Latitude = static_cast<int>(Params.Latitude);
    const int Longitude = static_cast<int>(Params.Longitude);
    View.SetPosition(Latitude, Longitude);
    if (!View.Inquiry())
        return; // a new entry takes the place with its registration
    switch (SaveMapPosition(View.Data(), View.ShownRecord().RecNo, Latitude, Longitude, QDateTime::currentDateTime())) {
    case TMapPosSaveResult::Written:
        View.SetShownPosition(Latitude, Longitude); // the entry as it now stands in the table
        break;
    case TMapPosSaveResult::Missing:
        (void)MessageBoxPos(&View, MsgRowMissing, ProductName, MB_OK | MB_ICONSTOP);
        break;
    case TMapPosSaveResult::Failed:
        // The user agreed to the save: a write that did not happen must not pass in silence. The
        // window keeps the place apart from the entry as read, so its change button still writes it.
        (void)MessageBoxPos(&View, WordUpdate + MsgNotDone, ProductName, MB_OK | MB_ICONSTOP);
        break;
    }
}

void InstallMapButtons()
{
    MeiboViewTools.Map = MeiboViewMapClick;
    InstallMapViewLaunchers();
}
