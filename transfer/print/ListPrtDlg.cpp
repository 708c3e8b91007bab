// The frame of the list print settings window: creation, the settings in and out of the controls,
// the counts, the page buttons, the printer and the two buttons that go on to printing.

#include "transfer/print/ListPrtDlg.h"

#include "main/common/CommonFonts.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/NumberUpDown.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "main/tables/DBInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/WindowMessage.h"
#include "platform/print/Printing.h"
#include "platform/ui/WindowScript.h"
#include "transfer/print/DevMode.h"
#include "transfer/print/PaintPanel.h"
#include "transfer/print/PrinterSetupDlg.h"
#include "transfer/print/SystemPrinters.h"
#include "transfer/print/lists/AMLPLst.h"
#include "transfer/print/lists/RHLPLst.h"
#include "transfer/print/preview/LPPrevw.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

TListPrint* ListPrint = nullptr;

namespace {

constexpr int HelpContexts[4] = {68, 73, 74, 76};
const QStringList PosXItems{QStringLiteral("左"), QStringLiteral("中央"), QStringLiteral("右")};
const QStringList PosYItems{QStringLiteral("上"), QStringLiteral("下")};
const QColor CheckedCaption(0, 0, 255); // 0xFF0000 blue first

void Fill(QComboBox* Combo, const QStringList& Items, int Index)
{
    Combo->clear();
    Combo->addItems(Items);
    Combo->setCurrentIndex(Index >= 0 && Index < Items.size() ? Index : 0);
}

void SetEnabledLook(QWidget* Widget, bool Enabled)
{
    Widget->setEnabled(Enabled);
}

TSystemPrinters& SystemPrinterList()
{
    static TSystemPrinters Printers;
    return Printers;
}

} // namespace

TListPrint::TListPrint(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("ListPrint"));
    setWindowTitle(QStringLiteral("一覧表の印刷"));
    SetHelpContext(this, 68);
    ListPrint = this;

    auto* Root = new QVBoxLayout(this);
    auto* Buttons = new QHBoxLayout;
    const QStringList Captions{QStringLiteral("印刷内容"), QStringLiteral("書式"), QStringLiteral("罫線・色"),
                               QStringLiteral("範囲・プリンター")};
    pgctlListPrint = NewNamed<QStackedWidget>(this, "pgctlListPrint");
    for (int Tag = 0; Tag < 4; ++Tag) {
        auto* Button = NewNamed<QToolButton>(this, qPrintable(QStringLiteral("sbtnPage%1").arg(Tag)));
        Button->setText(Captions[Tag]);
        Button->setCheckable(true);
        Button->setProperty("Tag", Tag);
        Button->setFocusPolicy(Qt::NoFocus);
        Button->setMinimumWidth(110);
        connect(Button, &QToolButton::clicked, this, [this, Tag] { PageButtonClick(Tag); });
        PageButtons[Tag] = Button;
        Buttons->addWidget(Button);
        auto* Page = new QWidget(pgctlListPrint);
        pgctlListPrint->addWidget(Page);
    }
    PageButtons[3]->setToolTip(QStringLiteral("印刷範囲／部数／プリンタの設定"));
    Buttons->addStretch();
    Root->addLayout(Buttons);
    Root->addWidget(pgctlListPrint);
    CreatePage0(pgctlListPrint->widget(0));
    CreatePage1(pgctlListPrint->widget(1));
    CreatePage2(pgctlListPrint->widget(2));
    CreatePage3(pgctlListPrint->widget(3));
    // The Enter walk: these controls take Enter as "next" instead of closing the window.
    for (QWidget* Control : std::initializer_list<QWidget*>{
             rbRecvHis, rbAddMeibo, cbxTemplateName, chkIgnoreTdfkn, cbxTitlePosX, chkViewDate, dtpViewDate,
             cbxDatePosX, cbxDatePosY, chkViewPage, cbxPageType, cbxPagePosX, cbxPagePosY, lbxFontName, cbxFontSize,
             chkBold, chkItalic, cbxRows})
        Control->installEventFilter(this);

    auto* Bottom = new QHBoxLayout;
    btnPreview = NewNamed<QPushButton>(this, "btnPreview", QStringLiteral("プレビュー(&V)"));
    btnList = NewNamed<QPushButton>(this, "btnList", QStringLiteral("一覧(&L)"));
    btnCancel = NewNamed<QPushButton>(this, "btnCancel", QStringLiteral("キャンセル"));
    for (QPushButton* Button : {btnPreview, btnList, btnCancel})
        Button->setAutoDefault(false);
    Bottom->addStretch();
    Bottom->addWidget(btnPreview);
    Bottom->addWidget(btnList);
    Bottom->addWidget(btnCancel);
    Root->addLayout(Bottom);
    connect(btnPreview, &QPushButton::clicked, this, &TListPrint::btnPreviewClick);
    connect(btnList, &QPushButton::clicked, this, &TListPrint::btnListClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    FIni = std::make_unique<TMemIniFile>(SettingsFileName());
    adjustSize();
    FitLayoutToScreen(this);
    // The stored place is in 96-dpi units; a fresh file centres the window on the screen.
    const QRect Screen = QApplication::primaryScreen() ? QApplication::primaryScreen()->geometry() : QRect();
    const int Left = FIni->ReadInteger(ListPrintSection, QStringLiteral("Left"), (Screen.width() - width()) / 2);
    const int Top = FIni->ReadInteger(ListPrintSection, QStringLiteral("Top"), (Screen.height() - height()) / 2);
    MoveToStoredPlace(this, QPoint(ScaleByDpi(Left, true), ScaleByDpi(Top, true)));

    LoadPrintSettings();
    Model.LoadTemplates(Settings.DataPath);
    ShowPrintSettings();
    UpdateLayoutButtons();
    ScriptWindow(this);
}

