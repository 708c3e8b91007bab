#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/SqlRows.h"
#include "tests/support/UtilityWorld.h"
#include "transfer/common/TelRules.h"
#include "utility/forms/BackupData.h"
#include "utility/forms/RestoreData.h"
#include "utility/forms/UtilMainForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

QStringList ResultRows(const QTreeWidget* List)
{
    QStringList Rows;
    for (int I = 0; I < List->topLevelItemCount(); ++I) {
        const QTreeWidgetItem* Item = List->topLevelItem(I);
        Rows << Item->text(0) + u'|' + Item->text(1) + u'|' + Item->text(2);
    }
    return Rows;
}

void WriteFile(const QString& File, const QByteArray& Bytes)
{
    QDir().mkpath(QFileInfo(File).absolutePath());
    QFile Out(File);
    ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
    Out.write(Bytes);
}

// A backup folder holding a copy of the data folder's Meibo.DB and a rank list.
QString MakeBackup(const TUtilityWorld& World, const QList<int>& RecNos)
{
    const QString Backup = World.Path(QStringLiteral("backup/"));
    QDir().mkpath(Backup);
    World.MakeTable(TDataTable::Meibo, RecNos);
    EXPECT_TRUE(QFile::rename(World.Data() + MeiboFileName, Backup + MeiboFileName));
    WriteFile(Backup + QStringLiteral("Rank.mtd"), "rank of the backup");
    return Backup;
}

} // namespace

TEST(UtilityWizardTest, DefaultBackupFolderIsNamedAfterTheClockAndSizesShowInKB)
{
    SetTelRulesNow([] { return QDateTime(QDate(2012, 12, 8), QTime(9, 35, 0)); });
    EXPECT_EQ(DefaultBackupFolder(QStringLiteral("/x/Data/")), QStringLiteral("/x/Data/20121208 093500/"));
    {
        TUtilityWorld World;
        TBackupData Dialog(nullptr);
        EXPECT_EQ(Dialog.edtDest->text(), World.Data() + QStringLiteral("20121208 093500/"));
    }
    SetTelRulesNow({});
    EXPECT_EQ(FormatKB(1234567), QStringLiteral("1,206 "));
    EXPECT_EQ(FormatKB(1024), QStringLiteral("1 "));
    EXPECT_EQ(FormatKB(1025), QStringLiteral("2 "));
    EXPECT_EQ(FormatKB(0), QStringLiteral("0 "));
}

TEST(UtilityWizardTest, TheDataFolderIsRefusedAsBackupDestinationHoweverItIsSpelt)
{
    TUtilityWorld World;
    QFile::link(QDir(World.Data()).absolutePath(), World.Path(QStringLiteral("link")));
    const QString Data = World.Data();
    const QString OtherCase = Data.left(Data.size() - 5) + QStringLiteral("DATA/");
    for (const QString& Typed : {OtherCase, World.Path(QStringLiteral("link")), Data + QStringLiteral("./")}) {
        TScriptedBoxes Boxes;
        TBackupData Dialog(nullptr);
        Dialog.show();
        Dialog.edtDest->setText(Typed);
        Dialog.btnNext->click();
        EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("現在使用しているデータ保存フォルダーを指定しています  ")})
            << Typed.toStdString();
        EXPECT_EQ(Dialog.pgctlBackup->currentIndex(), 0);
    }
}

