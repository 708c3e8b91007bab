#include "transfer/import/FImport.h"

#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/common/ProgramState.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "main/tables/DBInfo.h"
#include "platform/sys/Exceptions.h"
#include "platform/ui/FilePrompt.h"
#include "platform/ui/WindowScript.h"
#include "transfer/common/TableCopy.h"
#include "transfer/import/ImportPace.h"
#include "transfer/import/ImportRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <sys/stat.h>

TFileImportHooks& FileImportHooks()
{
    static TFileImportHooks Hooks;
    return Hooks;
}

namespace {

const QString Utf8Question = QStringLiteral("指定したテキストファイルは UTF-8 で書かれているようです  \r\n"
                                            "UTF-8 として読み込みますか？  \r\n\r\n"
                                            "「いいえ」を選ぶと Shift_JIS (CP932) として読み込みます  ");
const QString TooManyFields = QStringLiteral("指定したテキストファイルは１件目の項目数が多すぎるため  \r\n"
                                             "取り込むことができません  ");

int Inform(QWidget* Owner, const QString& Text, unsigned Flags = MB_OK | MB_ICONINFORMATION)
{
    return MessageBoxPos(Owner, Text, ProductName, Flags);
}

QPushButton* NewButton(QWidget* Parent, const char* Name, const QString& Caption, QStyle::StandardPixmap Icon)
{
    auto* Button = new QPushButton(Parent->style()->standardIcon(Icon), Caption, Parent);
    Button->setObjectName(QLatin1String(Name));
    Button->setAutoDefault(false);
    return Button;
}

QCheckBox* NewCheck(QWidget* Parent, const char* Name, const QString& Caption, const QString& Hint)
{
    auto* Check = new QCheckBox(Caption, Parent);
    Check->setObjectName(QLatin1String(Name));
    Check->setToolTip(QString(Hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    return Check;
}

QString CurrentDataPath()
{
    return DMVxRelvo16 ? DMVxRelvo16->DataPath() : Settings.DataPath;
}

} // namespace

QStringList TFileImport::SelectItemNames()
{
    return {Settings.SelectItem1.isEmpty() ? DefaultSelectItem1 : Settings.SelectItem1,
            Settings.SelectItem2.isEmpty() ? DefaultSelectItem2 : Settings.SelectItem2,
            Settings.SelectItem3.isEmpty() ? DefaultSelectItem3 : Settings.SelectItem3};
}

TFileImport::TFileImport(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("FileImport"));
    setWindowTitle(QStringLiteral("テキストファイル取り込み"));
    SetHelpContext(this, 55);
    BuildControls();
    FormCreate();
    ScriptWindow(this);
}

void TFileImport::BuildControls()
{
    rbRecvHis = new QRadioButton(QStringLiteral("着信対応履歴"), this);
    rbRecvHis->setObjectName(QStringLiteral("rbRecvHis"));
    rbAddMeibo = new QRadioButton(QStringLiteral("登録名簿"), this);
    rbAddMeibo->setObjectName(QStringLiteral("rbAddMeibo"));
    edtFile = new QLineEdit(this);
    edtFile->setObjectName(QStringLiteral("edtFile"));
    bbtnBrowseFile = NewButton(this, "bbtnBrowseFile", QStringLiteral("参照(&R)"), QStyle::SP_DirOpenIcon);

    gbxFile = new QGroupBox(QStringLiteral("取り込むテキストファイル"), this);
    gbxFile->setObjectName(QStringLiteral("gbxFile"));
    auto* FileGrid = new QGridLayout(gbxFile);
    auto* Dest = new QHBoxLayout;
    Dest->addWidget(new QLabel(QStringLiteral("取り込み先"), gbxFile));
    Dest->addWidget(rbRecvHis);
    Dest->addWidget(rbAddMeibo);
    Dest->addStretch();
    FileGrid->addLayout(Dest, 0, 0, 1, 2);
    FileGrid->addWidget(edtFile, 1, 0);
    FileGrid->addWidget(bbtnBrowseFile, 1, 1);

    sgSrc = new QTableWidget(this);
    sgSrc->setObjectName(QStringLiteral("sgSrc"));
    sgDest = new QTableWidget(this);
    sgDest->setObjectName(QStringLiteral("sgDest"));
    bbtnSet = NewButton(this, "bbtnSet", QStringLiteral("セット"), QStyle::SP_ArrowRight);
    bbtnAdd = NewButton(this, "bbtnAdd", QStringLiteral("追加"), QStyle::SP_ArrowRight);
    bbtnConst = NewButton(this, "bbtnConst", QStringLiteral("固定値"), QStyle::SP_FileDialogDetailedView);
    bbtnDelete = NewButton(this, "bbtnDelete", QStringLiteral("削除"), QStyle::SP_ArrowLeft);
    bbtnRowClear = NewButton(this, "bbtnRowClear", QStringLiteral("行クリア"), QStyle::SP_DialogResetButton);
    bbtnAllClear = NewButton(this, "bbtnAllClear", QStringLiteral("全クリア"), QStyle::SP_TrashIcon);
    bbtnUp = NewButton(this, "bbtnUp", QStringLiteral("上へ"), QStyle::SP_ArrowUp);
    bbtnDown = NewButton(this, "bbtnDown", QStringLiteral("下へ"), QStyle::SP_ArrowDown);
    bbtnAllSet = NewButton(this, "bbtnAllSet", QStringLiteral("一括セット"), QStyle::SP_DialogApplyButton);

    gbxLayout = new QGroupBox(QStringLiteral("取り込みレイアウト"), this);
    gbxLayout->setObjectName(QStringLiteral("gbxLayout"));
    auto* LayoutRow = new QHBoxLayout(gbxLayout);
    auto* SrcColumn = new QVBoxLayout;
    SrcColumn->addWidget(new QLabel(QStringLiteral("テキストファイルの項目（１件目）"), gbxLayout));
    SrcColumn->addWidget(sgSrc);
    LayoutRow->addLayout(SrcColumn);
    auto* Buttons = new QVBoxLayout;
    Buttons->addStretch();
    for (QPushButton* Button :
         {bbtnSet, bbtnAdd, bbtnConst, bbtnDelete, bbtnRowClear, bbtnAllClear, bbtnUp, bbtnDown, bbtnAllSet})
        Buttons->addWidget(Button);
    Buttons->addStretch();
    LayoutRow->addLayout(Buttons);
    auto* DestColumn = new QVBoxLayout;
    DestColumn->addWidget(new QLabel(QStringLiteral("取り込む項目"), gbxLayout));
    DestColumn->addWidget(sgDest);
    LayoutRow->addLayout(DestColumn, 1);

    pmDest = new QMenu(this);
    pmDest->setObjectName(QStringLiteral("pmDest"));
    pmiSetOrderView = pmDest->addAction(QStringLiteral("セットした内容を確認"));
    pmiSetOrderView->setObjectName(QStringLiteral("pmiSetOrderView"));
    pmiRowClear = pmDest->addAction(QStringLiteral("行クリア"));
    pmiRowClear->setObjectName(QStringLiteral("pmiRowClear"));
    pmiAllClear = pmDest->addAction(QStringLiteral("全クリア"));
    pmiAllClear->setObjectName(QStringLiteral("pmiAllClear"));

    chkSkipRecord =
        NewCheck(this, "chkSkipRecord", QStringLiteral("取り込むテキストファイルの１件目は取り込まない"),
                 QStringLiteral("１件目のデータは取り込みません\r\n１件目がヘッダ情報の場合などに指定します"));
    chkSameReplace = NewCheck(
        this, "chkSameReplace", QStringLiteral("同じ電話番号のデータが存在する場合新しいデータに置き換える"),
        QStringLiteral("既に同じ電話番号のデータが存在する場合に\r\nそのデータを取り込むデータで置き換えます"));
    chkNotAutoSupplement = NewCheck(
        this, "chkNotAutoSupplement", QStringLiteral("取り込み項目の自動補完をおこなわない"),
        QStringLiteral(
            "住所がセットされている場合に幾つかの項目が自動的にセットされますが\r\nこの処理をおこないません\r\n"
            "この指定をおこなうことにより取り込み速度が大幅に向上します"));
    gbxOption = new QGroupBox(QStringLiteral("オプション"), this);
    gbxOption->setObjectName(QStringLiteral("gbxOption"));
    auto* Options = new QVBoxLayout(gbxOption);
    for (QCheckBox* Check : {chkSkipRecord, chkSameReplace, chkNotAutoSupplement})
        Options->addWidget(Check);

    lblMsg1 = new QLabel(this);
    lblMsg1->setObjectName(QStringLiteral("lblMsg1"));
    pbImport = new QProgressBar(this);
    pbImport->setObjectName(QStringLiteral("pbImport"));
    pbImport->setTextVisible(false);
    btnImport = new QPushButton(QStringLiteral("取り込み(&I)"), this);
    btnImport->setObjectName(QStringLiteral("btnImport"));
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* Button : {btnImport, btnCancel})
        Button->setAutoDefault(false);

