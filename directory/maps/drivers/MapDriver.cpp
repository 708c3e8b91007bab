#include "directory/maps/drivers/MapDriver.h"

#include "directory/maps/host/MapHost.h"
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

TMapDriverView::TMapDriverView(QWidget* Owner) : QDialog(Owner, Qt::FramelessWindowHint | Qt::Tool)
{
    // Nothing of the view is ever seen; it exists to be modal while the map program runs.
    setAttribute(Qt::WA_DontShowOnScreen);
    resize(0, 0);
}

int TMapDriverView::SetRequest(const TMapSearchParams& Params)
{
    FParams = Params;
    FRequest = MapSetRequest(Params, Kind(), Version());
    FPickLat = FRequest.Latitude;
    FPickLon = FRequest.Longitude;
    return FRequest.Result;
}

QWidget* MapMessageWindow(QWidget* Fallback)
{
    // The program's window carries its single-instance mark.
    QWidget* Main = FindWindowByProp(MAIN_INSTANCE_NAME.toUtf8().constData());
    return Main ? Main : Fallback;
}

QWidget* TMapDriverView::MessageWindow() const
{
    return MapMessageWindow(parentWidget());
}

void TMapDriverView::Tell(const QString& Text, unsigned Flags)
{
    (void)MessageBoxPos(MessageWindow(), Text, ProductName, Flags, 0);
}

bool TMapDriverView::WaitUntil(const std::function<bool()>& Done, int LimitMs)
{
    if (Done())
        return true;
    QElapsedTimer Clock;
    Clock.start();
    QEventLoop Loop;
    QTimer Poll;
    bool Reached = false;
    QObject::connect(&Poll, &QTimer::timeout, &Loop, [&] {
        if (Done()) {
            Reached = true;
            Loop.quit();
        } else if (LimitMs >= 0 && Clock.elapsed() >= LimitMs)
            Loop.quit();
    });
    Poll.start(100);
    Loop.exec();
    return Reached;
}

bool TMapDriverView::WaitForWindow(TMapHost& Host, void* Map)
{
    return WaitUntil([&] { return Host.Window(Map) != 0; }, MapWindowWaitLimitMs);
}

void TMapDriverView::WaitWhileOpen(TMapHost& Host, void* Map, const std::function<void()>& Tick)
{
    WaitUntil([&] {
        if (Tick)
            Tick();
        return Host.Alive(Map) == 0;
    });
}

void TMapDriverView::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    PostMessage(this, WM_MAP_START);
}

bool TMapDriverView::event(QEvent* Event)
{
    if (Event->type() == TWindowMessageEvent::EventType() &&
        static_cast<TWindowMessageEvent*>(Event)->Msg == WM_MAP_START) {
        Drive();
        done(1);
        return true;
    }
    return QDialog::event(Event);
}
