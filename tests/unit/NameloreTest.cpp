#include "directory/namedic/NameloreLib.h"
#include "platform/dynlib/DynLib.h"
#include "platform/text/Cp932.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

constexpr int Family = 0;
constexpr int Given = 1;

const QString DataDir = QStringLiteral(VX_TEST_DATA_DIR "/");
const char* const DebianDic = "/usr/share/skk/SKK-JISYO.jinmei";

class NameloreTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(Lib.Load(QStringLiteral(VX_BIN_DIR "/Namelore.so"))); }

    QStringList Names(const QString& Reading, int Kind, const QString& Folder = DataDir)
    {
        const auto Counted = Lib.Count(Reading, Kind, Folder);
        QStringList Result;
        for (const auto& N : Lib.List(Reading, Kind, Counted.Count, Folder).Names)
            Result << N.Reading + QLatin1Char(':') + N.Name;
        return Result;
    }

    TNameloreLib Lib;
};

TEST_F(NameloreTest, TagsDecideWhetherANameIsAFamilyOrAGivenName)
{
    EXPECT_EQ(Names(QStringLiteral("ﾀﾅｶ"), Family),
              (QStringList{QStringLiteral("ﾀﾅｶ:田中"), QStringLiteral("ﾀﾅｶ:多仲"), QStringLiteral("ﾀﾅｶ:他那香")}));
    EXPECT_EQ(Names(QStringLiteral("ﾀﾅｶ"), Given),
              (QStringList{QStringLiteral("ﾀﾅｶ:棚香"), QStringLiteral("ﾀﾅｶ:多仲"), QStringLiteral("ﾀﾅｶ:他那香")}));
    // "人名&地名" is a person's name; an annotation after a comma is no tag.
    EXPECT_EQ(Names(QStringLiteral("ﾀﾅﾍﾞ"), Given), QStringList{QStringLiteral("ﾀﾅﾍﾞ:渡部")});
    EXPECT_EQ(Names(QStringLiteral("ﾀﾅﾍﾞ"), Family),
              (QStringList{QStringLiteral("ﾀﾅﾍﾞ:田辺"), QStringLiteral("ﾀﾅﾍﾞ:渡部")}));
}

TEST_F(NameloreTest, APrefixListsTheExactReadingFirstThenLongerOnesInReadingOrder)
{
    // The common surnames the library adds to any dictionary take their places among its own.
    EXPECT_EQ(Names(QStringLiteral("ﾀ"), Family),
              (QStringList{QStringLiteral("ﾀ:多"), QStringLiteral("ﾀｶｷﾞ:髙木"), QStringLiteral("ﾀｶｼﾏ:髙島"),
                           QStringLiteral("ﾀｶｾ:髙瀬"), QStringLiteral("ﾀｶﾀﾞ:髙田"), QStringLiteral("ﾀｶﾅｼ:小鳥遊"),
                           QStringLiteral("ﾀｶﾉ:髙野"), QStringLiteral("ﾀｶﾊｼ:髙橋"), QStringLiteral("ﾀｶﾊﾏ:髙濱"),
                           QStringLiteral("ﾀｶﾔﾏ:髙山"), QStringLiteral("ﾀﾅｶ:田中"), QStringLiteral("ﾀﾅｶ:多仲"),
                           QStringLiteral("ﾀﾅｶ:他那香"), QStringLiteral("ﾀﾅﾍﾞ:田辺"), QStringLiteral("ﾀﾅﾍﾞ:渡部")}));
    EXPECT_EQ(Names(QStringLiteral("ﾀﾅ"), Family).first(), QStringLiteral("ﾀﾅｶ:田中"));
}

