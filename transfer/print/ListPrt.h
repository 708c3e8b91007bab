#pragma once

#include "transfer/print/PageCount.h"
#include "transfer/print/PrintItems.h"
#include "transfer/print/PrintTemplates.h"
#include "transfer/print/PrtInfo.h"

#include <QList>
#include <QString>
#include <array>
#include <memory>
#include <optional>

class TDMVxRelvo16;
class TMemIniFile;

// Everything the list printing prints by: the settings window fills it, the preview and the print
// lists read it. It knows no window.

inline const QString ListPrintSection = QStringLiteral("LIST PRINT");
inline const QString RecvHisLayoutSection = QStringLiteral("LIST PRINT LAYOUT RECVHIS");
inline const QString MeiboLayoutSection = QStringLiteral("LIST PRINT LAYOUT MEIBO");
inline const QString PrinterFileName = QStringLiteral("LstPrint.pi");
inline constexpr int MinFontSize = 7;
inline constexpr int MaxFontSize = 30;
inline constexpr int DefaultColor = 0xFFFFFF; // white, 0x00BBGGRR
inline constexpr int MaxRowColors = 10;

struct TPrintSettings
{
    bool IgnoreTdfkn = false;
    QString Title; // at most 200 bytes
    int TitlePosX = 0;
    bool ViewDate = false;
    double PrintDate = 0; // days since 1899-12-30; never stored
    int DatePosX = 0;
    int DatePosY = 0;
    bool ViewPage = false;
    int PageType = 0;
    int PagePosX = 0;
    int PagePosY = 0;
    QString FontName;
    int FontSize = 0; // points
    int FontStyle = 0;
    int FontCharset = 0;
    int RowCount = 0;
    int OffsetX = 0; // 0.1 mm
    int OffsetY = 0;
    std::array<bool, 6> Line{};
    std::array<int, 6> LineType{};
    int HorzInterval = 0;
    int HeaderColor = 0;
    bool HeaderColorExists = false;
    QList<int> Colors;
    int DataSelect = 0;
    int Copies = 0;
};

class TListPrintModel
{
public:
    TPrintSettings PrintSettings;
    int PrintSource = SourceRecvHis;
    std::array<TLayout, 2> Layouts;
    std::array<TTemplateList, 2> Templates;
    int RecordsPerPage = 0;
    int SourceRecordCount = 0;
    std::unique_ptr<TPrinterInfo> PrinterInfo;

    // Section LIST PRINT and both layout sections of Ini (values out of range take their
    // defaults; layouts lose entries the item lists cannot show), then the printer of PrinterFile.
    void LoadPrintSettings(const TMemIniFile& Ini, const QString& PrinterFile);
    // Writes them back into Ini (not to disk) and saves the printer with the copies.
    [[nodiscard]] bool SavePrintSettings(TMemIniFile& Ini);

    // Both sources' template files of DataPath, each with its last layout in front.
    void LoadTemplates(const QString& DataPath);
    [[nodiscard]] bool SaveTemplateFile(const QString& DataPath) const;
    [[nodiscard]] static QString TemplateFileName(const QString& DataPath, int Source);

    void BuildItemTable();
    [[nodiscard]] const QList<PrintItem>& ItemTable() const { return Items; }
    [[nodiscard]] std::optional<PrintItem> GetPrintItem(int ItemNo) const;
    [[nodiscard]] std::optional<LayoutEntry> GetLayoutEntry(int Source, int Index) const;
    [[nodiscard]] int GetLayoutCount(int Source) const;
    [[nodiscard]] TLayout& CurrentLayout() { return Layouts[SourceIndex(PrintSource)]; }
    [[nodiscard]] TTemplateList& CurrentTemplates() { return Templates[SourceIndex(PrintSource)]; }

    // The records of the source table, through the data module's counted open; 0 when it cannot
    // be opened.
    void CountSourceRecords(TDMVxRelvo16& Module);
    // The records per page by the settings and the printer; kept in RecordsPerPage.
    int CountRecordsPerPage(const TListTextMetrics& Metrics);
    // The settings' font as the page measures it.
    [[nodiscard]] TListFontSpec FontSpec() const;

    [[nodiscard]] static int SourceIndex(int Source) { return Source == SourceMeibo ? 1 : 0; }

    // A copy of everything a page is printed by, which later changes of this model leave alone.
    [[nodiscard]] std::unique_ptr<TListPrintModel> Snapshot() const;

private:
    QList<PrintItem> Items;
};
