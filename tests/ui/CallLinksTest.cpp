#include "calls/CallLinks.h"

#include "calls/HisList.h"
#include "main/device/VxComm.h"
#include "main/pipeline/CallPipeline.h"
#include "main/settings/Settings.h"
#include "tests/unit/HisTableFixture.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// A call through the pipeline lands on the first line of the list, which pops up and hands the call
// to the incoming-call window with the number of the row just written.
TEST(CallLinksTest, ACallReloadsShowsTheListAndOpensTheIncomingCallWindow)
{
    QTemporaryDir Dir;
    SettingsPath = Dir.path() + u'/';
    Settings = TSettings();
    Settings.SelectItem1 = DefaultSelectItem1;
    Settings.SelectItem2 = DefaultSelectItem2;
    Settings.SelectItem3 = DefaultSelectItem3;
    SettingsIncomplete = false;
    THisFixtureData Data(Dir.path());
    {
        THistoryList List;
        HistoryList = &List;
        List.sbtnAllWeek->setChecked(true);
        QList<TCallerRecord> Shown;
        List.ReceiveViewLink.Exists = [] { return false; };
        List.ReceiveViewLink.RefillGuard = [] { return false; };
        List.ReceiveViewLink.ShowCall = [](const TCallerRecord&) {};
        List.ReceiveViewLink.BringForward = [] {};
        List.ReceiveViewLink.ShowModal = [&Shown](QWidget*, const TCallerRecord& Record) {
            Shown << Record;
            return 2;
        };

        TCallPipeline Pipeline;
        Pipeline.Links.ProgramStarted = [] { return true; };
        LinkCallPipelineToHistoryList(Pipeline.Links);
        EXPECT_FALSE(List.isVisible());

        for (const QByteArray& Number : {QByteArray("0312345678"), QByteArray("0698765432")}) {
            const TDeviceNotify Notify{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
            Pipeline.HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Notify));
            QApplication::processEvents();
        }
        EXPECT_TRUE(List.isVisible());
        ASSERT_EQ(List.lbxRecvHis->count(), 2);
        EXPECT_EQ(List.LineCells(0).value(3), u"0698765432"_qs);
        ASSERT_EQ(Shown.size(), 2);
        EXPECT_EQ(Shown[1].HisRecNo, 1);
        EXPECT_EQ(Shown[1].Tel[0], u"0698765432"_qs);
        HistoryList = nullptr;
    }
    SettingsPath.clear();
}

} // namespace