TListPrint::~TListPrint()
{
    SaveWindowPosition();
    if (ListPrint == this)
        ListPrint = nullptr;
}

void TListPrint::SaveWindowPosition()
{
    // Only the place is written here: a cancelled window leaves every setting as it was on disk.
    (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) {
        Ini.WriteInteger(ListPrintSection, QStringLiteral("Left"), ScaleByDpi(x(), false));
        Ini.WriteInteger(ListPrintSection, QStringLiteral("Top"), ScaleByDpi(y(), false));
    });
}

void TListPrint::LoadPrintSettings()
{
    Model.LoadPrintSettings(*FIni, SettingsPath + PrinterFileName);
}

bool TListPrint::SavePrintSettings()
{
    bool Printer = true;
    const bool Written = SaveSettingsFile(
        TSettingsSave::Kept, [this, &Printer](TMemIniFile& Ini) { Printer = Model.SavePrintSettings(Ini); });
    return Written && Printer;
}

void TListPrint::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (FShown)
        return;
    FShown = true;
    FCurrentPage = -1;
    PageButtonClick(0);
    if (Settings.UseFbAdrs && Model.PrintSource == SourceMeibo)
        (void)MessageBoxPos(this, FernbookNotice, ProductName, MB_OK | MB_ICONINFORMATION);
}