TEST(UtilityWizardTest, BackupCopiesEveryGroupIntoANewFolder)
{
    TUtilityWorld World;
    World.MakeTable(TDataTable::Meibo, {0, 1});
    World.MakeTable(TDataTable::RecvHis, {5});
    WriteFile(World.Data() + QStringLiteral("Rank.mtd"), "rank");
    WriteFile(World.Data() + QStringLiteral("LPAMeibo.tpl"), "template");
    TScriptedBoxes Boxes("Yes,Yes");
    TBackupData Dialog(nullptr);
    Dialog.show();
    const QString Dest = World.Path(QStringLiteral("saved/here"));
    Dialog.edtDest->setText(Dest);
    Dialog.btnNextClick();
    ASSERT_EQ(Dialog.pgctlBackup->currentIndex(), 1);
    EXPECT_TRUE(Dialog.pnlNeedSize->text().endsWith(u' '));
    Dialog.btnBackupClick();
    EXPECT_EQ(Dialog.pgctlBackup->currentIndex(), 2);
    EXPECT_EQ(ResultRows(Dialog.lvResult),
              (QStringList{QStringLiteral("着信対応履歴ファイル|○|"), QStringLiteral("登録名簿ファイル|○|"),
                           QStringLiteral("ランクファイル|○|"), QStringLiteral("選択項目ファイル|○|"),
                           QStringLiteral("一覧表カスタムテンプレートファイル（名簿）|○|")}));
    EXPECT_EQ(SqlRows(Dest + QStringLiteral("/Meibo.DB"), "SELECT RecNo FROM Meibo ORDER BY RecNo"),
              (QStringList{"0", "1"}));
    EXPECT_TRUE(Dialog.btnClose->isVisible());
    EXPECT_FALSE(Dialog.btnCancel->isVisible());
}

TEST(UtilityWizardTest, RestoreOverTheDataFolderTakesOnlyWhatTheBackupHoldsAndKeepsTheSettings)
{
    TUtilityWorld World;
    const QString Backup = World.Path(QStringLiteral("backup/"));
    WriteFile(Backup + QStringLiteral("Rank.mtd"), "rank of the backup");
    World.MakeTable(TDataTable::Meibo, {0, 1});
    const QByteArray Meibo = TUtilityWorld::Bytes(World.Data() + MeiboFileName);
    const QByteArray Ini = TUtilityWorld::Bytes(SettingsFileName());
    TScriptedBoxes Boxes("Yes");
    TRestoreData Dialog(nullptr);
    Dialog.show();
    Dialog.edtSrc->setText(Backup);
    Dialog.btnRestoreClick();
    EXPECT_EQ(ResultRows(Dialog.lvResult), QStringList{QStringLiteral("ランクファイル|○|")});
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + QStringLiteral("Rank.mtd")), QByteArray("rank of the backup"));
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + MeiboFileName), Meibo);
    EXPECT_FALSE(Dialog.chkChangeDataPath->isEnabled());
    Dialog.btncloseClick();
    EXPECT_FALSE(Dialog.DataPathChanged());
    EXPECT_EQ(TUtilityWorld::Bytes(SettingsFileName()), Ini);
}

TEST(UtilityWizardTest, RestoreRefusesTheRootAndTheDataFolderAsItsSource)
{
    TUtilityWorld World;
    for (const QString& Source : {QStringLiteral("/"), QStringLiteral("/./"), World.Data() + QStringLiteral("./")}) {
        TScriptedBoxes Boxes;
        TRestoreData Dialog(nullptr);
        Dialog.show();
        Dialog.edtSrc->setText(Source);
        Dialog.btnRestoreClick();
        EXPECT_EQ(Boxes.Texts().size(), 1);
        EXPECT_EQ(Dialog.pgctlRestore->currentIndex(), 0);
    }
}

TEST(UtilityWizardTest, ACopyThatFailsLeavesTheTableAsItWas)
{
    TUtilityWorld World;
    const QString Backup = MakeBackup(World, {7, 8, 9});
    World.MakeTable(TDataTable::Meibo, {0, 1});
    const QByteArray Live = TUtilityWorld::Bytes(World.Data() + MeiboFileName);
    WizardFileCopier = [](const QString& Source, const QString& Dest) {
        return !Source.endsWith(MeiboFileName) && CopyOneTableFile(Source, Dest);
    };
    TScriptedBoxes Boxes("Yes");
    TRestoreData Dialog(nullptr);
    Dialog.show();
    Dialog.edtSrc->setText(Backup);
    Dialog.btnRestoreClick();
    WizardFileCopier = CopyOneTableFile;
    EXPECT_EQ(ResultRows(Dialog.lvResult),
              (QStringList{QStringLiteral("登録名簿ファイル|×|コピー失敗"), QStringLiteral("ランクファイル|○|")}));
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + MeiboFileName), Live);
}

