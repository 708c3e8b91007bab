// The "印刷内容" page: the source, the items and their order and widths, the templates, and the
// title, date and page-number options.

#include "main/common/CommonForms.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/NumberUpDown.h"
#include "main/settings/Settings.h"
#include "transfer/print/ListPrtDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

void TListPrint::CreatePage0(QWidget* Page)
{
    auto* Layout = new QVBoxLayout(Page);
    auto* Items = NewNamed<QGroupBox>(Page, "gbxItems", QStringLiteral("印刷項目の設定"));
    auto* Grid = new QGridLayout(Items);
    Grid->addWidget(new QLabel(QStringLiteral("印刷情報："), Items), 0, 0);
    rbRecvHis = NewNamed<QRadioButton>(Items, "rbRecvHis", QStringLiteral("着信対応履歴"));
    rbAddMeibo = NewNamed<QRadioButton>(Items, "rbAddMeibo", QStringLiteral("登録名簿"));
    auto* Sources = new QHBoxLayout;
    Sources->addWidget(rbRecvHis);
    Sources->addWidget(rbAddMeibo);
    Sources->addStretch();
    Grid->addLayout(Sources, 0, 1, 1, 3);
    Grid->addWidget(new QLabel(QStringLiteral("テンプレート："), Items), 1, 0);
    cbxTemplateName = NewNamed<QComboBox>(Items, "cbxTemplateName");
    cbxTemplateName->setEditable(true);
    cbxTemplateName->setInsertPolicy(QComboBox::NoInsert);
    cbxTemplateName->lineEdit()->setMaxLength(30);
    bbtnSaveTemplate = NewNamed<QPushButton>(Items, "bbtnSaveTemplate", QStringLiteral("保存"));
    bbtnDeleteTemplate = NewNamed<QPushButton>(Items, "bbtnDeleteTemplate", QStringLiteral("削除"));
    auto* Templates = new QHBoxLayout;
    Templates->addWidget(cbxTemplateName, 1);
    Templates->addWidget(bbtnSaveTemplate);
    Templates->addWidget(bbtnDeleteTemplate);
    Grid->addLayout(Templates, 1, 1, 1, 3);
    Grid->addWidget(new QLabel(QStringLiteral("項目名："), Items), 2, 0);
    Grid->addWidget(new QLabel(QStringLiteral("印刷順："), Items), 2, 2);
    lbxSrc = NewNamed<QListWidget>(Items, "lbxSrc");
    lbxDest = NewNamed<QListWidget>(Items, "lbxDest");
    for (QListWidget* List : {lbxSrc, lbxDest}) {
        List->setMinimumSize(170, 170);
        List->installEventFilter(this);
    }
    // An item dragged from the item list and dropped on the print order is set there.
    lbxSrc->setDragEnabled(true);
    lbxSrc->setDragDropMode(QAbstractItemView::DragOnly);
    lbxDest->setAcceptDrops(true);
    lbxDest->viewport()->installEventFilter(this);
    Grid->addWidget(lbxSrc, 3, 0, 1, 2);
    auto* Moves = new QVBoxLayout;
    bbtnSet = NewNamed<QPushButton>(Items, "bbtnSet", QStringLiteral("セット"));
    bbtnDelete = NewNamed<QPushButton>(Items, "bbtnDelete", QStringLiteral("削除"));
    bbtnAllClear = NewNamed<QPushButton>(Items, "bbtnAllClear", QStringLiteral("全削除"));
    bbtnUp = NewNamed<QPushButton>(Items, "bbtnUp", QStringLiteral("↑"));
    bbtnDown = NewNamed<QPushButton>(Items, "bbtnDown", QStringLiteral("↓"));
    for (QPushButton* Button : {bbtnSet, bbtnDelete, bbtnAllClear, bbtnUp, bbtnDown}) {
        Button->setAutoDefault(false);
        Moves->addWidget(Button);
    }
    Moves->addStretch();
    Grid->addLayout(Moves, 3, 2);
    Grid->addWidget(lbxDest, 3, 3);
    auto* SizeRow = new QHBoxLayout;
    SizeRow->addWidget(new QLabel(QStringLiteral("項目幅："), Items));
    edtSize = NewNamed<QLineEdit>(Items, "edtSize");
    udSize = NewNamed<TNumberUpDown>(Items, "udSize", 1, 999);
    CreateNumberEdit(0, edtSize, udSize, 3);
    SizeRow->addWidget(edtSize);
    SizeRow->addWidget(udSize);
    SizeRow->addWidget(new QLabel(QStringLiteral("(半角文字数)"), Items));
    SizeRow->addStretch();
    Grid->addLayout(SizeRow, 4, 3);
    chkIgnoreTdfkn = NewNamed<QCheckBox>(Items, "chkIgnoreTdfkn", QStringLiteral("都道府県名は印刷しない"));
    Grid->addWidget(chkIgnoreTdfkn, 4, 0, 1, 2);
    Layout->addWidget(Items);

    auto* Extra = NewNamed<QGroupBox>(Page, "gbxExtra", QStringLiteral("付加情報"));
    auto* ExtraGrid = new QGridLayout(Extra);
    ExtraGrid->addWidget(new QLabel(QStringLiteral("タイトル："), Extra), 0, 0);
    edtTitle = NewNamed<QLineEdit>(Extra, "edtTitle");
    edtTitle->setMaxLength(200);
    cbxTitlePosX = NewNamed<QComboBox>(Extra, "cbxTitlePosX");
    ExtraGrid->addWidget(edtTitle, 0, 1, 1, 2);
    ExtraGrid->addWidget(cbxTitlePosX, 0, 3);
    chkViewDate = NewNamed<QCheckBox>(Extra, "chkViewDate", QStringLiteral("日付を表示する"));
    dtpViewDate = NewNamed<QDateEdit>(Extra, "dtpViewDate");
    dtpViewDate->setCalendarPopup(true);
    dtpViewDate->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    cbxDatePosX = NewNamed<QComboBox>(Extra, "cbxDatePosX");
    cbxDatePosY = NewNamed<QComboBox>(Extra, "cbxDatePosY");
    ExtraGrid->addWidget(chkViewDate, 1, 0);
    ExtraGrid->addWidget(dtpViewDate, 1, 1);
    ExtraGrid->addWidget(cbxDatePosX, 1, 2);
    ExtraGrid->addWidget(cbxDatePosY, 1, 3);
    chkViewPage = NewNamed<QCheckBox>(Extra, "chkViewPage", QStringLiteral("ページ数を表示する"));
    cbxPageType = NewNamed<QComboBox>(Extra, "cbxPageType");
    cbxPagePosX = NewNamed<QComboBox>(Extra, "cbxPagePosX");
    cbxPagePosY = NewNamed<QComboBox>(Extra, "cbxPagePosY");
    ExtraGrid->addWidget(chkViewPage, 2, 0);
    ExtraGrid->addWidget(cbxPageType, 2, 1);
    ExtraGrid->addWidget(cbxPagePosX, 2, 2);
    ExtraGrid->addWidget(cbxPagePosY, 2, 3);
    Layout->addWidget(Extra);

    connect(rbRecvHis, &QRadioButton::clicked, this, [this] { SourceClick(SourceRecvHis); });
    connect(rbAddMeibo, &QRadioButton::clicked, this, [this] { SourceClick(SourceMeibo); });
    connect(cbxTemplateName, qOverload<int>(&QComboBox::activated), this, [this] { cbxTemplateNameClick(); });
    connect(bbtnSaveTemplate, &QPushButton::clicked, this, &TListPrint::bbtnSaveTemplateClick);
    connect(bbtnDeleteTemplate, &QPushButton::clicked, this, &TListPrint::bbtnDeleteTemplateClick);
    connect(bbtnSet, &QPushButton::clicked, this, &TListPrint::bbtnSetClick);
    connect(bbtnDelete, &QPushButton::clicked, this, &TListPrint::bbtnDeleteClick);
    connect(bbtnAllClear, &QPushButton::clicked, this, &TListPrint::bbtnAllClearClick);
    connect(bbtnUp, &QPushButton::clicked, this, [this] { MoveClick(true); });
    connect(bbtnDown, &QPushButton::clicked, this, [this] { MoveClick(false); });
    connect(lbxSrc, &QListWidget::itemDoubleClicked, this, [this] { bbtnSetClick(); });
    connect(lbxDest, &QListWidget::itemDoubleClicked, this, [this] { bbtnDeleteClick(); });
    connect(lbxDest, &QListWidget::currentRowChanged, this, [this] {
        UpdateSizeEdit();
        UpdateMoveButtons();
    });
    connect(chkIgnoreTdfkn, &QCheckBox::toggled, this, [this] { ShowCheckedColors(); });
    connect(chkViewDate, &QCheckBox::clicked, this, [this] {
        SetDateControls();
        ShowCheckedColors();
        CountRecordsPerPage();
    });
    connect(chkViewPage, &QCheckBox::clicked, this, [this] {
        SetPageControls();
        ShowCheckedColors();
        CountRecordsPerPage();
    });
    for (QComboBox* Combo : {cbxDatePosX, cbxDatePosY, cbxPagePosX, cbxPagePosY})
        connect(Combo, qOverload<int>(&QComboBox::activated), this, [this] { CountRecordsPerPage(); });
    edtTitle->installEventFilter(this);
}

