#include "main/settings/Env.h"

#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/common/TabWheel.h"
#include "main/device/VxComm.h"
#include "main/settings/EnvControls.h"
#include "main/settings/Settings.h"
#include "main/update/UpdCheck.h"
#include "platform/sound/WavePlayer.h"
#include "platform/ui/WindowScript.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

using namespace EnvControls;

namespace {

// Help contexts and the control focused on entering each page.
constexpr int PageHelpContexts[EnvPageCount] = {8, 12, 14, 16, 17, 19, 20};
constexpr int FormHelpContext = 7;
const char* const HelpContextProperty = "HelpContext";

} // namespace

// Hints off: no control of the dialog, nor of a dialog it opens, shows its tool tip. Tool tips go to
// the widget under the mouse, so the gate watches the whole application while the dialog exists.
class THintGate : public QObject
{
public:
    THintGate(QWidget* Dialog, const bool& HintsOn) : QObject(Dialog), FDialog(Dialog), FHintsOn(HintsOn)
    {
        qApp->installEventFilter(this);
    }
    ~THintGate() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        return Event->type() == QEvent::ToolTip && !FHintsOn && Watched->isWidgetType() &&
               FDialog->isAncestorOf(static_cast<QWidget*>(Watched));
    }

private:
    QWidget* FDialog;
    const bool& FHintsOn;
};

// ---------------------------------------------------------------------------------------------------
// Entry point

int ShowEnvironment(QWidget* Owner)
{
    TEnvironment Dialog(Owner);
    if (Dialog.LoadFailed()) {
        // As the program asks the application to end: once the event loop runs, it stops.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return 2;
    }
    return Dialog.exec();
}

// ---------------------------------------------------------------------------------------------------
// Creation

TEnvironment::TEnvironment(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("Environment"));
    setWindowTitle(QStringLiteral("環境設定"));
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
    setProperty(HelpContextProperty, FormHelpContext);
    setStyleSheet(QStringLiteral("QCheckBox[blueWhenChecked=\"true\"]:checked:enabled { color: #0000FF; }"));
    CreatePages();

    const TEnvironmentSection Section = LoadEnvironmentSection();
    InitTab = Section.InitTab;
    TipView = Section.TipView;
    IPPBXDetailChanged = false;
    UpdateQuit = false;
    LoadSettings();
    if (FLoadFailed)
        return;
    SetHints();
    ShowOtherKindUnavailable();
    chkTip->setChecked(TipView);
    FHintsOn = TipView;
    new THintGate(this, FHintsOn);

    // At start-up the dialog can only be left by its buttons: cancelling there ends the program.
    if (SettingsIncomplete)
        setWindowFlag(Qt::WindowCloseButtonHint, false);
    adjustSize();
    setFixedSize(size().expandedTo(QSize(512, 477)));
    FitLayoutToScreen(this);
    CenterForm(this, nullptr);
    ScriptWindow(this);
}

TEnvironment::~TEnvironment()
{
    if (FLoadFailed)
        return;
    StopWave();
    InitTab = pgctlEnv->currentIndex();
    TipView = chkTip->isChecked();
    (void)SaveEnvironmentSection({InitTab, TipView});
}

