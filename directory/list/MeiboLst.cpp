#include "directory/list/MeiboLst.h"

#include "calls/PagedLines.h"
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/MyHdCtrl.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "main/tables/DBInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

// The directory list: its controls and settings, loading and paging, sort orders, keys and
// header. Its commands are in MeiboLstCommands.cpp.

using namespace PagedLines;

const int TMeiboList::DefaultColumnWidths[6] = {40, 114, 114, 200, 170, 114};

namespace {

const QString Section = QStringLiteral("MEIBO LIST");

QPushButton* Button(QWidget* Parent, const QString& Caption, const char* Name)
{
    auto* Result = new QPushButton(Caption, Parent);
    Result->setObjectName(QLatin1String(Name));
    Result->setAutoDefault(false);
    return Result;
}

} // namespace

TMeiboList::TMeiboList(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("MeiboList"));
    setWindowTitle(QStringLiteral("登録名簿一覧"));
    setProperty("HelpContext", 36);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    bbtnPagePrev = Frame.MakePageButton(TPageButton::Prev);
    bbtnPageNext = Frame.MakePageButton(TPageButton::Next);
    bbtnPageJump = Frame.MakePageButton(TPageButton::Jump);
    btnSearch = Button(this, QStringLiteral("検索条件(&S)"), "btnSearch");
    btnAdd = Button(this, QStringLiteral("新規登録(&A)"), "btnAdd");
    btnDelete = Button(this, QStringLiteral("削除(&D)"), "btnDelete");
    btnCancel = Button(this, QStringLiteral("キャンセル"), "btnCancel");
    btnInquiry = Button(this, QStringLiteral("照会(&I)"), "btnInquiry");
    bbtnSortAdd = Button(this, QStringLiteral("登録順"), "bbtnSortAdd");
    bbtnSortTel1 = Button(this, QStringLiteral("電話番号１順"), "bbtnSortTel1");
    bbtnSortTel2 = Button(this, QStringLiteral("電話番号２順"), "bbtnSortTel2");
    bbtnSortAdrs = Button(this, QStringLiteral("住所順"), "bbtnSortAdrs");
    bbtnSortCorp = Button(this, QStringLiteral("会社名順"), "bbtnSortCorp");
    bbtnSortName = Button(this, QStringLiteral("名前順"), "bbtnSortName");
    for (int Tag = 0; Tag < 6; ++Tag)
        SortButtons()[Tag]->setProperty("Tag", Tag);

    TPagedListLook Look;
    Look.ListName = QStringLiteral("lbxAddMeibo");
    Look.HeaderName = QStringLiteral("myhcMeibo");
    for (const char* Caption : {"No.", "電話番号１", "電話番号２", "住所", "会社名", "名前"})
        Look.Captions << QString::fromUtf8(Caption);
    Look.DefaultWidths = DefaultColumnWidths;
    // The entry open in the record window stands out.
    Look.MarkedRecNo = [this] { return FViewedRecNo; };
    Frame.MakeList(Look);
    pnlHeader = Frame.HeaderPanel;
    myhcMeibo = Frame.Header;
    lbxAddMeibo = Frame.List;
    pmHeader = Frame.HeaderMenu;

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    for (int I = 0; I < 3; ++I) {
        StatusPanels[I] = new QLabel(StatusBar);
        StatusPanels[I]->setObjectName(QStringLiteral("StatusPanel%1").arg(I + 1));
        StatusPanels[I]->setMinimumWidth(ScaleByDpi(I == 2 ? 50 : 150, true));
        StatusBar->addWidget(StatusPanels[I], I == 2 ? 1 : 0);
    }
    Frame.CountPanel = StatusPanels[0];
    Frame.PagePanel = StatusPanels[1];

    auto* Top = new QHBoxLayout;
    Top->addStretch();
    Top->addWidget(bbtnPagePrev);
    Top->addWidget(bbtnPageNext);
    Top->addWidget(bbtnPageJump);
    auto* Sorts = new QHBoxLayout;
    Sorts->setSpacing(2);
    for (QPushButton* Sort : SortButtons())
        Sorts->addWidget(Sort);
    Sorts->addStretch();
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(btnSearch);
    Buttons->addWidget(btnAdd);
    Buttons->addWidget(btnInquiry);
    Buttons->addWidget(btnDelete);
    Buttons->addStretch();
    Buttons->addWidget(btnCancel);
    Frame.LayOut(Top, {Sorts, Buttons}, StatusBar);

    for (QPushButton* Sort : SortButtons())
        connect(Sort, &QPushButton::clicked, this, [this, Sort] { bbtnSortClick(Sort); });
    connect(btnCancel, &QPushButton::clicked, this, &TMeiboList::btnCancelClick);
    connect(btnSearch, &QPushButton::clicked, this, &TMeiboList::btnSearchClick);
    connect(btnAdd, &QPushButton::clicked, this, &TMeiboList::btnAddClick);
    connect(btnInquiry, &QPushButton::clicked, this, &TMeiboList::btnInquiryClick);
    connect(btnDelete, &QPushButton::clicked, this, &TMeiboList::btnDeleteClick);
    connect(lbxAddMeibo, &QListWidget::itemDoubleClicked, this, &TMeiboList::lbxAddMeiboDblClick);
    Frame.Connect(this, &TMeiboList::LoadPage, &TMeiboList::bbtnPagePrevClick, &TMeiboList::bbtnPageNextClick,
                  &TMeiboList::bbtnPageJumpClick, &TMeiboList::FormKeyDown, &TMeiboList::lbxAddMeiboKeyDown,
                  &TMeiboList::myhcMeiboMouseDown, &TMeiboList::myhcMeiboSectionTrack,
                  &TMeiboList::pmiInitializesHeaderWidthClick, &TMeiboList::pnlHeaderResize);

    FormCreate();
    ScriptWindow(this);
}

