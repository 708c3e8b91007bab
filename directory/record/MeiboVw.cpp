#include "directory/record/MeiboVw.h"

#include "calls/CallTel.h"
#include "directory/namedic/NameDicOpener.h"
#include "directory/picklist/InputLst.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/device/VxComm.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/WindowScript.h"
#include "widelayer/UniSortListView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

// The directory record window: its controls and creation, its settings and its buttons. Showing an
// entry and reading it back is in MeiboVwFill.cpp.

TMeiboViewTools MeiboViewTools;

void TMeiboViewTools::NameDicConvertNeed(TMeiboView& View, TNMDEdit& Edit, int Kind, bool Show, const QString& Value)
{
    ::NameDicConvertNeed(&View, Edit, Kind, Show, Value);
}

void TMeiboViewTools::DialNumbers(TMeiboView& View, const QStringList& Numbers)
{
    RunCallsTelephone(&View, Numbers);
}

bool TMeiboViewTools::NameDicConvertKeyDown(TMeiboView& View, unsigned Key)
{
    return ::NameDicConvertKeyDown(&View, Key);
}

namespace {

const QString Section = QStringLiteral("MEIBO VIEW");
constexpr int ClientWidth = 520;
constexpr int ListHeight = 172;
constexpr int BottomHeight = 44;
constexpr int L = 96; // left of the value column of the main tab

// Whether the call-history panel is shown: one value for every record window of the program.
bool RecvList = false;

const QString CaptionShowList = QStringLiteral("照会データの履歴一覧を表示(&V)");
const QString CaptionHideList = QStringLiteral("照会データの履歴一覧を隠す(&H)");

QLabel* NewNamedCaption(QWidget* Parent, const char* Name, const QString& Text, QRect Place)
{
    QLabel* Label = NewCaption(Parent, Text, Place.x(), Place.y(), Place.width(), Place.height());
    Label->setObjectName(QLatin1String(Name));
    return Label;
}

// A list of rows that are looked at, not edited or sorted.
TSortListView* NewRowList(QWidget* Parent, const char* Name, const QStringList& Captions, const QList<int>& Widths)
{
    auto* List = NewNamed<TSortListView>(Parent, Name);
    List->setColumnCount(static_cast<int>(Captions.size()));
    List->setHeaderLabels(Captions);
    // The number column is narrower than the style's least section; the columns keep the form's widths.
    List->header()->setMinimumSectionSize(16);
    for (int I = 0; I < Widths.size(); ++I)
        List->setColumnWidth(I, Widths[I]);
    List->setRootIsDecorated(false);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->header()->setSectionsClickable(false);
    List->header()->setSectionsMovable(false);
    List->header()->setStretchLastSection(false);
    // No column is sorted, so no header shows the arrow.
    List->SetSortDirs({sdNone});
    return List;
}

} // namespace

