// The address-book dialog: the list side, deletions and renames that go into the journal, and the
// rename rules with their messages.
#include "utility/fernbook/AdrsBooks.h"
#include "utility/fernbook/FbConvert.h"
#include "utility/forms/AddressSelect.h"

#include "tests/support/FbWorld.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

// The list's editor that is open now; null when none.
QLineEdit* OpenEditor(TAddressSelect& Dialog)
{
    for (int I = 0; I < 3; ++I)
        QApplication::processEvents();
    for (QLineEdit* Editor : Dialog.lvAdrs->findChildren<QLineEdit*>())
        if (Editor->isVisible())
            return Editor;
    return nullptr;
}

// Renames the current item through the list's editor as a user types it, and answers the editor
// that is open afterwards (null when none).
QLineEdit* Rename(TAddressSelect& Dialog, const QString& Text)
{
    if (!OpenEditor(Dialog))
        Dialog.actRename->trigger();
    QLineEdit* Editor = OpenEditor(Dialog);
    EXPECT_NE(Editor, nullptr);
    if (!Editor)
        return nullptr;
    Editor->setText(Text);
    QTest::keyClick(Editor, Qt::Key_Return);
    return OpenEditor(Dialog);
}

TEST(AddressSelectTest, RenamesAreRefusedByTheirRulesAndATooLongNameReopensCut)
{
    TFbWorld World;
    World.MakeBook(QStringLiteral("Cur"));
    World.MakeBook(QStringLiteral("Other"));
    World.MakeBook(QStringLiteral("Third"));
    ReadAddressBooks(World.Adrs(), true);
    TScriptedBoxes Boxes;
    TAddressSelect Dialog(nullptr, World.Adrs(), QStringLiteral("Cur"));
    Dialog.show();
    EXPECT_TRUE(Dialog.rbNew->isChecked());
    EXPECT_EQ(Dialog.lvAdrs->currentItem()->text(), QStringLiteral("Cur"));
    // The current book keeps its name but stays choosable.
    EXPECT_EQ(Rename(Dialog, QStringLiteral("New")), nullptr);
    Dialog.lvAdrs->setCurrentRow(1);
    const QString Long(51, QChar(0x3042));
    QLineEdit* Again = Rename(Dialog, Long);
    ASSERT_NE(Again, nullptr);
    EXPECT_EQ(Again->text(), QString(50, QChar(0x3042)));
    QLineEdit* Taken = Rename(Dialog, QStringLiteral("third"));
    ASSERT_NE(Taken, nullptr);
    EXPECT_EQ(Taken->text(), QStringLiteral("Other"));
    QTest::keyClick(Taken, Qt::Key_Escape);
    EXPECT_EQ(OpenEditor(Dialog), nullptr);
    EXPECT_EQ(Rename(Dialog, QString()), nullptr);
    EXPECT_EQ(Rename(Dialog, QStringLiteral(".x")), nullptr);
    EXPECT_EQ(Rename(Dialog, QStringLiteral("a:b")), nullptr);
    EXPECT_EQ(Rename(Dialog, QStringLiteral("Renamed")), nullptr);
    EXPECT_EQ(Dialog.lvAdrs->item(1)->text(), QStringLiteral("Renamed"));
    EXPECT_EQ(Boxes.Texts(),
              (QStringList{QStringLiteral("現在編集中のアドレス帳の名前は変更できません  "), BookNameLengthText,
                           BookNameTakenText, BookNameEmptyText, BookNameDotText, ForbiddenCharsText()}));
    EXPECT_EQ(TUtilityWorld::Bytes(World.Adrs() + QStringLiteral("AdrsOp.ini")),
              QByteArray("[RENAME]\nCount=1\n1=Other/Renamed\n"));

    // The current book can be chosen again.
    Dialog.rbOpen->click();
    Dialog.lvAdrs->setCurrentRow(0);
    Dialog.btnOk->click();
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Dialog.CurrentName, QStringLiteral("Cur"));
}

TEST(AddressSelectTest, ADeletionIsAskedJournaledAndTheNextItemSelected)
{
    TFbWorld World;
    for (const char* Name : {"A", "B", "C"})
        World.MakeBook(QString::fromLatin1(Name));
    ReadAddressBooks(World.Adrs(), true);
    TScriptedBoxes Boxes("OK,No,Yes,Yes");
    TAddressSelect Dialog(nullptr, World.Adrs(), QStringLiteral("A"));
    Dialog.show();
    Dialog.lvAdrs->setCurrentRow(0);
    Dialog.bbtnDelete->click(); // the current book
    Dialog.lvAdrs->setCurrentRow(1);
    Dialog.bbtnDelete->click(); // No
    EXPECT_EQ(Dialog.lvAdrs->count(), 3);
    Dialog.bbtnDelete->click();
    EXPECT_EQ(Dialog.lvAdrs->count(), 2);
    EXPECT_EQ(Dialog.lvAdrs->currentItem()->text(), QStringLiteral("C"));
    Dialog.bbtnDelete->click(); // the last item: the one before it is selected
    EXPECT_EQ(Dialog.lvAdrs->currentItem()->text(), QStringLiteral("A"));
    EXPECT_EQ(Boxes.Texts().first(), QStringLiteral("現在編集中のアドレス帳は削除できません  "));
    EXPECT_EQ(Boxes.Texts()[1], QStringLiteral("アドレス帳 'B' を削除します  \r\nよろしいですか？  "));
    EXPECT_EQ(TUtilityWorld::Bytes(World.Adrs() + QStringLiteral("AdrsOp.ini")),
              QByteArray("[DELETE]\nCount=2\n1=B\n2=C\n"));
    // Nothing is deleted before the journal is carried out.
    EXPECT_TRUE(QFileInfo::exists(World.Book(QStringLiteral("B")) + AdrsFileName));
    SaveScreenshot(Dialog, QStringLiteral("AddressSelect"));
    ExpectLabelsWhole(Dialog, QStringLiteral("AddressSelect"));
}

TEST(AddressSelectTest, WithoutBooksOnlyANewNameCanBeGiven)
{
    TFbWorld World;
    ReadAddressBooks(World.Adrs(), true);
    TScriptedBoxes Boxes;
    TAddressSelect Dialog(nullptr, World.Adrs(), QString());
    Dialog.show();
    for (QWidget* Control : {static_cast<QWidget*>(Dialog.rbOpen), static_cast<QWidget*>(Dialog.lvAdrs),
                             static_cast<QWidget*>(Dialog.bbtnDelete), static_cast<QWidget*>(Dialog.bbtnRename)})
        EXPECT_FALSE(Control->isEnabled());
    Dialog.btnOk->click();
    Dialog.edtNew->setText(QStringLiteral("a|b"));
    Dialog.btnOk->click();
    EXPECT_EQ(Boxes.Texts(),
              (QStringList{QStringLiteral("作成するアドレス帳の名前を入力してください  "), ForbiddenCharsText()}));
    Dialog.edtNew->setText(QStringLiteral(" 得意先 "));
    Dialog.btnOk->click();
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Dialog.CurrentName, QStringLiteral("得意先"));
    EXPECT_TRUE(QFileInfo(World.Book(QStringLiteral("得意先"))).isDir());
}

} // namespace
