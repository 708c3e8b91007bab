#pragma once

// The start of a benchmark that runs a window of the program: offscreen, every box logged and
// answered from VX_MSGBOX_ANSWERS, numbers hyphenated through the library of the program folder.
#include "directory/Dashrule.h"
#include "main/settings/Settings.h"
#include "platform/msg/CoreMessage.h"
#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

inline int RunWindowBenchmarks(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir Boxes;
    qputenv("VX_MSGBOX_LOG", QFile::encodeName(Boxes.filePath(QStringLiteral("boxes.jsonl"))));
    QApplication App(argc, argv);
    ProgramPath = QStringLiteral(VX_BIN_DIR "/");
    (void)LoadHyphenLibrary(ProgramPath, ProgramPath + QStringLiteral("Dic/"));
    SetCoreMessageBox([](const QString& Text, const QString& Caption, unsigned Flags) {
        return ShowMessageBox(nullptr, Text, Caption, Flags);
    });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
