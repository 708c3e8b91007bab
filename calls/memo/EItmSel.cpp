#include "calls/memo/EItmSel.h"

#include "main/common/CommonForms.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int CharsetRole = Qt::UserRole;

QToolButton* NewTool(QWidget* Parent, const char* Name, const QString& Caption, QStyle::StandardPixmap Glyph)
{
    auto* Button = NewNamed<QToolButton>(Parent, Name);
    Button->setText(Caption);
    Button->setIcon(Parent->style()->standardIcon(Glyph));
    Button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return Button;
}

QCheckBox* NewCheck(QWidget* Parent, const char* Name, const QString& Caption)
{
    auto* Box = NewNamed<QCheckBox>(Parent, Name);
    Box->setText(Caption);
    return Box;
}

} // namespace

TExportItemSelect::TExportItemSelect(QWidget* Owner, bool Fb) : QDialog(Owner), FFb(Fb)
{
    setObjectName(QStringLiteral("ExportItemSelect"));
    setWindowTitle(QStringLiteral("項目設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setProperty("HelpContext", 32);
    CreateControls();
    FormCreate();
}

void TExportItemSelect::CreateControls()
{
    auto* Layout = new QVBoxLayout(this);
    pgcMemoPrint = NewNamed<QTabWidget>(this, "pgcMemoPrint");
    Layout->addWidget(pgcMemoPrint);

    tbsItem = NewNamed<QWidget>(pgcMemoPrint, "tbsItem");
    pgcMemoPrint->addTab(tbsItem, QStringLiteral("項目設定"));
    auto* ItemLayout = new QGridLayout(tbsItem);
    ItemLayout->addWidget(new QLabel(QStringLiteral("出力または印刷する項目を設定してください："), tbsItem), 0, 0, 1,
                          2);
    lvExportItem = NewNamed<QListWidget>(tbsItem, "lvExportItem");
    lvExportItem->setMinimumSize(220, 300);
    ItemLayout->addWidget(lvExportItem, 1, 0);
    auto* Buttons = new QVBoxLayout;
    bbtnTop = NewTool(tbsItem, "bbtnTop", QStringLiteral("最上段"), QStyle::SP_ArrowUp);
    bbtnUp = NewTool(tbsItem, "bbtnUp", QStringLiteral("上"), QStyle::SP_ArrowUp);
    bbtnDown = NewTool(tbsItem, "bbtnDown", QStringLiteral("下"), QStyle::SP_ArrowDown);
    bbtnBottom = NewTool(tbsItem, "bbtnBottom", QStringLiteral("最下段"), QStyle::SP_ArrowDown);
    bbtnAll = NewTool(tbsItem, "bbtnAll", QStringLiteral("すべて出力"), QStyle::SP_DialogApplyButton);
    bbtnReSort = NewTool(tbsItem, "bbtnReSort", QStringLiteral("並びを戻す"), QStyle::SP_BrowserReload);
    bbtnTop->setProperty("Tag", 1);
    bbtnBottom->setProperty("Tag", 1);
    for (QToolButton* Button : {bbtnTop, bbtnUp, bbtnDown, bbtnBottom})
        Buttons->addWidget(Button);
    Buttons->addSpacing(16);
    Buttons->addWidget(bbtnAll);
    Buttons->addWidget(bbtnReSort);
    Buttons->addStretch();
    ItemLayout->addLayout(Buttons, 1, 1);
    chkPrintMessage = NewCheck(tbsItem, "chkPrintMessage", QStringLiteral("印刷前に確認ダイアログを表示する"));
    ItemLayout->addWidget(chkPrintMessage, 2, 0, 1, 2);

    tbsFont = NewNamed<QWidget>(pgcMemoPrint, "tbsFont");
    pgcMemoPrint->addTab(tbsFont, QStringLiteral("フォント"));
    auto* FontLayout = new QGridLayout(tbsFont);
    FontLayout->addWidget(new QLabel(QStringLiteral("フォント名："), tbsFont), 0, 0);
    lbxFontName = NewNamed<QListWidget>(tbsFont, "lbxFontName");
    lbxFontName->setFixedHeight(180);
    FontLayout->addWidget(lbxFontName, 1, 0, 5, 1);
    FontLayout->addWidget(new QLabel(QStringLiteral("サイズ："), tbsFont), 0, 1);
    cbxFontSize = NewNamed<QComboBox>(tbsFont, "cbxFontSize");
    FontLayout->addWidget(cbxFontSize, 1, 1);
    FontLayout->addWidget(new QLabel(QStringLiteral("スタイル："), tbsFont), 2, 1);
    chkBold = NewCheck(tbsFont, "chkBold", QStringLiteral("太字"));
    chkItalic = NewCheck(tbsFont, "chkItalic", QStringLiteral("斜体"));
    chkItalic->setProperty("Tag", 1);
    FontLayout->addWidget(chkBold, 3, 1);
    FontLayout->addWidget(chkItalic, 4, 1);
    FontLayout->addWidget(new QLabel(QStringLiteral("サンプル："), tbsFont), 6, 0);
    pnlSample = NewNamed<QLabel>(tbsFont, "pnlSample");
    pnlSample->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    pnlSample->setAlignment(Qt::AlignCenter);
    pnlSample->setFixedHeight(64);
    FontLayout->addWidget(pnlSample, 7, 0);
    FontLayout->addWidget(new QLabel(QStringLiteral("書体："), tbsFont), 6, 1);
    pnlCharset = NewNamed<QLabel>(tbsFont, "pnlCharset");
    pnlCharset->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    pnlCharset->setAlignment(Qt::AlignCenter);
    pnlCharset->setFixedHeight(64);
    FontLayout->addWidget(pnlCharset, 7, 1);
    FontLayout->setColumnStretch(0, 1);

    auto* Bottom = new QHBoxLayout;
    Bottom->addStretch();
    btnOk = NewNamed<QPushButton>(this, "btnOk");
    btnOk->setText(QStringLiteral("OK"));
    btnCancel = NewNamed<QPushButton>(this, "btnCancel");
    btnCancel->setText(QStringLiteral("キャンセル"));
    Bottom->addWidget(btnOk);
    Bottom->addWidget(btnCancel);
    Layout->addLayout(Bottom);

    connect(btnOk, &QPushButton::clicked, this, &TExportItemSelect::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(2); });
    connect(bbtnTop, &QToolButton::clicked, this, [this] { bbtnItemUpClick(true); });
    connect(bbtnUp, &QToolButton::clicked, this, [this] { bbtnItemUpClick(false); });
    connect(bbtnDown, &QToolButton::clicked, this, [this] { bbtnItemDownClick(false); });
    connect(bbtnBottom, &QToolButton::clicked, this, [this] { bbtnItemDownClick(true); });
    connect(bbtnAll, &QToolButton::clicked, this, &TExportItemSelect::bbtnAllClick);
    connect(bbtnReSort, &QToolButton::clicked, this, &TExportItemSelect::bbtnReSortClick);
    connect(lvExportItem, &QListWidget::itemDoubleClicked, this, &TExportItemSelect::lvExportItemDblClick);
    connect(lbxFontName, &QListWidget::currentRowChanged, this, &TExportItemSelect::lbxFontNameClick);
    connect(cbxFontSize, &QComboBox::currentIndexChanged, this, &TExportItemSelect::cbxFontSizeClick);
    connect(chkBold, &QCheckBox::toggled, this, &TExportItemSelect::chkBoldClick);
    connect(chkItalic, &QCheckBox::toggled, this, &TExportItemSelect::chkBoldClick);
    connect(chkPrintMessage, &QCheckBox::toggled, this, &TExportItemSelect::chkPrintMessageClick);
    for (QWidget* Control : {static_cast<QWidget*>(lvExportItem), static_cast<QWidget*>(chkPrintMessage),
                             static_cast<QWidget*>(lbxFontName), static_cast<QWidget*>(cbxFontSize),
                             static_cast<QWidget*>(chkBold), static_cast<QWidget*>(chkItalic)})
        Control->installEventFilter(this);
}

void TExportItemSelect::FormCreate()
{
    TMemoPrintSettings& Memo = MemoPrintSettings;
    QList<TFontListEntry> Fonts = ListFonts(false, false);
    std::sort(Fonts.begin(), Fonts.end(),
              [](const TFontListEntry& A, const TFontListEntry& B) { return A.Name < B.Name; });
    for (const TFontListEntry& Font : Fonts) {
        auto* Item = new QListWidgetItem(Font.Name, lbxFontName);
        Item->setData(CharsetRole, Font.Charset);
    }
    // A vertical-writing face is stored with a leading "@"; the memo is printed across.
    if (Memo.FontName.startsWith(QLatin1Char('@')))
        Memo.FontName.remove(0, 1);
    int Row = 0;
    for (int I = 0; I < lbxFontName->count(); ++I) {
        if (lbxFontName->item(I)->text() == Memo.FontName) {
            Row = I;
            break;
        }
    }
    for (const int Size : MemoFontSizes)
        cbxFontSize->addItem(QString::number(Size));
    const int* Size = std::find(std::begin(MemoFontSizes), std::end(MemoFontSizes), Memo.FontSize);
    const QSignalBlocker BlockSize(cbxFontSize);
    cbxFontSize->setCurrentIndex(Size == std::end(MemoFontSizes) ? 0
                                                                 : static_cast<int>(Size - std::begin(MemoFontSizes)));
    SetFontAttributes(&FSampleFont, SelectedCharset(), Memo.FontName.trimmed(), Memo.FontStyle,
                      cbxFontSize->currentText().toInt());
    {
        const QSignalBlocker BlockName(lbxFontName);
        lbxFontName->setCurrentRow(lbxFontName->count() > 0 ? Row : -1);
    }
    lbxFontNameClick();
    chkBold->setChecked((Memo.FontStyle & FONT_STYLE_BOLD) != 0);
    chkItalic->setChecked((Memo.FontStyle & FONT_STYLE_ITALIC) != 0);
    chkPrintMessage->setChecked(Memo.PrintMsg);
    chkBoldClick();
    chkPrintMessageClick();
}

int TExportItemSelect::SelectedCharset() const
{
    const QListWidgetItem* Item = lbxFontName->currentItem();
    return Item ? Item->data(CharsetRole).toInt() : SHIFTJIS_CHARSET;
}

void TExportItemSelect::SetItems(const QList<TMemoPrintItem>& Entries, int HighIndex)
{
    FItems = Entries.mid(0, std::min<qsizetype>(HighIndex + 1, MemoItemCount));
    while (FItems.size() < MemoItemCount)
        FItems.append(TMemoPrintItem{});
    FillList();
}

void TExportItemSelect::GetItems(QList<TMemoPrintItem>& Entries) const
{
    Entries = FItems;
    for (int Row = 0; Row < lvExportItem->count() && Row < Entries.size(); ++Row)
        Entries[Row].Chosen = lvExportItem->item(Row)->checkState() == Qt::Checked;
}

void TExportItemSelect::FillList()
{
    const QStringList Names = {Settings.SelectItem1, Settings.SelectItem2, Settings.SelectItem3};
    lvExportItem->clear();
    for (const TMemoPrintItem& Entry : FItems) {
        auto* Item = new QListWidgetItem(MemoItemCaption(Entry.TableRow, FFb, Names), lvExportItem);
        Item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        Item->setCheckState(Entry.Chosen ? Qt::Checked : Qt::Unchecked);
    }
    lvExportItem->setCurrentRow(0);
    lvExportItem->setFocus();
}

void TExportItemSelect::TakeChecks()
{
    for (int Row = 0; Row < lvExportItem->count() && Row < FItems.size(); ++Row)
        FItems[Row].Chosen = lvExportItem->item(Row)->checkState() == Qt::Checked;
}

void TExportItemSelect::MoveFocused(int To)
{
    const int From = lvExportItem->currentRow();
    TakeChecks();
    FItems.move(From, To);
    lvExportItem->insertItem(To, lvExportItem->takeItem(From));
    lvExportItem->setCurrentRow(To);
    lvExportItem->setFocus();
}

void TExportItemSelect::bbtnItemUpClick(bool ToTop)
{
    const int Row = lvExportItem->currentRow();
    if (Row > 0)
        MoveFocused(ToTop ? 0 : Row - 1);
}

void TExportItemSelect::bbtnItemDownClick(bool ToBottom)
{
    const int Row = lvExportItem->currentRow();
    if (Row >= 0 && Row < lvExportItem->count() - 1)
        MoveFocused(ToBottom ? lvExportItem->count() - 1 : Row + 1);
}

void TExportItemSelect::bbtnAllClick()
{
    for (int Row = 0; Row < lvExportItem->count(); ++Row)
        lvExportItem->item(Row)->setCheckState(Qt::Checked);
}

void TExportItemSelect::bbtnReSortClick()
{
    const THourglass Wait;
    TakeChecks();
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const TMemoPrintItem& A, const TMemoPrintItem& B) { return A.TableRow < B.TableRow; });
    FillList();
}

