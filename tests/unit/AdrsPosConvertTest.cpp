#include "utility/fixes/AdrsPosConvert.h"

#include "platform/text/Cp932.h"
#include "utility/fixes/AdrsConvLibs.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QString RecordingFolder = QStringLiteral(VX_FIXTURE_DIR "/addrconv_recording/");

// The libraries of one folder, loaded for one test.
struct TLoaded
{
    explicit TLoaded(const QString& Folder)
    {
        EXPECT_EQ(LoadAddrmend(Folder), 0);
        EXPECT_EQ(LoadPostmend(Folder), 0);
    }
    ~TLoaded()
    {
        FreeAddrmend();
        FreePostmend();
    }
};

// A conversion folder holding a table of the stand-ins.
struct TConvFolder
{
    explicit TConvFolder(const QByteArray& Table)
    {
        QFile Out(Path() + QStringLiteral("Addrmend.tsv"));
        EXPECT_TRUE(Out.open(QIODevice::WriteOnly));
        Out.write(Table);
    }
    [[nodiscard]] QString Path() const { return Dir.path() + QStringLiteral("/"); }
    QTemporaryDir Dir;
};

const QByteArray MergerTable = "東京都旧市\t東京都\t新市\t13999\t1000001\n"
                               "東京都長名市\tあいうえa\t新市\t13998\t1000002\n";

const TPostalCheck NeverValid = [](const QString&) { return false; };
const TPostalCheck AlwaysValid = [](const QString&) { return true; };

// An answer of the recording library: the output record that its CvtAdrs gives back.
void StoreRest(const QString& Folder, const QByteArray& Rest)
{
    TCvtAdrsOut Out;
    std::memset(&Out, 0, sizeof(Out));
    std::memcpy(Out.Whole, "\x93\x8C\x8B\x9E", 4);
    std::memcpy(Out.Tdfkn, "\x93\x8C\x8B\x9E", 4);
    std::memcpy(Out.City, "\x8B\xE6", 2);
    std::memcpy(Out.Rest, Rest.constData(), static_cast<std::size_t>(Rest.size()));
    QFile File(Folder + QStringLiteral("cvtadrs.out"));
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(reinterpret_cast<const char*>(&Out), sizeof(Out));
}

} // namespace

TEST(AdrsPosConvertTest, ConvertedRestKeepsAMatchingAdrs3AndSplitsOtherwise)
{
    TLoaded Loaded(BinFolder);
    TConvFolder Folder(MergerTable);
    TAdrsWork Kept{QStringLiteral("東京都"),
                   QStringLiteral("旧市"),
                   QStringLiteral("本町１－２"),
                   QStringLiteral("ビル３階"),
                   {},
                   {}};
    ASSERT_EQ(ConvertAddress(Kept, Folder.Path(), AlwaysValid), TAdrsOutcome::Changed);
    EXPECT_EQ(Kept.Tdfkn, QStringLiteral("東京都"));
    EXPECT_EQ(Kept.Adrs1, QStringLiteral("新市"));
    EXPECT_EQ(Kept.Adrs2, QStringLiteral("本町１－２"));
    EXPECT_EQ(Kept.Adrs3, QStringLiteral("ビル３階"));
    EXPECT_EQ(Kept.JisCode, QStringLiteral("13999"));

    // A half-width Adrs3 no longer matches the widened rest: the rest is split anew.
    TAdrsWork Split{
        QStringLiteral("東京都"), QStringLiteral("旧市"), QStringLiteral("本町"), QStringLiteral("1"), {}, {}};
    ASSERT_EQ(ConvertAddress(Split, Folder.Path(), AlwaysValid), TAdrsOutcome::Changed);
    EXPECT_EQ(Split.Adrs2, QStringLiteral("本町１"));
    EXPECT_EQ(Split.Adrs3, QString());
}

TEST(AdrsPosConvertTest, ARestOverAHundredBytesSplitsOnACharacterBoundary)
{
    TLoaded Loaded(RecordingFolder);
    QTemporaryDir Dir;
    const QString Folder = Dir.path() + QStringLiteral("/");
    const struct
    {
        QByteArray Rest;
        int Adrs2Bytes;
        int Adrs3Bytes;
    } Cases[] = {
        {QByteArray("\x82\xA0").repeated(65), 100, 30},
        {"A" + QByteArray("\x82\xA0").repeated(64) + "B", 99, 31},
    };
    for (const auto& Case : Cases) {
        ASSERT_EQ(Case.Rest.size(), 130);
        StoreRest(Folder, Case.Rest);
        TAdrsWork Work{
            QStringLiteral("東京"), QStringLiteral("区"), QStringLiteral("あ"), QStringLiteral("別"), {}, {}};
        ASSERT_EQ(ConvertAddress(Work, Folder, AlwaysValid), TAdrsOutcome::Changed);
        EXPECT_EQ(Cp932Width(Work.Adrs2), Case.Adrs2Bytes);
        EXPECT_EQ(Cp932Width(Work.Adrs3), Case.Adrs3Bytes);
        EXPECT_EQ(Cp932Encode(Work.Adrs2 + Work.Adrs3), Case.Rest);
    }
}

