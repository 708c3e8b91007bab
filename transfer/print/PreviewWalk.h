#pragma once

#include "main/tables/DBInfo.h"
#include "transfer/print/ListItemText.h"
#include "transfer/print/ListRender.h"

#include <memory>
#include <optional>

// Moves Meibo to the directory record of the caller of History's current call; false when it has
// none.
[[nodiscard]] bool LocateCallerEntry(TTable& History, TTable& Meibo);

// The preview's walk: page N of all records of the source, the call history newest first (by
// RecvDateTime, from the last record backwards), the directory in the order of its primary index.
// The tables are opened through the data module for the walk's life and closed after it.
class TPreviewWalk final : public TListRecordWalk
{
public:
    TPreviewWalk(TDMVxRelvo16& Module, int Source, int PageNo, int RecordsPerPage, bool IgnoreTdfkn);
    ~TPreviewWalk() override;

    [[nodiscard]] bool AtEnd() const override { return FAtEnd; }
    void Next() override;
    [[nodiscard]] QString GetItemText(int ItemNo) override;
    [[nodiscard]] int RunningNumber() const override { return FRunning; }

private:
    // The caller's directory record for the current history row; null when it has none.
    const TFieldValues* DirectoryEntry();

    int FSource;
    bool FIgnoreTdfkn;
    std::optional<TTableUse> FHistoryUse;
    std::optional<TTableUse> FMeiboUse;
    TTable* FTable = nullptr;
    TTable* FMeibo = nullptr; // the directory the callers are looked up in
    bool FAtEnd = true;
    int FRunning = 0;
    std::unique_ptr<TTableFieldValues> FRow;
    std::unique_ptr<TTableFieldValues> FEntry;
    std::optional<bool> FEntryFound; // looked up for the current row
};

// The page the model prints: its settings, layout and header texts, page N of M, the printer's
// resolution, and the frame: the printable area inside the whole sheet for the preview (with its
// outline), the printer's page otherwise.
[[nodiscard]] TListPage MakeListPage(const TListPrintModel& Model, int PageNo, int PageCount, bool Preview);

// Draws page N of the source on a surface of the whole sheet in printer pixels (the preview's
// recording); the page count comes from SourceRecordCount and RecordsPerPage.
void RenderPreviewPage(QPainter& Painter, const TListPrintModel& Model, TDMVxRelvo16& Module, int PageNo,
                       const TListTextMetrics& Metrics);