TEST(UtilityWizardTest, RestoreIntoANewFolderMakesItTheDataFolderWithTheShippedRankList)
{
    TUtilityWorld World;
    const QString Backup = MakeBackup(World, {3, 4});
    QFile::remove(Backup + QStringLiteral("Rank.mtd"));
    WriteFile(ProgramPath + QStringLiteral("Common/History/Rank.mtd"), "shipped rank list");
    const QString NewFolder = World.Path(QStringLiteral("restored/"));
    TScriptedBoxes Boxes("Yes,Yes");
    TMainForm Form;
    Form.show();
    bool Seen = false;
    QTimer::singleShot(0, [&] {
        auto* Dialog = qobject_cast<TRestoreData*>(QApplication::activeModalWidget());
        if (!Dialog)
            return;
        Seen = true;
        Dialog->edtSrc->setText(Backup);
        Dialog->rbSelectDataPath->click();
        Dialog->edtDest->setText(NewFolder);
        Dialog->btnRestoreClick();
        EXPECT_TRUE(Dialog->chkChangeDataPath->isChecked());
        Dialog->btncloseClick();
    });
    Form.bbtnRestore->click();
    ASSERT_TRUE(Seen);
    EXPECT_EQ(DataPath, NewFolder);
    EXPECT_EQ(TMemIniFile(SettingsFileName()).ReadString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), {}),
              NewFolder);
    EXPECT_EQ(SqlRows(NewFolder + MeiboFileName, "SELECT RecNo FROM Meibo ORDER BY RecNo"), (QStringList{"3", "4"}));
    EXPECT_EQ(TUtilityWorld::Bytes(NewFolder + QStringLiteral("Rank.mtd")), QByteArray("shipped rank list"));
}

TEST(UtilityWizardTest, EveryPageShowsItsTextsWhole)
{
    TUtilityWorld World;
    World.MakeTable(TDataTable::Meibo, {0, 1});
    TScriptedBoxes Boxes("Yes,Yes,Yes,Yes");
    {
        TMainForm Form;
        Form.show();
        for (int Page = 0; Page < 4; ++Page) {
            Form.pgctlUtility->setCurrentIndex(Page);
            QApplication::processEvents();
            ExpectLabelsWhole(Form, QStringLiteral("page %1").arg(Page));
            SaveScreenshot(Form, QStringLiteral("UtilMainForm-%1").arg(Page));
        }
    }
    TBackupData Backup(nullptr);
    Backup.show();
    Backup.edtDest->setText(World.Path(QStringLiteral("saved")));
    for (int Step = 0; Step < 3; ++Step) {
        QApplication::processEvents();
        ExpectLabelsWhole(Backup, QStringLiteral("backup %1").arg(Step));
        SaveScreenshot(Backup, QStringLiteral("BackupData-%1").arg(Step));
        Step == 0 ? Backup.btnNextClick() : Backup.btnBackupClick();
    }
    TRestoreData Restore(nullptr);
    Restore.show();
    Restore.edtSrc->setText(World.Path(QStringLiteral("saved")));
    Restore.rbSelectDataPath->click();
    Restore.edtDest->setText(World.Path(QStringLiteral("restored")));
    for (int Step = 0; Step < 2; ++Step) {
        QApplication::processEvents();
        ExpectLabelsWhole(Restore, QStringLiteral("restore %1").arg(Step));
        SaveScreenshot(Restore, QStringLiteral("RestoreData-%1").arg(Step));
        Restore.btnRestoreClick();
    }
    EXPECT_EQ(Restore.pgctlRestore->currentIndex(), 1);
}

// Shown as a modal dialog is, the destination's whole path is in view with the caret after it and
// nothing selected: a key typed first adds to the path instead of replacing it.
TEST(UtilityWizardTest, TheBackupAndRestorePathsOpenWithTheCaretAtTheirEnd)
{
    TUtilityWorld World;
    const auto CaretAtEnd = [](QLineEdit* Edit) {
        QApplication::processEvents();
        EXPECT_TRUE(Edit->hasFocus()) << Edit->objectName().toStdString();
        EXPECT_FALSE(Edit->hasSelectedText()) << Edit->selectedText().toStdString();
        EXPECT_EQ(Edit->cursorPosition(), Edit->text().size());
    };
    {
        TBackupData Dialog(nullptr);
        QTimer::singleShot(0, &Dialog, [&] {
            CaretAtEnd(Dialog.edtDest);
            Dialog.reject();
        });
        Dialog.exec();
    }
    {
        TRestoreData Dialog(nullptr);
        QTimer::singleShot(0, &Dialog, [&] {
            CaretAtEnd(Dialog.edtSrc);
            Dialog.reject();
        });
        Dialog.exec();
    }
}

