#include "calls/HisList.h"

#include "calls/HisListParts.h"
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/MyHdCtrl.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "main/tables/DBInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/WindowScript.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

// The call-history list: its controls and settings, loading and paging, keys and header. Its
// commands are in HisListCommands.cpp.

using namespace HisListParts;
using namespace PagedLines;

THistoryList* HistoryList = nullptr;

const int THistoryList::DefaultColumnWidths[11] = {40, 90, 64, 114, 168, 112, 54, 52, 80, 80, 80};

int HisListParts::Message(QWidget* Owner, const QString& Text, unsigned Flags)
{
    return MessageBoxPos(Owner, Text, ProductName, Flags, 2);
}

namespace {

const QString Section = QStringLiteral("HISTORY LIST");

QToolButton* DayButton(QWidget* Parent, const QString& Caption, const char* Name, int Tag)
{
    auto* Button = new QToolButton(Parent);
    Button->setText(Caption);
    Button->setObjectName(QLatin1String(Name));
    Button->setProperty("Tag", Tag);
    Button->setCheckable(true);
    Button->setAutoRaise(false);
    Button->setMinimumWidth(Tag == 0 ? 56 : 28);
    return Button;
}

QPushButton* Button(QWidget* Parent, const QString& Caption, const char* Name)
{
    auto* Result = new QPushButton(Caption, Parent);
    Result->setObjectName(QLatin1String(Name));
    return Result;
}

} // namespace

THistoryList::THistoryList(QWidget* Owner, bool* IdleFlag)
    : QWidget(Owner, Qt::Window), IdleFlag(IdleFlag ? IdleFlag : &FOwnIdle)
{
    setObjectName(QStringLiteral("HistoryList"));
    setWindowTitle(QStringLiteral("着信対応履歴一覧"));
    setProperty("HelpContext", 23);
    ScriptWindow(this);

    sbtnAllWeek = DayButton(this, QStringLiteral("全曜日"), "sbtnAllWeek", 0);
    sbtnSunday = DayButton(this, QStringLiteral("日"), "sbtnSunday", 1);
    sbtnMonday = DayButton(this, QStringLiteral("月"), "sbtnMonday", 2);
    sbtnTuesday = DayButton(this, QStringLiteral("火"), "sbtnTuesday", 3);
    sbtnWednesday = DayButton(this, QStringLiteral("水"), "sbtnWednesday", 4);
    sbtnThursday = DayButton(this, QStringLiteral("木"), "sbtnThursday", 5);
    sbtnFriday = DayButton(this, QStringLiteral("金"), "sbtnFriday", 6);
    sbtnSaturday = DayButton(this, QStringLiteral("土"), "sbtnSaturday", 7);
    bbtnPageJump = Frame.MakePageButton(TPageButton::Jump);
    bbtnPagePrev = Frame.MakePageButton(TPageButton::Prev);
    bbtnPageNext = Frame.MakePageButton(TPageButton::Next);
    btnSearch = Button(this, QStringLiteral("検索条件(&S)"), "btnSearch");
    btnInquiry = Button(this, QStringLiteral("照会(&I)"), "btnInquiry");
    btnDelete = Button(this, QStringLiteral("削除(&D)"), "btnDelete");
    btnCancel = Button(this, QStringLiteral("キャンセル"), "btnCancel");
    for (QPushButton* Command : {btnSearch, btnInquiry, btnDelete, btnCancel})
        Command->setAutoDefault(false);

    static const char* const Captions[8] = {"No.", "日付", "時刻", "電話番号", "会社名", "名前", "区分", "ランク"};
    TPagedListLook Look;
    Look.ListName = QStringLiteral("lbxRecvHis");
    Look.HeaderName = QStringLiteral("myhcRecvHis");
    for (int I = 0; I < 11; ++I)
        Look.Captions << (I < 8 ? QString::fromUtf8(Captions[I]) : QString());
    Look.DefaultWidths = DefaultColumnWidths;
    Look.Margin = 4;
    // The call the incoming-call window shows stands out.
    Look.MarkedRecNo = [this] { return FShownCallRecNo; };
    Look.InputClosed = false;
    Frame.MakeList(Look);
    pnlHeader = Frame.HeaderPanel;
    myhcRecvHis = Frame.Header;
    lbxRecvHis = Frame.List;
    pmHeader = Frame.HeaderMenu;

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(true);
    for (int I = 0; I < 5; ++I) {
        StatusPanels[I] = new QLabel(StatusBar);
        StatusPanels[I]->setObjectName(QStringLiteral("StatusPanel%1").arg(I + 1));
        StatusPanels[I]->setMinimumWidth(I == 2 ? 0 : 90);
        StatusBar->addWidget(StatusPanels[I], I == 2 ? 1 : 0);
    }
    Frame.CountPanel = StatusPanels[0];
    Frame.PagePanel = StatusPanels[1];

    auto* Days = new QHBoxLayout;
    Days->setSpacing(1);
    for (QToolButton* Day : DayButtons())
        Days->addWidget(Day);
    Days->addStretch();
    Days->addWidget(bbtnPageJump);
    Days->addWidget(bbtnPagePrev);
    Days->addWidget(bbtnPageNext);
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(btnSearch);
    Buttons->addWidget(btnInquiry);
    Buttons->addWidget(btnDelete);
    Buttons->addStretch();
    Buttons->addWidget(btnCancel);
    Frame.LayOut(Days, {Buttons}, StatusBar);

    for (QToolButton* Day : DayButtons())
        connect(Day, &QToolButton::clicked, this, [this, Day] { SpeedButtonWeekClick(Day); });
    connect(btnCancel, &QPushButton::clicked, this, &THistoryList::btnCancelClick);
    connect(btnSearch, &QPushButton::clicked, this, &THistoryList::btnSearchClick);
    connect(btnInquiry, &QPushButton::clicked, this, &THistoryList::btnInquiryClick);
    connect(btnDelete, &QPushButton::clicked, this, &THistoryList::btnDeleteClick);
    connect(lbxRecvHis, &QListWidget::itemDoubleClicked, this, &THistoryList::lbxRecvHisDblClick);
    Frame.Connect(this, &THistoryList::LoadPage, &THistoryList::bbtnPagePrevClick, &THistoryList::bbtnPageNextClick,
                  &THistoryList::bbtnPageJumpClick, &THistoryList::FormKeyDown, &THistoryList::lbxRecvHisKeyDown,
                  &THistoryList::myhcRecvHisMouseDown, &THistoryList::myhcRecvHisSectionTrack,
                  &THistoryList::pmiInitializesHeaderWidthClick, &THistoryList::pnlHeaderResize);

    FormCreate();
}

