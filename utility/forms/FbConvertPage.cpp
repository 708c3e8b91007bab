// The page "Fernbookへデータコンバート" of the utility's window: the source folder, the edition with
// its data folder, the address book and the fields of the two telephone numbers, and the command
// that copies the directory into the book.
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/identify/FbDialogs.h"
#include "main/identify/FbEditions.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/sys/Folders.h"
#include "utility/fernbook/FbArea.h"
#include "utility/fernbook/FbConvert.h"
#include "utility/forms/AddressSelect.h"
#include "utility/forms/UtilFormParts.h"
#include "utility/forms/UtilMainForm.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace Utility {

namespace {

bool IsFolder(const QString& Path)
{
    return !Path.isEmpty() && QFileInfo(Path).isDir();
}

} // namespace

void TMainForm::BuildFbConvertPage()
{
    FFbFolders = FindFernbookFolders();
    FFbEdits = FFbFolders;
    edtSrcVxDataPath = Named(new QLineEdit(DataPath), "edtSrcVxDataPath");
    bbtnSrcVxBrowse = CommandButton(this, QStringLiteral("参照"), QStyle::SP_DirOpenIcon, "bbtnSrcVxBrowse");
    cbxFbDest = Named(new QComboBox, "cbxFbDest");
    cbxFbDest->addItem(FbEditionNames[0], 0);
    cbxFbDest->addItem(FbEditionNames[1], 1);
    edtDestFbDataPath = Named(new QLineEdit(FFbEdits[0]), "edtDestFbDataPath");
    bbtnDestFbBrowse = CommandButton(this, QStringLiteral("参照"), QStyle::SP_DirOpenIcon, "bbtnDestFbBrowse");
    lblAdrs = NamedLabel(QStringLiteral("アドレス帳："), "lblAdrs");
    pnlAdrs = Named(new QLabel, "pnlAdrs");
    pnlAdrs->setFrameShape(QFrame::StyledPanel);
    pnlAdrs->setMinimumWidth(200);
    bbtnSelectAdrs = CommandButton(this, QStringLiteral("選択"), QStyle::SP_FileDialogContentsView, "bbtnSelectAdrs");
    cbxTel1Set = Named(new QComboBox, "cbxTel1Set");
    cbxTel2Set = Named(new QComboBox, "cbxTel2Set");
    for (QComboBox* Box : {cbxTel1Set, cbxTel2Set})
        Box->addItems({QStringLiteral("TEL"), QStringLiteral("FAX"), QStringLiteral("携帯1"), QStringLiteral("携帯2")});
    cbxTel1Set->setCurrentIndex(0);
    cbxTel2Set->setCurrentIndex(2);
    bbtnFbConvert = CommandButton(this, QStringLiteral("コンバート"), QStyle::SP_ArrowRight, "bbtnFbConvert");
    pgbarFbConvert = Named(new QProgressBar, "pgbarFbConvert");

    auto* Convert = Group(QStringLiteral("Fernbookへデータコンバート"), "gbxFbConvert");
    auto* Grid = new QGridLayout(Convert);
    int Row = 0;
    Grid->addWidget(new QLabel(QStringLiteral("Tolvane１６の登録名簿のデータをFernbookのアドレス帳にコピーします")),
                    Row++, 0, 1, 3);
    Grid->addWidget(NamedLabel(QStringLiteral(" コンバート元 Tolvane１６のデータ保存フォルダー："), "lblSrcVx"), Row++,
                    0, 1, 3);
    Grid->addWidget(edtSrcVxDataPath, Row, 0, 1, 2);
    Grid->addWidget(bbtnSrcVxBrowse, Row++, 2);
    auto* Edition = new QHBoxLayout;
    Edition->addWidget(NamedLabel(QStringLiteral(" コンバート先 "), "lblFbDest"));
    Edition->addWidget(cbxFbDest);
    Edition->addWidget(NamedLabel(QStringLiteral("のデータ保存フォルダー："), "lblFbDestDataPath"));
    Edition->addStretch();
    Grid->addLayout(Edition, Row++, 0, 1, 3);
    Grid->addWidget(edtDestFbDataPath, Row, 0, 1, 2);
    Grid->addWidget(bbtnDestFbBrowse, Row++, 2);
    auto* Book = new QHBoxLayout;
    Book->addWidget(lblAdrs);
    Book->addWidget(pnlAdrs, 1);
    Grid->addLayout(Book, Row, 0, 1, 2);
    Grid->addWidget(bbtnSelectAdrs, Row++, 2);
    Grid->addWidget(new QLabel(QStringLiteral("電話番号1と電話番号2をコピーするFernbookの項目を指定します")), Row++, 0,
                    1, 3);
    auto* Tels = new QHBoxLayout;
    Tels->addWidget(new QLabel(QStringLiteral("電話番号1：")));
    Tels->addWidget(cbxTel1Set);
    Tels->addSpacing(16);
    Tels->addWidget(new QLabel(QStringLiteral("電話番号2：")));
    Tels->addWidget(cbxTel2Set);
    Tels->addStretch();
    Grid->addLayout(Tels, Row++, 0, 1, 3);
    Grid->addWidget(pgbarFbConvert, Row, 0, 1, 2);
    Grid->addWidget(bbtnFbConvert, Row++, 2);
    Grid->setColumnStretch(0, 1);
    auto* Page = new QVBoxLayout(tabstFbConvert);
    Page->addWidget(Convert);
    Page->addStretch();

    const bool Found = FFbFolders[0] != NotFoundText;
    for (QWidget* Control :
         {static_cast<QWidget*>(lblAdrs), static_cast<QWidget*>(pnlAdrs), static_cast<QWidget*>(bbtnSelectAdrs)})
        Control->setEnabled(Found);
    if (Found)
        SetAdrsFolder(FFbFolders[0]);
    ConnectFbConvertPage();
}

