// The built dictionary against the whole of Japan Post's data it was built from: every postal code,
// every municipality, through the product's own wrappers and the stand-ins they load.

#include "directory/DicField.h"
#include "directory/dic/AdrsDicClass.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dic/PosDicClass.h"
#include "main/common/CommonText.h"
#include "peers/dic/DicBuild.h"
#include "peers/dic/PostalJson.h"

#include <QHash>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QString DicFolder = QStringLiteral(VX_BIN_DIR "/Dic/");

template <std::size_t N> QString Text(const char (&Field)[N])
{
    return FixedFieldText(Field, static_cast<int>(N));
}

// What a field of Size bytes holds of a text: cut on a character, missing characters shown.
QString Fitted(const QString& Value, int Size)
{
    return FixedFieldText(DicFieldBytes(Value, Size).constData(), static_cast<int>(DicFieldBytes(Value, Size).size()))
        .trimmed();
}

// The municipality's reading as the postal record's 40-byte kana field leaves it after the prefecture.
QString CityKanaField(const TPostalRow& Row)
{
    for (int I = 0; I < PrefectureCount; ++I)
        if (PrefectureNames[I] == Row.Pref)
            return SplitPrefectureKana(Fitted(PrefectureKanaNames[I] + Row.CityKana, 40)).Rest;
    return {};
}

class PostalDataTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Source = new TPostalFile;
        QString Error;
        if (QStringLiteral(VX_DIC_SOURCE).startsWith(QLatin1String("Japan Post")))
            Loaded = ReadJpostalFolder(QStringLiteral(VX_JPOSTAL_DIR "/json"), *Source, Error);
    }
    static void TearDownTestSuite()
    {
        delete Source;
        Source = nullptr;
    }
    void SetUp() override
    {
        if (!Loaded)
            GTEST_SKIP() << "this build's dictionary is made from the SKK lists (" VX_DIC_SOURCE ")";
    }

    static inline TPostalFile* Source = nullptr;
    static inline bool Loaded = false;
};

TEST_F(PostalDataTest, EveryPostalCodeYieldsItsPlacesAndReadingsAsJapanPostWritesThem)
{
    ASSERT_GT(Source->Rows.size(), 140000);
    // code -> the lines a search must show: "city|city kana|town|town kana" and "office|block|name".
    QHash<QString, QSet<QString>> Expected;
    for (const TPostalRow& Row : Source->Rows) {
        const QString City = Fitted(Row.Pref + Row.City, 40) + u'|' + CityKanaField(Row);
        if (Row.Office.isEmpty() && Row.Block.isEmpty())
            Expected[Row.Code].insert(City + u'|' + Fitted(Row.Town, 102) + u'|' +
                                      Fitted(Row.Town.isEmpty() ? Row.CityKana : Row.TownKana, 102));
        else
            Expected[Row.Code].insert(City + QStringLiteral("|office|") + Fitted(Row.Town + Row.Block, 102) + u'|' +
                                      Fitted(Row.Office, 62));
    }
    TPosSearch Search(BinFolder, DicFolder);
    int Wrong = 0;
    for (auto It = Expected.cbegin(); It != Expected.cend() && Wrong < 10; ++It) {
        QSet<QString> Found;
        const int Rc = Search.Search(It.key());
        for (int C = 0; Rc == 0 && C < Search.CityCount(); ++C) {
            const TPrefectureSplit Kana = SplitPrefectureKana(Text(Search.City(C).Kana).trimmed());
            const QString City =
                Text(Search.City(C).Kanji).trimmed() + u'|' + (Kana.Found ? Kana.Rest : QStringLiteral("?"));
            if (Search.ListTowns(C, false) == 0)
                for (int T = 0; T < Search.TownCount(); ++T)
                    Found.insert(City + u'|' + Text(Search.Town(T).Kanji).trimmed() + u'|' +
                                 Text(Search.Town(T).Kana).trimmed());
            if (Search.ListTowns(C, true) == 0)
                for (int T = 0; T < Search.TownCount(); ++T)
                    Found.insert(City + QStringLiteral("|office|") + Text(Search.Town(T).Kanji).trimmed() + u'|' +
                                 Text(Search.Office(T).Kanji).trimmed());
        }
        if (Found != It.value()) {
            ++Wrong;
            ADD_FAILURE() << It.key().toStdString() << ": expected "
                          << QStringList(It->values()).join(" ; ").toStdString() << "\n  got "
                          << QStringList(Found.values()).join(" ; ").toStdString();
        }
    }
    EXPECT_EQ(Wrong, 0);
}

