#include "directory/Dashrule.h"

#include "BoxRecorder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");

// Loads the stand-in for one test and frees it again, however the test ends.
struct TLoadedHyphen
{
    int Rc;
    TLoadedHyphen() : Rc(LoadHyphenLibrary(BinFolder, BinFolder + QStringLiteral("Dic/"))) {}
    ~TLoadedHyphen() { FreeHyphenLibrary(); }
};

TEST(DashruleTest, HyphenatesAsTheNumberingPlanDoes)
{
    TLoadedHyphen Loaded;
    ASSERT_EQ(Loaded.Rc, 0);
    const struct
    {
        const char* Number;
        const char* Hyphenated;
    } Cases[] = {
        {"0312345678", "03-1234-5678"}, {"09012345678", "090-1234-5678"}, {"0120123456", "0120-123-456"},
        {"0466123456", "0466-12-3456"}, {"0112345678", "011-234-5678"},
    };
    for (const auto& Case : Cases) {
        QString Number = QString::fromLatin1(Case.Number);
        EXPECT_EQ(HyphenateTel(Number), 0) << Case.Number;
        EXPECT_EQ(Number, QString::fromLatin1(Case.Hyphenated));
        EXPECT_EQ(FormatTelHyphen(QStringLiteral(" %1 ").arg(QLatin1String(Case.Number))),
                  QString::fromLatin1(Case.Hyphenated));
    }
}

TEST(DashruleTest, NeverChangesTheDigitsOfANumberItDoesNotKnow)
{
    TLoadedHyphen Loaded;
    ASSERT_EQ(Loaded.Rc, 0);
    // The formatting library would drop the leading 0 of these; the stand-in must refuse instead.
    for (const char* Raw : {"0800123456", "031234567", "0000000000", "123", "03-1234-5678", "P"}) {
        QString Number = QString::fromLatin1(Raw);
        EXPECT_NE(HyphenateTel(Number), 0) << Raw;
        EXPECT_EQ(Number, QString::fromLatin1(Raw));
        EXPECT_EQ(FormatTelHyphen(QString::fromLatin1(Raw)), QString::fromLatin1(Raw));
    }
    EXPECT_EQ(FormatTelHyphen(QStringLiteral("   ")), QString());
}

TEST(DashruleTest, WithoutTheLibraryNumbersPassUnchanged)
{
    QString Number = QStringLiteral("0312345678");
    EXPECT_EQ(HyphenateTel(Number), HyphenRcNotLoaded);
    EXPECT_EQ(Number, QStringLiteral("0312345678"));
    EXPECT_EQ(FormatTelHyphen(QStringLiteral(" 0312345678 ")), QStringLiteral("0312345678"));
}

TEST(DashruleTest, UseCountLoadsOnceAndFreesOnTheLastFree)
{
    TBoxRecorder Recorder;
    ASSERT_EQ(LoadHyphenLibrary(BinFolder, {}), 0);
    EXPECT_EQ(LoadHyphenLibrary(QStringLiteral("/nowhere/"), {}), 0); // already held: no second load
    FreeHyphenLibrary();
    EXPECT_TRUE(HyphenLibraryLoaded());
    FreeHyphenLibrary();
    EXPECT_FALSE(HyphenLibraryLoaded());
    FreeHyphenLibrary(); // one free too many changes nothing
    EXPECT_TRUE(Recorder.Boxes.isEmpty());
}

TEST(DashruleTest, AFailedLoadIsReportedAndKeepsItsUse)
{
    TBoxRecorder Recorder;
    QTemporaryDir Empty;
    const QString Folder = Empty.path() + QLatin1Char('/');
    EXPECT_EQ(LoadHyphenLibrary(Folder, {}), HyphenRcLoadError);
    ASSERT_EQ(Recorder.Boxes.size(), 1);
    EXPECT_EQ(Recorder.Boxes[0].Text, QStringLiteral("Dashrule.so\r\nDLLのロードに失敗しました"));
    EXPECT_EQ(Recorder.Boxes[0].Caption, QStringLiteral("Dashrule.so LoadLibrary Error"));
    EXPECT_EQ(Recorder.Boxes[0].Flags, MB_ICONSTOP);
    // The use stays counted: a later load does not try again until the frees bring it back to 0.
    EXPECT_EQ(LoadHyphenLibrary(BinFolder, {}), 0);
    EXPECT_FALSE(HyphenLibraryLoaded());
    FreeHyphenLibrary();
    FreeHyphenLibrary();
    EXPECT_EQ(LoadHyphenLibrary(BinFolder, {}), 0);
    EXPECT_TRUE(HyphenLibraryLoaded());
    FreeHyphenLibrary();

    // A relative folder is never handed to the loader's search path.
    EXPECT_EQ(LoadHyphenLibrary(QStringLiteral("bin/"), {}), HyphenRcLoadError);
    FreeHyphenLibrary();
}

TEST(DashruleTest, ALibraryWithoutGetHyphenIsFreedAgain)
{
    TBoxRecorder Recorder;
    QTemporaryDir Folder;
    ASSERT_TRUE(QFile::copy(BinFolder + QStringLiteral("Geomark.so"), Folder.filePath(QStringLiteral("Dashrule.so"))));
    EXPECT_EQ(LoadHyphenLibrary(Folder.path() + QLatin1Char('/'), {}), HyphenRcBindError);
    ASSERT_EQ(Recorder.Boxes.size(), 1);
    EXPECT_EQ(Recorder.Boxes[0].Text, QStringLiteral("GetHyphen\r\n関数の割り当てに失敗しました"));
    EXPECT_EQ(Recorder.Boxes[0].Caption, QStringLiteral("Dashrule.so GetProcAddress Error"));
    EXPECT_FALSE(HyphenLibraryLoaded());
    // The use was given back: the next load tries again and succeeds.
    EXPECT_EQ(LoadHyphenLibrary(BinFolder, {}), 0);
    EXPECT_TRUE(HyphenLibraryLoaded());
    FreeHyphenLibrary();
}

} // namespace
