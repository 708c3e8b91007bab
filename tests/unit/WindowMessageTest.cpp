#include "platform/msg/WindowMessage.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

struct TReceived
{
    std::uint32_t Msg;
    TWParam WParam;
    TLParam LParam;
    bool OnOwnThread;
};

// A target that records every message with the thread it was handled on.
struct TRecorder
{
    std::vector<TReceived> Received;
    TMessageTarget Target{[this](std::uint32_t Msg, TWParam WParam, TLParam LParam) {
        Received.push_back({Msg, WParam, LParam, QThread::currentThread() == Target.thread()});
        return static_cast<TLResult>(Msg + WParam);
    }};
};

void SpinUntil(const std::function<bool()>& Done)
{
    for (int I = 0; I < 500 && !Done(); ++I)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(WindowMessage, PostedMessagesArriveInOrderOnTheTargetsThread)
{
    TRecorder Recorder;
    Recorder.Target.Post(WM_USER + 1, 1, 10);
    PostMessage(&Recorder.Target, WM_APP + 0x101);
    std::thread Other([&] { Recorder.Target.Post(WM_USER + 2, 2, -3); });
    Other.join();
    EXPECT_TRUE(Recorder.Received.empty()) << "a posted message waits for the event loop";
    SpinUntil([&] { return Recorder.Received.size() == 3; });
    ASSERT_EQ(Recorder.Received.size(), 3u);
    const std::uint32_t Expected[] = {0x401, 0x8101, 0x402};
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Recorder.Received[I].Msg, Expected[I]);
        EXPECT_TRUE(Recorder.Received[I].OnOwnThread);
    }
    EXPECT_EQ(Recorder.Received[2].LParam, -3);
}

TEST(WindowMessage, SentMessagesRunOnTheTargetsThreadAndAnswer)
{
    TRecorder Recorder;
    // From the target's own thread the handle is a direct call.
    EXPECT_EQ(SendMessage(Recorder.Target.Handle(), 0x6BE, 2, 0), 0x6C0);
    ASSERT_EQ(Recorder.Received.size(), 1u);

    // From another thread the sender waits; its stack data stays valid until handled.
    std::atomic<TLResult> Answer = -1;
    std::atomic<bool> Returned = false;
    std::thread Reader([&] {
        int OnStack = 42;
        Answer = SendMessage(Recorder.Target.Handle(), 0x6C0, 1, reinterpret_cast<TLParam>(&OnStack));
        Returned = true;
    });
    QThread::msleep(50);
    EXPECT_FALSE(Returned) << "the sender must wait for the handler";
    SpinUntil([&] { return Returned.load(); });
    Reader.join();
    EXPECT_EQ(Answer, 0x6C1);
    ASSERT_EQ(Recorder.Received.size(), 2u);
    EXPECT_TRUE(Recorder.Received[1].OnOwnThread);
}

TEST(WindowMessage, AWaitThatDispatchesLetsAReaderThatSendsBeJoined)
{
    TRecorder Recorder;
    std::atomic<bool> Sending = false;
    std::thread Reader([&] {
        Sending = true;
        SendMessage(Recorder.Target.Handle(), WM_USER + 0x2BE);
    });
    while (!Sending)
        QThread::msleep(1);
    QThread::msleep(20);
    // Joining the reader inline would wait for ever: it waits for this thread.
    CallDispatchingSentMessages([&] { Reader.join(); });
    ASSERT_EQ(Recorder.Received.size(), 1u);
    EXPECT_TRUE(Recorder.Received[0].OnOwnThread);
}

TEST(WindowMessage, ADestroyedTargetAnswersWaitingSendersWithZero)
{
    auto* Target = new TMessageTarget([](std::uint32_t, TWParam, TLParam) { return TLResult(7); });
    std::atomic<TLResult> Answer = -1;
    std::atomic<bool> Sending = false;
    std::thread Reader([&] {
        Sending = true;
        Answer = Target->Send(WM_USER);
    });
    while (!Sending)
        QThread::msleep(1);
    QThread::msleep(50);
    delete Target;
    Reader.join();
    EXPECT_EQ(Answer, 0);
    SendMessage(nullptr, WM_USER); // a null handle is no crash
}
