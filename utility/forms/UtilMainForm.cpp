#include "utility/forms/UtilMainForm.h"

#include "main/common/CommonForms.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/identify/FbEditions.h"
#include "main/settings/Settings.h"
#include "platform/ui/WindowScript.h"
#include "utility/fixes/AdrsPosConvert.h"
#include "utility/fixes/KyokubanChange.h"
#include "utility/forms/BackupData.h"
#include "utility/forms/RestoreData.h"
#include "utility/forms/UtilFormParts.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"
#include "utility/tables/Maintenance.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Utility {

TMainForm::TMainForm(QWidget* Parent) : QWidget(Parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ProductName + QStringLiteral(" ユーティリティ"));
    SetHelpContext(this, PageHelpContexts[0]);
    SetUpManual(PDFHelp, ProgramPath);
    PDFHelp.SetTitle(ProductName + QStringLiteral(" 操作ガイド"));

    pgctlUtility = Named(new QTabWidget(this), "pgctlUtility");
    tabstDBManagement = Named(new QWidget, "tabstDBManagement");
    tabstKyokubanChange = Named(new QWidget, "tabstKyokubanChange");
    tabstDataConvert = Named(new QWidget, "tabstDataConvert");
    tabstFbConvert = Named(new QWidget, "tabstFbConvert");
    pgctlUtility->addTab(tabstDBManagement, QStringLiteral("データベース管理"));
    pgctlUtility->addTab(tabstKyokubanChange, QStringLiteral("一括変換"));
    pgctlUtility->addTab(tabstDataConvert, QStringLiteral("データコンバート"));
    pgctlUtility->addTab(tabstFbConvert, QStringLiteral("Fernbookへデータコンバート"));
    BuildDBManagementPage();
    BuildKyokubanChangePage();
    BuildDataConvertPage();
    BuildFbConvertPage();

    btnCancel = Named(new QPushButton(QStringLiteral("キャンセル")), "btnCancel");
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnCancel);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(pgctlUtility);
    Layout->addLayout(Buttons);

    connect(btnCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(pgctlUtility, &QTabWidget::currentChanged, this, &TMainForm::pgctlUtilityChange);
    // The table commands ask first and then work under the hourglass.
    ShowBusy = [](bool Busy) {
        Busy ? QApplication::setOverrideCursor(Qt::WaitCursor) : QApplication::restoreOverrideCursor();
    };
    pgctlUtility->setCurrentIndex(0);
    FitLayoutToScreen(this);
    qApp->installEventFilter(this);
    // Logs the window as it is shown, and lets the end-to-end tests press its commands.
    ScriptWindow(this);
}

TMainForm::~TMainForm()
{
    ShowBusy = {};
    qApp->removeEventFilter(this);
}