void TEnvironment::CreatePages()
{
    auto* Layout = new QVBoxLayout(this);
    pgctlEnv = New<QTabWidget>(this, "pgctlEnv");
    pgctlEnv->setUsesScrollButtons(false);
    pgctlEnv->tabBar()->setExpanding(false);
    Layout->addWidget(pgctlEnv);

    tabstCommon = New<QWidget>(nullptr, "tabstCommon");
    tabstOperation = New<QWidget>(nullptr, "tabstOperation");
    tabstRecvHis = New<QWidget>(nullptr, "tabstRecvHis");
    tabstDisplayView = New<QWidget>(nullptr, "tabstDisplayView");
    tabstBU = New<QWidget>(nullptr, "tabstBU");
    tabstUpdate = New<QWidget>(nullptr, "tabstUpdate");
    tabsUseFbAdrs = New<QWidget>(nullptr, "tabsUseFbAdrs");
    pgctlEnv->addTab(tabstCommon, QStringLiteral("一般設定"));
    pgctlEnv->addTab(tabstOperation, QStringLiteral("動作"));
    pgctlEnv->addTab(tabstRecvHis, QStringLiteral("着信対応履歴"));
    pgctlEnv->addTab(tabstDisplayView, QStringLiteral("画面・表示"));
    pgctlEnv->addTab(tabstBU, QStringLiteral("自動バックアップ"));
    pgctlEnv->addTab(tabstUpdate, QStringLiteral("アップデート"));
    pgctlEnv->addTab(tabsUseFbAdrs, QStringLiteral("Fernbook連携"));

    CreateCommonPage();
    CreateOperationPage();
    CreateRecvHisPage();
    CreateDisplayViewPage();
    CreateBUPage();
    CreateUpdatePage();
    CreateFbPage();

    auto* Bottom = new QHBoxLayout;
    chkTip = NewCheck(this, "chkTip", QStringLiteral("ヒント表示"));
    btnSet = New<QPushButton>(this, "btnSet", QStringLiteral("設定(&S)"));
    btnCancel = New<QPushButton>(this, "btnCancel", QStringLiteral("キャンセル"));
    btnSet->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    btnSet->setMinimumWidth(90);
    btnCancel->setMinimumWidth(90);
    Bottom->addWidget(chkTip);
    Bottom->addStretch();
    Bottom->addWidget(btnSet);
    Bottom->addWidget(btnCancel);
    Layout->addLayout(Bottom);

    connect(btnSet, &QPushButton::clicked, this, &TEnvironment::btnSetClick);
    connect(btnCancel, &QPushButton::clicked, this, &TEnvironment::btnCancelClick);
    connect(chkTip, &QCheckBox::clicked, this, &TEnvironment::chkTipClick);
    connect(pgctlEnv, &QTabWidget::currentChanged, this, &TEnvironment::pgctlEnvChange);
    Route(pgctlEnv->tabBar(), {.Wheel = [this](QWheelEvent* Wheel) { return FormMouseWheel(Wheel); }});

    const QList<QWidget*> NextFocus = {cbxnmlAdapter,    cbxPort,        cbxPBXAdapter,  cbxMapSoft,
                                       cbxMapSearchKind, edtSelectItem1, edtSelectItem2, edtSelectItem3,
                                       cbxFbSeries,      cbxAdrs,        cbxMemo1,       cbxMemo2,
                                       cbxMemo3,         cbxRank,        cbxLine1,       cbxLine2};
    QList<QWidget*> Boxes;
    for (QCheckBox* Box : findChildren<QCheckBox*>())
        if (Box != chkTip)
            Boxes.append(Box);
    for (QWidget* Control : NextFocus + Boxes)
        Route(Control, {.KeyPress = [this](QKeyEvent* Key) { return NextFocusKeyPress(Key); }});
}

