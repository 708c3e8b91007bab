#include "platform/ui/ClosedInput.h"

#include "calls/HisSch.h"
#include "calls/RecvView.h"
#include "directory/record/MeiboVw.h"
#include "directory/search/MeiboSch.h"
#include "main/settings/Settings.h"
#include "main/start/InputPW.h"
#include "tests/support/RecvData.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// The input method decides by the answer the focused control gives to its query, so the fields
// are asked exactly that way; a field's own attribute is what Qt's line edit ignores.
void ExpectClosed(QWidget* Window, std::initializer_list<const char*> Closed, std::initializer_list<const char*> Open)
{
    for (const char* Name : Closed) {
        auto* Field = Window->findChild<QWidget*>(QLatin1String(Name));
        ASSERT_NE(Field, nullptr) << Name;
        EXPECT_FALSE(TakesInputMethod(Field)) << Name;
        if (auto* Combo = qobject_cast<QComboBox*>(Field); Combo && Combo->lineEdit()) {
            EXPECT_FALSE(TakesInputMethod(Combo->lineEdit())) << Name;
        }
    }
    for (const char* Name : Open) {
        auto* Field = Window->findChild<QWidget*>(QLatin1String(Name));
        ASSERT_NE(Field, nullptr) << Name;
        EXPECT_TRUE(TakesInputMethod(Field)) << Name;
    }
}

class ClosedInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.NotMoveFocus = true;
        SettingsPath = Data.Folder;
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
    }
    TRecvData Data;
};

TEST_F(ClosedInputTest, NumbersPostalCodesAndMailRefuseTheInputMethodInBothWindows)
{
    TReceiveView Recv;
    ExpectClosed(&Recv, {"edtTel1", "edtTel2", "edtFbTel", "edtPos", "edtEMail", "cbxRank"},
                 {"edtCorpKanji", "edtCorpKana", "nmedtNameKanji", "nmedtNameKana", "edtAdrs1", "edtMemo1"});
    TMeiboView Record{*DMVxRelvo16};
    ExpectClosed(&Record, {"edtTel1", "edtTel2", "edtPos", "edtEMail"},
                 {"edtCorpKanji", "nmedtNameKanji", "nmedtNameKana", "edtTdfkn", "edtMemo3"});
}

TEST_F(ClosedInputTest, TheNumberConditionsOfBothSearchDialogsRefuseIt)
{
    THistorySearch History;
    ExpectClosed(&History, {"edtTel"}, {"edtCorpKanji", "edtNameKanji", "edtName"});
    TMeiboSearch Directory;
    ExpectClosed(&Directory, {"edtTel"}, {"edtAdrs", "edtCorpKanji", "edtNameKanji"});
}

TEST_F(ClosedInputTest, APasswordStaysClosedWhenItsEchoModeOrWritabilityChanges)
{
    TInputPassword Dialog(nullptr, QString());
    auto* Password = Dialog.findChild<QLineEdit*>(QStringLiteral("medtPassword"));
    ASSERT_NE(Password, nullptr);
    EXPECT_FALSE(TakesInputMethod(Password));
    // Both reset the line edit's own input-method attribute.
    Password->setEchoMode(QLineEdit::Normal);
    Password->setReadOnly(true);
    Password->setReadOnly(false);
    EXPECT_FALSE(TakesInputMethod(Password));
    EXPECT_TRUE(Password->testAttribute(Qt::WA_InputMethodEnabled)) << "Qt turned the attribute back on";
}

TEST(ClosedInput, KeepsTheFieldsOwnAnswersButAsksForLatinLetters)
{
    QLineEdit Field;
    Field.setText(QStringLiteral("03-1234"));
    Field.setCursorPosition(2);
    CloseInputMethod(&Field);
    CloseInputMethod(&Field); // twice is once
    QInputMethodQueryEvent Query(Qt::ImEnabled | Qt::ImHints | Qt::ImCursorPosition | Qt::ImSurroundingText);
    QCoreApplication::sendEvent(&Field, &Query);
    EXPECT_FALSE(Query.value(Qt::ImEnabled).toBool());
    EXPECT_EQ(Query.value(Qt::ImCursorPosition).toInt(), 2);
    EXPECT_EQ(Query.value(Qt::ImSurroundingText).toString(), QStringLiteral("03-1234"));
    const auto Hints = Qt::InputMethodHints(Query.value(Qt::ImHints).toInt());
    EXPECT_TRUE(Hints.testFlag(Qt::ImhLatinOnly));
    EXPECT_TRUE(Hints.testFlag(Qt::ImhNoPredictiveText));
}

} // namespace