TMeiboView::TMeiboView(TDMVxRelvo16& Data, QWidget* Owner) : QDialog(Owner), FData(Data), FSave(Data)
{
    setObjectName(QStringLiteral("MeiboView"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(EntryFormFont());
    FRowHeight = EditRowHeight(this);
    FSave.Message = [this](const QString& Text, unsigned Flags) { return Message(Text, Flags); };
    CreateControls();
    FormCreate();
    // A test driving the real program puts the focus where a person would click.
    ScriptWindow(this, false);
}

TMeiboView::~TMeiboView()
{
    FormDestroy();
    // The call list outlives this body's members: it must not ask for rows they held.
    lvHisList->OnData = nullptr;
    lvHisList->OnDataHint = nullptr;
    lvHisList->OnColumnRightClick = nullptr;
    // The name edits outlive this body; the window's pop-up is closed now, while the window is whole.
    for (TNMDEdit* Name : {nmedtNameKana, nmedtNameKanji}) {
        if (MeiboViewTools.ConvertNeed)
            MeiboViewTools.ConvertNeed(*this, *Name, static_cast<int>(Name->NameKind()), false, QString());
        Name->OnConvertNeed = nullptr;
        Name->OnConvertKeyDown = nullptr;
    }
}

void TMeiboView::CreateControls()
{
    pgcMeibo = NewNamed<QTabWidget>(this, "pgcMeibo");
    pgcMeibo->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 80px; }"));
    tabMain = NewNamed<QWidget>(nullptr, "tabMain");
    tabSub = NewNamed<QWidget>(nullptr, "tabSub");
    pgcMeibo->addTab(tabMain, QStringLiteral("メイン"));
    pgcMeibo->addTab(tabSub, QStringLiteral("サブ"));
    const int Content = std::max(CreateMainTab(), CreateSubTab());
    // The pages hold their rows with a margin below the last one, under the tabs' own bar.
    FTabsHeight = 6 + pgcMeibo->tabBar()->sizeHint().height() + Content + 14;
    pgcMeibo->setGeometry(6, 6, ClientWidth - 12, FTabsHeight - 10);

    pnlList = NewNamed<QFrame>(this, "pnlList");
    pnlList->setGeometry(0, FTabsHeight, ClientWidth, ListHeight);
    CreateHistoryList();

    pnlBottom = NewNamed<QFrame>(this, "pnlBottom");
    btnOpenRecv = NewNamed<QPushButton>(pnlBottom, "btnOpenRecv", CaptionShowList);
    btnOpenRecv->setGeometry(6, 0, 210, 28);
    btnAddUpd = NewNamed<QPushButton>(pnlBottom, "btnAddUpd", QStringLiteral("登録(&A)"));
    btnAddUpd->setGeometry(ClientWidth - 188, 0, 90, 28);
    btnCancel = NewNamed<QPushButton>(pnlBottom, "btnCancel", QStringLiteral("キャンセル"));
    btnCancel->setGeometry(ClientWidth - 94, 0, 88, 28);
    // Enter belongs to the fields, never to a default button.
    for (QPushButton* Button : findChildren<QPushButton*>())
        Button->setAutoDefault(false);

    connect(btnAddUpd, &QPushButton::clicked, this, &TMeiboView::btnAddUpdClick);
    connect(btnCancel, &QPushButton::clicked, this, &TMeiboView::btnCancelClick);
    connect(btnOpenRecv, &QPushButton::clicked, this, &TMeiboView::btnOpenRecvClick);
    connect(bbtnExchange, &QToolButton::clicked, this, &TMeiboView::bbtnExchangeClick);
    connect(bbtnRank, &QToolButton::clicked, this, &TMeiboView::bbtnEditListClick);
    for (QToolButton* Search : {bbtnTel1Search, bbtnTel2Search, bbtnPosSearch, bbtnAdrsSearch})
        connect(Search, &QToolButton::clicked, this, [this, Search] { bbtnDicSch(Search->property("Tag").toInt()); });
    connect(bbtnMap, &QToolButton::clicked, this, &TMeiboView::bbtnMapClick);
    connect(bbtnDial, &QToolButton::clicked, this, &TMeiboView::bbtnDialClick);
    connect(chkMsg, &QCheckBox::clicked, this, &TMeiboView::chkMsgClick);
    connect(bbtnResetColor, &QToolButton::clicked, this, &TMeiboView::bbtnResetColorClick);
    connect(edtLine1, &QLineEdit::textChanged, this, &TMeiboView::edtLine1Change);
    connect(edtLine2, &QLineEdit::textChanged, this, &TMeiboView::edtLine2Change);
    connect(bbtnEMail, &QToolButton::clicked, this, &TMeiboView::bbtnEMailClick);
    connect(bbtnAddExtFile, &QToolButton::clicked, this, &TMeiboView::bbtnAddExtFileClick);
    connect(bbtnDelExtFile, &QToolButton::clicked, this, &TMeiboView::bbtnDelExtFileClick);
    connect(bbtnOpenExtFile, &QToolButton::clicked, this, &TMeiboView::bbtnOpenExtFileClick);
    connect(bbtnBGColor, &QToolButton::clicked, this, &TMeiboView::bbtnBGColorClick);
    // The company reading's input and the Enter walk of every field come here.
    for (QWidget* Child : findChildren<QWidget*>())
        Child->installEventFilter(this);
    for (TNMDEdit* Name : {nmedtNameKana, nmedtNameKanji}) {
        Name->OnConvertNeed = [this](QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value) {
            nmedtNameConvertNeed(Sender, Kind, Show, Value);
        };
        Name->OnConvertKeyDown = [this](QObject* Sender, unsigned& Key, bool& Result) {
            nmedtNameConvertKeyDown(Sender, Key, Result);
        };
    }
}

int TMeiboView::CreateMainTab()
{
    QWidget* P = tabMain;
    const int H = FRowHeight;
    const auto Row = [H](int X, int Y, int W) { return QRect(X, Y, W, H); };
    const auto Caption = [P, H](const QString& Text, int Y) { NewCaption(P, Text, 8, Y, L - 10, H); };
    const int Pitch = H + 3;

    int Y = 10;
    Caption(QStringLiteral("電話番号"), Y);
    edtTel1 = NewEdit(P, "edtTel1", 13, Row(L, Y, 104), true);
    bbtnTel1Search =
        NewButton(P, "bbtnTel1Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"), Row(L + 106, Y, 40));
    bbtnTel1Search->setProperty("Tag", 0);
    edtTel2 = NewEdit(P, "edtTel2", 13, Row(L + 152, Y, 104), true);
    bbtnTel2Search =
        NewButton(P, "bbtnTel2Search", QStringLiteral("検索"), QStringLiteral("電話番号検索"), Row(L + 258, Y, 40));
    bbtnTel2Search->setProperty("Tag", 1);
    bbtnExchange =
        NewButton(P, "bbtnExchange", QStringLiteral("入替"), QStringLiteral("電話番号入れ替え"), Row(L + 302, Y, 40));
    bbtnDial = NewButton(P, "bbtnDial", QStringLiteral("発信"), QStringLiteral("発信"), Row(L + 346, Y, 40));

    Y += Pitch + 4;
    Caption(QStringLiteral("郵便番号"), Y);
    edtPos = NewEdit(P, "edtPos", 8, Row(L, Y, 80), true);
    bbtnPosSearch =
        NewButton(P, "bbtnPosSearch", QStringLiteral("検索"), QStringLiteral("郵便番号検索"), Row(L + 82, Y, 40));
    bbtnPosSearch->setProperty("Tag", 2);

    Y += Pitch;
    Caption(QStringLiteral("住所"), Y);
    edtTdfkn = NewEdit(P, "edtTdfkn", 8, Row(L, Y, 70));
    edtAdrs1 = NewEdit(P, "edtAdrs1", 32, Row(L + 72, Y, 206));
    bbtnAdrsSearch =
        NewButton(P, "bbtnAdrsSearch", QStringLiteral("検索"), QStringLiteral("住所検索"), Row(L + 280, Y, 40));
    bbtnAdrsSearch->setProperty("Tag", 3);
    bbtnMap = NewButton(P, "bbtnMap", QStringLiteral("地図"), QString(), Row(L + 324, Y, 40));
    Y += Pitch;
    edtAdrs2 = NewEdit(P, "edtAdrs2", 100, Row(L, Y, 400));
    Y += Pitch;
    edtAdrs3 = NewEdit(P, "edtAdrs3", 116, Row(L, Y, 400));
    lblJisCode = NewNamed<QLabel>(P, "lblJisCode");
    lblJisCode->hide();
    lblKajoCode = NewNamed<QLabel>(P, "lblKajoCode");
    lblKajoCode->hide();

    Y += Pitch + 4;
    Caption(QStringLiteral("会社名カナ"), Y);
    edtCorpKana = NewEdit(P, "edtCorpKana", 80, Row(L, Y, 400));
    Y += Pitch;
    Caption(QStringLiteral("漢字"), Y);
    edtCorpKanji = NewEdit(P, "edtCorpKanji", 120, Row(L, Y, 400));

    Y += Pitch + 4;
    Caption(QStringLiteral("名前カナ"), Y);
    nmedtNameKana = NewNamed<TNMDEdit>(P, "nmedtNameKana");
    nmedtNameKana->setGeometry(Row(L, Y, 170));
    nmedtNameKana->SetInputType(TInputKind::itKana);
    nmedtNameKana->setProperty("Tag", 0);
    SetByteLimit(nmedtNameKana, 25);
    NewCaption(P, QStringLiteral("漢字"), L + 180, Y, 36, H);
    nmedtNameKanji = NewNamed<TNMDEdit>(P, "nmedtNameKanji");
    nmedtNameKanji->setGeometry(Row(L + 216, Y, 184));
    nmedtNameKanji->SetInputType(TInputKind::itKanji);
    nmedtNameKanji->setProperty("Tag", 1);
    nmedtNameKanji->setMaxLength(15);
    nmedtNameKana->SetAssociate(nmedtNameKanji);
    nmedtNameKanji->SetAssociate(nmedtNameKana);

    Y += Pitch;
    Caption(QStringLiteral("個人法人区分"), Y);
    cbxPrivCorp = NewCombo(P, "cbxPrivCorp", false, 0, Row(L, Y, 80));

    Y += Pitch + 4;
    Caption(QStringLiteral("登録メモ１"), Y);
    edtMemo1 = NewEdit(P, "edtMemo1", 100, Row(L, Y, 400));
    Y += Pitch;
    Caption(QStringLiteral("登録メモ２"), Y);
    edtMemo2 = NewEdit(P, "edtMemo2", 100, Row(L, Y, 400));
    Y += Pitch;
    Caption(QStringLiteral("登録メモ３"), Y);
    edtMemo3 = NewEdit(P, "edtMemo3", 100, Row(L, Y, 400));

    Y += Pitch + 4;
    Caption(QStringLiteral("メールアドレス"), Y);
    edtEMail = NewEdit(P, "edtEMail", 64, Row(L, Y, 330), true);
    bbtnEMail =
        NewButton(P, "bbtnEMail", QStringLiteral("メール"), QStringLiteral("メーラー起動"), Row(L + 334, Y, 66));

    Y += Pitch + 4;
    Caption(QStringLiteral("ランク"), Y);
    cbxRank = NewCombo(P, "cbxRank", false, 0, Row(L, Y, 170));
    bbtnRank = NewButton(P, "bbtnRank", QStringLiteral("編集"), QStringLiteral("ランク編集"), Row(L + 174, Y, 40));
    return Y + H;
}

