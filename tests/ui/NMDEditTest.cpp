#include "main/controls/NMDEdit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The name pair of a record window: the kanji edit and its kana edit, each the other's Associate.
struct TNamePair
{
    TNamePair()
    {
        Kanji.SetInputType(TInputKind::itKanji);
        Kana.SetInputType(TInputKind::itKana);
        Kanji.SetAssociate(&Kanji); // ignored
        Kanji.SetAssociate(&Kana);
        Kana.SetAssociate(&Kanji);
        SetByteLimit(&Kana, 25);
        Kanji.OnConvertNeed = [this](QObject*, TNameDicKind Kind, bool Show, const QString& Value) {
            Needs << QStringLiteral("%1:%2:%3")
                         .arg(Kind == TNameDicKind::nkLineage ? "family" : "given", Show ? "show" : "hide", Value);
        };
    }
    void PreEdit(const QString& Text)
    {
        QInputMethodEvent Event(Text, {});
        QApplication::sendEvent(&Kanji, &Event);
        QApplication::processEvents();
    }
    void Commit(const QString& Text)
    {
        QInputMethodEvent Event;
        Event.setCommitString(Text);
        QApplication::sendEvent(&Kanji, &Event);
        QApplication::processEvents();
    }
    void TypeName(const QString& Reading, const QString& Name)
    {
        PreEdit(Reading);
        PreEdit(Name); // converted
        Commit(Name);
    }
    [[nodiscard]] QStringList Shown() const { return Needs.filter(QStringLiteral(":show:")); }

    QStringList Needs; // outlives the edits, which report their end too
    QWidget Window;
    TNMDEdit Kanji{&Window};
    TNMDEdit Kana{&Window};
};

TEST(NMDEditTest, TypingAFamilyAndAGivenNameFillsTheKanaEdit)
{
    TNamePair Pair;
    Pair.TypeName(QStringLiteral("たなか"), QStringLiteral("田中"));
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾀﾅｶ"));
    Pair.Commit(QStringLiteral("　")); // the space between the names, typed with no composition open
    Pair.TypeName(QStringLiteral("いちろう"), QStringLiteral("一郎"));
    EXPECT_EQ(Pair.Kanji.text(), QStringLiteral("田中　一郎"));
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾀﾅｶ ｲﾁﾛｳ"));
    // The owner was asked about each reading while it was kana, and told to close after conversion.
    EXPECT_EQ(Pair.Shown(), (QStringList{QStringLiteral("family:show:ﾀﾅｶ"), QStringLiteral("given:show:ｲﾁﾛｳ")}));
    EXPECT_EQ(Pair.Needs.last(), QStringLiteral("given:hide:"));
    EXPECT_FALSE(Pair.Kanji.Composing());
}

TEST(NMDEditTest, ANameCommittedTogetherWithTheNextPreEditKeepsItsReading)
{
    TNamePair Pair;
    Pair.PreEdit(QStringLiteral("やまだ"));
    Pair.PreEdit(QStringLiteral("山田"));
    // Typing on without confirming: the input method commits the converted name and opens the next
    // composition in one event.
    QInputMethodEvent Both(QStringLiteral("た"), {});
    Both.setCommitString(QStringLiteral("山田"));
    QApplication::sendEvent(&Pair.Kanji, &Both);
    QApplication::processEvents();
    Pair.PreEdit(QStringLiteral("たろう"));
    Pair.PreEdit(QStringLiteral("太郎"));
    Pair.Commit(QStringLiteral("太郎"));
    EXPECT_EQ(Pair.Kanji.text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    EXPECT_EQ(Pair.Shown().filter(QStringLiteral("ﾀﾛｳ")), QStringList{QStringLiteral("given:show:ﾀﾛｳ")});
}

TEST(NMDEditTest, ReadingsReplaceAppendAndStayWithinTheLimit)
{
    TNamePair Pair;
    Pair.TypeName(QStringLiteral("たなか"), QStringLiteral("田中"));
    Pair.Kanji.selectAll();
    Pair.TypeName(QStringLiteral("すずき"), QStringLiteral("鈴木"));
    EXPECT_EQ(Pair.Kanji.text(), QStringLiteral("鈴木"));
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ｽｽﾞｷ"));

    // A character with no half-width form is dropped from the reading.
    Pair.Kanji.clear();
    EXPECT_TRUE(Pair.Kana.text().isEmpty()); // emptying the name empties its reading
    Pair.TypeName(QStringLiteral("ゐのうえ"), QStringLiteral("井上"));
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾉｳｴ"));

    // A prediction taken before the last syllable was typed out: the loose letter is no reading.
    Pair.Kanji.selectAll();
    Pair.PreEdit(QStringLiteral("やまd"));
    Pair.Commit(QStringLiteral("山田"));
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾔﾏ"));
    Pair.Kanji.selectAll();
    Pair.PreEdit(QStringLiteral("abc"));
    Pair.Commit(QStringLiteral("abc")); // taken as typed
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("abc"));
    Pair.Kanji.selectAll();
    Pair.TypeName(QStringLiteral("ゐのうえ"), QStringLiteral("井上"));

    // A composition given up leaves no reading behind.
    Pair.PreEdit(QStringLiteral("やまだ"));
    Pair.PreEdit(QString());
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾉｳｴ"));
    EXPECT_FALSE(Pair.Kanji.Composing());

    for (int I = 0; I < 8; ++I)
        Pair.TypeName(QStringLiteral("がぱ"), QStringLiteral("我"));
    EXPECT_EQ(Pair.Kana.text().size(), 25);

    // Typed into the kana edit itself, a reading takes the kana field's form.
    Pair.Kana.clear();
    QInputMethodEvent Reading;
    Reading.setCommitString(QStringLiteral("やまダ"));
    QApplication::sendEvent(&Pair.Kana, &Reading);
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾔﾏﾀﾞ"));
}