// The confirmation page reads as one line each: needed size "KB" "／", free space "KB".
TEST(UtilityWizardTest, TheBackupConfirmationSetsTheNeededSizeApartFromTheFreeSpace)
{
    TUtilityWorld World;
    World.MakeTable(TDataTable::Meibo, {0, 1});
    TBackupData Dialog(nullptr);
    Dialog.show();
    Dialog.edtDest->setText(World.Path(QStringLiteral("saved")));
    Dialog.btnNextClick();
    ASSERT_EQ(Dialog.pgctlBackup->currentIndex(), 1);
    QApplication::processEvents();
    const QLabel* Slash = nullptr;
    for (const QLabel* Label : Dialog.pgctlBackup->currentWidget()->findChildren<QLabel*>())
        if (Label->text() == QStringLiteral("／"))
            Slash = Label;
    ASSERT_NE(Slash, nullptr);
    EXPECT_TRUE(Slash->isVisible());
    // On the needed size's line, after it, and before the free space's line.
    const QRect Need = Dialog.pnlNeedSize->geometry();
    EXPECT_GT(Slash->geometry().left(), Need.right());
    EXPECT_LT(std::abs(Slash->geometry().center().y() - Need.center().y()), Need.height() / 2);
    EXPECT_LT(Slash->geometry().bottom(), Dialog.pnlFreeSize->geometry().top());
}

// The templates' rows have the longest names of both lists; neither list cuts them short.
TEST(UtilityWizardTest, TheTemplatesRowsAreReadableInBothResultLists)
{
    TUtilityWorld World;
    World.MakeTable(TDataTable::Meibo, {0, 1});
    WriteFile(World.Data() + QStringLiteral("LPRHis.tpl"), "history template");
    WriteFile(World.Data() + QStringLiteral("LPAMeibo.tpl"), "directory template");
    const auto ExpectWhole = [](const QTreeWidget* List, const QString& Which) {
        SCOPED_TRACE(Which.toStdString());
        int Templates = 0;
        for (int I = 0; I < List->topLevelItemCount(); ++I) {
            const QString Name = List->topLevelItem(I)->text(0);
            if (!Name.startsWith(QStringLiteral("一覧表カスタムテンプレートファイル")))
                continue;
            ++Templates;
            const int Needed = List->fontMetrics().horizontalAdvance(Name);
            // A name wider than the column as first laid out is what this is about.
            EXPECT_GT(Needed, 240 - 2 * List->style()->pixelMetric(QStyle::PM_HeaderMargin)) << Needed;
            EXPECT_GE(List->header()->sectionSize(0), Needed) << Name.toStdString();
            const QRect Cell = List->visualRect(List->model()->index(I, 0));
            EXPECT_GE(Cell.width(), Needed) << Name.toStdString();
        }
        EXPECT_EQ(Templates, 2);
    };
    TScriptedBoxes Boxes("Yes,Yes,Yes");
    const QString Saved = World.Path(QStringLiteral("saved/"));
    {
        TBackupData Backup(nullptr);
        Backup.show();
        Backup.edtDest->setText(Saved);
        Backup.btnNextClick();
        Backup.btnBackupClick();
        ASSERT_EQ(Backup.pgctlBackup->currentIndex(), 2);
        QApplication::processEvents();
        ExpectWhole(Backup.lvResult, QStringLiteral("backup"));
    }
    TRestoreData Restore(nullptr);
    Restore.show();
    Restore.edtSrc->setText(Saved);
    Restore.btnRestoreClick();
    ASSERT_EQ(Restore.pgctlRestore->currentIndex(), 1);
    QApplication::processEvents();
    ExpectWhole(Restore.lvResult, QStringLiteral("restore"));
}
