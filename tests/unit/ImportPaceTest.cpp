#include "transfer/import/ImportPace.h"

#include "platform/msg/WindowMessage.h"
#include "platform/sys/TermSignal.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace {

TEST(ImportPaceTest, BatchesAreLongOnlyWhileNobodyWorksWithTheProgram)
{
    TImportPace Pace;
    EXPECT_EQ(Pace.NextBudget(), TImportPace::BusyBatch) << "the first batch shows the run at once";
    EXPECT_EQ(Pace.NextBudget(), TImportPace::IdleBatch);
    QObject Window;
    QKeyEvent Key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(&Window, &Key);
    EXPECT_EQ(Pace.NextBudget(), TImportPace::BusyBatch);
    EXPECT_EQ(Pace.NextBudget(), TImportPace::BusyBatch);
    // Events that are no input (the bar's own paints, timers) leave the pace alone.
    TImportPace Later;
    (void)Later.NextBudget();
    QEvent Timer(QEvent::Timer);
    QCoreApplication::sendEvent(&Window, &Timer);
    EXPECT_EQ(Later.NextBudget(), TImportPace::IdleBatch);
}

TEST(ImportPaceTest, AMessageAnotherThreadWaitsToHaveHandledCutsTheBatchShort)
{
    int Handled = 0;
    TMessageTarget Target([&](std::uint32_t Msg, TWParam, TLParam) -> TLResult {
        Handled = static_cast<int>(Msg);
        return 1;
    });
    EXPECT_FALSE(TImportPace::OthersWaiting());
    TLResult Answer = 0;
    std::thread Library([&] { Answer = SendMessage(Target.Handle(), WM_USER + 7); });
    while (!TImportPace::OthersWaiting())
        QThread::msleep(1);
    DispatchSentMessages();
    Library.join();
    EXPECT_EQ(Handled, int(WM_USER + 7));
    EXPECT_EQ(Answer, 1);
    EXPECT_FALSE(TImportPace::OthersWaiting());
    QCoreApplication::processEvents();
}

TEST(ImportPaceTest, ASignalToEndCutsTheBatchShortUntilTheEventLoopHasHeardIt)
{
    int Heard = 0;
    WatchTerminationSignals([&] { ++Heard; });
    EXPECT_FALSE(TerminationSignalPending());
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(TImportPace::OthersWaiting());
    for (int Round = 0; Round < 100 && Heard == 0; ++Round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    EXPECT_EQ(Heard, 1);
    EXPECT_FALSE(TImportPace::OthersWaiting());
}

} // namespace
