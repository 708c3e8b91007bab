// The page "Fernbook連携": the edition, its address books and the keywords the program borrows.

#include "main/settings/Env.h"
#include "main/settings/EnvControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace EnvControls;

namespace {

const QStringList FbSeriesNames = {QStringLiteral("Fernbook2013"), QStringLiteral("Fernbook2013 Trade")};
const QStringList Keywords1to5 = {QStringLiteral("キーワード１"), QStringLiteral("キーワード２"),
                                  QStringLiteral("キーワード３"), QStringLiteral("キーワード４"),
                                  QStringLiteral("キーワード５")};
const QStringList Keywords6to8 = {QStringLiteral("キーワード６"), QStringLiteral("キーワード７"),
                                  QStringLiteral("キーワード８")};

const QString SkyBlue = QStringLiteral("#A6CAF0");
const QString Yellow = QStringLiteral("#FFFF00");

// The edition images: a small badge per edition.
QPixmap EditionImage(int Index)
{
    static const QColor Colors[3] = {QColor(0x2E, 0x7D, 0x32), QColor(0x15, 0x65, 0xC0), QColor(0x6A, 0x1B, 0x9A)};
    static const QString Texts[3] = {QStringLiteral("FB\n2013"), QStringLiteral("FB\nTrade"), QStringLiteral("FB")};
    QPixmap Image(48, 48);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setBrush(Colors[Index]);
    Painter.setPen(Qt::NoPen);
    Painter.drawRoundedRect(QRectF(1, 1, 46, 46), 8, 8);
    Painter.setPen(Qt::white);
    QFont Font = Painter.font();
    Font.setPixelSize(12);
    Font.setBold(true);
    Painter.setFont(Font);
    Painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, Texts[Index]);
    return Image;
}

} // namespace