void TExportItemSelect::lvExportItemDblClick()
{
    if (QListWidgetItem* Item = lvExportItem->currentItem())
        Item->setCheckState(Item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TExportItemSelect::lbxFontNameClick()
{
    const QListWidgetItem* Item = lbxFontName->currentItem();
    if (Item)
        FSampleFont.setFamily(Item->text());
    const bool Japanese = SelectedCharset() == SHIFTJIS_CHARSET;
    pnlSample->setText(Japanese ? QStringLiteral("Tolvane１６") : QStringLiteral("Pelmar Corp."));
    pnlCharset->setText(Japanese ? QStringLiteral("日本語") : QStringLiteral("欧文"));
    pnlSample->setFont(FSampleFont);
}

void TExportItemSelect::cbxFontSizeClick()
{
    FSampleFont.setPointSize(cbxFontSize->currentText().toInt());
    pnlSample->setFont(FSampleFont);
}

void TExportItemSelect::chkBoldClick()
{
    FSampleFont.setBold(chkBold->isChecked());
    FSampleFont.setItalic(chkItalic->isChecked());
    pnlSample->setFont(FSampleFont);
    for (QCheckBox* Box : {chkBold, chkItalic})
        SetCaptionColor(Box, Box->isChecked() ? QColor(0, 0, 255) : palette().color(QPalette::WindowText));
}

void TExportItemSelect::chkPrintMessageClick()
{
    SetCaptionColor(chkPrintMessage,
                    chkPrintMessage->isChecked() ? QColor(0, 0, 255) : palette().color(QPalette::WindowText));
}

void TExportItemSelect::btnOkClick()
{
    bool Any = false;
    for (int Row = 0; Row < lvExportItem->count(); ++Row)
        Any = Any || lvExportItem->item(Row)->checkState() == Qt::Checked;
    if (!Any) {
        (void)MessageBoxPos(this, QStringLiteral("項目は１つ以上選択してください  "), ProductName,
                            MB_OK | MB_ICONINFORMATION, 0);
        lvExportItem->setFocus();
        return;
    }
    TMemoPrintSettings& Memo = MemoPrintSettings;
    Memo.FontCharset = SelectedCharset();
    Memo.FontName = FSampleFont.family();
    Memo.FontSize = FSampleFont.pointSize();
    Memo.FontStyle = GetFontStyleBits(FSampleFont);
    Memo.TabIndex = pgcMemoPrint->currentIndex();
    Memo.PrintMsg = chkPrintMessage->isChecked();
    done(1);
}

bool TExportItemSelect::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            if (Watched == lvExportItem)
                btnOk->setFocus();
            else
                focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