void TEnvironment::SetHints()
{
    const auto Hint = [](QWidget* Control, const char* Text) { Control->setToolTip(QString::fromUtf8(Text)); };
    Hint(chkTip, "マウス位置の設定項目についての説明を表示します");
    Hint(gbxCD, "検索するCD-ROMドライブを選択します");
    Hint(bbtnUpdate, "CD-ROMドライブリストを更新します");
    for (QWidget* Control : {static_cast<QWidget*>(gbxAdapter), pnlNormal, pnlIPPBX})
        Hint(Control, "対応機器を選択します");
    Hint(rbNormal, "アナログ回線もしくはデジタル回線（INS64）に対応した機器を使用します");
    Hint(rbIPPBX, "ひかり回線に対応した機器を使用します");
    Hint(rblNoUse, "電話番号の着信機能を使用しません\r\n対応機器を使わずにTolvaneを利用する場合に選択します");
    Hint(cbxnmlAdapter, "使用するナンバーディスプレイアダプター\r\nもしくはターミナルアダプターを選択します");
    Hint(cbxPBXAdapter, "使用するひかり回線対応機器を選択します");
    Hint(btnDetail, "詳細設定画面を表示します");
    Hint(cbxPort, "対応機器を接続しているポートを選択します");
    for (QWidget* Control : {static_cast<QWidget*>(pnlAnalogDial), static_cast<QWidget*>(lblAnalogDialCaption)})
        Hint(Control, "発信機能を持つ対応機器を表します");
    for (QWidget* Control : {static_cast<QWidget*>(pnlGetHistory), static_cast<QWidget*>(lblGetHistoryCaption)})
        Hint(Control, "着信履歴を取り込める対応機器を表します");
    Hint(gbxDataPath, "データを保存するフォルダーを指定します");
    Hint(bbtnBrowseDataPath, "データを保存するフォルダーを選択します");
    Hint(gbxMap, "使用する地図ソフトと検索方法を選択します");
    Hint(cbxMapSoft, "使用する地図ソフトを選択します");
    Hint(cbxMapSearchKind, "使用する地図ソフトの検索方法を選択します");
    Hint(gbxRecvAction, "着信した時の動作を設定します");
    Hint(chkHisListPopup, "着信した時に着信対応履歴一覧画面を表示します");
    Hint(chkRecvViewPopup, "着信した時に着信照会画面を表示します");
    Hint(chkRingSound, "着信した時に指定したWaveファイルを再生します");
    Hint(edtWaveFile, "着信した時に再生するWaveファイルを指定します");
    Hint(bbtnBrowseWaveFile, "着信した時に再生するWaveファイルを選択します");
    Hint(bbtnPlay, "指定したWaveファイルを再生します");
    Hint(chkNotMoveFocus, "着信してもアプリケーションにフォーカスを移動しません");
    Hint(gbxDelete, "一覧画面から削除ボタンを押した時の動作を設定します");
    Hint(chkDeleteType, "一覧画面から削除ボタンを押した時に削除対象を指定する画面を表示します");
    Hint(gbxStartup, "アプリケーションを起動した時の動作を設定します");
    Hint(chkViewSplash, "アプリケーションを起動した時にスプラッシュ画面を表示します");
    Hint(gbxMessage, "メッセージダイアログを表示する処理に関する設定をします");
    Hint(chkWindowsEnd, "Tolvaneの起動中にログアウトやシャットダウンをしようとした場合\r\n"
                        "そのまま終了してしまうかを確認するダイアログを表示します");
    Hint(gbxSearch, "着信履歴を照会する時の動作を設定します");
    Hint(chkEarlierSearch, "照会する時、先に登録名簿を検索して\r\n該当するデータが無ければCD-ROMを検索します\r\n"
                           "チェックしない場合はCD-ROMのみを検索します");
    Hint(chkNewDataView, "着信照会画面が表示されている状態で着信した時に\r\n"
                         "表示されている内容を破棄して、新しく着信した内容を表示します");
    Hint(chkAutoAdd, "新しい着信情報を優先して表示する場合に\r\n元々表示されていた内容を登録名簿に自動的に登録します");
    Hint(chkSameTelUpdate, "登録名簿に自動登録する場合に\r\n同じ電話番号のデータが既に登録されていた時は\r\n"
                           "既にあるデータを新しい内容に置き換えます");
    Hint(chkBeforeSelectItems,
         "以前着信している電話番号が着信した場合に\r\n前回の着信履歴の選択項目の内容を参照します");
    Hint(chkBeforeRecvDateTime, "以前着信している電話番号が着信した場合に\r\n前回の着信日時を表示します");
    Hint(gbxAutoDel, "着信履歴の自動削除機能の設定をします");
    Hint(chkAutoDel,
         "一定の期間が経過したデータを自動的に削除します\r\nこの機能はアプリケーションを起動した時のみ動作します");
    Hint(edtDeleteDay, "何日以上前のデータを削除対象にするか指定します");
    Hint(udDeleteDay, "何日以上前のデータを削除対象にするか指定します");
    Hint(chkAutoDelConfirm, "削除するデータがある場合に\r\n本当に削除して良いのか確認するダイアログを表示します");
    Hint(gbxListMax, "一覧画面で表示できる最大件数を設定します");
    Hint(edtListMaxCount, "表示可能な最大件数を指定します");
    Hint(udListMaxCount, "表示可能な最大件数を指定します");
    Hint(gbxSelectItem, "選択項目の項目名称を設定します");
    for (QWidget* Control : {edtSelectItem1, edtSelectItem2, edtSelectItem3})
        Hint(Control, "項目名称を指定します");
    Hint(gbxViewTop, "メニューや各画面を常にデスクトップの前面に表示するかを設定します");
    Hint(chkViewTop, "メニューや各画面を常にデスクトップの前面に表示します");
    Hint(gbxMenu, "メニューの表示に関する設定をします");
    Hint(chkMenuVisible, "各種操作が可能なメニューをデスクトップに表示します");
    Hint(chkMenuMsgView,
         "メニューからTolvaneを終了しようとした場合\r\nそのまま終了してしまうかを確認するダイアログを表示します");
    Hint(gbxAutoBackUp, "自動バックアップに関する動作を設定します");
    Hint(chkAutoBU, "アプリケーションの起動時にデータのバックアップを取ります\r\n"
                    "この機能はアプリケーションを起動した時のみ動作します");
    Hint(edtAutoBU, "何世代分のバックアップを取るかを設定します");
    Hint(udAutoBUCount, "何世代分のバックアップを取るかを設定します");
    Hint(gbxUpdate, "アプリケーションのアップデートに関する動作を設定します");
    Hint(chkUpdate, "アプリケーションの起動時に最新のアップデートが\r\n公開されているかを確認します");
    Hint(bbtnUpdateConfirm, "最新のアップデートが公開されているかを確認します\r\n"
                            "公開されている場合はそのままアップデートをおこなえます");
    Hint(gbUseFbAdrs, "FernbookがインストールされていればFernbookのアドレス帳を\r\n"
                      "Tolvaneの登録名簿の代わりに使用することができます");
    Hint(imgFbKind, "Fernbookの商品紹介サイトを開きます");
    Hint(chkUseFbAdrs, "Fernbookのアドレス帳を登録名簿として使用します");
    Hint(cbxFbSeries, "登録名簿として使用するFernbookを選択します");
    Hint(cbxAdrs, "登録名簿として使用するアドレス帳を選択します");
    Hint(pnlOKNG, "指定したFernbookを登録名簿として使用できるかを表示します");
    Hint(chkRunFbDlg, "Fernbook連携中はメニューから登録名簿を起動すると\r\n連携しているFernbookが起動します\r\n"
                      "その際に確認ダイアログを表示するかしないかを設定します");
    Hint(chkFbBackup, "Tolvaneの起動時に連携中のFernbookの\r\nアドレス帳データをバックアップします");
    Hint(chkFbBackupDlg, "Fernbookのアドレス帳データをバックアップする際に\r\n"
                         "本当にバックアップを行うか確認するダイアログを表示します");
    Hint(cbxMemo1, "Fernbookのキーワード１～５のいずれかを登録メモ１として使用します");
    Hint(cbxMemo2, "Fernbookのキーワード１～５のいずれかを登録メモ２として使用します");
    Hint(cbxMemo3, "Fernbookのキーワード１～５のいずれかを登録メモ３として使用します");
    Hint(cbxRank, "Fernbookのキーワード６～８のいずれかをランクとして利用します");
    Hint(cbxLine1, "Fernbookのキーワード１～５のいずれかを着信時メッセージの1行目として使用します");
    Hint(cbxLine2, "Fernbookのキーワード１～５のいずれかを着信時メッセージの2行目として使用します");
    // Tool tips break lines at "\n"; the texts are kept as the program writes them.
    for (QWidget* Control : findChildren<QWidget*>())
        Control->setToolTip(Control->toolTip().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void TEnvironment::ShowOtherKindUnavailable()
{
    if (OtherKindProblem.isEmpty())
        return;
    QString Hint = OtherKindProblem.trimmed();
    Hint.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QWidget* Control : OpenedAsIPPBX ? QList<QWidget*>{rbNormal, cbxnmlAdapter, lblPort, cbxPort}
                                          : QList<QWidget*>{rbIPPBX, cbxPBXAdapter, btnDetail}) {
        Control->setEnabled(false);
        Control->setToolTip(Hint);
    }
}

// ---------------------------------------------------------------------------------------------------
// Loading

void TEnvironment::LoadSettings()
{
    FillDriveList();

    if (PrepareLineWrappers(Settings.IPPBX, OtherKindProblem) == TLineWrappers::CannotCreate) {
        FLoadFailed = true;
        return;
    }

    OpenedAsIPPBX = Settings.IPPBX;
    if (Settings.IPPBX) {
        rbIPPBX->setChecked(true);
        FillAdapterList(cbxPBXAdapter, IPCommDLL.get(), Settings.Adapter);
        OpenedAdapterIndex = cbxPBXAdapter->currentIndex();
        FillAdapterList(cbxnmlAdapter, SerialCommDLL.get(), 0);
        cbxnmlAdapter->setCurrentIndex(cbxnmlAdapter->count() > 0 ? 0 : -1);
        FillPortList(QString());
        cbxPort->setCurrentIndex(0);
        OpenedPortIndex = 0;
    } else {
        rbNormal->setChecked(true);
        FillAdapterList(cbxnmlAdapter, SerialCommDLL.get(), Settings.Adapter);
        OpenedAdapterIndex = cbxnmlAdapter->currentIndex();
        FillPortList(Settings.Port);
        OpenedPortIndex = cbxPort->currentIndex();
        FillAdapterList(cbxPBXAdapter, IPCommDLL.get(), 0);
        cbxPBXAdapter->setCurrentIndex(cbxPBXAdapter->count() > 0 ? 0 : -1);
    }
    pnlNormal->setVisible(!Settings.IPPBX);
    pnlIPPBX->setVisible(Settings.IPPBX);
    cbxAdapterClick();

    edtDataPath->setText(DataPathForEdit(Settings.DataPath));
    OpenedDataPath = edtDataPath->text();

    cbxMapSoft->setCurrentIndex(Settings.Map);
    cbxMapSoftClick();
    cbxMapSearchKind->setCurrentIndex(Settings.MapSearchKind);

    chkHisListPopup->setChecked(Settings.HisListPopup);
    chkRecvViewPopup->setChecked(Settings.RecvViewPopup);
    chkRingSound->setChecked(Settings.RingSound);
    edtWaveFile->setText(Settings.WaveFile);
    chkRingSoundClick();
    chkNotMoveFocus->setChecked(Settings.NotMoveFocus);
    chkDeleteType->setChecked(Settings.DeleteType);
    chkViewSplash->setChecked(Settings.ViewSplash);
    chkWindowsEnd->setChecked(Settings.WindowsEnd);

    chkEarlierSearch->setChecked(Settings.EarlierSearch);
    chkNewDataView->setChecked(Settings.NewDataView);
    chkAutoAdd->setChecked(Settings.AutoAdd);
    chkSameTelUpdate->setChecked(Settings.SameTelUpdate);
    chkNewDataViewClick();
    chkBeforeSelectItems->setChecked(Settings.BeforeSelectItems);
    chkBeforeRecvDateTime->setChecked(Settings.BeforeRecvDateTime);
    chkAutoDel->setChecked(Settings.AutoDel);
    chkAutoDelClick();
    udDeleteDay->SetPosition(Settings.DeleteDay);
    edtDeleteDay->setText(QString::number(udDeleteDay->Position()));
    chkAutoDelConfirm->setChecked(Settings.AutoDelConfirm);

    udListMaxCount->SetPosition(Settings.ListMaxCount);
    edtListMaxCount->setText(QString::number(udListMaxCount->Position()));
    OpenedListMaxCount = Settings.ListMaxCount;
    edtSelectItem1->setText(Settings.SelectItem1);
    edtSelectItem2->setText(Settings.SelectItem2);
    edtSelectItem3->setText(Settings.SelectItem3);
    OpenedSelectItems = {Settings.SelectItem1, Settings.SelectItem2, Settings.SelectItem3};
    chkViewTop->setChecked(Settings.TopView);
    chkMenuVisible->setChecked(Settings.MenuVisible);
    chkMenuMsgView->setChecked(Settings.CloseMsg);
    chkMenuVisibleClick();

    chkAutoBU->setChecked(Settings.AutoBU);
    udAutoBUCount->SetPosition(Settings.AutoBUCount);
    edtAutoBU->blockSignals(true);
    edtAutoBU->setText(QString::number(udAutoBUCount->Position()));
    edtAutoBU->blockSignals(false);
    OpenedAutoBUCount = Settings.AutoBUCount;
    chkAutoBUClick();
    ShowGenerationWarning({TGenerationWarning::EState::Hidden, QString()});

    chkUpdate->setChecked(Settings.UpdateCheck);
    FClosedForUpdate = false;

    if (EnvHooks().FindDirectoryProductFolders)
        EnvHooks().FindDirectoryProductFolders();
    const int Series = Settings.FbSeries == 1 ? 1 : 0;
    cbxFbSeries->setCurrentIndex(Series);
    chkUseFbAdrs->setChecked(Settings.UseFbAdrs);
    chkRunFbDlg->setChecked(Settings.RunFbDlg);
    chkFbBackup->setChecked(Settings.FbBackup);
    chkFbBackupDlg->setChecked(Settings.FbBackupDlg);
    chkFbBackupDlg->setEnabled(Settings.FbBackup);
    ShowFbAvailability(Series);
    LoadAddressBooks(Series, Settings.FbAdrsBook);
    const auto SetKeyword = [](QComboBox* List, int Index) {
        List->setCurrentIndex(Index >= 0 && Index < List->count() ? Index : 0);
    };
    SetKeyword(cbxMemo1, Settings.Memo1);
    SetKeyword(cbxMemo2, Settings.Memo2);
    SetKeyword(cbxMemo3, Settings.Memo3);
    SetKeyword(cbxRank, Settings.Rank);
    SetKeyword(cbxLine1, Settings.Line1);
    SetKeyword(cbxLine2, Settings.Line2);
    if (!Settings.UseFbAdrs)
        chkUseFbAdrsClick();
}

// ---------------------------------------------------------------------------------------------------
// Page change, wheel and hints

void TEnvironment::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    TabRects = TabHeaderRects(pgctlEnv);
    pgctlEnv->setCurrentIndex(InitTab);
    pgctlEnvChange();
}