void TListPrint::ShowPrintSettings()
{
    const TPrintSettings& P = Model.PrintSettings;
    (Model.PrintSource == SourceMeibo ? rbAddMeibo : rbRecvHis)->setChecked(true);
    SourceClick(Model.PrintSource);
    chkIgnoreTdfkn->setChecked(P.IgnoreTdfkn);
    edtTitle->setText(P.Title.trimmed());
    FTitleWasEmpty = edtTitle->text().isEmpty();
    Fill(cbxTitlePosX, PosXItems, P.TitlePosX);
    chkViewDate->setChecked(P.ViewDate);
    dtpViewDate->setDate(QDate::currentDate());
    Fill(cbxDatePosX, PosXItems, P.DatePosX);
    Fill(cbxDatePosY, PosYItems, P.DatePosY);
    SetDateControls();
    chkViewPage->setChecked(P.ViewPage);
    Fill(cbxPageType,
         {QStringLiteral("Page. ***"), QStringLiteral("- *** -"), QStringLiteral("*** ページ"),
          QStringLiteral("Page. *** / [total]"), QStringLiteral("- *** / [total] -"),
          QStringLiteral("*** / [total] ページ")},
         P.PageType);
    Fill(cbxPagePosX, PosXItems, P.PagePosX);
    Fill(cbxPagePosY, PosYItems, P.PagePosY);
    SetPageControls();

    lbxFontName->clear();
    QList<TFontListEntry> Fonts = ListFonts(true, false);
    std::stable_sort(Fonts.begin(), Fonts.end(),
                     [](const TFontListEntry& A, const TFontListEntry& B) { return A.Name < B.Name; });
    int Selected = -1;
    for (int I = 0; I < Fonts.size(); ++I) {
        auto* Item = new QListWidgetItem(Fonts[I].Name, lbxFontName);
        Item->setSizeHint(QSize(lbxFontName->fontMetrics().horizontalAdvance(Fonts[I].Name) + 8,
                                2 + lbxFontName->fontMetrics().height()));
        Item->setData(Qt::UserRole, Fonts[I].Charset);
        if (Selected < 0 && Fonts[I].Name == P.FontName.trimmed())
            Selected = I;
    }
    // A font that is not installed selects the first one listed.
    Selected = std::max(Selected, 0);
    lbxFontName->setCurrentRow(Selected);
    Model.PrintSettings.FontCharset =
        lbxFontName->currentItem() ? lbxFontName->currentItem()->data(Qt::UserRole).toInt() : P.FontCharset;
    ShowCharsetSample(Model.PrintSettings.FontCharset);
    QStringList Sizes;
    for (int Size = MinFontSize; Size <= MaxFontSize; ++Size)
        Sizes << QString::number(Size);
    Fill(cbxFontSize, Sizes, P.FontSize - MinFontSize);
    SetFontAttributes(&FSampleFont, P.FontCharset, P.FontName.trimmed(), P.FontStyle,
                      cbxFontSize->currentText().toInt());
    pnlSample->setFont(FSampleFont);
    chkBold->setChecked(FSampleFont.bold());
    chkItalic->setChecked(FSampleFont.italic());
    Fill(cbxRows, {QStringLiteral("1行"), QStringLiteral("2行"), QStringLiteral("3行")}, P.RowCount - 1);
    udOffsetX->SetPosition(P.OffsetX);
    edtOffsetX->setText(MarginText(udOffsetX->Position()));
    udOffsetY->SetPosition(P.OffsetY);
    edtOffsetY->setText(MarginText(udOffsetY->Position()));
    FEdits[1].Last = P.OffsetX;
    FEdits[2].Last = P.OffsetY;

    Rules.Line = P.Line;
    Rules.LineType = P.LineType;
    for (int Rule = 0; Rule < 6; ++Rule)
        RuleButtons[Rule]->setChecked(Rules.Line[Rule]);
    CountRecordsPerPage();
    udInterval->SetPosition(P.HorzInterval);
    edtInterval->setText(QString::number(udInterval->Position()));
    FEdits[3].Last = udInterval->Position();
    ShowHeaderColor(P.HeaderColor, P.HeaderColorExists);
    lbxColor->clear();
    for (int Color : P.Colors) {
        auto* Item = new QListWidgetItem(QString(), lbxColor);
        Item->setData(Qt::UserRole, Color);
    }
    lbxColor->setCurrentRow(0);

    FDataSelect = P.DataSelect;
    (P.DataSelect == 1 ? rbRange : P.DataSelect == 2 ? rbAll : rbList)->setChecked(true);
    udCopies->SetPosition(P.Copies);
    edtCopies->setText(QString::number(udCopies->Position()));
    FEdits[4].Last = udCopies->Position();
    ShowPrinterPanels();
    ShowCheckedColors();
}

void TListPrint::CollectPrintSettings()
{
    TPrintSettings& P = Model.PrintSettings;
    P = TPrintSettings{};
    P.IgnoreTdfkn = chkIgnoreTdfkn->isChecked();
    P.Title = MbcsLeft(edtTitle->text().trimmed(), 200);
    P.TitlePosX = cbxTitlePosX->currentIndex();
    P.DatePosX = cbxDatePosX->currentIndex();
    P.DatePosY = cbxDatePosY->currentIndex();
    P.PageType = cbxPageType->currentIndex();
    P.PagePosX = cbxPagePosX->currentIndex();
    P.PagePosY = cbxPagePosY->currentIndex();
    P.ViewDate = chkViewDate->isChecked();
    P.ViewPage = chkViewPage->isChecked();
    P.PrintDate = QDate(1899, 12, 30).daysTo(dtpViewDate->date());
    P.FontName = lbxFontName->currentItem() ? lbxFontName->currentItem()->text() : MsGothicFontName;
    P.FontSize = cbxFontSize->currentText().toInt();
    P.FontStyle = GetFontStyleBits(FSampleFont);
    P.FontCharset =
        lbxFontName->currentItem() ? lbxFontName->currentItem()->data(Qt::UserRole).toInt() : SHIFTJIS_CHARSET;
    P.RowCount = cbxRows->currentIndex() + 1;
    P.OffsetX = udOffsetX->Position();
    P.OffsetY = udOffsetY->Position();
    P.HorzInterval = udInterval->Position();
    P.Copies = udCopies->Position();
    P.Line = Rules.Line;
    P.LineType = Rules.LineType;
    P.HeaderColorExists = pnlHeaderColor->text().isEmpty();
    P.HeaderColor = pnlHeaderColor->property("Color").toInt();
    P.Colors = DataColors();
    P.DataSelect = FDataSelect;
}