TEST_F(NameloreTest, WhatDoesNotFitOrIsNoReadingIsLeftOutNeverCut)
{
    // 12 bytes exactly fill the field and come back whole; 13 bytes are left out.
    EXPECT_EQ(Names(QStringLiteral("ﾊｾｶﾞﾜ"), Family), QStringList{QStringLiteral("ﾊｾｶﾞﾜ:長谷川長谷川")});
    // A computed candidate, a reading in kanji, a reading past 12 bytes and a damaged line add nothing,
    // and the lines after them are still read.
    EXPECT_EQ(Names(QStringLiteral("ﾅｶﾑﾗ"), Family), QStringList{QStringLiteral("ﾅｶﾑﾗ:中村")});
    EXPECT_EQ(Names(QStringLiteral("ﾅｶﾞｲ"), Family), QStringList());
    EXPECT_EQ(Names(QStringLiteral("ﾔﾏﾀﾞ"), Given), QStringList{QStringLiteral("ﾔﾏﾀﾞ:山田")});
}

// Famous full names, ordinary words tagged as names, kana spellings of surnames and Latin letters
// are no one's name; the companion dictionaries beside the name dictionary tell them apart.
TEST_F(NameloreTest, TheListsHoldOnlyNamesAPersonHas)
{
    const QString Folder = DataDir + QStringLiteral("NameSieve/");
    const auto Family_ = [&](const char* Reading) { return Names(QString::fromUtf8(Reading), Family, Folder); };
    const auto Given_ = [&](const char* Reading) { return Names(QString::fromUtf8(Reading), Given, Folder); };
    // A family name followed by a given name is a full name, whether or not the dictionary knows the
    // given name; a surname that merely begins with another (長谷 + 川) stays.
    EXPECT_EQ(Family_("ｻﾄｳ"), QStringList{QStringLiteral("ｻﾄｳ:佐藤")});
    EXPECT_EQ(Family_("ﾀｶﾊｼ"), (QStringList{QStringLiteral("ﾀｶﾊｼ:高橋"), QStringLiteral("ﾀｶﾊｼ:髙橋")}));
    EXPECT_EQ(Family_("ｵｻﾞｷ"), QStringList{QStringLiteral("ｵｻﾞｷ:尾崎")});
    EXPECT_EQ(Family_("ﾊｾ"), (QStringList{QStringLiteral("ﾊｾ:長谷"), QStringLiteral("ﾊｾｶﾞﾜ:長谷川")}));
    EXPECT_EQ(Given_("ﾀﾁﾊﾞﾅ"), QStringList()); // 立花隆 is in the full-name dictionary
    // 障子 is an ordinary word; 庄司 begins a famous full name, 正治 is typed a given name elsewhere,
    // 石津 names a place: they stay.
    EXPECT_EQ(Family_("ｼｮｳｼﾞ"), (QStringList{QStringLiteral("ｼｮｳｼﾞ:庄司"), QStringLiteral("ｼｮｳｼﾞ:正治")}));
    EXPECT_EQ(Family_("ｲｼﾂﾞ"), QStringList{QStringLiteral("ｲｼﾂﾞ:石津")});
    // Kana is a given name's own spelling, never a surname's; Latin letters are no name here.
    EXPECT_EQ(Family_("ｻﾕﾘ"), QStringList());
    EXPECT_EQ(Given_("ｻﾕﾘ"), QStringList{QStringLiteral("ｻﾕﾘ:さゆり")});
    EXPECT_EQ(Family_("ﾏｲﾄﾞ"), QStringList());
    EXPECT_EQ(Given_("ﾒｲ"), QStringList{QStringLiteral("ﾒｲ:芽依")});
    // Names common today that SKK lacks.
    EXPECT_EQ(Family_("ﾀｶﾅｼ"), QStringList{QStringLiteral("ﾀｶﾅｼ:小鳥遊")});
    EXPECT_EQ(Given_("ﾋﾏﾘ"), (QStringList{QStringLiteral("ﾋﾏﾘ:ひまり"), QStringLiteral("ﾋﾏﾘ:陽葵")}));
    EXPECT_EQ(Family_("ﾋﾏﾘ"), QStringList());

    // Without the companions only their rules are off: 障子 cannot be told from a name.
    QTemporaryDir Alone;
    ASSERT_TRUE(
        QFile::copy(Folder + QStringLiteral("SKK-JISYO.jinmei"), Alone.filePath(QStringLiteral("SKK-JISYO.jinmei"))));
    const QString AloneFolder = Alone.path() + QLatin1Char('/');
    EXPECT_TRUE(Names(QStringLiteral("ｼｮｳｼﾞ"), Family, AloneFolder).contains(QStringLiteral("ｼｮｳｼﾞ:障子")));
    EXPECT_EQ(Names(QStringLiteral("ｻﾄｳ"), Family, AloneFolder), QStringList{QStringLiteral("ｻﾄｳ:佐藤")});
}

