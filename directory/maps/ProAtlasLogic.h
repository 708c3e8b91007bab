#pragma once

#include "directory/maps/AtlsMateLogic.h"

#include <QList>
#include <QString>
#include <cstdint>

// The choices of the ProAtlas window that do not need its map control.

// What the control told about one map area while the window looked for the record.
struct TProAtlasAreaProbe
{
    bool AddressFound = false;
    int AddressScale = 0;         // the layer scale at the found address
    TMapPosition AddressPosition; // the map centre there
    bool IncludesPosition = false;
    int PositionScale = 0; // the layer scale after moving to the coordinates
};

struct TProAtlasChoice
{
    int Area = 0;
    int Scale = 0;
    TMapPosition Position;
    bool Centre = false; // nothing found: the first area, and the picked position is its centre
};

// The area whose map shows the record in most detail (the smallest layer scale; on equal scales
// the earlier area). Mode 1 prefers where the address was found, mode 0 the coordinates; each
// falls back to the other.
[[nodiscard]] TProAtlasChoice ChooseProAtlasArea(const QList<TProAtlasAreaProbe>& Areas, int Mode,
                                                 TMapPosition Request);

struct TProAtlasLayer
{
    int Scale = 0;
    int Id = 0;
};
struct TProAtlasLayerChoice
{
    int Index = -1;          // -1: the area has no layers
    bool SetControl = false; // the control's layer is none of them: the first is set
};
[[nodiscard]] TProAtlasLayerChoice ChooseProAtlasLayer(const QList<TProAtlasLayer>& Layers, int Scale, int Id);

// "35度33分20.005秒" for 128000005 milliseconds of arc.
[[nodiscard]] QString ProAtlasDmsText(std::uint32_t Milliseconds);

// The text that goes with a copied map: its top-left and bottom-right corners.
[[nodiscard]] QString ProAtlasCornerText(TMapPosition TopLeft, TMapPosition BottomRight);
