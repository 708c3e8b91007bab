#include "directory/namedic/NMDicP.h"
#include "directory/namedic/NameDicOpener.h"
#include "directory/namedic/PopupPlace.h"
#include "directory/record/MeiboVw.h"
#include "main/controls/NMDEdit.h"
#include "main/settings/Settings.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

// The name-reading pop-up in the directory record window: the window's own name edits open it, the
// choice lands in them, and the pop-up never outlives the edit's focus or the window.

namespace {

bool HaveDebianDic()
{
    return QFile::exists(QStringLiteral("/usr/share/skk/SKK-JISYO.jinmei"));
}

void Settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Kana typed into a name edit through the input method, still uncommitted.
void PreEdit(QWidget* Edit, const QString& Kana)
{
    QInputMethodEvent Event(Kana, {});
    QApplication::sendEvent(Edit, &Event);
    Settle();
}

class NameDicMeiboViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HaveDebianDic())
            GTEST_SKIP() << "skkdic-extra is not installed";
        Settings = TSettings();
        SettingsPath = Data.Folder;
        ProgramPath = QStringLiteral(VX_BIN_DIR "/");
        View = std::make_unique<TMeiboView>(*DMVxRelvo16);
        View->ShowRecord(nullptr);
        View->show();
        View->activateWindow();
        (void)QTest::qWaitForWindowActive(View.get());
        View->nmedtNameKanji->setFocus();
    }
    void TearDown() override
    {
        View.reset();
        Settle();
        MeiboViewTools = TMeiboViewTools();
        Settings = TSettings();
        SettingsPath.clear();
        ProgramPath.clear();
    }
    TNameDicP* Popup() const
    {
        TNameDicOpener* Opener = TNameDicOpener::Find(View.get());
        return Opener && Opener->Popup() && !Opener->Popup()->Closing() ? Opener->Popup() : nullptr;
    }
    void Choose(QWidget* Edit, int Downs, int Rights)
    {
        for (int I = 0; I < Downs; ++I)
            QTest::keyClick(Edit, Qt::Key_Down);
        for (int I = 0; I < Rights; ++I)
            QTest::keyClick(Edit, Qt::Key_Right);
        QTest::keyClick(Edit, Qt::Key_Return);
        Settle();
    }

    TRecvData Data;
    std::unique_ptr<TMeiboView> View;
};

TEST_F(NameDicMeiboViewTest, FamilyAndGivenNameFromThePopup)
{
    TScriptedBoxes Boxes;
    TNMDEdit* Kanji = View->nmedtNameKanji;
    PreEdit(Kanji, QStringLiteral("やまだ"));
    TNameDicP* P = Popup();
    ASSERT_TRUE(P);
    EXPECT_TRUE(P->isVisible());
    EXPECT_EQ(P->Kind(), 0);
    // Beside the edit, on the side the input method's candidates leave free (the rule's own cases
    // are in PopupPlaceTest).
    const QRect Edit(Kanji->mapToGlobal(QPoint(0, 0)), Kanji->size());
    const QPoint Placed = NameDicPopupPlace(Edit, P->size(), Kanji->screen()->availableGeometry());
    // The offscreen platform gives a window a frame of one pixel.
    EXPECT_NEAR(P->x(), Placed.x(), 1);
    EXPECT_NEAR(P->y(), Placed.y(), 1);
    EXPECT_EQ(QApplication::focusWidget(), Kanji);
    EXPECT_EQ(P->sgNameList->item(0, 1)->text(), QStringLiteral("山田"));
    // Enter chooses the name and stays in the edit: the window's own walk to the next field waits.
    Choose(Kanji, 1, 0);
    EXPECT_EQ(Kanji->text(), QStringLiteral("山田　"));
    EXPECT_EQ(View->nmedtNameKana->text(), QStringLiteral("ﾔﾏﾀﾞ "));
    EXPECT_FALSE(Popup());
    EXPECT_EQ(QApplication::focusWidget(), Kanji);

    PreEdit(Kanji, QStringLiteral("たろう"));
    P = Popup();
    ASSERT_TRUE(P);
    EXPECT_EQ(P->Kind(), 1);
    QStringList Row0;
    for (int C = 1; C < P->sgNameList->columnCount(); ++C)
        Row0 << P->sgNameList->item(0, C)->text();
    EXPECT_TRUE(Row0.contains(QStringLiteral("太郎")));
    EXPECT_TRUE(Row0.contains(QStringLiteral("太朗")));
    Choose(Kanji, 1, static_cast<int>(Row0.indexOf(QStringLiteral("太郎"))));
    EXPECT_EQ(Kanji->text(), QStringLiteral("山田　太郎"));
    EXPECT_EQ(View->nmedtNameKana->text(), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    EXPECT_EQ(QApplication::focusWidget(), Kanji);
    EXPECT_TRUE(View->isVisible());
    EXPECT_TRUE(Boxes.Boxes().isEmpty());
}

TEST_F(NameDicMeiboViewTest, LeavingTheEditOrClosingTheWindowClosesThePopup)
{
    PreEdit(View->nmedtNameKanji, QStringLiteral("やまだ"));
    ASSERT_TRUE(Popup());
    View->edtMemo1->setFocus();
    Settle();
    EXPECT_FALSE(Popup());

    View->nmedtNameKanji->setFocus();
    PreEdit(View->nmedtNameKanji, QStringLiteral("やまだ"));
    QPointer<TNameDicP> P = Popup();
    ASSERT_TRUE(P);
    View->reject();
    Settle();
    EXPECT_TRUE(P.isNull() || !P->isVisible());

    View->show();
    View->activateWindow();
    (void)QTest::qWaitForWindowActive(View.get());
    View->nmedtNameKanji->setFocus();
    PreEdit(View->nmedtNameKanji, QStringLiteral("やまだ"));
    P = Popup();
    ASSERT_TRUE(P);
    View.reset();
    Settle();
    EXPECT_TRUE(P.isNull());
}

TEST_F(NameDicMeiboViewTest, TheNameHooksNeverSeeAWindowComingApart)
{
    PreEdit(View->nmedtNameKanji, QStringLiteral("やまだ"));
    ASSERT_TRUE(Popup());
    // The edits report their end from their own destructors, after the window's body has run.
    QList<bool> Whole;
    MeiboViewTools.ConvertNeed = [&Whole](TMeiboView& Owner, TNMDEdit&, int, bool Show, const QString&) {
        if (!Show)
            Whole << (qobject_cast<TMeiboView*>(static_cast<QObject*>(&Owner)) != nullptr);
    };
    View.reset();
    EXPECT_FALSE(Whole.isEmpty());
    EXPECT_FALSE(Whole.contains(false));
}

} // namespace