void TMainForm::ConnectFbConvertPage()
{
    connect(cbxFbDest, &QComboBox::currentIndexChanged, this, &TMainForm::cbxFbDestClick);
    connect(bbtnSrcVxBrowse, &QPushButton::clicked, this, &TMainForm::bbtnSrcVxBrowseClick);
    connect(bbtnDestFbBrowse, &QPushButton::clicked, this, &TMainForm::bbtnDestFbBrowseClick);
    connect(bbtnSelectAdrs, &QPushButton::clicked, this, &TMainForm::bbtnSelectAdrsClick);
    connect(bbtnFbConvert, &QPushButton::clicked, this, &TMainForm::bbtnFbConvertClick);
}

void TMainForm::SetAdrsFolder(const QString& FbDataFolder)
{
    FAdrsFolder = IncludeTrailingDelimiter(FbDataFolder) + QStringLiteral("Adrs/");
    ReadAddressBooks(FAdrsFolder, true);
}

int TMainForm::FbBox(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags);
}

void TMainForm::cbxFbDestClick()
{
    const int Edition = cbxFbDest->currentIndex() == 1 ? 1 : 0;
    if (Edition == FCurrentFbDestIndex)
        return;
    FFbEdits[static_cast<size_t>(FCurrentFbDestIndex)] = edtDestFbDataPath->text().trimmed();
    FCurrentFbDestIndex = Edition;
    edtDestFbDataPath->setText(FFbEdits[static_cast<size_t>(Edition)]);
    pnlAdrs->clear();
    FChosenAdrsBook = -1;
    const bool Found = FFbFolders[static_cast<size_t>(Edition)] != NotFoundText;
    for (QWidget* Control :
         {static_cast<QWidget*>(lblAdrs), static_cast<QWidget*>(pnlAdrs), static_cast<QWidget*>(bbtnSelectAdrs)})
        Control->setEnabled(Found);
    if (Found)
        SetAdrsFolder(edtDestFbDataPath->text().trimmed());
}

void TMainForm::bbtnSrcVxBrowseClick()
{
    QString Folder = edtSrcVxDataPath->text().trimmed();
    bool Chosen = false;
    {
        THourglass Busy;
        Chosen = BrowseForFolder(
            Folder, this, QStringLiteral("コンバート元となるTolvane１６のデータ保存フォルダーを\r\n指定してください  "),
            false, true);
    }
    if (!Chosen)
        return;
    edtSrcVxDataPath->setText(IncludeTrailingDelimiter(Folder));
    edtSrcVxDataPath->end(false);
    edtSrcVxDataPath->setFocus();
}

