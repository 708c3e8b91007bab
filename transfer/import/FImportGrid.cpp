// The mapping grid of the import window: the source list, the destination items with their pieces,
// and the buttons, menu, mouse and drag that edit them.
#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "main/settings/Settings.h"
#include "platform/ui/ClosedInput.h"
#include "transfer/common/GridDrag.h"
#include "transfer/import/ConstIn.h"
#include "transfer/import/FImport.h"
#include "transfer/import/SetOrdVw.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

const char* const DragFormat = "application/x-tolvane-import-field";

// A constant in blue (aqua when selected), a field blank in line 1 in red (yellow when selected).
class TPieceDelegate : public QStyledItemDelegate
{
public:
    TPieceDelegate(QObject* Parent, const std::array<QStringList, 10>& Codes)
        : QStyledItemDelegate(Parent), FCodes(Codes)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override
    {
        QStyledItemDelegate::initStyleOption(Option, Index);
        const int Column = Index.column();
        if (Column < 1 || Column > 9)
            return;
        const QString Code = FCodes[static_cast<size_t>(Column)].value(Index.row() + 1);
        if (Code.isEmpty() || (Code.at(0) != ConstantMark && Code.at(0) != BlankFieldMark))
            return;
        const bool Constant = Code.at(0) == ConstantMark;
        Option->palette.setColor(QPalette::Text, Constant ? QColor(Qt::blue) : QColor(Qt::red));
        Option->palette.setColor(QPalette::HighlightedText, Constant ? QColor(Qt::cyan) : QColor(Qt::yellow));
    }

private:
    const std::array<QStringList, 10>& FCodes;
};

void SetupGrid(QTableWidget* Grid)
{
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 4);
    Grid->setWordWrap(false);
    // Field names and pieces are chosen, never typed.
    CloseInputMethod(Grid);
}

} // namespace

void TFileImport::BuildDestGrid()
{
    if (!sgDest->itemDelegate() || !dynamic_cast<TPieceDelegate*>(sgDest->itemDelegate())) {
        SetupGrid(sgDest);
        SetupGrid(sgSrc);
        sgDest->setItemDelegate(new TPieceDelegate(sgDest, PieceCodes));
        sgDest->setContextMenuPolicy(Qt::CustomContextMenu);
        sgSrc->setColumnCount(2);
        sgSrc->horizontalHeader()->hide();
        sgSrc->setColumnWidth(0, ScaleByDpi(22, true) + 8);
        sgSrc->setColumnWidth(1, ScaleByDpi(140, true));
        sgSrc->setMinimumWidth(sgSrc->columnWidth(0) + sgSrc->columnWidth(1) + 24);
        sgSrc->viewport()->installEventFilter(this);
        sgDest->viewport()->installEventFilter(this);
        sgDest->viewport()->setAcceptDrops(true);
        sgDest->horizontalHeader()->setAcceptDrops(true);
        sgDest->horizontalHeader()->installEventFilter(this);
        connect(sgDest, &QTableWidget::currentCellChanged, this, [this](int Row) { sgDestSelectCell(Row + 1); });
        connect(sgDest, &QTableWidget::cellDoubleClicked, this, [this](int Row) {
            if (!PieceCodes[1].value(Row + 1).isEmpty())
                SetOrderViewClick();
        });
        connect(sgSrc, &QTableWidget::cellDoubleClicked, this, [this] { SourceDoubleClick(); });
        connect(sgDest, &QWidget::customContextMenuRequested, this, [this](const QPoint& At) {
            const bool HasPiece = !PieceCodes[1].value(DestRow()).isEmpty();
            pmiSetOrderView->setEnabled(HasPiece);
            pmiRowClear->setEnabled(HasPiece);
            pmiAllClear->setEnabled(bbtnAllClear->isEnabled());
            pmDest->popup(sgDest->viewport()->mapToGlobal(At));
        });
    }
    FItems = ImportItems(FDest, SelectItemNames());
    const int Rows = static_cast<int>(FItems.size()) - 1;
    sgDest->clear();
    sgDest->setColumnCount(10);
    sgDest->setRowCount(Rows);
    QStringList Headers = {QStringLiteral("項目名")};
    for (int Column = 1; Column <= 9; ++Column)
        Headers.append(QStringLiteral("第%1項目").arg(Column));
    sgDest->setHorizontalHeaderLabels(Headers);
    for (int Column = 0; Column <= 9; ++Column)
        sgDest->setColumnWidth(Column, ScaleByDpi(140, true));
    for (int Row = 1; Row <= Rows; ++Row) {
        auto* Name = new QTableWidgetItem(FItems.at(Row).Name);
        Name->setBackground(QApplication::palette().color(QPalette::Button));
        Name->setFlags(Qt::ItemIsEnabled);
        sgDest->setItem(Row - 1, 0, Name);
    }
    for (QStringList& Codes : PieceCodes)
        Codes = QStringList(Rows + 1);
    ClearAllPieces();
}

