// Any answer of the update server, through the program's check, the hand-over file updateinfo.dat
// and the updater's own reading of it: every file the updater would write lies inside the program
// folder, and the updater sees the very names and paths the program accepted and compared.

#include "FuzzSupport.h"
#include "main/update/UpdInfo.h"
#include "peers/updateapp/UpdatePlan.h"

namespace {

// Set once the answer check refuses control characters in the texts it accepts; until then an
// answer that slips a line break into the hand-over file is left out here.
constexpr bool AnswerRefusesControlCharacters = false;

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
        if (!AnswerRefusesControlCharacters &&
            (HasControl(File.Name) || HasControl(File.Path) || HasControl(File.DLFile)))
            return 0;
        File.Downloaded = true;
        Restart = Restart || File.Restart;
    }

    const QString Root = FreshFolder(QStringLiteral("update"));
    const QString ProgramFolder = Root + QStringLiteral("program/");
    const QString UpdateFolder = Root + QStringLiteral("settings/update/");
    QDir().mkpath(UpdateFolder);
    VX_FUZZ_CHECK(WriteUpdateInfoFile(UpdateFolder, QStringLiteral("VxRelvo16"), ProgramFolder, Restart, Answer.Files));

    const TUpdatePlan Plan = ReadUpdatePlan(UpdateFolder + QStringLiteral("updateinfo.dat"));
    VX_FUZZ_CHECK(Plan.Usable);
    VX_FUZZ_CHECK_EQ(Plan.ProgramFolder, ProgramFolder);
    VX_FUZZ_CHECK_EQ(Plan.Exe, QStringLiteral("VxRelvo16"));
    VX_FUZZ_CHECK_EQ(Plan.Restart, Restart);
    VX_FUZZ_CHECK_EQ(Plan.Moves.size(), Answer.Files.size());
    for (qsizetype I = 0; I < Plan.Moves.size(); ++I) {
        const TUpdateFileInfo& File = Answer.Files[I];
        const TUpdateMove& Move = Plan.Moves[I];
        VX_FUZZ_CHECK_EQ(Move.Name, File.Name);
        VX_FUZZ_CHECK_EQ(Move.Path, File.Path);
        VX_FUZZ_CHECK_EQ(Move.DLFile, File.DLFile);
        // The file the program compared is the file the updater replaces, and nothing else.
        const QString Compared = QDir::cleanPath(ProgramFolder + File.Path + File.Name);
        VX_FUZZ_CHECK_EQ(QDir::cleanPath(Move.Target), Compared);
        VX_FUZZ_CHECK(Move.Allowed);
        VX_FUZZ_CHECK(Compared.startsWith(ProgramFolder) && Compared.size() > ProgramFolder.size());
    }
    return 0;
}