void TMainForm::bbtnDestFbBrowseClick()
{
    const QString Earlier = edtDestFbDataPath->text().trimmed();
    QString Folder = Earlier;
    bool Chosen = false;
    {
        THourglass Busy;
        Chosen = BrowseForFolder(Folder, this,
                                 QStringLiteral("コンバート先となる、") + cbxFbDest->currentText() +
                                     QStringLiteral("の\r\nデータ保存フォルダーを指定してください  "),
                                 false, true);
    }
    if (Chosen) {
        edtDestFbDataPath->setText(IncludeTrailingDelimiter(Folder));
        edtDestFbDataPath->end(false);
        edtDestFbDataPath->setFocus();
    }
    const QString Prompted = IncludeTrailingDelimiter(Chosen ? Folder : (IsFolder(Earlier) ? Earlier : ProgramPath));
    if (Prompted.compare(IncludeTrailingDelimiter(Earlier), Qt::CaseInsensitive) == 0)
        return;
    pnlAdrs->setEnabled(true);
    bbtnSelectAdrs->setEnabled(true);
    lblAdrs->setEnabled(true);
    pnlAdrs->clear();
    SetAdrsFolder(Prompted);
    FChosenAdrsBook = -1;
}

bool TMainForm::FbPageKeyPress(QObject* Control, int Key)
{
    if (Key != Qt::Key_Return && Key != Qt::Key_Enter)
        return false;
    QWidget* Next = nullptr;
    if (Control == edtSrcVxDataPath) {
        Next = edtSrcVxDataPath->text().trimmed().isEmpty() ? static_cast<QWidget*>(bbtnSrcVxBrowse) : cbxFbDest;
    } else if (Control == cbxFbDest || Control == edtDestFbDataPath) {
        if (edtDestFbDataPath->text().trimmed().isEmpty())
            Next = bbtnDestFbBrowse;
        else
            Next = pnlAdrs->text().isEmpty() ? static_cast<QWidget*>(bbtnSelectAdrs) : cbxTel1Set;
    } else if (Control == cbxTel1Set) {
        Next = cbxTel2Set;
    } else if (Control == cbxTel2Set) {
        Next = bbtnFbConvert;
    } else {
        return false;
    }
    Next->setFocus();
    return true;
}

void TMainForm::bbtnSelectAdrsClick()
{
    SetAdrsFolder(edtDestFbDataPath->text().trimmed());
    TAddressSelect Dialog(this, FAdrsFolder, pnlAdrs->text());
    // Centred by the size its layout gives it, not by the size of a widget not yet laid out.
    Dialog.adjustSize();
    CenterForm(&Dialog, this);
    if (Dialog.exec() != QDialog::Accepted)
        return;
    const QString Name = Dialog.CurrentName;
    int Index = 0;
    for (int I = 0; I < FbAdrsBooks.size(); ++I)
        if (FbAdrsBooks[I].Name == Name) {
            Index = I;
            break;
        }
    pnlAdrs->setText(Name);
    FChosenAdrsBook = Index;
    bbtnFbConvert->setFocus();
}

bool TMainForm::FbConvertChecks(QString& BookFolder)
{
    const unsigned Info = MB_OK | MB_ICONINFORMATION;
    const auto Refuse = [&](const QString& Text, QWidget* Focus, QLineEdit* CaretEnd = nullptr) {
        (void)FbBox(Text, Info);
        if (CaretEnd)
            CaretEnd->end(false);
        if (Focus)
            Focus->setFocus();
        return false;
    };
    if (FChosenAdrsBook < 0 || FChosenAdrsBook >= FbAdrsBooks.size())
        return Refuse(QStringLiteral("コンバート先のアドレス帳を指定してください  "), edtDestFbDataPath);
    const QString FbFolder = edtDestFbDataPath->text().trimmed();
    BookFolder = IncludeTrailingDelimiter(FbFolder) + QStringLiteral("Adrs/") + FbAdrsBooks[FChosenAdrsBook].Folder +
                 QLatin1Char('/');
    const QString Source = edtSrcVxDataPath->text().trimmed();
    if (Source.isEmpty())
        return Refuse(QStringLiteral("「Tolvane１６」のデータ保存フォルダーを指定してください  "), edtSrcVxDataPath);
    if (!IsFolder(Source))
        return Refuse(QStringLiteral("「Tolvane１６」のデータ保存フォルダーが見つかりません  "), edtSrcVxDataPath,
                      edtSrcVxDataPath);
    if (FbFolder.isEmpty())
        return Refuse(QStringLiteral("コンバート先のフォルダーを指定してください  "), edtDestFbDataPath);
    if (!IsFolder(FbFolder))
        return Refuse(QStringLiteral("指定されている「") + cbxFbDest->currentText() +
                          QStringLiteral("」のデータ保存フォルダーが見つかりません  "),
                      edtDestFbDataPath, edtDestFbDataPath);
    // The page on which the source would be chosen again is this one; the focus goes to the book.
    if (!IsFolder(BookFolder))
        return Refuse(QStringLiteral("コンバート元フォルダーにアドレス帳が見つかりません  "), bbtnSelectAdrs);
    if (SameFolder(IncludeTrailingDelimiter(Source), BookFolder, false))
        return Refuse(
            QStringLiteral("コンバート元とコンバート先のフォルダーが同一です  \r\n違うフォルダーを指定してください  "),
            edtDestFbDataPath, edtDestFbDataPath);
    if (cbxTel1Set->currentIndex() == cbxTel2Set->currentIndex())
        return Refuse(QStringLiteral("電話番号1と電話番号2のコピー先が同一です  \r\n違う項目を指定してください  "),
                      cbxTel1Set);
    // The folders in use are known by identity on disk, however the text spells them.
    if (IsSameFile(Source, DataPath) && IsMainProgramRunning())
        return false;
    const int Edition = cbxFbDest->currentIndex() == 1 ? 1 : 0;
    const QString& Installed = FFbFolders[static_cast<size_t>(Edition)];
    if (!Installed.isEmpty() && IsSameFile(FbFolder, Installed) && IsFernbookRunning(Edition))
        return false;
    return true;
}

