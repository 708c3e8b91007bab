// The name edits against what the input-method frameworks really send: results that come back
// after a composition was given up, results Qt commits before it moves the focus, conversions
// committed in pieces and the marks of a converted pre-edit.
#include "main/controls/NMDEdit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QTextCharFormat>
#include <gtest/gtest.h>

namespace {

using TAttributes = QList<QInputMethodEvent::Attribute>;

// A pre-edit as the frameworks mark one under conversion: the segment in the highlight colours.
TAttributes Converted(const QString& Text)
{
    QTextCharFormat Format;
    Format.setBackground(Qt::darkBlue);
    Format.setForeground(Qt::white);
    return {{QInputMethodEvent::TextFormat, 0, static_cast<int>(Text.size()), Format}};
}

struct TNames
{
    TNames()
    {
        Kanji.SetInputType(TInputKind::itKanji);
        Kana.SetInputType(TInputKind::itKana);
        Kanji.SetAssociate(&Kana);
        Kana.SetAssociate(&Kanji);
        SetByteLimit(&Kana, 25);
        Kanji.OnConvertNeed = [this](QObject*, TNameDicKind, bool Show, const QString& Value) {
            Needs << (Show ? QStringLiteral("show:") : QStringLiteral("hide:")) + Value;
        };
        Window.show();
        Window.activateWindow();
        (void)QTest::qWaitForWindowActive(&Window);
        Kanji.setFocus();
    }
    // Sends an event without letting the event loop turn, as Qt does inside one focus change.
    void Send(QWidget* Edit, const QString& PreEdit, const QString& Commit, const TAttributes& Marks = {})
    {
        QInputMethodEvent Event(PreEdit, Marks);
        Event.setCommitString(Commit);
        QApplication::sendEvent(Edit, &Event);
    }
    void PreEdit(const QString& Text, const TAttributes& Marks = {})
    {
        Send(&Kanji, Text, QString(), Marks);
        QApplication::processEvents();
    }
    void Commit(const QString& Text, const TAttributes& Marks = {})
    {
        Send(&Kanji, QString(), Text, Marks);
        QApplication::processEvents();
    }

