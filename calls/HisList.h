#pragma once

#include "calls/HisPager.h"
#include "calls/HisSchCond.h"
#include "calls/PagedListFrame.h"

#include <QDate>
#include <QList>
#include <QWidget>
#include <functional>

class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolButton;
class TMyCustomHeaderControl;
class TMyCustomHeaderSection;
class TMyHeaderControl;
struct TCallerRecord;
enum class TMySectionTrackState;

// What the call-history list needs of the incoming-call window. The window installs it when it
// exists; until then the list opens nothing.
struct TReceiveViewLink
{
    std::function<bool()> Exists;      // an incoming-call window is open
    std::function<bool()> RefillGuard; // the open one is locked or has a dialog up
    std::function<void(const TCallerRecord&)> ShowCall;
    std::function<void()> BringForward;
    // Creates the window over Owner, fills it with the call, shows it modally and releases it;
    // answers its modal result (1: the call was registered).
    std::function<int(QWidget* Owner, const TCallerRecord&)> ShowModal;
    [[nodiscard]] bool Installed() const { return Exists && RefillGuard && ShowCall && BringForward && ShowModal; }
};

// The identification the inquiry builds its record with (EarlierSearch, ask, number, record).
using TIdentifyCallerFunc =
    std::function<void(bool EarlierSearch, bool Ask, const QString& Tel, TCallerRecord& Record)>;

// "着信対応履歴一覧": the call history, newest call first, one page at a time, with its search
// conditions, weekday buttons, paging, inquiry and deletion. One instance lives for the whole
// run (HistoryList); closing it only hides it.
class THistoryList : public QWidget
{
    Q_OBJECT
public:
    // IdleFlag is the program's UIIdle, owned by the main window: the list clears it while one of its
    // dialogs, its start-up purge question or the incoming-call window is up. Null: the list keeps a
    // flag of its own.
    explicit THistoryList(QWidget* Owner = nullptr, bool* IdleFlag = nullptr);
    ~THistoryList() override;

    // Mode 0 reload (Page 0 keeps the page and the selection, n > 0 shows page n), 1 previous
    // (newer) page, 2 next (older) page; modes 1 and 2 are called with Page 1.
    void LoadPage(int Mode, int Page);
    // The list takes the focus, or its cancel button when the page is empty.
    void FocusListOrCancel();
    // Whether the current row of the history table passes the conditions and weekday buttons.
    [[nodiscard]] bool RowMatches() const;
    void ShowToday();
    void BringForward();
    // The menus' "着信対応履歴(&R)": the user asked for the window, so it comes forward and takes the keyboard
    // whatever NotMoveFocus says (that setting keeps a call from taking the focus, not the user); a window
    // that was hidden hands the keys to its list.
    void ShowAtUsersRequest();
    void OpenReceiveView(const TCallerRecord& Record);
    void PurgeOldRows();
    void LoadSettings();
    void SaveSettings();
    // Sections 9-11 take the select items' names (the settings dialog changes them).
    void RenameSelectItemSections();

    // The incoming-call window and the identification, installed by the program when they exist.
    TReceiveViewLink ReceiveViewLink;
    TIdentifyCallerFunc IdentifyCaller;
    // The idle flag given at creation.
    bool* const IdleFlag;

    // Controls, named as on the form.
    QToolButton* sbtnAllWeek;
    QToolButton* sbtnSunday;
    QToolButton* sbtnMonday;
    QToolButton* sbtnTuesday;
    QToolButton* sbtnWednesday;
    QToolButton* sbtnThursday;
    QToolButton* sbtnFriday;
    QToolButton* sbtnSaturday;
    QPushButton* bbtnPageJump;
    QPushButton* bbtnPagePrev;
    QPushButton* bbtnPageNext;
    QPushButton* btnSearch;
    QPushButton* btnInquiry;
    QPushButton* btnDelete;
    QPushButton* btnCancel;
    QWidget* pnlHeader;
    TMyHeaderControl* myhcRecvHis;
    QListWidget* lbxRecvHis;
    QStatusBar* StatusBar;
    QLabel* StatusPanels[5];
    QMenu* pmHeader;

    // State a test or a caller may look at.
    [[nodiscard]] int CurrentPage() const { return Pager.CurrentPage; }
    [[nodiscard]] int TotalRows() const { return Pager.TotalRows; }
    [[nodiscard]] const QList<int>& RowRecNos() const { return FRowRecNos; }
    [[nodiscard]] int ShownCallRecNo() const { return FShownCallRecNo; }
    [[nodiscard]] const THistorySearchCondition& Condition() const { return FCondition; }
    // The list's cell texts of line Index.
    [[nodiscard]] QStringList LineCells(int Index) const;

    // Default widths of the eleven columns, 96-DPI units.
    static const int DefaultColumnWidths[11];

protected:
    void closeEvent(QCloseEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void FormCreate();
    void FormShow();
    void btnCancelClick();
    void btnSearchClick();
    void bbtnPageJumpClick();
    void bbtnPagePrevClick();
    void bbtnPageNextClick();
    void SpeedButtonWeekClick(QToolButton* Button);
    void btnInquiryClick();
    void btnDeleteClick();
    void lbxRecvHisDblClick();
    bool FormKeyDown(QKeyEvent* Key);
    bool lbxRecvHisKeyDown(QKeyEvent* Key);
    void myhcRecvHisMouseDown(Qt::MouseButton Button, const QPoint& Pos);
    void myhcRecvHisSectionTrack(TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section, int Width,
                                 TMySectionTrackState State);
    void pmiInitializesHeaderWidthClick();
    void pnlHeaderResize();

    [[nodiscard]] TWeekdayButtons WeekdayState() const;
    void ApplyWeekdayColours();
    void FitHeader();
    void DeleteSelected();
    void DeleteAllMatching();
    [[nodiscard]] QList<QToolButton*> DayButtons() const;

    // The page buttons, the list and its header, as every paged list has them.
    TPagedListFrame Frame{this};
    THistoryPager Pager;
    THistorySearchCondition FCondition;
    QList<int> FRowRecNos;
    bool Loading = false;
    bool Busy = false;
    int FShownCallRecNo = -1;
    QDate LastDate;
    bool Created = false;
    bool WeekdaysGreyed = false;
    bool FOwnIdle = true;
};

// The one call-history list of the program; null until the start-up creates it.
extern THistoryList* HistoryList;