    auto* Main = new QVBoxLayout(this);
    Main->addWidget(gbxFile);
    Main->addWidget(gbxLayout, 1);
    Main->addWidget(gbxOption);
    auto* Message = new QHBoxLayout;
    Message->addWidget(lblMsg1);
    Message->addWidget(new QLabel(QStringLiteral("フォルダー下にバックアップが作成されます"), this));
    Message->addStretch();
    Main->addLayout(Message);
    auto* Bottom = new QHBoxLayout;
    Bottom->addWidget(pbImport, 1);
    Bottom->addWidget(btnImport);
    Bottom->addWidget(btnCancel);
    Main->addLayout(Bottom);
    resize(ScaleByDpi(860, true), ScaleByDpi(640, true));
    FitLayoutToScreen(this);

    connect(rbRecvHis, &QRadioButton::clicked, this, [this] { rbImportDestClick(0); });
    connect(rbAddMeibo, &QRadioButton::clicked, this, [this] { rbImportDestClick(1); });
    connect(bbtnBrowseFile, &QPushButton::clicked, this, &TFileImport::bbtnBrowseFileClick);
    connect(bbtnSet, &QPushButton::clicked, this, &TFileImport::bbtnSetClick);
    connect(bbtnAdd, &QPushButton::clicked, this, &TFileImport::bbtnAddClick);
    connect(bbtnConst, &QPushButton::clicked, this, &TFileImport::bbtnConstClick);
    connect(bbtnDelete, &QPushButton::clicked, this, &TFileImport::bbtnDeleteClick);
    connect(bbtnRowClear, &QPushButton::clicked, this, &TFileImport::RowClearClick);
    connect(bbtnAllClear, &QPushButton::clicked, this, &TFileImport::AllClearClick);
    connect(pmiRowClear, &QAction::triggered, this, &TFileImport::RowClearClick);
    connect(pmiAllClear, &QAction::triggered, this, &TFileImport::AllClearClick);
    connect(pmiSetOrderView, &QAction::triggered, this, &TFileImport::SetOrderViewClick);
    connect(bbtnUp, &QPushButton::clicked, this, [this] { MoveRow(-1); });
    connect(bbtnDown, &QPushButton::clicked, this, [this] { MoveRow(1); });
    connect(bbtnAllSet, &QPushButton::clicked, this, &TFileImport::bbtnAllSetClick);
    connect(btnImport, &QPushButton::clicked, this, &TFileImport::btnImportClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QCheckBox* Check : {chkSkipRecord, chkSameReplace, chkNotAutoSupplement})
        connect(Check, &QCheckBox::toggled, this, &TFileImport::ColourChecked);
    for (QWidget* Widget :
         {static_cast<QWidget*>(edtFile), static_cast<QWidget*>(rbRecvHis), static_cast<QWidget*>(rbAddMeibo),
          static_cast<QWidget*>(chkSkipRecord), static_cast<QWidget*>(chkSameReplace),
          static_cast<QWidget*>(chkNotAutoSupplement), static_cast<QWidget*>(sgSrc), static_cast<QWidget*>(sgDest)})
        Widget->installEventFilter(this);
}