void TEnvironment::pgctlEnvChange()
{
    QWidget* const Focus[EnvPageCount] = {cbxCD,     chkHisListPopup, chkEarlierSearch, edtListMaxCount,
                                          chkAutoBU, chkUpdate,       chkUseFbAdrs};
    const int Page = pgctlEnv->currentIndex();
    if (Page < 0 || Page >= EnvPageCount)
        return;
    setProperty(HelpContextProperty, PageHelpContexts[Page]);
    if (Focus[Page]->isEnabled())
        Focus[Page]->setFocus();
}

bool TEnvironment::FormMouseWheel(QWheelEvent* Wheel)
{
    return TabHeaderWheel(pgctlEnv, TabRects, Wheel);
}

void TEnvironment::chkTipClick()
{
    FHintsOn = chkTip->isChecked();
}

// ---------------------------------------------------------------------------------------------------
// Keys and where events go

bool TEnvironment::NextFocusKeyPress(QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    focusNextChild();
    if (auto* Edit = qobject_cast<QLineEdit*>(focusWidget()))
        Edit->end(false);
    return true;
}

void TEnvironment::FocusEnd(QWidget* Control)
{
    Control->setFocus();
    if (auto* Edit = qobject_cast<QLineEdit*>(Control))
        Edit->end(false);
}

