#include "calls/RecvView.h"

#include "calls/HisList.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/NMDEdit.h"
#include "main/device/VxComm.h"
#include "main/identify/AppSub.h"
#include "main/identify/DBInfoFb.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/WindowLog.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

TReceiveViewTools ReceiveViewTools;
std::function<void()> ReceiveViewReloadHistory;
TReceiveView* ReceiveView = nullptr;

namespace {

const QString Section = QStringLiteral("RECEIVE VIEW");
constexpr int ClientWidth = 504;
constexpr int ClientHeight = 673;
constexpr int HelpContextOwn = 27;
constexpr int HelpContextFb = 30;
const char* const HelpContextProperty = "HelpContext";

const QString TextNew = QStringLiteral("新規");
const QString TextExisting = QStringLiteral("既存");
const QString CaptionRegister = QStringLiteral("名簿登録(&A)");
const QString CaptionUpdate = QStringLiteral("名簿変更(&U)");
const QString CaptionLock = QStringLiteral("ロック(&L)");
const QString CaptionUnlock = QStringLiteral("アンロック(&L)");
const QString CaptionView = QStringLiteral("着信照会");
const QString SearchedTelCaption = QStringLiteral("検索電話番号");

template <typename T, typename... TArgs> T* New(QWidget* Parent, const char* Name, TArgs&&... Args)
{
    T* Widget = new T(std::forward<TArgs>(Args)..., Parent);
    Widget->setObjectName(QLatin1String(Name));
    return Widget;
}

QLabel* NewCaption(QWidget* Parent, const QString& Text, int X, int Y, int W = 86)
{
    auto* Label = new QLabel(Text, Parent);
    Label->setGeometry(X, Y, W, 21);
    Label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return Label;
}

// A bordered panel that shows one value, as the date and division panels are.
QLabel* NewPanel(QWidget* Parent, const char* Name, int X, int Y, int W, int H)
{
    auto* Panel = New<QLabel>(Parent, Name);
    Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel->setAlignment(Qt::AlignCenter);
    Panel->setGeometry(X, Y, W, H);
    return Panel;
}

QLineEdit* NewEdit(QWidget* Parent, const char* Name, int MaxBytes, int X, int Y, int W, bool ImeClosed = false)
{
    auto* Edit = New<QLineEdit>(Parent, Name);
    SetByteLimit(Edit, MaxBytes);
    Edit->setGeometry(X, Y, W, 21);
    if (ImeClosed) {
        // Numbers and addresses of mail are typed in single-byte letters: no input method here.
        Edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        Edit->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    }
    return Edit;
}

QToolButton* NewButton(QWidget* Parent, const char* Name, const QString& Caption, const QString& Hint, int X, int Y,
                       int W = 40, int H = 21)
{
    auto* Button = New<QToolButton>(Parent, Name);
    Button->setText(Caption);
    Button->setToolTip(Hint);
    Button->setGeometry(X, Y, W, H);
    Button->setFocusPolicy(Qt::StrongFocus);
    return Button;
}

QComboBox* NewCombo(QWidget* Parent, const char* Name, bool Editable, int MaxBytes, int X, int Y, int W)
{
    auto* Combo = New<QComboBox>(Parent, Name);
    Combo->setEditable(Editable);
    Combo->setInsertPolicy(QComboBox::NoInsert);
    if (Editable)
        SetByteLimit(Combo->lineEdit(), MaxBytes);
    Combo->setGeometry(X, Y, W, 21);
    return Combo;
}

QString DateText(double Days)
{
    const QDateTime Time = DaysToDateTime(Days);
    return Time.isValid() ? Time.toString(QStringLiteral("yyyy年 MM月 dd日")) : QString();
}

QString TimeText(double Days)
{
    const QDateTime Time = DaysToDateTime(Days);
    return Time.isValid() ? Time.toString(QStringLiteral("hh時 mm分 ss秒")) : QString();
}

void CaretToEnd(QLineEdit* Edit)
{
    Edit->setFocus();
    Edit->deselect();
    Edit->setCursorPosition(static_cast<int>(Edit->text().size()));
}

void SelectAllAndFocus(QLineEdit* Edit)
{
    Edit->setFocus();
    Edit->selectAll();
}

// The directory keeps colours as "$" + blue, green, red in hexadecimal.
QColor ColorOfValue(unsigned Value)
{
    return QColor(Value & 0xff, (Value >> 8) & 0xff, (Value >> 16) & 0xff);
}

unsigned ValueOfColor(const QColor& Color)
{
    return static_cast<unsigned>(Color.red()) | static_cast<unsigned>(Color.green()) << 8 |
           static_cast<unsigned>(Color.blue()) << 16;
}

} // namespace

