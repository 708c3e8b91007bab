#include "calls/adapter/GetHis.h"

#include "calls/HisList.h"
#include "calls/PagedLines.h"
#include "directory/Dashrule.h"
#include "main/common/CommonForms.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/MyHdCtrl.h"
#include "main/device/VxComm.h"
#include "main/pipeline/CallPipeline.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/ui/WindowLog.h"
#include "platform/ui/WindowScript.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

namespace {

const QString ReadQuestion = QStringLiteral("接続機器から着信履歴を読み込みます  \r\nよろしいですか？  \r\n\r\n"
                                            "※機器構成によっては時間がかかることがあります  \r\n"
                                            "また読み込み中は着信を確認できません  ");
const QString ReadFailed = QStringLiteral("着信履歴が読み込めませんでした  ");

QString Hyphenated(const QString& Number)
{
    QString Result = Number;
    (void)HyphenateTel(Result);
    return Result;
}

} // namespace

TGetReceiveHistory::TGetReceiveHistory(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("GetReceiveHistory"));
    setWindowTitle(QStringLiteral("着信履歴取り込み"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setProperty("HelpContext", 65);

    grpRecvHis = new QGroupBox(QStringLiteral("着信履歴一覧"), this);
    grpRecvHis->setObjectName(QStringLiteral("grpRecvHis"));
    pnlHeader = new QWidget(grpRecvHis);
    myhcRecvHis = new TMyHeaderControl(pnlHeader);
    myhcRecvHis->setObjectName(QStringLiteral("myhcRecvHis"));
    const std::pair<const char*, int> Columns[] = {{"日付", 104}, {"時刻", 76}, {"電話番号", 130}};
    for (const auto& [Caption, Width] : Columns) {
        TMyCustomHeaderSection& Column = myhcRecvHis->Sections().Add();
        Column.SetText(QString::fromUtf8(Caption));
        Column.SetAllowClick(false);
        const int Scaled = ScaleByDpi(Width, true);
        Column.SetMinWidth(Scaled);
        Column.SetMaxWidth(Scaled);
        Column.SetWidth(Scaled);
    }
    const int ListWidth = myhcRecvHis->Sections().TotalWidth();
    myhcRecvHis->setGeometry(0, 0, ListWidth, myhcRecvHis->sizeHint().height());
    pnlHeader->setFixedSize(ListWidth, myhcRecvHis->sizeHint().height());

    lbxRecvHis = new QListWidget(grpRecvHis);
    lbxRecvHis->setObjectName(QStringLiteral("lbxRecvHis"));
    lbxRecvHis->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbxRecvHis->setUniformItemSizes(true);
    lbxRecvHis->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lbxRecvHis->setItemDelegate(new PagedLines::TPagedLineDelegate(lbxRecvHis, myhcRecvHis, {}, 3, false));
    lbxRecvHis->setFixedSize(ListWidth + 2 * lbxRecvHis->frameWidth() +
                                 lbxRecvHis->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                             ScaleByDpi(260, true));
    lbxRecvHis->installEventFilter(this);

    auto* Group = new QVBoxLayout(grpRecvHis);
    Group->setSpacing(0);
    Group->addWidget(pnlHeader);
    Group->addWidget(lbxRecvHis);

    btnSave = new QPushButton(QStringLiteral("保存(&S)"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnSave);
    Buttons->addWidget(btnCancel);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(grpRecvHis);
    Layout->addLayout(Buttons);
    Layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnSave, &QPushButton::clicked, this, &TGetReceiveHistory::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(2); });
    ScriptWindow(this);
}

bool TGetReceiveHistory::event(QEvent* Event)
{
    // The reading waits until the dialog stands on the screen, so its question has an owner to sit on.
    if (Event->type() == QEvent::Show && !FActivated) {
        FActivated = true;
        QTimer::singleShot(0, this, &TGetReceiveHistory::FormActivate);
    }
    return QDialog::event(Event);
}

void TGetReceiveHistory::FormActivate()
{
    if (Message(ReadQuestion, MB_YESNO | MB_ICONQUESTION) == IDNO) {
        btnCancel->setFocus();
        return;
    }
    ReadHistory();
}

void TGetReceiveHistory::ReadHistory()
{
    THourglass Wait;
    std::int32_t Count = 0;
    if (VxCommDLL) {
        for (const TAdapterKind& Kind : VxCommDLL->Kinds()) {
            if (Kind.Kind == Settings.Adapter) {
                Count = std::max(0, Kind.HistoryCount);
                break;
            }
        }
    }
    std::vector<TDeviceHistoryEntry> Buffer(static_cast<size_t>(Count));
    if (!VxCommDLL || !VxCommDLL->GetHistory(Settings.Adapter, Count, Buffer.data())) {
        (void)Message(ReadFailed, MB_OK | MB_ICONINFORMATION);
        btnCancel->setFocus();
        return;
    }
    for (std::int32_t I = 0; I < Count; ++I) {
        EntryList.append(HistoryImportEntryOf(Buffer[static_cast<size_t>(I)], Hyphenated));
        lbxRecvHis->addItem(HistoryImportLine(EntryList.last()));
    }
    if (lbxRecvHis->count() > 0)
        lbxRecvHis->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    lbxRecvHis->setFocus();
    LogWindowState(this);
}

void TGetReceiveHistory::FocusAfterList()
{
    if (lbxRecvHis->count() == 0)
        btnCancel->setFocus();
    else
        btnSave->setFocus();
}

void TGetReceiveHistory::btnSaveClick()
{
    QList<THistoryImportEntry> Chosen;
    for (int Row = 0; Row < lbxRecvHis->count(); ++Row) {
        if (lbxRecvHis->item(Row)->isSelected())
            Chosen.append(EntryList.value(Row));
    }
    if (Chosen.isEmpty()) {
        if (lbxRecvHis->count() == 0)
            btnCancel->setFocus();
        else
            lbxRecvHis->setFocus();
        return;
    }
    if (Message(QString::number(Chosen.size()) + QStringLiteral("件のデータを着信対応履歴ファイルに保存します  ") +
                    QStringLiteral("\r\n") + QStringLiteral("よろしいですか？  "),
                MB_YESNO | MB_ICONQUESTION) == IDNO)
        return;
    THistoryImportResult Result;
    {
        THourglass Wait;
        if (!DMVxRelvo16)
            return;
        Result = SaveHistoryImport(*DMVxRelvo16, Chosen, QDateTime::currentDateTime());
    }
    if (Result.Saved > 0 && ReloadHistoryList)
        ReloadHistoryList();
    switch (Result.Stop) {
    case THistoryImportResult::EStop::CounterFull:
        (void)Message(HistoryImportCounterFull, MB_OK | MB_ICONINFORMATION);
        break;
    case THistoryImportResult::EStop::RowsFull:
        (void)Message(HistoryRowsFull, MB_OK | MB_ICONINFORMATION);
        break;
    case THistoryImportResult::EStop::NotOpened:
        break;
    case THistoryImportResult::EStop::None:
        (void)Message(QString::number(Result.Saved) + QStringLiteral("件保存しました  "), MB_OK | MB_ICONINFORMATION);
        break;
    }
}

bool TGetReceiveHistory::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == lbxRecvHis && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            FocusAfterList();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

int TGetReceiveHistory::Message(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags, 2);
}

void ShowGetReceiveHistory(QWidget* Owner)
{
    TGetReceiveHistory Dialog(Owner);
    Dialog.ReloadHistoryList = [] {
        if (HistoryList)
            HistoryList->LoadPage(0, 0);
    };
    CenterForm(&Dialog, Owner);
    Dialog.exec();
}
