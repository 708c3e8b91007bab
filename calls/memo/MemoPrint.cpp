#include "calls/memo/MemoPrint.h"

#include "calls/RecvView.h"
#include "calls/memo/EItmSel.h"
#include "main/common/CommonForms.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "platform/ini/IniFile.h"
#include "platform/print/Printing.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScreen>
#include <QTreeWidget>
#include <QWindow>

std::function<Qt::KeyboardModifiers()> MemoPrintKeyboardState = [] {
    return QGuiApplication::queryKeyboardModifiers();
};

namespace {

const QString NoPrinterMessage =
    QStringLiteral("プリンターがインストールされていません  \r\n\r\n先にプリンターをインストールしてください  ");
const QString MemoQuestion = QStringLiteral("画面の項目を印刷します  \r\nよろしいですか？  \r\n\r\n"
                                            "※印刷したい項目は「項目設定」で指定できます　");
const QString ScreenQuestion = QStringLiteral("着信照会画面を印刷します　\r\nよろしいですか？  \r\n\r\n");
const QString PrintedMessage = QStringLiteral("印刷しました  ");

int Box(TReceiveView& View, const QString& Text, unsigned Flags)
{
    return MessageBoxPos(&View, Text, ProductName, Flags);
}

// The first steps both prints share: a printer exists, the user agrees, the set-up dialog is confirmed.
bool PrintAllowed(TReceiveView& View, const QString& Question)
{
    if (!HasPrinters()) {
        (void)Box(View, NoPrinterMessage, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return !MemoPrintSettings.PrintMsg || Box(View, Question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

QStringList SelectItemNames()
{
    return {Settings.SelectItem1, Settings.SelectItem2, Settings.SelectItem3};
}

} // namespace

TMemoValues MemoValuesOf(const TReceiveView& View)
{
    const bool Fb = View.FernbookMode();
    auto T = [](const QString& Text) { return Text.trimmed(); };
    TMemoValues Values;
    Values.Texts = {
        T(View.pnlDivision->text()),
        T(View.pnlPrevDate->text()),
        T(View.pnlPrevTime->text()),
        T(View.pnlDate->text()),
        T(View.pnlTime->text()),
        T(Fb ? View.edtFbTel->text() : View.edtTel1->text()),
        T(Fb ? View.cbxFbTel->currentText() : View.edtTel2->text()),
        T(View.edtPos->text()),
        T(T(View.edtTdfkn->text()) + T(View.edtAdrs1->text()) + T(View.edtAdrs2->text()) + T(View.edtAdrs3->text())),
        T(View.lblJisCode->text()),
        T(View.edtCorpKana->text()),
        T(View.edtCorpKanji->text()),
        T(View.nmedtNameKana->text()),
        T(View.nmedtNameKanji->text()),
        T(View.cbxPrivCorp->currentText()),
        T(View.edtMemo1->text()),
        T(View.edtMemo2->text()),
        T(View.edtMemo3->text()),
        T(View.edtEMail->text()),
        T(View.cbxRank->currentText()),
        T(View.cbxSelectItem1->currentText()),
        T(View.cbxSelectItem2->currentText()),
        T(View.cbxSelectItem3->currentText())};
    const TSortListView* Files = View.lvExtFile;
    for (int Row = 0; Row < Files->topLevelItemCount(); ++Row)
        Values.Files.append(Files->topLevelItem(Row)->text(1) + Files->topLevelItem(Row)->text(2));
    const QString Note = View.mmoNote->toPlainText();
    if (!Note.isEmpty())
        Values.NoteLines = Note.split(QLatin1Char('\n'));
    return Values;
}

void MemoPrint(TReceiveView& View)
{
    if (!PrintAllowed(View, MemoQuestion))
        return;
    TPrintJob Job({}, ProductName);
    if (!Job.SetupDialog(&View))
        return;
    const bool Fb = View.FernbookMode();
    const QList<TMemoLine> Lines = MemoPrintLines(View.MemoPrintItems, MemoValuesOf(View), Fb, SelectItemNames());
    if (!Job.Begin(ProductName))
        return;
    QPainter& Painter = Job.Painter();
    QFont Font;
    const TMemoPrintSettings& Memo = MemoPrintSettings;
    SetFontAttributes(&Font, Memo.FontCharset, Memo.FontName.trimmed(), Memo.FontStyle, Memo.FontSize);
    Painter.setFont(Font);
    const QFontMetrics Metrics(Painter.font(), &Job.Printer());
    int W = 0;
    for (const QString& Label : MemoChosenLabels(View.MemoPrintItems, Fb))
        W = std::max(W, Metrics.horizontalAdvance(Label));
    const int H = Metrics.height();
    const int P = H + H / 2;
    // A memo that does not fit goes on over further pages rather than losing its last lines.
    const int PerPage = MemoLinesPerPage(Job.PageRect().height(), P, H);
    int L = 0;
    for (const TMemoLine& Line : Lines) {
        if (L == PerPage) {
            (void)Job.NewPage();
            L = 0;
        }
        const int Y = P * L + Metrics.ascent();
        if (!Line.Caption.isEmpty())
            Painter.drawText(120, Y, Line.Caption);
        Painter.drawText(W + 420, Y, Line.Value);
        ++L;
    }
    if (!Job.End())
        return;
    (void)Box(View, PrintedMessage, MB_OK | MB_ICONINFORMATION);
}

void MemoCopy(TReceiveView& View)
{
    THourglass Wait;
    QGuiApplication::clipboard()->setText(MemoCopyText(View.MemoPrintItems, MemoValuesOf(View)));
}

QImage GrabWindowPicture(QWidget* Window)
{
    // The frame belongs to the window manager: on X11 it is read from the screen where the window
    // stands; elsewhere only the client area is ours to read.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && Window->isVisible() && !Window->isMinimized()) {
        Window->repaint();
        QCoreApplication::processEvents();
        const QRect Frame = Window->frameGeometry();
        if (QScreen* Screen = Window->screen()) {
            const QImage Image = Screen->grabWindow(0, Frame.x(), Frame.y(), Frame.width(), Frame.height()).toImage();
            if (!Image.isNull())
                return Image;
        }
    }
    return Window->grab().toImage();
}

void ScreenPrint(TReceiveView& View)
{
    if (!PrintAllowed(View, ScreenQuestion))
        return;
    const QString Title = QStringLiteral("着信照会画面");
    TPrintJob Job({}, Title);
    const Qt::KeyboardModifiers Keys = MemoPrintKeyboardState();
    bool Grey = !Job.Color();
    if (Keys & Qt::ShiftModifier)
        Grey = false;
    if (Keys & Qt::ControlModifier)
        Grey = true;
    if (!Job.SetupDialog(&View))
        return;
    THourglass Wait;
    QImage Picture = GrabWindowPicture(&View).convertToFormat(QImage::Format_RGB888);
    if (Grey)
        GrayscaleBitmap(Picture);
    const double Ratio = Picture.devicePixelRatio();
    const int FormDpi = View.logicalDpiX();
    const int Width = static_cast<int>(Picture.width() / Ratio) * Job.Printer().logicalDpiX() / FormDpi;
    const int Height = static_cast<int>(Picture.height() / Ratio) * Job.Printer().logicalDpiY() / View.logicalDpiY();
    if (!Job.Begin(Title))
        return;
    Job.Painter().drawImage(QRect(0, 0, Width, Height), Picture);
    if (!Job.End())
        return;
    (void)Box(View, PrintedMessage, MB_OK | MB_ICONINFORMATION);
}

void MemoPrintSet(TReceiveView& View)
{
    TExportItemSelect Dialog(&View, View.FernbookMode());
    CenterForm(&Dialog, &View);
    Dialog.pgcMemoPrint->setCurrentIndex(std::clamp(MemoPrintSettings.TabIndex, 0, 1));
    Dialog.SetItems(View.MemoPrintItems, MemoItemCount - 1);
    if (Dialog.exec() == 1) {
        Dialog.GetItems(View.MemoPrintItems);
        View.SaveMemoPrintSettings(TSettingsSave::Confirmed);
    }
}

void InstallMemoPrint()
{
    ReceiveViewTools.MemoPrintSet = MemoPrintSet;
    ReceiveViewTools.Copy = MemoCopy;
    ReceiveViewTools.MemoPrint = MemoPrint;
    ReceiveViewTools.ScreenPrint = ScreenPrint;
}

void TReceiveView::LoadMemoPrintSettings()
{
    const TMemIniFile Ini(SettingsFileName());
    MemoPrintItems = ReadMemoPrintItems(Ini, FernbookMode());
    MemoPrintSettings = ReadMemoPrintSettings(Ini);
}

void TReceiveView::SaveMemoPrintSettings(TSettingsSave Who)
{
    if (SettingsPath.isEmpty())
        return;
    (void)SaveSettingsFile(Who, [this](TMemIniFile& Ini) {
        WriteMemoPrintSection(Ini, MemoPrintItems, FernbookMode(), MemoPrintSettings);
    });
}
