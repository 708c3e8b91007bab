#pragma once

#include "directory/maps/ProAtlasLogic.h"
#include "directory/maps/windows/MapWindow.h"

class QComboBox;
class QMenu;

// ProAtlas 2002 in a window of its own: map areas and layers, a place picked by double-click,
// copy with the corners' coordinates, print.

// Installed: one of its editions' registry keys has a sub-key, and the host is there.
[[nodiscard]] bool FindProAtlas();

class TProAtlasView : public TMapWindow
{
public:
    explicit TProAtlasView(QWidget* Owner);

    [[nodiscard]] int SetRequest(const TMapSearchParams& Params);
    [[nodiscard]] std::uint32_t PickedLatitude() const { return FPicked.Latitude; }
    [[nodiscard]] std::uint32_t PickedLongitude() const { return FPicked.Longitude; }

    QComboBox* cbxArea = nullptr;
    QComboBox* cbxLayer = nullptr;
    QMenu* pmMap = nullptr; // the map's own menu with the two centring commands

    // Commands 1000 (centre on the picked place) and 1001 (take the place under the mouse).
    void MapCommand(int Command);

protected:
    void showEvent(QShowEvent* Event) override;
    [[nodiscard]] QString PrintTitle() const override { return QStringLiteral("プロアトラス地図"); }
    void FillClipboard(const QImage& Picture) override;

private:
    void ChooseOnShow();
    void FillLayers();
    void MoveTo(TMapPosition Position);

    TMapRequest FRequest;
    TMapPosition FPicked;
    QStringList FAreaCodes;
    QList<TProAtlasLayer> FLayers;
    bool FShown = false;
};
