#include "utility/fixes/AdrsConvLibs.h"

#include "tests/unit/BoxRecorder.h"
#include "utility/fixes/AdrsPosConvert.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QString RecordingFolder = QStringLiteral(VX_FIXTURE_DIR "/addrconv_recording/");

// Both libraries loaded from one folder for one test, freed at its end.
struct TLoaded
{
    explicit TLoaded(const QString& Folder)
    {
        AddrmendRc = LoadAddrmend(Folder);
        PostmendRc = LoadPostmend(Folder);
    }
    ~TLoaded()
    {
        FreeAddrmend();
        FreePostmend();
    }
    int AddrmendRc;
    int PostmendRc;
};

QByteArray Padded(const QByteArray& Text, int Size)
{
    return Text + QByteArray(Size - Text.size(), '\0');
}

} // namespace

TEST(AdrsConvLibsTest, LoadFailuresAreShownWithTheLibraryAndExportNames)
{
    TBoxRecorder Boxes;
    {
        TLoaded Loaded(QStringLiteral(VX_FIXTURE_DIR "/postmend_nojgzip/"));
        EXPECT_EQ(Loaded.AddrmendRc, AdrsLibLoadError);
        EXPECT_EQ(Loaded.PostmendRc, AdrsLibBindError);
    }
    ASSERT_EQ(Boxes.Boxes.size(), 2);
    EXPECT_EQ(Boxes.Boxes[0].Caption, QStringLiteral("Addrmend.so LoadLibrary Error"));
    EXPECT_EQ(Boxes.Boxes[0].Text, QStringLiteral("Addrmend.so\r\nDLLのロードに失敗しました"));
    EXPECT_EQ(Boxes.Boxes[1].Caption, QStringLiteral("Postmend.so GetProcAddress Error"));
    EXPECT_EQ(Boxes.Boxes[1].Text, QStringLiteral("YJgZipTo\r\n関数の割り当てに失敗しました"));
    for (const auto& Box : Boxes.Boxes) {
        EXPECT_EQ(Box.Flags & 0xF0u, unsigned(MB_ICONSTOP));
    }
    // A library that did not bind answers "not loaded" without calling anything.
    TYAdrsToIn In{};
    TYAdrsToOut Out{};
    std::int32_t Rc = 0;
    EXPECT_FALSE(CallYAdrsTo(In, Out, Rc));
    EXPECT_EQ(Rc, AdrsLibNotLoaded);
}

TEST(AdrsConvLibsTest, PostmendExportsExactlyItsEightNames)
{
    QProcess Nm;
    Nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"), BinFolder + "Postmend.so"});
    ASSERT_TRUE(Nm.waitForFinished(30000));
    QStringList Names;
    for (const QByteArray& Line : Nm.readAllStandardOutput().split('\n'))
        // Every kind of symbol: the standard library's weak template code counts as much as our text.
        if (const QList<QByteArray> Parts = Line.simplified().split(' '); Parts.size() == 3)
            Names << QString::fromLatin1(Parts[2]);
    Names.sort();
    EXPECT_EQ(Names, (QStringList{"YAdrsTo", "YJgJis5To", "YJgNameTo", "YJgZipTo", "YJgZipToEx", "YJis2To", "YJis5To",
                                  "YZipTo"}));
}

TEST(AdrsConvLibsTest, RecordsCarryTheAddressAndFolderBytesAndOutputsStartZeroed)
{
    QTemporaryDir Dir;
    const QString Folder = Dir.path() + QStringLiteral("/");
    TLoaded Loaded(RecordingFolder);
    ASSERT_EQ(Loaded.AddrmendRc, 0);
    ASSERT_EQ(Loaded.PostmendRc, 0);
    TAdrsWork Work{QStringLiteral("東京"), QStringLiteral("1"), {}, {}, {}, {}};
    EXPECT_EQ(ConvertAddress(Work, Folder, [](const QString&) { return false; }), TAdrsOutcome::Unchanged);

    QFile Received(Folder + QStringLiteral("received.bin"));
    ASSERT_TRUE(Received.open(QIODevice::ReadOnly));
    const QByteArray Bytes = Received.readAll();
    ASSERT_EQ(Bytes.size(), 442 + 374 + 636 + 390);
    // "東京" and the widened "１", NUL-padded; the folder behind it.
    const QByteArray Address("\x93\x8C\x8B\x9E\x82\x50");
    const QByteArray FolderBytes = QFile::encodeName(Folder);
    EXPECT_EQ(Bytes.mid(0, 186), Padded(Address, 186));
    EXPECT_EQ(Bytes.mid(186, 256), Padded(FolderBytes, 256));
    EXPECT_EQ(Bytes.mid(442, 374), QByteArray(374, '\0'));
    const QByteArray YIn = Bytes.mid(816, 636);
    EXPECT_EQ(YIn.left(194), QByteArray(194, '\0'));
    EXPECT_EQ(YIn.mid(194, 186), Padded(Address, 186));
    EXPECT_EQ(YIn.mid(380, 256), Padded(FolderBytes, 256));
    EXPECT_EQ(Bytes.mid(1452, 390), QByteArray(390, '\0'));
}

TEST(AdrsConvLibsTest, OutputFieldsAreReadNoFurtherThanTheirLength)
{
    TCvtAdrsOut Out;
    std::memset(&Out, 'x', sizeof(Out));
    std::memcpy(Out.Whole, "\x93\x8C\x8B\x9E", 5);
    std::memcpy(Out.Tdfkn, "\x93\x8C\x8B\x9E\x93\x73\x81\x40\x41\x42", 10); // full, no NUL
    std::memcpy(Out.City, "\x90\xE7\x91\xE3\x93\x63\x8B\xE6", 9);
    std::memset(Out.Rest, 0, sizeof(Out.Rest));
    const TCvtAdrsResult Result = ReadCvtAdrsOut(Out);
    EXPECT_EQ(Result.Whole, QStringLiteral("東京"));
    EXPECT_EQ(Result.Tdfkn, QStringLiteral("東京都　AB"));
    EXPECT_EQ(Result.City, QStringLiteral("千代田区"));
    EXPECT_EQ(Result.Rest, QString());

    TYAdrsToOut Codes;
    std::memset(&Codes, '9', sizeof(Codes));
    std::memcpy(Codes.JisCode, "13101", 6);
    const TYAdrsToResult Parsed = ReadYAdrsToOut(Codes);
    EXPECT_EQ(Parsed.JisCode, QStringLiteral("13101"));
    EXPECT_EQ(Parsed.Pos, QStringLiteral("99999999"));
}

TEST(AdrsConvLibsTest, AFolderNameTooLongForItsFieldIsRefused)
{
    const QString Long = QStringLiteral("/") + QString(254, QLatin1Char('a')) + QStringLiteral("/");
    EXPECT_FALSE(ConversionFolderFits(Long));
    EXPECT_FALSE(MakeCvtAdrsIn(QStringLiteral("東京"), Long));
    EXPECT_FALSE(MakeYAdrsToIn(QStringLiteral("東京"), Long));
    EXPECT_TRUE(ConversionFolderFits(Long.mid(1)));
}
