#include "main/start/ProgramBody.h"

#include "main/common/CommonForms.h"
#include "main/common/CommonSys.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/pipeline/CallWiring.h"
#include "main/settings/EnvApply.h"
#include "main/settings/Settings.h"
#include "main/start/MainForm.h"
#include "main/start/MainHooks.h"
#include "main/start/MainWiring.h"
#include "main/start/ProgramLook.h"
#include "main/start/ProgramStart.h"
#include "main/start/SplashForm.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/TermSignal.h"

#include <QApplication>
#include <memory>

const char* const AlreadyRunningMessage = "既に「Tolvane１６」は起動しています  ";

int RunVxRelvo16(int& argc, char** argv)
{
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VxRelvo16"));
    QApplication::setOrganizationName(QStringLiteral("Pelmar"));
    // The program lives in the notification area: a hidden menu window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    SetUpProgramLook();

    // A later start brings the running copy forward, says so and ends.
    std::unique_ptr<TSingleInstance> Instance;
    if (IsAlreadyRunning(MAIN_INSTANCE_NAME, true, &Instance)) {
        (void)ShowMessageBox(nullptr, QString::fromUtf8(AlreadyRunningMessage), ProductName,
                             MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    SetUpHintDelays();
    // Logic without windows (library bindings, tables, identification) asks through this one box.
    SetCoreMessageBox([](const QString& Text, const QString& Caption, unsigned Flags) {
        return MessageBoxPos(nullptr, Text, Caption, Flags);
    });

    InstallMainHooks();
    InitProgramFolders();
    if (ReadEarlySettings().ViewSplash)
        ShowSplash();
    ProgramStarted = false;

    const QByteArray InstanceMark = MAIN_INSTANCE_NAME.toUtf8();
    MainForm = new TMainForm;
    MainForm->setProperty(InstanceMark.constData(), 1);
    EnvHooks().LineOwner = MainForm->WindowHandle();
    QObject::connect(Instance.get(), &TSingleInstance::ActivationRequested,
                     [&InstanceMark] { ActivateMarkedWindow(InstanceMark.constData()); });
    // Ended by the desktop without being asked (log-out, shut-down): as at the end of a session that
    // lets nobody ask, the program closes, saving what it saves at every end.
    WatchTerminationSignals([] {
        ProgramEnding = true; // also before the main window exists
        if (MainForm)
            MainForm->SessionEnding(false);
    });
    const bool Started = MainForm->Startup();
    RunStepHook(MainHooks().CreateHistoryList, "CreateHistoryList");
    ProgramStarted = true;

    // A session that ended during the start-up ended the program with it: the main loop, which would
    // forget that it was told to quit, is not entered.
    int Result = 0;
    if (Started && !ProgramEnding) {
        StartCallPipeline();
        Result = QApplication::exec();
    }

    MainForm->setProperty(InstanceMark.constData(), QVariant());
    // The windows go in the reverse order of their making.
    RunStepHook(MainHooks().FreeHistoryList, "FreeHistoryList");
    delete MainForm;
    FreeCallPipeline();
    return Result;
}
