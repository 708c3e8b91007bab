#pragma once

#include "main/controls/NumberUpDown.h"
#include "main/settings/EnvApply.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QRect>
#include <functional>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QWheelEvent;
class QWidget;
class TVxCommDLL;

// Runs the settings dialog modally over Owner. 1: the settings were checked, stored and applied;
// 2: nothing was stored, or the dialog closed for an update by hand (UpdateQuit is then set and the
// program must end), or a device library could not be loaded (the program is asked to quit).
int ShowEnvironment(QWidget* Owner);

// "環境設定": the program settings on seven pages. Env.cpp holds the frame: creation, loading, the
// page change, where events go, the update page, checking and closing. The pages whose behaviour
// stands on its own have a file each: EnvCommonPage.cpp, EnvOperationPage.cpp, EnvNumberPages.cpp (the
// three pages with a number edit) and EnvFbPage.cpp.
class TEnvironment : public QDialog
{
    Q_OBJECT
public:
    explicit TEnvironment(QWidget* Owner);
    ~TEnvironment() override;

    // A device library could not be loaded or listed no adapter: the dialog must not be shown.
    [[nodiscard]] bool LoadFailed() const { return FLoadFailed; }
    [[nodiscard]] bool ClosedForUpdate() const { return FClosedForUpdate; }

    QTabWidget* pgctlEnv;
    QWidget* tabstCommon;
    QWidget* tabstOperation;
    QWidget* tabstRecvHis;
    QWidget* tabstDisplayView;
    QWidget* tabstBU;
    QWidget* tabstUpdate;
    QWidget* tabsUseFbAdrs;
    QPushButton* btnSet;
    QPushButton* btnCancel;
    QCheckBox* chkTip;

    // 一般設定
    QGroupBox* gbxCD;
    QComboBox* cbxCD;
    QPushButton* bbtnUpdate;
    QGroupBox* gbxAdapter;
    QRadioButton* rbNormal;
    QRadioButton* rbIPPBX;
    QRadioButton* rblNoUse;
    QLabel* lblAdapter;
    QWidget* pnlNormal;
    QComboBox* cbxnmlAdapter;
    QLabel* lblPort;
    QComboBox* cbxPort;
    QWidget* pnlIPPBX;
    QComboBox* cbxPBXAdapter;
    QPushButton* btnDetail;
    QLabel* lblIPPBX;
    QWidget* pnlAnalogDial;
    QLabel* lblAnalogDialCaption;
    QLabel* lblAnalogDial;
    QWidget* pnlGetHistory;
    QLabel* lblGetHistoryCaption;
    QLabel* lblGetHistory;
    QGroupBox* gbxDataPath;
    QLineEdit* edtDataPath;
    QPushButton* bbtnBrowseDataPath;
    QGroupBox* gbxMap;
    QComboBox* cbxMapSoft;
    QComboBox* cbxMapSearchKind;

    // 動作
    QGroupBox* gbxRecvAction;
    QCheckBox* chkHisListPopup;
    QCheckBox* chkRecvViewPopup;
    QCheckBox* chkRingSound;
    QLineEdit* edtWaveFile;
    QPushButton* bbtnBrowseWaveFile;
    QPushButton* bbtnPlay;
    QCheckBox* chkNotMoveFocus;
    QGroupBox* gbxStartup;
    QCheckBox* chkViewSplash;
    QGroupBox* gbxMessage;
    QCheckBox* chkWindowsEnd;
    QGroupBox* gbxDelete;
    QCheckBox* chkDeleteType;

    // 着信対応履歴
    QGroupBox* gbxSearch;
    QCheckBox* chkEarlierSearch;
    QCheckBox* chkNewDataView;
    QCheckBox* chkAutoAdd;
    QCheckBox* chkSameTelUpdate;
    QCheckBox* chkBeforeSelectItems;
    QCheckBox* chkBeforeRecvDateTime;
    QGroupBox* gbxAutoDel;
    QCheckBox* chkAutoDel;
    QLabel* lblAutoDelNote;
    QLabel* lblAutoDel1;
    QLineEdit* edtDeleteDay;
    TNumberUpDown* udDeleteDay;
    QLabel* lblAutoDel2;
    QCheckBox* chkAutoDelConfirm;

