#include "calls/PagedListFrame.h"

#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/MyHdCtrl.h"
#include "platform/sys/Exceptions.h"
#include "platform/ui/ClosedInput.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

using namespace PagedLines;

QPushButton* TPagedListFrame::MakePageButton(TPageButton Which)
{
    static const char* const Captions[3] = {"前ページ(&P)", "次ページ(&N)", "ジャンプ(&J)"};
    static const char* const Names[3] = {"bbtnPagePrev", "bbtnPageNext", "bbtnPageJump"};
    static const QStyle::StandardPixmap Glyphs[3] = {QStyle::SP_ArrowUp, QStyle::SP_ArrowDown,
                                                     QStyle::SP_FileDialogContentsView};
    const int I = static_cast<int>(Which);
    auto* Button = new QPushButton(QString::fromUtf8(Captions[I]), FWindow);
    Button->setObjectName(QLatin1String(Names[I]));
    Button->setAutoDefault(false);
    Button->setIcon(FWindow->style()->standardIcon(Glyphs[I]));
    // A hidden page button keeps its place: on the last page "前ページ(&P)" must not slide under the
    // mouse that just clicked "次ページ(&N)".
    QSizePolicy Policy = Button->sizePolicy();
    Policy.setRetainSizeWhenHidden(true);
    Button->setSizePolicy(Policy);
    (Which == TPageButton::Prev ? PagePrev : Which == TPageButton::Next ? PageNext : PageJump) = Button;
    return Button;
}

void TPagedListFrame::MakeList(const TPagedListLook& Look)
{
    FDefaultWidths = Look.DefaultWidths;
    HeaderPanel = new QWidget(FWindow);
    HeaderPanel->setObjectName(QStringLiteral("pnlHeader"));
    Header = new TMyHeaderControl(HeaderPanel);
    Header->setObjectName(Look.HeaderName);
    Header->SetDragReorder(false);
    for (int I = 0; I < Look.Captions.size(); ++I) {
        TMyCustomHeaderSection& Column = Header->Sections().Add();
        Column.SetText(Look.Captions[I]);
        Column.SetAllowClick(false);
        Column.SetWidth(ScaleByDpi(Look.DefaultWidths[I], true));
    }
    Header->Sections()[0].SetAlignment(TSectionAlignment::Right);
    HeaderPanel->setFixedHeight(Header->sizeHint().height());
    HeaderPanel->installEventFilter(this);

    List = new QListWidget(FWindow);
    List->setObjectName(Look.ListName);
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List->setUniformItemSizes(true);
    List->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    List->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    if (Look.InputClosed)
        CloseInputMethod(List);
    List->setItemDelegate(new TPagedLineDelegate(FWindow, Header, Look.MarkedRecNo, Look.Margin));
    List->installEventFilter(this);

    HeaderMenu = new QMenu(FWindow);
    HeaderMenu->setObjectName(QStringLiteral("pmHeader"));
    HeaderMenu->addAction(QStringLiteral("項目幅を初期値に戻す(&R)"))
        ->setObjectName(QStringLiteral("pmiInitializesHeaderWidth"));
}

void TPagedListFrame::Connect(TPagedListHandlers Handlers)
{
    Q_ASSERT(PagePrev && PageNext && PageJump && List);
    Q_ASSERT(Handlers.LoadPage && Handlers.PagePrevClick && Handlers.PageNextClick && Handlers.PageJumpClick &&
             Handlers.ListKeyDown && Handlers.HeaderMouseDown && Handlers.SectionTrack && Handlers.ResetWidthsClick &&
             Handlers.HeaderPanelResize);
    FHandlers = std::move(Handlers);
    connect(PagePrev, &QPushButton::clicked, this, [this] { FHandlers.PagePrevClick(); });
    connect(PageNext, &QPushButton::clicked, this, [this] { FHandlers.PageNextClick(); });
    connect(PageJump, &QPushButton::clicked, this, [this] { FHandlers.PageJumpClick(); });
    connect(HeaderMenu->actions().constFirst(), &QAction::triggered, this, [this] { FHandlers.ResetWidthsClick(); });
    connect(Header, &TMyCustomHeaderControl::MouseDown, this,
            [this](Qt::MouseButton Pressed, Qt::KeyboardModifiers, const QPoint& Pos) {
                FHandlers.HeaderMouseDown(Pressed, Pos);
            });
    connect(Header, &TMyCustomHeaderControl::SectionTrack, this,
            [this](TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section, int Width,
                   TMySectionTrackState State) { FHandlers.SectionTrack(Control, Section, Width, State); });
    // Ctrl+A on the window's other controls; in the list the form's key handler takes it.
    auto* SelectAll = new QShortcut(QKeySequence::SelectAll, FWindow);
    connect(SelectAll, &QShortcut::activated, this, [this] { SelectAllLines(List); });
    // The header scrolls sideways with the list.
    FollowScroll(List, Header);
}

