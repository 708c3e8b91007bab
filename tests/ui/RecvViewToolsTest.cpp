#include "apps/VxRelvo16/DictionaryLink.h"
#include "calls/CallTel.h"
#include "calls/RecvView.h"
#include "main/identify/AppSub.h"
#include "directory/picklist/InputLst.h"
#include "directory/record/MeiboVw.h"
#include "apps/VxRelvo16/ReceiveViewWiring.h"
#include "main/controls/SortListView.h"
#include "main/settings/Settings.h"
#include "tests/support/DicProgramFolder.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/UrlRecorder.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

// The incoming-call window's tools as the program installs them: the dictionary look-up and what it
// takes back, the pick-list editor, dialling, mail and the attached files.

namespace {

class RecvViewToolsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.NotMoveFocus = true;
        SettingsPath = Data.Folder;
        Lookup = [this](QWidget*, bool Earlier, int Kind, const QString& Text) {
            Asked << QStringLiteral("%1:%2:%3").arg(Earlier).arg(Kind).arg(Text);
            // The window's guard is up while the dialog is.
            GuardedWhileOpen = ReceiveViewRefillGuard();
            if (Throw)
                throw std::runtime_error("dictionary library failed");
            return Answer;
        };
        InstallReceiveViewTools(Lookup);
    }
    void TearDown() override
    {
        ReceiveView = nullptr;
        View.reset();
        ReceiveViewTools = TReceiveViewTools();
        Settings = TSettings();
        SettingsPath.clear();
    }
    void Open(const TCallerRecord& Record)
    {
        View = std::make_unique<TReceiveView>();
        ReceiveView = View.get();
        View->ShowCall(Record);
        View->show();
        View->activateWindow();
        (void)QTest::qWaitForWindowActive(View.get());
    }
    // The modal dialog that opens next, handed to Act once it is up.
    template <typename TDialog> void WhenOpen(std::function<void(TDialog&)> Act)
    {
        QTimer::singleShot(0, [Act] {
            for (QWidget* Window : QApplication::topLevelWidgets())
                if (auto* Dialog = qobject_cast<TDialog*>(Window); Dialog && Dialog->isVisible()) {
                    Act(*Dialog);
                    return;
                }
        });
    }

    TRecvData Data;
    std::unique_ptr<TReceiveView> View;
    QStringList Asked;
    bool GuardedWhileOpen = false;
    bool Throw = false;
    TDicLookupRun Lookup;
    std::optional<TDicLookup> Answer;
};

TDicLookup AddressAnswer(int Kind)
{
    TDicLookup Lookup;
    Lookup.Kind = Kind;
    Lookup.Address.Tel = QStringLiteral("03-5555-6666");
    Lookup.Address.Pos = QStringLiteral("100-0005");
    Lookup.Address.Tdfkn = QStringLiteral("東京都");
    Lookup.Address.Adrs1 = QStringLiteral("千代田区");
    Lookup.Address.Adrs2 = QStringLiteral("丸の内");
    Lookup.Address.JisCode = QStringLiteral("13101");
    Lookup.Address.KajoCode = QStringLiteral("123456");
    Lookup.Address.Latitude = 128000000;
    Lookup.Address.Longitude = 503000000;
    return Lookup;
}

} // namespace

TEST_F(RecvViewToolsTest, AnAddressThatGoesOnFromTheFoundOneKeepsItsPartsAndTakesTheRest)
{
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->edtTdfkn->setText(QStringLiteral("東京都"));
    View->edtAdrs1->setText(QStringLiteral("千代田区"));
    View->edtAdrs2->setText(QStringLiteral("丸の内一丁目"));
    View->edtAdrs3->setText(QStringLiteral("１－１"));
    Answer = AddressAnswer(2);
    QTest::mouseClick(View->bbtnAdrsSearch, Qt::LeftButton);
    EXPECT_EQ(Asked, QStringList{QStringLiteral("1:3:東京都千代田区丸の内一丁目１－１")});
    EXPECT_EQ(View->edtAdrs2->text(), QStringLiteral("丸の内一丁目"));
    EXPECT_EQ(View->edtAdrs3->text(), QStringLiteral("１－１"));
    EXPECT_EQ(View->edtPos->text(), QStringLiteral("100-0005"));
    EXPECT_EQ(View->lblJisCode->text(), QStringLiteral("13101"));
    EXPECT_EQ(View->lblKajoCode->text(), QStringLiteral("123456"));
    EXPECT_EQ(View->CurLatitude(), 128000000);
    EXPECT_EQ(View->CurLongitude(), 503000000);
    EXPECT_EQ(View->edtTel1->text(), QStringLiteral("03-1111-2222")) << "an address result brings no number";
    EXPECT_EQ(QApplication::focusWidget(), View->edtTdfkn);

    // Another address replaces the first three parts and keeps the fourth.
    View->edtAdrs2->setText(QStringLiteral("大手町"));
    QTest::mouseClick(View->bbtnAdrsSearch, Qt::LeftButton);
    EXPECT_EQ(View->edtAdrs2->text(), QStringLiteral("丸の内"));
    EXPECT_EQ(View->edtAdrs3->text(), QStringLiteral("１－１"));
}

