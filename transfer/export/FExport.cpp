#include "transfer/export/FExport.h"

#include "main/common/CommonForms.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/common/StepHook.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

TFileExportHooks& FileExportHooks()
{
    static TFileExportHooks Hooks;
    return Hooks;
}

namespace {

int Inform(QWidget* Owner, const QString& Text)
{
    return MessageBoxPos(Owner, Text, ProductName, MB_OK | MB_ICONINFORMATION);
}

QPushButton* NewButton(QWidget* Parent, const char* Name, const QString& Caption, QStyle::StandardPixmap Icon)
{
    auto* Button = new QPushButton(Parent->style()->standardIcon(Icon), Caption, Parent);
    Button->setObjectName(QLatin1String(Name));
    Button->setAutoDefault(false);
    return Button;
}

QRadioButton* NewRadio(QWidget* Parent, const char* Name, const QString& Caption)
{
    auto* Radio = new QRadioButton(Caption, Parent);
    Radio->setObjectName(QLatin1String(Name));
    return Radio;
}

void SetupGrid(QTableWidget* Grid, int Columns)
{
    Grid->setColumnCount(Columns);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->hide();
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 4);
    Grid->setWordWrap(false);
    // Items are chosen, never typed.
    CloseInputMethod(Grid);
}

void SetCell(QTableWidget* Grid, int Row, int Column, const QString& Text)
{
    auto* Item = new QTableWidgetItem(Text);
    Grid->setItem(Row, Column, Item);
}

void Colour(QAbstractButton* Button)
{
    QPalette Colours = Button->palette();
    Colours.setColor(QPalette::WindowText,
                     Button->isChecked() ? QColor(Qt::blue) : QApplication::palette().color(QPalette::WindowText));
    Button->setPalette(Colours);
}

} // namespace

TFileExport::TFileExport(TDMVxRelvo16& Data, QWidget* Owner) : QDialog(Owner), FData(Data)
{
    setObjectName(QStringLiteral("FileExport"));
    setWindowTitle(QStringLiteral("テキストファイル出力"));
    SetHelpContext(this, 60);
    BuildControls();
    FormCreate();
    ScriptWindow(this);
}