int TMeiboView::CreateSubTab()
{
    QWidget* P = tabSub;
    const int H = FRowHeight;
    const auto Row = [H](int X, int Y, int W) { return QRect(X, Y, W, H); };

    NewCaption(P, QStringLiteral("登録日時："), 8, 10, 64, H);
    edtAddDateTime = NewEdit(P, "edtAddDateTime", 0, Row(72, 10, 150));
    edtAddDateTime->setReadOnly(true);
    NewCaption(P, QStringLiteral("更新日時："), 250, 10, 64, H);
    edtUpdDateTime = NewEdit(P, "edtUpdDateTime", 0, Row(314, 10, 150));
    edtUpdDateTime->setReadOnly(true);
    // The stamps can be selected with the mouse and copied, but Tab and the opening of the tab pass
    // them by: there is nothing to type there.
    for (QLineEdit* Stamp : {edtAddDateTime, edtUpdDateTime})
        Stamp->setFocusPolicy(Qt::ClickFocus);

    int Y = 10 + H + 9;
    gbxExtFile = NewNamed<QGroupBox>(P, "gbxExtFile", QStringLiteral("外部ファイル"));
    gbxExtFile->setGeometry(6, Y, 490, 112);
    lvExtFile = NewRowList(gbxExtFile, "lvExtFile",
                           {QString(), QStringLiteral("フォルダー"), QStringLiteral("ファイル")}, {24, 250, 150});
    lvExtFile->setGeometry(8, 20, 430, 84);
    bbtnAddExtFile = NewButton(gbxExtFile, "bbtnAddExtFile", QStringLiteral("登録"),
                               QStringLiteral("外部ファイルの登録"), Row(444, 20, 40));
    bbtnDelExtFile = NewButton(gbxExtFile, "bbtnDelExtFile", QStringLiteral("解除"), QStringLiteral("登録の解除"),
                               Row(444, 24 + H, 40));
    bbtnOpenExtFile = NewButton(gbxExtFile, "bbtnOpenExtFile", QStringLiteral("開く"),
                                QStringLiteral("外部ファイルを開く"), Row(444, 104 - H, 40));

    Y += 118;
    gbxNote = NewNamed<QGroupBox>(P, "gbxNote", QStringLiteral("備考"));
    gbxNote->setGeometry(6, Y, 490, 80);
    mmoNote = NewNamed<QPlainTextEdit>(gbxNote, "mmoNote");
    mmoNote->setGeometry(8, 20, 474, 52);
    mmoNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoNote->setTabChangesFocus(true);

    Y += 86;
    const int Pitch = H + 5;
    gbxMsg = NewNamed<QGroupBox>(P, "gbxMsg", QStringLiteral("着信時メッセージ"));
    gbxMsg->setGeometry(6, Y, 490, std::max(132, 48 + 3 * Pitch));
    chkMsg = NewNamed<QCheckBox>(gbxMsg, "chkMsg", QStringLiteral("着信照会画面に個別の着信時メッセージを表示する"));
    chkMsg->setGeometry(8, 20, 400, 20);
    int Line = 44;
    lblLine1 = NewNamedCaption(gbxMsg, "lblLine1", QStringLiteral("１行目："), Row(8, Line, 56));
    edtLine1 = NewEdit(gbxMsg, "edtLine1", 0, Row(64, Line, 200));
    edtLine1->setMaxLength(16);
    Line += Pitch;
    lblLine2 = NewNamedCaption(gbxMsg, "lblLine2", QStringLiteral("2行目："), Row(8, Line, 56));
    edtLine2 = NewEdit(gbxMsg, "edtLine2", 0, Row(64, Line, 200));
    edtLine2->setMaxLength(16);
    Line += Pitch;
    lblBGColor = NewNamedCaption(gbxMsg, "lblBGColor", QStringLiteral("背景色："), Row(8, Line, 56));
    pnlBGColor = NewNamed<QFrame>(gbxMsg, "pnlBGColor");
    pnlBGColor->setGeometry(Row(64, Line, 50));
    pnlBGColor->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlBGColor->setAutoFillBackground(true);
    bbtnBGColor =
        NewButton(gbxMsg, "bbtnBGColor", QStringLiteral("色の変更"), QStringLiteral("色の変更"), Row(118, Line, 70));
    bbtnResetColor = NewButton(gbxMsg, "bbtnResetColor", QStringLiteral("色の初期化"), QStringLiteral("色の初期化"),
                               Row(192, Line, 76));

    gbxPreview = NewNamed<QGroupBox>(gbxMsg, "gbxPreview");
    gbxPreview->setGeometry(280, 40, 200, 84);
    lblPreview = NewNamedCaption(gbxPreview, "lblPreview", QStringLiteral("プレビュー："), QRect(8, 4, 100, H));
    // As large as the message panel of the incoming-call window, so the lines break as they will there.
    pnlMsg = NewNamed<QFrame>(gbxPreview, "pnlMsg");
    pnlMsg->setGeometry(20, 28, 160, 48);
    pnlMsg->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlMsg->setAutoFillBackground(true);
    lblMsg1 = NewNamed<QLabel>(pnlMsg, "lblMsg1");
    lblMsg1->setGeometry(6, 3, 148, 20);
    lblMsg2 = NewNamed<QLabel>(pnlMsg, "lblMsg2");
    lblMsg2->setGeometry(6, 24, 148, 20);
    return Y + gbxMsg->height();
}