TReceiveView::TNestedGuard::TNestedGuard(TReceiveView& View, bool Hourglass) : FView(View), FHourglass(Hourglass)
{
    FView.FRefillGuard = true;
    if (FHourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

TReceiveView::TNestedGuard::~TNestedGuard()
{
    if (FHourglass)
        QApplication::restoreOverrideCursor();
    FView.FRefillGuard = FView.FLocked;
}

TReceiveView::TReceiveView(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("ReceiveView"));
    setWindowTitle(CaptionView);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont Font(QStringLiteral("ＭＳ Ｐゴシック"));
    Font.setPixelSize(12);
    setFont(Font);
    setFixedSize(ClientWidth, ClientHeight);
    FSave = TReceiveSave(Settings.UseFbAdrs ? TReceiveSave::TMode::Fernbook : TReceiveSave::TMode::Own);
    FSave.Hooks.Message = [this](const QString& Text, unsigned Flags) { return Message(Text, Flags); };
    FSave.Hooks.ReloadHistoryPage = [] {
        if (ReceiveViewReloadHistory)
            ReceiveViewReloadHistory();
    };
    FSave.Hooks.PickListChanged = [this](int List) {
        if (List < 0)
            ReloadRankList();
        else
            ReloadSelectItemList(List);
    };
    // The book chosen in the settings, and the entry the identification found in it.
    FSave.Hooks.Fb = {[] { return IsFbInstalled(Settings.FbSeries); },
                      [] { return FbBookFolder(Settings.FbSeries, Settings.FbAdrsBook); }, [] { return FbAdrsRecNo; }};
    CreateControls();
    FormCreate();
}

TReceiveView::~TReceiveView()
{
    // FormDestroy: the window's place, in 96-DPI units.
    if (!SettingsPath.isEmpty()) {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteInteger(Section, QStringLiteral("Left"), ScaleByDpi(x(), false));
        Ini.WriteInteger(Section, QStringLiteral("Top"), ScaleByDpi(y(), false));
        (void)Ini.UpdateFile();
    }
    if (ReceiveView == this)
        ReceiveView = nullptr;
    // The name edits outlive this body; the owner's pop-up is closed now, while the window is whole.
    for (TNMDEdit* Name : {nmedtNameKana, nmedtNameKanji}) {
        if (ReceiveViewTools.ConvertNeed)
            ReceiveViewTools.ConvertNeed(*this, *Name, static_cast<int>(Name->NameKind()), false, QString());
        Name->OnConvertNeed = nullptr;
        Name->OnConvertKeyDown = nullptr;
    }
}

void TReceiveView::CreateControls()
{
    constexpr int L = 96; // left of the value column

    lblPrevRecvDateTime = New<QLabel>(this, "lblPrevRecvDateTime", QStringLiteral("前回着信日時"));
    lblPrevRecvDateTime->setGeometry(8, 6, 86, 22);
    pnlPrevDate = NewPanel(this, "pnlPrevDate", L, 6, 132, 22);
    pnlPrevTime = NewPanel(this, "pnlPrevTime", L + 136, 6, 104, 22);
    lblRecvDateTime = New<QLabel>(this, "lblRecvDateTime", QStringLiteral("着信日時"));
    lblRecvDateTime->setGeometry(8, 31, 86, 22);
    pnlDate = NewPanel(this, "pnlDate", L, 31, 132, 22);
    pnlTime = NewPanel(this, "pnlTime", L + 136, 31, 104, 22);

    pnlDivision = NewPanel(this, "pnlDivision", 340, 6, 156, 47);
    QFont Big = pnlDivision->font();
    Big.setPixelSize(20);
    Big.setBold(true);
    pnlDivision->setFont(Big);
    pnlMsg = New<QFrame>(this, "pnlMsg");
    pnlMsg->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlMsg->setGeometry(340, 6, 156, 47);
    pnlMsg->setAutoFillBackground(true);
    lblMsg1 = New<QLabel>(pnlMsg, "lblMsg1");
    lblMsg1->setGeometry(4, 3, 148, 20);
    lblMsg2 = New<QLabel>(pnlMsg, "lblMsg2");
    lblMsg2->setGeometry(4, 24, 148, 20);
    pnlMsg->hide();

    // Own directory: two numbers.
    pnlTel = New<QFrame>(this, "pnlTel");
    pnlTel->setGeometry(0, 58, ClientWidth, 44);
    NewCaption(pnlTel, QStringLiteral("電話番号"), 8, 14);
    edtTel1 = NewEdit(pnlTel, "edtTel1", 13, L, 14, 104, true);
    bbtnTel1Search =
        NewButton(pnlTel, "bbtnTel1Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"), L + 106, 14);
    bbtnTel1Search->setProperty("Tag", 0);
    edtTel2 = NewEdit(pnlTel, "edtTel2", 13, L + 152, 14, 104, true);
    bbtnTel2Search =
        NewButton(pnlTel, "bbtnTel2Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"), L + 258, 14);
    bbtnTel2Search->setProperty("Tag", 1);
    bbtnExchange =
        NewButton(pnlTel, "bbtnExchange", QStringLiteral("入替"), QStringLiteral("電話番号入れ替え"), L + 302, 14);
    bbtnDial = NewButton(pnlTel, "bbtnDial", QStringLiteral("発信"), QStringLiteral("発信"), L + 346, 14);

    // Address book: the number that rang and the entry's other numbers.
    pnlFbTel = New<QFrame>(this, "pnlFbTel");
    pnlFbTel->setGeometry(0, 58, ClientWidth, 44);
    lblFbTelMain = New<QLabel>(pnlFbTel, "lblFbTelMain", QStringLiteral("着信電話番号"));
    lblFbTelMain->setGeometry(L, 0, 150, 14);
    edtFbTel = NewEdit(pnlFbTel, "edtFbTel", 13, L, 16, 104, true);
    bbtnFbTel1Search =
        NewButton(pnlFbTel, "bbtnFbTel1Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"), L + 106, 16);
    bbtnFbTel1Search->setProperty("Tag", 4);
    lblFbTelSub = New<QLabel>(pnlFbTel, "lblFbTelSub", QStringLiteral("他の電話番号"));
    lblFbTelSub->setGeometry(L + 152, 0, 150, 14);
    cbxFbTel = NewCombo(pnlFbTel, "cbxFbTel", false, 0, L + 152, 16, 120);
    cbxFbTel->setStyleSheet(QStringLiteral("QComboBox { background: silver; }"));
    bbtnFbDial = NewButton(pnlFbTel, "bbtnFbDial", QStringLiteral("発信"), QStringLiteral("発信"), L + 346, 16);
    bbtnFbTel2Search =
        NewButton(pnlFbTel, "bbtnFbTel2Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"), L + 274, 16);
    bbtnFbTel2Search->setProperty("Tag", 5);
    bbtnFbTel2Search->hide();
    pnlFbTel->hide();

    NewCaption(this, QStringLiteral("郵便番号"), 8, 106);
    edtPos = NewEdit(this, "edtPos", 8, L, 106, 80, true);
    bbtnPosSearch =
        NewButton(this, "bbtnPosSearch", QStringLiteral("検索"), QStringLiteral("郵便番号検索"), L + 82, 106);
    bbtnPosSearch->setProperty("Tag", 2);

    NewCaption(this, QStringLiteral("住所"), 8, 130);
    edtTdfkn = NewEdit(this, "edtTdfkn", 8, L, 130, 70);
    edtAdrs1 = NewEdit(this, "edtAdrs1", 32, L + 72, 130, 206);
    bbtnAdrsSearch =
        NewButton(this, "bbtnAdrsSearch", QStringLiteral("検索"), QStringLiteral("住所検索"), L + 280, 130);
    bbtnAdrsSearch->setProperty("Tag", 3);
    bbtnMap = NewButton(this, "bbtnMap", QStringLiteral("地図"), QString(), L + 324, 130);
    edtAdrs2 = NewEdit(this, "edtAdrs2", 100, L, 154, 400);
    edtAdrs3 = NewEdit(this, "edtAdrs3", 116, L, 178, 400);
    lblJisCode = New<QLabel>(this, "lblJisCode");
    lblJisCode->hide();
    lblKajoCode = New<QLabel>(this, "lblKajoCode");
    lblKajoCode->hide();

    NewCaption(this, QStringLiteral("会社名カナ"), 8, 206);
    edtCorpKana = NewEdit(this, "edtCorpKana", 80, L, 206, 400);
    NewCaption(this, QStringLiteral("漢字"), 8, 230);
    edtCorpKanji = NewEdit(this, "edtCorpKanji", 120, L, 230, 400);

    NewCaption(this, QStringLiteral("名前カナ"), 8, 258);
    nmedtNameKana = New<TNMDEdit>(this, "nmedtNameKana");
    nmedtNameKana->setGeometry(L, 258, 170, 21);
    nmedtNameKana->SetInputType(TInputKind::itKana);
    nmedtNameKana->setProperty("Tag", 0);
    SetByteLimit(nmedtNameKana, 25);
    NewCaption(this, QStringLiteral("漢字"), L + 180, 258, 36);
    nmedtNameKanji = New<TNMDEdit>(this, "nmedtNameKanji");
    nmedtNameKanji->setGeometry(L + 216, 258, 184, 21);
    nmedtNameKanji->SetInputType(TInputKind::itKanji);
    nmedtNameKanji->setProperty("Tag", 1);
    SetByteLimit(nmedtNameKanji, 15);
    nmedtNameKana->SetAssociate(nmedtNameKanji);
    nmedtNameKanji->SetAssociate(nmedtNameKana);

    NewCaption(this, QStringLiteral("個人法人区分"), 8, 282);
    cbxPrivCorp = NewCombo(this, "cbxPrivCorp", false, 0, L, 282, 80);

    NewCaption(this, QStringLiteral("登録メモ１"), 8, 310);
    edtMemo1 = NewEdit(this, "edtMemo1", 100, L, 310, 400);
    NewCaption(this, QStringLiteral("登録メモ２"), 8, 334);
    edtMemo2 = NewEdit(this, "edtMemo2", 100, L, 334, 400);
    NewCaption(this, QStringLiteral("登録メモ３"), 8, 358);
    edtMemo3 = NewEdit(this, "edtMemo3", 100, L, 358, 400);

    NewCaption(this, QStringLiteral("メールアドレス"), 8, 386);
    edtEMail = NewEdit(this, "edtEMail", 64, L, 386, 330, true);
    bbtnEMail =
        NewButton(this, "bbtnEMail", QStringLiteral("メール"), QStringLiteral("メーラー起動"), L + 334, 386, 68);

    NewCaption(this, QStringLiteral("ランク"), 8, 410);
    cbxRank = NewCombo(this, "cbxRank", true, 20, L, 410, 170);
    cbxRank->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    bbtnRank = NewButton(this, "bbtnRank", QStringLiteral("編集"), QStringLiteral("ランク編集"), L + 174, 410);
    bbtnRank->setProperty("Tag", 0);

    QLabel** SelLabels[3] = {&lblSelectItem1, &lblSelectItem2, &lblSelectItem3};
    QComboBox** SelCombos[3] = {&cbxSelectItem1, &cbxSelectItem2, &cbxSelectItem3};
    QToolButton** SelButtons[3] = {&bbtnSelectItem1, &bbtnSelectItem2, &bbtnSelectItem3};
    for (int N = 0; N < 3; ++N) {
        const int Y = 434 + 24 * N;
        const QByteArray Suffix = QByteArray::number(N + 1);
        *SelLabels[N] = New<QLabel>(this, ("lblSelectItem" + Suffix).constData());
        (*SelLabels[N])->setGeometry(8, Y, 86, 21);
        *SelCombos[N] = NewCombo(this, ("cbxSelectItem" + Suffix).constData(), true, 30, L, Y, 330);
        *SelButtons[N] =
            NewButton(this, ("bbtnSelectItem" + Suffix).constData(), QStringLiteral("編集"), QString(), L + 334, Y);
        (*SelButtons[N])->setProperty("Tag", N + 1);
    }

    NewCaption(this, QStringLiteral("外部ファイル"), 8, 510);
    lvExtFile = New<QTreeWidget>(this, "lvExtFile");
    lvExtFile->setGeometry(L, 510, 348, 58);
    lvExtFile->setColumnCount(3);
    lvExtFile->setHeaderLabels({QString(), QStringLiteral("フォルダー"), QStringLiteral("ファイル")});
    lvExtFile->setColumnWidth(0, 24);
    lvExtFile->setColumnWidth(1, 200);
    lvExtFile->setColumnWidth(2, 120);
    lvExtFile->setRootIsDecorated(false);
    lvExtFile->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvExtFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvExtFile->setSortingEnabled(false);
    lvExtFile->header()->setSectionsClickable(false);
    lvExtFile->header()->setSectionsMovable(false);
    bbtnOpenExtFile =
        NewButton(this, "bbtnOpenExtFile", QStringLiteral("開く"), QStringLiteral("外部ファイルを開く"), L + 334, 510);
    bbtnAddExtFile =
        NewButton(this, "bbtnAddExtFile", QStringLiteral("登録"), QStringLiteral("外部ファイルの登録"), L + 334, 532);
    bbtnAddExtFile->hide();
    bbtnDelExtFile =
        NewButton(this, "bbtnDelExtFile", QStringLiteral("解除"), QStringLiteral("登録の解除"), L + 380, 532);
    bbtnDelExtFile->hide();

    NewCaption(this, QStringLiteral("備考"), 8, 574);
    mmoNote = New<QPlainTextEdit>(this, "mmoNote");
    mmoNote->setGeometry(L, 574, 400, 54);
    mmoNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoNote->setTabChangesFocus(true);

    constexpr int B = 638;
    bbnMemoPrintSet =
        NewButton(this, "bbnMemoPrintSet", QStringLiteral("項目設定"), QStringLiteral("項目設定"), 6, B, 54, 28);
    bbtnCopy =
        NewButton(this, "bbtnCopy", QStringLiteral("コピー"), QStringLiteral("クリップボードにコピー"), 62, B, 54, 28);
    bbtnMemoPrint = NewButton(this, "bbtnMemoPrint", QStringLiteral("項目印刷"), QStringLiteral("着信照会項目印刷"),
                              118, B, 54, 28);
    bbtnPrint = NewButton(this, "bbtnPrint", QStringLiteral("画面印刷"), QStringLiteral("画面印刷"), 174, B, 54, 28);
    btnAddUpd = New<QPushButton>(this, "btnAddUpd", CaptionRegister);
    btnAddUpd->setGeometry(236, B, 100, 28);
    btnAddUpd->setAutoDefault(false);
    btnLockUnlock = New<QPushButton>(this, "btnLockUnlock", CaptionLock);
    btnLockUnlock->setGeometry(340, B, 78, 28);
    btnLockUnlock->setAutoDefault(false);
    btnCancel = New<QPushButton>(this, "btnCancel", QStringLiteral("キャンセル"));
    btnCancel->setGeometry(422, B, 76, 28);
    btnCancel->setAutoDefault(false);

    for (QToolButton* Search :
         {bbtnTel1Search, bbtnTel2Search, bbtnFbTel1Search, bbtnFbTel2Search, bbtnPosSearch, bbtnAdrsSearch})
        connect(Search, &QToolButton::clicked, this, [this, Search] { bbtnDicSch(Search->property("Tag").toInt()); });
    for (QToolButton* Edit : {bbtnRank, bbtnSelectItem1, bbtnSelectItem2, bbtnSelectItem3})
        connect(Edit, &QToolButton::clicked, this, [this, Edit] { bbtnEditListClick(Edit->property("Tag").toInt()); });
    connect(bbtnExchange, &QToolButton::clicked, this, &TReceiveView::bbtnExchangeClick);
    connect(bbtnDial, &QToolButton::clicked, this, &TReceiveView::bbtnDialClick);
    connect(bbtnFbDial, &QToolButton::clicked, this, &TReceiveView::bbtnDialClick);
    connect(bbtnMap, &QToolButton::clicked, this, &TReceiveView::bbtnMapClick);
    connect(bbtnEMail, &QToolButton::clicked, this, &TReceiveView::bbtnEMailClick);
    connect(bbtnOpenExtFile, &QToolButton::clicked, this, &TReceiveView::bbtnOpenExtFileClick);
    const std::pair<QToolButton*, std::function<void(TReceiveView&)> TReceiveViewTools::*> Printing[] = {
        {bbnMemoPrintSet, &TReceiveViewTools::MemoPrintSet},
        {bbtnCopy, &TReceiveViewTools::Copy},
        {bbtnMemoPrint, &TReceiveViewTools::MemoPrint},
        {bbtnPrint, &TReceiveViewTools::ScreenPrint},
    };
    for (const auto& [Button, Tool] : Printing)
        connect(Button, &QToolButton::clicked, this, [this, Tool = Tool] {
            if (const auto& Run = ReceiveViewTools.*Tool) {
                TNestedGuard Guard(*this, true);
                Run(*this);
            }
        });
    connect(btnAddUpd, &QPushButton::clicked, this, &TReceiveView::RegisterCaller);
    connect(btnLockUnlock, &QPushButton::clicked, this, &TReceiveView::btnLockUnlockClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(2); });

    for (TNMDEdit* Name : {nmedtNameKana, nmedtNameKanji}) {
        Name->OnConvertNeed = [this](QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value) {
            if (ReceiveViewTools.ConvertNeed)
                ReceiveViewTools.ConvertNeed(*this, *static_cast<TNMDEdit*>(Sender), static_cast<int>(Kind), Show,
                                             Value);
        };
        Name->OnConvertKeyDown = [this](QObject*, unsigned& Key, bool& Result) {
            if (ReceiveViewTools.ConvertKeyDown)
                Result = ReceiveViewTools.ConvertKeyDown(*this, Key);
        };
    }

    // Enter walks the form as the table of the window lays down; every control reports its keys here.
    for (QWidget* Child : findChildren<QWidget*>())
        Child->installEventFilter(this);
}