void TFileExport::BuildControls()
{
    rbRecvHis = NewRadio(this, "rbRecvHis", QStringLiteral("着信対応履歴"));
    rbAddMeibo = NewRadio(this, "rbAddMeibo", QStringLiteral("登録名簿"));
    rbSelect = NewRadio(this, "rbSelect", QStringLiteral("一覧から選択"));
    rbRange = NewRadio(this, "rbRange", QStringLiteral("数値で範囲を指定"));
    rbAll = NewRadio(this, "rbAll", QStringLiteral("全件"));
    rbEncrypt = NewRadio(this, "rbEncrypt", QStringLiteral("暗号化出力"));
    rbNormal = NewRadio(this, "rbNormal", QStringLiteral("通常出力"));
    const auto Check = [this](const char* Name, const char16_t* Caption, const char16_t* Hint) {
        auto* Box = new QCheckBox(QString::fromUtf16(Caption), this);
        Box->setObjectName(QLatin1String(Name));
        Box->setToolTip(QString::fromUtf16(Hint));
        return Box;
    };
    chkOutHeader = Check("chkOutHeader", u"１レコード目に項目名称を出力する", u"１件目に出力する項目名を出力します");
    chkBindDblQuote = Check("chkBindDblQuote", u"項目を 「”」 でくくる",
                            u"出力する項目内容を「\"」でくくります\n\n金額をカンマ付きで入力している場合に\n"
                            u"この項目を出力すると項目数が増えてしまう原因になりますが\nこれを防ぐことができます");
    chkEditTelHyphen = Check("chkEditTelHyphen", u"電話番号をハイフン付きで出力する",
                             u"電話番号を出力する場合に、ハイフン編集をおこないます");
    chkEditPosHyphen = Check("chkEditPosHyphen", u"郵便番号をハイフン付きで出力する",
                             u"郵便番号を出力する場合に、ハイフン編集をおこないます");
    chkEditDate = Check("chkEditDate", u"着信日付を「/」で編集して出力する",
                        u"着信日付を出力する場合に、「/」編集をおこないます");
    chkEditTime = Check("chkEditTime", u"着信時刻を「：」で編集して出力する",
                        u"着信時刻を出力する場合に、「:」編集をおこないます");

    const auto Group = [this](const QString& Caption, std::initializer_list<QAbstractButton*> Buttons) {
        auto* Box = new QGroupBox(Caption, this);
        auto* Lines = new QVBoxLayout(Box);
        auto* Exclusive = new QButtonGroup(Box);
        int Tag = 0;
        for (QAbstractButton* Button : Buttons) {
            Lines->addWidget(Button);
            if (qobject_cast<QRadioButton*>(Button))
                Exclusive->addButton(Button, Tag++);
        }
        Lines->addStretch();
        return std::pair{Box, Exclusive};
    };
    auto [SourceBox, Sources] = Group(QStringLiteral("出力するデータ"), {rbRecvHis, rbAddMeibo});
    auto [RangeBox, Ranges] = Group(QStringLiteral("出力範囲"), {rbSelect, rbRange, rbAll});
    auto [TypeBox, Types] = Group(QStringLiteral("出力形式"), {rbEncrypt, rbNormal});
    auto [OptionBox, Unused] = Group(QStringLiteral("出力オプション"), {chkOutHeader, chkBindDblQuote, chkEditTelHyphen,
                                                                        chkEditPosHyphen, chkEditDate, chkEditTime});
    Q_UNUSED(Unused);
    for (QAbstractButton* Button : std::initializer_list<QAbstractButton*>{
             rbRecvHis, rbAddMeibo, rbSelect, rbRange, rbAll, rbEncrypt, rbNormal, chkOutHeader, chkBindDblQuote,
             chkEditTelHyphen, chkEditPosHyphen, chkEditDate, chkEditTime})
        Button->installEventFilter(this);
    connect(Sources, &QButtonGroup::idClicked, this, &TFileExport::rbSourceClick);
    connect(Ranges, &QButtonGroup::idClicked, this, [this](int Tag) {
        FState.Settings.Range = Tag;
        ColourChoices();
    });
    connect(Types, &QButtonGroup::idClicked, this, [this](int Tag) {
        FState.Settings.Type = Tag;
        ColourChoices();
    });
    bool TExportSettings::*const Options[] = {&TExportSettings::OutHeader,     &TExportSettings::BindDblQuote,
                                              &TExportSettings::EditTelHyphen, &TExportSettings::EditPosHyphen,
                                              &TExportSettings::EditDate,      &TExportSettings::EditTime};
    int Tag = 0;
    for (QCheckBox* Box :
         {chkOutHeader, chkBindDblQuote, chkEditTelHyphen, chkEditPosHyphen, chkEditDate, chkEditTime}) {
        connect(Box, &QCheckBox::clicked, this, [this, Member = Options[Tag]](bool On) {
            FState.Settings.*Member = On;
            ColourChoices();
        });
        ++Tag;
    }

    sgDest = new QTableWidget(this);
    sgDest->setObjectName(QStringLiteral("sgDest"));
    sgSrc = new QTableWidget(this);
    sgSrc->setObjectName(QStringLiteral("sgSrc"));
    SetupGrid(sgDest, 2);
    SetupGrid(sgSrc, 1);
    sgDest->setColumnWidth(0, ScaleByDpi(22, true) + 8);
    sgDest->setColumnWidth(1, ScaleByDpi(136, true));
    sgSrc->setColumnWidth(0, ScaleByDpi(136, true));
    for (QTableWidget* Grid : {sgDest, sgSrc}) {
        Grid->setMinimumWidth(Grid->columnWidth(0) + Grid->columnWidth(1) + 24);
        Grid->installEventFilter(this);
        Grid->viewport()->installEventFilter(this);
    }
    sgDest->viewport()->setAcceptDrops(true);
    bbtnSet = NewButton(this, "bbtnSet", QStringLiteral("セット"), QStyle::SP_ArrowLeft);
    bbtnAdd = NewButton(this, "bbtnAdd", QStringLiteral("追加"), QStyle::SP_ArrowLeft);
    bbtnAllSet = NewButton(this, "bbtnAllSet", QStringLiteral("全セット"), QStyle::SP_DialogApplyButton);
    bbtnDelete = NewButton(this, "bbtnDelete", QStringLiteral("削除"), QStyle::SP_ArrowRight);
    bbtnAllClear = NewButton(this, "bbtnAllClear", QStringLiteral("全削除"), QStyle::SP_TrashIcon);
    bbtnUp = NewButton(this, "bbtnUp", QString(), QStyle::SP_ArrowUp);
    bbtnDown = NewButton(this, "bbtnDown", QString(), QStyle::SP_ArrowDown);
    bbtnUp->setToolTip(QStringLiteral("上へ"));
    bbtnDown->setToolTip(QStringLiteral("下へ"));
    btnList = NewButton(this, "btnList", QStringLiteral("一覧(&L)"), QStyle::SP_FileDialogListView);
    btnCancel = NewButton(this, "btnCancel", QStringLiteral("キャンセル"), QStyle::SP_DialogCancelButton);

    auto* LayoutBox = new QGroupBox(QStringLiteral("出力レイアウト"), this);
    auto* LayoutRow = new QHBoxLayout(LayoutBox);
    auto* DestColumn = new QVBoxLayout;
    DestColumn->addWidget(new QLabel(QStringLiteral("出力する項目："), LayoutBox));
    DestColumn->addWidget(sgDest);
    auto* Moves = new QHBoxLayout;
    Moves->addStretch();
    Moves->addWidget(bbtnUp);
    Moves->addWidget(bbtnDown);
    DestColumn->addLayout(Moves);
    LayoutRow->addLayout(DestColumn);
    auto* Buttons = new QVBoxLayout;
    Buttons->addStretch();
    for (QPushButton* Button : {bbtnSet, bbtnAdd, bbtnAllSet, bbtnDelete, bbtnAllClear})
        Buttons->addWidget(Button);
    Buttons->addStretch();
    LayoutRow->addLayout(Buttons);
    auto* SrcColumn = new QVBoxLayout;
    SrcColumn->addWidget(new QLabel(QStringLiteral("項目名："), LayoutBox));
    SrcColumn->addWidget(sgSrc);
    LayoutRow->addLayout(SrcColumn);

    auto* Left = new QVBoxLayout;
    Left->addWidget(SourceBox);
    Left->addWidget(RangeBox);
    Left->addWidget(TypeBox);
    Left->addWidget(OptionBox);
    auto* Body = new QHBoxLayout;
    Body->addLayout(Left);
    Body->addWidget(LayoutBox, 1);
    auto* Bottom = new QHBoxLayout;
    Bottom->addStretch();
    Bottom->addWidget(btnList);
    Bottom->addWidget(btnCancel);
    auto* Page = new QVBoxLayout(this);
    Page->addLayout(Body);
    Page->addLayout(Bottom);
    resize(ScaleByDpi(640, true), ScaleByDpi(520, true));
    FitLayoutToScreen(this);

    connect(bbtnSet, &QPushButton::clicked, this, &TFileExport::bbtnSetClick);
    connect(bbtnAdd, &QPushButton::clicked, this, &TFileExport::bbtnAddClick);
    connect(bbtnAllSet, &QPushButton::clicked, this, &TFileExport::bbtnAllSetClick);
    connect(bbtnDelete, &QPushButton::clicked, this, &TFileExport::bbtnDeleteClick);
    connect(bbtnAllClear, &QPushButton::clicked, this, &TFileExport::bbtnAllClearClick);
    connect(bbtnUp, &QPushButton::clicked, this, &TFileExport::bbtnUpClick);
    connect(bbtnDown, &QPushButton::clicked, this, &TFileExport::bbtnDownClick);
    connect(btnList, &QPushButton::clicked, this, &TFileExport::btnListClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(2); });
    connect(sgDest, &QTableWidget::itemSelectionChanged, this, &TFileExport::UpdateMoveButtons);
    connect(sgDest, &QTableWidget::cellDoubleClicked, this, [this] {
        if (bbtnDelete->isEnabled())
            bbtnDeleteClick();
    });
    connect(sgSrc, &QTableWidget::cellDoubleClicked, this, [this] {
        FPressedAt = {-1, -1};
        const int Keep = sgSrc->currentRow();
        bbtnSetClick();
        sgSrc->setCurrentCell(Keep, 0);
    });
}

