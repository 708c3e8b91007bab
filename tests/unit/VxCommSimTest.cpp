// The simulated adapter end to end: the program's wrapper opens the stand-in line from the
// program folder, vxcall rings it from another process, and the notifications arrive as sent
// messages on this (the UI) thread.

#include "main/device/VxComm.h"
#include "platform/text/Cp932.h"
#include "tests/support/VxCallRun.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct TNotification
{
    std::uint32_t Msg;
    std::int32_t Code;
    QString Text;
    bool OnUiThread;
};

class VxCommSimTest : public ::testing::Test
{
protected:
    std::vector<TNotification> Received;
    TMessageTarget Target{[this](std::uint32_t Msg, TWParam, TLParam LParam) {
        const auto* Notify = reinterpret_cast<const TDeviceNotify*>(LParam);
        Received.push_back({Msg, Notify->Code, Cp932DecodeLenient(QByteArray(Notify->Text, Notify->Length)),
                            QThread::currentThread() == Target.thread()});
        return TLResult(0);
    }};

    // The first listed kind that keeps a history and can dial.
    static TAdapterKind HistoryKind(const TVxCommDLL& Wrapper)
    {
        for (const TAdapterKind& Kind : Wrapper.Kinds()) {
            if (Kind.HistoryCount > 0 && Kind.DialPorts != 0)
                return Kind;
        }
        return TAdapterKind{};
    }
};

} // namespace

TEST_F(VxCommSimTest, StandInsListTheirKindsAndHaveTheExtendedOpen)
{
    for (const int IP : {0, 1}) {
        auto Wrapper = TVxCommDLL::Create(Target.Handle(), IP, QStringLiteral(VX_BIN_DIR "/"));
        ASSERT_NE(Wrapper, nullptr);
        EXPECT_TRUE(Wrapper->HasOpenEx());
        EXPECT_GE(Wrapper->GetVersion(), VxCommExtendedOpenVersion);
        ASSERT_TRUE(Wrapper->LoadKinds());
        for (const TAdapterKind& Kind : Wrapper->Kinds()) {
            EXPECT_NE(Kind.Kind, 0);
            EXPECT_FALSE(AdapterKindName(Kind).isEmpty());
            EXPECT_FALSE(AdapterKindName(Kind).contains(QChar(0xFFFD)));
        }
        if (IP == 1) {
            EXPECT_TRUE(Wrapper->SelectKind(200));
            EXPECT_TRUE(Wrapper->SelectKind(211));
        } else {
            EXPECT_NE(HistoryKind(*Wrapper).Kind, 0);
        }
    }
}

TEST_F(VxCommSimTest, CallsAndErrorsArriveInOrderOnTheUiThread)
{
    const TVxCallRun Closed = RunVxCall({QStringLiteral("call"), QStringLiteral("0312345678")});
    EXPECT_EQ(Closed.ExitCode, 1);
    EXPECT_TRUE(Closed.Err.contains(QStringLiteral("no line is open"))) << Closed.Err.toStdString();

    auto Wrapper = TVxCommDLL::Create(Target.Handle(), 0, QStringLiteral(VX_BIN_DIR "/"));
    ASSERT_NE(Wrapper, nullptr);
    ASSERT_TRUE(Wrapper->LoadKinds());
    const TAdapterKind Kind = HistoryKind(*Wrapper);
    Wrapper->SetKind(Kind.Kind);
    Wrapper->SetPort(0);
    Wrapper->OpenEx(0, 0);
    ASSERT_EQ(Wrapper->OpenResult(), 0);

    const QStringList Runs[] = {
        {QStringLiteral("call"), QStringLiteral("0312345678")},
        {QStringLiteral("call"), QStringLiteral("P")},
        {QStringLiteral("call"), QString()},
        {QStringLiteral("error"), QStringLiteral("回線に異常があります")},
    };
    for (const QStringList& Arguments : Runs) {
        const TVxCallRun Run = RunVxCall(Arguments);
        EXPECT_EQ(Run.ExitCode, 0) << Run.Err.toStdString();
    }
    const TNotification Expected[] = {
        {WM_DEVICE_CALL, 0, QStringLiteral("0312345678"), true},
        {WM_DEVICE_CALL, 0, QStringLiteral("P"), true},
        {WM_DEVICE_CALL, 0, QString(), true},
        {WM_DEVICE_ERROR, 2, QStringLiteral("回線に異常があります"), true},
    };
    ASSERT_EQ(Received.size(), std::size(Expected));
    for (std::size_t I = 0; I < std::size(Expected); ++I) {
        EXPECT_EQ(Received[I].Msg, Expected[I].Msg) << I;
        EXPECT_EQ(Received[I].Code, Expected[I].Code) << I;
        EXPECT_EQ(Received[I].Text, Expected[I].Text) << I;
        EXPECT_TRUE(Received[I].OnUiThread) << I;
    }

    // The other library's line is not open.
    EXPECT_EQ(RunVxCall({QStringLiteral("--ip"), QStringLiteral("call"), QStringLiteral("1")}).ExitCode, 1);

    // A second open of a line in use answers "port busy"; the first stays usable.
    auto Second = TVxCommDLL::Create(Target.Handle(), 0, QStringLiteral(VX_BIN_DIR "/"));
    Second->SetKind(Kind.Kind);
    Second->Open();
    EXPECT_EQ(Second->OpenResult(), VxCommPortBusy);
    Second->Close();

    Wrapper->Close();
    EXPECT_EQ(RunVxCall({QStringLiteral("call"), QStringLiteral("1")}).ExitCode, 1);
    EXPECT_EQ(Received.size(), std::size(Expected));
}

