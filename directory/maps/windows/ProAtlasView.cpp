#include "directory/maps/windows/ProAtlasView.h"

#include "directory/maps/host/MapHost.h"
#include "platform/sys/Registry.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QSignalBlocker>

bool FindProAtlas()
{
    if (!MapHost() || MapHost()->Version("ProAtlas") == 0)
        return false;
    for (const char* Edition : {"Rdw70", "Rdw60", "Rdw50", "Rdw40", "Rdw30"})
        if (!RegistrySubKeys(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\") + QLatin1String(Edition)).isEmpty())
            return true;
    return false;
}

TProAtlasView::TProAtlasView(QWidget* Owner)
    : TMapWindow(Owner, QStringLiteral("ProAtlas"), QStringLiteral("プロアトラス2002"))
{
    setObjectName(QStringLiteral("ProAtlasView"));
    cbxArea = new QComboBox(this);
    cbxLayer = new QComboBox(this);
    FTools->insertWidget(0, cbxArea);
    FTools->insertWidget(1, cbxLayer);
    char Text[256];
    for (int I = 0; I < FHost->AreaCount(FSurface); ++I) {
        FHost->AreaText(FSurface, I, 0, Text, sizeof Text);
        cbxArea->addItem(MapHostText(Text, sizeof Text));
        FHost->AreaText(FSurface, I, 1, Text, sizeof Text);
        FAreaCodes << MapHostText(Text, sizeof Text);
    }
    // The map's menu: "中心を選択位置にする" first, then "マウス位置を中心にする".
    pmMap = new QMenu(this);
    pmMap->addAction(QStringLiteral("中心を選択位置にする"), this, [this] { MapCommand(1000); });
    pmMap->addSeparator();
    pmMap->addAction(QStringLiteral("マウス位置を中心にする"), this, [this] { MapCommand(1001); });
    pmMap->addSeparator();
    Map->OnContextMenu = [this](QPoint Global) { pmMap->popup(Global); };
    Map->OnDoubleClick = [this](QPoint Point) {
        int Lat = 0, Lon = 0;
        Map->PositionAt(Point, Lat, Lon);
        FPicked = {static_cast<std::uint32_t>(Lat), static_cast<std::uint32_t>(Lon)};
        Map->SetMark(Lat, Lon);
    };
    connect(cbxArea, &QComboBox::activated, this, [this](int Index) {
        FHost->SetArea(FSurface, FAreaCodes.value(Index).toUtf8().constData());
        MoveTo(FPicked);
        FillLayers();
        Map->ClearSelection();
    });
    connect(cbxLayer, &QComboBox::activated, this, [this](int Index) {
        if (Index < 0 || Index >= FLayers.size())
            return;
        FHost->SetLayer(FSurface, FLayers[Index].Scale, FLayers[Index].Id);
        Map->ClearSelection();
    });
}

int TProAtlasView::SetRequest(const TMapSearchParams& Params)
{
    FRequest = MapSetRequest(Params, TMapView::ProAtlas);
    FPicked = {FRequest.Latitude, FRequest.Longitude};
    return FRequest.Result;
}

void TProAtlasView::showEvent(QShowEvent* Event)
{
    TMapWindow::showEvent(Event);
    if (FShown)
        return;
    FShown = true;
    ChooseOnShow();
}

void TProAtlasView::MoveTo(TMapPosition Position)
{
    FHost->MoveTo(FSurface, static_cast<int>(Position.Latitude), static_cast<int>(Position.Longitude));
    Map->SetMark(static_cast<int>(FPicked.Latitude), static_cast<int>(FPicked.Longitude));
}

void TProAtlasView::ChooseOnShow()
{
    FHost->Size(FSurface, Map->width(), Map->height());
    const bool Address = !FRequest.Text.isEmpty();
    const bool Position = FRequest.Latitude != 0 && FRequest.Longitude != 0;
    QList<TProAtlasAreaProbe> Probes;
    if (Address || Position) {
        const QByteArray Text = FRequest.Text.toUtf8();
        for (int I = 0; I < FAreaCodes.size(); ++I) {
            TProAtlasAreaProbe Probe;
            FHost->SetArea(FSurface, FAreaCodes[I].toUtf8().constData());
            int Scale = 0, Id = 0;
            if (Address && FHost->Search(FSurface, Text.constData()) == 0) {
                int Lat = 0, Lon = 0;
                Map->PositionAt(Map->rect().center(), Lat, Lon);
                FHost->LayerNow(FSurface, &Scale, &Id);
                Probe.AddressFound = true;
                Probe.AddressScale = Scale;
                Probe.AddressPosition = {static_cast<std::uint32_t>(Lat), static_cast<std::uint32_t>(Lon)};
            }
            if (FHost->AreaIncludes(FSurface, I, static_cast<int>(FRequest.Latitude),
                                    static_cast<int>(FRequest.Longitude))) {
                FHost->MoveTo(FSurface, static_cast<int>(FRequest.Latitude), static_cast<int>(FRequest.Longitude));
                FHost->LayerNow(FSurface, &Scale, &Id);
                Probe.IncludesPosition = true;
                Probe.PositionScale = Scale;
            }
            Probes << Probe;
        }
    }
    const TProAtlasChoice Choice = ChooseProAtlasArea(Probes, FRequest.Mode, {FRequest.Latitude, FRequest.Longitude});
    cbxArea->setCurrentIndex(Choice.Area);
    FHost->SetArea(FSurface, FAreaCodes.value(Choice.Area).toUtf8().constData());
    if (Choice.Centre) {
        int Lat = 0, Lon = 0;
        Map->PositionAt(Map->rect().center(), Lat, Lon);
        FPicked = {static_cast<std::uint32_t>(Lat), static_cast<std::uint32_t>(Lon)};
    } else {
        int Scale = 0, Id = 0;
        FHost->LayerNow(FSurface, &Scale, &Id);
        FHost->SetLayer(FSurface, Choice.Scale, Id);
        FPicked = Choice.Position;
    }
    MoveTo(FPicked);
    FillLayers();
}

void TProAtlasView::FillLayers()
{
    const QSignalBlocker Quiet(cbxLayer);
    cbxLayer->clear();
    FLayers.clear();
    char Title[256];
    for (int I = 0; I < FHost->LayerCount(FSurface); ++I) {
        TProAtlasLayer Layer;
        FHost->LayerInfo(FSurface, I, Title, sizeof Title, &Layer.Scale, &Layer.Id);
        cbxLayer->addItem(MapHostText(Title, sizeof Title));
        FLayers << Layer;
    }
    int Scale = 0, Id = 0;
    FHost->LayerNow(FSurface, &Scale, &Id);
    const TProAtlasLayerChoice Choice = ChooseProAtlasLayer(FLayers, Scale, Id);
    cbxLayer->setCurrentIndex(Choice.Index);
    if (Choice.SetControl)
        FHost->SetLayer(FSurface, FLayers[0].Scale, FLayers[0].Id);
    Map->update();
}

void TProAtlasView::MapCommand(int Command)
{
    if (Command == 1001) {
        int Lat = 0, Lon = 0;
        Map->PositionAt(Map->LastMouse(), Lat, Lon);
        FPicked = {static_cast<std::uint32_t>(Lat), static_cast<std::uint32_t>(Lon)};
    }
    MoveTo(FPicked);
    Map->ClearSelection();
}

void TProAtlasView::FillClipboard(const QImage& Picture)
{
    const QRect Part = Map->HasSelection() ? Map->Selection() : Map->rect();
    int Lat = 0, Lon = 0;
    Map->PositionAt(Part.topLeft(), Lat, Lon);
    const TMapPosition TopLeft{static_cast<std::uint32_t>(Lat), static_cast<std::uint32_t>(Lon)};
    Map->PositionAt(Part.bottomRight(), Lat, Lon);
    const TMapPosition BottomRight{static_cast<std::uint32_t>(Lat), static_cast<std::uint32_t>(Lon)};
    auto* Data = new QMimeData;
    Data->setImageData(Picture);
    Data->setText(ProAtlasCornerText(TopLeft, BottomRight));
    QApplication::clipboard()->setMimeData(Data);
}
