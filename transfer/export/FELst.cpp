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

    bbtnPagePrev = Frame.MakePageButton(TPageButton::Prev);
    bbtnPageNext = Frame.MakePageButton(TPageButton::Next);
    bbtnPageJump = Frame.MakePageButton(TPageButton::Jump);
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

    static const char* const HistoryCaptions[8] = {"No.",    "日付", "時刻", "電話番号",
                                                   "会社名", "名前", "区分", "ランク"};
    static const char* const MeiboCaptions[6] = {"No.", "電話番号１", "電話番号２", "住所", "会社名", "名前"};
    TPagedListLook Look;
    Look.ListName = Kind.ListName;
    Look.HeaderName = Kind.HeaderName;
    if (Meibo) {
        for (const char* Caption : MeiboCaptions)
            Look.Captions << QString::fromUtf8(Caption);
    } else {
        for (const char* Caption : HistoryCaptions)
            Look.Captions << QString::fromUtf8(Caption);
        Look.Captions << Settings.SelectItem1 << Settings.SelectItem2 << Settings.SelectItem3;
    }
    Look.DefaultWidths = DefaultWidths();
    Frame.MakeList(Look);
    pnlHeader = Frame.HeaderPanel;
    myhcList = Frame.Header;
    lbxList = Frame.List;
    pmHeader = Frame.HeaderMenu;

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    for (int I = 0; I < 2; ++I) {
        StatusPanels[I] = new QLabel(StatusBar);
        StatusPanels[I]->setObjectName(QStringLiteral("StatusPanel%1").arg(I + 1));
        StatusPanels[I]->setMinimumWidth(ScaleByDpi(150, true));
        StatusBar->addWidget(StatusPanels[I], I);
    }
    Frame.CountPanel = StatusPanels[0];
    Frame.PagePanel = StatusPanels[1];

    // The page buttons' row takes room only while one of them is shown: a list of one page starts
    // right at the top.
    FPagingRow = new QWidget(this);
    auto* Top = new QHBoxLayout(FPagingRow);
    Top->setContentsMargins(0, 0, 0, 0);
    Top->addStretch();
    Top->addWidget(bbtnPagePrev);
    Top->addWidget(bbtnPageNext);
    Top->addWidget(bbtnPageJump);
    for (QPushButton* Page : {bbtnPagePrev, bbtnPageNext, bbtnPageJump})
        Page->installEventFilter(this);
    auto* Paging = new QVBoxLayout;
    Paging->addWidget(FPagingRow);
    QList<QLayout*> Below;
    if (Meibo) {
        auto* Sorts = new QHBoxLayout;
        Sorts->setSpacing(2);
        for (QPushButton* Sort : SortButtons) {
            Sorts->addWidget(Sort);
            connect(Sort, &QPushButton::clicked, this, [this, Sort] { bbtnSortClick(Sort); });
        }
        Sorts->addStretch();
        Below << Sorts;
    }
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(btnSearch);
    Buttons->addStretch();
    Buttons->addWidget(btnExport);
    Buttons->addWidget(btnCancel);
    Below << Buttons;
    Frame.LayOut(Paging, Below, StatusBar);

    connect(btnCancel, &QPushButton::clicked, this, &TFileExportList::reject);
    connect(btnSearch, &QPushButton::clicked, this, &TFileExportList::btnSearchClick);
    connect(btnExport, &QPushButton::clicked, this, [this] { ActionClick(); });
    Frame.Connect(this, &TFileExportList::LoadPage, &TFileExportList::bbtnPagePrevClick,
                  &TFileExportList::bbtnPageNextClick, &TFileExportList::bbtnPageJumpClick, nullptr,
                  &TFileExportList::lbxListKeyDown, &TFileExportList::myhcListMouseDown,
                  &TFileExportList::myhcListSectionTrack, &TFileExportList::pmiInitializesHeaderWidthClick,
                  &TFileExportList::FitHeader);

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
    Frame.FitHeader();
}

void TFileExportList::FocusListOr(QWidget* Other)
{
    Frame.FocusListOr(Other);
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
    Frame.ShowLoad(Result, Pages(), FRowRecNos, Mode, Page, {});
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
    if (!Busy)
        Frame.StepPage(1);
}

void TFileExportList::bbtnPageNextClick()
{
    if (!Busy)
        Frame.StepPage(2);
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
    return QDialog::eventFilter(Watched, Event);
}

bool TFileExportList::lbxListKeyDown(QKeyEvent* Key)
{
    if (Frame.SelectAllKey(Key) || Frame.PageEdgeKey(Key, Pages().PageSize()))
        return true;
    if (Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter) {
        (lbxList->count() > 0 ? btnExport : btnCancel)->setFocus();
        return true;
    }
    return false;
}

void TFileExportList::myhcListMouseDown(Qt::MouseButton Pressed, const QPoint& Pos)
{
    Frame.HeaderMouseDown(Pressed, Pos);
}

void TFileExportList::myhcListSectionTrack(TMyCustomHeaderControl*, TMyCustomHeaderSection* Column, int Width,
                                           TMySectionTrackState State)
{
    Frame.SectionTrack(Column, Width, State);
}

void TFileExportList::pmiInitializesHeaderWidthClick()
{
    Frame.ResetWidths();
}