TEST_F(RecvViewToolsTest, ANumberResultGoesIntoTheButtonsOwnNumberOnly)
{
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    Answer = AddressAnswer(0);
    QTest::mouseClick(View->bbtnTel2Search, Qt::LeftButton);
    EXPECT_EQ(View->edtTel2->text(), QStringLiteral("03-5555-6666"));
    EXPECT_EQ(View->edtTel1->text(), QStringLiteral("03-1111-2222"));
    EXPECT_TRUE(GuardedWhileOpen);
    EXPECT_FALSE(View->RefillGuard()) << "the guard goes back to the lock state";

    Settings.UseFbAdrs = true;
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    ASSERT_TRUE(View->FernbookMode());
    View->bbtnPosSearch->click();
    EXPECT_EQ(View->edtFbTel->text(), QStringLiteral("03-1111-2222")) << "only the number's own button replaces it";
    View->bbtnFbTel1Search->click();
    EXPECT_EQ(View->edtFbTel->text(), QStringLiteral("03-5555-6666"));
    EXPECT_EQ(View->lblFbTelMain->text(), QStringLiteral("検索電話番号"));
}

TEST_F(RecvViewToolsTest, AnExistingEntryFoundTakesItsFieldsButKeepsTheCallsOwn)
{
    TCallerRecord Call = CallRecordFor(1, QStringLiteral("03-1111-2222"));
    Call.SelItem1 = QStringLiteral("見積");
    Open(Call);
    TDicLookup Found;
    Found.Kind = 9;
    Found.Caller = CallRecordFor(0, QStringLiteral("03-5555-6666"), 1, 7);
    Found.Caller.Tel[1] = QStringLiteral("090-1111-2222");
    Found.Caller.CorpKanji = QStringLiteral("さくら電機");
    Found.Caller.Rank = QStringLiteral("Ａ");
    Found.Caller.Msg = 1;
    Found.Caller.Msg1 = QStringLiteral("至急");
    Found.Caller.BGColor = QStringLiteral("#nope"); // an import may store anything
    Found.Caller.ExtFile = QStringList{QStringLiteral("/srv/見積.pdf")};
    Answer = Found;
    RankHistory->Add(QStringLiteral("Ａ"), 45000);
    View->ReloadRankList();
    QTest::mouseClick(View->bbtnTel1Search, Qt::LeftButton);
    EXPECT_EQ(View->edtTel1->text(), QStringLiteral("03-5555-6666"));
    EXPECT_EQ(View->edtTel2->text(), QStringLiteral("090-1111-2222"));
    EXPECT_EQ(View->edtCorpKanji->text(), QStringLiteral("さくら電機"));
    EXPECT_EQ(View->cbxRank->currentText(), QStringLiteral("Ａ"));
    EXPECT_EQ(View->lblMsg1->text(), QStringLiteral("至急"));
    EXPECT_EQ(View->lvExtFile->topLevelItemCount(), 1);
    EXPECT_EQ(View->cbxSelectItem1->currentText(), QStringLiteral("見積")) << "the call's select items stay";
    EXPECT_FALSE(View->IsExisting()) << "the window's division stays";
}