TEST(AdrsPosConvertTest, TheAddressIsCutOnACharacterBoundaryAndItsOverflowKept)
{
    TLoaded Loaded(RecordingFolder);
    QTemporaryDir Dir;
    const QString Folder = Dir.path() + QStringLiteral("/");
    StoreRest(Folder, "\x82\xA0");
    // A tab stays one byte after the widening, so byte 184 falls inside the 92nd "あ".
    TAdrsWork Work{QStringLiteral("\t"), {}, QString(50, QChar(0x3042)), QString(42, QChar(0x3042)), {}, {}};
    ASSERT_EQ(ConvertAddress(Work, Folder, AlwaysValid), TAdrsOutcome::Changed);
    QFile Received(Folder + QStringLiteral("received.bin"));
    ASSERT_TRUE(Received.open(QIODevice::ReadOnly));
    const QByteArray Sent = Received.read(186);
    EXPECT_EQ(Sent.left(183), "\t" + QByteArray("\x82\xA0").repeated(91));
    EXPECT_EQ(Sent.mid(183), QByteArray(3, '\0'));
    // The stored rest plus the overflow: a whole "あ".
    EXPECT_EQ(Work.Adrs2 + Work.Adrs3, QStringLiteral("ああ"));
}

TEST(AdrsPosConvertTest, AStoredPostalCodeIsReplacedOnlyWhenNotValid)
{
    TLoaded Loaded(BinFolder);
    TConvFolder Folder(MergerTable);
    const TAdrsWork Row{QStringLiteral("東京都"),  QStringLiteral("旧市"), QStringLiteral("本町"), {},
                        QStringLiteral("1234567"), QStringLiteral("13000")};
    TAdrsWork Valid = Row;
    ASSERT_EQ(ConvertAddress(Valid, Folder.Path(), AlwaysValid), TAdrsOutcome::Changed);
    EXPECT_EQ(Valid.Pos, QStringLiteral("1234567"));
    EXPECT_EQ(Valid.JisCode, QStringLiteral("13999"));
    TAdrsWork Invalid = Row;
    ASSERT_EQ(ConvertAddress(Invalid, Folder.Path(), NeverValid), TAdrsOutcome::Changed);
    EXPECT_EQ(Invalid.Pos, QStringLiteral("1000001"));

    // Already converted: only the postal code changes, and the address code stays.
    TAdrsWork PostOnly{QStringLiteral("東京都"),  QStringLiteral("新市"), QStringLiteral("本町"), {},
                       QStringLiteral("9999999"), QStringLiteral("13000")};
    ASSERT_EQ(ConvertAddress(PostOnly, Folder.Path(), NeverValid), TAdrsOutcome::Changed);
    EXPECT_EQ(PostOnly.Pos, QStringLiteral("1000001"));
    EXPECT_EQ(PostOnly.JisCode, QStringLiteral("13000"));
    EXPECT_EQ(PostOnly.Adrs1, QStringLiteral("新市"));
    TAdrsWork Unknown{QStringLiteral("大阪府"), QStringLiteral("大阪市"), {}, {}, QStringLiteral("5300001"), {}};
    EXPECT_EQ(ConvertAddress(Unknown, Folder.Path(), NeverValid), TAdrsOutcome::Unchanged);
}

TEST(AdrsPosConvertTest, AConversionTooLongForTheFieldsLeavesTheRowAsItWas)
{
    TLoaded Loaded(BinFolder);
    TConvFolder Folder(MergerTable);
    // A nine-byte prefecture does not fit the eight bytes of its field.
    const TAdrsWork Row{QStringLiteral("東京都"), QStringLiteral("長名市"), QStringLiteral("本町"), {}, {}, {}};
    TAdrsWork Work = Row;
    EXPECT_EQ(ConvertAddress(Work, Folder.Path(), NeverValid), TAdrsOutcome::TooLong);
    EXPECT_EQ(Work.Tdfkn, Row.Tdfkn);
    EXPECT_EQ(Work.Adrs1, Row.Adrs1);
    EXPECT_EQ(Work.Pos, Row.Pos);
}

TEST(AdrsPosConvertTest, ACodeOfBadBytesWiderThanItsFieldIsNoAnswer)
{
    TLoaded Loaded(RecordingFolder);
    QTemporaryDir Dir;
    const QString Folder = Dir.path() + QStringLiteral("/");
    TYAdrsToOut Out;
    std::memset(&Out, 0, sizeof(Out));
    std::memcpy(Out.JisCode, "\xFF\xFF\xFF\xFF\xFF", 5);
    std::memcpy(Out.Pos, "\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7);
    QFile File(Folder + QStringLiteral("yadrsto.out"));
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(reinterpret_cast<const char*>(&Out), sizeof(Out));
    File.close();
    TAdrsWork Work{QStringLiteral("東京"), {}, {}, {}, QStringLiteral("12"), QStringLiteral("13101")};
    EXPECT_EQ(ConvertAddress(Work, Folder, NeverValid), TAdrsOutcome::Unchanged);
    EXPECT_EQ(Work.Pos, QStringLiteral("12"));
}