void TFileExport::FormCreate()
{
    LoadExportSettings(FState);
    const TExportSettings& S = FState.Settings;
    (S.Source == ExportSourceMeibo ? rbAddMeibo : rbRecvHis)->setChecked(true);
    (S.Range == 1 ? rbRange : S.Range == 2 ? rbAll : rbSelect)->setChecked(true);
    (S.Type == 1 ? rbNormal : rbEncrypt)->setChecked(true);
    chkOutHeader->setChecked(S.OutHeader);
    chkBindDblQuote->setChecked(S.BindDblQuote);
    chkEditTelHyphen->setChecked(S.EditTelHyphen);
    chkEditPosHyphen->setChecked(S.EditPosHyphen);
    chkEditDate->setChecked(S.EditDate);
    chkEditTime->setChecked(S.EditTime);
    chkEditDate->setEnabled(S.Source != ExportSourceMeibo);
    chkEditTime->setEnabled(S.Source != ExportSourceMeibo);
    FillItems();
    ShowLayout(0);
    EnableButtons();
    ColourChoices();
}

void TFileExport::reject()
{
    done(2);
}

void TFileExport::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (FShowing)
        return;
    FShowing = true;
    if (FState.Settings.Source == ExportSourceMeibo)
        ShowFernbookNotice();
}

