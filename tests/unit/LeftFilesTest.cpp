// What killed commands leave in the data folder goes at the next start; what a running program is
// still writing stays.
#include "platform/sys/ProgramStarts.h"
#include "transfer/common/LeftFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

namespace {

void Write(const QString& File, qint64 AgeSeconds)
{
    QDir().mkpath(QFileInfo(File).absolutePath());
    QFile Out(File);
    ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
    Out.write("pages");
    Out.close();
    const time_t When = time(nullptr) - AgeSeconds;
    const struct utimbuf Times{When, When};
    ASSERT_EQ(::utime(QFile::encodeName(File).constData(), &Times), 0);
}

void Age(const QString& Folder, qint64 AgeSeconds)
{
    const time_t When = time(nullptr) - AgeSeconds;
    const struct utimbuf Times{When, When};
    ASSERT_EQ(::utime(QFile::encodeName(Folder).constData(), &Times), 0);
}

QStringList Everything(const QString& Folder)
{
    QStringList Result;
    for (const QString& Name :
         QDir(Folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        Result << Name;
        if (QFileInfo(Folder + u'/' + Name).isDir())
            for (const QString& Inner : Everything(Folder + u'/' + Name))
                Result << Name + u'/' + Inner;
    }
    return Result;
}

TEST(LeftFilesTest, OnlyOurTemporariesAndStagingFoldersOlderThanEveryRunningProgramGo)
{
    const qint64 Old = 3 * 86400;
    QTemporaryDir Root;
    const QString Data = Root.filePath(QStringLiteral("Data"));
    // A killed optimisation's and repair's new files with their journals, and a killed restore's and
    // safety copy's staging folders.
    Write(Data + QStringLiteral("/.Meibo.DB.tmp-1a2b3c"), Old);
    Write(Data + QStringLiteral("/.Meibo.DB.tmp-1a2b3c-journal"), Old);
    Write(Data + QStringLiteral("/backup.rep/.Meibo.DB.tmp-copy"), Old);
    Write(Root.filePath(QStringLiteral(".Data-Ab12Cd/Meibo.DB")), Old);
    Age(Root.filePath(QStringLiteral(".Data-Ab12Cd")), Old);
    QDir().mkpath(Data + QStringLiteral("/backup.opt"));
    QDir().mkpath(Data + QStringLiteral("/.backup.opt-Zz9Yy8"));
    Age(Data + QStringLiteral("/.backup.opt-Zz9Yy8"), Old);
    // What a program running now writes, the tables themselves, and what is not ours by its name or
    // its contents.
    Write(Data + QStringLiteral("/.RecvHis.DB.tmp-ffff"), 0);
    Write(Data + QStringLiteral("/Meibo.DB"), Old);
    Write(Data + QStringLiteral("/Meibo.DB.tmp"), Old);
    Write(Root.filePath(QStringLiteral(".Data-Ab12Cd.keep")), Old);
    Write(Root.filePath(QStringLiteral(".Data-Qq11Ww/own/notes.txt")), Old);
    Age(Root.filePath(QStringLiteral(".Data-Qq11Ww")), Old);
    Write(Root.filePath(QStringLiteral(".Other-Ab12Cd/Meibo.DB")), Old);
    Age(Root.filePath(QStringLiteral(".Other-Ab12Cd")), Old);

    // The earliest running program of ours started a day ago.
    RemoveLeftTableFiles(Data + u'/', QDateTime::currentDateTime().addDays(-1));

    EXPECT_EQ(Everything(Root.path()),
              (QStringList{QStringLiteral(".Data-Ab12Cd.keep"), QStringLiteral(".Data-Qq11Ww"),
                           QStringLiteral(".Data-Qq11Ww/own"), QStringLiteral(".Data-Qq11Ww/own/notes.txt"),
                           QStringLiteral(".Other-Ab12Cd"), QStringLiteral(".Other-Ab12Cd/Meibo.DB"),
                           QStringLiteral("Data"), QStringLiteral("Data/.RecvHis.DB.tmp-ffff"),
                           QStringLiteral("Data/Meibo.DB"), QStringLiteral("Data/Meibo.DB.tmp"),
                           QStringLiteral("Data/backup.opt"), QStringLiteral("Data/backup.rep")}));
}

TEST(LeftFilesTest, TheStartOfARunningProgramIsWhenItsProcessStarted)
{
    const QString Own = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const std::optional<QDateTime> Start = EarliestProgramStart({Own});
    ASSERT_TRUE(Start.has_value());
    EXPECT_LE(*Start, QDateTime::currentDateTime());
    EXPECT_GT(*Start, QDateTime::currentDateTime().addSecs(-3600));
    EXPECT_FALSE(EarliestProgramStart({QStringLiteral("no-such-program-of-ours")}).has_value());

    // A program counts for a folder only while it holds a file of it open: one working on another
    // data folder owns nothing here.
    QTemporaryDir Used;
    QTemporaryDir Other;
    QFile Held(Used.filePath(QStringLiteral("Meibo.DB")));
    ASSERT_TRUE(Held.open(QIODevice::WriteOnly));
    const std::optional<QDateTime> Holding = EarliestProgramStart({Own}, Used.path());
    ASSERT_TRUE(Holding.has_value());
    // This process, not an earlier one of the same name elsewhere; the reckoning from the time
    // since boot varies by a few milliseconds between two calls.
    EXPECT_GE(Start->msecsTo(*Holding), -50);
    EXPECT_LE(*Holding, QDateTime::currentDateTime());
    EXPECT_FALSE(EarliestProgramStart({Own}, Other.path()).has_value());
    Held.close();
    EXPECT_FALSE(EarliestProgramStart({Own}, Used.path()).has_value());
}

} // namespace