TEST_F(VxCommSimTest, StoredHistoryAndDialsGoThroughTheLine)
{
    auto Wrapper = TVxCommDLL::Create(Target.Handle(), 0, QStringLiteral(VX_BIN_DIR "/"));
    ASSERT_NE(Wrapper, nullptr);
    ASSERT_TRUE(Wrapper->LoadKinds());
    const TAdapterKind Kind = HistoryKind(*Wrapper);
    Wrapper->SetKind(Kind.Kind);
    Wrapper->Open();
    ASSERT_EQ(Wrapper->OpenResult(), 0);

    QTemporaryDir Folder;
    const QString Broken = Folder.filePath(QStringLiteral("broken.txt"));
    const QString Good = Folder.filePath(QStringLiteral("history.txt"));
    QFile File(Broken);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("0312345678,20261201101,101500\n");
    File.close();
    File.setFileName(Good);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("0312345678,20261201,101500\nP,20261202,093005\n\n");
    File.close();

    const TVxCallRun Refused = RunVxCall({QStringLiteral("history"), Broken});
    EXPECT_EQ(Refused.ExitCode, 1);
    EXPECT_TRUE(Refused.Err.contains(QStringLiteral("line 1"))) << Refused.Err.toStdString();
    const TVxCallRun Loaded = RunVxCall({QStringLiteral("history"), Good});
    EXPECT_EQ(Loaded.ExitCode, 0) << Loaded.Err.toStdString();
    EXPECT_EQ(Loaded.Out, QStringLiteral("2 calls stored\n"));

    std::vector<TDeviceHistoryEntry> Buffer(static_cast<std::size_t>(Kind.HistoryCount));
    std::int32_t Count = Kind.HistoryCount;
    ASSERT_TRUE(Wrapper->GetHistory(Kind.Kind, Count, Buffer.data()));
    ASSERT_EQ(Count, 2);
    EXPECT_EQ(QByteArray(Buffer[0].Number, 10), QByteArray("0312345678"));
    EXPECT_EQ(QByteArray(Buffer[0].Date, 8), QByteArray("20261201"));
    EXPECT_EQ(QByteArray(Buffer[1].Number, 2), QByteArray("P\0", 2));
    EXPECT_EQ(QByteArray(Buffer[1].Time, 6), QByteArray("093005"));

    Wrapper->Dial(2, QStringLiteral("0612345678"));
    const TVxCallRun Dialed = RunVxCall({QStringLiteral("dialed")});
    EXPECT_EQ(Dialed.ExitCode, 0);
    EXPECT_TRUE(Dialed.Out.endsWith(QStringLiteral("2 0612345678\n"))) << Dialed.Out.toStdString();
    Wrapper->Close();
}

TEST_F(VxCommSimTest, ClosingWhileACallWaitsForTheUiThreadDeliversItAndEnds)
{
    auto Wrapper = TVxCommDLL::Create(Target.Handle(), 0, QStringLiteral(VX_BIN_DIR "/"));
    ASSERT_NE(Wrapper, nullptr);
    ASSERT_TRUE(Wrapper->LoadKinds());
    Wrapper->SetKind(Wrapper->Kinds()[0].Kind);
    Wrapper->SetPort(1);
    Wrapper->Open();
    ASSERT_EQ(Wrapper->OpenResult(), 0);

    QProcess Process;
    Process.start(QStringLiteral(VX_BIN_DIR "/vxcall"), {QStringLiteral("call"), QStringLiteral("0123456789")});
    ASSERT_TRUE(Process.waitForStarted(5000));
    // Without turning the event loop the reader is soon stuck in its send to this thread.
    QThread::msleep(500);
    Wrapper->Close();
    ASSERT_EQ(Received.size(), 1u);
    EXPECT_EQ(Received[0].Text, QStringLiteral("0123456789"));
    ASSERT_TRUE(Process.waitForFinished(5000));
    EXPECT_EQ(Process.exitCode(), 0);
}