void TEnvironment::CreateFbPage()
{
    QWidget* Page = tabsUseFbAdrs;
    auto* Layout = new QVBoxLayout(Page);
    gbUseFbAdrs = New<QGroupBox>(Page, "gbUseFbAdrs", QStringLiteral("Fernbook連携"));
    auto* Group = new QVBoxLayout(gbUseFbAdrs);

    chkUseFbAdrs =
        NewCheck(gbUseFbAdrs, "chkUseFbAdrs", QStringLiteral("Fernbookのアドレス帳を登録名簿として使用する"), false);
    Group->addWidget(chkUseFbAdrs);

    auto* Top = new QGridLayout;
    Top->setContentsMargins(20, 0, 0, 0);
    lblFbSeries = NewLabel(gbUseFbAdrs, "lblFbSeries", QStringLiteral("連携ソフト"));
    cbxFbSeries = NewList(gbUseFbAdrs, "cbxFbSeries", 2);
    cbxFbSeries->addItems(FbSeriesNames);
    lblAdrs = NewLabel(gbUseFbAdrs, "lblAdrs", QStringLiteral("アドレス帳"));
    cbxAdrs = NewList(gbUseFbAdrs, "cbxAdrs", 5);
    pnlOKNG = New<QWidget>(gbUseFbAdrs, "pnlOKNG");
    pnlOKNG->setAutoFillBackground(true);
    pnlOKNG->setFixedSize(130, 58);
    auto* OKNG = new QHBoxLayout(pnlOKNG);
    OKNG->setContentsMargins(6, 4, 6, 4);
    lblOKNG = NewLabel(pnlOKNG, "lblOKNG", QString());
    QFont Bold = lblOKNG->font();
    Bold.setBold(true);
    lblOKNG->setFont(Bold);
    imgFbKind = NewLabel(pnlOKNG, "imgFbKind", QString());
    imgFbKind->setFixedSize(48, 48);
    imgFbKind->setCursor(Qt::PointingHandCursor);
    OKNG->addWidget(lblOKNG, 1);
    OKNG->addWidget(imgFbKind);
    Top->addWidget(lblFbSeries, 0, 0);
    Top->addWidget(cbxFbSeries, 0, 1);
    Top->addWidget(lblAdrs, 1, 0);
    Top->addWidget(cbxAdrs, 1, 1);
    Top->addWidget(pnlOKNG, 0, 2, 2, 1);
    Top->setColumnStretch(1, 1);
    Group->addLayout(Top);

    lblAssign = NewLabel(gbUseFbAdrs, "lblAssign",
                         QStringLiteral("以下の項目はFernbookのキーワード項目を割り当てて使用します"));
    Group->addWidget(lblAssign);
    auto* Assign = new QGridLayout;
    Assign->setContentsMargins(20, 0, 0, 0);
    Assign->setVerticalSpacing(3);
    lblMemo1 = NewLabel(gbUseFbAdrs, "lblMemo1", QStringLiteral("登録メモ１"));
    lblMemo2 = NewLabel(gbUseFbAdrs, "lblMemo2", QStringLiteral("登録メモ２"));
    lblMemo3 = NewLabel(gbUseFbAdrs, "lblMemo3", QStringLiteral("登録メモ３"));
    cbxMemo1 = NewList(gbUseFbAdrs, "cbxMemo1", 5);
    cbxMemo2 = NewList(gbUseFbAdrs, "cbxMemo2", 5);
    cbxMemo3 = NewList(gbUseFbAdrs, "cbxMemo3", 5);
    lblRank = NewLabel(gbUseFbAdrs, "lblRank", QStringLiteral("ランク"));
    cbxRank = NewList(gbUseFbAdrs, "cbxRank", 3);
    lblRankb = NewLabel(gbUseFbAdrs, "lblRankb", QStringLiteral("※10文字分使用します"));
    lblLine1 = NewLabel(gbUseFbAdrs, "lblLine1", QStringLiteral("着信時メッセージ1"));
    cbxLine1 = NewList(gbUseFbAdrs, "cbxLine1", 5);
    lblLine1b = NewLabel(gbUseFbAdrs, "lblLine1b", QStringLiteral("※16文字分使用します"));
    lblLine2 = NewLabel(gbUseFbAdrs, "lblLine2", QStringLiteral("着信時メッセージ2"));
    cbxLine2 = NewList(gbUseFbAdrs, "cbxLine2", 5);
    lblLine2b = NewLabel(gbUseFbAdrs, "lblLine2b", QStringLiteral("※16文字分使用します"));
    for (QComboBox* List : {cbxMemo1, cbxMemo2, cbxMemo3, cbxLine1, cbxLine2})
        List->addItems(Keywords1to5);
    cbxRank->addItems(Keywords6to8);
    for (QComboBox* List : {cbxMemo1, cbxMemo2, cbxMemo3, cbxRank, cbxLine1, cbxLine2})
        List->setMinimumWidth(130);
    // Two columns: the memos on the left, rank and message lines on the right.
    Assign->addWidget(lblMemo1, 0, 0);
    Assign->addWidget(cbxMemo1, 0, 1);
    Assign->addWidget(lblMemo2, 1, 0);
    Assign->addWidget(cbxMemo2, 1, 1);
    Assign->addWidget(lblMemo3, 2, 0);
    Assign->addWidget(cbxMemo3, 2, 1);
    Assign->setColumnMinimumWidth(2, 16);
    Assign->addWidget(lblRank, 0, 3);
    Assign->addWidget(cbxRank, 0, 4);
    Assign->addWidget(lblRankb, 0, 5);
    Assign->addWidget(lblLine1, 1, 3);
    Assign->addWidget(cbxLine1, 1, 4);
    Assign->addWidget(lblLine1b, 1, 5);
    Assign->addWidget(lblLine2, 2, 3);
    Assign->addWidget(cbxLine2, 2, 4);
    Assign->addWidget(lblLine2b, 2, 5);
    Assign->setColumnStretch(5, 1);
    Group->addLayout(Assign);

    chkRunFbDlg = NewCheck(gbUseFbAdrs, "chkRunFbDlg",
                           QStringLiteral("メニューからFernbookを起動する際に確認のダイアログを表示する"), false);
    chkFbBackup = NewCheck(gbUseFbAdrs, "chkFbBackup",
                           QStringLiteral("Tolvane起動時にFernbookのアドレス帳データをバックアップする"), false);
    chkFbBackupDlg = NewCheck(gbUseFbAdrs, "chkFbBackupDlg", QStringLiteral("確認のダイアログを表示する"), false);
    Group->addWidget(chkRunFbDlg);
    Group->addWidget(chkFbBackup);
    auto* BackupDlgRow = new QHBoxLayout;
    BackupDlgRow->addSpacing(20);
    BackupDlgRow->addWidget(chkFbBackupDlg);
    Group->addLayout(BackupDlgRow);
    lblAtention = RedLabel(gbUseFbAdrs, "lblAtention", QStringLiteral("※設定中はTolvaneの登録名簿は使用できません"));
    Group->addWidget(lblAtention);
    Layout->addWidget(gbUseFbAdrs);
    Layout->addStretch();

    connect(chkUseFbAdrs, &QCheckBox::clicked, this, &TEnvironment::chkUseFbAdrsClick);
    connect(chkFbBackup, &QCheckBox::clicked, this, &TEnvironment::chkFbBackupClick);
    connect(cbxFbSeries, &QComboBox::activated, this, &TEnvironment::cbxFbSeriesClick);
    Route(imgFbKind, {.Click = [this] { imgFbKindClick(); }});
}

