// The export settings on any VxRelvo16.ini: every choice lands in its range, each layout starts a
// column, numbers its columns 1, 2, 3 ... and holds at most 100 entries, and what is saved reads
// back as the same settings.

#include "FuzzSupport.h"
#include "platform/ini/IniFile.h"
#include "transfer/export/ExportSettings.h"

namespace {

void CheckLayout(const TExportLayout& Layout)
{
    VX_FUZZ_CHECK(Layout.size() <= MaxExportEntries);
    int Column = 0;
    for (qsizetype I = 0; I < Layout.size(); ++I) {
        VX_FUZZ_CHECK(Layout[I].ItemIndex >= 0);
        if (I == 0)
            VX_FUZZ_CHECK(Layout[I].ColumnNo == 1);
        if (Layout[I].ColumnNo > 0)
            VX_FUZZ_CHECK(Layout[I].ColumnNo == ++Column);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString Folder = FreshFolder(QStringLiteral("exportini"));
    TMemIniFile Ini(Folder + QStringLiteral("VxRelvo16.ini"));
    Ini.FromBytes(QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
    TExportState State;
    ReadExportSettings(Ini, State);
    const TExportSettings& S = State.Settings;
    VX_FUZZ_CHECK(S.Source == 0 || S.Source == 1);
    VX_FUZZ_CHECK(S.Range >= 0 && S.Range <= 2);
    VX_FUZZ_CHECK(S.Type == 0 || S.Type == 1);
    CheckLayout(State.History);
    CheckLayout(State.Meibo);

    WriteExportSettings(Ini, State);
    TMemIniFile Reread(Folder + QStringLiteral("other.ini"));
    Reread.FromBytes(Ini.ToBytes());
    TExportState Again;
    ReadExportSettings(Reread, Again);
    VX_FUZZ_CHECK(Again.History == State.History && Again.Meibo == State.Meibo);
    VX_FUZZ_CHECK(Again.Settings.Source == S.Source && Again.Settings.Range == S.Range &&
                  Again.Settings.Type == S.Type);
    VX_FUZZ_CHECK(Again.Settings.OutHeader == S.OutHeader && Again.Settings.EditTime == S.EditTime);
    return 0;
}