void TFileImport::FormCreate()
{
    FSettings = ReadFileImportSettings(SettingsFileName());
    edtFile->setText(FSettings.File);
    chkSkipRecord->setChecked(FSettings.SkipRecord);
    chkSameReplace->setChecked(FSettings.SameReplace);
    chkNotAutoSupplement->setChecked(FSettings.NotAutoSupplement);
    const int Tag = FSettings.ImportDest == TImportDest::Meibo ? 1 : 0;
    (Tag == 1 ? rbAddMeibo : rbRecvHis)->setChecked(true);
    rbImportDestClick(Tag);
    ClearSourceList();
    SetGridsEnabled(false);
    bbtnSet->setVisible(true);
    bbtnSet->setEnabled(false);
    bbtnAdd->setVisible(false);
    for (QPushButton* Button :
         {bbtnConst, bbtnDelete, bbtnRowClear, bbtnAllClear, bbtnUp, bbtnDown, bbtnAllSet, btnImport})
        Button->setEnabled(false);
    ColourChecked();
}

void TFileImport::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Event->spontaneous() && !FShowing) {
        FShowing = true;
        FormShow();
    }
}

void TFileImport::FormShow()
{
    if (FDest == TImportDest::Meibo)
        ShowFernbookNotice();
}

void TFileImport::ShowFernbookNotice()
{
    if (Settings.UseFbAdrs)
        Inform(this, QStringLiteral("ここでのテキストファイル取り込みはTolvaneの登録名簿が対象です  \r\n\r\n"
                                    "Fernbookのアドレス帳を登録名簿として利用している場合は  \r\n"
                                    "Fernbook側で操作をおこなってください　 "));
}

