// The list-print settings on any VxRelvo16.ini: every value lands in its range, the layouts are ones
// the item lists can show, and what is saved reads back as the same settings.

#include "FuzzSupport.h"
#include "platform/ini/IniFile.h"
#include "transfer/print/ListPrt.h"

namespace {

void CheckRanges(const TListPrintModel& Model)
{
    const TPrintSettings& S = Model.PrintSettings;
    VX_FUZZ_CHECK(Model.PrintSource == 0 || Model.PrintSource == 1);
    VX_FUZZ_CHECK(S.TitlePosX >= 0 && S.TitlePosX <= 2 && S.DatePosX >= 0 && S.DatePosX <= 2);
    VX_FUZZ_CHECK(S.PageType >= 0 && S.PageType <= 5);
    VX_FUZZ_CHECK(S.FontSize >= MinFontSize && S.FontSize <= MaxFontSize);
    VX_FUZZ_CHECK(S.FontCharset == 0 || S.FontCharset == 128);
    VX_FUZZ_CHECK(S.RowCount >= 1 && S.RowCount <= 3);
    VX_FUZZ_CHECK(S.OffsetX >= 0 && S.OffsetX <= 500 && S.OffsetY >= 0 && S.OffsetY <= 500);
    VX_FUZZ_CHECK(S.HorzInterval >= 1 && S.HorzInterval <= 20);
    VX_FUZZ_CHECK(S.Colors.size() <= MaxRowColors);
    VX_FUZZ_CHECK(S.Copies >= 1 && S.Copies <= 100);
    VX_FUZZ_CHECK(!S.FontName.isEmpty());
    for (int Source : {SourceRecvHis, SourceMeibo}) {
        const TLayout& Layout = Model.Layouts[TListPrintModel::SourceIndex(Source)];
        VX_FUZZ_CHECK(CleanLayout(Layout, static_cast<int>(BuildItemTable(Source).size())) == Layout);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString Folder = FreshFolder(QStringLiteral("listprintini"));
    TMemIniFile Ini(Folder + QStringLiteral("VxRelvo16.ini"));
    Ini.FromBytes(QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
    const QString Printer = Folder + QStringLiteral("LstPrint.pi");

    TListPrintModel Model;
    Model.LoadPrintSettings(Ini, Printer);
    CheckRanges(Model);
    // The title and font name are written trimmed, as the window shows them.
    Model.PrintSettings.Title = Model.PrintSettings.Title.trimmed();
    VX_FUZZ_CHECK(Model.SavePrintSettings(Ini));
    if (!Ini.RefusedWrites().isEmpty())
        return 0;
    TMemIniFile Reread(Folder + QStringLiteral("other.ini"));
    Reread.FromBytes(Ini.ToBytes());
    TListPrintModel Again;
    Again.LoadPrintSettings(Reread, Printer);
    const TPrintSettings& A = Model.PrintSettings;
    const TPrintSettings& B = Again.PrintSettings;
    VX_FUZZ_CHECK_EQ(B.Title, A.Title);
    VX_FUZZ_CHECK_EQ(B.FontName, A.FontName);
    VX_FUZZ_CHECK(B.FontSize == A.FontSize && B.RowCount == A.RowCount && B.Colors == A.Colors);
    VX_FUZZ_CHECK(B.Line == A.Line && B.LineType == A.LineType && B.Copies == A.Copies);
    VX_FUZZ_CHECK(Again.PrintSource == Model.PrintSource);
    for (int I = 0; I < 2; ++I)
        VX_FUZZ_CHECK(Again.Layouts[I] == Model.Layouts[I] || Model.Layouts[I].isEmpty());
    return 0;
}
