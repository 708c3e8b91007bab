#include "transfer/print/preview/LPPrevw.h"

#include "calls/PagedLines.h"
#include "main/common/CommonForms.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "main/tables/DBInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/WindowScript.h"
#include "transfer/print/ListPrt.h"
#include "transfer/print/PaintPanel.h"
#include "transfer/print/PreviewWalk.h"
#include "transfer/print/preview/PreviewZoom.h"

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TListPrintPreview* ListPrintPreview = nullptr;

namespace {

const QString PreviewSection = QStringLiteral("LIST PRINT PREVIEW");
constexpr int Gap = 20;
double ScreenDpiForTests = 0;

} // namespace

void TListPrintPreview::SetScreenDpiForTests(double Dpi)
{
    ScreenDpiForTests = Dpi;
}

TListPrintPreview::TListPrintPreview(const TListPrintModel& Model, QWidget* Owner) : QDialog(Owner), FLive(Model), FShownModel(Model.Snapshot())
{
    setObjectName(QStringLiteral("ListPrintPreview"));
    setWindowTitle(QStringLiteral("印刷プレビュー"));
    setProperty("HelpContext", 78);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    ListPrintPreview = this;

    pnlTop = new QWidget(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    pnlTop->setFixedHeight(41);
    const auto PageButton = [this](const char* Name, QStyle::StandardPixmap Glyph, int Tag) {
        auto* Button = new QToolButton(pnlTop);
        Button->setObjectName(QLatin1String(Name));
        Button->setIcon(style()->standardIcon(Glyph));
        Button->setAutoRaise(true);
        Button->setFocusPolicy(Qt::NoFocus);
        connect(Button, &QToolButton::clicked, this, [this, Tag] { PageButtonClick(Tag); });
        return Button;
    };
    sbtnFirst = PageButton("sbtnFirst", QStyle::SP_MediaSkipBackward, 0);
    sbtnPrior = PageButton("sbtnPrior", QStyle::SP_MediaSeekBackward, 1);
    sbtnNext = PageButton("sbtnNext", QStyle::SP_MediaSeekForward, 2);
    sbtnLast = PageButton("sbtnLast", QStyle::SP_MediaSkipForward, 3);
    const auto NewLabel = [this](const char* Name, const QString& Text) {
        auto* Label = new QLabel(Text, pnlTop);
        Label->setObjectName(QLatin1String(Name));
        return Label;
    };
    lblNowPage = NewLabel("lblNowPage", QString());
    lblNowPage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblNowPage->setMinimumWidth(32);
    lblPageSlash = NewLabel("lblPageSlash", QStringLiteral("/"));
    lblTotalPage = NewLabel("lblTotalPage", QString());
    lblTotalPage->setMinimumWidth(32);
    lblZoom = NewLabel("lblZoom", QStringLiteral("倍率："));
    cbxZoom = new QComboBox(pnlTop);
    cbxZoom->setObjectName(QStringLiteral("cbxZoom"));
    btnClose = new QPushButton(QStringLiteral("閉じる"), pnlTop);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    // Right-aligned: the close button 16 from the edge, the zoom list 16 before it, its label 8.
    auto* Top = new QHBoxLayout(pnlTop);
    Top->setContentsMargins(8, 4, 16, 4);
    for (QWidget* Control :
         {static_cast<QWidget*>(sbtnFirst), static_cast<QWidget*>(sbtnPrior), static_cast<QWidget*>(lblNowPage),
          static_cast<QWidget*>(lblPageSlash), static_cast<QWidget*>(lblTotalPage), static_cast<QWidget*>(sbtnNext),
          static_cast<QWidget*>(sbtnLast)})
        Top->addWidget(Control);
    Top->addStretch();
    Top->addWidget(lblZoom);
    Top->addSpacing(8);
    Top->addWidget(cbxZoom);
    Top->addSpacing(16);
    Top->addWidget(btnClose);

    sbxPreview = new QScrollArea(this);
    sbxPreview->setObjectName(QStringLiteral("sbxPreview"));
    sbxPreview->setWidgetResizable(false);
    sbxPreview->setFocusPolicy(Qt::StrongFocus);
    bvSpace = new QWidget;
    bvSpace->setObjectName(QStringLiteral("bvSpace"));
    sbxPreview->setWidget(bvSpace);
    pnlImage = new TPaintPanel(bvSpace);
    pnlImage->setObjectName(QStringLiteral("pnlImage"));
    pnlImage->Color = Qt::white;
    pnlImage->BevelOuter = TPaintPanel::TBevel::None;
    pnlImage->setFocusPolicy(Qt::NoFocus);
    pnlImage->setCursor(Qt::OpenHandCursor);
    pnlImage->OnPaint = [this](TPaintPanel*, const QRect&) { pnlImagePaint(); };
    pnlImage->OnMouseDown = [this](TPaintPanel*, QMouseEvent* Mouse) { pnlImageMouseDown(Mouse); };
    pnlImage->OnMouseMove = [this](TPaintPanel*, QMouseEvent* Mouse) { pnlImageMouseMove(Mouse); };
    pnlImage->OnMouseUp = [this](TPaintPanel*, QMouseEvent*) {
        FDragging = false;
        pnlImage->setCursor(Qt::OpenHandCursor);
    };
    sbxPreview->installEventFilter(this);
    sbxPreview->viewport()->installEventFilter(this);

    stbarInfo = new QStatusBar(this);
    stbarInfo->setObjectName(QStringLiteral("stbarInfo"));
    stbarInfo->setSizeGripEnabled(true);
    for (int I = 0; I < 3; ++I) {
        StatusPanels[I] = new QLabel(stbarInfo);
        StatusPanels[I]->setObjectName(QStringLiteral("StatusPanel%1").arg(I + 1));
    }
    StatusPanels[1]->setText(QStringLiteral("  表示： 100%"));
    StatusPanels[1]->setFixedWidth(ScaleByDpi(90, true));
    StatusPanels[1]->setFrameShape(QFrame::Panel);
    StatusPanels[1]->setFrameShadow(QFrame::Sunken);
    stbarInfo->addWidget(StatusPanels[0], 1);
    stbarInfo->addWidget(StatusPanels[1]);
    stbarInfo->addWidget(StatusPanels[2]);
    StatusPanels[2]->setFixedWidth(50);

    pmZoom = new QMenu(this);
    pmZoom->setObjectName(QStringLiteral("pmZoom"));
    QMenu* ZoomItems = pmZoom->addMenu(QStringLiteral("倍率"));
    auto* Group = new QActionGroup(this);
    for (int Tag = 0; Tag < PreviewZoomCount; ++Tag) {
        QAction* Item = ZoomItems->addAction(PreviewZoomText(Tag));
        Item->setCheckable(true);
        Item->setData(Tag);
        Group->addAction(Item);
        connect(Item, &QAction::triggered, this, [this, Tag] { cbxZoom->setCurrentIndex(Tag); });
        cbxZoom->addItem(PreviewZoomText(Tag));
    }

    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(pnlTop);
    Layout->addWidget(sbxPreview, 1);
    Layout->addWidget(stbarInfo);
    setMinimumSize(480, 240);

    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    cbxZoom->installEventFilter(this);

    // Creation: the stored bounds and zoom, then page 1.
    LoadPreviewSettings();
    cbxZoom->setCurrentIndex(FZoomChosen);
    connect(cbxZoom, &QComboBox::currentIndexChanged, this, &TListPrintPreview::cbxZoomChange);
    PreparePreviewPage();
    FPageNo = 1;
    FPageCount = PageCountOf(Shown().SourceRecordCount, Shown().RecordsPerPage);
    UpdatePageControls();
    RenderPreviewPage();
    ScriptWindow(this);
}

TListPrintPreview::~TListPrintPreview()
{
    SavePreviewSettings();
    if (ListPrintPreview == this)
        ListPrintPreview = nullptr;
}

void TListPrintPreview::LoadPreviewSettings()
{
    TMemIniFile Ini(SettingsFileName());
    PagedLines::LoadWindowBounds(this, Ini, PreviewSection, 800, 572);
    FZoomChosen = PreviewZoomOf(Ini.ReadInteger(PreviewSection, QStringLiteral("Zoom"), 0));
}

void TListPrintPreview::SavePreviewSettings()
{
    (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) {
        PagedLines::SaveWindowBounds(this, Ini, PreviewSection);
        Ini.WriteInteger(PreviewSection, QStringLiteral("Zoom"), FZoomApplied < 0 ? FZoomChosen : FZoomApplied);
    });
}