void TMeiboView::FormCreate()
{
    const QPoint Place = LoadSettings();
    ApplyHistoryPanel();
    // Placed once its height is known, so that a place off every screen comes back whole.
    MoveToStoredPlace(this, Place);
    pgcMeibo->setCurrentWidget(tabMain);
    cbxPrivCorp->addItems({QStringLiteral("個人"), QStringLiteral("法人")});
    ReloadRankList();

    // An adapter kind the library does not list may dial.
    if (VxCommDLL) {
        for (const TAdapterKind& Kind : VxCommDLL->Kinds()) {
            if (Kind.Kind == Settings.Adapter) {
                FCanDial = Kind.DialPorts != 0;
                break;
            }
        }
    }
    bbtnMap->setToolTip(QStringLiteral("地図表示\n") + MapProgramNames.value(Settings.Map));
    chkMsg->setToolTip(QStringLiteral("現在照会しているデータに着信があった場合に\n"
                                      "着信照会画面の右上に個別のメッセージを表示するように設定します"));
    UpdateToolButtons();
    SetCaption(false);
    ClearFields();
}

void TMeiboView::UpdateToolButtons()
{
    const TMeiboViewTools& T = MeiboViewTools;
    for (QToolButton* Button : {bbtnTel1Search, bbtnTel2Search, bbtnPosSearch, bbtnAdrsSearch})
        Button->setEnabled(static_cast<bool>(T.Dictionary));
    bbtnMap->setEnabled(static_cast<bool>(T.Map));
    bbtnDial->setEnabled(FCanDial && T.Dial);
}