void TFileImport::ClearSourceList()
{
    FSourceCount = 0;
    sgSrc->setRowCount(20);
    for (int Row = 0; Row < 20; ++Row) {
        sgSrc->setItem(Row, 0, new QTableWidgetItem(QStringLiteral("%1").arg(Row + 1, 3)));
        sgSrc->setItem(Row, 1, new QTableWidgetItem);
    }
}

void TFileImport::SetGridsEnabled(bool Enabled)
{
    for (QTableWidget* Grid : {sgSrc, sgDest}) {
        Grid->setEnabled(Enabled);
        QPalette Colours = Grid->palette();
        Colours.setColor(QPalette::Base, QApplication::palette().color(Enabled ? QPalette::Base : QPalette::Button));
        Colours.setColor(QPalette::Text, Enabled ? QApplication::palette().color(QPalette::Text)
                                                 : QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        Grid->setPalette(Colours);
    }
}

int TFileImport::DestRow() const
{
    return std::max(sgDest->currentRow(), 0) + 1;
}

int TFileImport::UsedPieces(int Row) const
{
    int Used = 0;
    while (Used < 9 && !PieceCodes[static_cast<size_t>(Used + 1)].value(Row).isEmpty())
        ++Used;
    return Used;
}

void TFileImport::SetPieceCell(int Column, int Row, const QString& Code, const QString& Text)
{
    PieceCodes[static_cast<size_t>(Column)][Row] = Code;
    QTableWidgetItem* Item = sgDest->item(Row - 1, Column);
    if (!Item) {
        Item = new QTableWidgetItem;
        sgDest->setItem(Row - 1, Column, Item);
    }
    Item->setText(Text);
}

void TFileImport::ClearAllPieces()
{
    for (int Row = 1; Row < FItems.size(); ++Row)
        for (int Column = 1; Column <= 9; ++Column)
            SetPieceCell(Column, Row, {}, {});
}

TImportMapping TFileImport::Mapping() const
{
    TImportMapping Result(FItems.size());
    for (int Row = 1; Row < FItems.size(); ++Row)
        for (int Column = 1; Column <= UsedPieces(Row); ++Column)
            Result[Row].append({PieceCodes[static_cast<size_t>(Column)].value(Row),
                                sgDest->item(Row - 1, Column) ? sgDest->item(Row - 1, Column)->text() : QString()});
    return Result;
}

void TFileImport::SetPiece(int Column, int Row)
{
    const int Source = std::max(sgSrc->currentRow(), 0);
    const QString Text = TrimBlanks(sgSrc->item(Source, 1) ? sgSrc->item(Source, 1)->text() : QString());
    const TImportPiece Piece = IsBlankHeader(Text) ? BlankFieldPiece(Source) : FieldPiece(Source, Text);
    SetPieceCell(Column, Row, Piece.Code, Piece.Text);
    sgDest->setFocus();
}

void TFileImport::bbtnSetClick()
{
    const int Row = DestRow();
    SetPiece(1, Row);
    FirstPieceButtons();
}

// A row that has just got its first piece: "追加" in place of "セット", and the row can be edited.
void TFileImport::FirstPieceButtons()
{
    bbtnSet->setVisible(false);
    bbtnAdd->setVisible(true);
    bbtnAdd->setEnabled(true);
    for (QPushButton* Button : {bbtnDelete, bbtnRowClear, bbtnAllClear})
        Button->setEnabled(true);
    UpdateMoveButtons();
}

void TFileImport::bbtnAddClick()
{
    const int Row = DestRow();
    const int Used = UsedPieces(Row);
    if (Used >= 9)
        return;
    SetPiece(Used + 1, Row);
    if (Used + 1 == 9) {
        bbtnAdd->setEnabled(false);
        bbtnConst->setEnabled(false);
    }
}

void TFileImport::bbtnConstClick()
{
    const int Row = DestRow();
    const int Used = UsedPieces(Row);
    if (Used >= 9)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TConstantInput Input(this);
    Input.SetMaxLength(FItems.at(Row).MaxLength);
    Input.adjustSize();
    CenterForm(&Input, this);
    QApplication::restoreOverrideCursor();
    if (Input.exec() != QDialog::Accepted)
        return;
    SetPieceCell(Used + 1, Row, QString(ConstantMark), Input.GetValue());
    if (Used == 0)
        FirstPieceButtons();
    if (Used + 1 == 9) {
        bbtnAdd->setEnabled(false);
        bbtnConst->setEnabled(false);
    }
    sgDest->setFocus();
}

void TFileImport::bbtnDeleteClick()
{
    const int Row = DestRow();
    const int Used = UsedPieces(Row);
    if (Used == 0)
        return;
    SetPieceCell(Used, Row, {}, {});
    if (Used == 9) {
        bbtnAdd->setEnabled(true);
        bbtnConst->setEnabled(true);
    }
    if (Used == 1)
        ResetPieceButtons();
}

void TFileImport::RowClearClick()
{
    const int Row = DestRow();
    for (int Column = 1; Column <= 9; ++Column)
        SetPieceCell(Column, Row, {}, {});
    ResetPieceButtons();
}

void TFileImport::AllClearClick()
{
    ClearAllPieces();
    sgDest->setCurrentCell(0, 1);
    ResetPieceButtons();
}

void TFileImport::MoveRow(int Delta)
{
    const int Row = DestRow();
    const int Other = Row + Delta;
    if (Other < 1 || Other >= FItems.size())
        return;
    for (int Column = 1; Column <= 9; ++Column) {
        const QString Code = PieceCodes[static_cast<size_t>(Column)].value(Row);
        const QString Text = sgDest->item(Row - 1, Column)->text();
        SetPieceCell(Column, Row, PieceCodes[static_cast<size_t>(Column)].value(Other),
                     sgDest->item(Other - 1, Column)->text());
        SetPieceCell(Column, Other, Code, Text);
    }
    sgDest->setCurrentCell(Other - 1, std::max(sgDest->currentColumn(), 1));
    sgDestSelectCell(Other);
}

void TFileImport::ResetPieceButtons()
{
    bbtnSet->setVisible(true);
    bbtnSet->setEnabled(FLoaded);
    bbtnAdd->setVisible(false);
    bbtnConst->setEnabled(FLoaded);
    bbtnDelete->setEnabled(false);
    bbtnRowClear->setEnabled(false);
    UpdateAllClear();
    bbtnUp->setEnabled(false);
    bbtnDown->setEnabled(false);
}

void TFileImport::UpdateAllClear()
{
    bool Any = false;
    for (int Row = 1; Row < FItems.size(); ++Row)
        Any = Any || !PieceCodes[1].value(Row).isEmpty();
    bbtnAllClear->setEnabled(Any);
}

void TFileImport::UpdateMoveButtons()
{
    const int Row = DestRow();
    const bool HasPiece = !PieceCodes[1].value(Row).isEmpty();
    bbtnUp->setEnabled(HasPiece && Row > 1);
    bbtnDown->setEnabled(HasPiece && Row < FItems.size() - 1);
}

void TFileImport::sgDestSelectCell(int Row)
{
    if (Row < 1 || Row >= FItems.size())
        return;
    const bool HasPiece = !PieceCodes[1].value(Row).isEmpty();
    bbtnSet->setVisible(!HasPiece);
    bbtnAdd->setVisible(HasPiece);
    bbtnDelete->setEnabled(HasPiece);
    bbtnRowClear->setEnabled(HasPiece);
    const bool Full = !PieceCodes[9].value(Row).isEmpty();
    bbtnAdd->setEnabled(!Full && sgDest->isEnabled());
    bbtnConst->setEnabled(!Full && sgDest->isEnabled());
    bbtnSet->setEnabled(sgDest->isEnabled());
    UpdateMoveButtons();
}

void TFileImport::SetOrderViewClick()
{
    const int Row = DestRow();
    TSetOrderView View(this);
    QStringList Texts;
    for (int Column = 1; Column <= 9; ++Column)
        Texts.append(sgDest->item(Row - 1, Column) ? sgDest->item(Row - 1, Column)->text() : QString());
    View.SetPieces(Texts);
    View.adjustSize();
    CenterForm(&View, this);
    View.exec();
}

void TFileImport::SourceDoubleClick()
{
    FSkipNextSourcePress = true;
    (bbtnSet->isVisible() ? bbtnSet : bbtnAdd)->click();
}

void TFileImport::DropOnDest(const QPoint& At)
{
    const int Row = sgDest->rowAt(At.y());
    if (Row < 0)
        return;
    sgDest->setCurrentCell(Row, std::max(sgDest->columnAt(At.x()), 1));
    (bbtnSet->isVisible() ? bbtnSet : bbtnAdd)->click();
}

bool TFileImport::FilterGridEvent(QObject* Watched, QEvent* Event)
{
    if (Watched == sgSrc->viewport()) {
        if (Event->type() == QEvent::MouseButtonPress) {
            // The press that follows a double click starts no drag.
            if (FSkipNextSourcePress) {
                FSkipNextSourcePress = false;
                return false;
            }
        } else if (Event->type() == QEvent::MouseMove && sgSrc->isEnabled() &&
                   (static_cast<QMouseEvent*>(Event)->buttons() & Qt::LeftButton)) {
            StartRowDrag(*sgSrc, DragFormat);
            return true;
        }
        return false;
    }
    if (Watched == sgDest->horizontalHeader()) {
        // A drag held over the header refuses there and scrolls the items up a row at a time.
        if (Event->type() != QEvent::DragEnter && Event->type() != QEvent::DragMove)
            return false;
        static_cast<QDragMoveEvent*>(Event)->ignore();
        QScrollBar* Bar = sgDest->verticalScrollBar();
        if (Bar->value() > Bar->minimum())
            Bar->setValue(Bar->value() - 1);
        return true;
    }
    switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        (void)FollowRowDrag(*sgDest, *static_cast<QDragMoveEvent*>(Event), DragFormat, 1, false);
        return true;
    case QEvent::Drop: {
        auto* Drop = static_cast<QDropEvent*>(Event);
        DropOnDest(Drop->position().toPoint());
        Drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}
