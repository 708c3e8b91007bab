// Any answer of the update server, through the program's check, the hand-over file updateinfo.dat
// and the updater's own reading of it: every file the updater would write lies inside the program
// folder, and the updater sees the very names and paths the program accepted and compared.

#include "FuzzSupport.h"
#include "main/update/UpdInfo.h"
#include "peers/updateapp/UpdateInfoReader.h"

#include <QFile>

namespace {

bool HasControl(const QString& Text)
{
    return std::any_of(Text.cbegin(), Text.cend(), [](QChar C) { return C.unicode() < 0x20 || C.unicode() == 0x7F; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Body(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    TUpdateAnswer Answer = CheckUpdateAnswer(Body);
    if (Answer.Code != 0) {
        VX_FUZZ_CHECK(Answer.Files.isEmpty());
        return 0;
    }
    bool Restart = false;
    for (TUpdateFileInfo& File : Answer.Files) {
        // Nothing the answer carries may break a line of the hand-over file.
        VX_FUZZ_CHECK(!HasControl(File.Name) && !HasControl(File.Path) && !HasControl(File.DLFile));
        File.Downloaded = true;
        Restart = Restart || File.Restart;
    }

    const QString Root = FreshFolder(QStringLiteral("update"));
    const QString ProgramFolder = Root + QStringLiteral("program/");
    const QString UpdateFolder = Root + QStringLiteral("settings/update/");
    QDir().mkpath(UpdateFolder);
    VX_FUZZ_CHECK(WriteUpdateInfoFile(UpdateFolder, QStringLiteral("VxRelvo16"), ProgramFolder, Restart, Answer.Files));

    QFile InfoFile(UpdateFolder + QStringLiteral("updateinfo.dat"));
    VX_FUZZ_CHECK(InfoFile.open(QIODevice::ReadOnly));
    const std::optional<UpdateInfo::TInfo> Info = UpdateInfo::Read(InfoFile.readAll());
    VX_FUZZ_CHECK(Info.has_value());
    VX_FUZZ_CHECK_EQ(Info->ProgramFolder, ProgramFolder);
    VX_FUZZ_CHECK_EQ(Info->Exe, QStringLiteral("VxRelvo16"));
    VX_FUZZ_CHECK_EQ(Info->Restart, Restart);
    VX_FUZZ_CHECK_EQ(Info->Files.size(), Answer.Files.size());
    for (qsizetype I = 0; I < Info->Files.size(); ++I) {
        const TUpdateFileInfo& File = Answer.Files[I];
        const UpdateInfo::TFile& Move = Info->Files[I];
        VX_FUZZ_CHECK_EQ(Move.DLFile, File.DLFile);
        // The file the program compared is the file the updater replaces, and nothing else.
        const QString Compared = QDir::cleanPath(ProgramFolder + File.Path + File.Name);
        VX_FUZZ_CHECK_EQ(Move.Target, Compared);
        VX_FUZZ_CHECK(Move.Inside);
        VX_FUZZ_CHECK(Compared.startsWith(ProgramFolder) && Compared.size() > ProgramFolder.size());
    }
    return 0;
}
