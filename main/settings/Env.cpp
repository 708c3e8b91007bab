#include "main/settings/Env.h"

#include "main/common/CommonForms.h"
#include "main/common/CommonSys.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/settings/SetIPPBX.h"
#include "main/settings/Settings.h"
#include "main/update/UpdCheck.h"
#include "platform/sound/WavePlayer.h"
#include "platform/sys/Volume.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

const QStringList FbSeriesNames = {QStringLiteral("Fernbook2013"), QStringLiteral("Fernbook2013 Trade")};
const QStringList Keywords1to5 = {QStringLiteral("キーワード１"), QStringLiteral("キーワード２"),
                                  QStringLiteral("キーワード３"), QStringLiteral("キーワード４"),
                                  QStringLiteral("キーワード５")};
const QStringList Keywords6to8 = {QStringLiteral("キーワード６"), QStringLiteral("キーワード７"),
                                  QStringLiteral("キーワード８")};

// Help contexts and the control focused on entering each page.
constexpr int PageHelpContexts[EnvPageCount] = {8, 12, 14, 16, 17, 19, 20};
constexpr int FormHelpContext = 7;
const char* const HelpContextProperty = "HelpContext";

// A ticked box of these shows its caption in blue (see the dialog's style sheet).
const char* const BlueWhenChecked = "blueWhenChecked";

const QString SkyBlue = QStringLiteral("#A6CAF0");
const QString Yellow = QStringLiteral("#FFFF00");

template <typename T, typename... TArgs> T* New(QWidget* Parent, const char* Name, TArgs&&... Args)
{
    T* Widget = new T(std::forward<TArgs>(Args)..., Parent);
    Widget->setObjectName(QLatin1String(Name));
    return Widget;
}

QLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Text)
{
    return New<QLabel>(Parent, Name, Text);
}

QCheckBox* NewCheck(QWidget* Parent, const char* Name, const QString& Text, bool Blue = true)
{
    auto* Box = New<QCheckBox>(Parent, Name, Text);
    Box->setProperty(BlueWhenChecked, Blue);
    return Box;
}

QComboBox* NewList(QWidget* Parent, const char* Name, int Rows = 8)
{
    auto* List = New<QComboBox>(Parent, Name);
    List->setMaxVisibleItems(Rows);
    return List;
}

QLineEdit* NewEdit(QWidget* Parent, const char* Name, int MaxLength)
{
    auto* Edit = New<QLineEdit>(Parent, Name);
    Edit->setMaxLength(MaxLength);
    return Edit;
}

QLabel* RedLabel(QWidget* Parent, const char* Name, const QString& Text)
{
    QLabel* Label = NewLabel(Parent, Name, Text);
    Label->setStyleSheet(QStringLiteral("QLabel:enabled { color: red; }"));
    return Label;
}

// The edition images: a small badge per edition.
QPixmap EditionImage(int Index)
{
    static const QColor Colors[3] = {QColor(0x2E, 0x7D, 0x32), QColor(0x15, 0x65, 0xC0), QColor(0x6A, 0x1B, 0x9A)};
    static const QString Texts[3] = {QStringLiteral("FB\n2013"), QStringLiteral("FB\nTrade"), QStringLiteral("FB")};
    QPixmap Image(48, 48);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setBrush(Colors[Index]);
    Painter.setPen(Qt::NoPen);
    Painter.drawRoundedRect(QRectF(1, 1, 46, 46), 8, 8);
    Painter.setPen(Qt::white);
    QFont Font = Painter.font();
    Font.setPixelSize(12);
    Font.setBold(true);
    Painter.setFont(Font);
    Painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, Texts[Index]);
    return Image;
}

void SetEnabled(std::initializer_list<QWidget*> Controls, bool Enabled)
{
    for (QWidget* Control : Controls)
        Control->setEnabled(Enabled);
}

// Enter never reaches a control as a character: the handlers take it to move on.
bool IsEnterKey(const QKeyEvent* Key)
{
    return Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter;
}

// Up, Down and the page keys move the up-down, the page keys by PageStep and within its range.
bool StepUpDown(TNumberUpDown* UpDown, int Key, int PageStep)
{
    switch (Key) {
    case Qt::Key_PageUp:
        UpDown->RequestChange(std::min(UpDown->Position() + PageStep, UpDown->Max()));
        return true;
    case Qt::Key_PageDown:
        UpDown->RequestChange(std::max(UpDown->Position() - PageStep, UpDown->Min()));
        return true;
    case Qt::Key_Up:
        UpDown->RequestChange(UpDown->Position() + 1);
        return true;
    case Qt::Key_Down:
        UpDown->RequestChange(UpDown->Position() - 1);
        return true;
    default:
        return false;
    }
}

// The hourglass for the life of a handler, whatever the way out.
class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

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
// TNumberUpDown

TNumberUpDown::TNumberUpDown(int Min, int Max, QWidget* Parent) : QWidget(Parent), FMin(Min), FMax(Max), FPosition(Min)
{
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    for (const bool Up : {true, false}) {
        auto* Button = new QToolButton(this);
        Button->setArrowType(Up ? Qt::UpArrow : Qt::DownArrow);
        Button->setFixedSize(17, 12);
        Button->setFocusPolicy(Qt::NoFocus);
        Button->setAutoRepeat(true);
        connect(Button, &QToolButton::clicked, this, [this, Up] { RequestChange(FPosition + (Up ? 1 : -1)); });
        Layout->addWidget(Button);
    }
}

void TNumberUpDown::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
}

bool TNumberUpDown::RequestChange(int NewValue)
{
    if (NewValue < FMin || NewValue > FMax)
        return false;
    if (OnChanging && !OnChanging(NewValue))
        return false;
    FPosition = NewValue;
    return true;
}

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
    chkTip->setChecked(TipView);
    FHintsOn = TipView;
    new THintGate(this, FHintsOn);

    // At start-up the dialog can only be left by its buttons: cancelling there ends the program.
    if (SettingsIncomplete)
        setWindowFlag(Qt::WindowCloseButtonHint, false);
    adjustSize();
    setFixedSize(size().expandedTo(QSize(512, 477)));
    CenterForm(this, nullptr);
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