void TListPrintPreview::PreparePreviewPage()
{
    const TPrinterInfo* Printer = Shown().PrinterInfo.get();
    FSheet = Printer ? QSize(Printer->PhysicalWidth, Printer->PhysicalHeight) : QSize();
    FPage96 = Printer ? PreviewPage96(Printer->PhysicalWidth, Printer->PhysicalHeight, Printer->DpiX, Printer->DpiY)
                      : QSize(794, 1123);
}

void TListPrintPreview::UpdatePageControls()
{
    sbtnFirst->setEnabled(FPageNo > 1);
    sbtnPrior->setEnabled(FPageNo > 1);
    sbtnNext->setEnabled(FPageNo < FPageCount);
    sbtnLast->setEnabled(FPageNo < FPageCount);
    lblNowPage->setText(QString::number(FPageNo));
    lblTotalPage->setText(QString::number(FPageCount));
}

void TListPrintPreview::RenderPreviewPage()
{
    FImage = QPicture();
    if (FSheet.isEmpty() || !DMVxRelvo16)
        return;
    FImage.setBoundingRect(QRect(QPoint(0, 0), FSheet));
    QPainter Painter(&FImage);
    static const TListTextMetrics Metrics;
    ::RenderPreviewPage(Painter, Shown(), *DMVxRelvo16, FPageNo, Metrics);
}

