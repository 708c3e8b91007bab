#pragma once

#include "transfer/print/ListPrt.h"
#include "transfer/print/PageCount.h"
#include "transfer/print/PrintItems.h"

#include <QRect>
#include <QStringList>

class QPainter;

// The records of one page, in print order. The preview walks the whole source; the print job walks
// its own records.
class TListRecordWalk
{
public:
    virtual ~TListRecordWalk() = default;
    // No current record: the source, or the job, is done.
    [[nodiscard]] virtual bool AtEnd() const = 0;
    virtual void Next() = 0;
    // GetItemText of the current record; item 1 (the running number) is not asked.
    [[nodiscard]] virtual QString GetItemText(int ItemNo) = 0;
    [[nodiscard]] virtual int RunningNumber() const = 0;
};

// One page as the renderer draws it.
struct TListPage
{
    const TPrintSettings* Settings = nullptr;
    int Source = SourceRecvHis;
    TLayout Layout;
    QStringList Headers; // one per layout entry (GetHeaderText)
    int RecordsPerPage = 0;
    int PageNo = 1;
    int PageCount = 1;
    int DpiX = 0;
    int DpiY = 0;
    // The printable area in the surface's pixels: the printer's page, or for the preview the same
    // area inside the whole sheet.
    QRect Frame;
    bool Outline = false; // the preview's light grey frame
    // Replayed scaled on the screen (the preview): rules are drawn so that none falls between the
    // screen's pixels.
    bool Screen = false;
};

// The page number in PageType's format.
[[nodiscard]] QString PageNumberText(int PageType, int PageNo, int PageCount);
// "yyyy/ m/ d" with month and day padded by a space.
[[nodiscard]] QString PrintDateText(double Days);

// Draws list pages on any QPainter surface in printer pixels: the printer's page, a PDF page, or a
// recording of the whole sheet for the preview. The letters are measured by Metrics, the same object
// the records-per-page count used, so that the rows the count allows stay inside the frame.
class TListPageRenderer
{
public:
    explicit TListPageRenderer(const TListTextMetrics& Metrics) : FMetrics(Metrics) {}

    // Draws the page; true when Walk has records for a further page. RecordsPerPage of 0 or less
    // draws the header alone.
    bool Render(QPainter& Painter, const TListPage& Page, TListRecordWalk& Walk) const;

    // The cell texts of Walk's current record, one per layout entry.
    [[nodiscard]] static QStringList GetRowTexts(const TLayout& Layout, TListRecordWalk& Walk);
    // Draws the rule of Position in the band Band (horizontal rules) or at Band's left (vertical
    // ones) when it is switched on; answers the rows or columns it took.
    static TRuleSpan DrawRule(QPainter& Painter, const TListPage& Page, int Position, const QRect& Band);

private:
    const TListTextMetrics& FMetrics;
};
