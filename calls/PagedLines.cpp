#include "calls/PagedLines.h"

#include "calls/DelTrgt.h"
#include "calls/PgJump.h"
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/MyHdCtrl.h"
#include "platform/ini/IniFile.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

namespace {

// Text drawn whole: in Cell when it fits there, else over the whole of Column, narrowed to its width
// when even that is too little.
void DrawWholeText(QPainter& Painter, const QRect& Cell, const QRect& Column, int Align, const QString& Text,
                   const QFontMetrics& Metrics)
{
    const int Advance = Metrics.horizontalAdvance(Text);
    if (Advance <= Cell.width()) {
        Painter.drawText(Cell, Align, Text);
        return;
    }
    if (Advance <= Column.width() || Column.width() <= 0) {
        Painter.drawText(Column, Align, Text);
        return;
    }
    Painter.save();
    Painter.translate(Column.left(), 0);
    Painter.scale(static_cast<double>(Column.width()) / Advance, 1.0);
    Painter.drawText(QRect(0, Column.top(), Advance, Column.height()), Align, Text);
    Painter.restore();
}

} // namespace

namespace PagedLines {

TPagedLineDelegate::TPagedLineDelegate(QObject* Parent, TMyHeaderControl* Header, std::function<int()> MarkedRecNo,
                                       int Margin, bool FirstRight)
    : QAbstractItemDelegate(Parent), FHeader(Header), FMarkedRecNo(std::move(MarkedRecNo)), FMargin(Margin),
      FFirstRight(FirstRight)
{
}

void TPagedLineDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const
{
    const bool Selected = Option.state & QStyle::State_Selected;
    const QPalette& Palette = Option.palette;
    Painter->fillRect(Option.rect, Selected ? Palette.highlight() : Palette.base());
    QColor Text = Selected ? Palette.color(QPalette::HighlightedText) : Palette.color(QPalette::Text);
    if (FMarkedRecNo && Index.data(RecNoRole).toInt() == FMarkedRecNo())
        Text = Selected ? QColor(255, 255, 0) : QColor(0, 0, 255);
    const QStringList Cells = Index.data(Qt::DisplayRole).toString().split(u'\t');
    const TMyCustomHeaderSections& Sections = FHeader->Sections();
    const int Margin = ScaleByDpi(FMargin, true);
    int Left = Option.rect.left();
    Painter->save();
    Painter->setFont(Option.font);
    for (int I = 0; I < Sections.Count(); ++I) {
        const int Width = Sections[I].Width();
        const QRect Cell(Left + Margin, Option.rect.top(), Width - 2 * Margin, Option.rect.height());
        const int Align =
            Qt::TextSingleLine | Qt::AlignVCenter | (I == 0 && FFirstRight ? Qt::AlignRight : Qt::AlignLeft);
        Painter->setPen(Text);
        if (I == 0) {
            // The running number is never cut: "12…" names no row.
            DrawWholeText(*Painter, Cell, QRect(Left + 1, Cell.top(), Width - 2, Cell.height()), Align,
                          Cells.value(I), Option.fontMetrics);
        } else if (Cell.width() > 0) {
            Painter->drawText(Cell, Align, Option.fontMetrics.elidedText(Cells.value(I), Qt::ElideRight, Cell.width()));
        }
        Painter->setPen(QColor(128, 128, 128));
        Painter->drawLine(Left + Width - 1, Option.rect.top(), Left + Width - 1, Option.rect.bottom());
        Left += Width;
    }
    if (Option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect Focus;
        Focus.rect = Option.rect;
        Focus.state = Option.state;
        Focus.backgroundColor = Selected ? Palette.color(QPalette::Highlight) : Palette.color(QPalette::Base);
        QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Focus, Painter);
    }
    Painter->restore();
}

QSize TPagedLineDelegate::sizeHint(const QStyleOptionViewItem& Option, const QModelIndex&) const
{
    return {FHeader->Sections().TotalWidth(), Option.fontMetrics.height() + 2};
}

