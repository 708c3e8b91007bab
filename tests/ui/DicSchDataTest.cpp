// The dictionary dialog on the program folder's own dictionary, built from Japan Post's national
// data: places from every region, chosen the way a user chooses them.

#include "apps/VxRelvo16/DictionaryLink.h"
#include "directory/dicdialog/DicSch.h"
#include "main/settings/Settings.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

QStringList Rows(const QTreeWidget* List, int Column)
{
    QStringList Texts;
    for (int I = 0; I < List->topLevelItemCount(); ++I)
        Texts << List->topLevelItem(I)->text(Column);
    return Texts;
}

class DicSchDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QStringLiteral(VX_DIC_SOURCE).startsWith(QLatin1String("Japan Post")))
            GTEST_SKIP() << "this build's dictionary is made from the SKK lists";
        ProgramPath = QStringLiteral(VX_BIN_DIR "/");
        InstallDictionaryLink();
    }
    void TearDown() override { ProgramPath.clear(); }

    static std::unique_ptr<TDicSearch> NewDialog()
    {
        auto Dialog = std::make_unique<TDicSearch>();
        Dialog->SetTabs(7, true);
        return Dialog;
    }
    static TDicSearchResult Decide(TDicSearch& Dialog)
    {
        Dialog.btnDecision->click();
        EXPECT_TRUE(Dialog.Decided());
        TDicSearchResult Result;
        Dialog.GetResult(Result);
        return Result;
    }

    TScriptedBoxes Boxes;
};

TEST_F(DicSchDataTest, ACodeOfAMunicipalityAloneIsTakenAsTheMunicipality)
{
    struct TCase
    {
        const char* Code;
        const char* Pref;
        const char* City;
    };
    const TCase Cases[] = {
        {"7613110", "香川県", "香川郡直島町"},     {"3998501", "長野県", "北安曇郡松川村"},
        {"3994511", "長野県", "上伊那郡南箕輪村"}, {"1001701", "東京都", "青ヶ島村"},
        {"1000301", "東京都", "利島村"},           {"0600000", "北海道", "札幌市中央区"},
        {"9000000", "沖縄県", "那覇市"},
    };
    for (const TCase& Case : Cases) {
        auto Dialog = NewDialog();
        // One municipality with its one row: the dialog takes it unseen, as it does a code of one town.
        ASSERT_EQ(Dialog->StartSearch(2, QString::fromUtf8(Case.Code)), 1) << Case.Code;
        TDicSearchResult Result;
        Dialog->GetResult(Result);
        EXPECT_EQ(Result.Tdfkn, QString::fromUtf8(Case.Pref)) << Case.Code;
        EXPECT_EQ(Result.Adrs1, QString::fromUtf8(Case.City)) << Case.Code;
        EXPECT_EQ(Result.Adrs2, QString()) << Case.Code;
        EXPECT_EQ(Result.Pos, QString::fromUtf8(Case.Code).insert(3, u'-')) << Case.Code;
    }
    // Several municipalities of one code: each is one choosable row.
    auto Dialog = NewDialog();
    ASSERT_EQ(Dialog->StartSearch(2, QStringLiteral("5100000")), 0);
    ASSERT_EQ(Dialog->lvPosCity->topLevelItemCount(), 3);
    Dialog->lvPosCity->setCurrentItem(Dialog->lvPosCity->topLevelItem(2));
    ASSERT_EQ(Dialog->lvPosTown->topLevelItemCount(), 1);
    EXPECT_EQ(Decide(*Dialog).Adrs1, QStringLiteral("三重郡川越町"));
}

TEST_F(DicSchDataTest, LargeOfficesComeWithNameAndBlockAndOneWithoutATownIsChoosable)
{
    struct TCase
    {
        const char* Code;
        const char* Town; // town and block
        const char* Name;
    };
    const TCase Cases[] = {
        {"0610592", "１２１９番地（月形郵便局私書箱第２号）", "月形町役場"},
        {"1008111", "千代田１－１", "宮内庁"},
        {"0018501", "北二十九条西２丁目１番１号", "学校法人　創成学園　札幌創成高等学校"},
    };
    for (const TCase& Case : Cases) {
        auto Dialog = NewDialog();
        ASSERT_EQ(Dialog->StartSearch(2, QString::fromUtf8(Case.Code)), 0) << Case.Code;
        Dialog->rbPosViewOhguchi->click();
        ASSERT_EQ(Dialog->lvPosTown->topLevelItemCount(), 1) << Case.Code;
        EXPECT_EQ(Dialog->lvPosTown->topLevelItem(0)->text(2), QString::fromUtf8(Case.Town)) << Case.Code;
        EXPECT_EQ(Dialog->lvPosTown->topLevelItem(0)->text(3), QString::fromUtf8(Case.Name)) << Case.Code;
        const TDicSearchResult Result = Decide(*Dialog);
        EXPECT_EQ(Result.Adrs2, QString::fromUtf8(Case.Town)) << Case.Code;
        EXPECT_EQ(Result.NameKanji, QString::fromUtf8(Case.Name).trimmed()) << Case.Code;
    }
}