void TMeiboView::FormDestroy()
{
    SaveSettings();
}

QPoint TMeiboView::LoadSettings()
{
    // The window's place is kept in 96-DPI units; without one it is centred on the screen.
    const QScreen* Screen = QGuiApplication::primaryScreen();
    const QRect Area = Screen ? Screen->availableGeometry() : QRect();
    int Left = ScaleByDpi(Area.x() + (Area.width() - ClientWidth) / 2, false);
    int Top = ScaleByDpi(Area.y() + (Area.height() - FTabsHeight - BottomHeight) / 2, false);
    if (!SettingsPath.isEmpty()) {
        const TMemIniFile Ini(SettingsFileName());
        Left = Ini.ReadInteger(Section, QStringLiteral("Left"), Left);
        Top = Ini.ReadInteger(Section, QStringLiteral("Top"), Top);
        RecvList = Ini.ReadBool(Section, QStringLiteral("RecvList"), false);
    }
    return {ScaleByDpi(Left, true), ScaleByDpi(Top, true)};
}

void TMeiboView::SaveSettings()
{
    if (SettingsPath.isEmpty())
        return;
    (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) {
        Ini.WriteInteger(Section, QStringLiteral("Left"), ScaleByDpi(x(), false));
        Ini.WriteInteger(Section, QStringLiteral("Top"), ScaleByDpi(y(), false));
        Ini.WriteBool(Section, QStringLiteral("RecvList"), RecvList);
    });
}

