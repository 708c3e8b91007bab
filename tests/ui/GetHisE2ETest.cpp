// Calls read from the adapter's own log stand in the history before the calls the running program
// takes afterwards: the import writes into the data folder of a program harness, the real program
// starts on it and numbers its next call after the imported rows.

#include "calls/adapter/GetHis.h"
#include "main/device/VxComm.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/msg/WindowMessage.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/VxCallRun.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(GetHisE2ETest, TheProgramsNextCallFollowsTheImportedRows)
{
    TProgramHarness Program;
    Settings = TSettings();
    Settings.Adapter = 3;
    {
        TMessageTarget Target([](std::uint32_t, TWParam, TLParam) { return TLResult(0); });
        auto Wrapper = TVxCommDLL::Create(Target.Handle(), 0, QStringLiteral(VX_BIN_DIR "/"));
        ASSERT_NE(Wrapper, nullptr);
        ASSERT_TRUE(Wrapper->LoadKinds());
        Wrapper->SetKind(3);
        Wrapper->Open();
        ASSERT_EQ(Wrapper->OpenResult(), 0);
        VxCommDLL = Wrapper.get();
        const QString Log = Program.TempPath(QStringLiteral("adapter.txt"));
        QFile File(Log);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write("0312345678,20240105,090807\nP,20240105,091000\n0466123456,2024013,120000\n"
                   "0312345678,20241301,120000\n");
        File.close();
        ASSERT_EQ(RunVxCall({QStringLiteral("history"), Log}).ExitCode, 0);

        DMVxRelvo16 = new TDMVxRelvo16(Program.DataFolder(), Program.DataFolder());
        DMVxRelvo16->CreateRecvHisTable();
        {
            const TScriptedBoxes Boxes("Yes,Yes,OK,Yes,OK");
            TGetReceiveHistory Dialog;
            Dialog.show();
            (void)QTest::qWaitForWindowExposed(&Dialog);
            QTest::qWait(50);
            ASSERT_EQ(Dialog.lbxRecvHis->count(), 4);
            for (int Save = 0; Save < 2; ++Save) {
                Dialog.lbxRecvHis->selectAll();
                Dialog.btnSave->click();
            }
            EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("4件保存しました  "));
        }
        DMVxRelvo16->FreeRecvHisTable();
        delete DMVxRelvo16;
        DMVxRelvo16 = nullptr;
        VxCommDLL = nullptr;
        Wrapper->Close();
    }
    EXPECT_EQ(Program.Rows(QStringLiteral("select min(RecNo), max(RecNo) from RecvHis")), QStringList{"0|7"});

    ASSERT_TRUE(Program.StartAndWaitForLine()) << "the line did not open";
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(9));
    EXPECT_EQ(Program.Rows(QStringLiteral("select max(RecNo) from RecvHis")), QStringList{"8"});
    EXPECT_EQ(Program.Rows(QStringLiteral("select Tel from RecvHis where RecNo = 8")), QStringList{"03-1234-5678"});
}