void TEnvironment::Route(QWidget* Control, TRoute Handlers)
{
    FRoutes.insert(Control, std::move(Handlers));
    Control->installEventFilter(this);
}

bool TEnvironment::eventFilter(QObject* Watched, QEvent* Event)
{
    const auto Found = FRoutes.constFind(Watched);
    if (Found == FRoutes.cend())
        return QDialog::eventFilter(Watched, Event);
    const TRoute& Handlers = *Found;
    switch (Event->type()) {
    case QEvent::FocusIn:
        if (Handlers.Enter)
            Handlers.Enter();
        break;
    case QEvent::FocusOut:
        if (Handlers.Exit)
            Handlers.Exit();
        break;
    case QEvent::KeyPress: {
        auto* Key = static_cast<QKeyEvent*>(Event);
        if ((Handlers.KeyDown && Handlers.KeyDown(Key)) || (Handlers.KeyPress && Handlers.KeyPress(Key)))
            return true;
        break;
    }
    case QEvent::MouseButtonRelease:
        if (Handlers.Click) {
            Handlers.Click();
            return true;
        }
        break;
    case QEvent::Wheel:
        if (Handlers.Wheel)
            return Handlers.Wheel(static_cast<QWheelEvent*>(Event));
        break;
    default:
        break;
    }
    return QDialog::eventFilter(Watched, Event);
}