// An exception may not cross Qt's signal delivery, so the nested dialog's failure is raised inside the
// guard the search buttons put up, as their handler does, rather than through a click.
TEST_F(RecvViewToolsTest, AFailingDictionaryLeavesTheFieldsAndPutsTheGuardBack)
{
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    QTest::mouseClick(View->btnLockUnlock, Qt::LeftButton);
    ASSERT_TRUE(View->RefillGuard());
    Throw = true;
    Answer = AddressAnswer(0);
    const auto SearchInsideTheGuard = [this] {
        TReceiveView::TNestedGuard Guard(*View, false);
        View->DicSearch(0, View->edtTel1->text(), Lookup);
    };
    EXPECT_ANY_THROW(SearchInsideTheGuard());
    EXPECT_TRUE(View->RefillGuard()) << "back to the lock state";
    QTest::mouseClick(View->btnLockUnlock, Qt::LeftButton);
    EXPECT_ANY_THROW(SearchInsideTheGuard());
    EXPECT_FALSE(View->RefillGuard());
    EXPECT_EQ(View->edtTel1->text(), QStringLiteral("03-1111-2222"));
}

TEST_F(RecvViewToolsTest, ThePickListEditorRefillsOnlyOnOkAndAlwaysFocusesTheCombo)
{
    RankHistory->Add(QStringLiteral("Ａ"), 45000);
    SelItemHistory[0]->Add(QStringLiteral("見積"), 45000);
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->cbxRank->setEditText(QStringLiteral("Ｚ"));
    View->cbxSelectItem1->setEditText(QStringLiteral("打合せ"));

    bool Guarded = false;
    WhenOpen<TInputList>([&Guarded](TInputList& Editor) {
        Guarded = ReceiveViewRefillGuard();
        Editor.reject();
    });
    QTest::mouseClick(View->bbtnRank, Qt::LeftButton);
    EXPECT_TRUE(Guarded);
    EXPECT_EQ(View->cbxRank->currentText(), QStringLiteral("Ｚ")) << "Cancel refills nothing";
    EXPECT_EQ(View->focusWidget(), View->cbxRank);
    EXPECT_FALSE(View->RefillGuard());

    // A name added in the editor changes the list, so OK refills its combo.
    const auto AddAndConfirm = [](const QString& Name) {
        return [Name](TInputList& Editor) {
            Editor.edtName->setText(Name);
            Editor.bbtnAdd->click();
            Editor.btnOk->click();
        };
    };
    WhenOpen<TInputList>(AddAndConfirm(QStringLiteral("Ｄ")));
    QTest::mouseClick(View->bbtnRank, Qt::LeftButton);
    EXPECT_EQ(View->cbxRank->currentText(), QString()) << "a typed rank that is not in the list is cleared";
    WhenOpen<TInputList>(AddAndConfirm(QStringLiteral("注文")));
    QTest::mouseClick(View->bbtnSelectItem1, Qt::LeftButton);
    EXPECT_EQ(View->cbxSelectItem1->count(), 2);
    EXPECT_EQ(View->cbxSelectItem1->currentText(), QStringLiteral("打合せ")) << "a typed select item survives";
}

TEST_F(RecvViewToolsTest, TheDialButtonOffersTheNumbersOfItsMode)
{
    Settings.UseFbAdrs = true;
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    QTest::mouseClick(View->btnLockUnlock, Qt::LeftButton);
    QStringList Offered;
    bool Guarded = false;
    WhenOpen<TCallsTelephone>([&](TCallsTelephone& Dialog) {
        Guarded = ReceiveViewRefillGuard();
        for (int I = 0; I < Dialog.cbxTel->count(); ++I)
            Offered << Dialog.cbxTel->itemText(I);
        Dialog.btnCancel->click();
    });
    ASSERT_TRUE(View->bbtnFbDial->isVisible());
    QTest::mouseClick(View->bbtnFbDial, Qt::LeftButton);
    EXPECT_EQ(Offered, QStringList{QStringLiteral("03-1111-2222")}) << "only the number that rang";
    EXPECT_TRUE(Guarded);
}