void TMainForm::bbtnFbConvertClick()
{
    QString BookFolder;
    if (!FbConvertChecks(BookFolder))
        return;
    const unsigned YesNo = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    const int Backup =
        FbBox(QStringLiteral(
                  "コンバート前にコンバート先のアドレス帳の　 \r\nバックアップを行うことができます　 \r\n\r\n"
                  "Tolvane１６の現在のデータ保存フォルダーの下に　 \r\n「backup.CnvFbAdrs」フォルダーを作成し　 \r\n"
                  "そこにアドレス帳ファイルを保存します　 \r\n\r\nバックアップを行う場合は 「はい」　 \r\n"
                  "バックアップを行わない場合は 「いいえ」　 \r\nコンバート自体を中止する場合は 「キャンセル」　\r\n"
                  "\r\nを押してください  "),
              MB_YESNOCANCEL | MB_ICONQUESTION);
    if (Backup == IDCANCEL)
        return;
    QString Question = QStringLiteral("コンバートを実行しますか？  ");
    if (Backup == IDYES) {
        const QString Target = DataPath;
        const bool Done = RunFbBackupWithProgress(
            this, [&](const TFbBackupProgress& Progress) { return BackupFernbookBook(BookFolder, Target, Progress); });
        Question =
            Done ? QStringLiteral("アドレス帳のバックアップを完了しました  \r\nコンバートを実行しますか？  ")
                 : QStringLiteral("アドレス帳のバックアップに失敗しました  \r\nこのままコンバートを実行しますか？  ");
    }
    if (FbBox(Question, YesNo) != IDYES)
        return;

    TFbConvertChoice Choice = ReadFbConvertChoice();
    Choice.Edition = cbxFbDest->currentIndex() == 1 ? 1 : 0;
    Choice.Tel1Set = cbxTel1Set->currentIndex();
    Choice.Tel2Set = cbxTel2Set->currentIndex();
    TFbConvertCounts Counts;
    {
        THourglass Busy;
        const TDataPathSwitch Switch(edtSrcVxDataPath->text().trimmed());
        TDMVxRelvo16 Module(DataPath, ProgramPath);
        KeywordPath = IncludeTrailingDelimiter(edtDestFbDataPath->text().trimmed()) + QStringLiteral("History/");
        try {
            Counts = ConvertToFernbook(Module, BookFolder, Choice, [this](int Position, int Maximum) {
                pgbarFbConvert->setMaximum(Maximum);
                pgbarFbConvert->setValue(Position);
            });
        } catch (const std::exception& Error) {
            (void)FbBox(QString::fromUtf8(Error.what()), MB_OK | MB_ICONERROR);
        }
    }
    (void)FbBox(
        QStringLiteral("コンバートが終了しました  \r\n\r\nコンバート件数\r\n登録名簿\t\t%1件　\r\nランク\t\t%2件　")
            .arg(Counts.Records)
            .arg(Counts.Ranks),
        MB_OK | MB_ICONINFORMATION);
    pgbarFbConvert->setValue(0);
    btnCancel->setFocus();
}

} // namespace Utility