void TEnvironment::LoadAddressBooks(int Series, int Selected)
{
    FbAdrsBooks.clear();
    cbxAdrs->clear();
    const QString DataPath = EnvHooks().FbDataPath ? EnvHooks().FbDataPath(Series) : QString();
    if (!DataPath.isEmpty() && EnvHooks().LoadAddressBookList)
        FbAdrsBooks = EnvHooks().LoadAddressBookList(DataPath + QStringLiteral("Adrs/"));
    if (DataPath.isEmpty()) {
        cbxAdrs->addItem(QString());
        cbxAdrs->setCurrentIndex(0);
        return;
    }
    for (const TEnvAdrsBook& Book : FbAdrsBooks)
        cbxAdrs->addItem(Book.Name);
    cbxAdrs->setCurrentIndex(Selected >= 0 && Selected < cbxAdrs->count() ? Selected : (cbxAdrs->count() ? 0 : -1));
}

void TEnvironment::chkFbBackupClick()
{
    chkFbBackupDlg->setEnabled(chkFbBackup->isChecked());
}

void TEnvironment::SetFbControlsEnabled(bool Enabled, bool WithSeries)
{
    if (WithSeries)
        SetEnabled({lblFbSeries, cbxFbSeries}, Enabled);
    SetEnabled({lblAdrs,   cbxAdrs,  lblAssign, lblMemo1, lblMemo2,    lblMemo3,   lblLine1,
                lblLine1b, lblLine2, lblLine2b, lblRank,  lblRankb,    cbxMemo1,   cbxMemo2,
                cbxMemo3,  cbxRank,  cbxLine1,  cbxLine2, chkRunFbDlg, chkFbBackup},
               Enabled);
    chkFbBackupDlg->setEnabled(Enabled && chkFbBackup->isChecked());
}

void TEnvironment::chkUseFbAdrsClick()
{
    if (chkUseFbAdrs->isChecked()) {
        SetFbControlsEnabled(true, true);
        lblOKNG->setVisible(true);
        lblAtention->setVisible(true);
        ShowFbAvailability(cbxFbSeries->currentIndex());
    } else {
        SetFbControlsEnabled(false, true);
        lblOKNG->setVisible(false);
        lblAtention->setVisible(false);
        pnlOKNG->setStyleSheet(QString());
        imgFbKind->setVisible(false);
    }
}

void TEnvironment::ShowFbAvailability(int Series)
{
    const QString DataPath = EnvHooks().FbDataPath ? EnvHooks().FbDataPath(Series) : QString();
    const bool Available = !DataPath.isEmpty();
    pnlOKNG->setStyleSheet(
        QStringLiteral("#pnlOKNG { background: %1; border: 1px solid #808080; }").arg(Available ? SkyBlue : Yellow));
    lblOKNG->setText(Available ? QStringLiteral("使用可能") : QStringLiteral("使用不可"));
    lblOKNG->setVisible(true);
    SetFbControlsEnabled(Available, false);
    lblAtention->setVisible(Available);
    imgFbKind->setPixmap(EditionImage(Series == 1 ? 1 : (Series == 2 ? 2 : 0)));
    imgFbKind->setVisible(true);
    imgFbKind->update();
}

void TEnvironment::cbxFbSeriesClick()
{
    const int Series = cbxFbSeries->currentIndex();
    ShowFbAvailability(Series);
    LoadAddressBooks(Series, 0);
}

void TEnvironment::imgFbKindClick()
{
    if (EnvHooks().OpenFbProductPage)
        EnvHooks().OpenFbProductPage(cbxFbSeries->currentIndex());
}
