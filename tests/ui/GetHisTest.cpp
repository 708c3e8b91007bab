// The adapter history import against the real stand-in adapter: vxcall stores the adapter's log,
// the dialog reads it through the device library and appends the chosen calls to RecvHis.DB.

#include "calls/adapter/GetHis.h"

#include "directory/Dashrule.h"
#include "main/device/VxComm.h"
#include "main/settings/Settings.h"
#include "platform/msg/WindowMessage.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/VxCallRun.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QString ReadQuestion = QStringLiteral("接続機器から着信履歴を読み込みます  \r\nよろしいですか？  \r\n\r\n"
                                            "※機器構成によっては時間がかかることがあります  \r\n"
                                            "また読み込み中は着信を確認できません  ");

class GetHisTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        ASSERT_EQ(LoadHyphenLibrary(BinFolder, BinFolder + QStringLiteral("Dic/")), 0);
        Wrapper = TVxCommDLL::Create(Target.Handle(), 0, BinFolder);
        ASSERT_NE(Wrapper, nullptr);
        ASSERT_TRUE(Wrapper->LoadKinds());
        VxCommDLL = Wrapper.get();
    }
    void TearDown() override
    {
        Dialog.reset();
        if (Wrapper)
            Wrapper->Close();
        VxCommDLL = nullptr;
        Wrapper.reset();
        FreeHyphenLibrary();
        Settings = TSettings();
    }
    // The line of adapter Kind opened, holding the calls of Lines ("number,date,time" each).
    void OpenLine(int Kind, const QByteArray& Lines)
    {
        Settings.Adapter = Kind;
        Wrapper->SetKind(Kind);
        Wrapper->Open();
        ASSERT_EQ(Wrapper->OpenResult(), 0);
        const QString File = Folder.filePath(QStringLiteral("history.txt"));
        QFile Out(File);
        ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
        Out.write(Lines);
        Out.close();
        const TVxCallRun Run = RunVxCall({QStringLiteral("history"), File});
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err.toStdString();
    }
    // Shows the dialog as the main window does and lets its first activation read the log.
    void Show()
    {
        Dialog = std::make_unique<TGetReceiveHistory>();
        Dialog->ReloadHistoryList = [this] { ++Reloads; };
        Dialog->show();
        (void)QTest::qWaitForWindowExposed(Dialog.get());
        QTest::qWait(50);
    }
    QStringList Lines() const
    {
        QStringList Result;
        for (int Row = 0; Row < Dialog->lbxRecvHis->count(); ++Row)
            Result << Dialog->lbxRecvHis->item(Row)->text();
        return Result;
    }
    void SaveAll()
    {
        Dialog->lbxRecvHis->selectAll();
        Dialog->btnSave->click();
    }

    TMessageTarget Target{[](std::uint32_t, TWParam, TLParam) { return TLResult(0); }};
    std::unique_ptr<TVxCommDLL> Wrapper;
    QTemporaryDir Folder;
    TRecvData Data;
    std::unique_ptr<TGetReceiveHistory> Dialog;
    int Reloads = 0;
};

const QByteArray FourCalls = "0312345678,20240105,090807\n"
                             "P,20240105,091000\n"
                             "0466123456,2024013,120000\n"
                             "0312345678,20241301,120000\n";

} // namespace

TEST_F(GetHisTest, TheLogIsListedAndSavedAsNewCallsEachTimeItIsSaved)
{
    OpenLine(3, FourCalls);
    const TScriptedBoxes Boxes("Yes,Yes,OK,Yes,OK");
    Show();
    EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("着信履歴取り込み"));
    EXPECT_EQ(Lines(), (QStringList{"2024/01/05\t09:08:07\t03-1234-5678\t", "2024/01/05\t09:10:00\t匿名着信\t",
                                    "2024013\t12:00:00\t0466-12-3456\t", "2024/13/01\t12:00:00\t03-1234-5678\t"}));
    // Enter in the list goes on to saving.
    Dialog->lbxRecvHis->setFocus();
    QTest::keyClick(Dialog->lbxRecvHis, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog->btnSave);
    Dialog->lbxRecvHis->item(1)->setSelected(true);
    ExpectLabelsWhole(*Dialog, QStringLiteral("import"));
    SaveScreenshot(*Dialog, QStringLiteral("GetReceiveHistory"));
    SaveAll();
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT RecNo, SchTel, Tel, Division FROM RecvHis"),
              (QStringList{"0|0312345678|03-1234-5678|0", "1|P|P|0", "2|0466123456|0466-12-3456|0",
                           "3|0312345678|03-1234-5678|0"}));
    // The date part of the two broken dates is 0: only the time of day is left.
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT RecNo FROM RecvHis WHERE RecvDateTime < 1"), (QStringList{"2", "3"}));
    EXPECT_EQ(Reloads, 1);
    EXPECT_TRUE(Dialog->isVisible());
    SaveAll();
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT max(RecNo), count(*) FROM RecvHis"), QStringList{"7|8"});
    EXPECT_EQ(Boxes.Texts(),
              (QStringList{ReadQuestion, "4件のデータを着信対応履歴ファイルに保存します  \r\nよろしいですか？  ",
                           "4件保存しました  ", "4件のデータを着信対応履歴ファイルに保存します  \r\nよろしいですか？  ",
                           "4件保存しました  "}));
}

TEST_F(GetHisTest, AFullCounterStopsTheSaveWithItsOwnMessage)
{
    Data.AddCall(99999, QStringLiteral("03-1111-2222"));
    OpenLine(3, FourCalls);
    const TScriptedBoxes Boxes("Yes,Yes,OK");
    Show();
    SaveAll();
    EXPECT_EQ(Boxes.Texts().mid(2),
              QStringList{QStringLiteral("データ管理カウンタが一杯になり登録できませんでした  \r\n"
                                         "最適化処理を行うことにより登録できるようになります  ")});
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT count(*) FROM RecvHis"), QStringList{"1"});
    EXPECT_EQ(Reloads, 0);
}

TEST_F(GetHisTest, NoHistoryOrNoToTheQuestionLeavesTheListEmpty)
{
    OpenLine(1, FourCalls);
    {
        const TScriptedBoxes Boxes("Yes");
        Show();
        EXPECT_EQ(Lines(), QStringList());
        EXPECT_EQ(Boxes.Texts(), QStringList{ReadQuestion});
        // Saving with nothing listed goes to "キャンセル".
        Dialog->btnSave->click();
        EXPECT_EQ(QApplication::focusWidget(), Dialog->btnCancel);
    }
    // An adapter kind the library does not know cannot be read.
    Settings.Adapter = 99;
    {
        const TScriptedBoxes Boxes("Yes");
        Show();
        EXPECT_EQ(Boxes.Texts().value(1), QStringLiteral("着信履歴が読み込めませんでした  "));
        EXPECT_EQ(Lines(), QStringList());
    }
    Wrapper->Close();
    OpenLine(3, FourCalls);
    const TScriptedBoxes Boxes("No");
    Show();
    EXPECT_EQ(Lines(), QStringList());
    EXPECT_EQ(QApplication::focusWidget(), Dialog->btnCancel);
}
