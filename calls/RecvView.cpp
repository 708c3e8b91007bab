#include "calls/RecvView.h"

#include "calls/HisList.h"
#include "calls/RecvViewText.h"
#include "main/common/CommonForms.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/device/VxComm.h"
#include "main/identify/AppSub.h"
#include "main/identify/DBInfoFb.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

// The incoming-call window: its controls and creation, and the calls the rest of the program makes on it.
// Filling it from a call is in RecvViewFill.cpp, its handlers in RecvViewHandlers.cpp.

using namespace RecvViewText;

TReceiveViewTools ReceiveViewTools;
std::function<void()> ReceiveViewReloadHistory;
TReceiveView* ReceiveView = nullptr;

namespace {

const QString Section = QStringLiteral("RECEIVE VIEW");

// The height that shows Rows rows of List under its header, a row measured as the list draws one.
int ListHeightForRows(QTreeWidget* List, int Rows)
{
    auto* Probe = new QTreeWidgetItem(List, {QStringLiteral("1"), QStringLiteral("Ag"), QStringLiteral("Ag")});
    const int Row = std::max(List->sizeHintForRow(0), List->fontMetrics().height());
    delete Probe;
    return List->header()->sizeHint().height() + Rows * Row + 2 * List->frameWidth();
}
constexpr int ClientWidth = 504;
// Room between a caption and the control it names.
constexpr int CaptionGap = 8;
constexpr int HelpContextOwn = 27;
constexpr int HelpContextFb = 30;
const char* const HelpContextProperty = "HelpContext";

// A bordered panel that shows one value, as the date and division panels are.
QLabel* NewPanel(QWidget* Parent, const char* Name, int X, int Y, int W, int H)
{
    auto* Panel = NewNamed<QLabel>(Parent, Name);
    Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel->setAlignment(Qt::AlignCenter);
    Panel->setGeometry(X, Y, W, H);
    return Panel;
}

} // namespace

TReceiveView::TReceiveView(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("ReceiveView"));
    setWindowTitle(CaptionView);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(EntryFormFont());
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
    FormDestroy();
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

void TReceiveView::FormDestroy()
{
    // The window's place, in 96-DPI units.
    if (!SettingsPath.isEmpty()) {
        (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) {
            Ini.WriteInteger(Section, QStringLiteral("Left"), ScaleByDpi(x(), false));
            Ini.WriteInteger(Section, QStringLiteral("Top"), ScaleByDpi(y(), false));
        });
    }
    SaveMemoPrintSettings(TSettingsSave::Kept);
}