void TReceiveView::FormCreate()
{
    // The window's place is kept in 96-DPI units.
    const QRect Screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    int Left = (Screen.width() - width()) / 2;
    int Top = (Screen.height() - height()) / 2;
    if (!SettingsPath.isEmpty()) {
        const TMemIniFile Ini(SettingsFileName());
        Left = Ini.ReadInteger(Section, QStringLiteral("Left"), Left);
        Top = Ini.ReadInteger(Section, QStringLiteral("Top"), Top);
    }
    move(ScaleByDpi(Left, true), ScaleByDpi(Top, true));

    lblPrevRecvDateTime->setEnabled(Settings.BeforeRecvDateTime);

    cbxPrivCorp->addItems({QStringLiteral("個人"), QStringLiteral("法人")});
    ReloadRankList();
    const QString Names[3] = {Settings.SelectItem1, Settings.SelectItem2, Settings.SelectItem3};
    QLabel* SelLabels[3] = {lblSelectItem1, lblSelectItem2, lblSelectItem3};
    QToolButton* SelButtons[3] = {bbtnSelectItem1, bbtnSelectItem2, bbtnSelectItem3};
    for (int N = 0; N < 3; ++N) {
        SelLabels[N]->setText(Names[N]);
        SelButtons[N]->setToolTip(Names[N] + QStringLiteral("編集"));
        ReloadSelectItemList(N);
    }

    // An adapter kind the library does not list may dial.
    if (VxCommDLL) {
        for (const TAdapterKind& Kind : VxCommDLL->Kinds()) {
            if (Kind.Kind == Settings.Adapter) {
                FCanDial = Kind.DialPorts != 0;
                break;
            }
        }
    }

    // The map and dial buttons appear only while the window is locked.
    FLockedButtons = {bbtnMap, bbtnDial, bbtnFbDial};
    for (QToolButton* Button : FLockedButtons)
        Button->hide();
    bbtnMap->setToolTip(QStringLiteral("地図表示\r\n").replace(QStringLiteral("\r\n"), QStringLiteral("\n")) +
                        MapProgramNames.value(Settings.Map));

    FRefillGuard = false;
    FLocked = false;
    ApplyMode();
    UpdateToolButtons();
}

