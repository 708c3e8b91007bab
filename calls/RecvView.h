#pragma once

#include "calls/RecvSave.h"
#include "calls/memo/MemoPrintItems.h"
#include "directory/dicdialog/DicLookup.h"
#include "main/common/CallerRec.h"
#include "main/settings/SettingsSave.h"

#include <QColor>
#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QFocusEvent;
class QInputMethodEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QFrame;
class TNMDEdit;
class TSortListView;
class TReceiveView;
class THistoryList;
enum class TNameDicKind;

// The tools of the incoming-call window that other parts of the program provide: dictionaries,
// name readings, pick-list editor, map, dialling, memo print and copy. A button whose tool is not
// installed stays disabled.
struct TReceiveViewTools
{
    // Dictionary search from a number, postal-code or address button (Tag 0..4).
    std::function<void(TReceiveView& View, int Tag)> DicSearch;
    // The name-reading pop-up of the two name edits.
    std::function<void(TReceiveView& View, TNMDEdit& Edit, int Kind, bool Show, const QString& Value)> ConvertNeed;
    std::function<bool(TReceiveView& View, unsigned Key)> ConvertKeyDown;
    // The pick-list editor opened on list Tag (0 rank, 1..3 select items); answers the changed-list bits.
    std::function<int(TReceiveView& View, int Tag)> EditLists;
    std::function<void(TReceiveView& View)> Map;
    std::function<void(TReceiveView& View, const QStringList& Numbers)> Dial;
    std::function<void(TReceiveView& View)> MemoPrintSet;
    std::function<void(TReceiveView& View)> Copy;
    std::function<void(TReceiveView& View)> MemoPrint;
    std::function<void(TReceiveView& View)> ScreenPrint;
};
extern TReceiveViewTools ReceiveViewTools;
// The call-history list's reload after a silent save (InstallReceiveView sets it).
extern std::function<void()> ReceiveViewReloadHistory;

// "着信照会": one incoming call and its caller, modal, one at a time. The call-history list opens it
// (ShowReceiveViewModal) and refills it for the next call unless RefillGuard is set.
class TReceiveView : public QDialog
{
    Q_OBJECT
public:
    explicit TReceiveView(QWidget* Owner = nullptr);
    ~TReceiveView() override;

    void ShowCall(const TCallerRecord& Record);
    void BringForward();
    [[nodiscard]] bool RefillGuard() const { return FRefillGuard; }
    [[nodiscard]] bool Locked() const { return FLocked; }
    [[nodiscard]] bool IsExisting() const { return FSave.IsExisting(); }
    [[nodiscard]] const TCallerRecord& CallRecord() const { return FSave.CallRecord(); }
    [[nodiscard]] bool FernbookMode() const { return FSave.Mode() == TReceiveSave::TMode::Fernbook; }
    [[nodiscard]] int CurLatitude() const { return FCurLatitude; }
    [[nodiscard]] int CurLongitude() const { return FCurLongitude; }
    void SetCurPosition(int Latitude, int Longitude);

    // The silent save before a refill (the call pipeline calls it while RefillGuard is clear).
    void SaveBeforeRefill();
    // btnAddUpd: validate, ask, save; closes with 1 once saved.
    void RegisterCaller();
    [[nodiscard]] TRecvViewInput GatherInput() const;
    [[nodiscard]] TCallerRecord GatherCallRecord() const { return FSave.GatherCallRecord(GatherInput()); }

    // The memo print's item order and choice, and the program-wide memo settings, in [MEMO PRINT].
    void LoadMemoPrintSettings();
    void SaveMemoPrintSettings(TSettingsSave Who);
    QList<TMemoPrintItem> MemoPrintItems;

    void ReloadRankList();
    void ReloadSelectItemList(int N);

    // The text a search button (Tag 0..4) looks up, and the look-up with its answer taken into the edits.
    [[nodiscard]] QString DicSearchText(int Tag) const;
    void DicSearch(int Kind, const QString& Text, const TDicLookupRun& Run);

    // Sets RefillGuard (and the hourglass) for a nested dialog and puts both back when it ends.
    class TNestedGuard
    {
    public:
        TNestedGuard(TReceiveView& View, bool Hourglass);
        ~TNestedGuard();
        TNestedGuard(const TNestedGuard&) = delete;
        TNestedGuard& operator=(const TNestedGuard&) = delete;

    private:
        TReceiveView& FView;
        bool FHourglass;
    };