void TMeiboView::ApplyHistoryPanel()
{
    pnlList->setVisible(RecvList);
    btnOpenRecv->setText(RecvList ? CaptionHideList : CaptionShowList);
    const int Bottom = FTabsHeight + (RecvList ? ListHeight : 0);
    pnlBottom->setGeometry(0, Bottom, ClientWidth, BottomHeight);
    SetClientSize(this, QSize(ClientWidth, Bottom + BottomHeight));
}

void TMeiboView::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FormShow();
}

void TMeiboView::FormShow()
{
    for (QPushButton* Button : {btnOpenRecv, btnAddUpd, btnCancel})
        Button->move(Button->x(), (BottomHeight - Button->height()) / 2);
    RefreshHistory();
    // After the dialog's own first focus, which would select the whole number.
    QMetaObject::invokeMethod(
        this, [this] { CaretToEnd(edtTel1); }, Qt::QueuedConnection);
}

int TMeiboView::Message(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags);
}

void TMeiboView::btnAddUpdClick()
{
    TMeiboInput Input = GatherInput();
    TMeiboFocus Focus = TMeiboFocus::None;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TMeiboSaveResult Result = FSave.Save(Input, Focus);
    QApplication::restoreOverrideCursor();
    switch (Result) {
    case TMeiboSaveResult::Close:
        done(Saved() ? 1 : 2);
        return;
    case TMeiboSaveResult::NextEntry:
        ClearFields();
        pgcMeibo->setCurrentWidget(tabMain);
        CaretToEnd(edtTel1);
        return;
    case TMeiboSaveResult::Stay:
        edtTel1->setText(Input.Tel1);
        edtTel2->setText(Input.Tel2);
        FocusAfterStop(Focus);
        return;
    }
}