TEST_F(NameloreTest, NoNameAnswersRc8AndCount0)
{
    for (const QString& Reading : {QStringLiteral("ﾇﾇ"), QStringLiteral("ﾀﾅk"), QStringLiteral("たなか"), QString(),
                                   QStringLiteral("ﾀﾅｶﾀﾅｶﾀﾅｶﾀﾅｶ")}) {
        const auto Counted = Lib.Count(Reading, Family, DataDir);
        EXPECT_EQ(Counted.Rc, 8) << Reading.toStdString();
        EXPECT_EQ(Counted.Count, 0) << Reading.toStdString();
    }
}

// The record as the library writes it, byte for byte.
TEST_F(NameloreTest, EntriesAreTheRecordOfTheInterface)
{
    TDynLib Raw;
    ASSERT_TRUE(Raw.Load(QStringLiteral(VX_BIN_DIR "/Namelore.so")));
    using TCount = int (*)(const char*, std::int32_t, std::int32_t*, const char*);
    using TList = int (*)(const char*, std::int32_t, TNameDicEntry*, std::int32_t, const char*);
    const auto SeiCount = Raw.SymbolAs<TCount>("NameloreSeiCount");
    const auto SeiList = Raw.SymbolAs<TList>("NameloreSeiList");
    ASSERT_TRUE(SeiCount && SeiList);
    const QByteArray Folder = QFile::encodeName(DataDir);
    std::int32_t N = -5;
    ASSERT_EQ(SeiCount("\xC0\xC5\xB6", 0, &N, Folder.constData()), 0);
    ASSERT_EQ(N, 3);
    TNameDicEntry Entries[2]{};
    ASSERT_EQ(SeiList("\xC0\xC5\xB6", 0, Entries, 2, Folder.constData()), 0);          // fewer asked for than there are
    const unsigned char Golden[24] = {0xC0, 0xC5, 0xB6, 0,    0, 0, 0, 0, 0, 0, 0, 0,  // ﾀﾅｶ
                                      0x93, 0x63, 0x92, 0x86, 0, 0, 0, 0, 0, 0, 0, 0}; // 田中
    EXPECT_EQ(std::memcmp(&Entries[0], Golden, sizeof Golden), 0);
    TNameDicEntry Full{};
    ASSERT_EQ(SeiList("\xCA\xBE\xB6\xDE\xDC", 0, &Full, 1, Folder.constData()), 0);
    EXPECT_EQ(QByteArray(Full.Name, 12), Cp932Encode(QStringLiteral("長谷川長谷川"))); // no NUL
    EXPECT_EQ(SeiList("\xC0\xC5\x6B", 0, &Full, 1, Folder.constData()), 8);
}

// A library that counts below 0 or lists fewer names than it counted.
TEST_F(NameloreTest, LyingCountsNeverReachBeyondTheList)
{
    TNameloreLib Negative;
    ASSERT_TRUE(Negative.Load(QStringLiteral(VX_FIXTURE_DIR "/namelore_negative/Namelore.so")));
    EXPECT_EQ(Negative.Count(QStringLiteral("ﾀ"), Family, DataDir).Count, 0);
    EXPECT_TRUE(Negative.List(QStringLiteral("ﾀ"), Family, -1, DataDir).Names.isEmpty());
    TNameloreLib Short;
    ASSERT_TRUE(Short.Load(QStringLiteral(VX_FIXTURE_DIR "/namelore_short/Namelore.so")));
    const auto Counted = Short.Count(QStringLiteral("ﾀ"), Family, DataDir);
    ASSERT_EQ(Counted.Count, 9);
    const auto Listed = Short.List(QStringLiteral("ﾀ"), Family, Counted.Count, DataDir);
    ASSERT_EQ(Listed.Names.size(), 3);
    EXPECT_EQ(Listed.Names.at(0).Name, QStringLiteral("ABCDEFGHIJKL")); // 12 bytes, no NUL: read within the field
    EXPECT_EQ(Listed.Names.at(2).Reading, QStringLiteral("ﾀﾅｶ"));
}