void TEnvironment::CreateCommonPage()
{
    QWidget* Page = tabstCommon;
    auto* Layout = new QVBoxLayout(Page);

    gbxCD = New<QGroupBox>(Page, "gbxCD", QStringLiteral("検索CD-ROMドライブ"));
    auto* CDRow = new QHBoxLayout(gbxCD);
    cbxCD = NewList(gbxCD, "cbxCD");
    bbtnUpdate = New<QPushButton>(gbxCD, "bbtnUpdate", QStringLiteral("更新(&U)"));
    bbtnUpdate->setIcon(style()->standardIcon(QStyle::SP_DriveCDIcon));
    CDRow->addWidget(cbxCD, 1);
    CDRow->addWidget(bbtnUpdate);
    Layout->addWidget(gbxCD);

    gbxAdapter = New<QGroupBox>(Page, "gbxAdapter", QStringLiteral("対応機器設定"));
    auto* AdapterGrid = new QGridLayout(gbxAdapter);
    rbNormal = New<QRadioButton>(gbxAdapter, "rbNormal", QStringLiteral("アナログ/デジタル回線"));
    rbIPPBX = New<QRadioButton>(gbxAdapter, "rbIPPBX", QStringLiteral("ひかり回線"));
    rblNoUse = New<QRadioButton>(gbxAdapter, "rblNoUse", QStringLiteral("使用しない"));
    rblNoUse->setVisible(false);
    rbNormal->setProperty("Tag", 0);
    rbIPPBX->setProperty("Tag", 1);
    rblNoUse->setProperty("Tag", 2);
    auto* Kinds = new QHBoxLayout;
    Kinds->addWidget(rbNormal);
    Kinds->addSpacing(20);
    Kinds->addWidget(rbIPPBX);
    Kinds->addWidget(rblNoUse);
    Kinds->addStretch();
    AdapterGrid->addLayout(Kinds, 0, 0, 1, 2);
    lblAdapter = NewLabel(gbxAdapter, "lblAdapter", QStringLiteral("対応機器"));
    AdapterGrid->addWidget(lblAdapter, 1, 0, Qt::AlignTop | Qt::AlignLeft);

    pnlNormal = New<QWidget>(gbxAdapter, "pnlNormal");
    auto* NormalRow = new QHBoxLayout(pnlNormal);
    NormalRow->setContentsMargins(0, 0, 0, 0);
    cbxnmlAdapter = NewList(pnlNormal, "cbxnmlAdapter");
    lblPort = NewLabel(pnlNormal, "lblPort", QStringLiteral("ポート"));
    cbxPort = NewList(pnlNormal, "cbxPort", 11);
    cbxPort->setMinimumWidth(110);
    NormalRow->addWidget(cbxnmlAdapter, 1);
    NormalRow->addWidget(lblPort);
    NormalRow->addWidget(cbxPort);

    pnlIPPBX = New<QWidget>(gbxAdapter, "pnlIPPBX");
    auto* IPGrid = new QGridLayout(pnlIPPBX);
    IPGrid->setContentsMargins(0, 0, 0, 0);
    IPGrid->setVerticalSpacing(2);
    cbxPBXAdapter = NewList(pnlIPPBX, "cbxPBXAdapter");
    btnDetail = New<QPushButton>(pnlIPPBX, "btnDetail", QStringLiteral("詳細設定(&D)"));
    btnDetail->setAutoDefault(false);
    lblIPPBX = RedLabel(pnlIPPBX, "lblIPPBX", QStringLiteral("※詳細設定を行う必要があります"));
    IPGrid->addWidget(cbxPBXAdapter, 0, 0);
    IPGrid->addWidget(btnDetail, 0, 1);
    IPGrid->addWidget(lblIPPBX, 1, 0, 1, 2);
    IPGrid->setColumnStretch(0, 1);

    // Both panels share one place, which keeps the room of the taller one whichever is shown.
    auto* Panels = new QVBoxLayout;
    auto* Place = new QGridLayout;
    for (QWidget* Panel : {pnlNormal, pnlIPPBX}) {
        QSizePolicy Policy = Panel->sizePolicy();
        Policy.setRetainSizeWhenHidden(true);
        Panel->setSizePolicy(Policy);
        Place->addWidget(Panel, 0, 0, Qt::AlignTop);
    }
    Panels->addLayout(Place);
    auto* Marks = new QHBoxLayout;
    pnlAnalogDial = New<QWidget>(gbxAdapter, "pnlAnalogDial");
    auto* DialRow = new QHBoxLayout(pnlAnalogDial);
    DialRow->setContentsMargins(0, 0, 0, 0);
    lblAnalogDialCaption =
        NewLabel(pnlAnalogDial, "lblAnalogDialCaption", QStringLiteral("発信機能　　　　　　　・・・"));
    lblAnalogDial = NewLabel(pnlAnalogDial, "lblAnalogDial", QString());
    DialRow->addWidget(lblAnalogDialCaption);
    DialRow->addWidget(lblAnalogDial);
    pnlGetHistory = New<QWidget>(gbxAdapter, "pnlGetHistory");
    auto* HistoryRow = new QHBoxLayout(pnlGetHistory);
    HistoryRow->setContentsMargins(0, 0, 0, 0);
    lblGetHistoryCaption = NewLabel(pnlGetHistory, "lblGetHistoryCaption", QStringLiteral("着信履歴取込機能　・・・"));
    lblGetHistory = NewLabel(pnlGetHistory, "lblGetHistory", QString());
    HistoryRow->addWidget(lblGetHistoryCaption);
    HistoryRow->addWidget(lblGetHistory);
    Marks->addWidget(pnlAnalogDial);
    Marks->addSpacing(24);
    Marks->addWidget(pnlGetHistory);
    Marks->addStretch();
    Panels->addLayout(Marks);
    AdapterGrid->addLayout(Panels, 1, 1);
    AdapterGrid->setColumnStretch(1, 1);
    Layout->addWidget(gbxAdapter);

    gbxDataPath = New<QGroupBox>(Page, "gbxDataPath", QStringLiteral("データ保存フォルダー"));
    auto* DataRow = new QHBoxLayout(gbxDataPath);
    edtDataPath = NewEdit(gbxDataPath, "edtDataPath", 200);
    bbtnBrowseDataPath = New<QPushButton>(gbxDataPath, "bbtnBrowseDataPath", QStringLiteral("参照(&R)"));
    bbtnBrowseDataPath->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    DataRow->addWidget(edtDataPath, 1);
    DataRow->addWidget(bbtnBrowseDataPath);
    Layout->addWidget(gbxDataPath);

    gbxMap = New<QGroupBox>(Page, "gbxMap", QStringLiteral("使用する地図ソフト／検索方法"));
    auto* MapRow = new QHBoxLayout(gbxMap);
    cbxMapSoft = NewList(gbxMap, "cbxMapSoft", 10);
    cbxMapSoft->addItems(MapProgramNames);
    cbxMapSearchKind = NewList(gbxMap, "cbxMapSearchKind");
    MapRow->addWidget(cbxMapSoft, 3);
    MapRow->addWidget(cbxMapSearchKind, 2);
    Layout->addWidget(gbxMap);
    Layout->addStretch();

    for (QPushButton* Button : {bbtnUpdate, bbtnBrowseDataPath})
        Button->setAutoDefault(false);
    connect(bbtnUpdate, &QPushButton::clicked, this, &TEnvironment::bbtnUpdateClick);
    connect(bbtnBrowseDataPath, &QPushButton::clicked, this, &TEnvironment::bbtnBrowseDataPathClick);
    connect(btnDetail, &QPushButton::clicked, this, &TEnvironment::btnDetailClick);
    for (QRadioButton* Button : {rbNormal, rbIPPBX, rblNoUse})
        connect(Button, &QRadioButton::clicked, this,
                [this, Button] { rbStateClick(Button->property("Tag").toInt()); });
    connect(cbxnmlAdapter, &QComboBox::activated, this, &TEnvironment::cbxAdapterClick);
    connect(cbxPBXAdapter, &QComboBox::activated, this, &TEnvironment::cbxAdapterClick);
    connect(cbxMapSoft, &QComboBox::activated, this, &TEnvironment::cbxMapSoftClick);

    Route(cbxCD, {.KeyPress = [this](QKeyEvent* Key) { return cbxCDKeyPress(Key); }});
    for (QRadioButton* Button : {rbNormal, rbIPPBX, rblNoUse})
        Route(Button, {.KeyPress = [this, Button](QKeyEvent* Key) { return rbButtonKeyPress(Button, Key); }});
    Route(edtDataPath, {.KeyPress = [this](QKeyEvent* Key) { return edtDataPathKeyPress(Key); }});
}