void TListPrint::SourceClick(int Source)
{
    Model.PrintSource = Source;
    ShowCheckedColors();
    if (Settings.UseFbAdrs && FShown && Source == SourceMeibo)
        (void)MessageBoxPos(this, FernbookNotice, ProductName, MB_OK | MB_ICONINFORMATION);
    CountSourceRecords();
    btnPreview->setEnabled(Model.SourceRecordCount > 0);
    cbxTemplateName->setEditText(QString());
    Model.BuildItemTable();
    FillTemplateNames();
    ShowLayout();
    UpdateLayoutButtons();
}

void TListPrint::UpdateLayoutButtons()
{
    const bool Entries = !Model.CurrentLayout().isEmpty();
    bbtnSaveTemplate->setEnabled(Entries && Model.CurrentTemplates().CanSave());
    bbtnDelete->setEnabled(Entries);
    bbtnAllClear->setEnabled(Entries);
    btnList->setEnabled(Entries);
    UpdateMoveButtons();
}

void TListPrint::FillTemplateNames()
{
    const QString Remembered = cbxTemplateName->currentText();
    const TTemplateList& List = Model.CurrentTemplates();
    cbxTemplateName->clear();
    cbxTemplateName->addItems(List.Names());
    bbtnDeleteTemplate->setEnabled(List.RealCount() > 0);
    int Index = List.Items.isEmpty() ? -1 : 0;
    const int Found = cbxTemplateName->findText(Remembered, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (Found >= 0 && !Remembered.isEmpty())
        Index = Found;
    cbxTemplateName->setCurrentIndex(Index);
    FSelectedTemplate = -1;
    if (Index >= 0)
        cbxTemplateNameClick();
}

void TListPrint::cbxTemplateNameClick()
{
    const int Index = cbxTemplateName->currentIndex();
    if (Index == FSelectedTemplate || Index < 0)
        return;
    FSelectedTemplate = Index;
    TTemplateList& List = Model.CurrentTemplates();
    Model.CurrentLayout() = List.Items[Index].Layout;
    ShowLayout();
    bbtnSaveTemplate->setEnabled(List.CanSave());
    bbtnDeleteTemplate->setEnabled(!(List.HasLastLayout && Index <= 0));
    bbtnDelete->setEnabled(true);
    bbtnAllClear->setEnabled(true);
    btnList->setEnabled(true);
    UpdateMoveButtons();
}

void TListPrint::FillItemList()
{
    lbxSrc->clear();
    const QList<PrintItem>& Items = Model.ItemTable();
    for (int No = 0; No < Items.size(); ++No) {
        auto* Item = new QListWidgetItem(Items[No].Name, lbxSrc);
        Item->setData(Qt::UserRole, No);
    }
    lbxSrc->setCurrentRow(0);
}

void TListPrint::ShowLayout()
{
    const QList<PrintItem>& Items = Model.ItemTable();
    lbxSrc->clear();
    for (int No : AvailableItems(Model.CurrentLayout(), static_cast<int>(Items.size()))) {
        auto* Item = new QListWidgetItem(Items[No].Name, lbxSrc);
        Item->setData(Qt::UserRole, No);
    }
    lbxSrc->setCurrentRow(0);
    lbxDest->clear();
    for (const LayoutEntry& Entry : Model.CurrentLayout())
        lbxDest->addItem(Model.GetPrintItem(Entry.ItemNo).value_or(PrintItem{}).Name);
    lbxDest->addItem(QString()); // the insertion row
    lbxDest->setCurrentRow(0);
    UpdateSizeEdit();
}

void TListPrint::UpdateSizeEdit()
{
    const int Row = lbxDest->currentRow();
    const TLayout& Layout = Model.CurrentLayout();
    const bool Real = !Layout.isEmpty() && Row >= 0 && Row < Layout.size();
    edtSize->setEnabled(Real);
    udSize->setEnabled(Real);
    if (Real) {
        udSize->SetRange(1, 999);
        udSize->SetPosition(Layout[Row].ItemSize);
        FEdits[0].Last = udSize->Position();
        edtSize->setText(QString::number(Layout[Row].ItemSize));
        edtSize->selectAll();
    } else {
        edtSize->setText(QStringLiteral("0"));
    }
}

void TListPrint::UpdateMoveButtons()
{
    const int Row = lbxDest->currentRow();
    const bool Real = !Model.CurrentLayout().isEmpty() && Row >= 0 && Row < lbxDest->count() - 1;
    bbtnUp->setEnabled(Real && Row > 0);
    bbtnDown->setEnabled(Real && Row < lbxDest->count() - 2);
}

void TListPrint::bbtnSetClick()
{
    TLayout& Layout = Model.CurrentLayout();
    if (Layout.size() >= MaxLayoutEntries) {
        (void)MessageBoxPos(this, LayoutFullMessage, ProductName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QListWidgetItem* Item = lbxSrc->currentItem();
    if (!Item)
        return;
    THourglass Wait;
    const int No = Item->data(Qt::UserRole).toInt();
    const int Row = std::max(lbxDest->currentRow(), 0);
    if (SetLayoutEntry(Layout, Row, No, Model.ItemTable()) != TLayoutEdit::Done)
        return;
    lbxDest->insertItem(Row, Item->text());
    // The row that was selected stays selected below the new item, so that items set one after
    // another stand in the order they were set.
    lbxDest->setCurrentRow(Row + 1);
    UpdateSizeEdit();
    if (No != BlankItemNo) {
        const int SrcRow = lbxSrc->currentRow();
        delete lbxSrc->takeItem(SrcRow);
        lbxSrc->setCurrentRow(std::min(SrcRow, lbxSrc->count() - 1));
    }
    bbtnSaveTemplate->setEnabled(Model.CurrentTemplates().CanSave());
    bbtnDelete->setEnabled(true);
    bbtnAllClear->setEnabled(true);
    btnList->setEnabled(true);
    UpdateMoveButtons();
}

void TListPrint::bbtnDeleteClick()
{
    TLayout& Layout = Model.CurrentLayout();
    if (Layout.isEmpty())
        return;
    THourglass Wait;
    const int Row = std::min(std::max(lbxDest->currentRow(), 0), static_cast<int>(Layout.size()) - 1);
    const int No = Layout[Row].ItemNo;
    if (RemoveLayoutEntry(Layout, Row) != TLayoutEdit::Done)
        return;
    delete lbxDest->takeItem(Row);
    if (No != BlankItemNo) {
        // Back into the item list in number order.
        int At = 0;
        while (At < lbxSrc->count() && lbxSrc->item(At)->data(Qt::UserRole).toInt() < No)
            ++At;
        auto* Item = new QListWidgetItem(Model.GetPrintItem(No).value_or(PrintItem{}).Name);
        Item->setData(Qt::UserRole, No);
        lbxSrc->insertItem(At, Item);
        lbxSrc->setCurrentRow(At);
    }
    lbxDest->setCurrentRow(std::min(Row, lbxDest->count() - 1));
    UpdateSizeEdit();
    if (Layout.isEmpty()) {
        UpdateLayoutButtons();
        lbxSrc->setFocus();
    }
    UpdateMoveButtons();
}

void TListPrint::bbtnAllClearClick()
{
    THourglass Wait;
    Model.CurrentLayout().clear();
    lbxDest->clear();
    lbxDest->addItem(QString());
    lbxDest->setCurrentRow(0);
    FillItemList();
    UpdateSizeEdit();
    UpdateLayoutButtons();
    lbxSrc->setFocus();
}

void TListPrint::MoveClick(bool Up)
{
    const int Row = lbxDest->currentRow();
    if (MoveLayoutEntry(Model.CurrentLayout(), Row, Up) != TLayoutEdit::Done)
        return;
    const int Other = Up ? Row - 1 : Row + 1;
    QListWidgetItem* Item = lbxDest->takeItem(Row);
    lbxDest->insertItem(Other, Item);
    lbxDest->setCurrentRow(Other);
    UpdateMoveButtons();
}

void TListPrint::bbtnSaveTemplateClick()
{
    TTemplateList& List = Model.CurrentTemplates();
    const TTemplateResult Result =
        SaveTemplate(List, cbxTemplateName->currentText(), FSelectedTemplate, Model.CurrentLayout());
    if (Result.Answer == TTemplateAnswer::Refused) {
        if (!Result.Message.isEmpty())
            (void)MessageBoxPos(this, Result.Message, ProductName, MB_OK | MB_ICONINFORMATION);
        cbxTemplateName->setFocus();
        cbxTemplateName->lineEdit()->end(false);
        return;
    }
    (void)Model.SaveTemplateFile(Settings.DataPath);
    bbtnSaveTemplate->setEnabled(List.CanSave());
    cbxTemplateName->setEditText(List.Items[Result.Index].Name);
    FillTemplateNames();
    cbxTemplateName->setFocus();
}

void TListPrint::bbtnDeleteTemplateClick()
{
    TTemplateList& List = Model.CurrentTemplates();
    const TTemplateResult Found = FindTemplateToDelete(List, cbxTemplateName->currentText());
    if (Found.Answer == TTemplateAnswer::Refused) {
        (void)MessageBoxPos(this, Found.Message, ProductName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (MessageBoxPos(this, Found.Message, ProductName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    List.Items.removeAt(Found.Index);
    (void)Model.SaveTemplateFile(Settings.DataPath);
    cbxTemplateName->setEditText(QString());
    FillTemplateNames();
    if (!bbtnDeleteTemplate->isEnabled())
        lbxSrc->setFocus();
}