TEST_F(NameloreTest, AMissingLibraryOrExportLeavesItUnloaded)
{
    TNameloreLib Missing;
    EXPECT_FALSE(Missing.Load(QStringLiteral(VX_BIN_DIR "/NoSuchNamelore.so")));
    EXPECT_EQ(Missing.Count(QStringLiteral("ﾀ"), Family, DataDir).Count, 0);
    TNameloreLib WrongLibrary; // a dictionary library without the name exports
    EXPECT_FALSE(WrongLibrary.Load(QStringLiteral(VX_BIN_DIR "/Numfind.so")));
    EXPECT_FALSE(WrongLibrary.Loaded());
}

// Whatever bytes a user's own file holds, the library reads on and keeps what is sound.
TEST_F(NameloreTest, DamagedAndHostileDictionariesAreReadWithoutHarm)
{
    QTemporaryDir Folder;
    QByteArray Bytes;
    QRandomGenerator Random(1234);
    for (int I = 0; I < 200000; ++I)
        Bytes += static_cast<char>(Random.bounded(256));
    Bytes += '\n';
    QFile Fixture(DataDir + QStringLiteral("SKK-JISYO.jinmei"));
    ASSERT_TRUE(Fixture.open(QIODevice::ReadOnly));
    const QByteArray Sound = Fixture.readAll();
    // The reading たなか and the name 田中 in EUC-JIS-2004 are taken from the shared fixture. A line of a
    // megabyte, a line of NULs, a bare reading and a slash without names.
    QByteArray Long = Sound.mid(Sound.indexOf("\xa4\xbf\xa4\xca\xa4\xab /"));
    Long = Long.left(Long.indexOf(' ') + 2);
    const QByteArray Name = Sound.mid(Sound.indexOf("/\xc5\xc4\xc3\xe6;") + 1, 4);
    for (int I = 0; I < 100000; ++I)
        Long += Name + ";\xc0\xab/";
    Bytes += Long + '\n' + QByteArray(5000, '\0') + "\n\xa4\xbf\n \n/\n\xa4\xbf /\n";
    Bytes += Sound;
    Bytes += "\xa4\xe4\xa4\xde /\xa4"; // cut inside a character at the end, without a line end
    QFile Hostile(Folder.filePath(QStringLiteral("SKK-JISYO.jinmei")));
    ASSERT_TRUE(Hostile.open(QIODevice::WriteOnly));
    Hostile.write(Bytes);
    Hostile.close();
    const QString Path = Folder.path() + QLatin1Char('/');
    const auto Counted = Lib.Count(QStringLiteral("ﾀﾅｶ"), Family, Path);
    EXPECT_EQ(Counted.Count, 500); // the most one reading lists
    EXPECT_EQ(Lib.List(QStringLiteral("ﾀﾅｶ"), Family, Counted.Count, Path).Names.size(), 500);
    EXPECT_EQ(Names(QStringLiteral("ﾔﾏﾀﾞ"), Given, Path), QStringList{QStringLiteral("ﾔﾏﾀﾞ:山田")});
    EXPECT_EQ(Names(QStringLiteral("ﾅﾅﾂ"), Family, Path).size(), 7);
}

TEST_F(NameloreTest, ANameWithAControlCharacterIsLeftOutNotShownCut)
{
    QTemporaryDir Folder;
    QFile Dic(Folder.filePath(QStringLiteral("SKK-JISYO.jinmei")));
    ASSERT_TRUE(Dic.open(QIODevice::WriteOnly));
    // た with the names "a<NUL>b", "田<TAB>x" and 多, in EUC-JIS-2004.
    Dic.write(QByteArray("\xa4\xbf /a\0b;\xc0\xab/\xc5\xc4\tx/\xc2\xbf/\n", 20));
    Dic.close();
    EXPECT_EQ(Names(QStringLiteral("ﾀ"), Family, Folder.path() + QLatin1Char('/')).filter(QStringLiteral("ﾀ:")),
              QStringList{QStringLiteral("ﾀ:多")});
}