void TReceiveView::ApplyMode()
{
    const bool Fb = FernbookMode();
    pnlFbTel->setVisible(Fb);
    pnlTel->setVisible(!Fb);
    setProperty(HelpContextProperty, Fb ? HelpContextFb : HelpContextOwn);
}

void TReceiveView::UpdateToolButtons()
{
    const TReceiveViewTools& T = ReceiveViewTools;
    for (QToolButton* Button :
         {bbtnTel1Search, bbtnTel2Search, bbtnFbTel1Search, bbtnFbTel2Search, bbtnPosSearch, bbtnAdrsSearch})
        Button->setEnabled(static_cast<bool>(T.DicSearch));
    for (QToolButton* Button : {bbtnRank, bbtnSelectItem1, bbtnSelectItem2, bbtnSelectItem3})
        Button->setEnabled(static_cast<bool>(T.EditLists));
    bbtnMap->setEnabled(static_cast<bool>(T.Map));
    bbtnDial->setEnabled(FCanDial && T.Dial);
    bbtnFbDial->setEnabled(FCanDial && T.Dial);
    bbnMemoPrintSet->setEnabled(static_cast<bool>(T.MemoPrintSet));
    bbtnCopy->setEnabled(static_cast<bool>(T.Copy));
    bbtnMemoPrint->setEnabled(static_cast<bool>(T.MemoPrint));
    bbtnPrint->setEnabled(static_cast<bool>(T.ScreenPrint));
}