void TFileImport::rbImportDestClick(int Tag)
{
    FDest = Tag == 1 ? TImportDest::Meibo : TImportDest::RecvHis;
    if (FShowing && FDest == TImportDest::Meibo)
        ShowFernbookNotice();
    for (QRadioButton* Button : {rbRecvHis, rbAddMeibo}) {
        QPalette Colours = Button->palette();
        Colours.setColor(QPalette::WindowText,
                         Button->isChecked() ? QColor(Qt::blue) : QApplication::palette().color(QPalette::WindowText));
        Button->setPalette(Colours);
    }
    chkSameReplace->setEnabled(FDest == TImportDest::Meibo);
    chkNotAutoSupplement->setEnabled(FDest == TImportDest::Meibo);
    lblMsg1->setText(FDest == TImportDest::RecvHis ? QStringLiteral("取り込み前データは 「backupRH.imp」 という")
                                                   : QStringLiteral("取り込み前データは 「backupMB.imp」 という"));
    BuildDestGrid();
}

void TFileImport::ColourChecked()
{
    for (QCheckBox* Check : {chkSkipRecord, chkSameReplace, chkNotAutoSupplement}) {
        QPalette Colours = Check->palette();
        Colours.setColor(QPalette::WindowText,
                         Check->isChecked() ? QColor(Qt::blue) : QApplication::palette().color(QPalette::WindowText));
        Check->setPalette(Colours);
    }
}

void TFileImport::edtFileEnter()
{
    const QString Typed = TrimBlanks(edtFile->text());
    if (Typed.isEmpty()) {
        bbtnBrowseFile->setFocus();
        return;
    }
    // The error file is refused by name, also where the name in another case names no file.
    if (!QFileInfo(Typed).isFile() && !IsImportErrorFile(Typed, CurrentDataPath())) {
        Inform(this, QStringLiteral("指定したテキストファイルが見つかりません  "));
        edtFile->setFocus();
        return;
    }
    if (FLoaded && Typed == TrimBlanks(FReadFile)) {
        sgSrc->setFocus();
        return;
    }
    if (ReadFirstLine(Typed))
        sgSrc->setFocus();
}

void TFileImport::bbtnBrowseFileClick()
{
    TFilePrompt Prompt;
    Prompt.ObjectName = QStringLiteral("OpenDialog");
    Prompt.Title = QStringLiteral("ファイルを開く");
    Prompt.Filters = {QStringLiteral("テキストファイル (*.txt)"), QStringLiteral("ＣＳＶファイル (*.csv)"),
                      QStringLiteral("すべてのファイル (*)")};
    const QFileInfo Typed(TrimBlanks(edtFile->text()));
    if (!TrimBlanks(edtFile->text()).isEmpty() && Typed.dir().exists()) {
        Prompt.StartFolder = Typed.absolutePath();
        if (Typed.isFile())
            Prompt.SelectFile = Typed.fileName();
    } else {
        Prompt.StartFolder = SettingsPath;
    }
    Prompt.Place = [this](QFileDialog& Dialog) { OpenDialogShow(Dialog); };
    const std::optional<QString> Chosen = RunFilePrompt(this, Prompt);
    if (!Chosen)
        return;
    edtFile->setText(*Chosen);
    if (ReadFirstLine(*Chosen))
        sgSrc->setFocus();
}

