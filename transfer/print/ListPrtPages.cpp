// The "書式", "罫線・色" and "範囲・プリンター" pages: the font and margins, the rules and colours,
// the print range, the copies and the printer.

#include "main/common/CommonFonts.h"
#include "main/common/CustomColors.h"
#include "main/common/FormParts.h"
#include "main/controls/NumberUpDown.h"
#include "main/settings/Settings.h"
#include "platform/ui/Prompts.h"
#include "transfer/print/ListPrtDlg.h"
#include "transfer/print/PaintPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QColor ColorOf(int Value)
{
    return ColorOfValue(static_cast<unsigned>(Value));
}

int ValueOf(const QColor& Color)
{
    return static_cast<int>(ValueOfColor(Color));
}

// The line-type grid draws each type's sample instead of text.
class TLineTypeDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        DrawLineTypeCell(*Painter, Option.rect, Index.row(), Option.state & QStyle::State_Selected,
                         Option.palette.color(QPalette::Base));
    }
};

// A data colour's row: its 1-based number in the first 16 pixels, then a swatch of the colour.
class TColorDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const bool Selected = Option.state & QStyle::State_Selected;
        Painter->fillRect(Option.rect, Option.palette.color(Selected ? QPalette::Highlight : QPalette::Base));
        const QRect Swatch(Option.rect.left() + 16, Option.rect.top() + 1, Option.rect.width() - 17,
                           Option.rect.height() - 2);
        Painter->fillRect(Swatch, ColorOf(Index.data(Qt::UserRole).toInt()));
        Painter->setPen(Option.palette.color(Selected ? QPalette::HighlightedText : QPalette::Text));
        Painter->drawText(QRect(Option.rect.left(), Option.rect.top(), 16, Option.rect.height()), Qt::AlignCenter,
                          QString::number(Index.row() + 1));
    }
};

} // namespace