TEST_F(NameloreTest, DebiansNameDictionary)
{
    if (!QFile::exists(QString::fromLatin1(DebianDic)))
        GTEST_SKIP() << "skkdic-extra is not installed";
    const QString System = QStringLiteral("/nonexistent/"); // no own file: the system's is read
    const auto Sei = Names(QStringLiteral("ｽｽﾞｷ"), Family, System);
    ASSERT_GE(Sei.size(), 3);
    EXPECT_EQ(Sei.mid(0, 3),
              (QStringList{QStringLiteral("ｽｽﾞｷ:鈴木"), QStringLiteral("ｽｽﾞｷ:鱸"), QStringLiteral("ｽｽﾞｷ:鐸木")}));
    const auto Mei = Names(QStringLiteral("ｽｽﾞｷ"), Given, System);
    EXPECT_TRUE(Mei.contains(QStringLiteral("ｽｽﾞｷ:鐸木")));
    EXPECT_TRUE(Mei.contains(QStringLiteral("ｽｽﾞｷ:スズキ")));
    EXPECT_FALSE(Mei.contains(QStringLiteral("ｽｽﾞｷ:鈴木")));
    const auto Sato = Names(QStringLiteral("ｻﾄｳ"), Given, System);
    EXPECT_TRUE(Sato.contains(QStringLiteral("ｻﾄｳ:佐東")));
    EXPECT_FALSE(Sato.contains(QStringLiteral("ｻﾄｳ:佐藤")));
    const auto Taro = Names(QStringLiteral("ﾀﾛｳ"), Family, System);
    EXPECT_TRUE(Taro.contains(QStringLiteral("ﾀﾛｳ:太郎")));
    EXPECT_FALSE(Taro.contains(QStringLiteral("ﾀﾛｳ:太朗")));
    for (int Kind : {Family, Given}) {
        EXPECT_TRUE(Names(QStringLiteral("ﾔﾏﾀﾞ"), Kind, System).contains(QStringLiteral("ﾔﾏﾀﾞ:山田")));
    }

    // What an office types most: surnames without famous people or stray words, the common forms SKK lacks.
    const auto SatoFamily = Names(QStringLiteral("ｻﾄｳ"), Family, System);
    EXPECT_TRUE(SatoFamily.contains(QStringLiteral("ｻﾄｳ:佐藤")));
    for (const char* Famous : {"ｻﾄｳｴｲｻｸ:佐藤栄作", "ｻﾄｳﾊﾙｵ:佐藤春夫", "ｻﾄｳ:さとう"}) {
        EXPECT_FALSE(SatoFamily.contains(QString::fromUtf8(Famous))) << Famous;
    }
    const auto Shoji = Names(QStringLiteral("ｼｮｳｼﾞ"), Family, System);
    EXPECT_FALSE(Shoji.contains(QStringLiteral("ｼｮｳｼﾞ:障子")));
    for (const char* Surname : {"ｼｮｳｼﾞ:庄司", "ｼｮｳｼﾞ:東海林", "ｼｮｳｼﾞ:荘司"}) {
        EXPECT_TRUE(Shoji.contains(QString::fromUtf8(Surname))) << Surname;
    }
    const auto Takahashi = Names(QStringLiteral("ﾀｶﾊｼ"), Family, System);
    EXPECT_TRUE(Takahashi.contains(QStringLiteral("ﾀｶﾊｼ:高橋")));
    EXPECT_TRUE(Takahashi.contains(QStringLiteral("ﾀｶﾊｼ:髙橋")));
    EXPECT_TRUE(Names(QStringLiteral("ﾀｶﾅｼ"), Family, System).contains(QStringLiteral("ﾀｶﾅｼ:小鳥遊")));
    EXPECT_TRUE(Names(QStringLiteral("ﾋﾏﾘ"), Given, System).contains(QStringLiteral("ﾋﾏﾘ:ひまり")));
}

} // namespace
