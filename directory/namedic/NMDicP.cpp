#include "directory/namedic/NMDicP.h"

#include "main/common/CommonForms.h"
#include "platform/ui/ClosedInput.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethod>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int ClientWidth = 420;
constexpr int ClientHeight = 207;
constexpr int RowHeight = 16;

// Each cell's right and bottom edge in silver, the only lines the grid has; an empty grid draws none.
class TCellLines : public QStyledItemDelegate
{
public:
    TCellLines(const bool& Empty, QObject* Parent) : QStyledItemDelegate(Parent), FEmpty(Empty) {}
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        QStyledItemDelegate::paint(Painter, Option, Index);
        if (FEmpty)
            return;
        Painter->save();
        Painter->setPen(QColor(192, 192, 192));
        const QRect R = Option.rect;
        Painter->drawLine(R.topRight(), R.bottomRight());
        Painter->drawLine(R.bottomLeft(), R.bottomRight());
        Painter->restore();
    }

private:
    const bool& FEmpty;
};

} // namespace

TNameDicP::TNameDicP(QWidget* Owner)
    : QWidget(Owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("NameDicP"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(ClientWidth, ClientHeight);
    QFont F(QStringLiteral("ＭＳ Ｐゴシック"));
    F.setPixelSize(12);
    setFont(F);
    setAutoFillBackground(true);

    sgNameList = new QTableWidget(this);
    sgNameList->setObjectName(QStringLiteral("sgNameList"));
    sgNameList->setGeometry(0, 0, ClientWidth, ClientHeight - 24);
    sgNameList->setFocusPolicy(Qt::NoFocus);
    CloseInputMethod(sgNameList);
    sgNameList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgNameList->setSelectionMode(QAbstractItemView::NoSelection);
    sgNameList->setShowGrid(false);
    sgNameList->horizontalHeader()->hide();
    sgNameList->verticalHeader()->hide();
    sgNameList->verticalHeader()->setMinimumSectionSize(1);
    sgNameList->verticalHeader()->setDefaultSectionSize(RowHeight);
    sgNameList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    sgNameList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgNameList->setItemDelegate(new TCellLines(FEmpty, sgNameList));
    sgNameList->viewport()->installEventFilter(this);
    // A page of the scroll bar is the visible rows less one, so that a row of the last page stays in
    // view for the eye to follow.
    QScrollBar* Bar = sgNameList->verticalScrollBar();
    connect(Bar, &QScrollBar::actionTriggered, this, [this, Bar](int Action) {
        const int Page = std::max(1, FGrid.VisibleRows() - 1);
        if (Action == QAbstractSlider::SliderPageStepAdd)
            Bar->setSliderPosition(std::min(FGrid.TopRow() + Page, FGrid.LastTopRow()));
        else if (Action == QAbstractSlider::SliderPageStepSub)
            Bar->setSliderPosition(std::max(FGrid.TopRow() - Page, 0));
    });
    connect(Bar, &QScrollBar::valueChanged, this, [this](int Value) { FGrid.SetTopRow(Value); });

    lblItem = new QLabel(QStringLiteral("姓名辞書の種類："), this);
    lblItem->setObjectName(QStringLiteral("lblItem"));
    QFont Bold = lblItem->font();
    Bold.setBold(true);
    lblItem->setFont(Bold);
    lblItem->setGeometry(6, ClientHeight - 21, 110, 18);

    rbLineage = new QRadioButton(QStringLiteral("姓"), this);
    rbLineage->setObjectName(QStringLiteral("rbLineage"));
    rbLineage->setProperty("Tag", 0);
    rbLineage->setGeometry(120, ClientHeight - 21, 44, 18);
    rbFirst = new QRadioButton(QStringLiteral("名"), this);
    rbFirst->setObjectName(QStringLiteral("rbFirst"));
    rbFirst->setProperty("Tag", 1);
    rbFirst->setGeometry(168, ClientHeight - 21, 44, 18);
    for (QRadioButton* B : {rbLineage, rbFirst}) {
        B->setFocusPolicy(Qt::NoFocus);
        B->installEventFilter(this);
    }

    sbtnClose = new QToolButton(this);
    sbtnClose->setObjectName(QStringLiteral("sbtnClose"));
    sbtnClose->setText(QStringLiteral("×"));
    sbtnClose->setAutoRaise(true);
    sbtnClose->setFocusPolicy(Qt::NoFocus);
    sbtnClose->setGeometry(ClientWidth - 24, ClientHeight - 22, 20, 20);
    connect(sbtnClose, &QToolButton::clicked, this, &QWidget::close);

    tmrActive = new QTimer(this);
    tmrActive->setObjectName(QStringLiteral("tmrActive"));
    tmrActive->setInterval(100);
    connect(tmrActive, &QTimer::timeout, this, &TNameDicP::tmrActiveTimer);
}

TNameDicP::~TNameDicP()
{
    FLib.Free();
}

void TNameDicP::SetFolders(const QString& LibraryFolder, const QString& DicFolder)
{
    FLibraryFolder = LibraryFolder;
    FDicFolder = DicFolder;
}

void TNameDicP::Initialize()
{
    (void)FLib.Load(FLibraryFolder + QStringLiteral("Namelore.so"));
    sgNameList->horizontalHeader()->setDefaultSectionSize(ScaleByDpi(64, true));
    FGrid.Clear();
    FKind = 0;
    rbLineage->setChecked(true);
    PaintKind();
}

int TNameDicP::CountNames(const QString& Reading, int Kind) const
{
    return FLib.Count(Reading, Kind, FDicFolder).Count;
}

void TNameDicP::SetKind(int Kind)
{
    if (Kind == FKind)
        return;
    FKind = Kind;
    (Kind == 1 ? rbFirst : rbLineage)->setChecked(true);
    PaintKind();
}

void TNameDicP::FillGrid(int Count)
{
    const auto Listed = FLib.List(FReading, FKind, Count, FDicFolder);
    if (Listed.Rc != 0) {
        close();
        return;
    }
    FGrid.Fill(Listed.Names);
    FEmpty = false;
    ShowGrid();
}

bool TNameDicP::HandleKey(unsigned Key)
{
    const auto Result = FGrid.HandleKey(static_cast<int>(Key));
    if (Result.Consumed)
        ShowGrid();
    if (Result.Chosen) {
        FChosenName = Result.Name;
        FReading = Result.Reading;
        if (OnChoose)
            OnChoose({FChosenName, FReading, FKind, FTag});
        PostMessage(parentWidget(), WM_NAMEDIC_SELECT);
    }
    return Result.Consumed;
}

void TNameDicP::Choose(int Col, int Row)
{
    if (!FGrid.Select(Col, Row))
        return;
    ShowGrid();
    (void)HandleKey(Qt::Key_Return);
}

void TNameDicP::sgNameListMouseDown(int Col, int Row)
{
    if (FGrid.Select(Col, Row))
        ShowGrid();
}

void TNameDicP::sgNameListDblClick(int Col, int Row)
{
    Choose(Col, Row);
}

void TNameDicP::rbKindClick(int Kind)
{
    if (Kind == FKind)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetKind(Kind);
    const auto Counted = FLib.Count(FReading, FKind, FDicFolder);
    QApplication::restoreOverrideCursor();
    if (Counted.Rc == 0) {
        FillGrid(Counted.Count);
    } else if (Counted.Rc == 8) {
        FGrid.Clear();
        FEmpty = true;
        ShowGrid();
    } else {
        close();
    }
}

// The pop-up closes when the user turns to another program. Only a change from active to inactive
// counts: some window systems never report the program as active, and the pop-up must not vanish
// the moment it shows there.
void TNameDicP::tmrActiveTimer()
{
    const bool Active = QGuiApplication::applicationState() == Qt::ApplicationActive;
    if (FWasActive && !Active) {
        close();
        return;
    }
    FWasActive = Active;
}

void TNameDicP::closeEvent(QCloseEvent* Event)
{
    FClosing = true;
    tmrActive->stop();
    QWidget::closeEvent(Event);
}

void TNameDicP::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    FWasActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
    tmrActive->start();
}