TEST_F(RecvViewToolsTest, MailGoesOutOnceWithTheAddressEncoded)
{
    TScriptedBoxes Boxes;
    TUrlRecorder Urls;
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->edtEMail->setText(QStringLiteral("mailto:a@example.jp"));
    QTest::mouseClick(View->bbtnEMail, Qt::LeftButton);
    View->edtEMail->setText(QStringLiteral(" a@example.jp?attach=/etc/passwd "));
    QTest::mouseClick(View->bbtnEMail, Qt::LeftButton);
    ASSERT_EQ(Urls.Opened.size(), 2);
    EXPECT_EQ(Urls.Opened[0].toString(), QStringLiteral("mailto:a@example.jp"));
    EXPECT_EQ(Urls.Opened[1].toString(QUrl::FullyEncoded),
              QStringLiteral("mailto:a@example.jp%3Fattach=%2Fetc%2Fpasswd"));
    EXPECT_TRUE(Urls.Opened[1].query().isEmpty());

    View->edtEMail->setText(QStringLiteral("  "));
    QTest::mouseClick(View->bbtnEMail, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("メールアドレスを入力してください  ")});
    EXPECT_EQ(Urls.Opened.size(), 2);
    EXPECT_EQ(QApplication::focusWidget(), View->edtEMail);
}

TEST_F(RecvViewToolsTest, AnAttachedProgramIsNeverStarted)
{
    TScriptedBoxes Boxes;
    TUrlRecorder Urls;
    QTemporaryDir Dir;
    const QString Script = Dir.filePath(QStringLiteral("invoice.desktop"));
    const QString Document = Dir.filePath(QStringLiteral("invoice.txt"));
    for (const QString& Name : {Script, Document}) {
        QFile File(Name);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Name == Script ? "[Desktop Entry]\nExec=xterm\n" : "請求書\n");
    }
    TCallerRecord Call = CallRecordFor(1, QStringLiteral("03-1111-2222"));
    Call.ExtFile = QStringList{Script, Document, Dir.filePath(QStringLiteral("gone.pdf"))};
    Open(Call);
    for (int Row = 0; Row < 3; ++Row) {
        View->lvExtFile->setCurrentItem(View->lvExtFile->topLevelItem(Row));
        QTest::mouseClick(View->bbtnOpenExtFile, Qt::LeftButton);
    }
    EXPECT_EQ(Urls.Opened, QList<QUrl>{QUrl::fromLocalFile(Document)});
    ASSERT_EQ(Boxes.Texts().size(), 1) << "the refused program is reported, the missing file is not";
    EXPECT_TRUE(Boxes.Texts().constFirst().contains(QStringLiteral("開けません")));
}

// A package or a launcher renamed to a document is refused, and the box says what it is.
TEST_F(RecvViewToolsTest, ARenamedPackageOrLauncherIsRefusedWithItsReason)
{
    TScriptedBoxes Boxes;
    TUrlRecorder Urls;
    QTemporaryDir Dir;
    const QString Package = Dir.filePath(QStringLiteral("見積.pdf"));
    const QString Launcher = Dir.filePath(QStringLiteral("請求書.txt"));
    const QString Document = Dir.filePath(QStringLiteral("請求書.pdf"));
    for (const auto& [Name, Bytes] :
         {std::pair{Package, QByteArray("!<arch>\ndebian-binary   1342  0     0     100644  4         `\n2.0\n")},
          std::pair{Launcher, QByteArray("[Desktop Entry]\nExec=xterm\n")},
          std::pair{Document, QByteArray("%PDF-1.4\n")}}) {
        QFile File(Name);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Bytes);
    }
    TCallerRecord Call = CallRecordFor(1, QStringLiteral("03-1111-2222"));
    Call.ExtFile = QStringList{Package, Launcher, Document};
    Open(Call);
    for (int Row = 0; Row < 3; ++Row) {
        View->lvExtFile->setCurrentItem(View->lvExtFile->topLevelItem(Row));
        QTest::mouseClick(View->bbtnOpenExtFile, Qt::LeftButton);
    }
    EXPECT_EQ(Urls.Opened, QList<QUrl>{QUrl::fromLocalFile(Document)});
    EXPECT_EQ(Boxes.Texts(),
              (QStringList{QStringLiteral("「") + Package +
                               QStringLiteral("」は文書や画像として開くことのできない種類のファイルのため開けません  "),
                           QStringLiteral("「") + Launcher +
                               QStringLiteral("」はプログラムとして実行されるファイルのため開けません  ")}));
}

