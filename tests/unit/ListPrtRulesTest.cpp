#include "transfer/print/ListPrtRules.h"

#include "main/common/CustomColors.h"
#include "transfer/print/PageCount.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ListPrtRulesTest, ARuleButtonRetypesAnOnRuleAndASecondClickSwitchesItOff)
{
    TRuleState Rules;
    Rules.Line[RuleLeft] = true;
    Rules.LineType[RuleLeft] = 0;
    ClickRuleButton(Rules, RuleLeft, 2);
    EXPECT_TRUE(Rules.Line[RuleLeft]);
    EXPECT_EQ(Rules.LineType[RuleLeft], 2);
    ClickRuleButton(Rules, RuleLeft, 2);
    EXPECT_FALSE(Rules.Line[RuleLeft]);
    ClickRuleButton(Rules, RuleLeft, 4);
    EXPECT_TRUE(Rules.Line[RuleLeft]);
    EXPECT_EQ(Rules.LineType[RuleLeft], 4);
}

TEST(ListPrtRulesTest, TheOuterFrameSwitchesAllFourTogether)
{
    TRuleState Rules;
    for (int Rule : {RuleTop, RuleBottom, RuleLeft})
        Rules.Line[Rule] = true;
    ClickRuleButton(Rules, RuleButtonOuter, 0);
    for (int Rule : {RuleTop, RuleBottom, RuleLeft, RuleRight}) {
        EXPECT_TRUE(Rules.Line[Rule]) << Rule;
    }
    EXPECT_FALSE(Rules.Line[RuleInnerHorz]);
    ClickRuleButton(Rules, RuleButtonOuter, 0);
    for (int Rule : {RuleTop, RuleBottom, RuleLeft, RuleRight}) {
        EXPECT_FALSE(Rules.Line[Rule]) << Rule;
    }
    // All on but in another type: the click retypes them instead of switching them off.
    ClickRuleButton(Rules, RuleButtonOuter, 0);
    ClickRuleButton(Rules, RuleButtonOuter, 3);
    EXPECT_TRUE(Rules.Line[RuleRight]);
    EXPECT_EQ(Rules.LineType[RuleRight], 3);

    ClickRuleButton(Rules, RuleButtonInner, 1);
    EXPECT_TRUE(Rules.Line[RuleInnerHorz] && Rules.Line[RuleInnerVert]);
    ClickRuleButton(Rules, RuleButtonNone, 1);
    for (bool On : Rules.Line) {
        EXPECT_FALSE(On);
    }
}

TEST(ListPrtRulesTest, OnlyTheTopAndBottomRulesAskForARecount)
{
    TRuleState Rules;
    EXPECT_FALSE(ClickRuleButton(Rules, RuleLeft, 0));
    EXPECT_FALSE(ClickRuleButton(Rules, RuleInnerHorz, 0));
    EXPECT_TRUE(ClickRuleButton(Rules, RuleTop, 0));
    EXPECT_TRUE(ClickRuleButton(Rules, RuleTop, 2));         // the type alone changes the rule's width
    EXPECT_TRUE(ClickRuleButton(Rules, RuleButtonOuter, 2)); // the bottom rule comes on
    EXPECT_FALSE(ClickRuleButton(Rules, RuleButtonInner, 2));
    EXPECT_TRUE(ClickRuleButton(Rules, RuleButtonNone, 0));
    EXPECT_FALSE(ClickRuleButton(Rules, RuleButtonNone, 0));
}

TEST(ListPrtRulesTest, MarginTextsAreAcceptedWithOneDecimalOrGoBack)
{
    struct
    {
        const char* Text;
        std::optional<int> Value;
    } const Cases[] = {
        {"12", 120},  {"12.", 120}, {"12.0", 120}, {" 3.5 ", 35}, {"0", 0}, {"50.1", 501},
        {"1.25", {}}, {"1..2", {}}, {"123", {}},   {".", {}},     {"", {}}, {"1a", {}},
        {"１２", {}}, {"-1", {}},   {"12.3.", {}}, {"123.", {}},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(AcceptMarginText(QString::fromUtf8(C.Text), 4), C.Value) << C.Text;
    }
    EXPECT_EQ(MarginText(120), QStringLiteral("12.0"));
    EXPECT_EQ(MarginText(5), QStringLiteral("0.5"));
    EXPECT_EQ(MarginText(500), QStringLiteral("50.0"));
}