void TListPrintPreview::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!FShown) {
        FShown = true;
        SizePage();
    }
}

void TListPrintPreview::SizePage()
{
    if (!FShown)
        return;
    const QSize Client = sbxPreview->viewport()->size();
    if (FZoomApplied == 0 || FZoomApplied != FZoomChosen) {
        FZoomApplied = FZoomChosen;
        const double Dpi = ScreenDpiForTests > 0 ? ScreenDpiForTests
                           : screen()            ? screen()->logicalDotsPerInchX()
                                                 : 96.0;
        const double Scale = PreviewScale(FZoomApplied, Client, FPage96, Dpi);
        pnlImage->resize(qRound(FPage96.width() * Scale), qRound(FPage96.height() * Scale));
        StatusPanels[1]->setText(QStringLiteral("  表示： %1%").arg(qRound(Scale * 100)));
    }
    const QRect Place = PlacePreviewPage(Client, pnlImage->size());
    // The spacer ends 20 pixels after the page, so the scroll range does too.
    bvSpace->resize(Place.right() + 1 + Gap, Place.bottom() + 1 + Gap);
    pnlImage->move(Place.topLeft());
    sbxPreview->horizontalScrollBar()->setValue(0);
    sbxPreview->verticalScrollBar()->setValue(0);
    pnlImage->update();
}

void TListPrintPreview::pnlImagePaint()
{
    QPainter Painter(pnlImage);
    if (!FSheet.isEmpty()) {
        Painter.save();
        Painter.scale(double(pnlImage->width()) / FSheet.width(), double(pnlImage->height()) / FSheet.height());
        Painter.drawPicture(0, 0, FImage);
        Painter.restore();
    }
    Painter.setPen(QColor(128, 128, 128));
    Painter.setBrush(Qt::NoBrush);
    Painter.drawRect(pnlImage->rect().adjusted(0, 0, -1, -1));
}