TLineSelection RememberLines(QListWidget* List)
{
    TLineSelection Memory;
    const QList<QListWidgetItem*> Selected = List->selectedItems();
    if (!Selected.isEmpty() && List->currentItem())
        Memory.FocusRecNo = List->currentItem()->data(RecNoRole).toInt();
    for (QListWidgetItem* Item : Selected)
        Memory.Selected << Item->data(RecNoRole).toInt();
    if (QListWidgetItem* Top = List->itemAt(1, 1))
        Memory.TopRecNo = Top->data(RecNoRole).toInt();
    return Memory;
}

void ShowLines(QListWidget* List, const QList<TListLine>& Lines, QList<int>& RowRecNos)
{
    List->setUpdatesEnabled(false);
    List->clear();
    RowRecNos.clear();
    for (const TListLine& Line : Lines) {
        auto* Item = new QListWidgetItem(Line.Text());
        Item->setData(RecNoRole, Line.RecNo);
        List->addItem(Item);
        RowRecNos << Line.RecNo;
    }
    List->setUpdatesEnabled(true);
}

void LandOnPage(QListWidget* List, bool Bottom)
{
    QListWidgetItem* Line = List->item(Bottom ? List->count() - 1 : 0);
    List->setCurrentItem(Line, QItemSelectionModel::ClearAndSelect);
    List->scrollToItem(Line, QAbstractItemView::PositionAtTop);
}

void RestoreLines(QListWidget* List, const TLineSelection& Memory)
{
    QListWidgetItem* Focus = nullptr;
    QListWidgetItem* Top = nullptr;
    for (int I = 0; I < List->count(); ++I) {
        QListWidgetItem* Item = List->item(I);
        const int RecNo = Item->data(RecNoRole).toInt();
        if (Memory.Selected.contains(RecNo)) {
            Item->setSelected(true);
            if (!Focus)
                Focus = Item;
        }
        if (RecNo == Memory.FocusRecNo)
            Focus = Item;
        if (RecNo == Memory.TopRecNo)
            Top = Item;
    }
    if (!Focus && List->count() > 0)
        Focus = Top ? Top : List->item(0);
    // Focus first: moving it scrolls, and the top line has the last word.
    if (Focus)
        List->setCurrentItem(Focus, QItemSelectionModel::NoUpdate);
    if (Top)
        List->scrollToItem(Top, QAbstractItemView::PositionAtTop);
}

QStringList LineCells(const QListWidget* List, int Index)
{
    const QListWidgetItem* Item = List->item(Index);
    if (!Item)
        return {};
    QStringList Cells = Item->text().split(u'\t');
    if (!Cells.isEmpty() && Cells.last().isEmpty())
        Cells.removeLast();
    return Cells;
}

int FitHeader(QWidget* Panel, TMyHeaderControl* Header, QListWidget* List)
{
    const int PanelWidth = Panel->width();
    Header->resize(std::max(PanelWidth, Header->Sections().TotalWidth()), Panel->height());
    // Level with the lines inside the list's frame.
    Header->move(List->frameWidth() - List->horizontalScrollBar()->value(), 0);
    // The lines are as wide as the sections: the list's sideways extent follows them.
    List->doItemsLayout();
    List->viewport()->update();
    return PanelWidth;
}

void FollowScroll(QListWidget* List, TMyHeaderControl* Header)
{
    QObject::connect(List->horizontalScrollBar(), &QScrollBar::valueChanged, Header,
                     [List, Header](int Value) { Header->move(List->frameWidth() - Value, 0); });
}

bool TrackSection(TMyCustomHeaderSection* Section, int Width, TMySectionTrackState State, int& TrackStartWidth)
{
    Section->SetWidth(Width);
    if (State == TMySectionTrackState::Begin) {
        TrackStartWidth = Width;
        return false;
    }
    // The lines and the sections to the right follow the divider while it moves.
    return State == TMySectionTrackState::Move || Width != TrackStartWidth;
}

bool ResetHeaderWidths(TMyHeaderControl* Header, const int* DefaultWidths)
{
    TMyCustomHeaderSections& Sections = Header->Sections();
    bool Changed = false;
    for (int I = 0; I < Sections.Count(); ++I) {
        const int Width = ScaleByDpi(DefaultWidths[I], true);
        Changed = Changed || Sections[I].Width() != Width;
        Sections[I].SetWidth(Width);
    }
    return Changed;
}

