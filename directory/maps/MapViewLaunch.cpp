#include "directory/maps/MapViewLaunch.h"

#include "directory/maps/drivers/AtlsMate.h"
#include "directory/maps/drivers/MapFanNet.h"
#include "directory/maps/drivers/Mapple.h"
#include "directory/maps/drivers/ProAtlsW.h"
#include "directory/maps/windows/MapFanView.h"
#include "directory/maps/windows/ProAtlasView.h"
#include "main/common/CommonForms.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"

#include <QLineEdit>
#include <memory>

namespace {

constexpr int MapHelpContext = 53;

// Holds a view in its program's variable for the launcher's run; the view is released and the
// variable cleared when the scope ends, an exception passing included.
template <class TView> class THeldView
{
public:
    template <class... TArgs> explicit THeldView(TView*& Slot, TArgs&&... Args) : FSlot(Slot)
    {
        FView = std::make_unique<TView>(std::forward<TArgs>(Args)...);
        FSlot = FView.get();
    }
    ~THeldView()
    {
        FView.reset();
        FSlot = nullptr;
    }
    THeldView(const THeldView&) = delete;
    THeldView& operator=(const THeldView&) = delete;
    TView* operator->() const { return FView.get(); }
    TView* get() const { return FView.get(); }

private:
    TView*& FSlot;
    std::unique_ptr<TView> FView;
};

template <class TView> void TakePicked(const TView& View, TMapSearchParams& Params)
{
    Params.Latitude = View.PickedLatitude();
    Params.Longitude = View.PickedLongitude();
}

void LaunchAtlasMate(const TMapOpener& Opener, TMapSearchParams& Params)
{
    if (!FindAtlasMate()) {
        ShowMapNotFound(Opener, 0);
        return;
    }
    THeldView<TAtlasMateView> View(AtlasMateView, Opener.Window);
    const int Result = View->SetRequest(Params);
    if (Result == MapNothingByPosition || Result == MapNothingByText) {
        (void)MessageBoxPos(Opener.Window, MsgMapEnterTel, ProductName, MB_OK | MB_ICONINFORMATION);
        if (Opener.FirstTel)
            Opener.FirstTel->setFocus();
        return;
    }
    View->exec();
    TakePicked(*View.get(), Params);
}

void LaunchProAtlas(const TMapOpener& Opener, TMapSearchParams& Params)
{
    if (!FindProAtlas()) {
        ShowMapNotFound(Opener, 1);
        return;
    }
    THeldView<TProAtlasView> View(ProAtlasView, Opener.Window);
    CenterForm(View.get(), Opener.Window);
    SetHelpContext(View.get(), MapHelpContext);
    (void)View->SetRequest(Params);
    View->exec();
    TakePicked(*View.get(), Params);
}

void LaunchProAtlasW(const TMapOpener& Opener, TMapSearchParams& Params)
{
    if (!FindProAtlasW()) {
        ShowMapNotFound(Opener, 2);
        return;
    }
    Params.ExitHook = true;
    THeldView<TProAtlasWView> View(ProAtlasWView, Opener.Window);
    (void)View->SetRequest(Params);
    View->exec();
    View->GetPosition(Params.Latitude, Params.Longitude);
}

void LaunchMapFan(const TMapOpener& Opener, TMapSearchParams& Params)
{
    if (!FindMapFan()) {
        ShowMapNotFound(Opener, 5);
        return;
    }
    THeldView<TMapFanView> View(MapFanView, Opener.Window);
    CenterForm(View.get(), Opener.Window);
    SetHelpContext(View.get(), MapHelpContext);
    (void)View->SetRequest(Params);
    View->exec();
    View->GetPosition(Params.Latitude, Params.Longitude);
}

void LaunchMapFanNet(const TMapOpener& Opener, TMapSearchParams& Params)
{
    if (!FindMapFanNet()) {
        ShowMapNotFound(Opener, 6);
        return;
    }
    THeldView<TMapFanNetView> View(MapFanNetView, Opener.Window);
    (void)View->SetRequest(Params);
    View->exec();
}

void LaunchMapFanPLAN(const TMapOpener& Opener, TMapSearchParams& Params)
{
    if (!FindMapFanPLAN()) {
        ShowMapNotFound(Opener, 7);
        return;
    }
    THeldView<TMapFanPLANView> View(MapFanPLANView, Opener.Window);
    View->SetOwnerHandle(Opener.Window);
    (void)View->SetRequest(Params);
    View->exec();
}

void LaunchMapple(const TMapOpener& Opener, TMapSearchParams& Params)
{
    if (!FindMappleProgram()) {
        ShowMapNotFound(Opener, 8);
        return;
    }
    Params.MapClass = -1;
    Params.Zoom = 300;
    if (Opener.Window) {
        const QRect Frame = Opener.Window->frameGeometry();
        Params.Bounds = {Frame.left(), Frame.top(), Frame.right() + 1, Frame.bottom() + 1};
    }
    THeldView<TMappleView> View(MappleView, Opener.Window);
    (void)View->SetRequest(Params);
    View->exec();
    TakePicked(*View.get(), Params);
}

} // namespace

void InstallMapViewLaunchers()
{
    auto& L = MapLaunchers();
    L[0] = LaunchAtlasMate;
    L[1] = LaunchProAtlas;
    L[2] = LaunchProAtlasW;
    L[5] = LaunchMapFan;
    L[6] = LaunchMapFanNet;
    L[7] = LaunchMapFanPLAN;
    L[8] = LaunchMapple;
}
