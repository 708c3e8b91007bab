#pragma once

#include "main/common/HelpContext.h"
#include "main/common/StepHook.h"

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

// The windows and services of the program's other parts, as the main window reaches them. Each part
// fills its hooks when the program starts. An empty hook of a menu command means that part is not in
// the program: the command stays disabled. A start-up or shut-down step the program cannot do without
// (RunStepHook, AskStepHook) is a fault of the wiring when its hook is empty.
struct TMainHooks
{
    // The operation guide (PDF manual).
    std::function<void()> CreateManual;
    std::function<bool()> ManualUnusable;
    std::function<QString()> ManualErrorText;
    std::function<void(int HelpContext)> ShowManualPage; // 999 stands for the first page
    std::function<void()> CloseManualDocument;
    std::function<void()> FreeManual;

    // Asks for a stored start-up password; false when the user gave up.
    std::function<bool(QWidget* Owner)> AskStartupPassword;
    // The settings dialog, shown modally; answers its modal result (1 OK, 2 Cancel).
    std::function<int(QWidget* Owner)> ShowEnvironment;

    // The Fernbook link: the start-up check of the chosen address book (true when it is missing or
    // changed; the backup it asks for runs inside), and starting or raising the Fernbook program.
    std::function<bool(QWidget* Owner)> CheckFbAdrsBook;
    std::function<void(QWidget* Owner)> OpenFernbook;
    // The address-book data module, made beside the program's own while the link is on.
    std::function<void()> CreateFbDataModule;
    std::function<void()> FreeFbDataModule;

    // The telephone-number and hyphenation dictionaries.
    std::function<void()> LoadDictionaries;
    std::function<void()> FreeDictionaries;
    // The extension library in the program folder; LoadExtDll answers whether it was loaded.
    std::function<bool()> LoadExtDll;
    std::function<void()> UnloadExtDll;

    // The update check after start; true when the updater was started for a restart.
    std::function<bool(QWidget* MainWindow)> StartupUpdateCheck;
    std::function<void()> RunAutoBackup;

    // The call-history list: made by the program body, shown by the history command.
    std::function<void()> CreateHistoryList;
    std::function<void()> ShowHistoryList;
    std::function<void()> FreeHistoryList;
    // The device library's notifications (the call pipeline), and writing the calls still queued
    // once the line is closed at the end.
    std::function<std::intptr_t(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam)> DeviceMessage;
    std::function<void()> WriteQueuedCalls;

    // Modal windows of the menu commands.
    std::function<void(QWidget* Owner)> ShowMeiboList;
    std::function<void(QWidget* Owner)> ShowFileImport;
    // Once the program has started: clears what the last end of the program left half done (an
    // export's working folder) and tells the user of an import it cut short.
    std::function<void(QWidget* Owner)> CleanUpAfterLastEnd;
    std::function<void(QWidget* Owner)> ShowFileExport;
    std::function<void(QWidget* Owner)> ShowGetReceiveHistory;
    std::function<void(QWidget* Owner)> ShowListPrint;
    std::function<void(QWidget* Owner)> ShowVersionInfo;
};

[[nodiscard]] TMainHooks& MainHooks();