void TListPrint::CountSourceRecords()
{
    if (DMVxRelvo16)
        Model.CountSourceRecords(*DMVxRelvo16);
    else
        Model.SourceRecordCount = 0;
}

void TListPrint::CountRecordsPerPage()
{
    // The count reads the controls as they stand, not the settings of the last collect.
    TPrintSettings& P = Model.PrintSettings;
    P.OffsetY = udOffsetY->Position();
    P.Title = edtTitle->text();
    P.FontSize = cbxFontSize->currentText().toInt();
    P.ViewDate = chkViewDate->isChecked();
    P.DatePosX = cbxDatePosX->currentIndex();
    P.DatePosY = cbxDatePosY->currentIndex();
    P.ViewPage = chkViewPage->isChecked();
    P.PagePosX = cbxPagePosX->currentIndex();
    P.PagePosY = cbxPagePosY->currentIndex();
    P.RowCount = cbxRows->currentIndex() + 1;
    P.Line = Rules.Line;
    P.LineType = Rules.LineType;
    static const TListTextMetrics Metrics;
    const int Count = Model.CountRecordsPerPage(Metrics);
    // A page too small for one record shows 0, not a negative count nobody can read.
    lblLineCount->setText(RecordsPerPageLabel(std::max(Count, 0)));
    ++RecountCount;
}

bool TListPrint::RecordsPerPageRefused()
{
    if (Model.RecordsPerPage > 0)
        return false;
    (void)MessageBoxPos(this, PageTooSmallMessage, ProductName, MB_OK | MB_ICONINFORMATION);
    return true;
}

void TListPrint::ShowCharsetSample(int Charset)
{
    if (Charset == ANSI_CHARSET) {
        pnlSample->setText(QStringLiteral("Pelmar Corp."));
        pnlCharset->setText(QStringLiteral("欧文"));
    } else if (Charset == SHIFTJIS_CHARSET) {
        pnlSample->setText(QStringLiteral("Tolvane１６"));
        pnlCharset->setText(QStringLiteral("日本語"));
    }
}

void TListPrint::PageButtonClick(int Tag)
{
    if (Tag == FCurrentPage) {
        PageButtons[Tag]->setChecked(true);
        return;
    }
    for (int I = 0; I < 4; ++I)
        PageButtons[I]->setChecked(I == Tag);
    FCurrentPage = Tag;
    pgctlListPrint->setCurrentIndex(Tag);
    SetHelpContext(this, HelpContexts[Tag]);
    QWidget* Focus = Tag == 0   ? static_cast<QWidget*>(lbxSrc)
                     : Tag == 1 ? static_cast<QWidget*>(lbxFontName)
                     : Tag == 2 ? static_cast<QWidget*>(dgLineType)
                                : static_cast<QWidget*>(FDataSelect == 1   ? rbRange
                                                        : FDataSelect == 2 ? rbAll
                                                                           : rbList);
    Focus->setFocus();
}

void TListPrint::PressPage(int Tag)
{
    PageButtons[Tag]->setChecked(true);
    PageButtonClick(Tag);
}

void TListPrint::SetDateControls()
{
    for (QWidget* W : std::initializer_list<QWidget*>{dtpViewDate, cbxDatePosX, cbxDatePosY})
        SetEnabledLook(W, chkViewDate->isChecked());
}

void TListPrint::SetPageControls()
{
    for (QWidget* W : std::initializer_list<QWidget*>{cbxPageType, cbxPagePosX, cbxPagePosY})
        SetEnabledLook(W, chkViewPage->isChecked());
}

