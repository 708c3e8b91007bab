#pragma once

#include "transfer/export/FELst.h"
#include "transfer/print/lists/PrintJobWalk.h"

class TListPrintModel;

// The list window before a list is printed, of either source: the export lists' paged list with
// its search, pages and orders, and "印刷(&L)", which prints the chosen rows, a range of positions
// or every matching record with the settings of the list print window.
class TListPrintList : public TFileExportList
{
    Q_OBJECT
public:
    QPushButton* btnPrint;

    void btnPrintClick();
    // Prints Scope's records; false when nothing was printed (an error has been shown).
    [[nodiscard]] bool PrintListJob(const TPrintScope& Scope);
    [[nodiscard]] bool PrintRecvHisJob(const TPrintScope& Scope) { return PrintListJob(Scope); }
    [[nodiscard]] bool PrintMeiboJob(const TPrintScope& Scope) { return PrintListJob(Scope); }

    // Tests: the printer fails as it starts page Page of a job (0: never).
    static void FailAtPageForTests(int Page);

protected:
    TListPrintList(QWidget* Owner, int Source, const TListPrintModel& Print, const TListWindowKind& Kind);
    void ActionClick() override { btnPrintClick(); }

private:
    [[nodiscard]] bool AskPrintScope(TPrintScope& Scope);

    const TListPrintModel& FPrint;
    QString FSavedFile; // of the last job, when it went to a PDF file
};

// "一覧表の印刷が完了しました  ", naming the file the list went to when it went to one.
[[nodiscard]] QString PrintCompletedMessage(const QString& SavedFile);
