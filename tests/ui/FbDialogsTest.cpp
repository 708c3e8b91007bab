#include "main/identify/FbDialogs.h"

#include "main/identify/DBInfoFb.h"
#include "main/identify/FbEditions.h"
#include "main/settings/EnvApply.h"
#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "platform/db/Table.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QStringList LabelTexts(const QWidget& Dialog)
{
    QStringList Texts;
    for (const QLabel* Label : Dialog.findChildren<QLabel*>())
        Texts << Label->text();
    return Texts;
}

class FbDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Saved = Settings;
        Settings.FbSeries = 1;
        Settings.FbAdrsBookName = QStringLiteral("お客様");
    }
    void TearDown() override { Settings = Saved; }
    TSettings Saved;
};

TEST_F(FbDialogsTest, TheBackupQuestionNamesTheBookAndAnswersYesOrNo)
{
    TBackupFb Dialog(nullptr);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Fernbookデータのバックアップ確認"));
    EXPECT_EQ(Dialog.findChild<QLabel*>(QStringLiteral("lblFbName"))->text(), QStringLiteral("Fernbook2013 Trade"));
    EXPECT_EQ(Dialog.findChild<QLabel*>(QStringLiteral("lblAdrsName"))->text(), QStringLiteral("お客様"));
    const QStringList Texts = LabelTexts(Dialog);
    for (const char* Line :
         {"Fernbookのアドレス帳を登録名簿として使用中です", "連携ソフト　：", "アドレス帳　：",
          "アドレス帳のバックアップを行いますか？", "Tolvaneのデータ保存フォルダーの下に 「backup.FbAdrs」フォルダーを",
          "作成し、そこに登録名簿として指定中のアドレス帳フォルダーを保存します",
          "Tolvaneを起動する前に、登録名簿として指定しているアドレス帳の", "バックアップを行います"})
        EXPECT_TRUE(Texts.contains(QString::fromUtf8(Line))) << Line;
    QTimer::singleShot(0, [&Dialog] { Dialog.findChild<QPushButton*>(QStringLiteral("btnYes"))->click(); });
    EXPECT_EQ(Dialog.exec(), 1);
    QTimer::singleShot(0, [&Dialog] { Dialog.findChild<QPushButton*>(QStringLiteral("btnNo"))->click(); });
    EXPECT_EQ(Dialog.exec(), 2);
    EXPECT_EQ(Dialog.findChild<QPushButton*>(QStringLiteral("btnYes"))->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(Dialog.findChild<QPushButton*>(QStringLiteral("btnNo"))->text(), QStringLiteral("いいえ(&N)"));
}

TEST_F(FbDialogsTest, TheStartQuestionWarnsThatAnotherBookMayOpen)
{
    Settings.FbSeries = 0;
    TRunFb Dialog(nullptr);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Fernbookの起動確認"));
    EXPECT_EQ(Dialog.lblFbName->text(), QStringLiteral("Fernbook2013"));
    const QStringList Texts = LabelTexts(Dialog);
    for (const char* Line :
         {"以下のFernbookのアドレス帳を登録名簿として使用中です", "Fernbookを起動しますか？",
          "※Fernbookの起動時に開かれるアドレス帳は", "登録名簿として指定しているアドレス帳とは異なる可能性があります"})
        EXPECT_TRUE(Texts.contains(QString::fromUtf8(Line))) << Line;
    QTimer::singleShot(0, [&Dialog] { Dialog.btnNo->click(); });
    EXPECT_EQ(Dialog.exec(), 2);
}

TEST_F(FbDialogsTest, CancellingTheProgressStopsTheBackupAndKeepsThePreviousOne)
{
    QTemporaryDir Fb;
    QTemporaryDir Data;
    const QString Book = Fb.path() + QStringLiteral("/Adrs/Book/");
    QDir().mkpath(Book);
    for (int I = 0; I < 20; ++I) {
        QFile File(Book + QStringLiteral("Keyword%1.mtd").arg(I));
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write("x");
    }
    FbDataPaths[0] = Fb.path() + QLatin1Char('/');
    FbAdrsBooks = {{QStringLiteral("Book"), QStringLiteral("Book"), 0}};
    Settings.FbSeries = 0;
    Settings.FbAdrsBook = 0;
    ASSERT_TRUE(BackupFbAdrsWithProgress(nullptr, Data.path()));
    const QString Copy = Data.path() + QStringLiteral("/backup.FbAdrs/Adrs/Book/");
    EXPECT_EQ(QDir(Copy).entryList(QDir::Files).size(), 20);

    QFile::remove(Book + QStringLiteral("Keyword0.mtd"));
    QTimer Cancel;
    QObject::connect(&Cancel, &QTimer::timeout, [] {
        for (QWidget* Window : QApplication::topLevelWidgets())
            if (auto* Progress = qobject_cast<QProgressDialog*>(Window))
                Progress->cancel();
    });
    Cancel.start(0);
    EXPECT_FALSE(BackupFbAdrsWithProgress(nullptr, Data.path()));
    Cancel.stop();
    EXPECT_EQ(QDir(Copy).entryList(QDir::Files).size(), 20);
    EXPECT_EQ(QDir(Data.path() + QStringLiteral("/backup.FbAdrs/Adrs/"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Book")});
    FbDataPaths = {};
    FbAdrsBooks.clear();
}

TEST_F(FbDialogsTest, TheSettingsDialogReachesTheLinkThroughItsHooks)
{
    const TEnvHooks Saved = EnvHooks();
    InstallFbEnvHooks();
    QTemporaryDir Fb;
    for (const char* Name : {"b", "A"}) {
        QDir().mkpath(Fb.filePath(QStringLiteral("Adrs/%1").arg(QLatin1String(Name))));
        QFile Table(Fb.filePath(QStringLiteral("Adrs/%1/Adrs.DB").arg(QLatin1String(Name))));
        ASSERT_TRUE(Table.open(QIODevice::WriteOnly));
    }
    const QList<TEnvAdrsBook> Books = EnvHooks().LoadAddressBookList(Fb.path() + QStringLiteral("/Adrs/"));
    ASSERT_EQ(Books.size(), 2);
    EXPECT_EQ(Books[0].Folder, QStringLiteral("A"));
    EXPECT_EQ(Books[1].Name, QStringLiteral("b"));
    FbDataPaths[1] = Fb.path() + QLatin1Char('/');
    EXPECT_EQ(EnvHooks().FbDataPath(1), Fb.path() + QLatin1Char('/'));
    EXPECT_EQ(EnvHooks().FbDataPath(7), QString());

    Settings.FbSeries = 1;
    EnvHooks().PrepareFbDataModule(false);
    ASSERT_NE(DMFbarea, nullptr);
    TDMFbarea* First = DMFbarea;
    EnvHooks().PrepareFbDataModule(false);
    EXPECT_EQ(DMFbarea, First);
    EXPECT_EQ(DMFbarea->Password(), QStringLiteral("gaxnel74"));
    Settings.FbSeries = 0;
    EnvHooks().PrepareFbDataModule(true);
    EXPECT_EQ(DMFbarea->Password(), QStringLiteral("zomriv52"));
    delete DMFbarea;
    DMFbarea = nullptr;
    FbDataPaths = {};
    FbAdrsBooks.clear();
    EnvHooks() = Saved;
}

} // namespace
