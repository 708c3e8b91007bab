#include "main/pipeline/CallSpool.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray FileBytes(const QString& Name)
{
    QFile File(Name);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("(missing)");
}

TSpooledCall Call(const QString& Number, qint64 RingTime)
{
    TSpooledCall C;
    C.Number = Number;
    C.RingTime = RingTime;
    return C;
}

TEST(CallSpoolTest, WaitingCallsComeBackInTheirOrderAndDoneOnesDoNot)
{
    QTemporaryDir Dir;
    const QString Folder = Dir.filePath(QStringLiteral("data/"));
    const QString Path = Folder + TCallSpool::FileName;
    // Numbers as adapters send them: digits, a reason code, blanks and characters a line must not split on.
    const QList<TSpooledCall> Sent = {
        Call(QStringLiteral("0312345678"), 1765245600001), Call(QStringLiteral("$"), 1765245600002),
        Call(QStringLiteral(" 03 1234 5678"), 1765245600003), Call(QStringLiteral("ｱ%\r0"), 1765245600004),
        Call(QStringLiteral("P"), 1765245600005)};
    {
        TCallSpool Spool;
        QList<TSpooledCall> Left;
        ASSERT_TRUE(Spool.Open(Folder, Left));
        EXPECT_TRUE(Left.isEmpty());
        // Owner-only, as the tables beside it.
        EXPECT_EQ(QFileInfo(Path).permissions() & 0x0077, 0);
        QList<TSpooledCall> Calls = Sent;
        for (TSpooledCall& C : Calls) {
            ASSERT_TRUE(Spool.Append(C));
        }
        Spool.MarkDone(Calls[1]);
        Spool.MarkDone(Calls[3]);
        EXPECT_EQ(Spool.WaitingCount(), 3);
        EXPECT_EQ(FileBytes(Path).count('\n'), 5);
    }
    // A crash in the middle of the next line leaves half of it behind.
    {
        QFile File(Path);
        ASSERT_TRUE(File.open(QIODevice::Append));
        File.write("P 17652456");
    }
    TCallSpool Spool;
    QList<TSpooledCall> Left;
    ASSERT_TRUE(Spool.Open(Folder, Left));
    ASSERT_EQ(Left.size(), 3);
    for (int I = 0; I < 3; ++I) {
        const TSpooledCall& Want = Sent[QList<int>{0, 2, 4}[I]];
        EXPECT_EQ(Left[I].Number, Want.Number) << I;
        EXPECT_EQ(Left[I].RingTime, Want.RingTime) << I;
    }
    // The half line is gone, so the next call starts a line of its own.
    TSpooledCall Next = Call(QStringLiteral("0611112222"), 1765245600006);
    ASSERT_TRUE(Spool.Append(Next));
    EXPECT_TRUE(FileBytes(Path).endsWith("\nP 1765245600006 0611112222\n")) << FileBytes(Path).toStdString();

    // Once nothing waits, the file is empty.
    for (const TSpooledCall& C : Left)
        Spool.MarkDone(C);
    EXPECT_FALSE(FileBytes(Path).isEmpty());
    Spool.MarkDone(Next);
    EXPECT_EQ(FileBytes(Path), QByteArray());
}

TEST(CallSpoolTest, ALineThatIsNoCallIsSkippedAndTheRestKept)
{
    QTemporaryDir Dir;
    const QString Folder = Dir.path() + u'/';
    QFile File(Folder + TCallSpool::FileName);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("P 1765245600001 0311111111\nX 1 2\nP notatime 0322222222\n\nD 1765245600002 0333333333\n"
               "P 1765245600003 0344444444\n");
    File.close();
    TCallSpool Spool;
    QList<TSpooledCall> Left;
    ASSERT_TRUE(Spool.Open(Folder, Left));
    ASSERT_EQ(Left.size(), 2);
    EXPECT_EQ(Left[0].Number, QStringLiteral("0311111111"));
    EXPECT_EQ(Left[1].Number, QStringLiteral("0344444444"));
    // Marking goes to each call's own line.
    Spool.MarkDone(Left[1]);
    EXPECT_TRUE(FileBytes(Folder + TCallSpool::FileName).endsWith("D 1765245600003 0344444444\n"));
}

TEST(CallSpoolTest, MovingTakesTheWaitingCallsAlongAndEmptiesTheOldFile)
{
    QTemporaryDir Dir;
    const QString Old = Dir.filePath(QStringLiteral("old/"));
    const QString New = Dir.filePath(QStringLiteral("new/"));
    {
        // An earlier run left a call in the new folder.
        TCallSpool Earlier;
        QList<TSpooledCall> Left;
        ASSERT_TRUE(Earlier.Open(New, Left));
        TSpooledCall C = Call(QStringLiteral("0300000000"), 1765245600000);
        ASSERT_TRUE(Earlier.Append(C));
    }
    TCallSpool Spool;
    QList<TSpooledCall> Left;
    ASSERT_TRUE(Spool.Open(Old, Left));
    TSpooledCall A = Call(QStringLiteral("0311111111"), 1765245600001);
    TSpooledCall B = Call(QStringLiteral("0322222222"), 1765245600002);
    ASSERT_TRUE(Spool.Append(A) && Spool.Append(B));

    ASSERT_TRUE(Spool.MoveTo(New, {&A, &B}, Left));
    ASSERT_EQ(Left.size(), 1);
    EXPECT_EQ(Left[0].Number, QStringLiteral("0300000000"));
    EXPECT_EQ(FileBytes(Old + TCallSpool::FileName), QByteArray());
    EXPECT_EQ(Spool.Folder(), New);
    EXPECT_EQ(Spool.WaitingCount(), 3);
    // The moved calls are marked in their new lines.
    Spool.MarkDone(A);
    EXPECT_EQ(FileBytes(New + TCallSpool::FileName),
              "P 1765245600000 0300000000\nD 1765245600001 0311111111\nP 1765245600002 0322222222\n");

    // A folder that cannot be made keeps everything where it was.
    QFile Blocker(Dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(Blocker.open(QIODevice::WriteOnly));
    Blocker.close();
    EXPECT_FALSE(Spool.MoveTo(Dir.filePath(QStringLiteral("file/sub/")), {&B}, Left));
    EXPECT_EQ(Spool.Folder(), New);
    Spool.MarkDone(B);
    EXPECT_EQ(Spool.WaitingCount(), 1);
}

} // namespace