int TReceiveView::Message(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags);
}

void TReceiveView::ShowCall(const TCallerRecord& Record)
{
    FSave.SetCallRecord(Record);
    const TCallerRecord& R = FSave.CallRecord();

    pnlPrevDate->setText(DateText(R.BeforeRecvDateTime));
    pnlPrevTime->setText(TimeText(R.BeforeRecvDateTime));
    pnlDate->setText(DateText(R.RecvDateTime));
    pnlTime->setText(TimeText(R.RecvDateTime));

    const auto NumberOf = [&R](int Slot) {
        return DigitsOnly(R.SchTel[Slot]).isEmpty() ? QString() : R.Tel[Slot].trimmed();
    };
    if (!FernbookMode()) {
        edtTel1->setText(NumberOf(0));
        edtTel2->setText(NumberOf(1));
        setWindowTitle(CaptionView);
    } else {
        const int K = R.TelIndex & 3;
        cbxFbTel->clear();
        if (!NumberOf(K).isEmpty()) {
            edtFbTel->setText(NumberOf(K));
            for (int Slot = 0; Slot < TCallerRecord::SlotCount; ++Slot)
                if (Slot != K && !NumberOf(Slot).isEmpty())
                    cbxFbTel->addItem(NumberOf(Slot));
            cbxFbTel->setCurrentIndex(cbxFbTel->count() > 0 ? 0 : -1);
        } else {
            edtFbTel->clear();
        }
        static const QString Series[3] = {QStringLiteral("着信照会    - Fernbook2013 [ "),
                                          QStringLiteral("着信照会    - Fernbook2013 Trade [ "),
                                          QStringLiteral("着信照会    - Fernbook2013 Trade Plus [ ")};
        const bool Found = FoundInFbAdrs;
        if (!Found)
            setWindowTitle(CaptionView);
        else if (Settings.FbSeries >= 0 && Settings.FbSeries <= 2)
            setWindowTitle(Series[Settings.FbSeries] + Settings.FbAdrsBookName + QStringLiteral(" ]  -"));
    }

    edtPos->setText(R.Pos.trimmed());
    edtTdfkn->setText(R.Tdfkn.trimmed());
    edtAdrs1->setText(R.Adrs1.trimmed());
    edtAdrs2->setText(R.Adrs2.trimmed());
    edtAdrs3->setText(R.Adrs3.trimmed());
    lblJisCode->setText(R.JisCode.trimmed());
    lblKajoCode->setText(R.KajoCode.trimmed());
    edtCorpKana->setText(R.CorpKana.trimmed());
    edtCorpKanji->setText(R.CorpKanji.trimmed());
    // The kana first: the kanji edit empties its reading when it is emptied itself.
    nmedtNameKanji->setText(R.NameKanji.trimmed());
    nmedtNameKana->setText(R.NameKana.trimmed());
    edtMemo1->setText(R.Memo1.trimmed());
    edtMemo2->setText(R.Memo2.trimmed());
    edtMemo3->setText(R.Memo3.trimmed());
    edtEMail->setText(R.EMail.trimmed());
    cbxPrivCorp->setCurrentIndex(R.PrivCorp >= 0 && R.PrivCorp < cbxPrivCorp->count() ? R.PrivCorp : -1);

    cbxRank->setCurrentIndex(-1);
    cbxRank->setEditText(QString());
    if (!R.Rank.isEmpty()) {
        if (FernbookMode()) {
            cbxRank->setEditText(R.Rank);
        } else {
            const int Index = cbxRank->findText(R.Rank, Qt::MatchExactly | Qt::MatchCaseSensitive);
            cbxRank->setCurrentIndex(Index);
            if (Index < 0)
                cbxRank->setEditText(QString());
        }
    }

    cbxSelectItem1->setEditText(R.SelItem1.trimmed());
    cbxSelectItem2->setEditText(R.SelItem2.trimmed());
    cbxSelectItem3->setEditText(R.SelItem3.trimmed());

    FCurLatitude = R.Latitude;
    FCurLongitude = R.Longitude;

    ShowMessagePanel(R.Msg == 1, R.Msg1.trimmed(), R.Msg2.trimmed(), R.BGColor);
    mmoNote->setPlainText(FSave.NoteText());
    FillExtFiles(R.ExtFile);

    if (FSave.IsExisting()) {
        pnlDivision->setText(TextExisting);
        pnlDivision->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
        btnAddUpd->setText(CaptionUpdate);
    } else {
        pnlDivision->setText(TextNew);
        pnlDivision->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
        btnAddUpd->setText(CaptionRegister);
    }
    LogWindowState(this);
}