void TEnvironment::CreateOperationPage()
{
    QWidget* Page = tabstOperation;
    auto* Layout = new QVBoxLayout(Page);

    gbxRecvAction = New<QGroupBox>(Page, "gbxRecvAction", QStringLiteral("着信時の動作"));
    auto* Recv = new QVBoxLayout(gbxRecvAction);
    chkHisListPopup = NewCheck(gbxRecvAction, "chkHisListPopup", QStringLiteral("着信したら着信履歴を表示する"));
    chkRecvViewPopup = NewCheck(gbxRecvAction, "chkRecvViewPopup", QStringLiteral("着信したら着信照会を表示する"));
    chkRingSound = NewCheck(gbxRecvAction, "chkRingSound", QStringLiteral("着信したら音を鳴らす"));
    edtWaveFile = NewEdit(gbxRecvAction, "edtWaveFile", 32767);
    bbtnBrowseWaveFile = New<QPushButton>(gbxRecvAction, "bbtnBrowseWaveFile", QStringLiteral("参照(&R)"));
    bbtnBrowseWaveFile->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    bbtnPlay = New<QPushButton>(gbxRecvAction, "bbtnPlay", QStringLiteral("再生(&P)"));
    bbtnPlay->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    chkNotMoveFocus = NewCheck(gbxRecvAction, "chkNotMoveFocus",
                               QStringLiteral("着信してもアプリケーションにフォーカスを移動しない"));
    Recv->addWidget(chkHisListPopup);
    Recv->addWidget(chkRecvViewPopup);
    Recv->addWidget(chkRingSound);
    auto* WaveRow = new QHBoxLayout;
    WaveRow->addSpacing(20);
    WaveRow->addWidget(edtWaveFile, 1);
    WaveRow->addWidget(bbtnBrowseWaveFile);
    WaveRow->addWidget(bbtnPlay);
    Recv->addLayout(WaveRow);
    Recv->addWidget(chkNotMoveFocus);
    Layout->addWidget(gbxRecvAction);

    gbxStartup = New<QGroupBox>(Page, "gbxStartup", QStringLiteral("起動時の動作"));
    chkViewSplash =
        NewCheck(gbxStartup, "chkViewSplash", QStringLiteral("アプリケーション起動時にスプラッシュ画面を表示する"));
    (new QVBoxLayout(gbxStartup))->addWidget(chkViewSplash);
    Layout->addWidget(gbxStartup);

    gbxMessage = New<QGroupBox>(Page, "gbxMessage", QStringLiteral("メッセージの表示"));
    chkWindowsEnd = NewCheck(gbxMessage, "chkWindowsEnd", QStringLiteral("Windows終了時に確認ダイアログを表示する"));
    (new QVBoxLayout(gbxMessage))->addWidget(chkWindowsEnd);
    Layout->addWidget(gbxMessage);

    gbxDelete = New<QGroupBox>(Page, "gbxDelete", QStringLiteral("削除時の動作"));
    chkDeleteType = NewCheck(gbxDelete, "chkDeleteType", QStringLiteral("一覧削除時に削除対象指定画面を表示する"));
    (new QVBoxLayout(gbxDelete))->addWidget(chkDeleteType);
    Layout->addWidget(gbxDelete);
    Layout->addStretch();

    for (QPushButton* Button : {bbtnBrowseWaveFile, bbtnPlay})
        Button->setAutoDefault(false);
    connect(chkRingSound, &QCheckBox::clicked, this, &TEnvironment::chkRingSoundClick);
    connect(bbtnBrowseWaveFile, &QPushButton::clicked, this, &TEnvironment::bbtnBrowseWaveFileClick);
    connect(bbtnPlay, &QPushButton::clicked, this, &TEnvironment::bbtnPlayClick);
    Route(edtWaveFile, {.KeyPress = [this](QKeyEvent* Key) { return edtWaveFileKeyPress(Key); }});
}

void TEnvironment::CreateRecvHisPage()
{
    QWidget* Page = tabstRecvHis;
    auto* Layout = new QVBoxLayout(Page);

    gbxSearch = New<QGroupBox>(Page, "gbxSearch", QStringLiteral("照会方法"));
    auto* Search = new QVBoxLayout(gbxSearch);
    chkEarlierSearch = NewCheck(gbxSearch, "chkEarlierSearch", QStringLiteral("登録した名簿情報を先に検索する"));
    chkNewDataView = NewCheck(gbxSearch, "chkNewDataView", QStringLiteral("新しい着信情報を優先して表示する"));
    chkAutoAdd =
        NewCheck(gbxSearch, "chkAutoAdd", QStringLiteral("表示中の照会情報を自動登録してから新しい情報を表示する"));
    chkSameTelUpdate = NewCheck(gbxSearch, "chkSameTelUpdate", QStringLiteral("同じ電話番号のデータは更新する"));
    chkBeforeSelectItems =
        NewCheck(gbxSearch, "chkBeforeSelectItems", QStringLiteral("前回の着信時の選択項目内容を参照する"));
    chkBeforeRecvDateTime = NewCheck(gbxSearch, "chkBeforeRecvDateTime", QStringLiteral("前回の着信日時を参照する"));
    Search->addWidget(chkEarlierSearch);
    Search->addWidget(chkNewDataView);
    auto* AutoAddRow = new QHBoxLayout;
    AutoAddRow->addSpacing(20);
    AutoAddRow->addWidget(chkAutoAdd);
    Search->addLayout(AutoAddRow);
    auto* SameTelRow = new QHBoxLayout;
    SameTelRow->addSpacing(40);
    SameTelRow->addWidget(chkSameTelUpdate);
    Search->addLayout(SameTelRow);
    Search->addWidget(chkBeforeSelectItems);
    Search->addWidget(chkBeforeRecvDateTime);
    Layout->addWidget(gbxSearch);

    gbxAutoDel = New<QGroupBox>(Page, "gbxAutoDel", QStringLiteral("自動削除"));
    auto* AutoDel = new QVBoxLayout(gbxAutoDel);
    chkAutoDel = NewCheck(gbxAutoDel, "chkAutoDel", QStringLiteral("一定の期間が経過したデータを自動的に削除する"));
    lblAutoDelNote =
        RedLabel(gbxAutoDel, "lblAutoDelNote", QStringLiteral("※アプリケーションを起動した時のみ処理します"));
    lblAutoDel1 = NewLabel(gbxAutoDel, "lblAutoDel1", QString());
    edtDeleteDay = NewEdit(gbxAutoDel, "edtDeleteDay", 32767);
    edtDeleteDay->setFixedWidth(44);
    edtDeleteDay->setAlignment(Qt::AlignRight);
    udDeleteDay = New<TNumberUpDown>(gbxAutoDel, "udDeleteDay", 1, 14);
    lblAutoDel2 = NewLabel(gbxAutoDel, "lblAutoDel2", QStringLiteral("日以上前のデータを削除"));
    chkAutoDelConfirm = NewCheck(gbxAutoDel, "chkAutoDelConfirm", QStringLiteral("削除確認のダイアログを表示する"));
    AutoDel->addWidget(chkAutoDel);
    auto* DayRow = new QHBoxLayout;
    DayRow->setSpacing(2);
    DayRow->addSpacing(20);
    DayRow->addWidget(lblAutoDel1);
    DayRow->addWidget(edtDeleteDay);
    DayRow->addWidget(udDeleteDay);
    DayRow->addSpacing(4);
    DayRow->addWidget(lblAutoDel2);
    DayRow->addStretch();
    AutoDel->addLayout(DayRow);
    auto* ConfirmRow = new QHBoxLayout;
    ConfirmRow->addSpacing(20);
    ConfirmRow->addWidget(chkAutoDelConfirm);
    AutoDel->addLayout(ConfirmRow);
    AutoDel->addWidget(lblAutoDelNote);
    Layout->addWidget(gbxAutoDel);
    Layout->addStretch();

    connect(chkNewDataView, &QCheckBox::clicked, this, &TEnvironment::chkNewDataViewClick);
    connect(chkAutoAdd, &QCheckBox::clicked, this, &TEnvironment::chkAutoAddClick);
    connect(chkAutoDel, &QCheckBox::clicked, this, &TEnvironment::chkAutoDelClick);
    Route(edtDeleteDay, {.Enter = [this] { edtDeleteDayEnter(); },
                         .Exit = [this] { edtDeleteDayExit(); },
                         .KeyDown = [this](QKeyEvent* Key) { return edtNumKeyDown(edtDeleteDay, Key); },
                         .KeyPress = [this](QKeyEvent* Key) { return edtDeleteDayKeyPress(Key); }});
    udDeleteDay->OnChanging = [this](int NewValue) { return udDeleteDayChangingEx(NewValue); };
}

