#include "transfer/print/lists/LPLst.h"

#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/tables/DBInfo.h"
#include "platform/print/Printing.h"
#include "platform/sys/Exceptions.h"
#include "transfer/print/ListPrt.h"
#include "transfer/print/ListPrtDlg.h"
#include "transfer/print/PreviewWalk.h"

#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <optional>

// The print list windows' print button and their job: which records, the question, and the pages
// on the printer the list print window chose.

using namespace PagedLines;

namespace {

int FailAtPage = 0;

const QString DocumentName = QStringLiteral("一覧表データ");
const QString PrintFailedMessage =
    QStringLiteral("印刷中にエラーが発生したため、印刷を中止しました  \r\n\r\nプリンタの状態を確認してください  ");

} // namespace

QString PrintCompletedMessage(const QString& SavedFile)
{
    QString Text = QStringLiteral("一覧表の印刷が完了しました  ");
    // A list printed to a file is looked for: the box says where it went.
    if (!SavedFile.isEmpty())
        Text += QStringLiteral("\r\n\r\n保存先：") + SavedFile + QStringLiteral("  ");
    return Text;
}

void TListPrintList::FailAtPageForTests(int Page)
{
    FailAtPage = Page;
}

TListPrintList::TListPrintList(QWidget* Owner, int Source, const TListPrintModel& Print, const TListWindowKind& Kind)
    : TFileExportList(Owner, Source, Kind), btnPrint(btnExport), FPrint(Print)
{
}

bool TListPrintList::AskPrintScope(TPrintScope& Scope)
{
    QString Question;
    Scope.DataSelect = FPrint.PrintSettings.DataSelect;
    switch (Scope.DataSelect) {
    case 0:
        for (int Row = 0; Row < lbxList->count(); ++Row)
            if (lbxList->item(Row)->isSelected())
                Scope.RecNos << lbxList->item(Row)->data(RecNoRole).toInt();
        Scope.Count = static_cast<int>(Scope.RecNos.size());
        if (Scope.Count == 0) {
            FocusListOr(btnCancel);
            return false;
        }
        Question = SelectedPrintQuestion(Scope.Count, Source() == ExportSourceMeibo);
        break;
    case 1: {
        if (lbxList->count() == 0)
            return false;
        TRecordRange& Range = MutableRange();
        TRangeSpc Dialog(this);
        Dialog.setProperty("HelpContext", 77);
        Dialog.adjustSize();
        PlaceFormBottomRight(&Dialog, this, 15, 15);
        Dialog.SetRange(Range.First, Range.Last, Pages().TotalRows);
        if (Dialog.exec() != 1)
            return false;
        Dialog.GetRange(Range.First, Range.Last);
        Scope.First = Range.First;
        Scope.Count = Range.Last - Range.First + 1;
        Question = RangePrintQuestion(Range.First, Range.Last);
        break;
    }
    default:
        if (lbxList->count() == 0)
            return false;
        Scope.Count = Pages().TotalRows;
        Question = AllPrintQuestion(Scope.Count, ListModel().HasConditions());
        break;
    }
    return Message(Question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void TListPrintList::btnPrintClick()
{
    if (BusyFlag() || IsLoading())
        return;
    TFlagGuard Guard(BusyFlag());
    // Settings that leave room for no row on a page print nothing; the list print window says why.
    if (FPrint.RecordsPerPage < 1) {
        Message(PageTooSmallMessage, MB_OK | MB_ICONINFORMATION);
        return;
    }
    TPrintScope Scope;
    if (!AskPrintScope(Scope))
        return;
    bool Printed = false;
    {
        TWaitCursor Wait;
        Printed = Source() == ExportSourceMeibo ? PrintMeiboJob(Scope) : PrintRecvHisJob(Scope);
    }
    if (Printed)
        Message(PrintCompletedMessage(FSavedFile), MB_OK | MB_ICONINFORMATION);
}

bool TListPrintList::PrintListJob(const TPrintScope& Scope)
{
    FSavedFile.clear();
    if (!DMVxRelvo16 || !FPrint.PrinterInfo)
        return false;
    const TPrinterInfo& Info = *FPrint.PrinterInfo;
    // A table that did not open has been reported by the data module.
    const TExportTables Tables(*DMVxRelvo16, Source() == ExportSourceMeibo);
    if (!Tables.Opened())
        return false;
    const TExportSource Walked = ListModel().ExportSourceOf(*Tables.Table(), Tables.CallerDirectory());
    TPrintJobWalk Walk(Walked, Scope, FPrint.PrintSettings.IgnoreTdfkn);

    const TPrinterSelection& Chosen = CurrentPrinter();
    TPrintJob Job(Chosen.Name, DocumentName);
    QPrinter& Printer = Job.Printer();
    Printer.setPageSize(Chosen.Paper);
    Printer.setPageOrientation(Chosen.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const int Copies = qMax(1, FPrint.PrintSettings.Copies);
    Printer.setCopyCount(Copies);
    // A printer that cannot make copies itself (the PDF file) gets the document that many times.
    const int DocumentCopies =
        Printer.outputFormat() == QPrinter::NativeFormat && Printer.supportsMultipleCopies() ? 1 : Copies;
    if (DocumentCopies > 1)
        Printer.setCopyCount(1);

    const auto Fail = [&](const QString& Text = PrintFailedMessage) {
        // The job is cut off where the printer allows it; the PDF file is ended first, so that its
        // removal is the last word on it.
        if (Job.Painter().isActive()) {
            (void)Printer.abort();
            if (Job.Painter().isActive())
                Job.Painter().end();
        }
        if (Printer.outputFormat() == QPrinter::PdfFormat && !Printer.outputFileName().isEmpty())
            QFile::remove(Printer.outputFileName());
        Message(Text, MB_OK | MB_ICONSTOP);
        return false;
    };
    if (!Job.Begin(DocumentName))
        return Fail();

    static const TListTextMetrics Metrics;
    const TListPageRenderer Renderer(Metrics);
    const int PageCount = PageCountOf(Scope.Count, FPrint.RecordsPerPage);
    // The page is drawn from the printer's origin, the corner of its printable area, where the
    // preview puts it inside the sheet; a printer that reports another resolution than it did when
    // the page was counted still gets the page at its size.
    const double Scale = Info.DpiX > 0 ? static_cast<double>(Job.Resolution()) / Info.DpiX : 1.0;
    int Sheets = 0;
    try {
        for (int Copy = 0; Copy < DocumentCopies; ++Copy) {
            if (!Walk.FirstPrintRecord())
                break;
            for (int PageNo = 1;; ++PageNo) {
                ++Sheets;
                if ((FailAtPage > 0 && Sheets >= FailAtPage) || (Sheets > 1 && !Job.NewPage()))
                    return Fail();
                QPainter& Painter = Job.Painter();
                Painter.save();
                Painter.scale(Scale, Scale);
                const bool More = Renderer.Render(Painter, MakeListPage(FPrint, PageNo, PageCount, false), Walk);
                Painter.restore();
                if (!More)
                    break;
            }
        }
    } catch (const Exception& Error) {
        return Fail(Error.Message());
    }
    if (!Job.End())
        return Fail();
    FSavedFile = Job.SavedFile();
    return true;
}
