#include "calls/HisSch.h"

#include "calls/DelTrgt.h"
#include "calls/PgJump.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

double Days(const QDate& Date)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(Date));
}

} // namespace

TEST(HisSchTest, StoringAndLoadingConditions)
{
    THistorySearch Dialog;
    THistorySearchCondition Condition;
    Condition.Tel = QStringLiteral("99"); // stale: kept but not read
    Dialog.edtCorp->setText(QStringLiteral("   "));
    Dialog.StoreConditions(Condition);
    EXPECT_FALSE(Condition.HasConditions);
    EXPECT_EQ(Condition.Tel, QStringLiteral("99"));

    Dialog.edtTel->setText(QStringLiteral("03-1234-"));
    Dialog.edtCorp->setText(QStringLiteral(" ｱｵｲ "));
    Dialog.rbOr->setChecked(true);
    Dialog.StoreConditions(Condition);
    EXPECT_TRUE(Condition.HasConditions);
    EXPECT_EQ(Condition.Tel, QStringLiteral("031234"));
    EXPECT_EQ(Condition.CorpKana, QStringLiteral("ｱｵｲ"));
    EXPECT_EQ(Condition.FromDate, 0);
    EXPECT_TRUE(Condition.OrMode);

    // A range stored backwards comes back with both pickers on its first day.
    const QDate Today = QDate::currentDate();
    Condition.FromDate = Days(Today.addDays(-3));
    Condition.ToDate = Days(Today.addDays(-10));
    THistorySearch Again;
    Again.LoadConditions(Condition);
    EXPECT_TRUE(Again.chkDate->isChecked());
    EXPECT_TRUE(Again.dtpBeginDate->isEnabled());
    EXPECT_EQ(Again.dtpBeginDate->date(), Today.addDays(-3));
    EXPECT_EQ(Again.dtpEndDate->date(), Today.addDays(-3));
    EXPECT_TRUE(Again.rbOr->isChecked());
    EXPECT_EQ(Again.rbOr->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(Again.edtTel->text(), QStringLiteral("031234"));

    // The end of a range never lies before its beginning.
    Again.dtpBeginDate->setDate(Today.addDays(-1));
    Again.dtpEndDate->setDate(Today.addDays(-5));
    EXPECT_EQ(Again.dtpEndDate->date(), Today.addDays(-1));
    THistorySearchCondition Stored;
    Again.StoreConditions(Stored);
    EXPECT_EQ(Stored.FromDate, Days(Today.addDays(-1)));
    EXPECT_EQ(Stored.ToDate, Days(Today.addDays(-1)));

    QTest::mouseClick(Again.btnClear, Qt::LeftButton);
    EXPECT_FALSE(Again.chkDate->isChecked());
    EXPECT_FALSE(Again.dtpBeginDate->isEnabled());
    EXPECT_TRUE(Again.edtTel->text().isEmpty());
    EXPECT_TRUE(Again.rbAnd->isChecked());

    // Names are held to their bytes: 20 bytes are ten kanji.
    QInputMethodEvent Commit;
    Commit.setCommitString(QStringLiteral("一二三四五六七八九十壱弐"));
    QApplication::sendEvent(Again.edtNameKanji, &Commit);
    EXPECT_EQ(Again.edtNameKanji->text(), QStringLiteral("一二三四五六七八九十"));
}

TEST(HisSchTest, PageJumpTakesOnlyValidPages)
{
    TPageJump Dialog;
    Dialog.SetPages(100, 95);
    Dialog.show();
    Dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog));
    EXPECT_EQ(Dialog.pnlTotal->text(), QStringLiteral("100"));
    Dialog.edtJump->setFocus();
    QTest::keyClick(Dialog.edtJump, Qt::Key_PageUp);
    EXPECT_EQ(Dialog.Page(), 100);
    EXPECT_EQ(Dialog.edtJump->text(), QStringLiteral("100"));
    QTest::keyClick(Dialog.edtJump, Qt::Key_Up);
    EXPECT_EQ(Dialog.Page(), 100);
    QTest::keyClick(Dialog.edtJump, Qt::Key_Down);
    EXPECT_EQ(Dialog.Page(), 99);
    for (const char* Typed : {"0", "101", "5a", "", " "}) {
        Dialog.edtJump->setText(QLatin1String(Typed));
        QTest::keyClick(Dialog.edtJump, Qt::Key_Return); // unchanged: on to the button
        EXPECT_EQ(Dialog.edtJump->text(), QStringLiteral("99")) << Typed;
        EXPECT_EQ(Dialog.Page(), 99) << Typed;
        Dialog.edtJump->setFocus();
    }
    Dialog.edtJump->setText(QStringLiteral("42"));
    QTest::keyClick(Dialog.edtJump, Qt::Key_Return);
    EXPECT_EQ(Dialog.Page(), 42);
    EXPECT_TRUE(Dialog.edtJump->hasFocus()); // a changed page waits for a second Enter

    // Pages past 32767: one row a page with a full history.
    TPageJump Long;
    Long.SetPages(100000, 1);
    Long.show();
    Long.edtJump->setFocus();
    Long.edtJump->setText(QStringLiteral("99999"));
    QTest::mouseClick(Long.btnDecision, Qt::LeftButton);
    EXPECT_EQ(Long.result(), 1);
    int Page = 0;
    Long.GetPage(Page);
    EXPECT_EQ(Page, 99999);
}

TEST(HisSchTest, DeleteTargetOffersAndConfirms)
{
    {
        TScriptedBoxes Boxes("No");
        TDeleteTarget Dialog;
        Dialog.SetCaption(QStringLiteral("着信対応履歴　削除"));
        Dialog.SetSelectedCount(0);
        Dialog.show();
        EXPECT_FALSE(Dialog.rbSelected->isEnabled());
        EXPECT_TRUE(Dialog.DeleteAll());
        QTest::mouseClick(Dialog.btnDelete, Qt::LeftButton);
        EXPECT_EQ(Dialog.result(), 2);
        ASSERT_EQ(Boxes.Texts().size(), 1);
        EXPECT_EQ(Boxes.Texts()[0],
                  QStringLiteral("現在の表示条件（初期表示状態を含む）に該当する  \r\nすべてのデータを削除します  "
                                 "\r\nよろしいですか？  "));
        EXPECT_EQ(Boxes.Boxes().value(0).value(QStringLiteral("caption")).toString(), QStringLiteral("Tolvane１６"));
    }
    TScriptedBoxes Boxes("Yes");
    TDeleteTarget Dialog;
    Dialog.SetSelectedCount(3);
    Dialog.show();
    EXPECT_TRUE(Dialog.rbSelected->isChecked());
    EXPECT_FALSE(Dialog.DeleteAll());
    QTest::mouseClick(Dialog.btnDelete, Qt::LeftButton);
    EXPECT_EQ(Dialog.result(), 1);
    EXPECT_EQ(Boxes.Texts().value(0), QStringLiteral("3件のデータを削除します  \r\nよろしいですか？  "));
}