void TListPrint::CreatePage1(QWidget* Page)
{
    auto* Layout = new QVBoxLayout(Page);
    auto* Font = NewNamed<QGroupBox>(Page, "gbxFont", QStringLiteral("印刷フォント"));
    auto* Grid = new QGridLayout(Font);
    Grid->addWidget(new QLabel(QStringLiteral("フォント名："), Font), 0, 0);
    lbxFontName = NewNamed<QListWidget>(Font, "lbxFontName");
    lbxFontName->setMinimumSize(220, 150);
    // Every row as high as the window's font and two pixels, whatever fallback a font's name needs.
    lbxFontName->setUniformItemSizes(true);
    Grid->addWidget(lbxFontName, 1, 0, 5, 1);
    Grid->addWidget(new QLabel(QStringLiteral("書体："), Font), 0, 1);
    pnlCharset = NewNamed<QLabel>(Font, "pnlCharset");
    pnlCharset->setFrameShape(QFrame::StyledPanel);
    Grid->addWidget(pnlCharset, 0, 2);
    Grid->addWidget(new QLabel(QStringLiteral("サンプル："), Font), 1, 1);
    pnlSample = NewNamed<QLabel>(Font, "pnlSample");
    pnlSample->setFrameShape(QFrame::StyledPanel);
    pnlSample->setAlignment(Qt::AlignCenter);
    pnlSample->setMinimumSize(200, 50);
    Grid->addWidget(pnlSample, 1, 2);
    Grid->addWidget(new QLabel(QStringLiteral("サイズ："), Font), 2, 1);
    cbxFontSize = NewNamed<QComboBox>(Font, "cbxFontSize");
    Grid->addWidget(cbxFontSize, 2, 2, Qt::AlignLeft);
    Grid->addWidget(new QLabel(QStringLiteral("スタイル："), Font), 3, 1);
    chkBold = NewNamed<QCheckBox>(Font, "chkBold", QStringLiteral("太字"));
    chkItalic = NewNamed<QCheckBox>(Font, "chkItalic", QStringLiteral("斜体"));
    auto* Styles = new QHBoxLayout;
    Styles->addWidget(chkBold);
    Styles->addWidget(chkItalic);
    Styles->addStretch();
    Grid->addLayout(Styles, 3, 2);
    Layout->addWidget(Font);

    auto* Place = NewNamed<QGroupBox>(Page, "gbxPlace", QStringLiteral("印刷位置"));
    auto* Row = new QHBoxLayout(Place);
    Row->addWidget(new QLabel(QStringLiteral("１件の行数："), Place));
    cbxRows = NewNamed<QComboBox>(Place, "cbxRows");
    Row->addWidget(cbxRows);
    Row->addSpacing(16);
    Row->addWidget(new QLabel(QStringLiteral("余白：  左"), Place));
    edtOffsetX = NewNamed<QLineEdit>(Place, "edtOffsetX");
    udOffsetX = NewNamed<TNumberUpDown>(Place, "udOffsetX", 0, 500);
    CreateNumberEdit(1, edtOffsetX, udOffsetX, 4);
    Row->addWidget(edtOffsetX);
    Row->addWidget(udOffsetX);
    Row->addWidget(new QLabel(QStringLiteral("mm   上"), Place));
    edtOffsetY = NewNamed<QLineEdit>(Place, "edtOffsetY");
    udOffsetY = NewNamed<TNumberUpDown>(Place, "udOffsetY", 0, 500);
    CreateNumberEdit(2, edtOffsetY, udOffsetY, 4);
    Row->addWidget(edtOffsetY);
    Row->addWidget(udOffsetY);
    Row->addWidget(new QLabel(QStringLiteral("mm"), Place));
    Row->addStretch();
    Layout->addWidget(Place);
    auto* Count = new QHBoxLayout;
    Count->addWidget(new QLabel(QStringLiteral("１ページ当たりの件数："), Page));
    lblLineCount = NewNamed<QLabel>(Page, "lblLineCount");
    Count->addWidget(lblLineCount);
    Count->addStretch();
    Layout->addLayout(Count);
    Layout->addStretch();

    connect(lbxFontName, &QListWidget::itemClicked, this, [this](QListWidgetItem* Item) {
        const int Charset = Item->data(Qt::UserRole).toInt();
        SetFontAttributes(&FSampleFont, Charset, Item->text(), GetFontStyleBits(FSampleFont), FSampleFont.pointSize());
        pnlSample->setFont(FSampleFont);
        ShowCharsetSample(Charset);
    });
    connect(cbxFontSize, qOverload<int>(&QComboBox::activated), this, [this] {
        FSampleFont.setPointSize(cbxFontSize->currentText().toInt());
        pnlSample->setFont(FSampleFont);
        CountRecordsPerPage();
    });
    for (QCheckBox* Box : {chkBold, chkItalic})
        connect(Box, &QCheckBox::clicked, this, [this] {
            FSampleFont.setBold(chkBold->isChecked());
            FSampleFont.setItalic(chkItalic->isChecked());
            pnlSample->setFont(FSampleFont);
            ShowCheckedColors();
        });
    connect(cbxRows, qOverload<int>(&QComboBox::activated), this, [this] { CountRecordsPerPage(); });
}