    QStringList Needs;
    QWidget Window;
    TNMDEdit Kanji{&Window};
    TNMDEdit Kana{&Window};
};

TEST(NMDEditImeTest, ANameChosenDuringACompositionReplacesItEvenWhenTheInputMethodCommitsIt)
{
    for (const bool Late : {false, true}) {
        TNames Names;
        Names.PreEdit(QStringLiteral("さとう"));
        Names.Kanji.InsertName(QStringLiteral("左藤"), QStringLiteral("ｻﾄｳ"), false);
        // The result of the composition given up, as fcitx5 sends it at once and IBus a moment later.
        if (Late)
            QTest::qWait(100);
        Names.Commit(QStringLiteral("さとう"));
        EXPECT_EQ(Names.Kanji.text(), QStringLiteral("左藤　")) << Late;
        EXPECT_EQ(Names.Kana.text(), QStringLiteral("ｻﾄｳ ")) << Late;
        EXPECT_FALSE(Names.Kanji.Composing());
        // Typed on, the same text is a name again.
        Names.PreEdit(QStringLiteral("さとう"));
        Names.Commit(QStringLiteral("さとう"));
        EXPECT_EQ(Names.Kanji.text(), QStringLiteral("左藤　さとう"));
        EXPECT_EQ(Names.Kana.text(), QStringLiteral("ｻﾄｳ ｻﾄｳ"));
    }
}

TEST(NMDEditImeTest, LeavingInMidCompositionGivesTheNameUp)
{
    TNames Names;
    Names.Kanji.setText(QStringLiteral("山"));
    Names.Kana.setText(QStringLiteral("ﾔﾏ"));
    // A click into another field: the composition goes before Qt moves the focus and commits it,
    // and the result the framework answers the reset with is dropped.
    Names.PreEdit(QStringLiteral("やまだ"));
    QTest::mouseClick(&Names.Kana, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(Names.Kanji.Composing());
    Names.Send(&Names.Kanji, QString(), QStringLiteral("やまだ"));
    EXPECT_EQ(Names.Kanji.text(), QStringLiteral("山"));
    EXPECT_EQ(Names.Kana.text(), QStringLiteral("ﾔﾏ"));
    EXPECT_EQ(Names.Needs.last(), QStringLiteral("hide:"));

    // Another application taking the activation: Qt commits the composition and then takes the focus
    // in one go; the result is given up again.
    Names.Kanji.setFocus();
    Names.PreEdit(QStringLiteral("だ"));
    Names.Send(&Names.Kanji, QString(), QStringLiteral("だ"));
    QFocusEvent Away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&Names.Kanji, &Away);
    QApplication::processEvents();
    EXPECT_EQ(Names.Kanji.text(), QStringLiteral("山"));
    EXPECT_EQ(Names.Kana.text(), QStringLiteral("ﾔﾏ"));

    // A name confirmed before the user leaves stays, however fast the click follows.
    Names.Kanji.setFocus();
    Names.PreEdit(QStringLiteral("だ"));
    Names.Send(&Names.Kanji, QString(), QStringLiteral("田"));
    QTest::mouseClick(&Names.Kana, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(Names.Kanji.text(), QStringLiteral("山田"));
    EXPECT_EQ(Names.Kana.text(), QStringLiteral("ﾔﾏﾀﾞ"));
}

TEST(NMDEditImeTest, AConversionCommittedInPiecesGivesEachPieceItsOwnKana)
{
    struct TCase
    {
        const char* Name;
        QStringList RestPreEdits; // what the rest shows after the first piece was committed
        QString RestResult;
        QString Kanji;
        QString Kana;
    };
    const TCase Cases[] = {
        {"rest taken back to kana",
         {QStringLiteral("花子"), QStringLiteral("はなこ")},
         QStringLiteral("はなこ"),
         QStringLiteral("佐藤はなこ"),
         QStringLiteral("ｻﾄｳﾊﾅｺ")},
        {"rest confirmed as converted",
         {QStringLiteral("花子")},
         QStringLiteral("花子"),
         QStringLiteral("佐藤花子"),
         QStringLiteral("ｻﾄｳﾊﾅｺ")},
        {"rest typed anew",
         {QStringLiteral("花子"), QStringLiteral("はなこ"), QStringLiteral("は")},
         QStringLiteral("葉"),
         QStringLiteral("佐藤葉"),
         QStringLiteral("ｻﾄｳﾊ")},
    };
    for (const TCase& Case : Cases) {
        TNames Names;
        Names.PreEdit(QStringLiteral("さとうはなこ"));
        Names.PreEdit(QStringLiteral("佐藤花子"), Converted(QStringLiteral("佐藤")));
        Names.Commit(QStringLiteral("佐藤")); // the first segment only
        for (const QString& Shown : Case.RestPreEdits)
            Names.PreEdit(Shown, Shown == QStringLiteral("花子") ? Converted(Shown) : TAttributes{});
        Names.Commit(Case.RestResult);
        EXPECT_EQ(Names.Kanji.text(), Case.Kanji) << Case.Name;
        EXPECT_EQ(Names.Kana.text(), Case.Kana) << Case.Name;
    }
}

TEST(NMDEditImeTest, APredictedNameTakesTheReadingTheInputMethodReports)
{
    TNames Names;
    Names.PreEdit(QStringLiteral("たかは"));
    Names.PreEdit(QStringLiteral("高橋"), Converted(QStringLiteral("高橋")));
    Names.Commit(QStringLiteral("高橋"), {{QInputMethodEvent::Ruby, 0, 2, QStringLiteral("たかはし")}});
    EXPECT_EQ(Names.Kana.text(), QStringLiteral("ﾀｶﾊｼ"));

    // Without one the reading stays as typed.
    TNames Plain;
    Plain.PreEdit(QStringLiteral("たかは"));
    Plain.PreEdit(QStringLiteral("高橋"), Converted(QStringLiteral("高橋")));
    Plain.Commit(QStringLiteral("高橋"));
    EXPECT_EQ(Plain.Kana.text(), QStringLiteral("ﾀｶﾊ"));
}

TEST(NMDEditImeTest, TheOwnerClosesItsListOnceTheCompositionIsConverted)
{
    TNames Names;
    Names.PreEdit(QStringLiteral("さとう"));
    ASSERT_EQ(Names.Needs.last(), QStringLiteral("show:ｻﾄｳ"));
    Names.PreEdit(QStringLiteral("サトウ"), Converted(QStringLiteral("サトウ"))); // F7
    EXPECT_EQ(Names.Needs.last(), QStringLiteral("hide:ｻﾄｳ"));
    Names.PreEdit(QStringLiteral("さとう"), Converted(QStringLiteral("さとう"))); // F6: hiragana, converted
    EXPECT_EQ(Names.Needs.last(), QStringLiteral("hide:ｻﾄｳ"));
}

TEST(NMDEditImeTest, TheKanaEditTakesTheKanaOfAConversionNeverItsKanji)
{
    TNames Names;
    Names.Kana.setFocus();
    Names.Send(&Names.Kana, QStringLiteral("さとう"), QString());
    Names.Send(&Names.Kana, QStringLiteral("佐藤"), QString(), Converted(QStringLiteral("佐藤")));
    Names.Send(&Names.Kana, QString(), QStringLiteral("佐藤"));
    EXPECT_EQ(Names.Kana.text(), QStringLiteral("ｻﾄｳ"));
    // A conversion with no kana before it is refused.
    Names.Send(&Names.Kana, QString(), QStringLiteral("花"));
    EXPECT_EQ(Names.Kana.text(), QStringLiteral("ｻﾄｳ"));
    // Full-width katakana, letters and digits arrive half-width.
    Names.Send(&Names.Kana, QString(), QStringLiteral("ハナコ１"));
    EXPECT_EQ(Names.Kana.text(), QStringLiteral("ｻﾄｳﾊﾅｺ1"));
}

} // namespace

// An input method that spells ヴ as ゔ in its pre-edit and commits katakana: the reading keeps the
// sound, as it keeps every other voiced kana.
TEST(NMDEditImeTest, AReadingWithVuKeepsItsVoicedMark)
{
    TNames Names;
    Names.PreEdit(QStringLiteral("ゔぃくとりあ"));
    Names.Commit(QStringLiteral("ヴィクトリア"));
    EXPECT_EQ(Names.Kanji.text(), QStringLiteral("ヴィクトリア"));
    EXPECT_EQ(Names.Kana.text(), QStringLiteral("ｳﾞｨｸﾄﾘｱ"));
    EXPECT_EQ(ReadingToHalfKana(QStringLiteral("ゔぁいおりん")), QStringLiteral("ｳﾞｧｲｵﾘﾝ"));
}
