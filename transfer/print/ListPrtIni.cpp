// The list-print settings in VxRelvo16.ini: section LIST PRINT and the two layout sections.

#include "main/common/CommonFonts.h"
#include "main/common/CommonText.h"
#include "platform/ini/IniFile.h"
#include "transfer/print/ListPrt.h"

namespace {

const QString& S = ListPrintSection;

// A value outside Low..High takes Default; the test is unsigned, so a negative value fails it.
int Ranged(const TMemIniFile& Ini, const QString& Key, unsigned Low, unsigned High, int Default)
{
    const unsigned Value = static_cast<unsigned>(Ini.ReadInteger(S, Key, Default));
    return Value >= Low && Value <= High ? static_cast<int>(Value) : Default;
}

QString LayoutSection(int Source)
{
    return Source == SourceMeibo ? MeiboLayoutSection : RecvHisLayoutSection;
}

} // namespace

void TListPrintModel::LoadPrintSettings(const TMemIniFile& Ini, const QString& PrinterFile)
{
    PrintSettings = TPrintSettings{};
    TPrintSettings& P = PrintSettings;
    PrintSource = Ranged(Ini, QStringLiteral("PrintSource"), 0, 1, 0);
    P.IgnoreTdfkn = Ini.ReadBool(S, QStringLiteral("IgnoreTdfkn"), false);
    P.Title = MbcsLeft(Ini.ReadString(S, QStringLiteral("Title"), QString()), 200);
    P.TitlePosX = Ranged(Ini, QStringLiteral("TitlePosX"), 0, 2, 1);
    P.ViewDate = Ini.ReadBool(S, QStringLiteral("ViewDate"), true);
    P.DatePosX = Ranged(Ini, QStringLiteral("DatePosX"), 0, 2, 2);
    P.DatePosY = Ranged(Ini, QStringLiteral("DatePosY"), 0, 1, 0);
    P.ViewPage = Ini.ReadBool(S, QStringLiteral("ViewPage"), true);
    P.PageType = Ranged(Ini, QStringLiteral("PageType"), 0, 5, 0);
    P.PagePosX = Ranged(Ini, QStringLiteral("PagePosX"), 0, 2, 1);
    P.PagePosY = Ranged(Ini, QStringLiteral("PagePosY"), 0, 1, 1);
    P.FontName = Ini.ReadString(S, QStringLiteral("FontName"), QString()).trimmed();
    if (P.FontName.isEmpty())
        P.FontName = MsGothicFontName;
    P.FontSize = MinFontSize + Ranged(Ini, QStringLiteral("FontSize"), 0, MaxFontSize - MinFontSize, 2);
    P.FontStyle = Ranged(Ini, QStringLiteral("FontStyle"), 0, 3, 0);
    const int Charset = Ini.ReadInteger(S, QStringLiteral("FontCharset"), SHIFTJIS_CHARSET);
    P.FontCharset = Charset == ANSI_CHARSET ? ANSI_CHARSET : SHIFTJIS_CHARSET;
    P.RowCount = 1 + Ranged(Ini, QStringLiteral("iRowCount"), 0, 2, 0);
    P.OffsetX = Ranged(Ini, QStringLiteral("OffsetX"), 0, 500, 0);
    P.OffsetY = Ranged(Ini, QStringLiteral("OffsetY"), 0, 500, 0);
    for (int I = 0; I < 6; ++I) {
        P.Line[I] = Ini.ReadBool(S, QStringLiteral("Line%1").arg(I + 1), false);
        P.LineType[I] = Ini.ReadInteger(S, QStringLiteral("LineType%1").arg(I + 1), 0);
    }
    P.HorzInterval = Ranged(Ini, QStringLiteral("HorzInterval"), 1, 20, 1);
    P.HeaderColor = Ini.ReadInteger(S, QStringLiteral("HeaderColor"), DefaultColor);
    P.HeaderColorExists = Ini.ReadBool(S, QStringLiteral("HeaderColorExists"), false);
    const int ColorCount = Ranged(Ini, QStringLiteral("ColorCount"), 0, MaxRowColors, 0);
    for (int I = 1; I <= ColorCount; ++I)
        P.Colors.append(Ini.ReadInteger(S, QStringLiteral("Color%1").arg(I), DefaultColor));
    P.DataSelect = Ranged(Ini, QStringLiteral("DataSelect"), 0, 2, 0);
    P.Copies = Ranged(Ini, QStringLiteral("Copies"), 1, 100, 1);

    for (int Source : {SourceRecvHis, SourceMeibo}) {
        const QString Section = LayoutSection(Source);
        const auto Layout = LayoutFromText({Ini.ReadString(Section, QStringLiteral("ItemNo"), QString()),
                                            Ini.ReadString(Section, QStringLiteral("ItemSize"), QString())});
        const int ItemCount = static_cast<int>(::BuildItemTable(Source).size());
        Layouts[SourceIndex(Source)] = Layout ? CleanLayout(*Layout, ItemCount) : TLayout{};
    }
    BuildItemTable();
    PrinterInfo = std::make_unique<TPrinterInfo>(PrinterFile);
}