TEST_F(DicSchDataTest, APrefectureAloneListsItsMunicipalities)
{
    const std::pair<const char*, int> Cases[] = {
        {"北海道", 188}, {"東京都", 62}, {"三重県", 29}, {"京都府", 36}, {"沖縄県", 41}};
    for (const auto& [Pref, Count] : Cases) {
        auto Dialog = NewDialog();
        ASSERT_EQ(Dialog->StartSearch(3, QString::fromUtf8(Pref)), 0) << Pref;
        EXPECT_EQ(Dialog->lvAdrsCity->topLevelItemCount(), Count) << Pref;
        for (const QString& City : Rows(Dialog->lvAdrsCity, 0)) {
            EXPECT_TRUE(City.startsWith(QString::fromUtf8(Pref))) << City.toStdString();
        }
    }
}

TEST_F(DicSchDataTest, AMunicipalityNameOfSeveralPrefecturesIsDecidedByItsTownOrLeftToTheUser)
{
    const std::pair<const char*, QStringList> Cases[] = {
        {"伊達市梁川町中久保", {QStringLiteral("福島県伊達市")}},
        {"伊達市", {QStringLiteral("北海道伊達市"), QStringLiteral("福島県伊達市")}},
        {"森町草ケ谷", {QStringLiteral("静岡県周智郡森町")}},
        {"森町", {QStringLiteral("北海道茅部郡森町"), QStringLiteral("静岡県周智郡森町")}},
        {"府中市", {QStringLiteral("東京都府中市"), QStringLiteral("広島県府中市")}},
        {"府中市宮町", {QStringLiteral("東京都府中市")}},
    };
    for (const auto& [Address, Cities] : Cases) {
        auto Dialog = NewDialog();
        (void)Dialog->StartSearch(3, QString::fromUtf8(Address));
        QStringList Listed = Rows(Dialog->lvAdrsCity, 0);
        QStringList Expected = Cities;
        Listed.sort();
        Expected.sort();
        EXPECT_EQ(Listed, Expected) << Address;
    }
}

TEST_F(DicSchDataTest, SpellingVariantsAndKyotoStreetsFindTheTown)
{
    struct TCase
    {
        const char* Typed;
        const char* City;
        const char* Town;
    };
    const TCase Cases[] = {
        {"東京都多摩市桜ケ丘", "多摩市", "桜ヶ丘"},
        {"青森県弘前市桜ヶ丘", "弘前市", "桜ケ丘"},
        {"神奈川県横浜市保土ヶ谷区桜が丘", "横浜市保土ケ谷区", "桜ケ丘"},
        {"髙松市番町", "高松市", "番町"},
        {"宮﨑県宮崎市橘通東", "宮崎市", "橘通東"},
        {"京都府京都市中京区烏丸通二条下ル秋野々町", "京都市中京区", "秋野々町"},
        {"京都市下京区四条通烏丸東入長刀鉾町", "京都市下京区", "長刀鉾町"},
    };
    for (const TCase& Case : Cases) {
        auto Dialog = NewDialog();
        const int Rc = Dialog->StartSearch(3, QString::fromUtf8(Case.Typed));
        EXPECT_TRUE(Rc == 0 || Rc == 1) << Case.Typed;
        TDicSearchResult Result;
        if (Rc == 0)
            Result = Decide(*Dialog);
        else
            Dialog->GetResult(Result);
        EXPECT_EQ(Result.Adrs1, QString::fromUtf8(Case.City)) << Case.Typed;
        EXPECT_TRUE(Result.Adrs2.startsWith(QString::fromUtf8(Case.Town)))
            << Case.Typed << " " << Result.Adrs2.toStdString();
    }
    // Block numbers with any dash: the large office at 千代田１－１.
    auto Dialog = NewDialog();
    Dialog->show();
    Dialog->pgctlDicType->setCurrentIndex(2);
    Dialog->edtAdrsSch->setText(QStringLiteral("東京都千代田区千代田１ー１"));
    Dialog->bbtnAdrsSch->click();
    Dialog->rbAdrsViewOhguchi->click();
    EXPECT_TRUE(Rows(Dialog->lvAdrsTown, 3).contains(QStringLiteral("宮内庁")));
}

