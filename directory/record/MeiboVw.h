#pragma once

#include "directory/dicdialog/DicLookup.h"
#include "directory/record/MeiboHistory.h"
#include "directory/record/MeiboSave.h"
#include "main/common/CallerRec.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class TDMVxRelvo16;
class TMeiboView;
class TNMDEdit;
enum class TNameDicKind;
class TSortListView;
class TUniSortListView;
class TUniListItem;
struct TCallerFieldControls;

// The tools of the record window that other windows provide: the dictionary dialog of the number,
// postal-code and address buttons, the map, dialling. A button whose tool is not installed stays
// disabled. The dictionary dialog, the dial dialog and the name-reading pop-up come filled.
struct TMeiboViewTools
{
    TDicLookupRun Dictionary = DictionaryDialog();
    std::function<void(TMeiboView& View)> Map;
    std::function<void(TMeiboView& View, const QStringList& Numbers)> Dial = DialNumbers;
    std::function<void(TMeiboView& View, TNMDEdit& Edit, int Kind, bool Show, const QString& Value)> ConvertNeed =
        NameDicConvertNeed;
    std::function<bool(TMeiboView& View, unsigned Key)> ConvertKeyDown = NameDicConvertKeyDown;

    static void DialNumbers(TMeiboView& View, const QStringList& Numbers);
    static void NameDicConvertNeed(TMeiboView& View, TNMDEdit& Edit, int Kind, bool Show, const QString& Value);
    static bool NameDicConvertKeyDown(TMeiboView& View, unsigned Key);
};
extern TMeiboViewTools MeiboViewTools;

// "登録名簿": one entry of the directory, new or to look at and change. The directory list creates
// it, fills it with ShowRecord and runs it modally: 1 when something was written, else 2.
class TMeiboView : public QDialog
{
    Q_OBJECT
public:
    // Data: the module of the directory the entry is written to, the call history the panel lists
    // and the rank list.
    explicit TMeiboView(TDMVxRelvo16& Data, QWidget* Owner = nullptr);
    ~TMeiboView() override;

    // Null: a new entry; otherwise the entry as read from its row.
    void ShowRecord(const TCallerRecord* Record);
    // 0 written, 1 refused (the user was told why), 2 the table refused the write.
    int WriteRecord();
    void ReloadRankList();

    // The data module the window works on.
    [[nodiscard]] TDMVxRelvo16& Data() const { return FData; }
    [[nodiscard]] bool Inquiry() const { return FSave.Inquiry(); }
    [[nodiscard]] bool Saved() const { return FSave.Saved(); }
    [[nodiscard]] const TCallerRecord& ShownRecord() const { return FSave.ShownRecord(); }
    [[nodiscard]] const QString& ColorText() const { return FColorText; }
    [[nodiscard]] int Latitude() const { return FLatitude; }
    [[nodiscard]] int Longitude() const { return FLongitude; }
    void SetPosition(int Latitude, int Longitude);
    void SetShownPosition(int Latitude, int Longitude) { FSave.SetShownPosition(Latitude, Longitude); }
    [[nodiscard]] TMeiboInput GatherInput() const;
    // Looks Text up in the dictionary (Kind: a search button's Tag) and takes the confirmed answer in.
    void RunDictionary(int Kind, const QString& Text);
    // The call-history panel listed anew for the shown entry.
    void RefreshHistory();
    [[nodiscard]] const QList<int>& HistoryRecNos() const { return FHistoryRecNos; }
    // The clock of the entry's time stamps (tests stop it).
    void SetClock(std::function<QDateTime()> Now) { FSave.Now = std::move(Now); }

