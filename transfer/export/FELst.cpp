#include "transfer/export/FELst.h"

#include "calls/HisSch.h"
#include "directory/search/MeiboSch.h"
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
#include "transfer/export/ExportSettings.h"

#include <QFileInfo>
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

// The export list window: its controls and settings, paging, search, orders, keys and header. The
// export run is in FELstRun.cpp.

using namespace PagedLines;

const int TFileExportList::HistoryColumnWidths[11] = {40, 90, 64, 114, 168, 112, 54, 52, 80, 80, 80};
const int TFileExportList::MeiboColumnWidths[6] = {40, 114, 114, 200, 170, 114};

namespace {

QPushButton* NewButton(QWidget* Parent, const QString& Caption, const char* Name)
{
    auto* Result = new QPushButton(Caption, Parent);
    Result->setObjectName(QLatin1String(Name));
    Result->setAutoDefault(false);
    return Result;
}

// The search dialog of a source over Owner, loaded with its conditions; on OK they are stored.
template <typename TDialog, typename TCondition>
bool AskConditions(QWidget* Owner, int HelpContext, TCondition& Condition)
{
    TDialog Dialog(Owner);
    Dialog.setProperty("HelpContext", HelpContext);
    Dialog.adjustSize();
    PlaceFormBottomRight(&Dialog, Owner, 15, 15);
    Dialog.LoadConditions(Condition);
    if (Dialog.exec() != 1)
        return false;
    Dialog.StoreConditions(Condition);
    return true;
}

} // namespace

namespace {

TListWindowKind ExportKind(int Source)
{
    TListWindowKind Kind;
    Kind.Section = Source == ExportSourceMeibo ? QStringLiteral("FILE EXPORT MEIBO LIST")
                                               : QStringLiteral("FILE EXPORT RECVHIS LIST");
    Kind.HelpContext = 62;
    Kind.JumpHelpContext = 24;
    Kind.ActionCaption = QStringLiteral("出力(&E)");
    Kind.ActionName = QStringLiteral("btnExport");
    Kind.ListName = QStringLiteral("lbxList");
    Kind.HeaderName = QStringLiteral("myhcList");
    return Kind;
}

} // namespace

TFileExportList::TFileExportList(QWidget* Owner, int Source) : TFileExportList(Owner, Source, ExportKind(Source)) {}

