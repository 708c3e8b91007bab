#pragma once

#include <QString>

class QWidget;

// The steps of the main window's start-up, shut-down and help menu that the password, update, backup, manual and
// version units provide, each with the program-wide settings and folders, in the shape the main window calls them.

// The start-up password (after the settings were read): true when the start-up may go on.
[[nodiscard]] bool StartupPasswordStep(QWidget* MainWindow);

// After start-up: the update check (true: the updater was started for a restart, close without asking)
// and the automatic backup (with the hourglass).
[[nodiscard]] bool StartupUpdateCheckStep(QWidget* MainWindow);
void RunAutoBackup();

// The manual object the main window owns for the life of the program.
void CreateManual();
[[nodiscard]] bool ManualUnusable();
[[nodiscard]] QString ManualErrorText();
void ShowManualPage(int HelpContext); // 999: the contents page
void CloseManualDocument();
void FreeManual();

// The help menu's "バージョン情報(&A)", modal.
void ShowVersionInfo(QWidget* Owner);