void TMainForm::BuildDBManagementPage()
{
    bbtnOptimize = CommandButton(this, QStringLiteral("最適化"), QStyle::SP_BrowserReload, "bbtnOptimize");
    bbtnBackup = CommandButton(this, QStringLiteral("バックアップ"), QStyle::SP_DialogSaveButton, "bbtnBackup");
    bbtnRepairIndex = CommandButton(this, QStringLiteral("修復"), QStyle::SP_DialogApplyButton, "bbtnRepairIndex");
    bbtnRestore = CommandButton(this, QStringLiteral("復元"), QStyle::SP_ArrowBack, "bbtnRestore");
    cbxRepair = Named(new QComboBox, "cbxRepair");
    cbxRepair->addItems({QStringLiteral("着信対応履歴"), QStringLiteral("登録名簿")});
    cbxRepair->setCurrentIndex(0);
    cbxRepair->installEventFilter(this);

    auto* Optimize = Group(QStringLiteral("最適化"), "gbxOptimize");
    auto* OptimizeLayout = new QHBoxLayout(Optimize);
    OptimizeLayout->addWidget(NamedLabel(QStringLiteral("データベースファイルを最適化します"), "lblOptimize"), 1);
    OptimizeLayout->addWidget(bbtnOptimize);

    auto* Backup = Group(QStringLiteral("バックアップ"), "gbxBackup");
    auto* BackupLayout = new QHBoxLayout(Backup);
    BackupLayout->addWidget(NamedLabel(QStringLiteral("データベースファイルのバックアップを行います"), "lblBackup"), 1);
    BackupLayout->addWidget(bbtnBackup);

    auto* Repair = Group(QStringLiteral("インデックス修復"), "gbxRepair");
    auto* RepairLayout = new QGridLayout(Repair);
    RepairLayout->addWidget(NamedLabel(QStringLiteral("データベースのインデックスファイルを修復します"), "lblRepair1"),
                            0, 0, 1, 2);
    RepairLayout->addWidget(
        NamedLabel(QStringLiteral("インデックスが壊れたり、古くなってしまった場合にのみ"), "lblRepair2"), 1, 0, 1, 2);
    RepairLayout->addWidget(NamedLabel(QStringLiteral("実行してください"), "lblRepair3"), 2, 0, 1, 2);
    auto* Choice = new QHBoxLayout;
    Choice->addWidget(NamedLabel(QStringLiteral("修復データベース："), "lblRepair"));
    Choice->addWidget(cbxRepair);
    Choice->addStretch();
    RepairLayout->addLayout(Choice, 3, 0);
    RepairLayout->addWidget(bbtnRepairIndex, 1, 1, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
    RepairLayout->setColumnStretch(0, 1);

    auto* Restore = Group(QStringLiteral("復元"), "gbxRestore");
    auto* RestoreLayout = new QHBoxLayout(Restore);
    RestoreLayout->addWidget(
        NamedLabel(QStringLiteral("バックアップしたデータを使用できる状態に復元します"), "lblRestore"), 1);
    RestoreLayout->addWidget(bbtnRestore);

    auto* Page = new QVBoxLayout(tabstDBManagement);
    for (QGroupBox* Box : {Optimize, Backup, Repair, Restore})
        Page->addWidget(Box);
    Page->addStretch();
    setTabOrder(bbtnOptimize, bbtnBackup);
    setTabOrder(bbtnBackup, cbxRepair);
    setTabOrder(cbxRepair, bbtnRepairIndex);
    setTabOrder(bbtnRepairIndex, bbtnRestore);

    connect(bbtnOptimize, &QPushButton::clicked, this, &TMainForm::bbtnOptimizeClick);
    connect(bbtnRepairIndex, &QPushButton::clicked, this, &TMainForm::bbtnRepairIndexClick);
    connect(bbtnBackup, &QPushButton::clicked, this, &TMainForm::bbtnBackupClick);
    connect(bbtnRestore, &QPushButton::clicked, this, &TMainForm::bbtnRestoreClick);
}

void TMainForm::BuildKyokubanChangePage()
{
    bbtn06PP = CommandButton(this, QStringLiteral("変換"), QStyle::SP_ArrowUp, "bbtn06PP");
    bbtnConvertAdrsPos = CommandButton(this, QStringLiteral("変換"), QStyle::SP_ArrowUp, "bbtnConvertAdrsPos");
    pgbar06PP = Named(new QProgressBar, "pgbar06PP");
    pgbarConvertAdrsPos = Named(new QProgressBar, "pgbarConvertAdrsPos");

    auto* Kyokuban = Group(QStringLiteral("局番変換"), "gbx06PP");
    auto* KyokubanLayout = new QGridLayout(Kyokuban);
    int Row = 0;
    for (const QString& Text : {QStringLiteral("登録されているデータの局番変換を行います"),
                                QStringLiteral("１．大阪府の「06」地域の電話番号を9桁から10桁に変換します"),
                                QStringLiteral("２．携帯電話やPHSの電話番号を10桁から11桁に変換します"),
                                QStringLiteral("３．大阪府と京都府の「0720-xx」局番を「072-8xx」局番に変換します")})
        KyokubanLayout->addWidget(new QLabel(Text), Row++, 0);
    KyokubanLayout->addWidget(pgbar06PP, Row, 0);
    KyokubanLayout->addWidget(bbtn06PP, 0, 1, Row + 1, 1, Qt::AlignRight | Qt::AlignVCenter);
    KyokubanLayout->setColumnStretch(0, 1);

    auto* AdrsPos = Group(QStringLiteral("住所・郵便番号変換"), "gbxConvertAdrsPos");
    auto* AdrsPosLayout = new QGridLayout(AdrsPos);
    AdrsPosLayout->addWidget(new QLabel(QStringLiteral("市区郡町村の合併・編入などにより変更された住所と郵便番号を")),
                             0, 0);
    AdrsPosLayout->addWidget(new QLabel(QStringLiteral("一括変換します")), 1, 0);
    AdrsPosLayout->addWidget(pgbarConvertAdrsPos, 2, 0);
    AdrsPosLayout->addWidget(bbtnConvertAdrsPos, 0, 1, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
    AdrsPosLayout->setColumnStretch(0, 1);

    auto* Page = new QVBoxLayout(tabstKyokubanChange);
    Page->addWidget(Kyokuban);
    Page->addWidget(AdrsPos);
    Page->addStretch();
    connect(bbtn06PP, &QPushButton::clicked, this, &TMainForm::bbtnKyokubanChangeClick);
    connect(bbtnConvertAdrsPos, &QPushButton::clicked, this, &TMainForm::bbtnConvertAdrsPosClick);
}

void TMainForm::BuildDataConvertPage()
{
    cbxSrc = Named(new QComboBox, "cbxSrc");
    const QString Digits = QStringLiteral("０１２３４５６７８９");
    for (int Version = 15; Version >= 1; --Version) {
        QString Name = QStringLiteral("Tolvane");
        for (const QChar C : QString::number(Version))
            Name += Digits[C.digitValue()];
        cbxSrc->addItem(Name, Version);
    }
    cbxSrc->setCurrentIndex(0);
    edtSrcDataPath = Named(new QLineEdit(OlderVersionEdits[0]), "edtSrcDataPath");
    edtDestDataPath = Named(new QLineEdit(DataPath), "edtDestDataPath");
    bbtnSrcBrowse = CommandButton(this, QStringLiteral("参照"), QStyle::SP_DirOpenIcon, "bbtnSrcBrowse");
    bbtnDestBrowse = CommandButton(this, QStringLiteral("参照"), QStyle::SP_DirOpenIcon, "bbtnDestBrowse");
    lblNameSet = NamedLabel(QStringLiteral("個人名称が名前欄に入りきらない場合の処理を指定します"), "lblNameSet");
    pnlOption = Named(new QWidget, "pnlOption");
    rbCorpSet = Named(new QRadioButton(QStringLiteral("会社名にセットします")), "rbCorpSet");
    rbNameSet = Named(new QRadioButton(QStringLiteral("強制的に名前にセットします")), "rbNameSet");
    rbNameSetCorpSet = Named(new QRadioButton(QStringLiteral("強制的に名前にセットしますが会社名にもセットします")),
                             "rbNameSetCorpSet");
    auto* Options = new QVBoxLayout(pnlOption);
    for (QRadioButton* Button : {rbCorpSet, rbNameSet, rbNameSetCorpSet})
        Options->addWidget(Button);
    rbCorpSet->setChecked(true);
    bbtnConvert = CommandButton(this, QStringLiteral("コンバート"), QStyle::SP_ArrowRight, "bbtnConvert");
    pgbarConvert = Named(new QProgressBar, "pgbarConvert");

    auto* Convert = Group(QStringLiteral("データコンバート"), "gbxConvert");
    auto* Grid = new QGridLayout(Convert);
    int Row = 0;
    Grid->addWidget(
        NamedLabel(QStringLiteral("古いバージョンのTolvaneのデータを「Tolvane１６」にコピーします"), "lblConvert"),
        Row++, 0, 1, 3);
    Grid->addWidget(NamedLabel(QStringLiteral(" コンバート元 "), "lblSrc"), Row++, 0, 1, 3);
    auto* Source = new QHBoxLayout;
    Source->addWidget(cbxSrc);
    Source->addWidget(NamedLabel(QStringLiteral("のデータ保存フォルダー："), "lblSrcDataPath"));
    Source->addStretch();
    Grid->addLayout(Source, Row++, 0, 1, 3);
    Grid->addWidget(edtSrcDataPath, Row, 0, 1, 2);
    Grid->addWidget(bbtnSrcBrowse, Row++, 2);
    Grid->addWidget(NamedLabel(QStringLiteral(" コンバート先 "), "lblDest"), Row++, 0, 1, 3);
    Grid->addWidget(NamedLabel(QStringLiteral("Tolvane１６のデータ保存フォルダー："), "lblDestDataPath"), Row++, 0, 1,
                    3);
    Grid->addWidget(edtDestDataPath, Row, 0, 1, 2);
    Grid->addWidget(bbtnDestBrowse, Row++, 2);
    Grid->addWidget(NamedLabel(QStringLiteral(" オプション "), "lblOption"), Row++, 0, 1, 3);
    Grid->addWidget(lblNameSet, Row++, 0, 1, 3);
    Grid->addWidget(pnlOption, Row++, 0, 1, 3);
    Grid->addWidget(pgbarConvert, Row, 0, 1, 2);
    Grid->addWidget(bbtnConvert, Row++, 2);
    Grid->setColumnStretch(0, 1);
    auto* Page = new QVBoxLayout(tabstDataConvert);
    Page->addWidget(Convert);
    Page->addStretch();

    // The name options apply to versions 1 to 6 only; version 15 is chosen at start.
    for (QWidget* Control : {static_cast<QWidget*>(lblNameSet), pnlOption, static_cast<QWidget*>(rbCorpSet),
                             static_cast<QWidget*>(rbNameSet), static_cast<QWidget*>(rbNameSetCorpSet)})
        Control->setEnabled(false);
    WireDataConvertPage();
}

QWidget* TMainForm::FirstControl(int Page) const
{
    switch (Page) {
    case 0:
        return bbtnOptimize;
    case 1:
        return bbtn06PP;
    case 2:
        return cbxSrc;
    default:
        return edtSrcVxDataPath;
    }
}

void TMainForm::pgctlUtilityChange(int Page)
{
    if (Page < 0 || Page > 3)
        return;
    SetHelpContext(this, PageHelpContexts[Page]);
    if (btnCancel && btnCancel->hasFocus())
        FirstControl(Page)->setFocus();
}

void TMainForm::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    bbtnOptimize->setFocus();
}

bool TMainForm::cbxRepairKeyPress(int Key)
{
    if (Key != Qt::Key_Return && Key != Qt::Key_Enter)
        return false;
    bbtnRepairIndex->setFocus();
    return true;
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Watched == cbxRepair && cbxRepairKeyPress(Key))
            return true;
        if (FbPageKeyPress(Watched, Key) || DataConvertKeyPress(Watched, Key))
            return true;
        // F1 anywhere in the program opens the guide at the page of the active window. The key goes no
        // further even when the guide cannot be shown: each widget it passed up through would ask again.
        if (Key == Qt::Key_F1 && Watched->isWidgetType()) {
            const int Context = HelpContextOf(static_cast<QWidget*>(Watched)->window());
            if (Context != 0) {
                (void)ApplicationHelp(Context);
                return true;
            }
        }
    }
    return QWidget::eventFilter(Watched, Event);
}