void TNameDicP::PaintKind()
{
    if (FPaintedKind == FKind)
        return;
    FPaintedKind = FKind;
    rbLineage->setStyleSheet(FKind == 0 ? QStringLiteral("color: blue") : QString());
    rbFirst->setStyleSheet(FKind == 1 ? QStringLiteral("color: blue") : QString());
}

void TNameDicP::ShowGrid()
{
    sgNameList->setRowCount(FGrid.RowCount());
    sgNameList->setColumnCount(FGrid.ColCount());
    const QColor Fixed = palette().color(QPalette::Button);
    for (int R = 0; R < FGrid.RowCount(); ++R)
        for (int C = 0; C < FGrid.ColCount(); ++C) {
            auto* Item = sgNameList->item(R, C);
            if (!Item) {
                Item = new QTableWidgetItem;
                sgNameList->setItem(R, C, Item);
            }
            Item->setText(FGrid.Cell(C, R));
            const bool Selected = FGrid.HasSelection() && R == FGrid.Row() && C == FGrid.Col();
            Item->setBackground(Selected ? QBrush(palette().color(QPalette::Highlight))
                                : C == 0 ? QBrush(Fixed)
                                         : QBrush());
            Item->setForeground(Selected ? QBrush(palette().color(QPalette::HighlightedText)) : QBrush());
        }
    const int Visible = std::max(1, sgNameList->viewport()->height() / RowHeight);
    FGrid.SetVisibleRows(Visible);
    sgNameList->verticalScrollBar()->setValue(FGrid.TopRow());
    PaintKind();
}

bool TNameDicP::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == sgNameList->viewport()) {
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* M = static_cast<QMouseEvent*>(Event);
            if (M->button() == Qt::LeftButton) {
                const QModelIndex At = sgNameList->indexAt(M->position().toPoint());
                if (At.isValid()) {
                    if (Event->type() == QEvent::MouseButtonPress)
                        sgNameListMouseDown(At.column(), At.row());
                    else
                        sgNameListDblClick(At.column(), At.row());
                }
            }
            return true;
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            return true;
        case QEvent::InputMethod:
            // The grid takes no typing: a composition aimed at it is given up.
            QGuiApplication::inputMethod()->reset();
            return true;
        default:
            break;
        }
    } else if (Watched == rbLineage || Watched == rbFirst) {
        switch (Event->type()) {
        case QEvent::MouseButtonPress: {
            auto* M = static_cast<QMouseEvent*>(Event);
            if (M->button() == Qt::LeftButton)
                rbKindClick(Watched->property("Tag").toInt());
            return true;
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(Watched, Event);
}