void TEnvironment::CreateDisplayViewPage()
{
    QWidget* Page = tabstDisplayView;
    auto* Layout = new QVBoxLayout(Page);

    gbxListMax = New<QGroupBox>(Page, "gbxListMax", QStringLiteral("一覧の表示件数"));
    auto* ListRow = new QHBoxLayout(gbxListMax);
    ListRow->setSpacing(2);
    lblListMax1 = NewLabel(gbxListMax, "lblListMax1", QStringLiteral("1ページに"));
    edtListMaxCount = NewEdit(gbxListMax, "edtListMaxCount", 4);
    edtListMaxCount->setProperty("Tag", 1);
    edtListMaxCount->setFixedWidth(56);
    edtListMaxCount->setAlignment(Qt::AlignRight);
    udListMaxCount = New<TNumberUpDown>(gbxListMax, "udListMaxCount", 1, 1000);
    lblListMax2 = NewLabel(gbxListMax, "lblListMax2", QStringLiteral("件のデータを表示する"));
    ListRow->addWidget(lblListMax1);
    ListRow->addSpacing(4);
    ListRow->addWidget(edtListMaxCount);
    ListRow->addWidget(udListMaxCount);
    ListRow->addSpacing(4);
    ListRow->addWidget(lblListMax2);
    ListRow->addStretch();
    Layout->addWidget(gbxListMax);

    gbxSelectItem = New<QGroupBox>(Page, "gbxSelectItem", QStringLiteral("選択項目名称"));
    auto* ItemRow = new QHBoxLayout(gbxSelectItem);
    edtSelectItem1 = NewEdit(gbxSelectItem, "edtSelectItem1", 10);
    edtSelectItem2 = NewEdit(gbxSelectItem, "edtSelectItem2", 10);
    edtSelectItem3 = NewEdit(gbxSelectItem, "edtSelectItem3", 10);
    const char* const Names[3] = {"lblSelectItem1", "lblSelectItem2", "lblSelectItem3"};
    const QString Captions[3] = {QStringLiteral("１"), QStringLiteral("２"), QStringLiteral("３")};
    QLineEdit* const Edits[3] = {edtSelectItem1, edtSelectItem2, edtSelectItem3};
    for (int I = 0; I < 3; ++I) {
        ItemRow->addWidget(NewLabel(gbxSelectItem, Names[I], Captions[I]));
        ItemRow->addWidget(Edits[I], 1);
        if (I < 2)
            ItemRow->addSpacing(8);
    }
    Layout->addWidget(gbxSelectItem);

    gbxViewTop = New<QGroupBox>(Page, "gbxViewTop", QStringLiteral("画面を前面に表示"));
    chkViewTop = NewCheck(gbxViewTop, "chkViewTop", QStringLiteral("メニューや各画面を常に前面に表示する"));
    (new QVBoxLayout(gbxViewTop))->addWidget(chkViewTop);
    Layout->addWidget(gbxViewTop);

    gbxMenu = New<QGroupBox>(Page, "gbxMenu", QStringLiteral("メニューの表示"));
    auto* Menu = new QVBoxLayout(gbxMenu);
    chkMenuVisible = NewCheck(gbxMenu, "chkMenuVisible", QStringLiteral("メニューをデスクトップに表示する"));
    chkMenuMsgView =
        NewCheck(gbxMenu, "chkMenuMsgView", QStringLiteral("メニューからの終了時に確認ダイアログを表示する"));
    Menu->addWidget(chkMenuVisible);
    auto* MsgRow = new QHBoxLayout;
    MsgRow->addSpacing(20);
    MsgRow->addWidget(chkMenuMsgView);
    Menu->addLayout(MsgRow);
    Layout->addWidget(gbxMenu);
    Layout->addStretch();

    connect(chkMenuVisible, &QCheckBox::clicked, this, &TEnvironment::chkMenuVisibleClick);
    Route(edtListMaxCount, {.Enter = [this] { edtListMaxCountEnter(); },
                            .Exit = [this] { edtListMaxCountExit(); },
                            .KeyDown = [this](QKeyEvent* Key) { return edtNumKeyDown(edtListMaxCount, Key); },
                            .KeyPress = [this](QKeyEvent* Key) { return edtListMaxCountKeyPress(Key); }});
    udListMaxCount->OnChanging = [this](int NewValue) { return udListMaxCountChangingEx(NewValue); };
}