// ---------------------------------------------------------------------------------------------------
// The page "アップデート"

void TEnvironment::CreateUpdatePage()
{
    QWidget* Page = tabstUpdate;
    auto* Layout = new QVBoxLayout(Page);
    gbxUpdate = New<QGroupBox>(Page, "gbxUpdate", QStringLiteral("アップデートの設定"));
    auto* Group = new QVBoxLayout(gbxUpdate);
    chkUpdate = NewCheck(gbxUpdate, "chkUpdate",
                         QStringLiteral("アプリケーションの起動時に最新アップデートの確認をする"), false);
    bbtnUpdateConfirm = New<QPushButton>(gbxUpdate, "bbtnUpdateConfirm", QStringLiteral("アップデートの確認(&U)"));
    bbtnUpdateConfirm->setAutoDefault(false);
    Group->addWidget(chkUpdate);
    auto* Row = new QHBoxLayout;
    Row->addStretch();
    Row->addWidget(bbtnUpdateConfirm);
    Group->addLayout(Row);
    Layout->addWidget(gbxUpdate);
    Layout->addStretch();
    connect(bbtnUpdateConfirm, &QPushButton::clicked, this, &TEnvironment::bbtnUpdateConfirmClick);
}

void TEnvironment::bbtnUpdateConfirmClick()
{
    bool Restart = false;
    {
        TWaitCursor Wait;
        Restart = EnvHooks().UpdateCheckByHand ? EnvHooks().UpdateCheckByHand(this) : RunUpdateCheckByHand(this);
    }
    if (Restart) {
        FClosedForUpdate = true;
        UpdateQuit = true;
        done(2);
    }
}

