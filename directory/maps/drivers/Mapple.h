#pragma once

#include "directory/maps/MappleLogic.h"
#include "directory/maps/drivers/MapDriver.h"

// Super Mapple Digital: version 1 as a document on the host, later versions through the starter
// program. Version 1 gives back the place the map was left at.

// Set by FindMappleProgram.
inline TMappleInstall MappleInstall;

// FindMapple on the program's folder, kept for the view.
[[nodiscard]] bool FindMappleProgram();

class TMappleView : public TMapDriverView
{
public:
    using TMapDriverView::TMapDriverView;

    [[nodiscard]] int SetRequest(const TMapSearchParams& Params);

protected:
    [[nodiscard]] TMapView Kind() const override { return TMapView::Mapple; }
    [[nodiscard]] int Version() const override { return MappleInstall.Version; }
    void Drive() override;

private:
    void DriveDocument();
    // Shows the request's place on the document; false when the program raised an error.
    [[nodiscard]] bool ShowRequest(TMapHost& Host, void* Map);

    std::int32_t FMapClass = 0;
    std::int32_t FZoom = 0;
    QRect FBounds; // kept as the opener's, not used
};