void TFileExport::ShowFernbookNotice()
{
    if (Settings.UseFbAdrs)
        Inform(this, QStringLiteral("ここでのテキストファイル出力はTolvaneの登録名簿が対象です  \r\n\r\n"
                                    "Fernbookのアドレス帳を登録名簿として利用している場合は  \r\n"
                                    "Fernbook側で操作をおこなってください　 "));
}

QStringList TFileExport::ItemNames() const
{
    return ExportItemNames(FState.Settings.Source,
                           {Settings.SelectItem1.isEmpty() ? DefaultSelectItem1 : Settings.SelectItem1,
                            Settings.SelectItem2.isEmpty() ? DefaultSelectItem2 : Settings.SelectItem2,
                            Settings.SelectItem3.isEmpty() ? DefaultSelectItem3 : Settings.SelectItem3});
}

void TFileExport::rbSourceClick(int Tag)
{
    FState.Settings.Source = Tag;
    const bool History = Tag != ExportSourceMeibo;
    chkEditDate->setEnabled(History);
    chkEditTime->setEnabled(History);
    FillItems();
    ShowLayout(0);
    EnableButtons();
    ColourChoices();
    if (!History && isVisible())
        ShowFernbookNotice();
}

void TFileExport::ColourChoices()
{
    for (QAbstractButton* Button : std::initializer_list<QAbstractButton*>{
             rbRecvHis, rbAddMeibo, rbSelect, rbRange, rbAll, rbEncrypt, rbNormal, chkOutHeader, chkBindDblQuote,
             chkEditTelHyphen, chkEditPosHyphen, chkEditDate, chkEditTime})
        Colour(Button);
}

void TFileExport::FillItems()
{
    const QStringList Names = ItemNames();
    sgSrc->setRowCount(static_cast<int>(Names.size()));
    for (int I = 0; I < Names.size(); ++I)
        SetCell(sgSrc, I, 0, Names[I]);
    sgSrc->setCurrentCell(0, 0);
}

void TFileExport::ShowLayout(int Row)
{
    const TExportLayout& Layout = FState.Current();
    const QStringList Names = ItemNames();
    sgDest->setRowCount(static_cast<int>(Layout.size()) + 1);
    for (int I = 0; I < Layout.size(); ++I) {
        SetCell(sgDest, I, 0, Layout[I].ColumnNo > 0 ? QStringLiteral("%1").arg(Layout[I].ColumnNo, 3) : QString());
        SetCell(sgDest, I, 1, ExportItemName(Names, Layout[I].ItemIndex));
    }
    SetCell(sgDest, static_cast<int>(Layout.size()), 0, QString());
    SetCell(sgDest, static_cast<int>(Layout.size()), 1, QString());
    sgDest->setCurrentCell(std::clamp(Row, 0, static_cast<int>(Layout.size())), 1);
    UpdateMoveButtons();
}

int TFileExport::DestRow() const
{
    return std::max(sgDest->currentRow(), 0);
}

void TFileExport::EnableButtons()
{
    const bool Any = !FState.Current().isEmpty();
    for (QPushButton* Button : {bbtnAdd, bbtnDelete, bbtnAllClear, btnList})
        Button->setEnabled(Any);
    UpdateMoveButtons();
}

