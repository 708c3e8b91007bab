#pragma once

// The menu roads of the running program to the text import and export, as a person takes them.
#include "tests/support/ProgramHarness.h"

#include <gtest/gtest.h>

// The import window from the menu, the file from the prompt, the automatic mapping and "取り込み(&I)";
// the boxes on the way are answered from the program's VX_MSGBOX_ANSWERS.
inline void RunImportWindow(TProgramHarness& Program)
{
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("mmImportFile"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("FileImport")));
    Program.AnswerDialog(QStringLiteral("FileImport"), {}, QStringLiteral("bbtnBrowseFile"));
    Program.AnswerDialog(QStringLiteral("FileImport"), {}, QStringLiteral("bbtnAllSet"));
    Program.AnswerDialog(QStringLiteral("FileImport"), {}, QStringLiteral("btnImport"));
}

// The export window from the menu, plain text of every item, and the history's export list.
inline void OpenHistoryExportList(TProgramHarness& Program)
{
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("mmExportFile"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("FileExport")));
    Program.AnswerDialog(QStringLiteral("FileExport"), {}, QStringLiteral("rbNormal"));
    Program.AnswerDialog(QStringLiteral("FileExport"), {}, QStringLiteral("bbtnAllSet"));
    Program.AnswerDialog(QStringLiteral("FileExport"), {}, QStringLiteral("btnList"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("RecvHisFileExportList")));
}
