#pragma once

#include "main/update/UpdInfo.h"

class QWidget;

// The two ways the update check runs, with their questions and messages. ProgramPath and SettingsPath
// with their trailing "/".

// Once after start-up when AUTO UPDATE/UpdateCheck is on: silent until an update is found. Answers
// true when the updater was started for a restart: the main window must close now (ClosingForUpdate),
// without asking.
[[nodiscard]] bool RunStartupUpdateCheck(QWidget* MainWindow, const TUpdateParameters& Parameters,
                                         const QString& ProgramPath, const QString& SettingsPath);

// The settings dialog's "アップデートの確認(&U)": reports every outcome over the dialog. Answers true when
// the updater was started for a restart: the dialog closes with result 2 and the program ends
// (ClosedForUpdate, UpdateQuit).
[[nodiscard]] bool RunUpdateCheckByHand(QWidget* Dialog, const TUpdateParameters& Parameters,
                                        const QString& ProgramPath, const QString& SettingsPath);

// The same with the program's settings, ProgramPath and SettingsPath.
[[nodiscard]] bool RunStartupUpdateCheck(QWidget* MainWindow);
[[nodiscard]] bool RunUpdateCheckByHand(QWidget* Dialog);

// The question before an update: the files of Files that need it, each with its version (or its time),
// the update host, and the restart note when RestartNeeded.
[[nodiscard]] QString UpdatePromptText(bool RestartNeeded, const QList<TUpdateFileInfo>& Files, const QString& Host);
