#include "utility/forms/BackupData.h"

#include "main/common/CommonForms.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"
#include "platform/ui/WindowLog.h"
#include "platform/ui/WindowScript.h"
#include "utility/start/UtilFolders.h"
#include "utility/tables/TableSafety.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

namespace Utility {

namespace {

QLabel* Panel(const char* Name)
{
    auto* Label = new QLabel;
    Label->setObjectName(QString::fromLatin1(Name));
    Label->setFrameShape(QFrame::StyledPanel);
    Label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label->setMinimumWidth(120);
    return Label;
}

class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace

QPushButton* WizardButton(const QString& Caption, const char* Name)
{
    auto* Result = new QPushButton(Caption);
    Result->setObjectName(QString::fromLatin1(Name));
    Result->setAutoDefault(false);
    return Result;
}

QTreeWidget* NewResultList(QWidget* Parent)
{
    auto* List = new QTreeWidget(Parent);
    List->setObjectName(QStringLiteral("lvResult"));
    List->setRootIsDecorated(false);
    List->setHeaderLabels({QStringLiteral("ファイル"), QStringLiteral("成否"), QStringLiteral("要因")});
    List->header()->resizeSection(0, 240);
    List->header()->resizeSection(1, 40);
    List->header()->resizeSection(2, 146);
    List->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    return List;
}

void FillResultList(QTreeWidget* List, const QList<TResultRow>& Rows)
{
    List->clear();
    for (const TResultRow& Row : Rows) {
        auto* Item = new QTreeWidgetItem(List, {Row.Name, ResultMark(Row.Code), ResultReason(Row.Code)});
        Item->setTextAlignment(1, Qt::AlignCenter);
    }
    // The longest names (the templates' rows) are wider than the column's width: it grows to them.
    int Wanted = 0;
    for (int I = 0; I < List->topLevelItemCount(); ++I)
        Wanted = std::max(Wanted, List->fontMetrics().horizontalAdvance(List->topLevelItem(I)->text(0)));
    Wanted += List->style()->pixelMetric(QStyle::PM_HeaderMargin) * 2;
    if (Wanted > List->header()->sectionSize(0))
        List->header()->resizeSection(0, Wanted);
}

TBackupData::TBackupData(QWidget* Owner) : TWizardDialog(Owner), FSource(DataPath)
{
    setObjectName(QStringLiteral("BackupData"));
    setWindowTitle(QStringLiteral("バックアップ"));
    SetHelpContext(this, 83);

    pgctlBackup = new QStackedWidget(this);
    pgctlBackup->setObjectName(QStringLiteral("pgctlBackup"));

    // Page 0: the destination.
    auto* DestPage = new QWidget;
    edtDest = new QLineEdit(DefaultBackupFolder(DataPath));
    edtDest->setObjectName(QStringLiteral("edtDest"));
    edtDest->setMinimumWidth(340);
    edtDest->installEventFilter(this);
    bbtnBrowseDest = WizardButton(QStringLiteral("参照"), "bbtnBrowseDest");
    bbtnBrowseDest->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    auto* DestLayout = new QGridLayout(DestPage);
    DestLayout->addWidget(new QLabel(QStringLiteral("使用しているデータのバックアップをとります")), 0, 0, 1, 3);
    DestLayout->addWidget(new QLabel(QStringLiteral("保存先のフォルダーを指定してください")), 1, 0, 1, 3);
    DestLayout->addWidget(new QLabel(QStringLiteral("保存先：")), 2, 0);
    DestLayout->addWidget(edtDest, 2, 1);
    DestLayout->addWidget(bbtnBrowseDest, 2, 2);
    DestLayout->setRowStretch(3, 1);

    // Page 1: the confirmation.
    auto* ConfirmPage = new QWidget;
    pnlConfirmationDest = Panel("pnlConfirmationDest");
    pnlConfirmationDest->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pnlNeedSize = Panel("pnlNeedSize");
    pnlFreeSize = Panel("pnlFreeSize");
    auto* ConfirmLayout = new QGridLayout(ConfirmPage);
    ConfirmLayout->addWidget(new QLabel(QStringLiteral("必要なサイズと空き容量を確認してください")), 0, 0, 1, 5);
    ConfirmLayout->addWidget(new QLabel(QStringLiteral("よろしければバックアップボタンを押してください")), 1, 0, 1, 5);
    ConfirmLayout->addWidget(new QLabel(QStringLiteral("保存先：")), 2, 0);
    ConfirmLayout->addWidget(pnlConfirmationDest, 2, 1, 1, 4);
    ConfirmLayout->addWidget(new QLabel(QStringLiteral("必要なサイズ：")), 3, 0);
    ConfirmLayout->addWidget(pnlNeedSize, 3, 1);
    ConfirmLayout->addWidget(new QLabel(QStringLiteral("KB")), 3, 2);
    ConfirmLayout->addWidget(new QLabel(QStringLiteral("／")), 3, 3);
    ConfirmLayout->addWidget(new QLabel(QStringLiteral("現在の空き容量：")), 4, 0);
    ConfirmLayout->addWidget(pnlFreeSize, 4, 1);
    ConfirmLayout->addWidget(new QLabel(QStringLiteral("KB")), 4, 2);
    auto* Note = new QLabel(QStringLiteral("※必要サイズは環境によって誤差がでますので、目安として参考にしてください"));
    Note->setWordWrap(true);
    ConfirmLayout->addWidget(Note, 5, 0, 1, 5);
    ConfirmLayout->setColumnStretch(4, 1);
    ConfirmLayout->setRowStretch(6, 1);

    // Page 2: the outcome.
    auto* ResultPage = new QWidget;
    lvResult = NewResultList(ResultPage);
    lvResult->installEventFilter(this);
    auto* ResultLayout = new QVBoxLayout(ResultPage);
    ResultLayout->addWidget(new QLabel(QStringLiteral("バックアップが完了しました")));
    ResultLayout->addWidget(lvResult);

    pgctlBackup->addWidget(DestPage);
    pgctlBackup->addWidget(ConfirmPage);
    pgctlBackup->addWidget(ResultPage);

    btnCancel = WizardButton(QStringLiteral("キャンセル"), "btnCancel");
    btnPrior = WizardButton(QStringLiteral("< 戻る"), "btnPrior");
    btnNext = WizardButton(QStringLiteral("次へ >"), "btnNext");
    btnBackup = WizardButton(QStringLiteral("バックアップ"), "btnBackup");
    btnClose = WizardButton(QStringLiteral("閉じる"), "btnClose");
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    for (QPushButton* Each : {btnCancel, btnPrior, btnNext, btnBackup, btnClose})
        Buttons->addWidget(Each);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(pgctlBackup);
    Layout->addLayout(Buttons);

    pgctlBackup->setCurrentIndex(0);
    btnPrior->setEnabled(false);
    btnBackup->setEnabled(false);
    btnClose->setVisible(false);

    connect(bbtnBrowseDest, &QPushButton::clicked, this, &TBackupData::bbtnBrowseDestClick);
    connect(btnNext, &QPushButton::clicked, this, &TBackupData::btnNextClick);
    connect(btnPrior, &QPushButton::clicked, this, &TBackupData::btnPriorClick);
    connect(btnBackup, &QPushButton::clicked, this, &TBackupData::btnBackupClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Tests drive the wizard from outside as a person would; it logs its own state as it fills.
    ScriptWindow(this, false);
}

void TBackupData::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FocusAtEndWhenShown(edtDest);
    LogWindowState(this);
}

void TWizardDialog::FocusAtEndWhenShown(QLineEdit* Edit)
{
    Edit->setFocus();
    // The dialog, once shown, gives its focus widget a focus of the Tab key's kind, which selects
    // all of a line edit's text: the caret goes to the end after that.
    QMetaObject::invokeMethod(
        Edit, [Edit] { Edit->end(false); }, Qt::QueuedConnection);
}

int TWizardDialog::Box(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags);
}

void TBackupData::bbtnBrowseDestClick()
{
    QString Folder = edtDest->text().trimmed();
    if (Folder.isEmpty() || !QFileInfo(Folder).isDir())
        Folder = SettingsPath;
    if (!BrowseForFolder(Folder, this, QStringLiteral("保存先のフォルダーを指定してください"), true, false))
        return;
    edtDest->setText(Folder);
    edtDest->end(false);
    edtDest->setFocus();
}

void TBackupData::btnNextClick()
{
    FDest = IncludeTrailingDelimiter(edtDest->text().trimmed());
    // The data folder as its own backup would copy the tables onto themselves, however it is spelt.
    if (edtDest->text().trimmed().isEmpty() || SameFolder(FDest, DataPath, false)) {
        (void)Box(QStringLiteral("現在使用しているデータ保存フォルダーを指定しています  "), MB_OK | MB_ICONINFORMATION);
        edtDest->setFocus();
        edtDest->end(false);
        return;
    }
    pnlConfirmationDest->setText(FDest);
    const QStringList All = RecvHisFileList + MeiboFileList + RankFileList + SelItemFileList + TemplateFileList;
    FMeasure = MeasureTableFiles(FDest, All, FSource);
    pnlNeedSize->setText(FormatKB(FMeasure.NeededSize));
    pnlFreeSize->setText(FMeasure.FreeSpace > 0 ? FormatKB(FMeasure.FreeSpace) : QStringLiteral("--- "));
    btnPrior->setEnabled(true);
    btnBackup->setEnabled(true);
    btnNext->setEnabled(false);
    pgctlBackup->setCurrentIndex(1);
    btnBackup->setFocus();
    LogWindowState(this);
}

void TBackupData::btnPriorClick()
{
    btnPrior->setEnabled(false);
    btnBackup->setEnabled(false);
    btnNext->setEnabled(true);
    pgctlBackup->setCurrentIndex(pgctlBackup->currentIndex() - 1);
    edtDest->setFocus();
}

void TBackupData::btnBackupClick()
{
    if (!FMeasure.Fits()) {
        (void)Box(QStringLiteral("空き容量が足りません  "), MB_OK | MB_ICONINFORMATION);
        btnPrior->setFocus();
        return;
    }
    if (Box(QStringLiteral("データのバックアップを行います  \r\nよろしいですか？  "),
            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (!QFileInfo(FDest).isDir()) {
        if (Box(QStringLiteral("保存先フォルダーが見つかりません  \r\n作成してもよろしいですか？  "),
                MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        if (!CreateOwnerOnlyFolder(FDest) || !QFileInfo(FDest).isDir()) {
            (void)Box(QStringLiteral("保存先フォルダーが作成できませんでした  "), MB_OK | MB_ICONINFORMATION);
            return;
        }
    }
    {
        TWaitCursor Busy;
        FillResultList(lvResult, CopyBackupGroups(FSource, FDest));
    }
    btnPrior->setEnabled(false);
    btnBackup->setEnabled(false);
    btnClose->setVisible(true);
    btnCancel->setVisible(false);
    pgctlBackup->setCurrentIndex(2);
    btnClose->setFocus();
    LogWindowState(this);
}

bool TBackupData::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            if (Watched == edtDest) {
                (edtDest->text().trimmed().isEmpty() ? static_cast<QWidget*>(bbtnBrowseDest) : btnNext)->setFocus();
                return true;
            }
            if (Watched == lvResult) {
                focusNextChild();
                return true;
            }
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

} // namespace Utility