void TFileImport::OpenDialogShow(QFileDialog& Dialog)
{
    PlaceBelowTopLeft(Dialog, *this);
}

bool TFileImport::ReadFirstLine(const QString& FileName)
{
    auto Refuse = [this](const QString& Text) {
        Inform(this, Text);
        ClearAllPieces();
        ClearSourceList();
        SetGridsEnabled(false);
        FLoaded = false;
        return false;
    };
    if (IsImportErrorFile(FileName, CurrentDataPath()))
        return Refuse(ImportErrorFileRefusal);
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return Refuse(QStringLiteral("指定したテキストファイルが見つかりません  "));
    if (File.size() == 0)
        return Refuse(QStringLiteral("指定したテキストファイルには内容がありませんでした  "));
    // Text written as UTF-8 read as CP932 would be stored as other characters without a word.
    QByteArray Sample = File.peek(64 * 1024);
    if (File.size() > Sample.size() && Sample.contains('\n'))
        Sample.truncate(Sample.lastIndexOf('\n') + 1);
    FEncoding = TImportEncoding::Cp932;
    if (LooksLikeUtf8(Sample) && Inform(this, Utf8Question, MB_YESNO | MB_ICONQUESTION) == IDYES)
        FEncoding = TImportEncoding::Utf8;
    TImportLineReader Reader(File);
    QByteArray Line;
    (void)Reader.ReadLine(Line);
    if (CountFields(Line, FEncoding) + 1 > MaxSourceFields)
        return Refuse(TooManyFields);
    const QStringList Fields = FirstLineFields(Line, FEncoding);

    FSourceCount = static_cast<int>(Fields.size());
    sgSrc->setRowCount(FSourceCount);
    for (int Row = 0; Row < FSourceCount; ++Row) {
        sgSrc->setItem(Row, 0, new QTableWidgetItem(QStringLiteral("%1").arg(Row + 1, 3)));
        sgSrc->setItem(Row, 1, new QTableWidgetItem(Fields.at(Row)));
    }
    SetGridsEnabled(true);
    for (QPushButton* Button : {bbtnSet, bbtnConst, bbtnAllSet, btnImport})
        Button->setEnabled(true);
    ClearAllPieces();
    sgSrc->setCurrentCell(0, 1);
    FReadFile = FileName;
    FLoaded = true;
    return true;
}

void TFileImport::ShowProgress(int ReadCount)
{
    pbImport->setValue(std::clamp(ReadCount, pbImport->minimum(), pbImport->maximum()));
}