void TEnvironment::CreateBUPage()
{
    QWidget* Page = tabstBU;
    auto* Layout = new QVBoxLayout(Page);

    gbxAutoBackUp = New<QGroupBox>(Page, "gbxAutoBackUp", QStringLiteral("自動バックアップ"));
    auto* Group = new QVBoxLayout(gbxAutoBackUp);
    chkAutoBU = NewCheck(gbxAutoBackUp, "chkAutoBU",
                         QStringLiteral("アプリケーションの起動時に自動でデータのバックアップをおこなう"));
    lblAutoBU1 = NewLabel(gbxAutoBackUp, "lblAutoBU1", QStringLiteral("過去"));
    edtAutoBU = NewEdit(gbxAutoBackUp, "edtAutoBU", 4);
    edtAutoBU->setProperty("Tag", 1);
    edtAutoBU->setFixedWidth(44);
    edtAutoBU->setAlignment(Qt::AlignRight);
    udAutoBUCount = New<TNumberUpDown>(gbxAutoBackUp, "udAutoBUCount", 1, 9);
    lblAutoBU2 = NewLabel(gbxAutoBackUp, "lblAutoBU2", QStringLiteral("世代分のデータをバックアップ"));
    Group->addWidget(chkAutoBU);
    auto* CountRow = new QHBoxLayout;
    CountRow->setSpacing(2);
    CountRow->addSpacing(20);
    CountRow->addWidget(lblAutoBU1);
    CountRow->addSpacing(4);
    CountRow->addWidget(edtAutoBU);
    CountRow->addWidget(udAutoBUCount);
    CountRow->addSpacing(4);
    CountRow->addWidget(lblAutoBU2);
    CountRow->addStretch();
    Group->addLayout(CountRow);

    lblAtention1 = NewLabel(gbxAutoBackUp, "lblAtention1",
                            QStringLiteral("※現在設定中の世代数よりも少ない世代数が指定されています。"));
    lblAtention2 = NewLabel(gbxAutoBackUp, "lblAtention2", QStringLiteral("このまま設定をおこなうと"));
    lblGeneration = RedLabel(gbxAutoBackUp, "lblGeneration", QString());
    lblAtention3 = NewLabel(gbxAutoBackUp, "lblAtention3",
                            QStringLiteral("が既に作成されている場合、それらのデータは以後更新されなくなります。"));
    lblAtention3->setWordWrap(true);
    auto* Warning = new QGridLayout;
    Warning->setContentsMargins(20, 6, 0, 0);
    Warning->addWidget(lblAtention1, 0, 0, 1, 2);
    Warning->addWidget(lblAtention2, 1, 0, 1, 2);
    Warning->addWidget(lblGeneration, 2, 0, 1, 2);
    Warning->addWidget(lblAtention3, 3, 0, 1, 2);
    Group->addLayout(Warning);
    Layout->addWidget(gbxAutoBackUp);
    Layout->addStretch();

    connect(chkAutoBU, &QCheckBox::clicked, this, &TEnvironment::chkAutoBUClick);
    connect(edtAutoBU, &QLineEdit::textChanged, this, &TEnvironment::edtAutoBUChange);
    Route(edtAutoBU, {.Enter = [this] { edtAutoBUEnter(); },
                      .Exit = [this] { edtAutoBUExit(); },
                      .KeyDown = [this](QKeyEvent* Key) { return edtAutoBUKeyDown(Key); },
                      .KeyPress = [this](QKeyEvent* Key) { return edtAutoBUKeyPress(Key); }});
    udAutoBUCount->OnChanging = [this](int NewValue) { return udAutoBUCountChangingEx(NewValue); };
}

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