void TListPrint::CreatePage2(QWidget* Page)
{
    auto* Layout = new QVBoxLayout(Page);
    auto* Lines = NewNamed<QGroupBox>(Page, "gbxLines", QStringLiteral("罫線"));
    auto* Grid = new QGridLayout(Lines);
    static const char* Names[9] = {"sbtnTop",   "sbtnHorzCenter", "sbtnBottom", "sbtnLeft", "sbtnVertCenter",
                                   "sbtnRight", "sbtnNone",       "sbtnOuter",  "sbtnInner"};
    static const char* Captions[9] = {"上", "中横", "下", "左", "中縦", "右", "なし", "外枠", "内側"};
    for (int Tag = 0; Tag < 9; ++Tag) {
        auto* Button = NewNamed<QToolButton>(Lines, Names[Tag]);
        Button->setText(QString::fromUtf8(Captions[Tag]));
        Button->setCheckable(Tag < 6);
        Button->setProperty("Tag", Tag);
        Button->setMinimumWidth(44);
        connect(Button, &QToolButton::clicked, this, [this, Tag] { RuleButtonClick(Tag); });
        RuleButtons[Tag] = Button;
        Grid->addWidget(Button, Tag / 3, Tag % 3);
    }
    pnlLinePreview = NewNamed<TPaintPanel>(Lines, "pnlLinePreview");
    pnlLinePreview->Color = Qt::white;
    pnlLinePreview->BevelOuter = TPaintPanel::TBevel::Lowered;
    pnlLinePreview->setFixedSize(100, 80);
    pnlLinePreview->setFocusPolicy(Qt::NoFocus);
    pnlLinePreview->OnPaint = [this](TPaintPanel* Sender, const QRect&) {
        QPainter Painter(Sender);
        DrawLinePreview(Painter, Sender->size(), Rules);
    };
    Grid->addWidget(pnlLinePreview, 0, 3, 3, 1);
    dgLineType = NewNamed<QTableWidget>(Lines, "dgLineType", 6, 1);
    dgLineType->horizontalHeader()->hide();
    dgLineType->verticalHeader()->hide();
    dgLineType->horizontalHeader()->setStretchLastSection(true);
    dgLineType->setSelectionMode(QAbstractItemView::SingleSelection);
    dgLineType->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgLineType->setItemDelegate(new TLineTypeDelegate(dgLineType));
    dgLineType->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dgLineType->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dgLineType->setShowGrid(false);
    // All six types in sight, with no scrolling.
    dgLineType->setFixedSize(110, 6 * 20 + 2 * dgLineType->frameWidth());
    for (int Row = 0; Row < 6; ++Row) {
        dgLineType->setRowHeight(Row, 20);
        dgLineType->setItem(Row, 0, new QTableWidgetItem);
    }
    dgLineType->setCurrentCell(0, 0);
    dgLineType->installEventFilter(this);
    Grid->addWidget(dgLineType, 0, 4, 3, 1);
    auto* IntervalRow = new QHBoxLayout;
    IntervalRow->addWidget(new QLabel(QStringLiteral("水平線の間隔："), Lines));
    edtInterval = NewNamed<QLineEdit>(Lines, "edtInterval");
    udInterval = NewNamed<TNumberUpDown>(Lines, "udInterval", 1, 20);
    CreateNumberEdit(3, edtInterval, udInterval, 2);
    IntervalRow->addWidget(edtInterval);
    IntervalRow->addWidget(udInterval);
    IntervalRow->addWidget(new QLabel(QStringLiteral("行おき"), Lines));
    IntervalRow->addStretch();
    Grid->addLayout(IntervalRow, 3, 0, 1, 5);
    Layout->addWidget(Lines);

    auto* Colors = NewNamed<QGroupBox>(Page, "gbxColors", QStringLiteral("背景色"));
    auto* ColorGrid = new QGridLayout(Colors);
    ColorGrid->addWidget(new QLabel(QStringLiteral("項目名："), Colors), 0, 0);
    pnlHeaderColor = NewNamed<QLabel>(Colors, "pnlHeaderColor");
    pnlHeaderColor->setFrameShape(QFrame::Panel);
    pnlHeaderColor->setFrameShadow(QFrame::Sunken);
    pnlHeaderColor->setAlignment(Qt::AlignCenter);
    pnlHeaderColor->setAutoFillBackground(true);
    pnlHeaderColor->setMinimumSize(90, 22);
    ColorGrid->addWidget(pnlHeaderColor, 0, 1);
    bbtnHeaderColor = NewNamed<QPushButton>(Colors, "bbtnHeaderColor", QStringLiteral("指定"));
    bbtnHeaderColor->setToolTip(QStringLiteral("項目名の背景色の指定"));
    bbtnClearHeaderColor = NewNamed<QPushButton>(Colors, "bbtnClearHeaderColor", QStringLiteral("削除"));
    bbtnClearHeaderColor->setToolTip(QStringLiteral("項目名の背景色を削除"));
    ColorGrid->addWidget(bbtnHeaderColor, 0, 2);
    ColorGrid->addWidget(bbtnClearHeaderColor, 0, 3);
    ColorGrid->addWidget(new QLabel(QStringLiteral("データ："), Colors), 1, 0, Qt::AlignTop);
    lbxColor = NewNamed<QListWidget>(Colors, "lbxColor");
    lbxColor->setItemDelegate(new TColorDelegate(lbxColor));
    // A colour dropped on another row changes places with it.
    lbxColor->setDragEnabled(true);
    lbxColor->setAcceptDrops(true);
    lbxColor->setDragDropMode(QAbstractItemView::DragDrop);
    lbxColor->setDefaultDropAction(Qt::MoveAction);
    lbxColor->viewport()->installEventFilter(this);
    lbxColor->setMinimumHeight(90);
    lbxColor->installEventFilter(this);
    ColorGrid->addWidget(lbxColor, 1, 1);
    bbtnDataColor = NewNamed<QPushButton>(Colors, "bbtnDataColor", QStringLiteral("追加"));
    bbtnDataColor->setToolTip(QStringLiteral("データ行の背景色を追加"));
    bbtnDeleteDataColor = NewNamed<QPushButton>(Colors, "bbtnDeleteDataColor", QStringLiteral("削除"));
    bbtnDeleteDataColor->setToolTip(QStringLiteral("データ行の背景色を削除"));
    ColorGrid->addWidget(bbtnDataColor, 1, 2, Qt::AlignTop);
    ColorGrid->addWidget(bbtnDeleteDataColor, 1, 3, Qt::AlignTop);
    Layout->addWidget(Colors);
    for (QPushButton* Button : {bbtnHeaderColor, bbtnClearHeaderColor, bbtnDataColor, bbtnDeleteDataColor})
        Button->setAutoDefault(false);

    connect(bbtnHeaderColor, &QPushButton::clicked, this, &TListPrint::HeaderColorClick);
    connect(bbtnClearHeaderColor, &QPushButton::clicked, this, &TListPrint::ClearHeaderColorClick);
    connect(bbtnDataColor, &QPushButton::clicked, this, &TListPrint::DataColorClick);
    connect(bbtnDeleteDataColor, &QPushButton::clicked, this, &TListPrint::DeleteDataColorClick);
}