bool TListPrintModel::SavePrintSettings(TMemIniFile& Ini)
{
    for (int Source : {SourceRecvHis, SourceMeibo}) {
        const TLayout& Layout = Layouts[SourceIndex(Source)];
        if (Layout.isEmpty())
            continue;
        const TLayoutText Text = LayoutToText(Layout);
        Ini.WriteString(LayoutSection(Source), QStringLiteral("ItemNo"), Text.ItemNo);
        Ini.WriteString(LayoutSection(Source), QStringLiteral("ItemSize"), Text.ItemSize);
    }
    const TPrintSettings& P = PrintSettings;
    Ini.WriteInteger(S, QStringLiteral("PrintSource"), PrintSource);
    Ini.WriteBool(S, QStringLiteral("IgnoreTdfkn"), P.IgnoreTdfkn);
    Ini.WriteString(S, QStringLiteral("Title"), P.Title.trimmed());
    Ini.WriteInteger(S, QStringLiteral("TitlePosX"), P.TitlePosX);
    Ini.WriteBool(S, QStringLiteral("ViewDate"), P.ViewDate);
    Ini.WriteInteger(S, QStringLiteral("DatePosX"), P.DatePosX);
    Ini.WriteInteger(S, QStringLiteral("DatePosY"), P.DatePosY);
    Ini.WriteBool(S, QStringLiteral("ViewPage"), P.ViewPage);
    Ini.WriteInteger(S, QStringLiteral("PageType"), P.PageType);
    Ini.WriteInteger(S, QStringLiteral("PagePosX"), P.PagePosX);
    Ini.WriteInteger(S, QStringLiteral("PagePosY"), P.PagePosY);
    Ini.WriteString(S, QStringLiteral("FontName"), P.FontName.trimmed());
    Ini.WriteInteger(S, QStringLiteral("FontSize"), P.FontSize - MinFontSize);
    Ini.WriteInteger(S, QStringLiteral("FontStyle"), P.FontStyle);
    Ini.WriteInteger(S, QStringLiteral("FontCharset"), P.FontCharset);
    Ini.WriteInteger(S, QStringLiteral("iRowCount"), P.RowCount - 1);
    Ini.WriteInteger(S, QStringLiteral("OffsetX"), P.OffsetX);
    Ini.WriteInteger(S, QStringLiteral("OffsetY"), P.OffsetY);
    for (int I = 0; I < 6; ++I)
        Ini.WriteBool(S, QStringLiteral("Line%1").arg(I + 1), P.Line[I]);
    for (int I = 0; I < 6; ++I)
        Ini.WriteInteger(S, QStringLiteral("LineType%1").arg(I + 1), P.LineType[I]);
    Ini.WriteInteger(S, QStringLiteral("HorzInterval"), P.HorzInterval);
    Ini.WriteInteger(S, QStringLiteral("HeaderColor"), P.HeaderColor);
    Ini.WriteBool(S, QStringLiteral("HeaderColorExists"), P.HeaderColorExists);
    Ini.WriteInteger(S, QStringLiteral("ColorCount"), static_cast<int>(P.Colors.size()));
    for (int I = 0; I < P.Colors.size(); ++I)
        Ini.WriteInteger(S, QStringLiteral("Color%1").arg(I + 1), P.Colors[I]);
    Ini.WriteInteger(S, QStringLiteral("DataSelect"), P.DataSelect);
    Ini.WriteInteger(S, QStringLiteral("Copies"), P.Copies);
    if (!PrinterInfo)
        return true;
    PrinterInfo->SetCopies(P.Copies);
    return PrinterInfo->SavePrinterSettings();
}