TEST_F(PostalDataTest, EveryMunicipalityIsFoundByItsNameAndByItsPrefecture)
{
    QHash<QString, QSet<QString>> OfPrefecture; // prefecture -> "prefecture|municipality" as the records hold them
    QSet<QString> Seen;
    for (const TPostalRow& Row : Source->Rows)
        if (!Seen.contains(Row.Pref + Row.City)) {
            Seen.insert(Row.Pref + Row.City);
            OfPrefecture[Row.Pref].insert(Fitted(Row.Pref, 10) + u'|' + Fitted(Row.City, 26) + u'|' +
                                          Fitted(Row.CityKana, 26));
        }
    EXPECT_GT(Seen.size(), 1880);
    TAdrsSearch Search(BinFolder, DicFolder);
    auto Listed = [&](const QString& Address) {
        QSet<QString> Cities;
        if (Search.Search(Address) == 0)
            for (int C = 0; C < Search.CityCount(); ++C)
                Cities.insert(Text(Search.City(C).PrefKanji).trimmed() + u'|' +
                              Text(Search.City(C).CityKanji).trimmed() + u'|' +
                              Text(Search.City(C).CityKana).trimmed());
        return Cities;
    };
    int Wrong = 0;
    for (auto It = OfPrefecture.cbegin(); It != OfPrefecture.cend(); ++It) {
        EXPECT_EQ(Listed(It.key()), It.value()) << It.key().toStdString();
        for (const QString& City : It.value()) {
            const QString Name = City.section(u'|', 1, 1);
            const QSet<QString> ByFullName = Listed(It.key() + Name);
            const QSet<QString> ByName = Listed(Name);
            if (ByFullName != QSet<QString>{City} || !ByName.contains(City)) {
                ++Wrong;
                ADD_FAILURE() << City.toStdString() << ": "
                              << QStringList(ByFullName.values()).join(" ; ").toStdString() << " / "
                              << QStringList(ByName.values()).join(" ; ").toStdString();
            }
            if (Wrong > 10)
                return;
        }
    }
}

TEST_F(PostalDataTest, EveryExchangeAreaOfTheGeocoderReachesMunicipalitiesOfJapanPost)
{
    QProcess Samples;
    Samples.start(BinFolder + QStringLiteral("vxareacheck"), {QStringLiteral("--samples")});
    ASSERT_TRUE(Samples.waitForFinished(120000));
    const QStringList Lines = QString::fromUtf8(Samples.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(Lines.size(), 500);
    QSet<QString> Municipalities;
    for (const TPostalRow& Row : Source->Rows)
        Municipalities.insert(Fitted(Row.Pref + Row.City, 40));
    TKykbnSearch Search(BinFolder, DicFolder);
    int Wrong = 0;
    for (const QString& Line : Lines) {
        const QString Area = Line.section(u'\t', 0, 0);
        const QString Number = Line.section(u'\t', 1, 1);
        const int Rc = Search.Search(Number);
        QStringList Cities;
        // Past the twentieth the interface leaves the records empty.
        for (int C = 0; Rc == 0 && C < Search.CityCount(); ++C)
            if (!Text(Search.City(C).Kanji).trimmed().isEmpty())
                Cities << Text(Search.City(C).Kanji).trimmed();
        const bool Known = !Cities.isEmpty() && std::all_of(Cities.begin(), Cities.end(), [&](const QString& City) {
            return Municipalities.contains(City);
        });
        // The dialog lists the towns of every one of them.
        const bool Towns = Known && Search.ListTowns(0) == 0 && Search.TownCount() > 0;
        if (!Towns && ++Wrong <= 10)
            ADD_FAILURE() << Area.toStdString() << " " << Number.toStdString() << ": rc " << Rc << " "
                          << Cities.join(u' ').toStdString();
    }
    EXPECT_EQ(Wrong, 0);
}

} // namespace