TFileExportList::TFileExportList(QWidget* Owner, int Source, const TListWindowKind& Kind)
    : QDialog(Owner), Model(Source)
{
    const bool Meibo = Source == ExportSourceMeibo;
    FSection = Kind.Section;
    FJumpHelpContext = Kind.JumpHelpContext;
    setProperty("HelpContext", Kind.HelpContext);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    bbtnPagePrev = NewButton(this, QStringLiteral("前ページ(&P)"), "bbtnPagePrev");
    bbtnPageNext = NewButton(this, QStringLiteral("次ページ(&N)"), "bbtnPageNext");
    bbtnPageJump = NewButton(this, QStringLiteral("ジャンプ(&J)"), "bbtnPageJump");
    bbtnPagePrev->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    bbtnPageNext->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    bbtnPageJump->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    // A hidden page button keeps its place, so the next one does not slide under the mouse.
    for (QPushButton* Page : {bbtnPagePrev, bbtnPageNext, bbtnPageJump}) {
        QSizePolicy Policy = Page->sizePolicy();
        Policy.setRetainSizeWhenHidden(true);
        Page->setSizePolicy(Policy);
    }
    btnSearch = NewButton(this, QStringLiteral("検索条件(&S)"), "btnSearch");
    btnExport = NewButton(this, Kind.ActionCaption, "btnExport");
    btnExport->setObjectName(Kind.ActionName);
    btnCancel = NewButton(this, QStringLiteral("キャンセル"), "btnCancel");
    if (Meibo) {
        static const char* const Sorts[6][2] = {{"登録順", "bbtnSortAdd"},        {"電話番号１順", "bbtnSortTel1"},
                                                {"電話番号２順", "bbtnSortTel2"}, {"住所順", "bbtnSortAdrs"},
                                                {"会社名順", "bbtnSortCorp"},     {"名前順", "bbtnSortName"}};
        for (int Tag = 0; Tag < 6; ++Tag) {
            QPushButton* Sort = NewButton(this, QString::fromUtf8(Sorts[Tag][0]), Sorts[Tag][1]);
            Sort->setProperty("Tag", Tag);
            SortButtons << Sort;
        }
    }

    pnlHeader = new QWidget(this);
    pnlHeader->setObjectName(QStringLiteral("pnlHeader"));
    myhcList = new TMyHeaderControl(pnlHeader);
    myhcList->setObjectName(Kind.HeaderName);
    myhcList->SetDragReorder(false);
    static const char* const HistoryCaptions[8] = {"No.",    "日付", "時刻", "電話番号",
                                                   "会社名", "名前", "区分", "ランク"};
    static const char* const MeiboCaptions[6] = {"No.", "電話番号１", "電話番号２", "住所", "会社名", "名前"};
    QStringList Captions;
    if (Meibo) {
        for (const char* Caption : MeiboCaptions)
            Captions << QString::fromUtf8(Caption);
    } else {
        for (const char* Caption : HistoryCaptions)
            Captions << QString::fromUtf8(Caption);
        Captions << Settings.SelectItem1 << Settings.SelectItem2 << Settings.SelectItem3;
    }
    for (int I = 0; I < Captions.size(); ++I) {
        TMyCustomHeaderSection& Column = myhcList->Sections().Add();
        Column.SetText(Captions[I]);
        Column.SetAllowClick(false);
        Column.SetWidth(ScaleByDpi(DefaultWidths()[I], true));
    }
    myhcList->Sections()[0].SetAlignment(TSectionAlignment::Right);
    pnlHeader->setFixedHeight(myhcList->sizeHint().height());
    pnlHeader->installEventFilter(this);

    lbxList = new QListWidget(this);
    lbxList->setObjectName(Kind.ListName);
    lbxList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbxList->setUniformItemSizes(true);
    lbxList->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    CloseInputMethod(lbxList);
    lbxList->setItemDelegate(new TPagedLineDelegate(this, myhcList, {}, 3));
    lbxList->installEventFilter(this);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    for (int I = 0; I < 2; ++I) {
        StatusPanels[I] = new QLabel(StatusBar);
        StatusPanels[I]->setObjectName(QStringLiteral("StatusPanel%1").arg(I + 1));
        StatusPanels[I]->setMinimumWidth(ScaleByDpi(150, true));
        StatusBar->addWidget(StatusPanels[I], I);
    }

    pmHeader = new QMenu(this);
    pmHeader->setObjectName(QStringLiteral("pmHeader"));
    QAction* Reset = pmHeader->addAction(QStringLiteral("項目幅を初期値に戻す(&R)"));
    Reset->setObjectName(QStringLiteral("pmiInitializesHeaderWidth"));
    connect(Reset, &QAction::triggered, this, &TFileExportList::pmiInitializesHeaderWidthClick);

    // The page buttons' row takes room only while one of them is shown: a list of one page starts
    // right at the top.
    FPagingRow = new QWidget(this);
    auto* Top = new QHBoxLayout(FPagingRow);
    Top->setContentsMargins(0, 0, 0, 0);
    Top->addStretch();
    Top->addWidget(bbtnPagePrev);
    Top->addWidget(bbtnPageNext);
    Top->addWidget(bbtnPageJump);
    auto* List = new QVBoxLayout;
    List->setSpacing(0);
    List->addWidget(pnlHeader);
    List->addWidget(lbxList);
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(btnSearch);
    Buttons->addStretch();
    Buttons->addWidget(btnExport);
    Buttons->addWidget(btnCancel);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(6, 6, 6, 0);
    Layout->addWidget(FPagingRow);
    for (QPushButton* Page : {bbtnPagePrev, bbtnPageNext, bbtnPageJump})
        Page->installEventFilter(this);
    Layout->addLayout(List, 1);
    if (Meibo) {
        auto* Sorts = new QHBoxLayout;
        Sorts->setSpacing(2);
        for (QPushButton* Sort : SortButtons) {
            Sorts->addWidget(Sort);
            connect(Sort, &QPushButton::clicked, this, [this, Sort] { bbtnSortClick(Sort); });
        }
        Sorts->addStretch();
        Layout->addLayout(Sorts);
    }
    Layout->addLayout(Buttons);
    Layout->addWidget(StatusBar);
    setMinimumSize(ScaleByDpi(480, true), ScaleByDpi(170, true));

    connect(btnCancel, &QPushButton::clicked, this, &TFileExportList::reject);
    connect(btnSearch, &QPushButton::clicked, this, &TFileExportList::btnSearchClick);
    connect(btnExport, &QPushButton::clicked, this, [this] { ActionClick(); });
    connect(bbtnPageJump, &QPushButton::clicked, this, &TFileExportList::bbtnPageJumpClick);
    connect(bbtnPagePrev, &QPushButton::clicked, this, &TFileExportList::bbtnPagePrevClick);
    connect(bbtnPageNext, &QPushButton::clicked, this, &TFileExportList::bbtnPageNextClick);
    auto* SelectAll = new QShortcut(QKeySequence::SelectAll, this);
    connect(SelectAll, &QShortcut::activated, this, [this] { SelectAllLines(lbxList); });
    connect(
        myhcList, &TMyCustomHeaderControl::MouseDown, this,
        [this](Qt::MouseButton Pressed, Qt::KeyboardModifiers, const QPoint& Pos) { myhcListMouseDown(Pressed, Pos); });
    connect(myhcList, &TMyCustomHeaderControl::SectionTrack, this, &TFileExportList::myhcListSectionTrack);
    FollowScroll(lbxList, myhcList);

    FormCreate();
    ScriptWindow(this);
}