std::optional<TImportCounts> TFileImport::RunInBatches(TImportRun& Run)
{
    // Each batch is committed: between two, the event loop rings and stores calls, pops up their
    // window, paints the bar and hears the end of the program, and the table has nothing pending
    // for any of them. A call or the end cuts a batch short; the user's input keeps them short.
    TImportPace Pace;
    // The bar moves a few times a second, within a long batch too; painting touches no table.
    constexpr qint64 BarMsecs = 250;
    QElapsedTimer Painted;
    Painted.start();
    const auto Yield = [&] {
        if (Painted.elapsed() >= BarMsecs) {
            ShowProgress(Run.Counts().ReadCount);
            pbImport->repaint();
            Painted.restart();
        }
        return TImportPace::OthersWaiting();
    };
    FRunning = true;
    btnImport->setEnabled(false);
    btnCancel->setEnabled(false);
    // Whichever way the run ends, the buttons come back.
    struct TButtons
    {
        TFileImport* Form;
        ~TButtons()
        {
            Form->btnImport->setEnabled(true);
            Form->btnCancel->setEnabled(true);
        }
    } Buttons{this};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<TImportCounts> Counts;
    try {
        MarkImportUnfinished(Run.DataPath, Run.Options.Dest, true);
        Run.Begin();
        bool More = true;
        while (More) {
            More = Run.RunBatch(Pace.NextBudget(), Yield);
            ShowProgress(Run.Counts().ReadCount);
            Painted.restart();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (ProgramEnding) {
                // The marker stays: the next start tells the user this run did not finish.
                Run.Abandon();
                FRunning = false;
                QApplication::restoreOverrideCursor();
                return std::nullopt;
            }
        }
        Counts = Run.Finish();
        MarkImportUnfinished(Run.DataPath, Run.Options.Dest, false);
    } catch (const std::exception& Error) {
        Run.Abandon();
        MarkImportUnfinished(Run.DataPath, Run.Options.Dest, false);
        FRunning = false;
        QApplication::restoreOverrideCursor();
        const auto* Known = dynamic_cast<const Exception*>(&Error);
        Inform(this, Known ? Known->Message() : QString::fromUtf8(Error.what()), MB_OK | MB_ICONSTOP);
        return std::nullopt;
    }
    FRunning = false;
    QApplication::restoreOverrideCursor();
    return Counts;
}

void TFileImport::reject()
{
    // A run in progress ends with its last line, not with Esc or the close box.
    if (!FRunning)
        QDialog::reject();
}

void TFileImport::closeEvent(QCloseEvent* Event)
{
    if (FRunning) {
        Event->ignore();
        return;
    }
    QDialog::closeEvent(Event);
}

