// What the build lays out beside the programs, used as a fresh installation uses it.

#include "main/common/ProductInfo.h"
#include "main/settings/EnvApply.h"
#include "main/settings/IPPBXIni.h"
#include "main/settings/SetIPPBX.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/sys/Folders.h"
#include "tests/support/ScriptedBoxes.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QString ProgramFolder = QStringLiteral(VX_BIN_DIR "/");

unsigned Mode(const QString& Path)
{
    struct stat Info
    {
    };
    return stat(QFile::encodeName(Path).constData(), &Info) == 0 ? Info.st_mode & 0777 : 0;
}

// "ひかり回線" is set up with what the program folder ships: its IP-PBX folder file names a folder
// under the data home, and the detail dialog saves the device library's settings there.
TEST(ProgramFolderTest, IPPBXDetailDialogSavesIntoTheShippedFolder)
{
    const QString Saved = IPPBXPath;
    IPPBXPath = ReadIPPBXPath(ProgramFolder);
    ASSERT_EQ(IPPBXPath, GetCommonAppDataFolder() + QStringLiteral("Pelmar/VxComm3ip"));
    QDir(IPPBXPath).removeRecursively();
    IPPBXAdapterName = QStringLiteral("ＩＰ－ＰＢＸ（子機登録）");
    IPPBXAdapterKind = 220;
    IPPBXDetailChanged = false;
    {
        TScriptedBoxes Boxes("Yes");
        TSetIPPBXDetail Detail(nullptr, false);
        Detail.show();
        EXPECT_FALSE(Detail.FileExisted());
        Detail.edtHost->setText(QStringLiteral("192.168.1.10"));
        Detail.edtFrom->setText(QStringLiteral("201"));
        Detail.edtTelno->setText(QStringLiteral("05012345678"));
        Detail.edtUser->setText(QStringLiteral("受付"));
        Detail.edtPassword->setText(QStringLiteral("secret"));
        Detail.btnSet->click();
        EXPECT_EQ(Boxes.Texts(), QStringList({QStringLiteral("入力した内容で設定を行います　\r\nよろしいですか？  "),
                                              QStringLiteral("設定が完了しました  ")}));
        EXPECT_EQ(Detail.result(), 1);
    }
    EXPECT_TRUE(IPPBXDetailChanged);
    const QString FileName = IPPBXIniFileName();
    EXPECT_EQ(LoadIPPBXSettings(FileName).Telno, QStringLiteral("05012345678"));
    EXPECT_EQ(Mode(IPPBXPath), 0700u);
    EXPECT_EQ(Mode(FileName), 0600u);
    QDir(IPPBXPath).removeRecursively();
    IPPBXPath = Saved;
}

// A new data folder starts with the rank list the program folder ships.
TEST(ProgramFolderTest, ANewDataFolderStartsWithTheShippedRanks)
{
    QTemporaryDir Data;
    TDMVxRelvo16 Module(Data.path(), ProgramFolder);
    Module.CreateRankHistory();
    ASSERT_TRUE(Module.LoadRankHistory());
    ASSERT_NE(RankHistory, nullptr);
    QStringList Ranks;
    for (int I = 0; I < RankHistory->Count(); ++I)
        Ranks << RankHistory->GetText(I);
    EXPECT_EQ(Ranks, QStringList({QStringLiteral("Ａ"), QStringLiteral("Ｂ"), QStringLiteral("Ｃ"),
                                  QStringLiteral("新規"), QStringLiteral("要注意")}));
    EXPECT_TRUE(QFileInfo::exists(Data.filePath(QStringLiteral("Rank.mtd"))));
    Module.FreeRankHistory();
}

} // namespace
