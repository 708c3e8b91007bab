#pragma once

#include "directory/maps/MapCmn.h"
#include "platform/msg/WindowMessage.h"

#include <QDialog>
#include <functional>

struct TMapHost;

// What the invisible map views share: a modal form nobody sees that, once shown, posts itself
// WM_MAP_START, drives its map program from there and closes with modal result 1. The request is
// taken by SetRequest; the picked place starts as the request's own, so a failure changes nothing.

inline constexpr std::uint32_t WM_MAP_START = WM_APP + 257;

// How long a map program's window may take to come up before the view gives up on it.
inline int MapWindowWaitLimitMs = 15000;

class TMapDriverView : public QDialog
{
public:
    explicit TMapDriverView(QWidget* Owner);

    [[nodiscard]] int SetRequest(const TMapSearchParams& Params);
    [[nodiscard]] std::uint32_t PickedLatitude() const { return FPickLat; }
    [[nodiscard]] std::uint32_t PickedLongitude() const { return FPickLon; }

protected:
    [[nodiscard]] virtual TMapView Kind() const = 0;
    [[nodiscard]] virtual int Version() const { return 0; }
    virtual void Drive() = 0;

    // A box over the message window (the application's window unless a view says otherwise).
    void Tell(const QString& Text, unsigned Flags);
    [[nodiscard]] virtual QWidget* MessageWindow() const;

    // Runs the event loop until Done answers true (checked every 100 ms) or, with a limit, until
    // LimitMs have passed; answers whether Done was reached.
    static bool WaitUntil(const std::function<bool()>& Done, int LimitMs = -1);
    // Waits until the host's display has its window up, within the limit; false when it never came.
    [[nodiscard]] static bool WaitForWindow(TMapHost& Host, void* Map);
    // Waits until the user has closed the host's display, running Tick at each check while it is open
    // and once after it went, so that a last pick is not lost.
    static void WaitWhileOpen(TMapHost& Host, void* Map, const std::function<void()>& Tick = {});

    void showEvent(QShowEvent* Event) override;
    bool event(QEvent* Event) override;

    TMapRequest FRequest;
    std::uint32_t FPickLat = 0;
    std::uint32_t FPickLon = 0;
    TMapSearchParams FParams;
};

// The application's window, else Fallback.
[[nodiscard]] QWidget* MapMessageWindow(QWidget* Fallback);