void TListPrint::ShowCheckedColors()
{
    for (QAbstractButton* Box :
         std::initializer_list<QAbstractButton*>{chkIgnoreTdfkn, chkViewDate, chkViewPage, chkBold, chkItalic, rbList,
                                                 rbRange, rbAll, rbRecvHis, rbAddMeibo})
        SetCaptionColor(Box, Box->isChecked() ? CheckedCaption : palette().color(QPalette::WindowText));
}

void TListPrint::ShowPrinterPanels()
{
    TPrinterInfo* Printer = Model.PrinterInfo.get();
    if (!Printer)
        return;
    pnlPrinterName->setText(Printer->DeviceName);
    const TPrinterInfo::TPaperName Paper = Printer->GetPaperName();
    static const QString PaperMessages[] = {QString(), QStringLiteral("用紙の種類数が取得できませんでした  "),
                                            QStringLiteral("用紙名が取得できませんでした  "),
                                            QStringLiteral("用紙サイズが取得できませんでした  ")};
    if (Paper.Code >= 1 && Paper.Code <= 3)
        (void)MessageBoxPos(this, PaperMessages[Paper.Code], ProductName, MB_OK | MB_ICONSTOP);
    pnlPaperSize->setText(Paper.Name);
    pnlOrientation->setText(Printer->GetOrientation() == 2 ? QStringLiteral("横") : QStringLiteral("縦"));
}

void TListPrint::btnPrinterSetupClick()
{
    TPrinterInfo* Printer = Model.PrinterInfo.get();
    if (!Printer)
        return;
    if (Printer->GetCopies() != udCopies->Position())
        Printer->SetCopies(udCopies->Position());
    TPrinterSelection Chosen{Printer->DeviceName, Printer->Paper(), Printer->GetOrientation() == DMORIENT_LANDSCAPE,
                             Printer->GetCopies()};
    if (!RunPrinterSetup(this, Chosen))
        return;
    THourglass Wait;
    CurrentPrinter() = Chosen;
    Printer->UseCurrentPrinter();
    udCopies->SetPosition(Printer->GetCopies());
    edtCopies->setText(QString::number(udCopies->Position()));
    FEdits[4].Last = udCopies->Position();
    ShowPrinterPanels();
    CountRecordsPerPage();
    // The choice outlives a window closed without printing, as the set-up of a printer does.
    (void)Printer->SavePrinterSettings();
}

void TListPrint::btnPreviewClick()
{
    THourglass Wait;
    CountSourceRecords();
    CollectPrintSettings();
    if (RecordsPerPageRefused())
        return;
    (void)SavePrintSettings();
    if (ListPrintPreview)
        ListPrintPreview->RefreshPreview();
    else
        new TListPrintPreview(Model, this);
    ListPrintPreview->show();
    ListPrintPreview->raise();
}

void TListPrint::btnListClick()
{
    if (Model.CurrentLayout().isEmpty()) {
        (void)MessageBoxPos(this, QStringLiteral("印刷する項目をセットしてください"), ProductName,
                            MB_OK | MB_ICONINFORMATION);
        lbxSrc->setFocus();
        return;
    }
    std::unique_ptr<TListPrintList> List;
    {
        THourglass Wait;
        CountSourceRecords();
        CollectPrintSettings();
        if (RecordsPerPageRefused())
            return;
        (void)SavePrintSettings();
        if (Model.PrintSource == SourceMeibo)
            List = std::make_unique<TAddMeiboListPrintList>(Model, this);
        else
            List = std::make_unique<TRecvHisListPrintList>(Model, this);
    }
    List->exec();
}

bool TListPrint::event(QEvent* Event)
{
    if (Event->type() == TWindowMessageEvent::EventType() &&
        static_cast<TWindowMessageEvent*>(Event)->Msg == WM_LISTPRINT_RECALC) {
        CountRecordsPerPage();
        return true;
    }
    return QDialog::event(Event);
}

void ShowListPrint(QWidget* Owner)
{
    if (!HasPrinters()) {
        (void)MessageBoxPos(Owner, NoPrinterMessage, ProductName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The window chooses among the system's printers for its life.
    SetPrinterDevices(&SystemPrinterList());
    auto* Window = new TListPrint(Owner);
    Window->exec();
    delete Window;
    ListPrint = nullptr;
    SetPrinterDevices(nullptr);
}