void SelectAllLines(QListWidget* List)
{
    const int Current = List->currentRow();
    const int Scroll = List->verticalScrollBar()->value();
    List->selectAll();
    if (Current >= 0)
        List->setCurrentRow(Current, QItemSelectionModel::NoUpdate);
    List->verticalScrollBar()->setValue(Scroll);
}

void ShowSortOrder(QPushButton* Previous, QPushButton* Chosen)
{
    if (Previous) {
        QFont Font = Previous->font();
        Font.setBold(false);
        Previous->setFont(Font);
        Previous->setPalette(Previous->window()->palette());
    }
    QFont Font = Chosen->font();
    Font.setBold(true);
    Chosen->setFont(Font);
    QPalette Blue = Chosen->palette();
    Blue.setColor(QPalette::ButtonText, QColor(0, 0, 255));
    Chosen->setPalette(Blue);
}

QPushButton* PageEdgeButton(const QListWidget* List, const QKeyEvent* Key, QPushButton* Prev, QPushButton* Next,
                            int PageSize)
{
    if (Key->modifiers() & Qt::ShiftModifier)
        return nullptr;
    if (Key->key() == Qt::Key_PageUp && Prev->isVisible() && List->currentRow() == 0)
        return Prev;
    if (Key->key() == Qt::Key_PageDown && Next->isVisible() && List->currentRow() == PageSize - 1)
        return Next;
    return nullptr;
}

void ShowNoLines(const TPageControls& Controls, QList<int>& RowRecNos)
{
    Controls.List->clear();
    RowRecNos.clear();
    Controls.List->setCurrentItem(nullptr);
    Controls.Jump->hide();
    Controls.Prev->hide();
    Controls.Next->hide();
    Controls.CountPanel->setText(QStringLiteral("件数 ： ---"));
    Controls.PagePanel->setText(QStringLiteral("ページ ： ---"));
}

void ShowPage(const TPageControls& Controls, const TListPages& Pages, QList<int>& RowRecNos)
{
    ShowLines(Controls.List, Pages.Lines, RowRecNos);
    Controls.CountPanel->setText(QStringLiteral("件数 ： ") + QString::number(Pages.TotalRows));
    Controls.PagePanel->setText(QStringLiteral("ページ ： ") + QString::number(Pages.CurrentPage));
    Controls.Jump->setVisible(Pages.JumpVisible());
    Controls.Prev->setVisible(Pages.PrevVisible());
    Controls.Next->setVisible(Pages.NextVisible());
}

bool ReportLoadFailure(QWidget* Owner, TListLoadResult Result)
{
    QString Text;
    switch (Result) {
    case TListLoadResult::Gone:
        Text = QStringLiteral("該当するデータが見つかりませんでした  ");
        break;
    case TListLoadResult::NoPrevious:
        Text = QStringLiteral("前頁のデータが見つかりませんでした  ");
        break;
    case TListLoadResult::NoNext:
        Text = QStringLiteral("次頁のデータが見つかりませんでした  ");
        break;
    case TListLoadResult::Loaded:
    case TListLoadResult::Empty:
        return false;
    }
    (void)MessageBoxPos(Owner, Text, ProductName, MB_OK | MB_ICONSTOP, 2);
    return true;
}

int AskJumpPage(QWidget* Owner, int HelpContext, const TListPages& Pages)
{
    TPageJump Dialog(Owner);
    Dialog.setProperty("HelpContext", HelpContext);
    Dialog.adjustSize();
    PlaceFormBottomRight(&Dialog, Owner, 15, 15);
    Dialog.SetPages(Pages.PageCount(), Pages.CurrentPage);
    if (Dialog.exec() != 1)
        return 0;
    int Page = 0;
    Dialog.GetPage(Page);
    return Page != Pages.CurrentPage ? Page : 0;
}

TDeleteChoice AskDeleteTarget(QWidget* Owner, const QString& Caption, int HelpContext, int SelectedCount)
{
    TDeleteTarget Dialog(Owner);
    Dialog.SetCaption(Caption);
    Dialog.setProperty("HelpContext", HelpContext);
    Dialog.SetSelectedCount(SelectedCount);
    Dialog.adjustSize();
    PlaceFormBottomRight(&Dialog, Owner, 15, 15);
    if (Dialog.exec() == 2)
        return TDeleteChoice::None;
    return Dialog.DeleteAll() ? TDeleteChoice::Matching : TDeleteChoice::Selected;
}