void TEnvironment::CreateFbPage()
{
    QWidget* Page = tabsUseFbAdrs;
    auto* Layout = new QVBoxLayout(Page);
    gbUseFbAdrs = New<QGroupBox>(Page, "gbUseFbAdrs", QStringLiteral("Fernbook連携"));
    auto* Group = new QVBoxLayout(gbUseFbAdrs);

    chkUseFbAdrs =
        NewCheck(gbUseFbAdrs, "chkUseFbAdrs", QStringLiteral("Fernbookのアドレス帳を登録名簿として使用する"), false);
    Group->addWidget(chkUseFbAdrs);

    auto* Top = new QGridLayout;
    Top->setContentsMargins(20, 0, 0, 0);
    lblFbSeries = NewLabel(gbUseFbAdrs, "lblFbSeries", QStringLiteral("連携ソフト"));
    cbxFbSeries = NewList(gbUseFbAdrs, "cbxFbSeries", 2);
    cbxFbSeries->addItems(FbSeriesNames);
    lblAdrs = NewLabel(gbUseFbAdrs, "lblAdrs", QStringLiteral("アドレス帳"));
    cbxAdrs = NewList(gbUseFbAdrs, "cbxAdrs", 5);
    pnlOKNG = New<QWidget>(gbUseFbAdrs, "pnlOKNG");
    pnlOKNG->setAutoFillBackground(true);
    pnlOKNG->setFixedSize(130, 58);
    auto* OKNG = new QHBoxLayout(pnlOKNG);
    OKNG->setContentsMargins(6, 4, 6, 4);
    lblOKNG = NewLabel(pnlOKNG, "lblOKNG", QString());
    QFont Bold = lblOKNG->font();
    Bold.setBold(true);
    lblOKNG->setFont(Bold);
    imgFbKind = NewLabel(pnlOKNG, "imgFbKind", QString());
    imgFbKind->setFixedSize(48, 48);
    imgFbKind->setCursor(Qt::PointingHandCursor);
    OKNG->addWidget(lblOKNG, 1);
    OKNG->addWidget(imgFbKind);
    Top->addWidget(lblFbSeries, 0, 0);
    Top->addWidget(cbxFbSeries, 0, 1);
    Top->addWidget(lblAdrs, 1, 0);
    Top->addWidget(cbxAdrs, 1, 1);
    Top->addWidget(pnlOKNG, 0, 2, 2, 1);
    Top->setColumnStretch(1, 1);
    Group->addLayout(Top);

    lblAssign = NewLabel(gbUseFbAdrs, "lblAssign",
                         QStringLiteral("以下の項目はFernbookのキーワード項目を割り当てて使用します"));
    Group->addWidget(lblAssign);
    auto* Assign = new QGridLayout;
    Assign->setContentsMargins(20, 0, 0, 0);
    Assign->setVerticalSpacing(3);
    lblMemo1 = NewLabel(gbUseFbAdrs, "lblMemo1", QStringLiteral("登録メモ１"));
    lblMemo2 = NewLabel(gbUseFbAdrs, "lblMemo2", QStringLiteral("登録メモ２"));
    lblMemo3 = NewLabel(gbUseFbAdrs, "lblMemo3", QStringLiteral("登録メモ３"));
    cbxMemo1 = NewList(gbUseFbAdrs, "cbxMemo1", 5);
    cbxMemo2 = NewList(gbUseFbAdrs, "cbxMemo2", 5);
    cbxMemo3 = NewList(gbUseFbAdrs, "cbxMemo3", 5);
    lblRank = NewLabel(gbUseFbAdrs, "lblRank", QStringLiteral("ランク"));
    cbxRank = NewList(gbUseFbAdrs, "cbxRank", 3);
    lblRankb = NewLabel(gbUseFbAdrs, "lblRankb", QStringLiteral("※10文字分使用します"));
    lblLine1 = NewLabel(gbUseFbAdrs, "lblLine1", QStringLiteral("着信時メッセージ1"));
    cbxLine1 = NewList(gbUseFbAdrs, "cbxLine1", 5);
    lblLine1b = NewLabel(gbUseFbAdrs, "lblLine1b", QStringLiteral("※16文字分使用します"));
    lblLine2 = NewLabel(gbUseFbAdrs, "lblLine2", QStringLiteral("着信時メッセージ2"));
    cbxLine2 = NewList(gbUseFbAdrs, "cbxLine2", 5);
    lblLine2b = NewLabel(gbUseFbAdrs, "lblLine2b", QStringLiteral("※16文字分使用します"));
    for (QComboBox* List : {cbxMemo1, cbxMemo2, cbxMemo3, cbxLine1, cbxLine2})
        List->addItems(Keywords1to5);
    cbxRank->addItems(Keywords6to8);
    for (QComboBox* List : {cbxMemo1, cbxMemo2, cbxMemo3, cbxRank, cbxLine1, cbxLine2})
        List->setMinimumWidth(130);
    // Two columns: the memos on the left, rank and message lines on the right.
    Assign->addWidget(lblMemo1, 0, 0);
    Assign->addWidget(cbxMemo1, 0, 1);
    Assign->addWidget(lblMemo2, 1, 0);
    Assign->addWidget(cbxMemo2, 1, 1);
    Assign->addWidget(lblMemo3, 2, 0);
    Assign->addWidget(cbxMemo3, 2, 1);
    Assign->setColumnMinimumWidth(2, 16);
    Assign->addWidget(lblRank, 0, 3);
    Assign->addWidget(cbxRank, 0, 4);
    Assign->addWidget(lblRankb, 0, 5);
    Assign->addWidget(lblLine1, 1, 3);
    Assign->addWidget(cbxLine1, 1, 4);
    Assign->addWidget(lblLine1b, 1, 5);
    Assign->addWidget(lblLine2, 2, 3);
    Assign->addWidget(cbxLine2, 2, 4);
    Assign->addWidget(lblLine2b, 2, 5);
    Assign->setColumnStretch(5, 1);
    Group->addLayout(Assign);

    chkRunFbDlg = NewCheck(gbUseFbAdrs, "chkRunFbDlg",
                           QStringLiteral("メニューからFernbookを起動する際に確認のダイアログを表示する"), false);
    chkFbBackup = NewCheck(gbUseFbAdrs, "chkFbBackup",
                           QStringLiteral("Tolvane起動時にFernbookのアドレス帳データをバックアップする"), false);
    chkFbBackupDlg = NewCheck(gbUseFbAdrs, "chkFbBackupDlg", QStringLiteral("確認のダイアログを表示する"), false);
    Group->addWidget(chkRunFbDlg);
    Group->addWidget(chkFbBackup);
    auto* BackupDlgRow = new QHBoxLayout;
    BackupDlgRow->addSpacing(20);
    BackupDlgRow->addWidget(chkFbBackupDlg);
    Group->addLayout(BackupDlgRow);
    lblAtention = RedLabel(gbUseFbAdrs, "lblAtention", QStringLiteral("※設定中はTolvaneの登録名簿は使用できません"));
    Group->addWidget(lblAtention);
    Layout->addWidget(gbUseFbAdrs);
    Layout->addStretch();

    connect(chkUseFbAdrs, &QCheckBox::clicked, this, &TEnvironment::chkUseFbAdrsClick);
    connect(chkFbBackup, &QCheckBox::clicked, this, &TEnvironment::chkFbBackupClick);
    connect(cbxFbSeries, &QComboBox::activated, this, &TEnvironment::cbxFbSeriesClick);
    Route(imgFbKind, {.Click = [this] { imgFbKindClick(); }});
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
    Hint(chkWindowsEnd, "Tolvaneの起動中にWindowsが終了しようとした場合\r\n"
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

// ---------------------------------------------------------------------------------------------------
// Loading

void TEnvironment::FillAdapterList(QComboBox* List, const TVxCommDLL* Wrapper, std::int32_t Selected)
{
    List->clear();
    if (Wrapper)
        for (const TAdapterKind& Kind : Wrapper->Kinds())
            List->addItem(AdapterKindName(Kind).left(50).trimmed(), Kind.Kind);
    const int Found = List->findData(Selected);
    List->setCurrentIndex(Found >= 0 ? Found : (List->count() > 0 ? 0 : -1));
}

void TEnvironment::FillPortList(const QString& Selected)
{
    Ports = PortItems(EnvHooks().DevFolder);
    cbxPort->clear();
    for (const TPortItem& Item : Ports)
        cbxPort->addItem(Item.Display, Item.Port);
    const int Found = PortItemIndex(Ports, Selected);
    cbxPort->setCurrentIndex(Found >= 0 ? Found : 0);
}

void TEnvironment::LoadSettings()
{
    FillDriveList();

    switch (PrepareLineWrappers(Settings.IPPBX)) {
    case TLineWrappers::Ready:
        break;
    case TLineWrappers::NoKinds:
        (void)MessageBoxPos(nullptr, NoAdapterKinds, ProductName, MB_OK | MB_ICONSTOP, 2);
        [[fallthrough]];
    case TLineWrappers::CannotCreate:
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

void TEnvironment::FillDriveList()
{
    cbxCD->setUpdatesEnabled(false);
    cbxCD->clear();
    for (const QString& Drive : DriveList) {
        const QString Label = GetVolumeLabel(Drive, EnvHooks().MountsFile).trimmed();
        const QString Shown = DataPathForEdit(Drive);
        cbxCD->addItem(Label.isEmpty() ? Shown : Shown + QStringLiteral(" [") + Label + QLatin1Char(']'), Drive);
    }
    if (cbxCD->count() > 0) {
        int Index = 0;
        for (int I = 0; I < cbxCD->count(); ++I)
            if (IncludeTrailingDelimiter(cbxCD->itemData(I).toString()) == IncludeTrailingDelimiter(Settings.CD)) {
                Index = I;
                break;
            }
        cbxCD->setCurrentIndex(Index);
    }
    cbxCD->setUpdatesEnabled(true);
}

void TEnvironment::LoadAddressBooks(int Series, int Selected)
{
    FbAdrsBooks.clear();
    cbxAdrs->clear();
    const QString DataPath = EnvHooks().FbDataPath ? EnvHooks().FbDataPath(Series) : QString();
    if (!DataPath.isEmpty() && EnvHooks().LoadAddressBookList)
        FbAdrsBooks = EnvHooks().LoadAddressBookList(DataPath + QStringLiteral("Adrs/"));
    if (DataPath.isEmpty()) {
        cbxAdrs->addItem(QString());
        cbxAdrs->setCurrentIndex(0);
        return;
    }
    for (const TEnvAdrsBook& Book : FbAdrsBooks)
        cbxAdrs->addItem(Book.Name);
    cbxAdrs->setCurrentIndex(Selected >= 0 && Selected < cbxAdrs->count() ? Selected : (cbxAdrs->count() ? 0 : -1));
}

// ---------------------------------------------------------------------------------------------------
// Page behaviour

void TEnvironment::rbStateClick(int Tag)
{
    pnlNormal->setVisible(Tag == 0);
    pnlIPPBX->setVisible(Tag == 1);
    pnlAnalogDial->setVisible(Tag != 2);
    pnlGetHistory->setVisible(Tag != 2);
    // The marks describe the adapter of the line now chosen.
    cbxAdapterClick();
}

void TEnvironment::cbxAdapterClick()
{
    const bool Normal = rbNormal->isChecked();
    const TVxCommDLL* Wrapper = Normal ? SerialCommDLL.get() : IPCommDLL.get();
    const int Index = Normal ? cbxnmlAdapter->currentIndex() : cbxPBXAdapter->currentIndex();
    if (!Wrapper || Index < 0 || Index >= Wrapper->Kinds().size()) {
        lblAnalogDial->setText(QStringLiteral("×"));
        lblGetHistory->setText(QStringLiteral("×"));
        return;
    }
    const TAdapterKind& Kind = Wrapper->Kinds()[Index];
    lblAnalogDial->setText(Kind.DialPorts != 0 ? QStringLiteral("○") : QStringLiteral("×"));
    lblGetHistory->setText(Kind.HistoryCount != 0 ? QStringLiteral("○") : QStringLiteral("×"));
    if (Normal)
        cbxPort->setCurrentIndex(
            PortIndexForAdapter(Kind.PortType, cbxPort->currentIndex(), OpenedPortIndex, cbxPort->count()));
}

void TEnvironment::cbxMapSoftClick()
{
    const int Index = cbxMapSearchKind->currentIndex();
    cbxMapSearchKind->clear();
    cbxMapSearchKind->addItems(MapSearchKinds(cbxMapSoft->currentIndex()));
    cbxMapSearchKind->setCurrentIndex(Index);
}

void TEnvironment::chkRingSoundClick()
{
    SetEnabled({edtWaveFile, bbtnBrowseWaveFile, bbtnPlay}, chkRingSound->isChecked());
}

void TEnvironment::chkNewDataViewClick()
{
    chkAutoAdd->setEnabled(chkNewDataView->isChecked());
    chkSameTelUpdate->setEnabled(chkNewDataView->isChecked() && chkAutoAdd->isChecked());
}

void TEnvironment::chkAutoAddClick()
{
    chkSameTelUpdate->setEnabled(chkAutoAdd->isChecked());
}

void TEnvironment::chkAutoDelClick()
{
    SetEnabled({lblAutoDel1, edtDeleteDay, udDeleteDay, lblAutoDel2, chkAutoDelConfirm}, chkAutoDel->isChecked());
}

void TEnvironment::chkMenuVisibleClick()
{
    chkMenuMsgView->setEnabled(chkMenuVisible->isChecked());
}

void TEnvironment::chkAutoBUClick()
{
    const bool On = chkAutoBU->isChecked();
    SetEnabled({edtAutoBU, udAutoBUCount, lblAutoBU1, lblAutoBU2}, On);
    if (!lblAtention1->isHidden())
        SetEnabled({lblAtention1, lblAtention2, lblGeneration, lblAtention3}, On);
}

void TEnvironment::chkFbBackupClick()
{
    chkFbBackupDlg->setEnabled(chkFbBackup->isChecked());
}

void TEnvironment::SetFbControlsEnabled(bool Enabled, bool WithSeries)
{
    if (WithSeries)
        SetEnabled({lblFbSeries, cbxFbSeries}, Enabled);
    SetEnabled({lblAdrs,   cbxAdrs,  lblAssign, lblMemo1, lblMemo2,    lblMemo3,   lblLine1,
                lblLine1b, lblLine2, lblLine2b, lblRank,  lblRankb,    cbxMemo1,   cbxMemo2,
                cbxMemo3,  cbxRank,  cbxLine1,  cbxLine2, chkRunFbDlg, chkFbBackup},
               Enabled);
    chkFbBackupDlg->setEnabled(Enabled && chkFbBackup->isChecked());
}

void TEnvironment::chkUseFbAdrsClick()
{
    if (chkUseFbAdrs->isChecked()) {
        SetFbControlsEnabled(true, true);
        lblOKNG->setVisible(true);
        lblAtention->setVisible(true);
        ShowFbAvailability(cbxFbSeries->currentIndex());
    } else {
        SetFbControlsEnabled(false, true);
        lblOKNG->setVisible(false);
        lblAtention->setVisible(false);
        pnlOKNG->setStyleSheet(QString());
        imgFbKind->setVisible(false);
    }
}

void TEnvironment::ShowFbAvailability(int Series)
{
    const QString DataPath = EnvHooks().FbDataPath ? EnvHooks().FbDataPath(Series) : QString();
    const bool Available = !DataPath.isEmpty();
    pnlOKNG->setStyleSheet(
        QStringLiteral("#pnlOKNG { background: %1; border: 1px solid #808080; }").arg(Available ? SkyBlue : Yellow));
    lblOKNG->setText(Available ? QStringLiteral("使用可能") : QStringLiteral("使用不可"));
    lblOKNG->setVisible(true);
    SetFbControlsEnabled(Available, false);
    lblAtention->setVisible(Available);
    imgFbKind->setPixmap(EditionImage(Series == 1 ? 1 : (Series == 2 ? 2 : 0)));
    imgFbKind->setVisible(true);
    imgFbKind->update();
}

void TEnvironment::cbxFbSeriesClick()
{
    const int Series = cbxFbSeries->currentIndex();
    ShowFbAvailability(Series);
    LoadAddressBooks(Series, 0);
}

void TEnvironment::imgFbKindClick()
{
    if (EnvHooks().OpenFbProductPage)
        EnvHooks().OpenFbProductPage(cbxFbSeries->currentIndex());
}

void TEnvironment::bbtnUpdateClick()
{
    const bool AllHeld =
        (QApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const unsigned Mask =
        (Settings.SearchDriveExtend || AllHeld) ? DRIVE_MASK_CDROM | DRIVE_MASK_NETWORK : DRIVE_MASK_CDROM;
    ScanDrives(Mask, EnvHooks().MountsFile);
    if (DriveList.isEmpty())
        (void)MessageBoxPos(this,
                            QStringLiteral("使用可能なCD-ROMドライブが検出できませんでした  \r\n"
                                           "CD-ROMを使用した検索を利用できません  "),
                            ProductName, MB_OK | MB_ICONINFORMATION, 2);
    FillDriveList();
}

void TEnvironment::bbtnBrowseDataPathClick()
{
    QString Folder;
    {
        TWaitCursor Wait;
        const QString Typed = edtDataPath->text().trimmed();
        Folder = QFileInfo(Typed).isDir() ? Typed : SettingsPath;
    }
    if (BrowseForFolder(Folder, this, QStringLiteral("データの保存先を指定してください"), true, false)) {
        edtDataPath->setText(Folder);
        FocusEnd(edtDataPath);
    }
}

void TEnvironment::bbtnBrowseWaveFileClick()
{
    QFileDialog Dialog(this);
    Dialog.setOption(QFileDialog::DontUseNativeDialog);
    Dialog.setFileMode(QFileDialog::ExistingFile);
    Dialog.setNameFilters({QStringLiteral("Waveファイル (*.wav)"), QStringLiteral("すべてのファイル (*)")});
    const QString Typed = edtWaveFile->text().trimmed();
    const QFileInfo Info(Typed);
    if (!Typed.isEmpty() && Info.dir().exists()) {
        Dialog.setDirectory(Info.absolutePath());
        if (Info.isFile())
            Dialog.selectFile(Info.fileName());
    } else {
        Dialog.setDirectory(ProgramPath);
    }
    OpenDialogShow(Dialog);
    if (Dialog.exec() == QDialog::Accepted && !Dialog.selectedFiles().isEmpty())
        edtWaveFile->setText(Dialog.selectedFiles().constFirst());
    FocusEnd(edtWaveFile);
}

// Over the dialog's top-left corner, inside the work area.
void TEnvironment::OpenDialogShow(QFileDialog& Dialog)
{
    Dialog.adjustSize();
    const QRect Work = screen()->availableGeometry();
    QPoint At = frameGeometry().topLeft() + QPoint(15, 15);
    At.setX(std::max(Work.left(), std::min(At.x(), Work.right() - Dialog.width())));
    At.setY(std::max(Work.top(), std::min(At.y(), Work.bottom() - Dialog.height())));
    Dialog.move(At);
}

void TEnvironment::bbtnPlayClick()
{
    const QString FileName = edtWaveFile->text().trimmed();
    if (!QFileInfo(FileName).isFile()) {
        (void)MessageBoxPos(this, QStringLiteral("ファイルではありません  "), ProductName, MB_OK | MB_ICONINFORMATION,
                            2);
    } else {
        QFile File(FileName);
        if (!File.open(QIODevice::ReadOnly) || !PlayWaveAsync(File.readAll()))
            (void)MessageBoxPos(this, QStringLiteral("このファイルは再生できません  "), ProductName,
                                MB_OK | MB_ICONINFORMATION, 2);
    }
    FocusEnd(edtWaveFile);
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

void TEnvironment::btnDetailClick()
{
    IPPBXAdapterName = cbxPBXAdapter->currentText();
    IPPBXAdapterKind = cbxPBXAdapter->currentData().toInt();
    TSetIPPBXDetail Dialog(this, chkTip->isChecked());
    Dialog.exec();
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

void TEnvironment::chkTipClick()
{
    FHintsOn = chkTip->isChecked();
}

void TEnvironment::edtAutoBUChange()
{
    ShowGenerationWarning(GenerationWarning(edtAutoBU->text(), Settings.AutoBUCount));
}

void TEnvironment::ShowGenerationWarning(const TGenerationWarning& Warning)
{
    if (Warning.State == TGenerationWarning::EState::Unchanged)
        return;
    const bool Shown = Warning.State == TGenerationWarning::EState::Shown;
    lblGeneration->setText(Warning.Generation);
    for (QLabel* Label : {lblAtention1, lblAtention2, lblGeneration, lblAtention3}) {
        Label->setVisible(Shown);
        Label->setEnabled(chkAutoBU->isChecked());
    }
}

// ---------------------------------------------------------------------------------------------------
// Keys and the wheel

bool TEnvironment::NextFocusKeyPress(QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    focusNextChild();
    if (auto* Edit = qobject_cast<QLineEdit*>(focusWidget()))
        Edit->end(false);
    return true;
}

bool TEnvironment::cbxCDKeyPress(QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    FocusEnd(rbNormal->isChecked() ? rbNormal : rbIPPBX);
    return true;
}

bool TEnvironment::rbButtonKeyPress(QRadioButton* Sender, QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    FocusEnd(Sender->property("Tag").toInt() == 0 ? cbxnmlAdapter : cbxPBXAdapter);
    return true;
}

bool TEnvironment::edtDataPathKeyPress(QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    FocusEnd(edtDataPath->text().trimmed().isEmpty() ? static_cast<QWidget*>(bbtnBrowseDataPath) : cbxMapSoft);
    return true;
}

bool TEnvironment::edtWaveFileKeyPress(QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    FocusEnd(edtWaveFile->text().trimmed().isEmpty() ? static_cast<QWidget*>(bbtnBrowseWaveFile) : chkNotMoveFocus);
    return true;
}

// Only over a tab; towards the user the next page, round at both ends. The bar itself never turns a page
// by the wheel, so the event is taken wherever over it.
bool TEnvironment::FormMouseWheel(QWheelEvent* Wheel)
{
    const QPoint At = pgctlEnv->tabBar()->mapTo(pgctlEnv, Wheel->position().toPoint());
    bool OverTab = false;
    for (const QRect& Rect : TabRects)
        OverTab = OverTab || Rect.contains(At);
    if (OverTab && Wheel->angleDelta().y() != 0) {
        const int Count = pgctlEnv->count();
        const int Step = Wheel->angleDelta().y() < 0 ? 1 : -1;
        pgctlEnv->setCurrentIndex((pgctlEnv->currentIndex() + Step + Count) % Count);
    }
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
// Number edits

void TEnvironment::edtDeleteDayEnter()
{
    LastDeleteDay = qint16(udDeleteDay->Position());
}

void TEnvironment::edtDeleteDayExit()
{
    NumberEditExit(edtDeleteDay, udDeleteDay, LastDeleteDay);
}

bool TEnvironment::edtDeleteDayKeyPress(QKeyEvent* Key)
{
    return NumberEditKeyPress(Key, edtDeleteDay, udDeleteDay, LastDeleteDay, chkAutoDelConfirm);
}

bool TEnvironment::udDeleteDayChangingEx(int NewValue)
{
    return UpDownChanging(edtDeleteDay, LastDeleteDay, NewValue);
}

void TEnvironment::edtListMaxCountEnter()
{
    LastListMaxCount = qint16(udListMaxCount->Position());
}

void TEnvironment::edtListMaxCountExit()
{
    NumberEditExit(edtListMaxCount, udListMaxCount, LastListMaxCount);
}

bool TEnvironment::edtListMaxCountKeyPress(QKeyEvent* Key)
{
    return NumberEditKeyPress(Key, edtListMaxCount, udListMaxCount, LastListMaxCount, edtSelectItem1);
}

bool TEnvironment::udListMaxCountChangingEx(int NewValue)
{
    return UpDownChanging(edtListMaxCount, LastListMaxCount, NewValue);
}

// Both long-range edits: the edit's Tag picks its up-down, the page keys step by ten.
bool TEnvironment::edtNumKeyDown(QLineEdit* Sender, QKeyEvent* Key)
{
    return StepUpDown(Sender->property("Tag").toInt() == 1 ? udListMaxCount : udDeleteDay, Key->key(), 10);
}

void TEnvironment::edtAutoBUEnter()
{
    LastAutoBUCount = qint16(udAutoBUCount->Position());
}

void TEnvironment::edtAutoBUExit()
{
    NumberEditExit(edtAutoBU, udAutoBUCount, LastAutoBUCount);
}

bool TEnvironment::edtAutoBUKeyPress(QKeyEvent* Key)
{
    return NumberEditKeyPress(Key, edtAutoBU, udAutoBUCount, LastAutoBUCount, btnSet);
}

// Nine generations at most: the page keys step by one.
bool TEnvironment::edtAutoBUKeyDown(QKeyEvent* Key)
{
    return StepUpDown(udAutoBUCount, Key->key(), 1);
}

bool TEnvironment::udAutoBUCountChangingEx(int NewValue)
{
    UpDownChanging(edtAutoBU, LastAutoBUCount, NewValue);
    ShowGenerationWarning(GenerationWarning(QString::number(NewValue), Settings.AutoBUCount));
    return true;
}

void TEnvironment::NumberEditExit(QLineEdit* Edit, TNumberUpDown* UpDown, qint16& Last)
{
    const std::optional<int> Value = AcceptNumberText(Edit->text(), UpDown->Min(), UpDown->Max());
    if (Value) {
        UpDown->SetPosition(*Value);
        Last = qint16(*Value);
    } else {
        // The up-down keeps the last accepted value, so what is stored is what the edit shows.
        UpDown->SetPosition(Last);
        Edit->setText(QString::number(Last));
    }
}

// Enter takes the number; the focus moves on to Next only when it stood as it was.
bool TEnvironment::NumberEditKeyPress(QKeyEvent* Key, QLineEdit* Edit, TNumberUpDown* UpDown, qint16& Last,
                                      QWidget* Next)
{
    if (!IsEnterKey(Key))
        return false;
    const int Before = UpDown->Position();
    NumberEditExit(Edit, UpDown, Last);
    if (UpDown->Position() == Before)
        FocusEnd(Next);
    return true;
}

bool TEnvironment::UpDownChanging(QLineEdit* Edit, qint16& Last, int NewValue)
{
    Last = qint16(NewValue);
    Edit->setText(QString::number(NewValue));
    Edit->selectAll();
    return true;
}

void TEnvironment::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    TabRects.clear();
    QTabBar* Bar = pgctlEnv->tabBar();
    for (int I = 0; I < Bar->count(); ++I)
        TabRects.append(QRect(Bar->mapTo(pgctlEnv, Bar->tabRect(I).topLeft()), Bar->tabRect(I).size()));
    pgctlEnv->setCurrentIndex(InitTab);
    pgctlEnvChange();
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