void TListPrintPreview::PageButtonClick(int Tag)
{
    const int Pages[4] = {1, FPageNo - 1, FPageNo + 1, FPageCount};
    FPageNo = qBound(1, Pages[Tag], FPageCount);
    UpdatePageControls();
    RenderPreviewPage();
    pnlImage->update();
}

void TListPrintPreview::cbxZoomChange(int Index)
{
    if (Index < 0 || Index == FZoomChosen)
        return;
    FZoomChosen = Index;
    SizePage();
}

void TListPrintPreview::RefreshPreview()
{
    FShownModel = FLive.Snapshot();
    FZoomApplied = -1;
    PreparePreviewPage();
    FPageNo = 1;
    FPageCount = PageCountOf(Shown().SourceRecordCount, Shown().RecordsPerPage);
    UpdatePageControls();
    RenderPreviewPage();
    SizePage();
}

void TListPrintPreview::pnlImageMouseDown(QMouseEvent* Mouse)
{
    sbxPreview->setFocus();
    if (Mouse->button() == Qt::RightButton) {
        for (QAction* Item : pmZoom->findChildren<QAction*>())
            if (Item->isCheckable())
                Item->setChecked(Item->data().toInt() == FZoomApplied);
        pmZoom->popup(Mouse->globalPosition().toPoint());
        return;
    }
    if (Mouse->button() == Qt::LeftButton) {
        FDragging = true;
        FDragStart = Mouse->position().toPoint();
        pnlImage->setCursor(Qt::ClosedHandCursor);
    }
}

void TListPrintPreview::pnlImageMouseMove(QMouseEvent* Mouse)
{
    if (!FDragging)
        return;
    // The point grabbed stays under the cursor.
    QScrollBar* Bars[2] = {sbxPreview->horizontalScrollBar(), sbxPreview->verticalScrollBar()};
    const QPoint At = Mouse->position().toPoint();
    const int Moves[2] = {FDragStart.x() - At.x(), FDragStart.y() - At.y()};
    for (int I = 0; I < 2; ++I)
        Bars[I]->setValue(qBound(0, Bars[I]->value() + Moves[I], Bars[I]->maximum()));
}

bool TListPrintPreview::ScrollBoxWindowProc(QEvent* Event)
{
    QScrollBar* Vertical = sbxPreview->verticalScrollBar();
    const bool Scrolls = sbxPreview->hasFocus() && Vertical->isVisible();
    if (Event->type() == QEvent::Wheel) {
        if (Scrolls) {
            const auto* Wheel = static_cast<QWheelEvent*>(Event);
            Vertical->setValue(Vertical->value() - Wheel->angleDelta().y() / 120 * QApplication::wheelScrollLines() *
                                                       Vertical->singleStep());
        }
        return true;
    }
    auto* Key = static_cast<QKeyEvent*>(Event);
    switch (Key->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (Scrolls)
            Vertical->setValue(Vertical->value() +
                               (Key->key() == Qt::Key_PageUp ? -1 : 1) * sbxPreview->viewport()->height());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (Scrolls)
            Vertical->setValue(Vertical->value() + (Key->key() == Qt::Key_Up ? -1 : 1) * Vertical->singleStep());
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        // The scroll box does nothing with the other keys; the window's own keys (Esc) still work.
        QDialog::keyPressEvent(Key);
        return true;
    }
}

bool TListPrintPreview::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == sbxPreview && Event->type() == QEvent::KeyPress)
        return ScrollBoxWindowProc(Event);
    if (Watched == sbxPreview->viewport()) {
        if (Event->type() == QEvent::Wheel)
            return ScrollBoxWindowProc(Event);
        if (Event->type() == QEvent::Resize)
            SizePage();
        if (Event->type() == QEvent::MouseButtonPress)
            sbxPreview->setFocus();
    }
    if (Watched == cbxZoom && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            btnClose->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