TEST(NMDEditTest, TheOwnerIsAskedOnlyAtASyllableBoundary)
{
    TNamePair Pair;
    Pair.PreEdit(QStringLiteral("k"));
    Pair.PreEdit(QStringLiteral("ky"));
    EXPECT_TRUE(Pair.Shown().isEmpty());
    Pair.PreEdit(QStringLiteral("きょ"));
    EXPECT_EQ(Pair.Shown(), QStringList{QStringLiteral("family:show:ｷｮ")});

    struct TCase
    {
        const char* Reading;
        bool Pending, Post;
    } Cases[] = {
        {"k", false, false}, {"ka", true, true},  {"ch", true, false}, {"hh", true, false},   {"hhh", true, true},
        {"lt", true, false}, {"xt", true, true},  {"ky", true, false}, {"ay", true, true},    {"yy", true, false},
        {"kk", true, false}, {"kkk", true, true}, {"kn", true, true},  {"\xB1", false, true},
    };
    for (const TCase& Case : Cases) {
        bool Pending = Case.Pending;
        EXPECT_EQ(SyllableBoundary(QByteArray(Case.Reading), Pending), Case.Post) << Case.Reading;
    }
    EXPECT_EQ(ReadingToHalfKana(QStringLiteral("ヴがぱー、ＡＢ１")), QStringLiteral("ｳﾞｶﾞﾊﾟｰ､AB1"));
}

TEST(NMDEditTest, CursorKeysGoToTheOwnerDuringACompositionAndLeavingCancelsIt)
{
    TNamePair Pair;
    Pair.Window.show();
    Pair.Kanji.setFocus();
    QList<unsigned> Keys;
    bool Take = true;
    Pair.Kanji.OnConvertKeyDown = [&](QObject*, unsigned& Key, bool& Result) {
        Keys << Key;
        Result = Take;
    };
    Pair.Kanji.setText(QStringLiteral("ab"));
    Pair.PreEdit(QStringLiteral("た"));
    QTest::keyClick(&Pair.Kanji, Qt::Key_Down);
    QTest::keyClick(&Pair.Kanji, Qt::Key_Left);
    EXPECT_EQ(Pair.Kanji.cursorPosition(), 2); // the owner took Left
    Take = false;
    QTest::keyClick(&Pair.Kanji, Qt::Key_Left);
    EXPECT_EQ(Pair.Kanji.cursorPosition(), 1);
    QTest::keyClick(&Pair.Kanji, Qt::Key_A); // not a cursor key
    EXPECT_EQ(Keys, (QList<unsigned>{Qt::Key_Down, Qt::Key_Left, Qt::Key_Left}));

    Pair.Needs.clear();
    Pair.Kana.setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(Pair.Kanji.Composing());
    EXPECT_EQ(Pair.Needs, QStringList{QStringLiteral("given:hide:")}); // "ab" stood before the caret
}

TEST(NMDEditTest, InsertNameAndByteSelection)
{
    TNamePair Pair;
    Pair.Kanji.InsertName(QStringLiteral("田中"), QStringLiteral("ﾀﾅｶ"), false);
    EXPECT_EQ(Pair.Kanji.text(), QStringLiteral("田中　"));
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾀﾅｶ "));
    Pair.Kanji.InsertName(QStringLiteral("一郎"), QStringLiteral("ｲﾁﾛｳ"), true);
    EXPECT_EQ(Pair.Kanji.text(), QStringLiteral("田中　一郎"));
    EXPECT_EQ(Pair.Kana.text(), QStringLiteral("ﾀﾅｶ ｲﾁﾛｳ"));

    Pair.Kanji.setText(QStringLiteral("田中abc"));
    Pair.Kanji.setCursorPosition(3);
    EXPECT_EQ(Pair.Kanji.XPSelStart(), 5);
    Pair.Kanji.SetXPSelStart(2);
    Pair.Kanji.SetXPSelLength(3);
    EXPECT_EQ(Pair.Kanji.selectedText(), QStringLiteral("中a"));
    EXPECT_EQ(Pair.Kanji.XPSelLength(), 3);
}

} // namespace