THistoryList::~THistoryList()
{
    // FormDestroy
    if (Created)
        SaveSettings();
    if (HistoryList == this)
        HistoryList = nullptr;
}

QList<QToolButton*> THistoryList::DayButtons() const
{
    return {sbtnAllWeek, sbtnSunday, sbtnMonday, sbtnTuesday, sbtnWednesday, sbtnThursday, sbtnFriday, sbtnSaturday};
}

void THistoryList::FormCreate()
{
    if (SettingsIncomplete)
        return;
    TWaitCursor Wait;
    LoadSettings();
    DayButtons()[QDate::currentDate().dayOfWeek() % 7 + 1]->setChecked(true);
    RenameSelectItemSections();
    bbtnPageJump->hide();
    bbtnPagePrev->hide();
    bbtnPageNext->hide();
    ShowToday();
    if (Settings.AutoDel) {
        TIdleOff Modal(IdleFlag);
        PurgeOldRows();
    }
    FCondition = THistorySearchCondition();
    FRowRecNos.clear();
    FShownCallRecNo = -1;
    Created = true;
    LoadPage(0, 1);
}

void THistoryList::RenameSelectItemSections()
{
    myhcRecvHis->Sections()[8].SetText(Settings.SelectItem1);
    myhcRecvHis->Sections()[9].SetText(Settings.SelectItem2);
    myhcRecvHis->Sections()[10].SetText(Settings.SelectItem3);
}

void THistoryList::LoadSettings()
{
    TMemIniFile Ini(SettingsFileName());
    PagedLines::LoadWindowBounds(this, Ini, Section, 750, 380);
    PagedLines::LoadHeaderWidths(myhcRecvHis, Ini, Section, DefaultColumnWidths);
    sbtnAllWeek->setChecked(Ini.ReadBool(Section, QStringLiteral("AllWeek"), false));
}

void THistoryList::SaveSettings()
{
    (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) {
        PagedLines::SaveWindowBounds(this, Ini, Section);
        PagedLines::SaveHeaderWidths(myhcRecvHis, Ini, Section);
        Ini.WriteBool(Section, QStringLiteral("AllWeek"), sbtnAllWeek->isChecked());
    });
}

void THistoryList::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    FormShow();
}

void THistoryList::FormShow()
{
    FitHeader();
}

void THistoryList::FitHeader()
{
    Frame.FitHeader();
}

void THistoryList::closeEvent(QCloseEvent* Event)
{
    Event->ignore();
    hide();
}

void THistoryList::btnCancelClick()
{
    hide();
}

TWeekdayButtons THistoryList::WeekdayState() const
{
    TWeekdayButtons State;
    State.AllWeek = sbtnAllWeek->isChecked();
    const QList<QToolButton*> Buttons = DayButtons();
    for (int Day = 1; Day <= 7; ++Day)
        State.Days[Day] = Buttons[Day]->isChecked();
    return State;
}

bool THistoryList::RowMatches() const
{
    return RecvHisTable && HistoryRowMatches(FCondition, WeekdayState(), CurrentRowKeys(*RecvHisTable));
}

QStringList THistoryList::LineCells(int Index) const
{
    return PagedLines::LineCells(lbxRecvHis, Index);
}