TFileExportList::~TFileExportList()
{
    FormDestroy();
}

const int* TFileExportList::DefaultWidths() const
{
    return Source() == ExportSourceMeibo ? MeiboColumnWidths : HistoryColumnWidths;
}

void TFileExportList::FormCreate()
{
    LoadSettings();
    bbtnPageJump->hide();
    bbtnPagePrev->hide();
    bbtnPageNext->hide();
    Model.SetSortIndex(-1);
    Created = true;
}

void TFileExportList::FormDestroy()
{
    if (Created)
        SaveSettings();
}

void TFileExportList::LoadSettings()
{
    TMemIniFile Ini(SettingsFileName());
    LoadWindowBounds(this, Ini, FSection, Source() == ExportSourceMeibo ? 780 : 750, 380);
    LoadHeaderWidths(myhcList, Ini, FSection, DefaultWidths());
    // A target whose file has gone since is not offered again.
    const auto Existing = [&](const QString& Key) {
        const QString Path = Ini.ReadString(FSection, Key, QString());
        return QFileInfo::exists(Path) ? Path : QString();
    };
    FFileNormal = Existing(QStringLiteral("FileNormal"));
    FFileEncrypt = Existing(QStringLiteral("FileEncrypt"));
    // The settings window has just saved the output type; anything but plain text is the encrypted
    // output, as the settings window reads it.
    ExportSettings().Type = Ini.ReadInteger(ExportSection, QStringLiteral("type"), ExportSettings().Type) == 1 ? 1 : 0;
}

void TFileExportList::SaveSettings()
{
    (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) {
        SaveWindowBounds(this, Ini, FSection);
        SaveHeaderWidths(myhcList, Ini, FSection);
    });
}

void TFileExportList::SaveExportPaths()
{
    (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) {
        Ini.WriteString(FSection, QStringLiteral("FileEncrypt"), FFileEncrypt);
        Ini.WriteString(FSection, QStringLiteral("FileNormal"), FFileNormal);
        Ini.WriteInteger(ExportSection, QStringLiteral("type"), ExportSettings().Type);
    });
}

void TFileExportList::SetLayout(const TExportLayout& Layout, const QStringList& ItemNames)
{
    FLayout = Layout;
    FItemNames = ItemNames;
}

void TFileExportList::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Event->spontaneous() && !Shown) {
        Shown = true;
        FormShow();
    }
}

void TFileExportList::FormShow()
{
    if (Source() == ExportSourceMeibo) {
        bbtnSortClick(SortButtons[0]);
    } else {
        TWaitCursor Wait;
        LoadPage(0, 1);
    }
    FRange = {1, std::max(1, Pages().TotalRows)};
    FocusListOr(btnCancel);
    FitHeader();
}

void TFileExportList::FitHeader()
{
    (void)PagedLines::FitHeader(pnlHeader, myhcList, lbxList);
}

void TFileExportList::FocusListOr(QWidget* Other)
{
    if (lbxList->count() > 0)
        lbxList->setFocus();
    else
        Other->setFocus();
}

bool TFileExportList::RowMatches() const
{
    TTable* Table = Source() == ExportSourceMeibo ? MeiboTable : RecvHisTable;
    return Table && Model.RowMatches(*Table);
}

QStringList TFileExportList::LineCells(int Index) const
{
    return PagedLines::LineCells(lbxList, Index);
}

int TFileExportList::Message(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags, 2);
}

TPageControls TFileExportList::PageControls() const
{
    return {lbxList, bbtnPagePrev, bbtnPageNext, bbtnPageJump, StatusPanels[0], StatusPanels[1]};
}

void TFileExportList::LoadPage(int Mode, int Page)
{
    if (Loading || !DMVxRelvo16)
        return;
    TFlagGuard Guard(Loading);
    const bool Meibo = Source() == ExportSourceMeibo;
    TListLoadResult Result = TListLoadResult::Empty;
    {
        TTableUse Use(*DMVxRelvo16, Meibo ? TDataTable::Meibo : TDataTable::RecvHis);
        Model.Pages().ListMaxCount = Settings.ListMaxCount;
        try {
            if (Use.Opened())
                Result = Model.Load(*(Meibo ? MeiboTable : RecvHisTable), Mode, Page);
            else
                Model.Pages().TotalRows = 0;
        } catch (const Exception& Error) {
            Message(Error.Message(), MB_OK | MB_ICONSTOP);
            return;
        }
    }
    if (ReportLoadFailure(this, Result))
        return;
    if (Result == TListLoadResult::Empty) {
        ShowNoLines(PageControls(), FRowRecNos);
        return;
    }
    ShowPage(PageControls(), Pages(), FRowRecNos);
    LandOnPage(lbxList, Mode == 1);
}

