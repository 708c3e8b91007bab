#pragma once

#include <QString>
#include <functional>

class QWidget;

// The one door through which the update check, the manual, the version dialog and the password
// dialog show their message boxes: caption "Tolvane１６", centred over a window or placed by the
// window system. It stays this small so that it can hand over to the positioned message box in one
// place.

enum class TMsgIcon
{
    Information,
    Stop,
    Warning,
    Question
};

inline constexpr int MsgResultOk = 1;
inline constexpr int MsgResultYes = 6;
inline constexpr int MsgResultNo = 7;

struct TMsgRequest
{
    QWidget* Over = nullptr; // centred over this window; null: placed by the window system
    QString Text;
    TMsgIcon Icon = TMsgIcon::Information;
    bool YesNo = false;
    bool DefaultNo = false;
};

// Answers MsgResultOk, MsgResultYes or MsgResultNo.
int ShowProgramMessage(const TMsgRequest& Request);

// Tests answer the boxes themselves (and see their texts); an empty hook shows them again.
using TMsgHook = std::function<int(const TMsgRequest&)>;
void SetProgramMessageHook(TMsgHook Hook);
