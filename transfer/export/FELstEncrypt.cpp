#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/sys/SysError.h"
#include "transfer/export/ExportEncrypt.h"
#include "transfer/export/ExportRun.h"
#include "transfer/export/ExportTarget.h"
#include "transfer/export/FELst.h"
#include "transfer/export/FExpPw.h"

#include <QFileInfo>

// The encrypted export of the list windows: the program file to make, the password, and the text
// written into a private working folder and packed into the program file by the encryption library.

using namespace PagedLines;

namespace {

const QString MsgExeTargetExists = QStringLiteral("既にあるファイルを指定しました  \r\n上書きしてもよろしいですか？  ");

} // namespace

int TFileExportList::ChooseExeTarget(QString& Path)
{
    Path = FFileEncrypt;
    if (!AskTargetPath(Path, true))
        return 9;
    if (QFileInfo::exists(Path) && Message(MsgExeTargetExists, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 9;
    FFileEncrypt = Path;
    return 0;
}

void TFileExportList::RunEncrypted(int Count)
{
    QString Exe;
    if (ChooseExeTarget(Exe) == 9)
        return;
    TFileExportPassword Password(this);
    CenterForm(&Password, this);
    if (Password.exec() != QDialog::Accepted)
        return;

    // The plain text never lies anywhere but in this folder of ours, not beside the target, and the
    // folder goes on every way out; after a kill, at the next start.
    TEncryptWorkFolder Work;
    if (!Work.Make(Exe, SettingsPath)) {
        Message(MsgEncryptFolderNotMade, MB_OK | MB_ICONSTOP);
        return;
    }
    TExportTextFile File;
    if (!File.Open(Work.TextPath(), false)) {
        Message(SysErrorMessage(File.Error()), MB_OK | MB_ICONSTOP);
        return;
    }
    int Written = 0;
    if (!WriteFile(File, Written))
        return;
    const auto ShowError = [this](const QString& Text) {
        (void)MessageBoxPos(this, Text, ProductName, MB_OK | MB_ICONSTOP, 0);
    };
    bool Built = false;
    {
        TWaitCursor Wait;
        Built = BuildSelfRestoringFile(Password.Password(), Work.TextPath(), Exe, this, ShowError);
    }
    Work.Remove();
    if (!Built)
        return;
    SaveExportPaths();
    Message(ExportDoneText(Count, Written), MB_OK | MB_ICONINFORMATION);
    if (File.Substituted() > 0)
        Message(ExportSubstitutedText(File.Substituted()), MB_OK | MB_ICONWARNING);
}
