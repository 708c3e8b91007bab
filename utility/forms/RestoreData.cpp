#include "utility/forms/RestoreData.h"

#include "main/common/CommonForms.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"
#include "platform/ui/WindowLog.h"
#include "platform/ui/WindowScript.h"
#include "utility/forms/BackupData.h"
#include "utility/start/UtilFolders.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTreeWidget>

namespace Utility {

namespace {

// The chosen option's caption is blue, the others' in the text colour.
void MarkChosen(QWidget* Control, bool Chosen)
{
    Control->setStyleSheet(Chosen ? QStringLiteral("color: blue") : QString());
}

} // namespace

TRestoreData::TRestoreData(QWidget* Owner) : TWizardDialog(Owner)
{
    setObjectName(QStringLiteral("RestoreData"));
    setWindowTitle(QStringLiteral("復元"));
    SetHelpContext(this, 84);

    pgctlRestore = new QStackedWidget(this);
    pgctlRestore->setObjectName(QStringLiteral("pgctlRestore"));

    auto* FolderPage = new QWidget;
    edtSrc = new QLineEdit(DataPath);
    edtSrc->setObjectName(QStringLiteral("edtSrc"));
    edtSrc->setMinimumWidth(340);
    edtDest = new QLineEdit(DataPath);
    edtDest->setObjectName(QStringLiteral("edtDest"));
    bbtnBrowseSrc = WizardButton(QStringLiteral("参照"), "bbtnBrowseSrc");
    bbtnBrowseDest = WizardButton(QStringLiteral("参照"), "bbtnBrowseDest");
    for (QPushButton* Browse : {bbtnBrowseSrc, bbtnBrowseDest})
        Browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    rbNowDataPath = new QRadioButton(QStringLiteral("現在のデータ保存フォルダーに上書きする"));
    rbNowDataPath->setObjectName(QStringLiteral("rbNowDataPath"));
    rbSelectDataPath = new QRadioButton(QStringLiteral("フォルダーを指定する"));
    rbSelectDataPath->setObjectName(QStringLiteral("rbSelectDataPath"));
    for (QWidget* Control : {static_cast<QWidget*>(edtSrc), static_cast<QWidget*>(edtDest),
                             static_cast<QWidget*>(rbNowDataPath), static_cast<QWidget*>(rbSelectDataPath)})
        Control->installEventFilter(this);
    auto* FolderLayout = new QGridLayout(FolderPage);
    FolderLayout->addWidget(new QLabel(QStringLiteral("バックアップしたデータを使用できる状態にします")), 0, 0, 1, 3);
    FolderLayout->addWidget(new QLabel(QStringLiteral("バックアップの保存場所：")), 1, 0, 1, 3);
    FolderLayout->addWidget(edtSrc, 2, 0, 1, 2);
    FolderLayout->addWidget(bbtnBrowseSrc, 2, 2);
    FolderLayout->addWidget(new QLabel(QStringLiteral("復元先：")), 3, 0, 1, 3);
    FolderLayout->addWidget(rbNowDataPath, 4, 0, 1, 3);
    FolderLayout->addWidget(rbSelectDataPath, 5, 0, 1, 3);
    FolderLayout->addWidget(edtDest, 6, 0, 1, 2);
    FolderLayout->addWidget(bbtnBrowseDest, 6, 2);
    FolderLayout->setRowStretch(7, 1);

    auto* ResultPage = new QWidget;
    lvResult = NewResultList(ResultPage);
    chkChangeDataPath = new QCheckBox(QStringLiteral("データ保存フォルダーを復元したフォルダーに変更する"));
    chkChangeDataPath->setObjectName(QStringLiteral("chkChangeDataPath"));
    chkChangeDataPath->installEventFilter(this);
    auto* ResultLayout = new QVBoxLayout(ResultPage);
    ResultLayout->addWidget(new QLabel(QStringLiteral("復元が完了しました")));
    ResultLayout->addWidget(lvResult);
    ResultLayout->addWidget(chkChangeDataPath);

    pgctlRestore->addWidget(FolderPage);
    pgctlRestore->addWidget(ResultPage);

    btnRestore = WizardButton(QStringLiteral("復元"), "btnRestore");
    btnCancel = WizardButton(QStringLiteral("キャンセル"), "btnCancel");
    btnclose = WizardButton(QStringLiteral("閉じる"), "btnclose");
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    for (QPushButton* Each : {btnRestore, btnCancel, btnclose})
        Buttons->addWidget(Each);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(pgctlRestore);
    Layout->addLayout(Buttons);

    rbNowDataPath->setChecked(true);
    rbDataPathClick();
    btnclose->setVisible(false);
    pgctlRestore->setCurrentIndex(0);

    connect(rbNowDataPath, &QRadioButton::clicked, this, &TRestoreData::rbDataPathClick);
    connect(rbSelectDataPath, &QRadioButton::clicked, this, &TRestoreData::rbDataPathClick);
    connect(bbtnBrowseSrc, &QPushButton::clicked, this, [this] { BrowseClick(false); });
    connect(bbtnBrowseDest, &QPushButton::clicked, this, [this] { BrowseClick(true); });
    connect(btnRestore, &QPushButton::clicked, this, &TRestoreData::btnRestoreClick);
    connect(chkChangeDataPath, &QCheckBox::clicked, this, &TRestoreData::chkChangeDataPathClick);
    connect(btnclose, &QPushButton::clicked, this, &TRestoreData::btncloseClick);
    // Tests drive the wizard from outside as a person would; it logs its own state as it fills.
    ScriptWindow(this, false);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TRestoreData::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FocusAtEndWhenShown(edtSrc);
    LogWindowState(this);
}

void TRestoreData::rbDataPathClick()
{
    const bool Select = rbSelectDataPath->isChecked();
    MarkChosen(rbNowDataPath, !Select);
    MarkChosen(rbSelectDataPath, Select);
    edtDest->setEnabled(Select);
    bbtnBrowseDest->setEnabled(Select);
}

void TRestoreData::BrowseClick(bool Destination)
{
    QLineEdit* Edit = Destination ? edtDest : edtSrc;
    QString Folder = Edit->text().trimmed();
    if (Folder.isEmpty() || !QFileInfo(Folder).isDir())
        Folder = ProgramPath;
    const QString Prompt =
        (Destination ? QStringLiteral("復元する先のデータパス") : QStringLiteral("復元する元のデータパス")) +
        QStringLiteral("を指定してください");
    if (!BrowseForFolder(Folder, this, Prompt, true, false))
        return;
    Edit->setText(Folder);
    Edit->end(false);
    Edit->setFocus();
}

void TRestoreData::btnRestoreClick()
{
    const unsigned Info = MB_OK | MB_ICONINFORMATION;
    const QString SourceText = edtSrc->text().trimmed();
    FSource = IncludeTrailingDelimiter(SourceText);
    // The root as a source would take whatever lies there for a backup.
    if (SourceText.isEmpty() || FSource == QStringLiteral("/") || !QFileInfo(FSource).isDir() ||
        QDir(FSource).canonicalPath() == QStringLiteral("/")) {
        (void)Box(QStringLiteral("復元元フォルダーが見つかりません  "), Info);
        edtSrc->setFocus();
        return;
    }
    if (SameFolder(FSource, DataPath, true)) {
        (void)Box(QStringLiteral("復元元に現在使用しているデータ保存フォルダーを指定しています  "), Info);
        edtSrc->setFocus();
        return;
    }
    FDest = rbNowDataPath->isChecked() ? DataPath : IncludeTrailingDelimiter(edtDest->text().trimmed());
    if (SameFolder(FDest, FSource, true)) {
        (void)Box(QStringLiteral("復元元と復元先で同じフォルダーを指定しています  "), Info);
        edtDest->setFocus();
        return;
    }
    const TRestoreMeasure Measure = MeasureRestore(FSource, FDest);
    if (Measure.NeededSize == 0) {
        (void)Box(QStringLiteral("復元元フォルダーには復元するデータがありません  "), Info);
        return;
    }
    if (Measure.FreeSpace < Measure.NeededSize) {
        (void)Box(QStringLiteral("空き容量が足りません"), Info);
        return;
    }
    if (Box(QStringLiteral("バックアップデータの復元を行います  \r\nよろしいですか？  "),
            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (!QFileInfo(FDest).isDir()) {
        if (Box(QStringLiteral("復元先フォルダーが見つかりません\r\n作成してもよろしいですか？  "),
                MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        if (!CreateOwnerOnlyFolder(FDest) || !QFileInfo(FDest).isDir()) {
            (void)Box(QStringLiteral("復元先フォルダーが作成できませんでした  "), Info);
            return;
        }
    }
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        FillResultList(lvResult, CopyRestoreGroups(FSource, FDest, Measure));
        QApplication::restoreOverrideCursor();
    }
    if (!SameFolder(FDest, DataPath, true)) {
        chkChangeDataPath->setChecked(true);
        MarkChosen(chkChangeDataPath, true);
    } else {
        chkChangeDataPath->setEnabled(false);
    }
    btnRestore->setEnabled(false);
    btnCancel->setVisible(false);
    btnclose->setVisible(true);
    btnclose->setFocus();
    pgctlRestore->setCurrentIndex(1);
    LogWindowState(this);
}

void TRestoreData::chkChangeDataPathClick()
{
    MarkChosen(chkChangeDataPath, chkChangeDataPath->isChecked());
}

void TRestoreData::btncloseClick()
{
    if (chkChangeDataPath->isEnabled() && chkChangeDataPath->isChecked()) {
        DataPath = FDest;
        FDataPathChanged = true;
        if (!WriteDataPath(FDest))
            (void)Box(QStringLiteral("設定ファイルにデータ保存フォルダーを書き込めませんでした  "),
                      MB_OK | MB_ICONERROR);
    }
    accept();
}

bool TRestoreData::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            QWidget* Next = nullptr;
            if (Watched == edtSrc)
                Next = edtSrc->text().trimmed().isEmpty()
                           ? static_cast<QWidget*>(bbtnBrowseSrc)
                           : (rbNowDataPath->isChecked() ? static_cast<QWidget*>(rbNowDataPath) : rbSelectDataPath);
            else if (Watched == rbNowDataPath)
                Next = btnRestore;
            else if (Watched == rbSelectDataPath)
                Next = edtDest;
            else if (Watched == edtDest)
                Next = edtDest->text().trimmed().isEmpty() ? static_cast<QWidget*>(bbtnBrowseDest) : btnRestore;
            if (Next) {
                Next->setFocus();
                return true;
            }
            if (Watched == chkChangeDataPath) {
                focusNextChild();
                return true;
            }
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

} // namespace Utility