void TFileImport::btnImportClick()
{
    if (!FLoaded) {
        Inform(this, QStringLiteral("テキストファイルが読み込まれていません  "));
        edtFile->setFocus();
        return;
    }
    bool AnyPiece = false;
    for (int Row = 1; Row < FItems.size(); ++Row)
        AnyPiece = AnyPiece || !PieceCodes[1].value(Row).isEmpty();
    if (!AnyPiece) {
        Inform(this, QStringLiteral("入力する項目がセットされていません  "));
        return;
    }
    if (FDest == TImportDest::RecvHis) {
        for (const auto& [Row, Text] : {std::pair{HisItem::RecvDate, "着信日付は必須項目ですのでセットしてください  "},
                                        std::pair{HisItem::RecvTime, "着信時刻は必須項目ですのでセットしてください  "}})
            if (PieceCodes[1].value(Row).isEmpty()) {
                Inform(this, QString::fromUtf8(Text));
                sgDest->setFocus();
                return;
            }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qint64 LineCount = CountFileLines(FReadFile);
    QApplication::restoreOverrideCursor();
    if (LineCount < 0) {
        // The file went away after it was read: nothing to import, and not for want of lines.
        Inform(this, QStringLiteral("テキストファイルが読み込めませんでした  \r\n") + FReadFile, MB_OK | MB_ICONSTOP);
        return;
    }
    if (chkSkipRecord->isChecked())
        --LineCount;
    if (LineCount <= 0) {
        Inform(this, QStringLiteral("指定したテキストファイルには  \r\n内容が１件しかありませんでした  "));
        return;
    }
    if (Inform(this, QStringLiteral("テキストファイルの取り込みを開始します  \r\nよろしいですか？  "),
               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    repaint();

    const QString DataPath = DMVxRelvo16->DataPath();
    const QString Backup = ImportBackupFolder(DataPath, FDest);
    const TBackupMeasure Measure = FileImportHooks().MeasureBackup(Backup, ImportTableFiles(FDest), DataPath);
    if (!Measure.Fits()) {
        Inform(this, QStringLiteral("バックアップを作成するための空き容量が不足しています  \r\n"
                                    "取り込みは開始しませんでした  "));
        return;
    }
    // A backup that cannot be made does not hold the import back. The folder holds the customers'
    // data: one that an earlier version left open to others is closed now.
    (void)CopyTableFiles(DataPath, Backup, ImportTableFiles(FDest));
    if (QFileInfo(Backup).isDir())
        (void)::chmod(QFile::encodeName(Backup).constData(), S_IRWXU);

    TImportRun Run;
    Run.FileName = FReadFile;
    Run.DataPath = DataPath;
    Run.ProgramPath = ProgramPath;
    Run.SourceCount = FSourceCount;
    Run.LineCount = LineCount;
    Run.Mapping = Mapping();
    Run.Options = {FDest, chkSkipRecord->isChecked(), chkSameReplace->isChecked(), chkNotAutoSupplement->isChecked(),
                   FEncoding};
    for (QGroupBox* Box : {gbxFile, gbxLayout, gbxOption})
        Box->setEnabled(false);
    pbImport->setRange(1, static_cast<int>(std::min<qint64>(std::max<qint64>(LineCount, 1), INT_MAX)));
    pbImport->setValue(1);
    const std::optional<TImportCounts> Result = RunInBatches(Run);
    for (QGroupBox* Box : {gbxFile, gbxLayout, gbxOption})
        Box->setEnabled(true);
    if (!Result)
        return;
    const TImportCounts Counts = *Result;
    Inform(this, ImportSummaryText(Counts));

    FSettings.ImportDest = FDest;
    FSettings.File = FReadFile;
    FSettings.SkipRecord = chkSkipRecord->isChecked();
    FSettings.SameReplace = chkSameReplace->isChecked();
    FSettings.NotAutoSupplement = chkNotAutoSupplement->isChecked();
    (void)SaveSettingsFile(TSettingsSave::Kept, [this](TMemIniFile& Ini) { WriteFileImportSettings(Ini, FSettings); });
    if (FDest == TImportDest::RecvHis && Counts.StoredCount > 0 && FileImportHooks().ReloadHistoryList)
        FileImportHooks().ReloadHistoryList();
    accept();
}

void TFileImport::bbtnAllSetClick()
{
    if (Inform(this,
               QStringLiteral("ファイルの１件目の項目情報を元に  \r\n取り込む項目にまとめてセットします  \r\n"
                              "よろしいですか？  \r\n\r\n※認識するヘッダ名称については  \r\n"
                              "マニュアル及びオンラインヘルプを参照してください  "),
               MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    AllClearClick();
    chkSkipRecord->setChecked(true);
    QStringList Sources;
    for (int Row = 0; Row < FSourceCount; ++Row)
        Sources.append(sgSrc->item(Row, 1) ? sgSrc->item(Row, 1)->text() : QString());
    TImportMapping Map = Mapping();
    for (const TAutoSetPass& Pass : AutoSetPasses(FDest, SelectItemNames()))
        AutoSetItem(Map, Pass.Row, Pass.Names, Sources);
    for (int Row = 1; Row < Map.size(); ++Row)
        for (int Column = 1; Column <= Map.at(Row).size(); ++Column)
            SetPieceCell(Column, Row, Map.at(Row).at(Column - 1).Code, Map.at(Row).at(Column - 1).Text);
    sgDestSelectCell(DestRow());
    UpdateAllClear();
}

bool TFileImport::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        const bool Enter = Key == Qt::Key_Return || Key == Qt::Key_Enter;
        if (Enter && Watched == edtFile) {
            edtFileEnter();
            return true;
        }
        if (Enter && (Watched == rbRecvHis || Watched == rbAddMeibo)) {
            edtFile->setFocus();
            edtFile->end(false);
            return true;
        }
        if (Enter && Watched == sgDest) {
            sgSrc->setFocus();
            return true;
        }
        if (Enter && (Watched == sgSrc || Watched == chkSkipRecord || Watched == chkSameReplace ||
                      Watched == chkNotAutoSupplement)) {
            focusNextChild();
            return true;
        }
        if (Watched == sgDest && (Key == Qt::Key_Left || Key == Qt::Key_Right)) {
            const int Column = std::clamp(sgDest->currentColumn() + (Key == Qt::Key_Left ? -1 : 1), 1, 9);
            sgDest->setCurrentCell(sgDest->currentRow(), Column);
            return true;
        }
    }
    if (Watched == sgDest->viewport() || Watched == sgSrc->viewport() || Watched == sgDest->horizontalHeader())
        return FilterGridEvent(Watched, Event) || QDialog::eventFilter(Watched, Event);
    return QDialog::eventFilter(Watched, Event);
}
