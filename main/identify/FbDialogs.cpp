#include "main/identify/FbDialogs.h"

#include "main/identify/DBInfoFb.h"
#include "main/identify/FbEditions.h"
#include "main/settings/EnvApply.h"
#include "main/settings/Settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

TFbConfirmDialog::TFbConfirmDialog(QWidget* Owner, const QString& Caption, const QStringList& Above,
                                   const QStringList& Below)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lblFbName(new QLabel(FbEditionNames[Settings.FbSeries == 1 ? 1 : 0], this)),
      lblAdrsName(new QLabel(Settings.FbAdrsBookName, this)), btnYes(new QPushButton(QStringLiteral("はい(&Y)"), this)),
      btnNo(new QPushButton(QStringLiteral("いいえ(&N)"), this))
{
    setWindowTitle(Caption);
    lblFbName->setObjectName(QStringLiteral("lblFbName"));
    lblAdrsName->setObjectName(QStringLiteral("lblAdrsName"));
    btnYes->setObjectName(QStringLiteral("btnYes"));
    btnNo->setObjectName(QStringLiteral("btnNo"));
    btnYes->setDefault(true);

    auto* Layout = new QVBoxLayout(this);
    for (const QString& Line : Above)
        Layout->addWidget(new QLabel(Line, this));
    auto* Names = new QGridLayout;
    Names->setContentsMargins(16, 4, 0, 4);
    Names->addWidget(new QLabel(QStringLiteral("連携ソフト　："), this), 0, 0);
    Names->addWidget(lblFbName, 0, 1);
    Names->addWidget(new QLabel(QStringLiteral("アドレス帳　："), this), 1, 0);
    Names->addWidget(lblAdrsName, 1, 1);
    Names->setColumnStretch(1, 1);
    Layout->addLayout(Names);
    for (const QString& Line : Below)
        Layout->addWidget(new QLabel(Line, this));
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnYes);
    Buttons->addWidget(btnNo);
    Layout->addLayout(Buttons);
    Layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnYes, &QPushButton::clicked, this, &TFbConfirmDialog::btnYesClick);
    connect(btnNo, &QPushButton::clicked, this, &TFbConfirmDialog::btnNoClick);
}

void TFbConfirmDialog::btnYesClick()
{
    done(1);
}

void TFbConfirmDialog::btnNoClick()
{
    done(2);
}

TBackupFb::TBackupFb(QWidget* Owner)
    : TFbConfirmDialog(Owner, QStringLiteral("Fernbookデータのバックアップ確認"),
                       {QStringLiteral("Tolvaneを起動する前に、登録名簿として指定しているアドレス帳の"),
                        QStringLiteral("バックアップを行います"), QString(),
                        QStringLiteral("Fernbookのアドレス帳を登録名簿として使用中です")},
                       {QString(), QStringLiteral("アドレス帳のバックアップを行いますか？"),
                        QStringLiteral("Tolvaneのデータ保存フォルダーの下に 「backup.FbAdrs」フォルダーを"),
                        QStringLiteral("作成し、そこに登録名簿として指定中のアドレス帳フォルダーを保存します")})
{
    setObjectName(QStringLiteral("BackupFb"));
}

TRunFb::TRunFb(QWidget* Owner)
    : TFbConfirmDialog(Owner, QStringLiteral("Fernbookの起動確認"),
                       {QStringLiteral("以下のFernbookのアドレス帳を登録名簿として使用中です")},
                       {QString(), QStringLiteral("Fernbookを起動しますか？"),
                        QStringLiteral("※Fernbookの起動時に開かれるアドレス帳は"),
                        QStringLiteral("登録名簿として指定しているアドレス帳とは異なる可能性があります")})
{
    setObjectName(QStringLiteral("RunFb"));
}

bool RunFbBackupWithProgress(QWidget* Owner, const std::function<bool(const TFbBackupProgress&)>& Backup)
{
    QProgressDialog Progress(Owner);
    Progress.setObjectName(QStringLiteral("FbBackupProgress"));
    Progress.setWindowTitle(QStringLiteral("Fernbookのアドレス帳データをバックアップ中．．．"));
    Progress.setLabelText(QStringLiteral("Fernbookのアドレス帳データをバックアップ中．．．"));
    Progress.setWindowModality(Qt::WindowModal);
    Progress.setAutoClose(false);
    Progress.setAutoReset(false);
    Progress.setMinimumDuration(500);
    return Backup([&Progress](int Done, int Total) {
        Progress.setMaximum(Total);
        Progress.setValue(Done);
        QCoreApplication::processEvents();
        return !Progress.wasCanceled();
    });
}

bool BackupFbAdrsWithProgress(QWidget* Owner, const QString& DataPath)
{
    return RunFbBackupWithProgress(
        Owner, [&DataPath](const TFbBackupProgress& Progress) { return BackupFbAdrs(DataPath, Progress); });
}

namespace {

// The Adrs folder of the edition the settings link to; empty when that edition has no data folder.
QString AdrsFolderInUse()
{
    const QString& DataPath = FbDataPaths[Settings.FbSeries == 1 ? 1 : 0];
    return DataPath.isEmpty() ? QString() : DataPath + QStringLiteral("Adrs/");
}

void LoadBooksInUse()
{
    const QString AdrsFolder = AdrsFolderInUse();
    if (AdrsFolder.isEmpty())
        FbAdrsBooks.clear();
    else
        LoadAddressBookList(AdrsFolder, true);
}

} // namespace

void InstallFbEnvHooks()
{
    TEnvHooks& Hooks = EnvHooks();
    Hooks.PrepareFbDataModule = [](bool EditionChanged) {
        if (DMFbarea && !EditionChanged)
            return;
        delete DMFbarea;
        DMFbarea = new TDMFbarea(Settings.FbSeries);
        // The chosen book's index now means the new edition's list.
        if (EditionChanged)
            LoadBooksInUse();
    };
    Hooks.BackupFbAdrsBook = [] { return BackupFbAdrsWithProgress(QApplication::activeWindow(), Settings.DataPath); };
    Hooks.FindDirectoryProductFolders = [] { FindDirectoryProductFolders(); };
    Hooks.FbDataPath = [](int Series) {
        return Series >= 0 && Series < FbSeriesCount ? FbDataPaths[Series] : QString();
    };
    Hooks.LoadAddressBookList = [](const QString& AdrsFolder) {
        // The dialog may show another edition's books; until it is set, identification and the
        // incoming-call window go on indexing the list of the edition in use with FbAdrsBook.
        const QList<TFbAdrsBook> InUse = FbAdrsBooks;
        LoadAddressBookList(AdrsFolder, true);
        QList<TEnvAdrsBook> Books;
        for (const TFbAdrsBook& Book : FbAdrsBooks)
            Books.append({Book.Name, Book.Folder});
        if (QDir::cleanPath(AdrsFolder) != QDir::cleanPath(AdrsFolderInUse()))
            FbAdrsBooks = InUse;
        return Books;
    };
    Hooks.OpenFbProductPage = [](int Series) { OpenFbProductPage(Series); };
}