void TListPrint::CreatePage3(QWidget* Page)
{
    auto* Layout = new QVBoxLayout(Page);
    auto* Range = NewNamed<QGroupBox>(Page, "gbxRange", QStringLiteral("印刷範囲"));
    auto* RangeRow = new QHBoxLayout(Range);
    rbList = NewNamed<QRadioButton>(Range, "rbList", QStringLiteral("一覧から選択"));
    rbRange = NewNamed<QRadioButton>(Range, "rbRange", QStringLiteral("数値で範囲を指定"));
    rbAll = NewNamed<QRadioButton>(Range, "rbAll", QStringLiteral("全件"));
    int Tag = 0;
    for (QRadioButton* Radio : {rbList, rbRange, rbAll}) {
        RangeRow->addWidget(Radio);
        Radio->installEventFilter(this);
        connect(Radio, &QRadioButton::clicked, this, [this, Tag] {
            FDataSelect = Tag;
            ShowCheckedColors();
        });
        ++Tag;
    }
    RangeRow->addStretch();
    Layout->addWidget(Range);
    auto* Copies = NewNamed<QGroupBox>(Page, "gbxCopies", QStringLiteral("部数"));
    auto* CopiesRow = new QHBoxLayout(Copies);
    CopiesRow->addWidget(new QLabel(QStringLiteral("印刷部数："), Copies));
    edtCopies = NewNamed<QLineEdit>(Copies, "edtCopies");
    udCopies = NewNamed<TNumberUpDown>(Copies, "udCopies", 1, 100);
    CreateNumberEdit(4, edtCopies, udCopies, 3);
    CopiesRow->addWidget(edtCopies);
    CopiesRow->addWidget(udCopies);
    CopiesRow->addWidget(new QLabel(QStringLiteral("部"), Copies));
    CopiesRow->addStretch();
    Layout->addWidget(Copies);
    auto* Printer = NewNamed<QGroupBox>(Page, "gbxPrinter", QStringLiteral("プリンターの設定"));
    auto* Grid = new QGridLayout(Printer);
    const QStringList Captions{QStringLiteral("プリンター名："), QStringLiteral("用紙サイズ："),
                               QStringLiteral("印刷方向：")};
    pnlPrinterName = NewNamed<QLabel>(Printer, "pnlPrinterName");
    pnlPaperSize = NewNamed<QLabel>(Printer, "pnlPaperSize");
    pnlOrientation = NewNamed<QLabel>(Printer, "pnlOrientation");
    int Row = 0;
    for (QLabel* Panel : {pnlPrinterName, pnlPaperSize, pnlOrientation}) {
        Panel->setFrameShape(QFrame::StyledPanel);
        Panel->setMinimumWidth(260);
        Grid->addWidget(new QLabel(Captions[Row], Printer), Row, 0);
        Grid->addWidget(Panel, Row, 1);
        ++Row;
    }
    btnPrinterSetup = NewNamed<QPushButton>(Printer, "btnPrinterSetup", QStringLiteral("設定"));
    btnPrinterSetup->setAutoDefault(false);
    Grid->addWidget(btnPrinterSetup, 0, 2);
    Layout->addWidget(Printer);
    Layout->addStretch();
    connect(btnPrinterSetup, &QPushButton::clicked, this, &TListPrint::btnPrinterSetupClick);
}

