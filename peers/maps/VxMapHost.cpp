// The map host: one library standing in for the map programs that are driven through a library,
// an automation object or a map control. There is no map picture: the display and the surface draw
// a plain grid around the place they show, with its coordinates and address. The calls are those of
// MapHostApi.h; each is appended to VX_MAP_LOG, and so are the display's showing ("window": its map
// area and close button inside it), picks and closing. With VX_MAP_PICK="lat,lon" a display picks
// that place and closes as soon as it shows; with VX_MAP_HIDDEN=1 its window never comes up (and
// whatever it is told fails); an address in VX_MAP_REJECT is not found.

#include "peers/maps/MapHostApi.h"
#include "peers/maps/MapHostDraw.h"
#include "platform/sys/FileVersionNote.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstring>

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

VX_FILE_VERSION(1, 0, 0, 0);

namespace {

void Log(const char* Call, const QJsonArray& Args)
{
    const QString Name = qEnvironmentVariable("VX_MAP_LOG");
    if (Name.isEmpty())
        return;
    QFile File(Name);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QJsonObject Line{{QStringLiteral("call"), QString::fromLatin1(Call)}, {QStringLiteral("args"), Args}};
    File.write(QJsonDocument(Line).toJson(QJsonDocument::Compact) + '\n');
}

QString Text(const char* Utf8)
{
    return Utf8 ? QString::fromUtf8(Utf8) : QString();
}

int Answer(const QString& Value, char* Buffer, int Size)
{
    if (!Buffer || Size <= 0)
        return 0;
    QByteArray Bytes = Value.toUtf8().left(Size - 1);
    std::memcpy(Buffer, Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
    Buffer[Bytes.size()] = '\0';
    return static_cast<int>(Bytes.size());
}

// The programs the host stands in for, by every name they are asked for, and the name each
// display carries in its title bar (a class id means nothing to a user).
struct TProgram
{
    const char* Name;
    int Version;
    const char* Title;
};
constexpr TProgram Programs[] = {
    {"AtlasMate", 5, "AtlasMate"},
    {"ProAtlas", 7, "プロアトラス"},
    {"ProAtlasW.Map", 1, "プロアトラスＷ"},
    {"ProAtlasW2.Map", 2, "プロアトラスＷ２"},
    {"ProAtlasW3.Map", 3, "プロアトラスＷ３"},
    {"ProAtlasSV.Map", 4, "プロアトラスSV"},
    {"ProAtlasSV2.Map", 5, "プロアトラスSV2"},
    {"MapFan", 5, "MapFan"},
    {"{5DF26BEB-BD13-423D-AC71-36FAA4CDF8E1}", 1, "MapFan.net"},
    {"{BD890734-2485-40A4-A90E-FD883551A76D}", 2, "MapFan PLANNER"},
    {"Mapple.Document", 1, "Super Mapple Digital"},
    {"Mapple", 2, "Super Mapple Digital"},
};

const TProgram* ProgramOf(const QString& Program)
{
    for (const TProgram& Known : Programs)
        if (Program.compare(QLatin1String(Known.Name), Qt::CaseInsensitive) == 0)
            return &Known;
    return nullptr;
}

int VersionOf(const QString& Program)
{
    const TProgram* Known = ProgramOf(Program);
    return Known ? Known->Version : 0;
}

// The display's layers, widest first. The host has no house maps: the last layer is never there.
const QStringList& DisplayLayers()
{
    static const QStringList List{QStringLiteral("日本全図"), QStringLiteral("地方図"),  QStringLiteral("県別図"),
                                  QStringLiteral("広域図"),   QStringLiteral("市域図"),  QStringLiteral("市街図"),
                                  QStringLiteral("詳細図"),   QStringLiteral("住宅地図")};
    return List;
}

bool Rejected(const QString& Address)
{
    const QString Reject = qEnvironmentVariable("VX_MAP_REJECT");
    return Address.trimmed().isEmpty() || (!Reject.isEmpty() && Address == Reject);
}

// "35/33/20000" to milliseconds of arc; 0 when it does not read so.
int FromMoveText(const QString& Value)
{
    const QStringList Parts = Value.split(QLatin1Char('/'));
    if (Parts.size() != 3)
        return 0;
    bool Ok[3] = {};
    const qint64 Ms =
        Parts[0].toLongLong(&Ok[0]) * 3600000 + Parts[1].toLongLong(&Ok[1]) * 60000 + Parts[2].toLongLong(&Ok[2]);
    return Ok[0] && Ok[1] && Ok[2] && Ms > 0 && Ms < 0x7fffffff ? static_cast<int>(Ms) : 0;
}

QString ToMoveText(int Ms)
{
    if (Ms <= 0)
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(Ms / 3600000)
        .arg(Ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(Ms % 60000, 5, 10, QLatin1Char('0'));
}

// The display: a window of the host with the grid; a double-click picks, closing ends it. It is
// modal to no window at all, which keeps the caller's modal views from blocking it: a program of
// its own, as the display stands for, is never blocked by the caller's windows either.
class TDisplay : public QDialog
{
public:
    explicit TDisplay(const QString& Program)
    {
        setObjectName(QStringLiteral("MapHostDisplay"));
        const TProgram* Known = ProgramOf(Program);
        setWindowTitle(QStringLiteral("地図ホスト - %1").arg(Known ? QString::fromUtf8(Known->Title) : Program));
        setWindowModality(Qt::WindowModal);
        resize(520, 420);
        auto* Close = new QPushButton(QStringLiteral("閉じる"), this);
        Close->setAutoDefault(false);
        FClose = Close;
        auto* Layout = new QVBoxLayout(this);
        auto* Buttons = new QHBoxLayout;
        Buttons->addWidget(new QLabel(QStringLiteral("地図をダブルクリックすると位置を指定します"), this));
        Buttons->addStretch();
        Buttons->addWidget(Close);
        Layout->addStretch();
        Layout->addLayout(Buttons);
        connect(Close, &QPushButton::clicked, this, &QDialog::close);
    }

    void Present()
    {
        if (qEnvironmentVariableIntValue("VX_MAP_HIDDEN") != 0 || isVisible())
            return;
        show();
        FWasUp = true;
        Foreground();
        // Where a person would click, inside the window: the map and the close button.
        const QRect Map = MapArea();
        const QRect Button = FClose->geometry();
        Log("window",
            {Map.x(), Map.y(), Map.width(), Map.height(), Button.x(), Button.y(), Button.width(), Button.height()});
    }

    // The program is not there to be told anything (the user closed its window, or the window never
    // came up): whatever it is told fails.
    bool Gone() const { return !isVisible() && (FWasUp || qEnvironmentVariableIntValue("VX_MAP_HIDDEN") != 0); }

    bool Foreground()
    {
        if (!isVisible())
            return false;
        raise();
        activateWindow();
        return true;
    }

    void Show(int Lat, int Lon, const QString& Address)
    {
        FView = {Lat, Lon, Address};
        update();
        Present();
        // A scripted user picks as soon as there is a place to pick on.
        const QStringList Pick = qEnvironmentVariable("VX_MAP_PICK").split(QLatin1Char(','));
        if (Pick.size() == 2 && !FPickScheduled) {
            FPickScheduled = true;
            QTimer::singleShot(0, this, [this, Pick] {
                Picked(Pick[0].toInt(), Pick[1].toInt());
                close();
            });
        }
    }

    void Picked(int Lat, int Lon)
    {
        FPickLat = Lat;
        FPickLon = Lon;
        Log("picked", {Lat, Lon});
        update();
        if (FEvent)
            FEvent(FContext);
    }

    // Answers whether the layer is there.
    bool ChangeLayer(const QString& Name)
    {
        const qsizetype Index = DisplayLayers().indexOf(Name);
        if (Index < 0 || Index == DisplayLayers().size() - 1)
            return false;
        FLayer = Name;
        update();
        return true;
    }

    // The caller lets go: a display still open lives on until the user closes it.
    void Release()
    {
        FEvent = nullptr;
        FContext = nullptr;
        if (isVisible())
            FReleased = true;
        else
            delete this;
    }

    bool Alive() const { return isVisible(); }
    bool HasPick() const { return FPickLat != 0; }
    int PickLat() const { return FPickLat; }
    int PickLon() const { return FPickLon; }
    const TMapView& View() const { return FView; }
    void SetEvent(TVxMapEventProc Proc, void* Context)
    {
        FEvent = Proc;
        FContext = Context;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter Painter(this);
        const QRect Map = MapArea();
        DrawMapGrid(Painter, Map, FView, FPickLat, FPickLon);
        if (!FLayer.isEmpty()) {
            Painter.setPen(Qt::black);
            Painter.drawText(Map.adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignBottom, FLayer);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* Event) override
    {
        if (!MapArea().contains(Event->position().toPoint()))
            return;
        int Lat = 0, Lon = 0;
        GridToPosition(MapArea(), FView, Event->position().toPoint(), Lat, Lon);
        Picked(Lat, Lon);
    }
    void hideEvent(QHideEvent* Event) override
    {
        QDialog::hideEvent(Event);
        Log("closed", {});
        if (FReleased)
            deleteLater();
    }

private:
    QRect MapArea() const { return rect().adjusted(0, 0, 0, -44); }

    QPushButton* FClose = nullptr;
    TMapView FView;
    QString FLayer;
    int FPickLat = 0;
    int FPickLon = 0;
    TVxMapEventProc FEvent = nullptr;
    void* FContext = nullptr;
    bool FPickScheduled = false;
    bool FReleased = false;
    bool FWasUp = false;
};

TDisplay* DisplayOf(void* Map)
{
    return static_cast<TDisplay*>(Map);
}

// The map surface of the map windows: fixed areas and layers, a place at its centre.
struct TArea
{
    QString Title, Code;
    int South, North, West, East; // milliseconds of arc
};
const QList<TArea>& Areas()
{
    static const QList<TArea> List{
        {QStringLiteral("全国"), QStringLiteral("00"), 72000000, 165600000, 439200000, 532800000},
        {QStringLiteral("関東"), QStringLiteral("13"), 122400000, 133200000, 496800000, 507600000},
        {QStringLiteral("近畿"), QStringLiteral("27"), 118800000, 126000000, 486000000, 496800000},
    };
    return List;
}
struct TLayer
{
    QString Title;
    int Scale, Id;
};
const QList<TLayer>& Layers()
{
    static const QList<TLayer> List{{QStringLiteral("詳細図"), 5000, 1},
                                    {QStringLiteral("市街図"), 25000, 2},
                                    {QStringLiteral("広域図"), 200000, 3}};
    return List;
}

struct TSurface
{
    QString Program;
    QString Area = QStringLiteral("00");
    int Scale = 200000;
    int Id = 3;
    unsigned ScaleBit = 0;
    int Width = 400;
    int Height = 300;
    TMapView View{126000000, 500400000, {}};
};

TSurface* SurfaceOf(void* Surface)
{
    return static_cast<TSurface*>(Surface);
}

// Milliseconds of arc per pixel at the surface's scale.
int Step(const TSurface& S)
{
    if (S.ScaleBit != 0) {
        int Index = 0;
        while (Index < 12 && (0x40000u << Index) != S.ScaleBit)
            ++Index;
        return 1000 << qBound(0, 11 - Index, 11);
    }
    return qMax(1, S.Scale / 5);
}

} // namespace

VX_EXPORT int VxMapVersion(const char* Program)
{
    const int Version = VersionOf(Text(Program));
    Log("version", {Text(Program), Version});
    return Version;
}

VX_EXPORT void* VxMapOpen(const char* Program)
{
    Log("open", {Text(Program)});
    if (VersionOf(Text(Program)) == 0 || !qApp)
        return nullptr;
    auto* Display = new TDisplay(Text(Program));
    Display->Present();
    return Display;
}

VX_EXPORT void VxMapRelease(void* Map)
{
    Log("release", {});
    if (Map)
        DisplayOf(Map)->Release();
}

VX_EXPORT int VxMapWindow(void* Map)
{
    return Map && DisplayOf(Map)->Alive() ? 1 : 0;
}

VX_EXPORT int VxMapAlive(void* Map)
{
    return Map && DisplayOf(Map)->Alive() ? 1 : 0;
}

VX_EXPORT int VxMapForeground(void* Map)
{
    Log("foreground", {});
    return Map && DisplayOf(Map)->Foreground() ? 1 : 0;
}

VX_EXPORT int VxMapNumLayer(void* Map)
{
    return Map && DisplayOf(Map)->Alive() ? static_cast<int>(DisplayLayers().size()) : -1;
}

VX_EXPORT int VxMapLayerName(void* Map, int Index, char* Buffer, int Size)
{
    if (!Map || !DisplayOf(Map)->Alive())
        return -1;
    return Answer(DisplayLayers().value(Index), Buffer, Size);
}

VX_EXPORT int VxMapChangeLayer(void* Map, const char* Name)
{
    Log("changeLayer", {Text(Name)});
    if (!Map || !DisplayOf(Map)->Alive())
        return -1;
    return DisplayOf(Map)->ChangeLayer(Text(Name)) ? 1 : 0;
}

VX_EXPORT int VxMapMoveText(void* Map, const char* Latitude, const char* Longitude)
{
    Log("moveText", {Text(Latitude), Text(Longitude)});
    const int Lat = FromMoveText(Text(Latitude));
    const int Lon = FromMoveText(Text(Longitude));
    if (Map && DisplayOf(Map)->Gone())
        return -1;
    if (!Map || Lat == 0 || Lon == 0)
        return 0;
    DisplayOf(Map)->Show(Lat, Lon, {});
    return 1;
}

VX_EXPORT int VxMapMoveSec256(void* Map, int Longitude, int Latitude, int Scale)
{
    Log("moveSec256", {Longitude, Latitude, Scale});
    if (Map && DisplayOf(Map)->Gone())
        return -1;
    if (!Map || Longitude <= 0 || Latitude <= 0)
        return 1;
    DisplayOf(Map)->Show(static_cast<int>(qint64(Latitude) * 1000 / 256),
                         static_cast<int>(qint64(Longitude) * 1000 / 256), {});
    return 0;
}

VX_EXPORT int VxMapMoveMsec(void* Map, int Longitude, int Latitude)
{
    Log("moveMsec", {Longitude, Latitude});
    if (Map && DisplayOf(Map)->Gone())
        return -1;
    if (!Map || Longitude <= 0 || Latitude <= 0)
        return 0;
    DisplayOf(Map)->Show(Latitude, Longitude, {});
    return 1;
}

VX_EXPORT int VxMapAddress(void* Map, const char* Address)
{
    Log("address", {Text(Address)});
    if (Map && DisplayOf(Map)->Gone())
        return -1;
    if (!Map || Rejected(Text(Address)))
        return 0;
    DisplayOf(Map)->Show(0, 0, Text(Address));
    return 1;
}

// The host's mesh is its own: number 1, X the longitude and Y the latitude in milliseconds.
VX_EXPORT int VxMapBearingsToMesh(void* Mesh, const void* Bearings)
{
    std::uint16_t W[8];
    std::memcpy(W, Bearings, sizeof W);
    const std::int32_t Lon = W[0] * 3600000 + W[1] * 60000 + W[2] * 1000 + W[3];
    const std::int32_t Lat = W[4] * 3600000 + W[5] * 60000 + W[6] * 1000 + W[7];
    unsigned char Out[12] = {};
    if (Lon > 0 && Lat > 0) {
        const std::uint16_t Number = 1;
        std::memcpy(Out, &Number, 2);
        std::memcpy(Out + 4, &Lon, 4);
        std::memcpy(Out + 8, &Lat, 4);
    }
    std::memcpy(Mesh, Out, sizeof Out);
    Log("bearingsToMesh", {W[0], W[1], W[2], W[3], W[4], W[5], W[6], W[7]});
    return 0;
}

VX_EXPORT int VxMapMeshToBearings(const void* Mesh, void* Bearings)
{
    std::int32_t Lon = 0, Lat = 0;
    std::memcpy(&Lon, static_cast<const char*>(Mesh) + 4, 4);
    std::memcpy(&Lat, static_cast<const char*>(Mesh) + 8, 4);
    const auto Split = [](std::int32_t Ms, std::uint16_t* W) {
        Ms = qMax(0, Ms);
        W[0] = static_cast<std::uint16_t>(Ms / 3600000);
        W[1] = static_cast<std::uint16_t>(Ms / 60000 % 60);
        W[2] = static_cast<std::uint16_t>(Ms / 1000 % 60);
        W[3] = static_cast<std::uint16_t>(Ms % 1000);
    };
    std::uint16_t W[8];
    Split(Lon, W);
    Split(Lat, W + 4);
    std::memcpy(Bearings, W, sizeof W);
    Log("meshToBearings", {Lon, Lat});
    return 0;
}

VX_EXPORT int VxMapTelMesh(const char* Tel, char* Result, const char* Folder)
{
    Log("telMesh", {Text(Tel), Text(Folder)});
    if (Result)
        std::memset(Result, 0, 124);
    return 8; // the host keeps no numbers
}

VX_EXPORT int VxMapShowMesh(void* Map, const void* Mesh)
{
    std::int32_t Lon = 0, Lat = 0;
    std::memcpy(&Lon, static_cast<const char*>(Mesh) + 4, 4);
    std::memcpy(&Lat, static_cast<const char*>(Mesh) + 8, 4);
    Log("showMesh", {Lon, Lat});
    if (!Map || DisplayOf(Map)->Gone())
        return 1;
    DisplayOf(Map)->Show(Lat, Lon, {});
    return 0;
}

VX_EXPORT int VxMapLastMesh(void* Map, void* Mesh)
{
    int Lat = 0, Lon = 0;
    if (Map) {
        const TDisplay* D = DisplayOf(Map);
        Lat = D->HasPick() ? D->PickLat() : D->View().Latitude;
        Lon = D->HasPick() ? D->PickLon() : D->View().Longitude;
    }
    unsigned char Out[12] = {};
    const std::uint16_t Number = Lat > 0 ? 1 : 0;
    std::memcpy(Out, &Number, 2);
    std::memcpy(Out + 4, &Lon, 4);
    std::memcpy(Out + 8, &Lat, 4);
    std::memcpy(Mesh, Out, sizeof Out);
    return 0;
}

VX_EXPORT void VxMapSetEvent(void* Map, TVxMapEventProc Proc, void* Context)
{
    Log("setEvent", {});
    if (Map)
        DisplayOf(Map)->SetEvent(Proc, Context);
}

VX_EXPORT int VxMapMark(void* Map, int Which, char* Buffer, int Size)
{
    const TDisplay* D = Map ? DisplayOf(Map) : nullptr;
    const QString Value = D && D->HasPick() ? ToMoveText(Which == 0 ? D->PickLat() : D->PickLon()) : QString();
    Log("mark", {Which, Value});
    return Answer(Value, Buffer, Size);
}

VX_EXPORT int VxMapCentre(void* Map, int* Latitude, int* Longitude)
{
    if (!Map)
        return 0;
    const TDisplay* D = DisplayOf(Map);
    *Latitude = D->HasPick() ? D->PickLat() : D->View().Latitude;
    *Longitude = D->HasPick() ? D->PickLon() : D->View().Longitude;
    return *Latitude != 0 ? 1 : 0;
}

VX_EXPORT int VxMapBeginExitHook()
{
    Log("beginExitHook", {});
    return 1;
}

VX_EXPORT void VxMapEndExitHook()
{
    Log("endExitHook", {});
}

VX_EXPORT void* VxMapSurface(const char* Program)
{
    Log("surface", {Text(Program)});
    const QString Name = Text(Program);
    if (Name != QLatin1String("ProAtlas") && Name != QLatin1String("MapFan"))
        return nullptr;
    return new TSurface{Name};
}

VX_EXPORT void VxMapSurfaceRelease(void* Surface)
{
    delete SurfaceOf(Surface);
}

VX_EXPORT int VxMapAreaCount(void*)
{
    return static_cast<int>(Areas().size());
}

VX_EXPORT int VxMapAreaText(void*, int Index, int What, char* Buffer, int Size)
{
    if (Index < 0 || Index >= Areas().size())
        return Answer({}, Buffer, Size);
    return Answer(What == 0 ? Areas()[Index].Title : Areas()[Index].Code, Buffer, Size);
}

VX_EXPORT int VxMapAreaIncludes(void*, int Index, int Latitude, int Longitude)
{
    if (Index < 0 || Index >= Areas().size())
        return 0;
    const TArea& A = Areas()[Index];
    return Latitude >= A.South && Latitude <= A.North && Longitude >= A.West && Longitude <= A.East ? 1 : 0;
}

VX_EXPORT int VxMapSetArea(void* Surface, const char* Code)
{
    Log("setArea", {Text(Code)});
    SurfaceOf(Surface)->Area = Text(Code);
    // A detailed area opens at the town map, the whole country at the wide one.
    const bool Country = Text(Code) == QLatin1String("00");
    SurfaceOf(Surface)->Scale = Country ? 200000 : 25000;
    SurfaceOf(Surface)->Id = Country ? 3 : 2;
    return 1;
}

VX_EXPORT int VxMapLayerCount(void*)
{
    return static_cast<int>(Layers().size());
}

VX_EXPORT int VxMapLayerInfo(void*, int Index, char* Title, int Size, int* Scale, int* Id)
{
    if (Index < 0 || Index >= Layers().size())
        return Answer({}, Title, Size);
    *Scale = Layers()[Index].Scale;
    *Id = Layers()[Index].Id;
    return Answer(Layers()[Index].Title, Title, Size);
}

VX_EXPORT int VxMapSetLayer(void* Surface, int Scale, int Id)
{
    Log("setLayer", {Scale, Id});
    SurfaceOf(Surface)->Scale = Scale;
    SurfaceOf(Surface)->Id = Id;
    return 1;
}

VX_EXPORT int VxMapLayerNow(void* Surface, int* Scale, int* Id)
{
    *Scale = SurfaceOf(Surface)->Scale;
    *Id = SurfaceOf(Surface)->Id;
    return 1;
}

VX_EXPORT unsigned VxMapScaleMask(void*)
{
    // The host draws the whole country down to 1/12500: the two most detailed scales are missing.
    unsigned Mask = 0;
    for (int Index = 0; Index <= 9; ++Index)
        Mask |= 0x40000u << Index;
    return Mask;
}

VX_EXPORT int VxMapSetScale(void* Surface, unsigned Bit)
{
    Log("setScale", {static_cast<qint64>(Bit)});
    SurfaceOf(Surface)->ScaleBit = Bit;
    return 1;
}

VX_EXPORT int VxMapSearch(void* Surface, const char* Address)
{
    Log("search", {Text(Address)});
    if (Rejected(Text(Address)))
        return 1;
    SurfaceOf(Surface)->View.Address = Text(Address);
    return 0;
}

VX_EXPORT void VxMapMoveTo(void* Surface, int Latitude, int Longitude)
{
    Log("moveTo", {Latitude, Longitude});
    if (Latitude > 0 && Longitude > 0) {
        SurfaceOf(Surface)->View.Latitude = Latitude;
        SurfaceOf(Surface)->View.Longitude = Longitude;
    }
}

VX_EXPORT void VxMapSize(void* Surface, int Width, int Height)
{
    SurfaceOf(Surface)->Width = qMax(1, Width);
    SurfaceOf(Surface)->Height = qMax(1, Height);
}

VX_EXPORT void VxMapToPosition(void* Surface, int X, int Y, int* Latitude, int* Longitude)
{
    const TSurface& S = *SurfaceOf(Surface);
    *Latitude = S.View.Latitude - (Y - S.Height / 2) * Step(S);
    *Longitude = S.View.Longitude + (X - S.Width / 2) * Step(S);
}

VX_EXPORT void VxMapToPoint(void* Surface, int Latitude, int Longitude, int* X, int* Y)
{
    const TSurface& S = *SurfaceOf(Surface);
    *X = S.Width / 2 + (Longitude - S.View.Longitude) / Step(S);
    *Y = S.Height / 2 - (Latitude - S.View.Latitude) / Step(S);
}

VX_EXPORT void VxMapDraw(void* Surface, unsigned char* Bits, int Width, int Height, int Stride)
{
    QImage Image(Bits, Width, Height, Stride, QImage::Format_ARGB32);
    QPainter Painter(&Image);
    const TSurface& S = *SurfaceOf(Surface);
    TMapView View = S.View;
    DrawMapGrid(Painter, QRect(0, 0, Width, Height), View, 0, 0, Step(S));
}