TEST_F(RecvViewToolsTest, TheHiddenAttachButtonsAddAndRemoveRows)
{
    TScriptedBoxes Boxes;
    qputenv("VX_FILEDIALOG_ANSWERS", "/srv/docs/a.pdf,cancel");
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->bbtnAddExtFile->click();
    View->bbtnAddExtFile->click();
    qunsetenv("VX_FILEDIALOG_ANSWERS");
    ASSERT_EQ(View->lvExtFile->topLevelItemCount(), 1);
    EXPECT_EQ(View->GatherInput().ExtFiles, QStringList{QStringLiteral("/srv/docs/a.pdf")});
    EXPECT_TRUE(Boxes.Boxes().constFirst().value(QStringLiteral("folder")).toString().endsWith(u'/'));
    View->bbtnDelExtFile->click();
    EXPECT_EQ(View->lvExtFile->topLevelItemCount(), 0);
}

TEST_F(RecvViewToolsTest, TheProgramsDictionaryDialogFillsTheAddressOfAPostalCode)
{
    QTemporaryDir Dir;
    ProgramPath = MakeProgramFolder(Dir);
    InstallReceiveViewTools();
    InstallDictionaryLink();
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    ASSERT_TRUE(View->bbtnPosSearch->isEnabled());
    View->edtPos->setText(QStringLiteral("100-0001"));
    QTest::mouseClick(View->bbtnPosSearch, Qt::LeftButton); // one town: taken without showing the dialog
    EXPECT_EQ(View->edtPos->text(), QStringLiteral("100-0001"));
    EXPECT_EQ(View->edtTdfkn->text(), QStringLiteral("東京都"));
    EXPECT_EQ(View->edtAdrs1->text(), QStringLiteral("千代田区"));
    EXPECT_EQ(View->edtAdrs2->text(), QStringLiteral("千代田"));

    // The record window's buttons reach the same dialog.
    TMeiboView Record{*DMVxRelvo16};
    Record.ShowRecord(nullptr);
    Record.show();
    Record.edtPos->setText(QStringLiteral("1000001"));
    QTest::mouseClick(Record.bbtnPosSearch, Qt::LeftButton);
    EXPECT_EQ(Record.edtAdrs2->text(), QStringLiteral("千代田"));
    ProgramPath.clear();
}

// The search of the address-book number that finds the caller in the book names the book in the
// caption; one that finds nothing there puts the plain caption back.
TEST_F(RecvViewToolsTest, TheAddressBookSearchSetsTheBooksCaption)
{
    Settings.UseFbAdrs = true;
    Settings.FbSeries = 0;
    Settings.FbAdrsBookName = QStringLiteral("営業部");
    FoundInFbAdrs = false;
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    ASSERT_TRUE(View->FernbookMode());
    EXPECT_EQ(View->windowTitle(), QStringLiteral("着信照会"));
    const TDicLookupRun Plain = Lookup;
    ReceiveViewTools = TReceiveViewTools();
    InstallReceiveViewTools([Plain](QWidget* Owner, bool Earlier, int Kind, const QString& Text) {
        FoundInFbAdrs = true; // the dictionary found the number in the address book
        return Plain(Owner, Earlier, Kind, Text);
    });
    Answer = AddressAnswer(0);
    View->bbtnFbTel1Search->click();
    EXPECT_EQ(View->windowTitle(), QStringLiteral("着信照会    - Fernbook2013 [ 営業部 ]  -"));
    FoundInFbAdrs = false;
    InstallReceiveViewTools(Plain);
    View->bbtnFbTel1Search->click();
    EXPECT_EQ(View->windowTitle(), QStringLiteral("着信照会"));
}

// Three attached files show at once, without a scroll bar taking a row.
TEST_F(RecvViewToolsTest, TheAttachedFileListShowsThreeRows)
{
    TCallerRecord Record = CallRecordFor(1, QStringLiteral("03-1111-2222"));
    Record.ExtFile = QStringList{QStringLiteral("/srv/a.pdf"), QStringLiteral("/srv/b.pdf"), QStringLiteral("/srv/c.pdf")};
    Open(Record);
    ASSERT_EQ(View->lvExtFile->topLevelItemCount(), 3);
    const QRect Last = View->lvExtFile->visualItemRect(View->lvExtFile->topLevelItem(2));
    EXPECT_FALSE(Last.isEmpty());
    EXPECT_LE(Last.bottom(), View->lvExtFile->viewport()->height() - 1);
    EXPECT_FALSE(View->lvExtFile->horizontalScrollBar()->isVisible());
}
