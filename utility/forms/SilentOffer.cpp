#include "utility/forms/SilentOffer.h"

#include "main/common/CommonForms.h"
#include "main/common/CommonSys.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"
#include "utility/convert/Convert.h"
#include "utility/forms/ProgressView.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <memory>

namespace Utility {

QString Version15DataFolder;

namespace {

const QString AppPaths =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");

bool Registered(const QString& Program)
{
    return !ReadRegistryString(AppPaths + Program, QStringLiteral("Path")).value_or(QString()).trimmed().isEmpty();
}

// The progress window of the silent run, made when the converter knows its total.
class TViewProgress : public TConvertProgress
{
public:
    void Start(int Total) override
    {
        FView = std::make_unique<TProgressView>();
        FView->SetRange(Total, 1, 1);
        FView->ShowCentred();
    }
    void Step() override { FView->Step(1); }
    void Finish() override { FView.reset(); }

private:
    std::unique_ptr<TProgressView> FView;
};

int Tell(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(nullptr, Text, ProductName, Flags);
}

} // namespace

bool FindVersion15()
{
    if (!Registered(QStringLiteral("vxrelvo15.exe")))
        return false;
    const QString Folder =
        FindIgnoringCase(GetCommonAppDataFolder() + QStringLiteral("Pelmar/"), QStringLiteral("vxrelvo15"));
    if (Folder.isEmpty() || !QFileInfo(Folder).isDir())
        return false;
    const QString Stem = QStringLiteral("vxrelvo15");
    OlderAdapterSettings[0] = ReadOlderAdapterSettings(IncludeTrailingDelimiter(Folder), Stem);
    const QString Data = ReadOlderDataPath(IncludeTrailingDelimiter(Folder), Stem);
    if (Data.isEmpty())
        return false;
    Version15DataFolder = Data;
    return true;
}

bool IsVersion16Installed()
{
    return Registered(QStringLiteral("vxrelvo16.exe")) || QFileInfo::exists(ProgramPath + QStringLiteral("VxRelvo16"));
}

bool ConfirmVersion15Folder()
{
    QString Folder = Version15DataFolder.trimmed();
    if (!QFileInfo(Folder).isDir())
        Folder.clear();
    if (!BrowseForFolder(Folder, nullptr, QStringLiteral("Tolvane１５のデータ保存フォルダーを指定してください  "), true,
                         true))
        return false;
    Version15DataFolder = IncludeTrailingDelimiter(Folder.trimmed());
    return true;
}

void SilentConversionOffer()
{
    // A running version 15 holds its tables: the offer waits for another start, without a word.
    if (IsProgramRunning(OlderInstanceName(15)))
        return;
    if (!FindVersion15() || !IsVersion16Installed())
        return;
    if (Tell(QStringLiteral("Tolvane１５がインストールされています  \r\nデータをコンバートしますか？  \r\n\r\n"
                            "※コンバート処理は後でユーティリティでも行えます  "),
             MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!ConfirmVersion15Folder()) {
        Tell(QStringLiteral("データのコンバートを中止しました  "), MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The main program's default data folder; the settings file keeps naming whatever it names.
    const QString Dest = SettingsPath + QStringLiteral("Data/");
    if (!CreateOwnerOnlyFolder(Dest))
        return;
    const QString Was = DataPath;
    DataPath = Dest;
    bool Done = false;
    {
        TConversionModule Module(Dest);
        TViewProgress Progress;
        try {
            ConvertVersion(15, Version15DataFolder, Progress);
            Done = true;
        } catch (const EConvertAborted&) {
        } catch (const Exception& Error) {
            Tell(Error.Message(), MB_OK | MB_ICONSTOP);
        }
    }
    DataPath = Was;
    if (Done)
        Tell(QStringLiteral("コンバートが終了しました  "), MB_OK | MB_ICONINFORMATION);
}

} // namespace Utility