    // Controls, named as on the form.
    QTabWidget* pgcMeibo;
    QWidget* tabMain;
    QWidget* tabSub;
    QLineEdit* edtTel1;
    QToolButton* bbtnTel1Search;
    QLineEdit* edtTel2;
    QToolButton* bbtnTel2Search;
    QToolButton* bbtnExchange;
    QToolButton* bbtnDial;
    QLineEdit* edtPos;
    QToolButton* bbtnPosSearch;
    QLineEdit* edtTdfkn;
    QLineEdit* edtAdrs1;
    QToolButton* bbtnAdrsSearch;
    QToolButton* bbtnMap;
    QLineEdit* edtAdrs2;
    QLineEdit* edtAdrs3;
    QLabel* lblJisCode;
    QLabel* lblKajoCode;
    QLineEdit* edtCorpKana;
    QLineEdit* edtCorpKanji;
    TNMDEdit* nmedtNameKana;
    TNMDEdit* nmedtNameKanji;
    QComboBox* cbxPrivCorp;
    QLineEdit* edtMemo1;
    QLineEdit* edtMemo2;
    QLineEdit* edtMemo3;
    QLineEdit* edtEMail;
    QToolButton* bbtnEMail;
    QComboBox* cbxRank;
    QToolButton* bbtnRank;
    QLineEdit* edtAddDateTime;
    QLineEdit* edtUpdDateTime;
    QGroupBox* gbxExtFile;
    TSortListView* lvExtFile;
    QToolButton* bbtnAddExtFile;
    QToolButton* bbtnDelExtFile;
    QToolButton* bbtnOpenExtFile;
    QGroupBox* gbxNote;
    QPlainTextEdit* mmoNote;
    QGroupBox* gbxMsg;
    QCheckBox* chkMsg;
    QLabel* lblLine1;
    QLineEdit* edtLine1;
    QLabel* lblLine2;
    QLineEdit* edtLine2;
    QLabel* lblBGColor;
    QFrame* pnlBGColor;
    QToolButton* bbtnBGColor;
    QToolButton* bbtnResetColor;
    QGroupBox* gbxPreview;
    QLabel* lblPreview;
    QFrame* pnlMsg;
    QLabel* lblMsg1;
    QLabel* lblMsg2;
    QFrame* pnlList;
    TUniSortListView* lvHisList;
    QMenu* pmColumn;
    QFrame* pnlBottom;
    QPushButton* btnOpenRecv;
    QPushButton* btnAddUpd;
    QPushButton* btnCancel;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    void CreateControls();
    // Each answers the bottom of its last row.
    int CreateMainTab();
    int CreateSubTab();
    void FormCreate();
    void FormDestroy();
    void FormShow();
    // Reads the section; answers the stored place of the window, on the screen's scale.
    [[nodiscard]] QPoint LoadSettings();
    void SaveSettings();

    void btnAddUpdClick();
    void btnCancelClick();
    void btnOpenRecvClick();
    void bbtnExchangeClick();
    void bbtnEditListClick();
    void bbtnDicSch(int Tag);
    void bbtnMapClick();
    void bbtnDialClick();
    void chkMsgClick();
    void bbtnResetColorClick();
    void edtLine1Change();
    void edtLine2Change();
    void nmedtNameConvertNeed(QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value);
    void nmedtNameConvertKeyDown(QObject* Sender, unsigned& Key, bool& Result);
    void bbtnEMailClick();
    void bbtnAddExtFileClick();
    void bbtnDelExtFileClick();
    void bbtnOpenExtFileClick();
    void bbtnBGColorClick();
    void UpdateExtFileButtons();
    void TakeDicCaller(int Tag, const TCallerRecord& R);
    void TakeDicAddress(int Kind, int Tag, const TDicSearchResult& D);
    [[nodiscard]] TCallerFieldControls FieldControls() const;
    // Enter walks the form; false leaves the key to the control.
    bool EnterKeyPress(QObject* Control);

    // The call-history panel.
    void CreateHistoryList();
    void LoadHistoryRows();
    void lvHisListDataHint(int From, int To);
    void lvHisListData(TUniListItem* Item);
    void lvHisListColumnRightClick(QPoint Point);
    void pmiInitializesHeaderWidthClick();

    // The entry's fields into the controls, and the window emptied for a new entry.
    void ShowFields(const TCallerRecord& Record);
    void ClearFields();
    void SetCaption(bool Inquiry);
    void EnableMessage(bool On);
    // The message controls as the check box says, the panels in ColorText's colour while on.
    void ShowMessageControls(bool On);
    void SetPanelColors(const QColor& Color);
    [[nodiscard]] QColor ButtonFace() const;
    void ApplyHistoryPanel();
    void FocusAfterStop(TMeiboFocus Focus);
    void UpdateToolButtons();
    int Message(const QString& Text, unsigned Flags);

    TDMVxRelvo16& FData;
    TMeiboSave FSave;
    QList<std::optional<THistoryTexts>> FHistoryTexts;
    QList<int> FHistoryRecNos;
    int FLatitude = 0;
    int FLongitude = 0;
    QString FColorText;
    bool FCanDial = true;
    int FRowHeight = 21; // a one-line edit of the window's font
    int FTabsHeight = 0; // the tabs' panel, as tall as the taller page needs
};
