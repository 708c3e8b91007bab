#include "main/pipeline/CallWiring.h"

#include "directory/Dashrule.h"
#include "main/common/MsgBoxPos.h"
#include "main/identify/AppSub.h"
#include "main/pipeline/CallPipeline.h"
#include "main/pipeline/ExtDLL.h"
#include "main/settings/Settings.h"
#include "main/start/MainForm.h"
#include "main/start/MainHooks.h"
#include "main/start/MainStartup.h"
#include "main/start/ProgramStart.h"
#include "platform/sound/WavePlayer.h"

#include <QCursor>
#include <QGuiApplication>

TCallPipeline* CallPipeline = nullptr;
void (*LinkCallWindows)(TCallPipelineLinks& Links) = nullptr;

namespace {

void MarkUnseenCall()
{
    if (!MainForm)
        return;
    MainForm->SetTrayIcon(TRAY_CALL);
    // The menu window's button only shows the mark while the window itself is shown.
    if (MainForm->actMenuVisible->data().toInt() == 0)
        MainForm->ShowHisListButton(true);
    MainForm->UnseenCall = true;
}

// A few pixels aside and straight back: enough for a screen saver or a sleeping display to wake up.
void NudgeCursor()
{
    const QPoint Pos = QCursor::pos();
    QCursor::setPos(Pos.x() <= 4 ? Pos.x() + 5 : Pos.x() - 5, Pos.y());
    QCursor::setPos(Pos);
}

void SetBusyCursor(bool Busy)
{
    if (Busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace

void InstallCallPipeline()
{
    if (!CallPipeline)
        CallPipeline = new TCallPipeline;
    TCallPipelineLinks& L = CallPipeline->Links;
    L.ProgramStarted = [] { return ProgramStarted; };
    L.SpoolFolder = [] { return ::Settings.DataPath; };
    L.SpoolFolderList = [] { return SettingsPath + TCallSpool::FolderListName; };
    L.UIIdle = [] { return UIIdle; };
    L.ShowMessage = [](const QString& Text, unsigned Flags) { (void)ShowMessage(Text, Flags); };
    L.SetBusyCursor = SetBusyCursor;
    L.UnseenCall = [] { return MainForm && MainForm->UnseenCall; };
    L.MarkUnseenCall = MarkUnseenCall;
    L.RingStream = [] { return MainForm && MainForm->RingStream ? *MainForm->RingStream : QByteArray(); };
    L.PlayRing = [](const QByteArray& Wave) { (void)PlayWaveAsync(Wave); };
    // A number the library refuses stays as it came; the history row trims it.
    L.Hyphenate = [](const QString& Number) {
        QString Hyphenated = Number;
        (void)HyphenateTel(Hyphenated);
        return Hyphenated;
    };
    L.IdentifyCaller = ::IdentifyCaller;
    L.ExtDllLoaded = [] { return MainForm && MainForm->ExtDllLoaded; };
    L.CallExtDll = ::CallExtDll;
    L.NudgeCursor = NudgeCursor;
    if (LinkCallWindows)
        LinkCallWindows(L);

    TMainHooks& Hooks = MainHooks();
    Hooks.DeviceMessage = [](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
        return CallPipeline ? CallPipeline->HandleMessage(Msg, WParam, LParam) : 0;
    };
    Hooks.LoadExtDll = [] {
        return ExtDllExists() &&
               LoadExtDll([](const QString& Text) { (void)ShowMessage(Text, MB_OK | MB_ICONSTOP); }) == 0;
    };
    Hooks.UnloadExtDll = FreeExtDll;
    Hooks.WriteQueuedCalls = [] {
        if (CallPipeline)
            CallPipeline->WriteQueuedCalls();
    };
}

void StartCallPipeline()
{
    if (CallPipeline)
        CallPipeline->ProgramHasStarted();
}

void FreeCallPipeline()
{
    delete CallPipeline;
    CallPipeline = nullptr;
}
