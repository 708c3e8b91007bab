#include "calls/CallLinks.h"
#include "calls/HisList.h"
#include "calls/RecvView.h"
#include "main/controls/NMDEdit.h"
#include "main/device/VxComm.h"
#include "main/identify/AppSub.h"
#include "main/pipeline/CallPipeline.h"
#include "main/settings/Settings.h"
#include "tests/support/RecvData.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Calls through the program's own pipeline, list and window, with the device library's
// notifications handed in as the main window hands them on.
TEST(RecvViewPipelineTest, ALockedWindowStaysAsItIsWhileTheNextCallIsWritten)
{
    TRecvData Data;
    SettingsPath = Data.Folder;
    Settings = TSettings();
    Settings.NotMoveFocus = true;
    Settings.SelectItem1 = DefaultSelectItem1;
    Settings.SelectItem2 = DefaultSelectItem2;
    Settings.SelectItem3 = DefaultSelectItem3;
    SettingsIncomplete = false;
    Data.AddEntry(0, QStringLiteral("03-1234-5678"), QString(), QStringLiteral("田中　"));

    {
        THistoryList List;
        HistoryList = &List;
        InstallReceiveView(List);
        TCallPipeline Pipeline;
        Pipeline.Links.ProgramStarted = [] { return true; };
        Pipeline.Links.IdentifyCaller = ::IdentifyCaller;
        LinkCallPipelineToHistoryList(Pipeline.Links);
        Pipeline.Links.SaveShownCall = ReceiveViewSaveBeforeRefill;
        Pipeline.Links.SetBusyCursor = [](bool Busy) {
            Busy ? QGuiApplication::setOverrideCursor(Qt::WaitCursor) : QGuiApplication::restoreOverrideCursor();
        };
        const auto Ring = [&Pipeline](const QByteArray& Number) {
            const TDeviceNotify Notify{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
            Pipeline.HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Notify));
            QApplication::processEvents();
        };

        bool Checked = false;
        QTimer Inside;
        QObject::connect(&Inside, &QTimer::timeout, [&] {
            if (!ReceiveViewExists() || Checked)
                return;
            Checked = true;
            // The hourglass of the call's handling ended before the window showed the call.
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
            TReceiveView& View = *ReceiveView;
            EXPECT_EQ(View.nmedtNameKanji->text(), QStringLiteral("田中　"));
            EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT NameKanji || '|' FROM RecvHis"),
                      QStringList{QStringLiteral("田中　|")});
            EXPECT_EQ(View.pnlDivision->text(), QStringLiteral("既存"));

            QTest::mouseClick(View.btnLockUnlock, Qt::LeftButton);
            Ring("0698765432");
            EXPECT_EQ(View.edtTel1->text(), QStringLiteral("03-1234-5678"));
            EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT RecNo, SchTel FROM RecvHis ORDER BY RecNo"),
                      (QStringList{QStringLiteral("0|0312345678"), QStringLiteral("1|0698765432")}));

            QTest::mouseClick(View.btnLockUnlock, Qt::LeftButton);
            Ring("0311112222");
            EXPECT_EQ(View.edtTel1->text(), QStringLiteral("0311112222"));
            EXPECT_EQ(View.pnlDivision->text(), QStringLiteral("新規"));
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // the refills' hourglasses ended too
            QTest::keyClick(&View, Qt::Key_Escape);
        });
        Inside.start(10);
        Ring("0312345678");
        EXPECT_TRUE(Checked);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(ReceiveViewExists());
        EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT count(*) FROM RecvHis"), QStringList{QStringLiteral("3")});
        HistoryList = nullptr;
        ReceiveViewReloadHistory = nullptr;
    } // the list writes its place when it goes
    SettingsPath.clear();
    Settings = TSettings();
}

} // namespace
