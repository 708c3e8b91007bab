#include "platform/ui/KeysFirst.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

class TKeysFirstFilter : public QAbstractNativeEventFilter
{
public:
    QPointer<QWidget> Owner;
    std::function<bool(int)> Handler;

    explicit TKeysFirstFilter(Display* X)
    {
        const std::pair<KeySym, int> Keys[] = {{XK_Up, Qt::Key_Up},         {XK_Down, Qt::Key_Down},
                                               {XK_Left, Qt::Key_Left},     {XK_Right, Qt::Key_Right},
                                               {XK_Prior, Qt::Key_PageUp},  {XK_Next, Qt::Key_PageDown},
                                               {XK_Return, Qt::Key_Return}, {XK_KP_Enter, Qt::Key_Enter}};
        for (const auto& [Sym, Key] : Keys)
            if (const KeyCode Code = XKeysymToKeycode(X, Sym); Code != 0)
                FKeys.insert(Code, Key);
    }

    bool nativeEventFilter(const QByteArray& Type, void* Message, qintptr*) override
    {
        if (Type != "xcb_generic_event_t" || !Owner || !Handler)
            return false;
        const auto* Event = static_cast<xcb_generic_event_t*>(Message);
        const uint8_t Kind = Event->response_type & ~0x80;
        if (Kind != XCB_KEY_PRESS && Kind != XCB_KEY_RELEASE)
            return false;
        const auto* Key = reinterpret_cast<const xcb_key_press_event_t*>(Event);
        if (Kind == XCB_KEY_RELEASE)
            return FTaken.remove(Key->detail);
        const auto Found = FKeys.constFind(Key->detail);
        constexpr uint16_t Modifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
        if (Found == FKeys.constEnd() || (Key->state & Modifiers) != 0 || !Owner->hasFocus())
            return false;
        if (!Handler(Found.value()))
            return false;
        FTaken.insert(Key->detail);
        return true;
    }

private:
    QHash<uint8_t, int> FKeys;
    QSet<uint8_t> FTaken; // pressed keys taken, whose release is taken too
};

TKeysFirstFilter* Filter()
{
    static TKeysFirstFilter* Installed = []() -> TKeysFirstFilter* {
        auto* X11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!X11 || !X11->display())
            return nullptr;
        auto* Made = new TKeysFirstFilter(X11->display());
        qGuiApp->installNativeEventFilter(Made);
        return Made;
    }();
    return Installed;
}

} // namespace

void SetKeysFirst(QWidget* Owner, std::function<bool(int Key)> Handler)
{
    if (TKeysFirstFilter* Keys = Filter()) {
        Keys->Owner = Owner;
        Keys->Handler = std::move(Handler);
    }
}

void ClearKeysFirst(QWidget* Owner)
{
    if (TKeysFirstFilter* Keys = Filter(); Keys && Keys->Owner == Owner) {
        Keys->Owner = nullptr;
        Keys->Handler = nullptr;
    }
}
