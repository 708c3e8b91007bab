#include "main/pipeline/ExtDLL.h"

#include "main/common/CallerRec.h"
#include "main/settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QByteArray BlockBytes(const TCallerRecord& Record)
{
    const TExtDLLBlock Block = MakeExtDLLBlock(Record);
    return QByteArray(reinterpret_cast<const char*>(&Block), sizeof Block);
}

// The expected block, written out by hand: every byte not listed is zero.
QByteArray Golden(std::initializer_list<std::pair<int, const char*>> Parts)
{
    QByteArray Bytes(1024, '\0');
    for (const auto& [Offset, Hex] : Parts) {
        const QByteArray Value = QByteArray::fromHex(Hex);
        Bytes.replace(Offset, Value.size(), Value);
    }
    return Bytes;
}

TEST(ExtDLLBlockTest, AKnownRecordGivesTheHandWrittenBytes)
{
    TCallerRecord Record;
    Record.SchTel = {u"0312345678"_qs, u"09011112222"_qs, u"0444444444"_qs, {}};
    Record.Tel = {u"03-1234-5678"_qs, u"090-1111-2222"_qs, u"044-444-4444"_qs, {}};
    Record.TelIndex = 1;
    Record.Pos = u"100-0001"_qs;
    Record.Tdfkn = u"東京都"_qs;
    Record.Adrs1 = u"千代田区"_qs;
    Record.Adrs2 = u"丸の内１－１"_qs;
    Record.Adrs3 = u"not passed"_qs;
    Record.JisCode = u"13101"_qs;
    Record.KajoCode = u"001"_qs;
    Record.CorpKana = u"ｶ)ｱｵｿﾞﾗ"_qs;
    Record.CorpKanji = u"株式会社青空"_qs;
    Record.NameKana = u"ﾔﾏﾀﾞ"_qs;
    Record.NameKanji = u"山田太郎"_qs;
    Record.PrivCorp = 1;
    Record.Memo1 = u"m1"_qs;
    Record.Memo2 = u"m2"_qs;
    Record.Memo3 = u"m3"_qs;
    Record.Rank = u"A"_qs;
    Record.Latitude = 128000000;
    Record.Longitude = -500;
    Record.RecvDateTime = 46365.5;
    Record.BeforeRecvDateTime = 46357.25;
    Record.Division = 1;
    Record.SelItem1 = u"至急"_qs;
    Record.SelItem2 = u"見積"_qs;
    Record.SelItem3 = u"x"_qs;
    Record.EMail = u"a@b.jp"_qs;
    Record.Msg1 = u"not passed"_qs;
    Record.Note = QStringList{u"not passed"_qs};

    const QByteArray Want = Golden({
        {0, "30333132333435363738"},
        {12, "3039303131313132323232"},
        {24, "30332d313233342d35363738"},
        {38, "3039302d313131312d32323232"},
        {52, "01000000"},
        {56, "3130302d30303031"},
        {65, "938c8b9e9373"},
        {74, "90e791e393638be6"},
        {107, "8adb82cc93e08250817c8250"},
        {260, "3133313031"},
        {266, "b629b1b5bfded7"},
        {347, "8a948eae89ef8ed090c28bf3"},
        {460, "d4cfc0de"},
        {481, "8e52936391be9859"},
        {504, "01000000"},
        {508, "6d31"},
        {609, "6d33"},
        {710, "6d32"},
        {811, "41"},
        {832, "0020a107"},
        {836, "0cfeffff"},
        {840, "00000000b0a3e640"},
        {848, "00000000a8a2e640"},
        {856, "01000000"},
        {860, "8e8a8b7d"},
        {891, "8ca990cf"},
        {922, "78"},
        {953, "6140622e6a70"},
    });
    EXPECT_EQ(BlockBytes(Record).toHex(), Want.toHex());
}

TEST(ExtDLLBlockTest, LongTextsAreCutInsideTheirSlotWithoutHalfCharacters)
{
    TCallerRecord Record;
    Record.CorpKanji = QString(60, u'あ');           // 120 bytes into a slot of 113
    Record.NameKanji = u"a"_qs + QString(14, u'い'); // 29 bytes; 22 would split the eleventh character
    Record.SchTel[0] = u"P"_qs;
    Record.Tel[0] = u"P"_qs;
    Record.RecvDateTime = 1.5;
    const QByteArray Bytes = BlockBytes(Record);
    EXPECT_EQ(Bytes.mid(347, 112), QByteArray::fromHex(QByteArray("82a0").repeated(56)));
    EXPECT_EQ(Bytes.at(459), '\0');
    EXPECT_EQ(Bytes.mid(481, 23),
              QByteArray("a") + QByteArray::fromHex(QByteArray("82a2").repeated(10)) + QByteArray(2, '\0'));
    // A caller-number code: "P" in both first slots, the times, and nothing else.
    QByteArray Rest = Bytes;
    Rest.replace(347, 113, QByteArray(113, '\0')).replace(481, 23, QByteArray(23, '\0'));
    EXPECT_EQ(Rest.toHex(), Golden({{0, "50"}, {24, "50"}, {840, "000000000000f83f"}}).toHex());
}

class ExtDLLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Program.isValid() && Settings.isValid());
        SettingsPath = Settings.path() + u'/';
        Record.SchTel[0] = u"0312345678"_qs;
        Record.Tel[0] = u"03-1234-5678"_qs;
        Record.NameKanji = u"山田太郎"_qs;
        Record.RecvDateTime = 46365.5; // 2026-12-09 12:00
    }
    void TearDown() override
    {
        while (ExtDllLoaded())
            FreeExtDll();
        SettingsPath.clear();
    }
    void Install(const QString& Source) { ASSERT_TRUE(QFile::copy(Source, Program.filePath(ExtDllFileName))); }
    QByteArray Read(const QString& Name) const
    {
        QFile File(Settings.filePath(Name));
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
    }

    QTemporaryDir Program;
    QTemporaryDir Settings;
    TCallerRecord Record;
    QStringList Shown;
    std::function<void(const QString&)> Show = [this](const QString& Text) { Shown << Text; };
};

TEST_F(ExtDLLTest, NoLibraryMeansNoCallNoMessageNoLog)
{
    EXPECT_FALSE(ExtDllExists(Program.path()));
    EXPECT_EQ(CallExtDll(Record), ExtDllRcNotLoaded);
    EXPECT_TRUE(QDir(Settings.path()).entryList(QDir::Files).isEmpty());
    // Asked to load all the same, it says why it cannot.
    EXPECT_EQ(LoadExtDll(Show), ExtDllRcLoadError);
    EXPECT_EQ(Shown, QStringList{u"ExtDLL.so LoadLibrary Error  \r\nDLLのロードに失敗しました  "_qs});
    FreeExtDll();
}

TEST_F(ExtDLLTest, ALibraryWithoutTheExportIsRefusedAndLetGo)
{
    Install(QStringLiteral(VX_BIN_DIR "/VxComm3.so"));
    ASSERT_TRUE(ExtDllExists(Program.path()));
    EXPECT_EQ(LoadExtDll(Show), ExtDllRcBindError);
    EXPECT_EQ(Shown,
              QStringList{u"ExtendDLLFunc (ExtDLL.so) GetProcAddress Error  \r\n関数の割り当てに失敗しました  "_qs});
    EXPECT_FALSE(ExtDllLoaded());
    EXPECT_EQ(CallExtDll(Record), ExtDllRcNotLoaded);
}

TEST_F(ExtDLLTest, TheSampleWritesEachCallAndAFailingCallAddsOneLogLineToWhatWasThere)
{
    Install(QStringLiteral(VX_BIN_DIR "/samples/ExtDLL.so"));
    ASSERT_TRUE(ExtDllExists(Program.path()));
    ASSERT_EQ(LoadExtDll(Show), 0);
    ASSERT_EQ(LoadExtDll(Show), 0); // a second use of the loaded library
    FreeExtDll();
    ASSERT_TRUE(ExtDllLoaded());

    EXPECT_EQ(CallExtDll(Record), 1);
    EXPECT_EQ(QString::fromUtf8(Read(u"calls.txt"_qs)), u"2026/12/09 12:00:00\t03-1234-5678\t山田太郎\n"_qs);
    EXPECT_TRUE(Read(ExtDllLogFileName).isEmpty());

    // The sample cannot write where calls.txt is a folder: it answers 0, and the log keeps its old lines.
    ASSERT_TRUE(QFile::remove(Settings.filePath(u"calls.txt"_qs)));
    ASSERT_TRUE(QDir(Settings.path()).mkdir(u"calls.txt"_qs));
    {
        QFile Log(Settings.filePath(ExtDllLogFileName));
        ASSERT_TRUE(Log.open(QIODevice::WriteOnly));
        Log.write("earlier line\r\n");
    }
    EXPECT_EQ(CallExtDll(Record), 0);
    const QString Log = QString::fromLatin1(Read(ExtDllLogFileName));
    EXPECT_TRUE(QRegularExpression(u"^earlier line\r\n\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d,"
                                   "extended dll call error \\[rc=0\\]\r\n$"_qs)
                    .match(Log)
                    .hasMatch())
        << Log.toStdString();

    // A log that cannot be written costs only its line.
    SettingsPath = Settings.filePath(u"missing/"_qs);
    EXPECT_EQ(CallExtDll(Record), 0);
    FreeExtDll();
    EXPECT_FALSE(ExtDllLoaded());
}

} // namespace