void TReceiveView::ShowMessagePanel(bool Shown, const QString& Line1, const QString& Line2, const QString& Color)
{
    pnlDivision->setVisible(!Shown);
    pnlMsg->setVisible(Shown);
    if (!Shown)
        return;
    lblMsg1->setText(Line1);
    lblMsg2->setText(Line2);
    // A colour text that is no colour leaves the panel in its default colour rather than stopping
    // the call from being shown.
    FMsgColor.reset();
    if (!Color.trimmed().isEmpty())
        if (const auto Value = ColorFromText(Color))
            FMsgColor = ColorOfValue(*Value);
    QPalette Palette = pnlMsg->palette();
    Palette.setColor(QPalette::Window, FMsgColor.value_or(palette().color(QPalette::Window)));
    pnlMsg->setPalette(Palette);
}

void TReceiveView::FillExtFiles(const std::optional<QStringList>& Files)
{
    lvExtFile->clear();
    if (!Files)
        return;
    int Row = 0;
    for (const QString& Path : *Files) {
        // Entries brought over from earlier versions may still hold a backslash as the folder delimiter.
        const int Slash = static_cast<int>(std::max(Path.lastIndexOf(u'/'), Path.lastIndexOf(u'\\')));
        auto* Item = new QTreeWidgetItem(lvExtFile);
        Item->setText(0, QString::number(++Row));
        Item->setText(1, Path.left(Slash + 1));
        Item->setText(2, Path.mid(Slash + 1));
    }
}

void TReceiveView::SetCurPosition(int Latitude, int Longitude)
{
    FCurLatitude = Latitude;
    FCurLongitude = Longitude;
}

TRecvViewInput TReceiveView::GatherInput() const
{
    TRecvViewInput I;
    I.Tel1 = edtTel1->text();
    I.Tel2 = edtTel2->text();
    I.FbTel = edtFbTel->text();
    I.FbTelSearched = lblFbTelMain->text() == SearchedTelCaption;
    I.Pos = edtPos->text();
    I.Tdfkn = edtTdfkn->text();
    I.Adrs1 = edtAdrs1->text();
    I.Adrs2 = edtAdrs2->text();
    I.Adrs3 = edtAdrs3->text();
    I.JisCode = lblJisCode->text();
    I.KajoCode = lblKajoCode->text();
    I.CorpKana = edtCorpKana->text();
    I.CorpKanji = edtCorpKanji->text();
    I.NameKana = nmedtNameKana->text();
    I.NameKanji = nmedtNameKanji->text();
    I.PrivCorp = cbxPrivCorp->currentIndex();
    I.Memo1 = edtMemo1->text();
    I.Memo2 = edtMemo2->text();
    I.Memo3 = edtMemo3->text();
    I.EMail = edtEMail->text();
    I.Rank = cbxRank->currentText();
    I.SelItem1 = cbxSelectItem1->currentText();
    I.SelItem2 = cbxSelectItem2->currentText();
    I.SelItem3 = cbxSelectItem3->currentText();
    I.Latitude = FCurLatitude;
    I.Longitude = FCurLongitude;
    I.MsgShown = pnlMsg->isVisibleTo(this);
    I.Msg1 = lblMsg1->text();
    I.Msg2 = lblMsg2->text();
    if (I.MsgShown && FMsgColor)
        I.BGColor = ColorToText(ValueOfColor(*FMsgColor));
    // The tables keep the note's lines joined by CR LF, as the record brought them.
    I.Note = mmoNote->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    for (int Row = 0; Row < lvExtFile->topLevelItemCount(); ++Row) {
        const QTreeWidgetItem* Item = lvExtFile->topLevelItem(Row);
        I.ExtFiles << Item->text(1) + Item->text(2);
    }
    return I;
}

void TReceiveView::ApplyInput(const TRecvViewInput& Input)
{
    edtTel1->setText(Input.Tel1);
    edtTel2->setText(Input.Tel2);
}

void TReceiveView::FocusAfterStop(TRecvFocus Focus)
{
    switch (Focus) {
    case TRecvFocus::Tel1:
        SelectAllAndFocus(edtTel1);
        break;
    case TRecvFocus::Tel2:
        CaretToEnd(edtTel2);
        break;
    case TRecvFocus::Tel2All:
        SelectAllAndFocus(edtTel2);
        break;
    case TRecvFocus::FbTel:
        SelectAllAndFocus(edtFbTel);
        break;
    case TRecvFocus::None:
        break;
    }
}

void TReceiveView::SaveBeforeRefill()
{
    TRecvViewInput Input = GatherInput();
    const bool Saved = FSave.SaveBeforeRefill(Input);
    ApplyInput(Input);
    // What failed to save must not be replaced by the next call: the window locks itself, and the
    // user registers again or unlocks it.
    if (!Saved && !FLocked)
        btnLockUnlockClick();
}

void TReceiveView::RegisterCaller()
{
    TRecvViewInput Input = GatherInput();
    TRecvFocus Focus = TRecvFocus::None;
    TRegisterResult Result = TRegisterResult::Stopped;
    {
        TNestedGuard Guard(*this, true);
        Result = FSave.RegisterCaller(Input, Focus);
    }
    ApplyInput(Input);
    if (Result == TRegisterResult::Saved) {
        done(1);
        return;
    }
    if (Result == TRegisterResult::Failed && FSave.IsExisting()) {
        pnlDivision->setText(TextExisting);
        pnlDivision->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
        btnAddUpd->setText(CaptionUpdate);
    }
    FocusAfterStop(Focus);
}

