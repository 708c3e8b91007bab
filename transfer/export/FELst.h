#pragma once

#include "calls/PagedListFrame.h"
#include "transfer/common/RangeSpc.h"
#include "transfer/export/ExportList.h"

#include <QDialog>
#include <QList>

class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;
class TExportTextFile;
class TMyCustomHeaderControl;
class TMyCustomHeaderSection;
class TMyHeaderControl;
enum class TMySectionTrackState;

// What sets one list window on the paged list apart from another: its settings section, help
// contexts, action button and the names its list and header go by.
struct TListWindowKind
{
    QString Section;
    int HelpContext = 0;
    int JumpHelpContext = 0;
    QString ActionCaption;
    QString ActionName;
    QString ListName;
    QString HeaderName;
};

// The list window of an export, of either source: one page of the source's records at a time,
// narrowed by the window's own search conditions, and "出力(&E)", which writes the chosen rows, a
// range of positions or every matching record to a text file in the layout handed over. The
// history and directory windows are twins built on this; the directory's differences (six orders,
// its own conditions) are switched on by the source.
class TFileExportList : public QDialog
{
    Q_OBJECT
public:
    ~TFileExportList() override;

    // The layout and the item names it is written with; before showing.
    void SetLayout(const TExportLayout& Layout, const QStringList& ItemNames);
    // Mode 0 reload and show Page, 1 the page before, 2 the page after (called with Page 1).
    void LoadPage(int Mode, int Page);
    // Whether the current row of the source's table passes the window's conditions.
    [[nodiscard]] bool RowMatches() const;

    QPushButton* bbtnPagePrev;
    QPushButton* bbtnPageNext;
    QPushButton* bbtnPageJump;
    QWidget* pnlHeader;
    TMyHeaderControl* myhcList;
    QListWidget* lbxList;
    QStatusBar* StatusBar;
    QLabel* StatusPanels[2];
    QPushButton* btnSearch;
    QPushButton* btnExport;
    QPushButton* btnCancel;
    // The directory's orders; empty for the history.
    QList<QPushButton*> SortButtons;
    QMenu* pmHeader;

    [[nodiscard]] int Source() const { return Model.Source(); }
    [[nodiscard]] const TListPages& Pages() const { return Model.Pages(); }
    [[nodiscard]] TExportListModel& ListModel() { return Model; }
    [[nodiscard]] const TRecordRange& Range() const { return FRange; }
    [[nodiscard]] int SortIndex() const { return Model.SortIndex(); }
    [[nodiscard]] QStringList LineCells(int Index) const;
    [[nodiscard]] QString FileNormal() const { return FFileNormal; }
    [[nodiscard]] QString FileEncrypt() const { return FFileEncrypt; }
    [[nodiscard]] const QString& SettingsSection() const { return FSection; }

    // Asks for the plain-text target: 0 create or overwrite, 1 append, 9 cancelled; Path the
    // chosen file, which becomes the last plain path.
    int ChooseTextTarget(QString& Path);
    // Asks for the self-restoring target: 0 chosen, 9 cancelled; Path the chosen program file, which
    // becomes the last encrypted path.
    int ChooseExeTarget(QString& Path);
    // Writes both last paths and the output type after a successful export.
    void SaveExportPaths();

    // The default widths of the columns, 96-DPI units.
    static const int HistoryColumnWidths[11];
    static const int MeiboColumnWidths[6];

public slots:
    void reject() override;

protected:
    TFileExportList(QWidget* Owner, int Source);
    TFileExportList(QWidget* Owner, int Source, const TListWindowKind& Kind);
    // The action button's click; the export writes its text file.
    virtual void ActionClick() { btnExportClick(); }
    // For the windows that act on the list otherwise than by exporting it.
    [[nodiscard]] bool& BusyFlag() { return Busy; }
    [[nodiscard]] bool IsLoading() const { return Loading; }
    [[nodiscard]] TRecordRange& MutableRange() { return FRange; }
    void FocusListOr(QWidget* Other);
    int Message(const QString& Text, unsigned Flags);
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
    void FormDestroy();
    void FormShow();
    void LoadSettings();
    void SaveSettings();
    void btnSearchClick();
    void bbtnPageJumpClick();
    void bbtnPagePrevClick();
    void bbtnPageNextClick();
    void bbtnSortClick(QPushButton* Button);
    void btnExportClick();
    bool lbxListKeyDown(QKeyEvent* Key);
    void myhcListMouseDown(Qt::MouseButton Button, const QPoint& Pos);
    void myhcListSectionTrack(TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section, int Width,
                              TMySectionTrackState State);
    void pmiInitializesHeaderWidthClick();

    // The export run's steps (FELstRun.cpp).
    [[nodiscard]] bool AskScope(int& Count);
    [[nodiscard]] bool WriteRecords(TExportTextFile& File, int& Written);
    // The last path offered again or a new one from the save dialog, its folder made: false when
    // cancelled or the folder could not be made.
    [[nodiscard]] bool AskTargetPath(QString& Path, bool Exe);
    // Writes the text into a private working folder and packs it into the chosen program file (FELstEncrypt.cpp).
    void RunEncrypted(int Count);
    // Runs the writers into File under the hourglass; false after a shown failure.
    [[nodiscard]] bool WriteFile(TExportTextFile& File, int& Written);
    [[nodiscard]] const int* DefaultWidths() const;
    void FitHeader();

    // The page buttons, the list and its header, as every paged list has them.
    TPagedListFrame Frame{this};
    TExportListModel Model;
    TExportLayout FLayout;
    QStringList FItemNames;
    TRecordRange FRange;
    QList<int> FRowRecNos;
    QString FSection;
    QString FFileNormal;
    QString FFileEncrypt;
    int FJumpHelpContext = 24;
    bool Busy = false;
    bool Loading = false;
    bool Shown = false;
    bool Created = false;
    QWidget* FPagingRow = nullptr;
};