bool ConfirmDeletion(QWidget* Owner, int Count)
{
    return MessageBoxPos(Owner,
                         QString::number(Count) + QStringLiteral("件のデータを削除します  ") + QStringLiteral("\r\n") +
                             QStringLiteral("よろしいですか？  "),
                         ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, 2) != IDNO;
}

TListPlace RememberPlace(QListWidget* List)
{
    QListWidgetItem* TopItem = List->itemAt(1, 1);
    return {TopItem ? List->row(TopItem) : 0, List->currentRow()};
}

void RestorePlace(QListWidget* List, const TListPlace& Place)
{
    if (QListWidgetItem* Line = List->item(std::min(Place.Top, List->count() - 1)))
        List->scrollToItem(Line, QAbstractItemView::PositionAtTop);
    if (List->currentRow() != Place.Focused && List->count() > 0)
        List->setCurrentRow(std::min(Place.Focused, List->count() - 1), QItemSelectionModel::NoUpdate);
}

void DeselectGone(QListWidget* List, const QList<int>& Gone)
{
    for (int Row = 0; Row < List->count(); ++Row)
        if (Gone.contains(List->item(Row)->data(RecNoRole).toInt()))
            List->item(Row)->setSelected(false);
}

void LoadWindowBounds(QWidget* Window, TMemIniFile& Ini, const QString& Section, int Width, int Height)
{
    const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
    Width = ScaleByDpi(Ini.ReadInteger(Section, QStringLiteral("Width"), Width), true);
    Height = ScaleByDpi(Ini.ReadInteger(Section, QStringLiteral("Height"), Height), true);
    Window->resize(Width, Height);
    // A position left of or above the primary screen is a real one on another screen, and stays.
    MoveToStoredPlace(Window, QPoint(Ini.ValueExists(Section, QStringLiteral("Left"))
                                         ? ScaleByDpi(Ini.ReadInteger(Section, QStringLiteral("Left"), 0), true)
                                         : Screen.left() + (Screen.width() - Width) / 2,
                                     Ini.ValueExists(Section, QStringLiteral("Top"))
                                         ? ScaleByDpi(Ini.ReadInteger(Section, QStringLiteral("Top"), 0), true)
                                         : Screen.top() + (Screen.height() - Height) / 2));
}

void SaveWindowBounds(const QWidget* Window, TMemIniFile& Ini, const QString& Section)
{
    const bool Normal = !Window->isMaximized() && !Window->isMinimized();
    const QSize Size = Normal ? Window->size() : Window->normalGeometry().size();
    const QPoint Corner = Normal ? Window->pos() : Window->normalGeometry().topLeft();
    Ini.WriteInteger(Section, QStringLiteral("Width"), ScaleByDpi(Size.width(), false));
    Ini.WriteInteger(Section, QStringLiteral("Height"), ScaleByDpi(Size.height(), false));
    Ini.WriteInteger(Section, QStringLiteral("Left"), ScaleByDpi(Corner.x(), false));
    Ini.WriteInteger(Section, QStringLiteral("Top"), ScaleByDpi(Corner.y(), false));
}

void LoadHeaderWidths(TMyHeaderControl* Header, TMemIniFile& Ini, const QString& Section, const int* DefaultWidths)
{
    TMyCustomHeaderSections& Sections = Header->Sections();
    for (int I = 0; I < Sections.Count(); ++I)
        Sections[I].SetWidth(
            ScaleByDpi(Ini.ReadInteger(Section, QStringLiteral("List%1").arg(I + 1), DefaultWidths[I]), true));
}

void SaveHeaderWidths(const TMyHeaderControl* Header, TMemIniFile& Ini, const QString& Section)
{
    const TMyCustomHeaderSections& Sections = Header->Sections();
    for (int I = 0; I < Sections.Count(); ++I)
        Ini.WriteInteger(Section, QStringLiteral("List%1").arg(I + 1), ScaleByDpi(Sections[I].Width(), false));
}

} // namespace PagedLines