void TReceiveView::BringForward()
{
    if (Settings.NotMoveFocus)
        return;
    // Topmost and back again is what raises a window above all others; a window manager does this
    // with raise and activation. With [SCREEN VIEW] TopView the main window keeps its stay-on-top
    // flag by itself, so raising this one takes nothing from it.
    raise();
    ForceForegroundWindow(this);
}

void TReceiveView::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    BringForward();
    ApplyMode();
    if (FernbookMode())
        CaretToEnd(edtFbTel);
    else
        CaretToEnd(FSave.CallRecord().TelIndex != 0 ? edtTel2 : edtTel1);
}

void TReceiveView::reject()
{
    done(2);
}

void TReceiveView::btnLockUnlockClick()
{
    FLocked = !FLocked;
    btnLockUnlock->setText(FLocked ? CaptionUnlock : CaptionLock);
    for (QToolButton* Button : FLockedButtons)
        Button->setVisible(FLocked);
    FRefillGuard = FLocked;
}

void TReceiveView::bbtnExchangeClick()
{
    const QString First = edtTel1->text();
    edtTel1->setText(edtTel2->text());
    edtTel2->setText(First);
    CaretToEnd(edtTel1);
}

void TReceiveView::bbtnDicSch(int Tag)
{
    if (!ReceiveViewTools.DicSearch)
        return;
    {
        TNestedGuard Guard(*this, false);
        ReceiveViewTools.DicSearch(*this, Tag);
    }
    if (Tag == 4) {
        lblFbTelMain->setText(SearchedTelCaption);
        const bool Found = FoundInFbAdrs;
        if (!Found)
            setWindowTitle(CaptionView);
    }
    QLineEdit* Target[] = {edtTel1, edtTel2, edtPos, edtTdfkn, edtFbTel, edtFbTel};
    CaretToEnd(Target[std::clamp(Tag, 0, 5)]);
}

void TReceiveView::bbtnEditListClick(int Tag)
{
    if (!ReceiveViewTools.EditLists)
        return;
    int Changed = 0;
    {
        TNestedGuard Guard(*this, true);
        Changed = ReceiveViewTools.EditLists(*this, Tag);
    }
    if (Changed & 1)
        ReloadRankList();
    for (int N = 0; N < 3; ++N)
        if (Changed & (2 << N))
            ReloadSelectItemList(N);
    QComboBox* Combos[] = {cbxRank, cbxSelectItem1, cbxSelectItem2, cbxSelectItem3};
    Combos[std::clamp(Tag, 0, 3)]->setFocus();
}

void TReceiveView::bbtnMapClick()
{
    if (!ReceiveViewTools.Map)
        return;
    TNestedGuard Guard(*this, true);
    ReceiveViewTools.Map(*this);
}

void TReceiveView::bbtnDialClick()
{
    if (!ReceiveViewTools.Dial)
        return;
    QStringList Numbers;
    if (FernbookMode()) {
        Numbers << edtFbTel->text().trimmed();
        for (int I = 0; I < cbxFbTel->count(); ++I)
            Numbers << cbxFbTel->itemText(I).trimmed();
    } else {
        Numbers << edtTel1->text().trimmed() << edtTel2->text().trimmed();
    }
    TNestedGuard Guard(*this, true);
    ReceiveViewTools.Dial(*this, Numbers);
}

void TReceiveView::bbtnEMailClick()
{
    QString Address = edtEMail->text().trimmed();
    if (Address.isEmpty()) {
        Message(QStringLiteral("メールアドレスを入力してください  "), MB_OK | MB_ICONINFORMATION);
        CaretToEnd(edtEMail);
        return;
    }
    if (!Address.startsWith(QStringLiteral("mailto:")))
        Address.prepend(QStringLiteral("mailto:"));
    if (!QDesktopServices::openUrl(QUrl(Address)))
        Message(QStringLiteral("メールソフトが起動できませんでした  \r\nResult = 0"), MB_OK | MB_ICONINFORMATION);
}

void TReceiveView::bbtnOpenExtFileClick()
{
    const QTreeWidgetItem* Item = lvExtFile->currentItem();
    if (!Item || !Item->isSelected()) {
        mmoNote->setFocus();
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(Item->text(1) + Item->text(2)));
}

void TReceiveView::ReloadRankList()
{
    const QString Saved = cbxRank->currentText();
    cbxRank->clear();
    if (RankHistory && RankHistory->Items())
        for (const THistoryStruct& Item : *RankHistory->Items())
            cbxRank->addItem(Item.Text);
    cbxRank->setCurrentIndex(-1);
    cbxRank->setEditText(QString());
    if (Saved.trimmed().isEmpty())
        return;
    for (int I = 0; I < cbxRank->count(); ++I) {
        if (cbxRank->itemText(I).trimmed() == Saved.trimmed()) {
            cbxRank->setCurrentIndex(I);
            return;
        }
    }
}

void TReceiveView::ReloadSelectItemList(int N)
{
    QComboBox* Combo = N == 0 ? cbxSelectItem1 : N == 1 ? cbxSelectItem2 : cbxSelectItem3;
    const QString Saved = Combo->currentText();
    Combo->clear();
    if (THistoryData* List = SelItemHistory[std::clamp(N, 0, 2)]; List && List->Items())
        for (const THistoryStruct& Item : *List->Items())
            Combo->addItem(Item.Text);
    Combo->setCurrentIndex(-1);
    Combo->setEditText(QString());
    if (Saved.trimmed().isEmpty())
        return;
    for (int I = 0; I < Combo->count(); ++I) {
        if (Combo->itemText(I).trimmed() == Saved.trimmed()) {
            Combo->setCurrentIndex(I);
            return;
        }
    }
    // A typed value that is not in the list survives the refill.
    Combo->setEditText(Saved);
}

