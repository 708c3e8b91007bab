#pragma once

#include "calls/PagedListFrame.h"
#include "directory/list/MeiboPager.h"

#include <QDialog>
#include <QList>

class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;
class TMyCustomHeaderControl;
class TMyCustomHeaderSection;
class TMyHeaderControl;
enum class TMySectionTrackState;

// "登録名簿一覧": the directory, one page at a time in one of six orders, narrowed by its display
// conditions; opens the record window for a new entry or the chosen one and deletes entries. The
// main window runs it modally and releases it afterwards.
class TMeiboList : public QDialog
{
    Q_OBJECT
public:
    explicit TMeiboList(QWidget* Owner = nullptr);
    ~TMeiboList() override;

    // Mode 0 reload (Page 0 keeps the page and the selection, n > 0 shows page n), 1 previous
    // page, 2 next page; modes 1 and 2 are called with Page 1.
    void LoadPage(int Mode, int Page);
    // Whether the current row of the directory table passes the display conditions.
    [[nodiscard]] bool RowMatches() const;
    void DeleteSelected();
    void DeleteMatching();
    void LoadSettings();
    void SaveSettings();

    // Controls, named as on the form.
    QPushButton* bbtnPagePrev;
    QPushButton* bbtnPageNext;
    QPushButton* bbtnPageJump;
    QWidget* pnlHeader;
    TMyHeaderControl* myhcMeibo;
    QListWidget* lbxAddMeibo;
    QStatusBar* StatusBar;
    QLabel* StatusPanels[3];
    QPushButton* btnSearch;
    QPushButton* btnAdd;
    QPushButton* btnDelete;
    QPushButton* btnCancel;
    QPushButton* btnInquiry;
    QPushButton* bbtnSortAdd;
    QPushButton* bbtnSortTel1;
    QPushButton* bbtnSortTel2;
    QPushButton* bbtnSortAdrs;
    QPushButton* bbtnSortCorp;
    QPushButton* bbtnSortName;
    QMenu* pmHeader;

    // State a test or a caller may look at.
    [[nodiscard]] int CurrentPage() const { return Pager.CurrentPage; }
    [[nodiscard]] int MatchCount() const { return Pager.TotalRows; }
    [[nodiscard]] int SortIndex() const { return Pager.SortIndex; }
    [[nodiscard]] int ViewedRecNo() const { return FViewedRecNo; }
    [[nodiscard]] const QList<int>& RowRecNos() const { return FRowRecNos; }
    [[nodiscard]] const TMeiboSearchCondition& Condition() const { return Pager.Condition; }
    [[nodiscard]] QStringList LineCells(int Index) const;
    [[nodiscard]] QList<QPushButton*> SortButtons() const;

    // Default widths of the six columns, 96-DPI units.
    static const int DefaultColumnWidths[6];

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void FormCreate();
    void FormDestroy();
    void FormShow();
    bool FormKeyDown(QKeyEvent* Key);
    void btnSearchClick();
    void bbtnPageJumpClick();
    void bbtnPagePrevClick();
    void bbtnPageNextClick();
    void bbtnSortClick(QPushButton* Button);
    void btnAddClick();
    void btnInquiryClick();
    void btnDeleteClick();
    void btnCancelClick();
    void lbxAddMeiboDblClick();
    bool lbxAddMeiboKeyDown(QKeyEvent* Key);
    void myhcMeiboMouseDown(Qt::MouseButton Button, const QPoint& Pos);
    void myhcMeiboSectionTrack(TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section, int Width,
                               TMySectionTrackState State);
    void pmiInitializesHeaderWidthClick();
    void pnlHeaderResize();

    void FitHeader();
    // The list takes the focus, or "新規登録(&A)" when the page is empty.
    void FocusListOrAdd();
    // Runs the record window over this one; answers its modal result.
    int RunRecordWindow(const TCallerRecord* Record);
    int Message(const QString& Text, unsigned Flags);

    // The page buttons, the list and its header, as every paged list has them.
    TPagedListFrame Frame{this};
    TMeiboPager Pager;
    QList<int> FRowRecNos;
    bool DialogOpen = false;
    bool Loading = false;
    int FViewedRecNo = -1;
    bool Created = false;
};