// ---------------------------------------------------------------------------------------------------
// Set and close

TEnvInput TEnvironment::CollectInput() const
{
    TEnvInput Input;
    Input.CD = cbxCD->currentData().toString();
    Input.IPPBX = rbIPPBX->isChecked();
    QComboBox* Adapters = Input.IPPBX ? cbxPBXAdapter : cbxnmlAdapter;
    Input.AdapterIndex = Adapters->currentIndex();
    Input.AdapterCode = Adapters->currentData().toInt();
    Input.AdapterName = Adapters->currentText();
    if (SerialCommDLL && cbxnmlAdapter->currentIndex() >= 0 &&
        cbxnmlAdapter->currentIndex() < SerialCommDLL->Kinds().size())
        Input.AdapterPortType = SerialCommDLL->Kinds()[cbxnmlAdapter->currentIndex()].PortType;
    Input.Ports = Ports;
    Input.PortIndex = cbxPort->currentIndex();
    Input.DataPath = edtDataPath->text();
    Input.Map = cbxMapSoft->currentIndex();
    Input.MapSearchKind = cbxMapSearchKind->currentIndex();
    Input.HisListPopup = chkHisListPopup->isChecked();
    Input.RecvViewPopup = chkRecvViewPopup->isChecked();
    Input.RingSound = chkRingSound->isChecked();
    Input.WaveFile = edtWaveFile->text();
    Input.NotMoveFocus = chkNotMoveFocus->isChecked();
    Input.DeleteType = chkDeleteType->isChecked();
    Input.ViewSplash = chkViewSplash->isChecked();
    Input.WindowsEnd = chkWindowsEnd->isChecked();
    Input.EarlierSearch = chkEarlierSearch->isChecked();
    Input.NewDataView = chkNewDataView->isChecked();
    Input.AutoAdd = chkAutoAdd->isChecked();
    Input.SameTelUpdate = chkSameTelUpdate->isChecked();
    Input.BeforeSelectItems = chkBeforeSelectItems->isChecked();
    Input.BeforeRecvDateTime = chkBeforeRecvDateTime->isChecked();
    Input.AutoDel = chkAutoDel->isChecked();
    Input.DeleteDay = udDeleteDay->Position();
    Input.AutoDelConfirm = chkAutoDelConfirm->isChecked();
    Input.ListMaxCount = udListMaxCount->Position();
    Input.SelectItems = {edtSelectItem1->text(), edtSelectItem2->text(), edtSelectItem3->text()};
    Input.TopView = chkViewTop->isChecked();
    Input.MenuVisible = chkMenuVisible->isChecked();
    Input.CloseMsg = chkMenuMsgView->isChecked();
    Input.AutoBU = chkAutoBU->isChecked();
    Input.AutoBUCount = udAutoBUCount->Position();
    Input.UpdateCheck = chkUpdate->isChecked();
    Input.UseFbAdrs = chkUseFbAdrs->isChecked();
    Input.FbSeries = cbxFbSeries->currentIndex();
    Input.FbAdrsBook = std::max(0, cbxAdrs->currentIndex());
    Input.FbAdrsBooks = FbAdrsBooks;
    Input.FbAvailable = lblOKNG->text() == QStringLiteral("使用可能");
    Input.RunFbDlg = chkRunFbDlg->isChecked();
    Input.FbBackup = chkFbBackup->isChecked();
    Input.FbBackupDlg = chkFbBackupDlg->isChecked();
    Input.Memo1 = cbxMemo1->currentIndex();
    Input.Memo2 = cbxMemo2->currentIndex();
    Input.Memo3 = cbxMemo3->currentIndex();
    Input.Rank = cbxRank->currentIndex();
    Input.Line1 = cbxLine1->currentIndex();
    Input.Line2 = cbxLine2->currentIndex();
    return Input;
}