void TFileExport::UpdateMoveButtons()
{
    TLayoutEditor Editor(FState.Current());
    bbtnUp->setEnabled(Editor.CanUp(DestRow()));
    bbtnDown->setEnabled(Editor.CanDown(DestRow()));
}

bool TFileExport::RefuseFull()
{
    if (!TLayoutEditor(FState.Current()).Full())
        return false;
    Inform(this, MsgLayoutFull.arg(MaxExportEntries));
    return true;
}

void TFileExport::bbtnSetClick()
{
    if (RefuseFull())
        return;
    const int Row = TLayoutEditor(FState.Current()).Set(DestRow(), std::max(sgSrc->currentRow(), 0));
    ShowLayout(Row);
    EnableButtons();
    if (sgSrc->currentRow() + 1 < sgSrc->rowCount())
        sgSrc->setCurrentCell(sgSrc->currentRow() + 1, 0);
}

void TFileExport::bbtnAddClick()
{
    if (RefuseFull())
        return;
    ShowLayout(TLayoutEditor(FState.Current()).Add(DestRow(), std::max(sgSrc->currentRow(), 0)));
    EnableButtons();
}

void TFileExport::bbtnAllSetClick()
{
    ShowLayout(TLayoutEditor(FState.Current()).SetAll());
    EnableButtons();
}

void TFileExport::bbtnDeleteClick()
{
    ShowLayout(TLayoutEditor(FState.Current()).Delete(DestRow()));
    EnableButtons();
}

void TFileExport::bbtnAllClearClick()
{
    ShowLayout(TLayoutEditor(FState.Current()).DeleteAll());
    EnableButtons();
}

void TFileExport::bbtnUpClick()
{
    ShowLayout(TLayoutEditor(FState.Current()).Up(DestRow()));
}

void TFileExport::bbtnDownClick()
{
    ShowLayout(TLayoutEditor(FState.Current()).Down(DestRow()));
}

void TFileExport::btnListClick()
{
    const bool History = FState.Settings.Source != ExportSourceMeibo;
    bool Empty = true;
    {
        TTableUse Use(FData, History ? TDataTable::RecvHis : TDataTable::Meibo);
        TTable* Table = History ? FData.RecvHis() : FData.Meibo();
        if (Use.Opened() && Table) {
            Table->First();
            Empty = Table->IsEmpty();
        }
    }
    if (Empty) {
        Inform(this, History ? QStringLiteral("着信対応履歴ファイルにはデータが登録されていません  ")
                             : QStringLiteral("登録名簿ファイルにはデータが登録されていません  "));
        btnCancel->setFocus();
        return;
    }
    if (FState.Current().isEmpty()) {
        Inform(this, QStringLiteral("出力項目をセットしてください  "));
        sgSrc->setFocus();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    (void)SaveExportSettings(FState);
    QApplication::restoreOverrideCursor();
    RunStepHook(FileExportHooks().ShowList, "ShowList", this, FState.Settings.Source, FState.Current(), ItemNames());
}

bool TFileExport::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == sgSrc->viewport() || Watched == sgDest->viewport())
        return FilterGridMouse(Watched, Event) || QDialog::eventFilter(Watched, Event);
    if (Event->type() == QEvent::KeyPress) {
        const auto* Key = static_cast<QKeyEvent*>(Event);
        if (Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter) {
            const auto Checked = [](std::initializer_list<QRadioButton*> Group) {
                for (QRadioButton* Radio : Group)
                    if (Radio->isChecked() && Radio->isEnabled())
                        return Radio;
                return *Group.begin();
            };
            if (Watched == rbRecvHis || Watched == rbAddMeibo) {
                Checked({rbSelect, rbRange, rbAll})->setFocus();
                return true;
            }
            if (Watched == rbSelect || Watched == rbRange || Watched == rbAll) {
                Checked({rbNormal, rbEncrypt})->setFocus();
                return true;
            }
            if (qobject_cast<QAbstractButton*>(Watched)) {
                focusNextChild();
                return true;
            }
            if (Watched == sgDest) {
                sgSrc->setFocus();
                return true;
            }
            if (Watched == sgSrc) {
                if (btnList->isEnabled())
                    btnList->setFocus();
                return true;
            }
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