TEST_F(DicSchDataTest, EveryKindOfExchangeAreaListsItsMunicipalities)
{
    struct TCase
    {
        const char* Number;
        const char* City; // one municipality the list must hold
        int Count;        // how many it holds
    };
    const TCase Cases[] = {
        // district towns
        {"0136201234", "北海道虻田郡倶知安町", 1},
        {"0153401234", "北海道標津郡中標津町", 1},
        {"0137501234", "北海道二海郡八雲町", 1},
        {"0247601234", "福島県田村郡三春町", 1},
        {"0556601234", "山梨県南巨摩郡身延町", 1},
        {"0735601234", "和歌山県東牟婁郡串本町", 1},
        // old names of merged cities
        {"0486001234", "埼玉県さいたま市大宮区", 24},
        {"0197201234", "岩手県奥州市", 2},
        {"0187601234", "秋田県大仙市", 2},
        {"0184001234", "秋田県由利本荘市", 2},
        {"0959601234", "長崎県五島市", 1},
        // compound and prefixed names
        {"0422201234", "東京都三鷹市", 4},
        {"0724001234", "大阪府貝塚市", 2},
        {"0980601234", "沖縄県宮古島市", 2},
        {"0499201234", "東京都大島町", 2},
        {"0156601234", "北海道上川郡清水町", 2},
        // lists that were wrong: the islands' city with its towns; one town of a district, not all
        {"0980821234", "沖縄県石垣市", 3},
        {"0165801234", "北海道上川郡上川町", 1},
        // cities of every region
        {"0888001234", "高知県高知市", 1},
        {"0857001234", "鳥取県鳥取市", 1},
    };
    for (const TCase& Case : Cases) {
        auto Dialog = NewDialog();
        ASSERT_EQ(Dialog->StartSearch(0, QString::fromUtf8(Case.Number)), 0) << Case.Number;
        QStringList Cities = Rows(Dialog->lvTelCity, 0);
        Cities.removeAll(QString());
        EXPECT_TRUE(Cities.contains(QString::fromUtf8(Case.City)))
            << Case.Number << " " << Cities.join(u' ').toStdString();
        EXPECT_EQ(Dialog->lvTelCity->topLevelItemCount(), Case.Count) << Case.Number;
        EXPECT_GT(Dialog->lvTelTown->topLevelItemCount(), 0) << Case.Number;
    }
}

TEST_F(DicSchDataTest, ReadingsFillTheKanaFilterAndTheResult)
{
    auto Dialog = NewDialog();
    ASSERT_EQ(Dialog->StartSearch(2, QStringLiteral("100")), 0);
    const int All = Dialog->lvPosTown->topLevelItemCount();
    ASSERT_GT(All, 10);
    Dialog->cbxPosViewKana->setCurrentIndex(2); // か行
    const int Ka = Dialog->lvPosTown->topLevelItemCount();
    EXPECT_GT(Ka, 0);
    EXPECT_LT(Ka, All);
    for (const QString& Initial : Rows(Dialog->lvPosTown, 1)) {
        EXPECT_TRUE(Initial.isEmpty() || QStringLiteral("かきくけこ").contains(Initial)) << Initial.toStdString();
    }
    Dialog->show();
    SaveScreenshot(*Dialog, QStringLiteral("DicSch-kana"));
    const TDicSearchResult Result = Decide(*Dialog);
    EXPECT_EQ(Result.Tdfkn, QStringLiteral("東京都"));
    EXPECT_FALSE(Result.Adrs2.isEmpty());

    auto Address = NewDialog();
    ASSERT_EQ(Address->StartSearch(3, QStringLiteral("沖縄県那覇市")), 0);
    Address->cbxAdrsViewKana->setCurrentIndex(1); // あ行
    ASSERT_GT(Address->lvAdrsTown->topLevelItemCount(), 0);
    EXPECT_EQ(Address->lvAdrsTown->topLevelItem(0)->text(1), QStringLiteral("あ"));
    Address->show();
    SaveScreenshot(*Address, QStringLiteral("DicSch-kana-address"));
}

} // namespace