bool TMainForm::ApplicationHelp(int HelpContext)
{
    // The utility has no help menu to point to: the guide is reached from the desktop's menu.
    if (PDFHelp.Unusable) {
        (void)MessageBoxPos(this,
                            PDFHelp.ErrorText + QStringLiteral("\r\n\r\n") + QStringLiteral("スタートメニューから『") +
                                QStringLiteral("Mirelo　Tolvane") + QStringLiteral("』を開き  ") +
                                QStringLiteral("\r\n") +
                                QStringLiteral("「操作ガイドの使用について」をご確認ください  "),
                            ProductName, MB_ICONWARNING);
        return false;
    }
    return ShowManualForContext(PDFHelp, HelpContext, this);
}

void TMainForm::bbtnOptimizeClick()
{
    (void)RunOptimize();
    btnCancel->setFocus();
}

void TMainForm::bbtnRepairIndexClick()
{
    (void)RunRepair(cbxRepair->currentIndex());
    btnCancel->setFocus();
}

void TMainForm::bbtnBackupClick()
{
    if (IsMainProgramRunning())
        return;
    {
        TBackupData Dialog(this);
        Dialog.exec();
    }
    btnCancel->setFocus();
}

void TMainForm::bbtnRestoreClick()
{
    if (IsMainProgramRunning())
        return;
    {
        TRestoreData Dialog(this);
        if (Dialog.exec() == QDialog::Accepted && Dialog.DataPathChanged())
            SeedRankList(DataPath);
        edtDestDataPath->setText(DataPath);
        edtSrcVxDataPath->setText(DataPath);
    }
    btnCancel->setFocus();
}

namespace {

// The page's bar follows a fix's walk; the hourglass is the one the table commands show.
TFixProgress BarProgress(QProgressBar* Bar)
{
    TFixProgress Progress;
    Progress.Start = [Bar](int Max) {
        Bar->setRange(0, Max);
        Bar->setValue(0);
    };
    Progress.Step = [Bar] { Bar->setValue(Bar->value() + 1); };
    Progress.Reset = [Bar] { Bar->setValue(0); };
    Progress.ProcessMessages = [] { QCoreApplication::processEvents(); };
    Progress.Busy = [](bool Busy) {
        if (ShowBusy)
            ShowBusy(Busy);
    };
    return Progress;
}

} // namespace

void TMainForm::bbtnKyokubanChangeClick()
{
    (void)RunKyokubanChange(BarProgress(pgbar06PP));
    pgbar06PP->setValue(0);
}

void TMainForm::bbtnConvertAdrsPosClick()
{
    (void)RunConvertAdrsPos(BarProgress(pgbarConvertAdrsPos));
    pgbarConvertAdrsPos->setValue(0);
    btnCancel->setFocus();
}

} // namespace Utility