QWidget* TEnvironment::FocusTarget(TEnvFocus Focus) const
{
    switch (Focus) {
    case TEnvFocus::cbxPort:
        return cbxPort;
    case TEnvFocus::edtDataPath:
        return edtDataPath;
    case TEnvFocus::edtWaveFile:
        return edtWaveFile;
    case TEnvFocus::edtSelectItem1:
        return edtSelectItem1;
    case TEnvFocus::edtSelectItem2:
        return edtSelectItem2;
    case TEnvFocus::edtSelectItem3:
        return edtSelectItem3;
    case TEnvFocus::chkUseFbAdrs:
        return chkUseFbAdrs;
    case TEnvFocus::cbxMemo1:
        return cbxMemo1;
    case TEnvFocus::None:
        break;
    }
    return nullptr;
}

void TEnvironment::btnSetClick()
{
    TWaitCursor Wait;
    // A number typed and confirmed with the button's shortcut has not left its edit yet.
    if (const auto Found = FRoutes.constFind(focusWidget()); Found != FRoutes.cend() && Found->Exit)
        Found->Exit();

    TEnvInput Input = CollectInput();
    const TEnvOpened Opened{OpenedAsIPPBX,      OpenedAdapterIndex, OpenedPortIndex,  OpenedDataPath,
                            OpenedListMaxCount, OpenedSelectItems,  OpenedAutoBUCount};
    TEnvApply Apply(Input, Opened);
    Apply.Message = [this](int Page, const QString& Text, unsigned Flags) {
        if (Page >= 0)
            pgctlEnv->setCurrentIndex(Page);
        return MessageBoxPos(this, Text, ProductName, Flags, 2);
    };
    const QString Typed = Input.DataPath;
    const std::optional<TEnvProblem> Problem = Apply.Check();
    if (Input.DataPath != Typed)
        edtDataPath->setText(Input.DataPath);
    if (Problem) {
        if (Problem->Page >= 0)
            pgctlEnv->setCurrentIndex(Problem->Page);
        if (!Problem->Text.isEmpty())
            (void)MessageBoxPos(this, Problem->Text, ProductName, Problem->Flags, 2);
        if (Problem->SelectPort)
            cbxPort->setCurrentIndex(*Problem->SelectPort);
        if (QWidget* Target = FocusTarget(Problem->Focus)) {
            // The keyword lists are disabled while the link is off; its box is where to start then.
            if (!Target->isEnabled() && Problem->Focus == TEnvFocus::cbxMemo1)
                Target = chkUseFbAdrs;
            Target->setFocus();
            if (auto* Edit = qobject_cast<QLineEdit*>(Target); Edit && Problem->CaretToEnd)
                Edit->end(false);
        }
        return;
    }
    Apply.Apply();
    done(1);
}

void TEnvironment::btnCancelClick()
{
    done(2);
}

void TEnvironment::done(int Result)
{
    if (SettingsIncomplete && Result != 1 && !FClosedForUpdate) {
        const int Answer = MessageBoxPos(this,
                                         QStringLiteral("環境設定をキャンセルした場合  \r\n"
                                                        "アプリケーションが起動できません  \r\n"
                                                        "終了してもよろしいですか？  "),
                                         ProductName, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, 2);
        if (Answer != IDYES)
            return;
    }
    if (!SettingsIncomplete || Result == 1)
        FreeOtherLineWrapper(OpenedAsIPPBX);
    StopWave();
    QDialog::done(Result == 1 ? 1 : 2);
}