void TMeiboView::FocusAfterStop(TMeiboFocus Focus)
{
    switch (Focus) {
    case TMeiboFocus::Tel1All:
        pgcMeibo->setCurrentWidget(tabMain);
        SelectAllAndFocus(edtTel1);
        break;
    case TMeiboFocus::Tel2All:
        pgcMeibo->setCurrentWidget(tabMain);
        SelectAllAndFocus(edtTel2);
        break;
    case TMeiboFocus::Tel2End:
        pgcMeibo->setCurrentWidget(tabMain);
        CaretToEnd(edtTel2);
        break;
    case TMeiboFocus::None:
        break;
    }
}

int TMeiboView::WriteRecord()
{
    return FSave.WriteRecord(GatherInput());
}

void TMeiboView::reject()
{
    btnCancelClick();
}

void TMeiboView::btnCancelClick()
{
    done(Saved() ? 1 : 2);
}

void TMeiboView::btnOpenRecvClick()
{
    RecvList = !RecvList;
    ApplyHistoryPanel();
    // A window that grew past the bottom of the work area moves up until it fits.
    if (const QScreen* Screen = screen(); Screen && RecvList) {
        const int Over = frameGeometry().bottom() - Screen->availableGeometry().bottom();
        if (Over > 0)
            move(x(), y() - Over);
    }
}

void TMeiboView::bbtnExchangeClick()
{
    const QString First = edtTel1->text();
    edtTel1->setText(edtTel2->text());
    edtTel2->setText(First);
    CaretToEnd(edtTel1);
}

void TMeiboView::bbtnEditListClick()
{
    {
        TInputList Editor(this);
        CenterForm(&Editor, this);
        Editor.Prepare(true);
        Editor.SelectList(0);
        if (Editor.exec() == 1) {
            int Changed = 0;
            Editor.GetChangedLists(Changed);
            if (Changed & 1)
                ReloadRankList();
        }
    }
    cbxRank->setFocus();
}

void TMeiboView::bbtnDicSch(int Tag)
{
    if (!MeiboViewTools.Dictionary)
        return;
    const QString Text[] = {edtTel1->text(), edtTel2->text(), edtPos->text(),
                            edtTdfkn->text() + edtAdrs1->text() + edtAdrs2->text() + edtAdrs3->text()};
    RunDictionary(Tag, Text[std::clamp(Tag, 0, 3)]);
    RefreshHistory();
    QLineEdit* Target[] = {edtTel1, edtTel2, edtPos, edtTdfkn};
    CaretToEnd(Target[std::clamp(Tag, 0, 3)]);
}

void TMeiboView::bbtnMapClick()
{
    if (MeiboViewTools.Map)
        MeiboViewTools.Map(*this);
}

void TMeiboView::bbtnDialClick()
{
    if (MeiboViewTools.Dial)
        MeiboViewTools.Dial(*this, {TrimBlanks(edtTel1->text()), TrimBlanks(edtTel2->text())});
}

void TMeiboView::nmedtNameConvertNeed(QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value)
{
    if (MeiboViewTools.ConvertNeed)
        MeiboViewTools.ConvertNeed(*this, *static_cast<TNMDEdit*>(Sender), static_cast<int>(Kind), Show, Value);
}

void TMeiboView::nmedtNameConvertKeyDown(QObject*, unsigned& Key, bool& Result)
{
    if (MeiboViewTools.ConvertKeyDown)
        Result = MeiboViewTools.ConvertKeyDown(*this, Key);
}

bool TMeiboView::eventFilter(QObject* Watched, QEvent* Event)
{
    // The company's reading is kept in half-width katakana, whatever the input method produces.
    if (Watched == edtCorpKana && Event->type() == QEvent::InputMethod)
        return CommitAsHalfKana(edtCorpKana, static_cast<QInputMethodEvent*>(Event));
    if (Event->type() == QEvent::KeyPress) {
        const auto* Press = static_cast<QKeyEvent*>(Event);
        const int Key = Press->key();
        // Enter moves on from the note; Ctrl+Enter breaks its line there, as in a memo of a dialog.
        if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && Press->modifiers().testFlag(Qt::ControlModifier) &&
            (Watched == mmoNote || Watched == mmoNote->viewport())) {
            mmoNote->insertPlainText(QStringLiteral("\n"));
            return true;
        }
        if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && EnterKeyPress(Watched))
            return true;
    }
    return QDialog::eventFilter(Watched, Event);
}