void TListPrint::RuleButtonClick(int Tag)
{
    const int Type = std::max(dgLineType->currentRow(), 0);
    const bool Recount = ClickRuleButton(Rules, Tag, Type);
    for (int Rule = 0; Rule < 6; ++Rule)
        RuleButtons[Rule]->setChecked(Rules.Line[Rule]);
    pnlLinePreview->update();
    if (Recount)
        CountRecordsPerPage();
}

void TListPrint::ShowHeaderColor(int Color, bool Exists)
{
    // "なし" keeps the button-face colour, as the settings file has always stored it.
    const QColor Shown = Exists ? ColorOf(Color) : palette().color(QPalette::Button);
    pnlHeaderColor->setProperty("Color", Exists ? Color : ValueOf(Shown));
    QPalette Palette = pnlHeaderColor->palette();
    Palette.setColor(QPalette::Window, Shown);
    pnlHeaderColor->setPalette(Palette);
    pnlHeaderColor->setText(Exists ? QString() : QStringLiteral("なし"));
}

void TListPrint::HeaderColorClick()
{
    QList<QColor> Custom = LoadCustomColors(SettingsPath);
    const std::optional<QColor> Chosen =
        PromptColor(this, ColorOf(pnlHeaderColor->property("Color").toInt()), Custom, true);
    if (!Chosen)
        return;
    ShowHeaderColor(ValueOf(*Chosen), true);
    (void)SaveCustomColors(SettingsPath, Custom);
}

void TListPrint::ClearHeaderColorClick()
{
    ShowHeaderColor(0, false);
}

void TListPrint::DataColorClick()
{
    if (lbxColor->count() >= MaxRowColors)
        return;
    const QListWidgetItem* Selected = lbxColor->currentItem();
    QList<QColor> Custom = LoadCustomColors(SettingsPath);
    const std::optional<QColor> Chosen =
        PromptColor(this, Selected ? ColorOf(Selected->data(Qt::UserRole).toInt()) : QColor(Qt::white), Custom, true);
    if (!Chosen)
        return;
    auto* Item = new QListWidgetItem;
    Item->setData(Qt::UserRole, ValueOf(*Chosen));
    const int Row = lbxColor->currentRow();
    if (Row < 0 || Row == lbxColor->count() - 1)
        lbxColor->addItem(Item);
    else
        lbxColor->insertItem(Row + 1, Item);
    lbxColor->setCurrentItem(Item);
    (void)SaveCustomColors(SettingsPath, Custom);
}

void TListPrint::DeleteDataColorClick()
{
    const int Row = lbxColor->currentRow();
    if (Row < 0)
        return;
    delete lbxColor->takeItem(Row);
    lbxColor->setCurrentRow(std::min(Row, lbxColor->count() - 1));
}

QList<int> TListPrint::DataColors() const
{
    QList<int> Colors;
    for (int I = 0; I < lbxColor->count(); ++I)
        Colors << lbxColor->item(I)->data(Qt::UserRole).toInt();
    return Colors;
}