    // 画面・表示
    QGroupBox* gbxListMax;
    QLabel* lblListMax1;
    QLineEdit* edtListMaxCount;
    TNumberUpDown* udListMaxCount;
    QLabel* lblListMax2;
    QGroupBox* gbxSelectItem;
    QLineEdit* edtSelectItem1;
    QLineEdit* edtSelectItem2;
    QLineEdit* edtSelectItem3;
    QGroupBox* gbxViewTop;
    QCheckBox* chkViewTop;
    QGroupBox* gbxMenu;
    QCheckBox* chkMenuVisible;
    QCheckBox* chkMenuMsgView;

    // 自動バックアップ
    QGroupBox* gbxAutoBackUp;
    QCheckBox* chkAutoBU;
    QLabel* lblAutoBU1;
    QLineEdit* edtAutoBU;
    TNumberUpDown* udAutoBUCount;
    QLabel* lblAutoBU2;
    QLabel* lblAtention1;
    QLabel* lblAtention2;
    QLabel* lblGeneration;
    QLabel* lblAtention3;

    // アップデート
    QGroupBox* gbxUpdate;
    QCheckBox* chkUpdate;
    QPushButton* bbtnUpdateConfirm;

    // Fernbook連携
    QGroupBox* gbUseFbAdrs;
    QCheckBox* chkUseFbAdrs;
    QLabel* lblFbSeries;
    QComboBox* cbxFbSeries;
    QLabel* lblAdrs;
    QComboBox* cbxAdrs;
    QWidget* pnlOKNG;
    QLabel* lblOKNG;
    QLabel* imgFbKind;
    QLabel* lblAssign;
    QLabel* lblMemo1;
    QLabel* lblMemo2;
    QLabel* lblMemo3;
    QComboBox* cbxMemo1;
    QComboBox* cbxMemo2;
    QComboBox* cbxMemo3;
    QLabel* lblRank;
    QComboBox* cbxRank;
    QLabel* lblRankb;
    QLabel* lblLine1;
    QComboBox* cbxLine1;
    QLabel* lblLine1b;
    QLabel* lblLine2;
    QComboBox* cbxLine2;
    QLabel* lblLine2b;
    QCheckBox* chkRunFbDlg;
    QCheckBox* chkFbBackup;
    QCheckBox* chkFbBackupDlg;
    QLabel* lblAtention;

    // Fields of the dialog.
    int InitTab = 0;
    bool TipView = true;
    bool OpenedAsIPPBX = false;
    int OpenedAdapterIndex = 0;
    int OpenedPortIndex = 0;
    QString OpenedDataPath;
    int OpenedListMaxCount = 0;
    std::array<QString, 3> OpenedSelectItems;
    int OpenedAutoBUCount = 0;
    qint16 LastDeleteDay = 0;
    qint16 LastListMaxCount = 0;
    qint16 LastAutoBUCount = 0;
    QList<QRect> TabRects;

    // The items of the port list, as cbxPort shows them.
    QList<TPortItem> Ports;
    // Why the line kind not in use cannot be chosen (its library's message); empty when it can.
    QString OtherKindProblem;
    // The address books cbxAdrs lists.
    QList<TEnvAdrsBook> FbAdrsBooks;