void TReceiveView::CreateControls()
{
    // The layout of the form at 96 DPI, measured with the window's font: the value column starts a
    // clear gap right of the widest caption, and a row is as tall as an edit needs for a line of
    // the font. With the usual style and font that is the form's own 21 pixels and 504 x 673.
    const QFontMetrics Metrics(font());
    int Widest = 0;
    for (const char* Caption :
         {"前回着信日時", "着信日時", "電話番号", "郵便番号", "住所", "会社名カナ", "漢字", "名前カナ", "個人法人区分",
          "登録メモ１", "登録メモ２", "登録メモ３", "メールアドレス", "ランク", "外部ファイル", "備考"})
        Widest = std::max(Widest, Metrics.horizontalAdvance(QString::fromUtf8(Caption)));
    const int L = std::max(96, 8 + Widest + CaptionGap); // left of the value column
    const int W = ClientWidth - 8 - L;                   // a value that fills its row
    const int CW = L - 8 - CaptionGap;                   // a caption
    const int H = EditRowHeight(this);
    const int P = H + 3; // one row to the next
    // An editable list keeps its line in an edit field inside its own frame, which may need a little
    // more; the attached-file list below gives that back, so the form keeps its height.
    QStyleOptionComboBox ComboOption;
    ComboOption.initFrom(this);
    ComboOption.editable = true;
    ComboOption.frame = true;
    ComboOption.rect = QRect(0, 0, 100, H);
    const int EditField =
        style()->subControlRect(QStyle::CC_ComboBox, &ComboOption, QStyle::SC_ComboBoxEditField, nullptr).height();
    const int HC = H + std::max(0, Metrics.height() + 2 - EditField);
    const int PC = HC + 3;
    const auto ComboRow = [HC](int X, int Y, int Width) { return QRect(X, Y, Width, HC); };
    const auto Caption = [CW, H](QWidget* Parent, const QString& Text, int Y) {
        return NewCaption(Parent, Text, 8, Y, CW, H);
    };
    const auto Row = [H](int X, int Y, int Width) { return QRect(X, Y, Width, H); };

    lblPrevRecvDateTime = NewNamed<QLabel>(this, "lblPrevRecvDateTime", QStringLiteral("前回着信日時"));
    lblPrevRecvDateTime->setGeometry(8, 6, CW, 22);
    pnlPrevDate = NewPanel(this, "pnlPrevDate", L, 6, 132, 22);
    pnlPrevTime = NewPanel(this, "pnlPrevTime", L + 136, 6, 104, 22);
    lblRecvDateTime = NewNamed<QLabel>(this, "lblRecvDateTime", QStringLiteral("着信日時"));
    lblRecvDateTime->setGeometry(8, 31, CW, 22);
    pnlDate = NewPanel(this, "pnlDate", L, 31, 132, 22);
    pnlTime = NewPanel(this, "pnlTime", L + 136, 31, 104, 22);

    pnlDivision = NewPanel(this, "pnlDivision", 340, 6, 156, 47);
    QFont Big = pnlDivision->font();
    Big.setPixelSize(20);
    Big.setBold(true);
    pnlDivision->setFont(Big);
    pnlMsg = NewNamed<QFrame>(this, "pnlMsg");
    pnlMsg->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlMsg->setGeometry(340, 6, 156, 47);
    pnlMsg->setAutoFillBackground(true);
    lblMsg1 = NewNamed<QLabel>(pnlMsg, "lblMsg1");
    lblMsg1->setGeometry(4, 3, 148, 20);
    lblMsg2 = NewNamed<QLabel>(pnlMsg, "lblMsg2");
    lblMsg2->setGeometry(4, 24, 148, 20);
    pnlMsg->hide();

    // The numbers' row; the address-book mode's captions stand above it and may reach up a little.
    constexpr int TelY = 72;
    const int FbCaptionHeight = std::max(14, Metrics.height());
    const int PanelTop = std::min(58, TelY - 2 - FbCaptionHeight);
    const int PanelHeight = TelY - PanelTop + H + 9;
    const int T = TelY - PanelTop; // the row inside the panels

    // Own directory: two numbers.
    pnlTel = NewNamed<QFrame>(this, "pnlTel");
    pnlTel->setGeometry(0, PanelTop, ClientWidth, PanelHeight);
    Caption(pnlTel, QStringLiteral("電話番号"), T);
    edtTel1 = NewEdit(pnlTel, "edtTel1", 13, Row(L, T, 104), true);
    bbtnTel1Search = NewButton(pnlTel, "bbtnTel1Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"),
                               Row(L + 106, T, 40));
    bbtnTel1Search->setProperty("Tag", 0);
    edtTel2 = NewEdit(pnlTel, "edtTel2", 13, Row(L + 152, T, 104), true);
    bbtnTel2Search = NewButton(pnlTel, "bbtnTel2Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"),
                               Row(L + 258, T, 40));
    bbtnTel2Search->setProperty("Tag", 1);
    bbtnExchange = NewButton(pnlTel, "bbtnExchange", QStringLiteral("入替"), QStringLiteral("電話番号入れ替え"),
                             Row(L + 302, T, 40));
    bbtnDial = NewButton(pnlTel, "bbtnDial", QStringLiteral("発信"), QStringLiteral("発信"), Row(L + 346, T, 40));

    // Address book: the number that rang and the entry's other numbers.
    pnlFbTel = NewNamed<QFrame>(this, "pnlFbTel");
    pnlFbTel->setGeometry(0, PanelTop, ClientWidth, PanelHeight);
    lblFbTelMain = NewNamed<QLabel>(pnlFbTel, "lblFbTelMain", QStringLiteral("着信電話番号"));
    lblFbTelMain->setGeometry(L, T - 2 - FbCaptionHeight, 150, FbCaptionHeight);
    edtFbTel = NewEdit(pnlFbTel, "edtFbTel", 13, Row(L, T, 104), true);
    bbtnFbTel1Search = NewButton(pnlFbTel, "bbtnFbTel1Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"),
                                 Row(L + 106, T, 40));
    bbtnFbTel1Search->setProperty("Tag", 4);
    lblFbTelSub = NewNamed<QLabel>(pnlFbTel, "lblFbTelSub", QStringLiteral("他の電話番号"));
    lblFbTelSub->setGeometry(L + 152, T - 2 - FbCaptionHeight, 150, FbCaptionHeight);
    cbxFbTel = NewCombo(pnlFbTel, "cbxFbTel", false, 0, Row(L + 152, T, 120));
    cbxFbTel->setStyleSheet(QStringLiteral("QComboBox { background: silver; }"));
    bbtnFbDial = NewButton(pnlFbTel, "bbtnFbDial", QStringLiteral("発信"), QStringLiteral("発信"), Row(L + 346, T, 40));
    bbtnFbTel2Search = NewButton(pnlFbTel, "bbtnFbTel2Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"),
                                 Row(L + 274, T, 40));
    bbtnFbTel2Search->setProperty("Tag", 5);
    bbtnFbTel2Search->hide();
    pnlFbTel->hide();

    int Y = TelY + P + 10; // the first row below the numbers: 106 on the form
    Caption(this, QStringLiteral("郵便番号"), Y);
    edtPos = NewEdit(this, "edtPos", 8, Row(L, Y, 80), true);
    bbtnPosSearch =
        NewButton(this, "bbtnPosSearch", QStringLiteral("検索"), QStringLiteral("郵便番号検索"), Row(L + 82, Y, 40));
    bbtnPosSearch->setProperty("Tag", 2);

    Y += P;
    Caption(this, QStringLiteral("住所"), Y);
    edtTdfkn = NewEdit(this, "edtTdfkn", 8, Row(L, Y, 70));
    edtAdrs1 = NewEdit(this, "edtAdrs1", 32, Row(L + 72, Y, 206));
    bbtnAdrsSearch =
        NewButton(this, "bbtnAdrsSearch", QStringLiteral("検索"), QStringLiteral("住所検索"), Row(L + 280, Y, 40));
    bbtnAdrsSearch->setProperty("Tag", 3);
    bbtnMap = NewButton(this, "bbtnMap", QStringLiteral("地図"), QString(), Row(L + 324, Y, 40));
    Y += P;
    edtAdrs2 = NewEdit(this, "edtAdrs2", 100, Row(L, Y, W));
    Y += P;
    edtAdrs3 = NewEdit(this, "edtAdrs3", 116, Row(L, Y, W));
    lblJisCode = NewNamed<QLabel>(this, "lblJisCode");
    lblJisCode->hide();
    lblKajoCode = NewNamed<QLabel>(this, "lblKajoCode");
    lblKajoCode->hide();

    Y += P + 4;
    Caption(this, QStringLiteral("会社名カナ"), Y);
    edtCorpKana = NewEdit(this, "edtCorpKana", 80, Row(L, Y, W));
    Y += P;
    Caption(this, QStringLiteral("漢字"), Y);
    edtCorpKanji = NewEdit(this, "edtCorpKanji", 120, Row(L, Y, W));

    Y += P + 4;
    Caption(this, QStringLiteral("名前カナ"), Y);
    nmedtNameKana = NewNamed<TNMDEdit>(this, "nmedtNameKana");
    nmedtNameKana->setGeometry(Row(L, Y, 170));
    nmedtNameKana->SetInputType(TInputKind::itKana);
    nmedtNameKana->setProperty("Tag", 0);
    SetByteLimit(nmedtNameKana, 25);
    NewCaption(this, QStringLiteral("漢字"), L + 180, Y, 36, H);
    nmedtNameKanji = NewNamed<TNMDEdit>(this, "nmedtNameKanji");
    nmedtNameKanji->setGeometry(Row(L + 216, Y, W - 216));
    nmedtNameKanji->SetInputType(TInputKind::itKanji);
    nmedtNameKanji->setProperty("Tag", 1);
    SetByteLimit(nmedtNameKanji, 15);
    nmedtNameKana->SetAssociate(nmedtNameKanji);
    nmedtNameKanji->SetAssociate(nmedtNameKana);

    Y += P;
    Caption(this, QStringLiteral("個人法人区分"), Y);
    cbxPrivCorp = NewCombo(this, "cbxPrivCorp", false, 0, Row(L, Y, 80));

    Y += P + 4;
    Caption(this, QStringLiteral("登録メモ１"), Y);
    edtMemo1 = NewEdit(this, "edtMemo1", 100, Row(L, Y, W));
    Y += P;
    Caption(this, QStringLiteral("登録メモ２"), Y);
    edtMemo2 = NewEdit(this, "edtMemo2", 100, Row(L, Y, W));
    Y += P;
    Caption(this, QStringLiteral("登録メモ３"), Y);
    edtMemo3 = NewEdit(this, "edtMemo3", 100, Row(L, Y, W));

    Y += P + 4;
    Caption(this, QStringLiteral("メールアドレス"), Y);
    edtEMail = NewEdit(this, "edtEMail", 64, Row(L, Y, 330), true);
    bbtnEMail = NewButton(this, "bbtnEMail", QStringLiteral("メール"), QStringLiteral("メーラー起動"),
                          Row(L + 334, Y, W - 334));

    Y += P;
    NewCaption(this, QStringLiteral("ランク"), 8, Y, CW, HC);
    cbxRank = NewCombo(this, "cbxRank", true, 20, ComboRow(L, Y, 170));
    CloseInputMethod(cbxRank);
    // A test driving the real program puts the focus where a person would click.
    ScriptWindow(this, false);
    bbtnRank =
        NewButton(this, "bbtnRank", QStringLiteral("編集"), QStringLiteral("ランク編集"), ComboRow(L + 174, Y, 40));
    bbtnRank->setProperty("Tag", 0);

    QLabel** SelLabels[3] = {&lblSelectItem1, &lblSelectItem2, &lblSelectItem3};
    QComboBox** SelCombos[3] = {&cbxSelectItem1, &cbxSelectItem2, &cbxSelectItem3};
    QToolButton** SelButtons[3] = {&bbtnSelectItem1, &bbtnSelectItem2, &bbtnSelectItem3};
    for (int N = 0; N < 3; ++N) {
        Y += PC;
        const QByteArray Suffix = QByteArray::number(N + 1);
        *SelLabels[N] = NewNamed<QLabel>(this, ("lblSelectItem" + Suffix).constData());
        (*SelLabels[N])->setGeometry(8, Y, CW, HC);
        *SelCombos[N] = NewCombo(this, ("cbxSelectItem" + Suffix).constData(), true, 30, ComboRow(L, Y, 330));
        *SelButtons[N] = NewButton(this, ("bbtnSelectItem" + Suffix).constData(), QStringLiteral("編集"), QString(),
                                   ComboRow(L + 334, Y, 40));
        (*SelButtons[N])->setProperty("Tag", N + 1);
    }

    Y += PC + 4;
    Caption(this, QStringLiteral("外部ファイル"), Y);
    lvExtFile = NewNamed<TSortListView>(this, "lvExtFile");
    lvExtFile->setColumnCount(3);
    lvExtFile->setHeaderLabels({QString(), QStringLiteral("フォルダー"), QStringLiteral("ファイル")});
    lvExtFile->header()->setMinimumSectionSize(16); // the number column is narrower than the header's default
    lvExtFile->setColumnWidth(0, 24);
    lvExtFile->setColumnWidth(1, 184);
    lvExtFile->setColumnWidth(2, 120);
    lvExtFile->setRootIsDecorated(false);
    // The columns fill the list, so no scroll bar takes a row; three files show at once, whatever
    // the font makes of a row.
    lvExtFile->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int ListHeight = std::max(46, ListHeightForRows(lvExtFile, 3));
    lvExtFile->setGeometry(L, Y, 330, ListHeight);
    lvExtFile->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvExtFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The files stay in the order they were attached: no sort state a click could change.
    lvExtFile->SetSortDirs({sdNone});
    lvExtFile->SetSortIndex(0);
    lvExtFile->SetShowDragImage(false);
    lvExtFile->header()->setSectionsClickable(false);
    lvExtFile->header()->setSectionsMovable(false);
    bbtnOpenExtFile = NewButton(this, "bbtnOpenExtFile", QStringLiteral("開く"), QStringLiteral("外部ファイルを開く"),
                                Row(L + 334, Y, 40));
    bbtnAddExtFile = NewButton(this, "bbtnAddExtFile", QStringLiteral("登録"), QStringLiteral("外部ファイルの登録"),
                               Row(L + 334, Y + 22, 40));
    bbtnAddExtFile->hide();
    bbtnDelExtFile = NewButton(this, "bbtnDelExtFile", QStringLiteral("解除"), QStringLiteral("登録の解除"),
                               Row(L + 380, Y + 22, 40));
    bbtnDelExtFile->hide();

    Y += ListHeight + 6;
    Caption(this, QStringLiteral("備考"), Y);
    mmoNote = NewNamed<QPlainTextEdit>(this, "mmoNote");
    mmoNote->setGeometry(L, Y, W, 54);
    mmoNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoNote->setTabChangesFocus(true);

    const int B = Y + 64;
    bbnMemoPrintSet =
        NewButton(this, "bbnMemoPrintSet", QStringLiteral("項目設定"), QStringLiteral("項目設定"), QRect(6, B, 54, 28));
    bbtnCopy = NewButton(this, "bbtnCopy", QStringLiteral("コピー"), QStringLiteral("クリップボードにコピー"),
                         QRect(62, B, 54, 28));
    bbtnMemoPrint = NewButton(this, "bbtnMemoPrint", QStringLiteral("項目印刷"), QStringLiteral("着信照会項目印刷"),
                              QRect(118, B, 54, 28));
    bbtnPrint =
        NewButton(this, "bbtnPrint", QStringLiteral("画面印刷"), QStringLiteral("画面印刷"), QRect(174, B, 54, 28));
    btnAddUpd = NewNamed<QPushButton>(this, "btnAddUpd", CaptionRegister);
    btnAddUpd->setGeometry(236, B, 100, 28);
    btnAddUpd->setAutoDefault(false);
    btnLockUnlock = NewNamed<QPushButton>(this, "btnLockUnlock", CaptionLock);
    btnLockUnlock->setGeometry(340, B, 78, 28);
    btnLockUnlock->setAutoDefault(false);
    btnCancel = NewNamed<QPushButton>(this, "btnCancel", QStringLiteral("キャンセル"));
    btnCancel->setGeometry(422, B, 76, 28);
    btnCancel->setAutoDefault(false);
    SetClientSize(this, QSize(ClientWidth, B + 35));

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
    connect(bbtnAddExtFile, &QToolButton::clicked, this, &TReceiveView::bbtnAddExtFileClick);
    connect(bbtnDelExtFile, &QToolButton::clicked, this, &TReceiveView::bbtnDelExtFileClick);
    connect(bbnMemoPrintSet, &QToolButton::clicked, this, &TReceiveView::bbnMemoPrintSetClick);
    connect(bbtnCopy, &QToolButton::clicked, this, &TReceiveView::bbtnCopyClick);
    connect(bbtnMemoPrint, &QToolButton::clicked, this, &TReceiveView::bbtnMemoPrintClick);
    connect(bbtnPrint, &QToolButton::clicked, this, &TReceiveView::bbtnPrintClick);
    connect(btnAddUpd, &QPushButton::clicked, this, &TReceiveView::btnAddUpdClick);
    connect(btnLockUnlock, &QPushButton::clicked, this, &TReceiveView::btnLockUnlockClick);
    connect(btnCancel, &QPushButton::clicked, this, &TReceiveView::btnCancelClick);

    for (TNMDEdit* Name : {nmedtNameKana, nmedtNameKanji}) {
        Name->OnConvertNeed = [this](QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value) {
            nmedtNameConvertNeed(Sender, Kind, Show, Value);
        };
        Name->OnConvertKeyDown = [this](QObject* Sender, unsigned& Key, bool& Result) {
            nmedtNameConvertKeyDown(Sender, Key, Result);
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
    MoveToStoredPlace(this, QPoint(ScaleByDpi(Left, true), ScaleByDpi(Top, true)));

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

    LoadMemoPrintSettings();
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
