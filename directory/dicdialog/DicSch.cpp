#include "directory/dicdialog/DicSch.h"

#include "directory/dic/AdrsDicClass.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dic/PosDicClass.h"
#include "directory/dicdialog/DicTowns.h"
#include "main/common/FormParts.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/common/TabWheel.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowLog.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

namespace {

constexpr int ClientWidth = 521;
constexpr int ClientHeight = 473;
constexpr int HelpContexts[3] = {47, 48, 49};

// The search buttons' glyph: a magnifying glass, drawn here as the form's bitmap "SEARCH" shows it.
QIcon SearchGlyph()
{
    QPixmap Picture(16, 16);
    Picture.fill(Qt::transparent);
    QPainter Painter(&Picture);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setPen(QPen(QColor(0x20, 0x20, 0x80), 2));
    Painter.setBrush(QColor(0xC8, 0xE6, 0xFF));
    Painter.drawEllipse(QRectF(2, 2, 8.5, 8.5));
    Painter.setPen(QPen(QColor(0x60, 0x40, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
    Painter.drawLine(QPointF(10.5, 10.5), QPointF(14, 14));
    return QIcon(Picture);
}

bool IsEnterKey(const QKeyEvent* Key)
{
    return Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter;
}

QTreeWidget* NewList(QWidget* Parent, const char* Name, QRect Place)
{
    auto* List = NewNamed<QTreeWidget>(Parent, Name);
    List->setGeometry(Place);
    List->setRootIsDecorated(false);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setAllColumnsShowFocus(true);
    List->setUniformRowHeights(true);
    return List;
}

void PaintCaption(QRadioButton* Button, bool Chosen)
{
    QPalette Palette = Button->palette();
    Palette.setColor(QPalette::WindowText,
                     Chosen ? QColor(Qt::blue) : QApplication::palette().color(QPalette::WindowText));
    Palette.setColor(QPalette::ButtonText, Palette.color(QPalette::WindowText));
    Button->setPalette(Palette);
}

} // namespace

TDicSearch::TDicSearch(QWidget* Owner, const TDicProgram& Program) : QDialog(Owner), FProgram(Program)
{
    FormCreate();
}

// The wrappers go with the dialog: the libraries stay loaded only while someone searches.
TDicSearch::~TDicSearch() = default;

void TDicSearch::FormCreate()
{
    setObjectName(QStringLiteral("DicSearch"));
    setWindowTitle(QStringLiteral("検索"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(EntryFormFont());
    setFixedSize(ClientWidth, ClientHeight);

    pgctlDicType = NewNamed<QTabWidget>(this, "pgctlDicType");
    pgctlDicType->setGeometry(6, 6, ClientWidth - 12, 422);
    tabstTelSch = NewNamed<QWidget>(nullptr, "tabstTelSch");
    tabstPosSch = NewNamed<QWidget>(nullptr, "tabstPosSch");
    tabstAdrsSch = NewNamed<QWidget>(nullptr, "tabstAdrsSch");
    pgctlDicType->addTab(tabstTelSch, QStringLiteral("電話番号検索"));
    pgctlDicType->addTab(tabstPosSch, QStringLiteral("郵便番号検索"));
    pgctlDicType->addTab(tabstAdrsSch, QStringLiteral("住所検索"));

    FTel = {.Index = 0, .Sheet = tabstTelSch};
    FPos = {.Index = 1, .Sheet = tabstPosSch};
    FAdrs = {.Index = 2, .Sheet = tabstAdrsSch};
    BuildTab(FTel, "Tel");
    BuildTab(FPos, "Pos");
    BuildTab(FAdrs, "Adrs");
    lblTelSch = FTel.Prompt;
    edtTelSch = FTel.Edit;
    bbtnTelSch = FTel.Search;
    lvTelCity = FTel.City;
    cbxTelViewKana = FTel.Kana;
    lvTelTown = FTel.Town;
    lblPosSch = FPos.Prompt;
    edtPosSch = FPos.Edit;
    // Numbers and postal codes are searched by their digits.
    CloseInputMethod(edtTelSch);
    CloseInputMethod(edtPosSch);
    bbtnPosSch = FPos.Search;
    lvPosCity = FPos.City;
    rbPosViewTown = FPos.ViewTown;
    rbPosViewOhguchi = FPos.ViewOhguchi;
    cbxPosViewKana = FPos.Kana;
    lvPosTown = FPos.Town;
    lblAdrsSch = FAdrs.Prompt;
    edtAdrsSch = FAdrs.Edit;
    bbtnAdrsSch = FAdrs.Search;
    lvAdrsCity = FAdrs.City;
    rbAdrsViewTown = FAdrs.ViewTown;
    rbAdrsViewOhguchi = FAdrs.ViewOhguchi;
    cbxAdrsViewKana = FAdrs.Kana;
    lvAdrsTown = FAdrs.Town;

    btnDecision = NewNamed<QPushButton>(this, "btnDecision", QStringLiteral("決定(&D)"));
    btnDecision->setGeometry(ClientWidth - 6 - 2 * 90 - 8, ClientHeight - 36, 90, 26);
    btnCancel = NewNamed<QPushButton>(this, "btnCancel", QStringLiteral("キャンセル"));
    btnCancel->setGeometry(ClientWidth - 6 - 90, ClientHeight - 36, 90, 26);
    // Enter belongs to the controls (search, next list, decide); no button takes it behind their back.
    for (QPushButton* Button : {btnDecision, btnCancel}) {
        Button->setAutoDefault(false);
        Button->setDefault(false);
    }
    connect(btnDecision, &QPushButton::clicked, this, [this] { Guarded([this] { btnDecisionClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    btnDecision->installEventFilter(this);
    btnCancel->installEventFilter(this);

    connect(pgctlDicType, &QTabWidget::currentChanged, this, [this] { pgctlDicTypeChange(); });
    pgctlDicType->tabBar()->installEventFilter(this);
    pgctlDicTypeChange();
}

void TDicSearch::BuildTab(TTab& Tab, const char* Prefix)
{
    const QString P = QLatin1String(Prefix);
    const auto Name = [&](const char* Kind, const char* Rest) { return (Kind + P + QLatin1String(Rest)).toLatin1(); };
    static const QString Prompts[3] = {QStringLiteral("検索する電話番号を入力してください。"),
                                       QStringLiteral("検索する郵便番号を入力してください。"),
                                       QStringLiteral("検索する住所を入力してください。")};
    static const QString Hints[3] = {QStringLiteral("電話番号検索"), QStringLiteral("郵便番号検索"),
                                     QStringLiteral("住所検索")};
    QWidget* S = Tab.Sheet;
    const bool Address = Tab.Index == 2;

    Tab.Prompt = NewNamed<QLabel>(S, Name("lbl", "Sch").constData(), Prompts[Tab.Index]);
    Tab.Prompt->setGeometry(10, 8, 480, 18);
    // Numbers are read back to a caller: they get a large font; an address needs the width.
    QFont Bold = font();
    Bold.setBold(true);
    Bold.setPixelSize(Address ? 15 : 19);
    Tab.Edit = NewEdit(S, Name("edt", "Sch").constData(),
                       Address          ? 200
                       : Tab.Index == 1 ? 8
                                        : 13,
                       QRect(10, 28, Address ? 430 : 160, 30), !Address);
    Tab.Edit->setFont(Bold);
    Tab.Search = NewButton(S, Name("bbtn", "Sch").constData(), QString(), Hints[Tab.Index],
                           QRect(Address ? 446 : 176, 29, 28, 28));
    Tab.Search->setIcon(SearchGlyph());
    Tab.Search->setIconSize(QSize(16, 16));

    NewCaption(S, QStringLiteral("検索結果一覧："), 10, 62, 200, 18);
    Tab.City = NewList(S, Name("lv", "City").constData(), QRect(10, 82, 240, 112));
    Tab.City->setHeaderHidden(true);
    Tab.City->setColumnCount(1);
    Tab.City->setColumnWidth(0, 220);

    if (Tab.Index > 0) {
        NewCaption(S, QStringLiteral("表示種類："), 266, 82, 120, 18);
        Tab.ViewTown = NewNamed<QRadioButton>(S, Name("rb", "ViewTown").constData(), QStringLiteral("町大字一覧"));
        Tab.ViewTown->setGeometry(280, 102, 200, 20);
        Tab.ViewTown->setChecked(true);
        PaintCaption(Tab.ViewTown, true);
        Tab.ViewOhguchi =
            NewNamed<QRadioButton>(S, Name("rb", "ViewOhguchi").constData(), QStringLiteral("大口事業所等名一覧"));
        Tab.ViewOhguchi->setGeometry(280, 124, 200, 20);
        PaintCaption(Tab.ViewOhguchi, false);
        connect(Tab.ViewTown, &QRadioButton::toggled, this, [this, &Tab](bool On) {
            if (On)
                Guarded([&] { rbViewClick(Tab, false); });
        });
        connect(Tab.ViewOhguchi, &QRadioButton::toggled, this, [this, &Tab](bool On) {
            if (On)
                Guarded([&] { rbViewClick(Tab, true); });
        });
    }
    NewCaption(S, QStringLiteral("表示カナ："), 266, 150, 120, 18);
    Tab.Kana = NewCombo(S, Name("cbx", "ViewKana").constData(), false, 0, QRect(280, 170, 110, 22));
    Tab.Kana->addItems(KanaFilterItems());
    Tab.Kana->setMaxVisibleItems(11);
    Tab.Kana->setCurrentIndex(0);
    connect(Tab.Kana, &QComboBox::currentIndexChanged, this,
            [this, &Tab] { Guarded([&] { cbxViewKanaChange(Tab); }); });

    Tab.Town = NewList(S, Name("lv", "Town").constData(), QRect(10, 202, 483, 182));
    Tab.Town->setHeaderLabels({QStringLiteral("〒"), QString(), QStringLiteral("住所")});
    Tab.Town->setColumnWidth(0, 60);
    Tab.Town->setColumnWidth(1, 30);
    Tab.Town->setColumnWidth(2, 350);
    Tab.Town->header()->setStretchLastSection(false);
    Tab.Town->header()->setSectionsClickable(false);

    connect(Tab.Search, &QToolButton::clicked, this, [this, &Tab] { Guarded([&] { (void)RunSearch(Tab); }); });
    connect(Tab.City, &QTreeWidget::itemSelectionChanged, this, [this, &Tab] { Guarded([&] { CitySelected(Tab); }); });
    connect(Tab.Town, &QTreeWidget::itemDoubleClicked, this, [this, &Tab] {
        if (Tab.Town->topLevelItemCount() > 0)
            Guarded([this] { btnDecisionClick(); });
    });
    for (QWidget* Control : std::initializer_list<QWidget*>{Tab.Edit, Tab.Search, Tab.City, Tab.Town, Tab.Kana})
        Control->installEventFilter(this);
    for (QTreeWidget* List : {Tab.City, Tab.Town})
        List->viewport()->installEventFilter(this);
    for (QRadioButton* View : {Tab.ViewTown, Tab.ViewOhguchi})
        if (View)
            View->installEventFilter(this);
}

void TDicSearch::SetTabs(int TabBits, bool EarlierSearch)
{
    pgctlDicType->setTabVisible(0, (TabBits & 1) != 0);
    pgctlDicType->setTabVisible(1, (TabBits & 2) != 0);
    pgctlDicType->setTabVisible(2, (TabBits & 4) != 0);
    FEarlierSearch = EarlierSearch;
}

void TDicSearch::GetResult(TCallerRecord& Dest) const
{
    Dest = FResultKind == DicResultCaller ? FCallerRecord : TCallerRecord{};
}

void TDicSearch::GetResult(TDicSearchResult& Dest) const
{
    Dest = FResult;
}

void TDicSearch::pgctlDicTypeChange()
{
    const int Index = std::clamp(pgctlDicType->currentIndex(), 0, 2);
    FResultKind = Index;
    SetHelpContext(this, HelpContexts[Index]);
}

void TDicSearch::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FTabRects = TabHeaderRects(pgctlDicType);
    LogWindowState(this);
    TTab& Tab = ActiveTab();
    if (Tab.City->topLevelItemCount() > 0)
        Tab.City->setFocus();
    else
        CaretToEnd(Tab.Edit);
}

bool TDicSearch::FormMouseWheel(QWheelEvent* Wheel)
{
    return TabHeaderWheel(pgctlDicType, FTabRects, Wheel);
}

TDicSearch::TTab& TDicSearch::ActiveTab()
{
    switch (pgctlDicType->currentIndex()) {
    case 1:
        return FPos;
    case 2:
        return FAdrs;
    default:
        return FTel;
    }
}

bool TDicSearch::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == pgctlDicType->tabBar() && Event->type() == QEvent::Wheel)
        return FormMouseWheel(static_cast<QWheelEvent*>(Event));
    // A focused button takes Enter as a click, as the buttons of the other windows do.
    if (auto* Button = qobject_cast<QPushButton*>(Watched);
        Button && Event->type() == QEvent::KeyPress && IsEnterKey(static_cast<QKeyEvent*>(Event))) {
        Button->click();
        return true;
    }
    for (TTab* Tab : {&FTel, &FPos, &FAdrs}) {
        if (Event->type() == QEvent::KeyPress) {
            bool Taken = false;
            Guarded([&] { Taken = KeyDown(*Tab, Watched, static_cast<QKeyEvent*>(Event)); });
            if (Taken)
                return true;
        } else if (Event->type() == QEvent::MouseButtonRelease) {
            for (QTreeWidget* List : {Tab->City, Tab->Town})
                if (Watched == List->viewport())
                    ListMouseDown(List);
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

bool TDicSearch::KeyDown(TTab& Tab, QObject* Watched, QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    if (Watched == Tab.Edit || Watched == Tab.Search) {
        (void)RunSearch(Tab);
        return true;
    }
    if (Watched == Tab.City) {
        Tab.Town->setFocus();
        return true;
    }
    if (Watched == Tab.Town) {
        btnDecisionClick();
        return true;
    }
    if (Watched == Tab.ViewTown || Watched == Tab.ViewOhguchi) {
        Tab.Kana->setFocus();
        return true;
    }
    if (Watched == Tab.Kana) {
        focusNextChild();
        if (auto* Edit = qobject_cast<QLineEdit*>(focusWidget()))
            CaretToEnd(Edit);
        return true;
    }
    return false;
}

// A click into a list that has rows but lost its selection takes the focused row again, so the list
// never looks chosen while nothing is.
void TDicSearch::ListMouseDown(QTreeWidget* List)
{
    if (List->topLevelItemCount() == 0 || !List->selectedItems().isEmpty())
        return;
    QTreeWidgetItem* Current = List->currentItem() ? List->currentItem() : List->topLevelItem(0);
    Current->setSelected(true);
}

bool TDicSearch::Guarded(const std::function<void()>& Action)
{
    try {
        Action();
        return true;
    } catch (const Exception& E) {
        ShowError(E.Message());
    } catch (const std::exception& E) {
        ShowError(QString::fromUtf8(E.what()));
    }
    return false;
}

void TDicSearch::rbViewClick(TTab& Tab, bool Offices)
{
    PaintCaption(Tab.ViewTown, !Offices);
    PaintCaption(Tab.ViewOhguchi, Offices);
    QTreeWidget* Town = Tab.Town;
    if (!Offices && Town->columnCount() == 4) {
        Town->setColumnCount(3);
        Town->setColumnWidth(2, 350);
    } else if (Offices && Town->columnCount() == 3) {
        Town->setColumnCount(4);
        Town->setColumnWidth(2, 170);
        Town->headerItem()->setText(3, QStringLiteral("大口事業所等名"));
        Town->setColumnWidth(3, 180);
    }
    if (SelectedCity(Tab) >= 0)
        ListTowns(Tab);
}

void TDicSearch::cbxViewKanaChange(TTab& Tab)
{
    const int Item = Tab.Kana->currentIndex();
    if (Item == Tab.KanaFilter)
        return;
    Tab.KanaFilter = Item;
    if (SelectedCity(Tab) >= 0)
        ListTowns(Tab);
}