void TFileExportList::btnSearchClick()
{
    if (Busy || Loading)
        return;
    TFlagGuard Guard(Busy);
    const bool Chosen = Source() == ExportSourceMeibo
                            ? AskConditions<TMeiboSearch>(this, 38, Model.MeiboCondition())
                            : AskConditions<THistorySearch>(this, 25, Model.HistoryCondition());
    if (!Chosen)
        return;
    {
        TWaitCursor Wait;
        LoadPage(0, 1);
    }
    FRange = {1, std::max(1, Pages().TotalRows)};
    FocusListOr(Model.HasConditions() ? static_cast<QWidget*>(btnSearch) : btnCancel);
}

void TFileExportList::bbtnPageJumpClick()
{
    if (Busy || Loading)
        return;
    TFlagGuard Guard(Busy);
    if (const int Page = AskJumpPage(this, FJumpHelpContext, Pages())) {
        TWaitCursor Wait;
        LoadPage(0, Page);
    }
    if (lbxList->count() > 0)
        lbxList->setFocus();
}

void TFileExportList::bbtnPagePrevClick()
{
    if (Busy)
        return;
    {
        TWaitCursor Wait;
        LoadPage(1, 1);
    }
    lbxList->setFocus();
}

void TFileExportList::bbtnPageNextClick()
{
    if (Busy)
        return;
    {
        TWaitCursor Wait;
        LoadPage(2, 1);
    }
    lbxList->setFocus();
}

void TFileExportList::bbtnSortClick(QPushButton* Clicked)
{
    if (Busy || Loading)
        return;
    const int Tag = Clicked->property("Tag").toInt();
    if (Tag == Model.SortIndex())
        return;
    ShowSortOrder(Model.SortIndex() >= 0 ? SortButtons[Model.SortIndex()] : nullptr, Clicked);
    Model.SetSortIndex(Tag);
    {
        TWaitCursor Wait;
        LoadPage(0, 1);
    }
    FocusListOr(btnCancel);
}

void TFileExportList::reject()
{
    done(2);
}

bool TFileExportList::eventFilter(QObject* Watched, QEvent* Event)
{
    if ((Event->type() == QEvent::ShowToParent || Event->type() == QEvent::HideToParent) &&
        (Watched == bbtnPagePrev || Watched == bbtnPageNext || Watched == bbtnPageJump)) {
        const bool Any = !bbtnPagePrev->isHidden() || !bbtnPageNext->isHidden() || !bbtnPageJump->isHidden();
        if (Any != !FPagingRow->isHidden()) {
            FPagingRow->setVisible(Any);
            // Placed at once, not at the next turn of the event loop, so no button is drawn over the list.
            layout()->activate();
        }
    }
    if (Watched == lbxList && Event->type() == QEvent::KeyPress)
        return lbxListKeyDown(static_cast<QKeyEvent*>(Event));
    if (Watched == pnlHeader && Event->type() == QEvent::Resize)
        FitHeader();
    return QDialog::eventFilter(Watched, Event);
}

bool TFileExportList::lbxListKeyDown(QKeyEvent* Key)
{
    if (Key->matches(QKeySequence::SelectAll)) {
        SelectAllLines(lbxList);
        return true;
    }
    if (QPushButton* Edge = PageEdgeButton(lbxList, Key, bbtnPagePrev, bbtnPageNext, Pages().PageSize())) {
        Edge == bbtnPagePrev ? bbtnPagePrevClick() : bbtnPageNextClick();
        return true;
    }
    if (Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter) {
        (lbxList->count() > 0 ? btnExport : btnCancel)->setFocus();
        return true;
    }
    return false;
}

void TFileExportList::myhcListMouseDown(Qt::MouseButton Pressed, const QPoint& Pos)
{
    if (Pressed == Qt::RightButton)
        pmHeader->popup(myhcList->mapToGlobal(Pos));
}

void TFileExportList::myhcListSectionTrack(TMyCustomHeaderControl*, TMyCustomHeaderSection* Column, int Width,
                                           TMySectionTrackState State)
{
    if (TrackSection(Column, Width, State, TrackStartWidth))
        FitHeader();
}

void TFileExportList::pmiInitializesHeaderWidthClick()
{
    if (ResetHeaderWidths(myhcList, DefaultWidths()))
        FitHeader();
}
