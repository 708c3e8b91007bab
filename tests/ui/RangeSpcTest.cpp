#include "transfer/common/RangeSpc.h"

#include "calls/PgJump.h"
#include "tests/support/Screenshots.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

std::pair<int, int> RangeOf(const TRangeSpc& Dialog)
{
    int Start = 0;
    int End = 0;
    Dialog.GetRange(Start, End);
    return {Start, End};
}

void Show(TRangeSpc& Dialog)
{
    Dialog.show();
    Dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog));
}

} // namespace

TEST(RangeSpcTest, SettingKeepsTheEndAtOrAfterTheStart)
{
    TRangeSpc Dialog;
    Dialog.SetRange(5, 3, 10);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("範囲指定"));
    EXPECT_EQ(Dialog.pnlTotal->text(), QStringLiteral("10"));
    EXPECT_EQ(Dialog.edtBegin->text(), QStringLiteral("5"));
    EXPECT_EQ(Dialog.edtEnd->text(), QStringLiteral("5"));
    EXPECT_EQ(RangeOf(Dialog), std::make_pair(5, 5));
    Dialog.show();
    SaveScreenshot(Dialog, QStringLiteral("RangeSpc"));
}

TEST(RangeSpcTest, TypedValuesAreCheckedOnLeaving)
{
    TRangeSpc Dialog;
    Dialog.SetRange(3, 4, 10);
    Show(Dialog);
    for (const char* Typed : {"0", "11", "1a", "", "１"}) {
        Dialog.edtBegin->setFocus();
        Dialog.edtBegin->setText(QString::fromUtf8(Typed));
        Dialog.edtEnd->setFocus();
        EXPECT_EQ(Dialog.edtBegin->text(), QStringLiteral("3")) << Typed;
        EXPECT_EQ(RangeOf(Dialog), std::make_pair(3, 4)) << Typed;
    }
    Dialog.edtBegin->setFocus();
    Dialog.edtBegin->setText(QStringLiteral("8"));
    Dialog.edtEnd->setFocus();
    EXPECT_EQ(RangeOf(Dialog), std::make_pair(8, 8));
    EXPECT_EQ(Dialog.edtEnd->text(), QStringLiteral("8"));
    Dialog.edtEnd->setText(QStringLiteral("2"));
    Dialog.edtBegin->setFocus();
    EXPECT_EQ(RangeOf(Dialog), std::make_pair(2, 2));
    EXPECT_EQ(Dialog.edtBegin->text(), QStringLiteral("2"));
}

TEST(RangeSpcTest, KeysButtonsAndEnter)
{
    TRangeSpc Dialog;
    Dialog.SetRange(95, 95, 100);
    Show(Dialog);
    Dialog.edtBegin->setFocus();
    QTest::keyClick(Dialog.edtBegin, Qt::Key_PageUp);
    EXPECT_EQ(RangeOf(Dialog), std::make_pair(100, 100));
    QTest::keyClick(Dialog.edtBegin, Qt::Key_Down);
    EXPECT_EQ(Dialog.edtBegin->text(), QStringLiteral("99"));
    // A stepped value stands when a refused text is typed afterwards.
    Dialog.edtBegin->setText(QStringLiteral("x"));
    QTest::keyClick(Dialog.edtBegin, Qt::Key_Return);
    EXPECT_EQ(Dialog.edtBegin->text(), QStringLiteral("99"));
    EXPECT_TRUE(Dialog.edtEnd->hasFocus());
    QTest::mouseClick(Dialog.udEnd->btnDown, Qt::LeftButton);
    EXPECT_EQ(RangeOf(Dialog), std::make_pair(99, 99));
    // A changed value keeps the focus; an unchanged one moves on to the button.
    Dialog.edtEnd->setText(QStringLiteral("100"));
    QTest::keyClick(Dialog.edtEnd, Qt::Key_Return);
    EXPECT_TRUE(Dialog.edtEnd->hasFocus());
    QTest::keyClick(Dialog.edtEnd, Qt::Key_Return);
    EXPECT_TRUE(Dialog.btnDecision->hasFocus());
    QTest::mouseClick(Dialog.btnDecision, Qt::LeftButton);
    EXPECT_EQ(Dialog.result(), 1);
    EXPECT_EQ(RangeOf(Dialog), std::make_pair(99, 100));

    TRangeSpc One;
    One.SetRange(1, 1, 1);
    Show(One);
    One.edtEnd->setFocus();
    QTest::keyClick(One.edtEnd, Qt::Key_PageUp);
    QTest::keyClick(One.edtEnd, Qt::Key_PageDown);
    One.edtEnd->setText(QStringLiteral("2"));
    One.edtBegin->setFocus();
    EXPECT_EQ(RangeOf(One), std::make_pair(1, 1));
    EXPECT_EQ(One.edtEnd->text(), QStringLiteral("1"));
    QTest::keyClick(&One, Qt::Key_Escape);
    EXPECT_EQ(One.result(), 2);
}