    // Handlers the tests and the keyboard reach.
    void btnSetClick();
    void bbtnUpdateClick();
    void bbtnPlayClick();
    void bbtnBrowseDataPathClick();
    void bbtnBrowseWaveFileClick();
    void bbtnUpdateConfirmClick();
    void btnDetailClick();
    void FillDriveList();
    void ShowFbAvailability(int Series);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void done(int Result) override;

private:
    void CreatePages();
    void CreateCommonPage();
    void CreateOperationPage();
    void CreateRecvHisPage();
    void CreateDisplayViewPage();
    void CreateBUPage();
    void CreateUpdatePage();
    void CreateFbPage();
    void SetHints();
    void LoadSettings();
    // Greys the line kind not in use when its library failed, with the library's message as the hint.
    void ShowOtherKindUnavailable();
    void FillAdapterList(QComboBox* List, const TVxCommDLL* Wrapper, std::int32_t Selected);
    void FillPortList(const QString& Selected);

    void btnCancelClick();
    void rbStateClick(int Tag);
    void cbxAdapterClick();
    void cbxMapSoftClick();
    void chkRingSoundClick();
    void chkNewDataViewClick();
    void chkAutoAddClick();
    void chkAutoDelClick();
    void chkMenuVisibleClick();
    void chkAutoBUClick();
    void chkFbBackupClick();
    void chkUseFbAdrsClick();
    void cbxFbSeriesClick();
    void imgFbKindClick();
    void pgctlEnvChange();
    void chkTipClick();
    void OpenDialogShow(QFileDialog& Dialog);
    void ShowGenerationWarning(const TGenerationWarning& Warning);
    void LoadAddressBooks(int Series, int Selected);
    void SetFbControlsEnabled(bool Enabled, bool WithSeries);

    // Keys and the wheel. A handler answers true when it took the event.
    bool NextFocusKeyPress(QKeyEvent* Key);
    bool cbxCDKeyPress(QKeyEvent* Key);
    bool rbButtonKeyPress(QRadioButton* Sender, QKeyEvent* Key);
    bool edtDataPathKeyPress(QKeyEvent* Key);
    bool edtWaveFileKeyPress(QKeyEvent* Key);
    bool FormMouseWheel(QWheelEvent* Wheel);

    // The three number edits and their up-downs.
    void edtDeleteDayEnter();
    void edtDeleteDayExit();
    bool edtDeleteDayKeyPress(QKeyEvent* Key);
    bool udDeleteDayChangingEx(int NewValue);
    void edtListMaxCountEnter();
    void edtListMaxCountExit();
    bool edtListMaxCountKeyPress(QKeyEvent* Key);
    bool udListMaxCountChangingEx(int NewValue);
    bool edtNumKeyDown(QLineEdit* Sender, QKeyEvent* Key);
    void edtAutoBUEnter();
    void edtAutoBUExit();
    bool edtAutoBUKeyPress(QKeyEvent* Key);
    bool edtAutoBUKeyDown(QKeyEvent* Key);
    void edtAutoBUChange();
    bool udAutoBUCountChangingEx(int NewValue);
    // The rules the three share.
    void NumberEditExit(QLineEdit* Edit, TNumberUpDown* UpDown, qint16& Last);
    bool NumberEditKeyPress(QKeyEvent* Key, QLineEdit* Edit, TNumberUpDown* UpDown, qint16& Last, QWidget* Next);
    bool UpDownChanging(QLineEdit* Edit, qint16& Last, int NewValue);

    // Where the events of a watched control go: eventFilter only looks its handler up here.
    struct TRoute
    {
        std::function<void()> Enter = {}; // focus arrives
        std::function<void()> Exit = {};  // focus leaves
        std::function<bool(QKeyEvent*)> KeyDown = {};
        std::function<bool(QKeyEvent*)> KeyPress = {};
        std::function<void()> Click = {};
        std::function<bool(QWheelEvent*)> Wheel = {};
    };
    void Route(QWidget* Control, TRoute Handlers);
    void FocusEnd(QWidget* Control);
    [[nodiscard]] TEnvInput CollectInput() const;
    [[nodiscard]] QWidget* FocusTarget(TEnvFocus Focus) const;

    QHash<QObject*, TRoute> FRoutes;
    bool FLoadFailed = false;
    bool FClosedForUpdate = false;
    bool FHintsOn = true;
};