    // Controls, named as on the form.
    QLabel* lblPrevRecvDateTime;
    QLabel* pnlPrevDate;
    QLabel* pnlPrevTime;
    QLabel* lblRecvDateTime;
    QLabel* pnlDate;
    QLabel* pnlTime;
    QLabel* pnlDivision;
    QFrame* pnlMsg;
    QLabel* lblMsg1;
    QLabel* lblMsg2;
    QFrame* pnlTel;
    QLineEdit* edtTel1;
    QToolButton* bbtnTel1Search;
    QLineEdit* edtTel2;
    QToolButton* bbtnTel2Search;
    QToolButton* bbtnExchange;
    QToolButton* bbtnDial;
    QFrame* pnlFbTel;
    QLabel* lblFbTelMain;
    QLineEdit* edtFbTel;
    QToolButton* bbtnFbTel1Search;
    QLabel* lblFbTelSub;
    QComboBox* cbxFbTel;
    QToolButton* bbtnFbDial;
    QToolButton* bbtnFbTel2Search;
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
    QLabel* lblSelectItem1;
    QLabel* lblSelectItem2;
    QLabel* lblSelectItem3;
    QComboBox* cbxSelectItem1;
    QComboBox* cbxSelectItem2;
    QComboBox* cbxSelectItem3;
    QToolButton* bbtnSelectItem1;
    QToolButton* bbtnSelectItem2;
    QToolButton* bbtnSelectItem3;
    TSortListView* lvExtFile;
    QToolButton* bbtnOpenExtFile;
    QToolButton* bbtnAddExtFile;
    QToolButton* bbtnDelExtFile;
    QPlainTextEdit* mmoNote;
    QToolButton* bbnMemoPrintSet;
    QToolButton* bbtnCopy;
    QToolButton* bbtnMemoPrint;
    QToolButton* bbtnPrint;
    QPushButton* btnAddUpd;
    QPushButton* btnLockUnlock;
    QPushButton* btnCancel;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    void CreateControls();
    void FormCreate();
    void FormDestroy();
    void FormShow();
    void ApplyMode();
    // The caption of the address-book mode: the book's name while the caller is found in it.
    void ShowFbCaption();
    void ShowMessagePanel(bool Shown, const QString& Line1, const QString& Line2, const QString& Color);
    void FillExtFiles(const std::optional<QStringList>& Files);

    void btnAddUpdClick();
    void btnLockUnlockClick();
    void btnCancelClick();
    void bbtnExchangeClick();
    void bbtnDicSch(int Tag);
    void bbtnEditListClick(int Tag);
    void bbtnDialClick();
    void bbtnMapClick();
    void bbtnEMailClick();
    void bbtnOpenExtFileClick();
    void bbtnAddExtFileClick();
    void bbtnDelExtFileClick();
    void TakeDicCaller(const TCallerRecord& R);
    void TakeDicAddress(int Kind, int Tag, const TDicSearchResult& D);
    [[nodiscard]] struct TCallerFieldControls FieldControls() const;
    void bbnMemoPrintSetClick();
    void bbtnCopyClick();
    void bbtnMemoPrintClick();
    void bbtnPrintClick();
    void nmedtNameConvertNeed(QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value);
    void nmedtNameConvertKeyDown(QObject* Sender, unsigned& Key, bool& Result);
    // What eventFilter hands on: the company reading's input, an edit tabbed into, the Enter key.
    bool edtCorpKanaInputMethod(QInputMethodEvent* Input);
    void EditFocusIn(QLineEdit* Edit, const QFocusEvent* Focus);
    // Enter walks the form; false leaves the key to the control (the note takes it as a new line).
    bool EnterKeyPress(QObject* Control);

    void RunPrintTool(const std::function<void(TReceiveView&)>& Tool);
    void ApplyInput(const TRecvViewInput& Input);
    void FocusAfterStop(TRecvFocus Focus);
    void UpdateToolButtons();
    int Message(const QString& Text, unsigned Flags);

    TReceiveSave FSave;
    int FCurLatitude = 0;
    int FCurLongitude = 0;
    bool FLocked = false;
    bool FRefillGuard = false;
    bool FCanDial = true;
    std::optional<QColor> FMsgColor; // the message panel's own colour; none: the default
    QList<QToolButton*> FLockedButtons;
};

// The one open window, null while none is.
extern TReceiveView* ReceiveView;

// What the call-history list and the call pipeline call.
[[nodiscard]] bool ReceiveViewExists();
[[nodiscard]] bool ReceiveViewRefillGuard();
void ReceiveViewShowCall(const TCallerRecord& Record);
void ReceiveViewBringForward();
// Creates the window over Owner, fills it with Record, runs it modally and releases it; answers
// the modal result (1 registered, 2 cancelled).
int ShowReceiveViewModal(QWidget* Owner, const TCallerRecord& Record);
// The save before a refill: when a window is open, [RECEIVE HISTORY] NewDataView and AutoAdd are on
// and the window is not guarded.
void ReceiveViewSaveBeforeRefill();

// Connects the call-history list to this window: the list opens and refills it, and the window's
// silent save has the list reload its page.
void InstallReceiveView(THistoryList& List);
