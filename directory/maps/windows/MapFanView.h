#pragma once

#include "directory/maps/windows/MapWindow.h"

class QComboBox;
class QMenu;

// MapFan IV / V in a window of its own: twelve scales, a place picked by double-click, copy and
// print. The window counts in 1/256 second of arc, as the program does.

// Installed: a version 4 or later under its registry key, and the host is there.
[[nodiscard]] bool FindMapFan();

class TMapFanView : public TMapWindow
{
public:
    explicit TMapFanView(QWidget* Owner);

    [[nodiscard]] int SetRequest(const TMapSearchParams& Params);
    void GetPosition(std::uint32_t& Latitude, std::uint32_t& Longitude) const;

    QComboBox* cbxScale = nullptr;
    QMenu* pmMapFan = nullptr;
    [[nodiscard]] int ScaleIndex() const { return FScale; }

    void ChooseScale(int Index);
    void CentreOnPicked();
    void CentreOnMouse();

protected:
    void showEvent(QShowEvent* Event) override;
    [[nodiscard]] QString PrintTitle() const override { return QStringLiteral("MapFan 地図"); }
    void FillClipboard(const QImage& Picture) override;

private:
    void ChooseOnShow();
    void SetMark(std::int64_t Lat256, std::int64_t Lon256);

    TMapRequest FRequest;
    std::int64_t FLat256 = 0; // the picked place
    std::int64_t FLon256 = 0;
    int FScale = -1;
    bool FShown = false;
    QList<QAction*> FScaleItems;
};