void THistoryList::LoadPage(int Mode, int Page)
{
    if (Loading || !DMVxRelvo16)
        return;
    TFlagGuard Guard(Loading);
    // What the user had selected, to select it again after a reload in place.
    const TLineSelection Memory = Frame.SelectionBeforeLoad(Mode, Page);

    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    Pager.ListMaxCount = Settings.ListMaxCount;
    Pager.Condition = FCondition;
    Pager.Weekdays = WeekdayState();
    THistoryLoadResult Result = THistoryLoadResult::Empty;
    try {
        if (Use.Opened())
            Result = Pager.Load(*RecvHisTable, Mode, Page);
        else
            Pager.TotalRows = 0;
    } catch (const EDatabaseError& Error) {
        // A lock another program holds: a reload after a call leaves it to the call road, which tells
        // the user once and reloads again when the call is written; a reload the user asked for says
        // so in words, not with the engine's text.
        if (!Error.Busy())
            Message(this, Error.Message(), MB_OK | MB_ICONSTOP);
        else if (!DMVxRelvo16->QuietWhenBusy)
            Message(this, HistoryListBusyText, MB_OK | MB_ICONSTOP);
        return;
    } catch (const Exception& Error) {
        Message(this, Error.Message(), MB_OK | MB_ICONSTOP);
        return;
    }
    Frame.ShowLoad(Result, Pager, FRowRecNos, Mode, Page, Memory);
}

void THistoryList::ShowToday()
{
    const QDate Today = QDate::currentDate();
    if (Today == LastDate)
        return;
    LastDate = Today;
    StatusPanels[3]->setText(Today.toString(QStringLiteral("yyyy/MM/dd")));
    StatusPanels[4]->setText(
        QLocale(QLocale::Japanese, QLocale::Japan).dayName(Today.dayOfWeek(), QLocale::LongFormat));
}

void THistoryList::BringForward()
{
    if (Settings.NotMoveFocus)
        return;
    // Topmost and back again is what raises a window above the others; a window manager does
    // this with raise and activation.
    raise();
    ForceForegroundWindow(this);
}

void THistoryList::ShowAtUsersRequest()
{
    const bool WasShown = isVisible();
    show();
    raise();
    ForceForegroundWindow(this);
    if (!WasShown)
        FocusListOrCancel();
}

void THistoryList::FocusListOrCancel()
{
    Frame.FocusListOr(btnCancel);
}

void THistoryList::ApplyWeekdayColours()
{
    WeekdaysGreyed = WeekdaysIgnored(FCondition);
    const QColor Colour = palette().color(WeekdaysGreyed ? QPalette::Disabled : QPalette::Active, QPalette::WindowText);
    for (QToolButton* Day : DayButtons()) {
        QPalette Palette = Day->palette();
        Palette.setColor(QPalette::ButtonText, Colour);
        Day->setPalette(Palette);
    }
}

void THistoryList::bbtnPageJumpClick()
{
    if (Busy)
        return;
    TFlagGuard Guard(Busy);
    TIdleOff Modal(IdleFlag);
    constexpr int HelpContextPageJump = 24;
    if (const int Page = AskJumpPage(this, HelpContextPageJump, Pager))
        LoadPage(0, Page);
    if (lbxRecvHis->count() > 0)
        lbxRecvHis->setFocus();
}

void THistoryList::bbtnPagePrevClick()
{
    Frame.StepPage(1);
}

void THistoryList::bbtnPageNextClick()
{
    Frame.StepPage(2);
}

void THistoryList::SpeedButtonWeekClick(QToolButton* Day)
{
    // Under "all days" the single days only change their own state; under a date range they do
    // not filter at all.
    if (sbtnAllWeek->isChecked() && Day->property("Tag").toInt() != 0)
        return;
    if (WeekdaysGreyed)
        return;
    LoadPage(0, 1);
    lbxRecvHis->setFocus();
}

bool THistoryList::lbxRecvHisKeyDown(QKeyEvent* Key)
{
    if (Frame.PageEdgeKey(Key, Pager.ListMaxCount))
        return true;
    switch (Key->key()) {
    case Qt::Key_Delete:
        btnDeleteClick();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        (lbxRecvHis->count() > 0 ? btnInquiry : btnCancel)->setFocus();
        return true;
    default:
        return false;
    }
}

void THistoryList::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape) {
        btnCancelClick();
        return;
    }
    QWidget::keyPressEvent(Event);
}

bool THistoryList::FormKeyDown(QKeyEvent* Key)
{
    // Ctrl+A in the list; the window's shortcut serves the other controls.
    return Frame.SelectAllKey(Key);
}

void THistoryList::myhcRecvHisMouseDown(Qt::MouseButton Pressed, const QPoint& Pos)
{
    Frame.HeaderMouseDown(Pressed, Pos);
}

void THistoryList::myhcRecvHisSectionTrack(TMyCustomHeaderControl*, TMyCustomHeaderSection* Column, int Width,
                                           TMySectionTrackState State)
{
    Frame.SectionTrack(Column, Width, State);
}

void THistoryList::pmiInitializesHeaderWidthClick()
{
    Frame.ResetWidths();
}

void THistoryList::pnlHeaderResize()
{
    FitHeader();
}