TEST(ListPrtRulesTest, LineTypeSamplesLieOnTheirRows)
{
    QImage Image(40, 16, QImage::Format_RGB32);
    for (int Type : {0, 1, 2}) {
        Image.fill(Qt::white);
        {
            QPainter Painter(&Image);
            DrawLineTypeCell(Painter, QRect(0, 0, 40, 16), Type, false, Qt::white);
        }
        QList<int> Rows;
        for (int Y = 0; Y < 16; ++Y)
            if (Image.pixelColor(20, Y) == Qt::black)
                Rows << Y;
        const QList<int> Expected = Type == 0 ? QList<int>{8} : Type == 1 ? QList<int>{8, 9} : QList<int>{7, 8, 9};
        EXPECT_EQ(Rows, Expected) << Type;
        EXPECT_EQ(Image.pixelColor(3, 8), Qt::white) << "the sample starts 4 pixels in";
        EXPECT_EQ(Image.pixelColor(4, 8), Qt::black);
        EXPECT_EQ(Image.pixelColor(35, 8), Qt::black);
        EXPECT_EQ(Image.pixelColor(36, 8), Qt::white);
    }
}

TEST(ListPrtRulesTest, ThePreviewDrawsEachRuleThatIsOnAtItsPlace)
{
    QImage Image(60, 40, QImage::Format_RGB32);
    Image.fill(Qt::white);
    TRuleState Rules;
    Rules.Line[RuleTop] = true;
    Rules.LineType[RuleTop] = 2;
    Rules.Line[RuleRight] = true;
    Rules.LineType[RuleRight] = 1;
    {
        QPainter Painter(&Image);
        DrawLinePreview(Painter, Image.size(), Rules);
    }
    for (int Y : {6, 7, 8}) {
        EXPECT_EQ(Image.pixelColor(30, Y), Qt::black) << Y;
    }
    EXPECT_NE(Image.pixelColor(30, 9), Qt::black);
    for (int X : {53, 52}) {
        EXPECT_EQ(Image.pixelColor(X, 20), Qt::black) << X;
    }
    EXPECT_NE(Image.pixelColor(51, 20), Qt::black);
    EXPECT_NE(Image.pixelColor(20, 33), Qt::black) << "the bottom rule is off";
    EXPECT_EQ(Image.pixelColor(2, 6), QColor(0xC0, 0xC0, 0xC0)) << "corner guide mark";
}

TEST(CustomColorsTest, TheFileKeepsSixDigitsBlueFirst)
{
    QTemporaryDir Folder;
    QList<QColor> Colors(CustomColorCount, QColor(Qt::black));
    Colors[0] = QColor(255, 0, 0);
    Colors[15] = QColor(0x12, 0x34, 0x56);
    ASSERT_TRUE(SaveCustomColors(Folder.path(), Colors));
    QFile File(Folder.filePath(QStringLiteral("CstmClr.ini")));
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    QByteArray Expected = "[COMMON]\n0=0000FF\n";
    for (int I = 1; I < 15; ++I)
        Expected += QByteArray::number(I) + "=000000\n";
    Expected += "15=563412\n";
    EXPECT_EQ(File.readAll(), Expected);
    EXPECT_EQ(LoadCustomColors(Folder.path()), Colors);
}

TEST(CustomColorsTest, UnreadableValuesAreBlack)
{
    for (const char* Text : {"", "FF", "0000FF0", "0x00FF", "GG0000", "+0000F", "-0000F"}) {
        EXPECT_EQ(CustomColorOfText(QString::fromLatin1(Text)), QColor(Qt::black)) << Text;
    }
    EXPECT_EQ(CustomColorOfText(QStringLiteral(" 00ff00 ")), QColor(0, 255, 0));
}

// A colours file the programs cannot read, or cannot write back as it is, is made anew on the next
// save, so that the colours mixed are offered again.
TEST(CustomColorsTest, AFileThatCannotBeReadIsWrittenAnew)
{
    QTemporaryDir Folder;
    const QString Name = Folder.filePath(QStringLiteral("CstmClr.ini"));
    QList<QColor> Colors(CustomColorCount, QColor(Qt::black));
    Colors[3] = QColor(0x10, 0x20, 0x30);
    for (const QByteArray& Held : {QByteArray("[COMMON]\n0=0000FF\n"), QByteArray("[COMMON]\n0=\xff\xfe\x00\x81\n")}) {
        QFile File(Name);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Held);
        File.close();
        ASSERT_TRUE(File.setPermissions(QFileDevice::Permissions()));
        ASSERT_TRUE(SaveCustomColors(Folder.path(), Colors));
        EXPECT_EQ(QFileInfo(Name).permissions() & (QFile::ReadOwner | QFile::WriteOwner),
                  QFile::ReadOwner | QFile::WriteOwner);
        EXPECT_EQ(LoadCustomColors(Folder.path()), Colors);
    }
}