bool TPagedListFrame::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == List && Event->type() == QEvent::KeyPress && FHandlers.ListKeyDown)
        return FHandlers.ListKeyDown(static_cast<QKeyEvent*>(Event));
    if (Watched == HeaderPanel && Event->type() == QEvent::Resize && FHandlers.HeaderPanelResize)
        FHandlers.HeaderPanelResize();
    return QObject::eventFilter(Watched, Event);
}

void TPagedListFrame::StepPage(int Mode)
{
    {
        TWaitCursor Wait;
        FHandlers.LoadPage(Mode, 1);
    }
    List->setFocus();
}

bool TPagedListFrame::PageEdgeKey(const QKeyEvent* Key, int PageSize)
{
    QPushButton* Edge = PageEdgeButton(List, Key, PagePrev, PageNext, PageSize);
    if (!Edge)
        return false;
    Edge == PagePrev ? FHandlers.PagePrevClick() : FHandlers.PageNextClick();
    return true;
}

bool TPagedListFrame::SelectAllKey(const QKeyEvent* Key)
{
    if (!Key->matches(QKeySequence::SelectAll))
        return false;
    SelectAllLines(List);
    return true;
}

void TPagedListFrame::FocusListOr(QWidget* Other)
{
    if (List->count() > 0)
        List->setFocus();
    else
        Other->setFocus();
}

void TPagedListFrame::HeaderMouseDown(Qt::MouseButton Button, const QPoint& Pos)
{
    if (Button == Qt::RightButton)
        HeaderMenu->popup(Header->mapToGlobal(Pos));
}

void TPagedListFrame::SectionTrack(TMyCustomHeaderSection* Section, int Width, TMySectionTrackState State)
{
    if (PagedLines::TrackSection(Section, Width, State, TrackStartWidth))
        FitHeader();
}

void TPagedListFrame::ResetWidths()
{
    if (ResetHeaderWidths(Header, FDefaultWidths))
        FitHeader();
}

void TPagedListFrame::FitHeader()
{
    HeaderPanelWidth = PagedLines::FitHeader(HeaderPanel, Header, List);
}

TLineSelection TPagedListFrame::SelectionBeforeLoad(int Mode, int Page) const
{
    return Mode == 0 && Page <= 0 ? RememberLines(List) : TLineSelection();
}

void TPagedListFrame::ShowLoad(TListLoadResult Result, const TListPages& Pages, QList<int>& RowRecNos, int Mode,
                               int Page, const TLineSelection& Before)
{
    if (ReportLoadFailure(FWindow, Result))
        return;
    const TPageControls Controls{List, PagePrev, PageNext, PageJump, CountPanel, PagePanel};
    if (Result == TListLoadResult::Empty) {
        ShowNoLines(Controls, RowRecNos);
        return;
    }
    ShowPage(Controls, Pages, RowRecNos);
    if (Page > 0)
        LandOnPage(List, Mode == 1);
    else
        RestoreLines(List, Before);
}

void TPagedListFrame::LayOut(QLayout* Above, const QList<QLayout*>& Below, QWidget* StatusBar)
{
    auto* Lines = new QVBoxLayout;
    Lines->setSpacing(0);
    Lines->addWidget(HeaderPanel);
    Lines->addWidget(List);
    auto* Layout = new QVBoxLayout(FWindow);
    Layout->setContentsMargins(6, 6, 6, 0);
    Layout->addLayout(Above);
    Layout->addLayout(Lines, 1);
    for (QLayout* Row : Below)
        Layout->addLayout(Row);
    Layout->addWidget(StatusBar);
    FWindow->setMinimumSize(ScaleByDpi(480, true), ScaleByDpi(170, true));
}

namespace {

void TellDeleted(QWidget* Owner, int Deleted)
{
    (void)MessageBoxPos(Owner, QString::number(Deleted) + QStringLiteral("件のデータを削除しました  "), ProductName,
                        MB_OK | MB_ICONINFORMATION, 2);
}

} // namespace

void TPagedListFrame::DeleteSelectedLines(const std::function<QList<int>(const QList<int>& RecNos)>& Delete)
{
    QList<int> RecNos;
    for (QListWidgetItem* Item : List->selectedItems())
        RecNos << Item->data(RecNoRole).toInt();
    QList<int> Gone;
    try {
        TWaitCursor Wait;
        Gone = Delete(RecNos);
    } catch (const Exception& Error) {
        (void)MessageBoxPos(FWindow, Error.Message(), ProductName, MB_OK | MB_ICONSTOP, 2);
    }
    DeselectGone(List, Gone);
    TellDeleted(FWindow, static_cast<int>(Gone.size()));
    if (!Gone.isEmpty()) {
        const TListPlace Place = RememberPlace(List);
        FHandlers.LoadPage(0, 0);
        RestorePlace(List, Place);
    }
}

void TPagedListFrame::DeleteMatchingLines(const std::function<int()>& Delete)
{
    int Deleted = 0;
    try {
        TWaitCursor Wait;
        Deleted = Delete();
    } catch (const Exception& Error) {
        (void)MessageBoxPos(FWindow, Error.Message(), ProductName, MB_OK | MB_ICONSTOP, 2);
    }
    TellDeleted(FWindow, Deleted);
    if (Deleted > 0)
        FHandlers.LoadPage(0, 0);
}