bool TReceiveView::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::InputMethod && Watched == edtCorpKana) {
        // The company's reading is kept in half-width katakana, whatever the input method
        // produces: its result is turned into that form before the edit takes it.
        auto* Input = static_cast<QInputMethodEvent*>(Event);
        const QString Half = ReadingToHalfKana(Input->commitString());
        if (Half != Input->commitString()) {
            QInputMethodEvent Converted(Input->preeditString(), Input->attributes());
            Converted.setCommitString(Half, Input->replacementStart(), Input->replacementLength());
            QApplication::sendEvent(edtCorpKana, &Converted);
            return true;
        }
        return false;
    }
    if (Event->type() == QEvent::FocusIn) {
        // The edits do not select their text when tabbed into (the dialog's first focus included):
        // the caret goes behind the last character instead.
        const auto Reason = static_cast<QFocusEvent*>(Event)->reason();
        if (auto* Edit = qobject_cast<QLineEdit*>(Watched);
            Edit && (Reason == Qt::TabFocusReason || Reason == Qt::BacktabFocusReason))
            QMetaObject::invokeMethod(
                Edit, [Edit] { Edit->setCursorPosition(static_cast<int>(Edit->text().size())); }, Qt::QueuedConnection);
        return QDialog::eventFilter(Watched, Event);
    }
    if (Event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(Watched, Event);
    const auto* Key = static_cast<QKeyEvent*>(Event);
    if (Key->key() != Qt::Key_Return && Key->key() != Qt::Key_Enter)
        return QDialog::eventFilter(Watched, Event);
    // An editable combo reports the key through its line edit.
    QObject* Control = Watched;
    for (QComboBox* Combo : {cbxRank, cbxSelectItem1, cbxSelectItem2, cbxSelectItem3})
        if (Watched == Combo->lineEdit())
            Control = Combo;
    if (Control == mmoNote || Control == mmoNote->viewport())
        return false;
    if (auto* Button = qobject_cast<QAbstractButton*>(Control)) {
        // Enter presses the focused button, where the walk above leads it (a search button, say).
        Button->click();
        return true;
    }

    const auto Blank = [](const QLineEdit* Edit) { return Edit->text().trimmed().isEmpty(); };
    const auto GoEnd = [](QLineEdit* Edit) { CaretToEnd(Edit); };
    // A search button without its dictionary cannot take the focus; Enter then goes on to the field.
    const auto Search = [](const QToolButton* Button) { return Button->isEnabled(); };
    if (Control == edtTel1) {
        Blank(edtTdfkn) && Search(bbtnTel1Search) ? bbtnTel1Search->setFocus() : GoEnd(edtTel2);
    } else if (Control == edtTel2) {
        Blank(edtTel1) && Blank(edtTdfkn) && Search(bbtnTel2Search) ? bbtnTel2Search->setFocus() : GoEnd(edtPos);
    } else if (Control == edtFbTel) {
        Blank(edtTdfkn) && Search(bbtnFbTel1Search) ? bbtnFbTel1Search->setFocus() : cbxFbTel->setFocus();
    } else if (Control == edtPos) {
        Blank(edtTdfkn) && Search(bbtnPosSearch) ? bbtnPosSearch->setFocus() : GoEnd(edtTdfkn);
    } else if (Control == edtAdrs1) {
        GoEnd(edtAdrs2);
    } else if (Control == edtAdrs2) {
        GoEnd(edtAdrs3);
    } else if (Control == edtAdrs3) {
        GoEnd(edtCorpKana);
    } else if (Control == edtEMail) {
        cbxRank->setFocus();
    } else if (Control == cbxRank) {
        cbxSelectItem1->setFocus();
    } else if (Control == cbxSelectItem1) {
        cbxSelectItem2->setFocus();
    } else if (Control == cbxSelectItem2) {
        cbxSelectItem3->setFocus();
    } else if (Control == cbxSelectItem3) {
        lvExtFile->setFocus();
    } else if (Control == lvExtFile || Control == lvExtFile->viewport()) {
        mmoNote->setFocus();
    } else if (auto* Widget = qobject_cast<QWidget*>(Control);
               Widget &&
               (Control == cbxFbTel || Control == edtTdfkn || Control == edtCorpKana || Control == edtCorpKanji ||
                Control == nmedtNameKana || Control == nmedtNameKanji || Control == cbxPrivCorp ||
                Control == edtMemo1 || Control == edtMemo2 || Control == edtMemo3)) {
        focusNextChild();
        if (auto* Edit = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            GoEnd(Edit);
    } else {
        return QDialog::eventFilter(Watched, Event);
    }
    return true;
}

bool ReceiveViewExists()
{
    return ReceiveView != nullptr;
}

bool ReceiveViewRefillGuard()
{
    return ReceiveView && ReceiveView->RefillGuard();
}

void ReceiveViewShowCall(const TCallerRecord& Record)
{
    if (ReceiveView)
        ReceiveView->ShowCall(Record);
}

void ReceiveViewBringForward()
{
    if (ReceiveView)
        ReceiveView->BringForward();
}

int ShowReceiveViewModal(QWidget* Owner, const TCallerRecord& Record)
{
    if (ReceiveView)
        return 0; // one window at a time; the open one is refilled instead
    TReceiveView View(Owner);
    ReceiveView = &View;
    View.ShowCall(Record);
    const int Result = View.exec();
    ReceiveView = nullptr;
    return Result;
}

void ReceiveViewSaveBeforeRefill()
{
    if (ReceiveView && Settings.NewDataView && Settings.AutoAdd && !ReceiveView->RefillGuard())
        ReceiveView->SaveBeforeRefill();
}

void InstallReceiveView(THistoryList& List)
{
    List.ReceiveViewLink = {ReceiveViewExists, ReceiveViewRefillGuard, ReceiveViewShowCall, ReceiveViewBringForward,
                            ShowReceiveViewModal};
    ReceiveViewReloadHistory = [&List] {
        List.LoadPage(0, 0);
        List.FocusListOrCancel();
    };
}