TMeiboList::~TMeiboList()
{
    FormDestroy();
}

QList<QPushButton*> TMeiboList::SortButtons() const
{
    return {bbtnSortAdd, bbtnSortTel1, bbtnSortTel2, bbtnSortAdrs, bbtnSortCorp, bbtnSortName};
}

void TMeiboList::FormCreate()
{
    LoadSettings();
    bbtnPageJump->hide();
    bbtnPagePrev->hide();
    bbtnPageNext->hide();
    // The conditions do not outlive the window.
    Pager.Condition = TMeiboSearchCondition();
    FRowRecNos.clear();
    Loading = false;
    DialogOpen = false;
    Pager.SortIndex = -1;
    FViewedRecNo = -1;
    Created = true;
}

void TMeiboList::FormDestroy()
{
    if (Created)
        SaveSettings();
    FRowRecNos.clear();
}

void TMeiboList::LoadSettings()
{
    TMemIniFile Ini(SettingsFileName());
    LoadWindowBounds(this, Ini, Section, 780, 380);
    LoadHeaderWidths(myhcMeibo, Ini, Section, DefaultColumnWidths);
}

void TMeiboList::SaveSettings()
{
    (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) {
        SaveWindowBounds(this, Ini, Section);
        SaveHeaderWidths(myhcMeibo, Ini, Section);
    });
}

void TMeiboList::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

void TMeiboList::FormShow()
{
    // The first show loads page 1 in the order of registration.
    if (Pager.SortIndex < 0)
        bbtnSortClick(bbtnSortAdd);
    FitHeader();
}

void TMeiboList::FitHeader()
{
    Frame.FitHeader();
}

bool TMeiboList::RowMatches() const
{
    return MeiboTable && Pager.RowMatches(*MeiboTable);
}

QStringList TMeiboList::LineCells(int Index) const
{
    return PagedLines::LineCells(lbxAddMeibo, Index);
}

int TMeiboList::Message(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags, 2);
}

void TMeiboList::LoadPage(int Mode, int Page)
{
    if (Loading || !DMVxRelvo16)
        return;
    TFlagGuard Guard(Loading);
    // What the user had selected, to select it again after a reload in place.
    const TLineSelection Memory = Frame.SelectionBeforeLoad(Mode, Page);

    TListLoadResult Result = TListLoadResult::Empty;
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        Pager.ListMaxCount = Settings.ListMaxCount;
        // A directory that cannot be opened is no empty directory: the lines stay as they were and
        // the user hears why (the counted open says so itself unless it was told to keep quiet).
        if (!Use.Opened()) {
            if (DMVxRelvo16->QuietOnFailure || (DMVxRelvo16->LastOpenBusy() && DMVxRelvo16->QuietWhenBusy))
                Message(MeiboOpenError, MB_OK | MB_ICONSTOP);
            return;
        }
        try {
            Result = Pager.Load(*MeiboTable, Mode, Page);
        } catch (const Exception& Error) {
            Message(Error.Message(), MB_OK | MB_ICONSTOP);
            return;
        }
    }
    Frame.ShowLoad(Result, Pager, FRowRecNos, Mode, Page, Memory);
}

void TMeiboList::bbtnSortClick(QPushButton* Clicked)
{
    const int Tag = Clicked->property("Tag").toInt();
    if (Tag == Pager.SortIndex)
        return;
    ShowSortOrder(Pager.SortIndex >= 0 ? SortButtons()[Pager.SortIndex] : nullptr, Clicked);
    Pager.SortIndex = Tag;
    {
        TWaitCursor Wait;
        LoadPage(0, 1);
    }
    FocusListOrAdd();
}

void TMeiboList::FocusListOrAdd()
{
    Frame.FocusListOr(btnAdd);
}

void TMeiboList::bbtnPagePrevClick()
{
    Frame.StepPage(1);
}

void TMeiboList::bbtnPageNextClick()
{
    Frame.StepPage(2);
}

void TMeiboList::btnCancelClick()
{
    done(2);
}

void TMeiboList::reject()
{
    done(2);
}

bool TMeiboList::FormKeyDown(QKeyEvent* Key)
{
    // Ctrl+A in the list; the window's shortcut serves the other controls.
    return Frame.SelectAllKey(Key);
}

bool TMeiboList::lbxAddMeiboKeyDown(QKeyEvent* Key)
{
    if (Frame.PageEdgeKey(Key, Pager.PageSize()))
        return true;
    switch (Key->key()) {
    case Qt::Key_Delete:
        btnDeleteClick();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        (lbxAddMeibo->count() > 0 ? btnInquiry : btnAdd)->setFocus();
        return true;
    default:
        return false;
    }
}

void TMeiboList::myhcMeiboMouseDown(Qt::MouseButton Pressed, const QPoint& Pos)
{
    Frame.HeaderMouseDown(Pressed, Pos);
}

void TMeiboList::myhcMeiboSectionTrack(TMyCustomHeaderControl*, TMyCustomHeaderSection* Column, int Width,
                                       TMySectionTrackState State)
{
    Frame.SectionTrack(Column, Width, State);
}

void TMeiboList::pmiInitializesHeaderWidthClick()
{
    Frame.ResetWidths();
}

void TMeiboList::pnlHeaderResize()
{
    FitHeader();
}
