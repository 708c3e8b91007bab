// The page "一般設定": the CD-ROM drive, the line kind with its adapter and port, the data folder and
// the map program.

#include "main/common/CommonForms.h"
#include "main/common/CommonSys.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/settings/Env.h"
#include "main/settings/EnvControls.h"
#include "main/settings/SetIPPBX.h"
#include "main/settings/Settings.h"
#include "platform/sys/Volume.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace EnvControls;

void TEnvironment::CreateCommonPage()
{
    QWidget* Page = tabstCommon;
    auto* Layout = new QVBoxLayout(Page);

    gbxCD = New<QGroupBox>(Page, "gbxCD", QStringLiteral("検索CD-ROMドライブ"));
    auto* CDRow = new QHBoxLayout(gbxCD);
    cbxCD = NewList(gbxCD, "cbxCD");
    bbtnUpdate = New<QPushButton>(gbxCD, "bbtnUpdate", QStringLiteral("更新(&U)"));
    bbtnUpdate->setIcon(style()->standardIcon(QStyle::SP_DriveCDIcon));
    CDRow->addWidget(cbxCD, 1);
    CDRow->addWidget(bbtnUpdate);
    Layout->addWidget(gbxCD);

    gbxAdapter = New<QGroupBox>(Page, "gbxAdapter", QStringLiteral("対応機器設定"));
    auto* AdapterGrid = new QGridLayout(gbxAdapter);
    rbNormal = New<QRadioButton>(gbxAdapter, "rbNormal", QStringLiteral("アナログ/デジタル回線"));
    rbIPPBX = New<QRadioButton>(gbxAdapter, "rbIPPBX", QStringLiteral("ひかり回線"));
    rblNoUse = New<QRadioButton>(gbxAdapter, "rblNoUse", QStringLiteral("使用しない"));
    rblNoUse->setVisible(false);
    rbNormal->setProperty("Tag", 0);
    rbIPPBX->setProperty("Tag", 1);
    rblNoUse->setProperty("Tag", 2);
    auto* Kinds = new QHBoxLayout;
    Kinds->addWidget(rbNormal);
    Kinds->addSpacing(20);
    Kinds->addWidget(rbIPPBX);
    Kinds->addWidget(rblNoUse);
    Kinds->addStretch();
    AdapterGrid->addLayout(Kinds, 0, 0, 1, 2);
    lblAdapter = NewLabel(gbxAdapter, "lblAdapter", QStringLiteral("対応機器"));
    AdapterGrid->addWidget(lblAdapter, 1, 0, Qt::AlignTop | Qt::AlignLeft);

    pnlNormal = New<QWidget>(gbxAdapter, "pnlNormal");
    auto* NormalRow = new QHBoxLayout(pnlNormal);
    NormalRow->setContentsMargins(0, 0, 0, 0);
    cbxnmlAdapter = NewList(pnlNormal, "cbxnmlAdapter");
    lblPort = NewLabel(pnlNormal, "lblPort", QStringLiteral("ポート"));
    cbxPort = NewList(pnlNormal, "cbxPort", 11);
    cbxPort->setMinimumWidth(110);
    NormalRow->addWidget(cbxnmlAdapter, 1);
    NormalRow->addWidget(lblPort);
    NormalRow->addWidget(cbxPort);

    pnlIPPBX = New<QWidget>(gbxAdapter, "pnlIPPBX");
    auto* IPGrid = new QGridLayout(pnlIPPBX);
    IPGrid->setContentsMargins(0, 0, 0, 0);
    IPGrid->setVerticalSpacing(2);
    cbxPBXAdapter = NewList(pnlIPPBX, "cbxPBXAdapter");
    btnDetail = New<QPushButton>(pnlIPPBX, "btnDetail", QStringLiteral("詳細設定(&D)"));
    btnDetail->setAutoDefault(false);
    lblIPPBX = RedLabel(pnlIPPBX, "lblIPPBX", QStringLiteral("※詳細設定を行う必要があります"));
    IPGrid->addWidget(cbxPBXAdapter, 0, 0);
    IPGrid->addWidget(btnDetail, 0, 1);
    IPGrid->addWidget(lblIPPBX, 1, 0, 1, 2);
    IPGrid->setColumnStretch(0, 1);

    // Both panels share one place, which keeps the room of the taller one whichever is shown.
    auto* Panels = new QVBoxLayout;
    auto* Place = new QGridLayout;
    for (QWidget* Panel : {pnlNormal, pnlIPPBX}) {
        QSizePolicy Policy = Panel->sizePolicy();
        Policy.setRetainSizeWhenHidden(true);
        Panel->setSizePolicy(Policy);
        Place->addWidget(Panel, 0, 0, Qt::AlignTop);
    }
    Panels->addLayout(Place);
    auto* Marks = new QHBoxLayout;
    pnlAnalogDial = New<QWidget>(gbxAdapter, "pnlAnalogDial");
    auto* DialRow = new QHBoxLayout(pnlAnalogDial);
    DialRow->setContentsMargins(0, 0, 0, 0);
    lblAnalogDialCaption =
        NewLabel(pnlAnalogDial, "lblAnalogDialCaption", QStringLiteral("発信機能　　　　　　　・・・"));
    lblAnalogDial = NewLabel(pnlAnalogDial, "lblAnalogDial", QString());
    DialRow->addWidget(lblAnalogDialCaption);
    DialRow->addWidget(lblAnalogDial);
    pnlGetHistory = New<QWidget>(gbxAdapter, "pnlGetHistory");
    auto* HistoryRow = new QHBoxLayout(pnlGetHistory);
    HistoryRow->setContentsMargins(0, 0, 0, 0);
    lblGetHistoryCaption = NewLabel(pnlGetHistory, "lblGetHistoryCaption", QStringLiteral("着信履歴取込機能　・・・"));
    lblGetHistory = NewLabel(pnlGetHistory, "lblGetHistory", QString());
    HistoryRow->addWidget(lblGetHistoryCaption);
    HistoryRow->addWidget(lblGetHistory);
    Marks->addWidget(pnlAnalogDial);
    Marks->addSpacing(24);
    Marks->addWidget(pnlGetHistory);
    Marks->addStretch();
    Panels->addLayout(Marks);
    AdapterGrid->addLayout(Panels, 1, 1);
    AdapterGrid->setColumnStretch(1, 1);
    Layout->addWidget(gbxAdapter);

    gbxDataPath = New<QGroupBox>(Page, "gbxDataPath", QStringLiteral("データ保存フォルダー"));
    auto* DataRow = new QHBoxLayout(gbxDataPath);
    edtDataPath = NewEdit(gbxDataPath, "edtDataPath", 200);
    bbtnBrowseDataPath = New<QPushButton>(gbxDataPath, "bbtnBrowseDataPath", QStringLiteral("参照(&R)"));
    bbtnBrowseDataPath->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    DataRow->addWidget(edtDataPath, 1);
    DataRow->addWidget(bbtnBrowseDataPath);
    Layout->addWidget(gbxDataPath);

    gbxMap = New<QGroupBox>(Page, "gbxMap", QStringLiteral("使用する地図ソフト／検索方法"));
    auto* MapRow = new QHBoxLayout(gbxMap);
    cbxMapSoft = NewList(gbxMap, "cbxMapSoft", 10);
    cbxMapSoft->addItems(MapProgramNames);
    cbxMapSearchKind = NewList(gbxMap, "cbxMapSearchKind");
    MapRow->addWidget(cbxMapSoft, 3);
    MapRow->addWidget(cbxMapSearchKind, 2);
    Layout->addWidget(gbxMap);
    Layout->addStretch();

    for (QPushButton* Button : {bbtnUpdate, bbtnBrowseDataPath})
        Button->setAutoDefault(false);
    connect(bbtnUpdate, &QPushButton::clicked, this, &TEnvironment::bbtnUpdateClick);
    connect(bbtnBrowseDataPath, &QPushButton::clicked, this, &TEnvironment::bbtnBrowseDataPathClick);
    connect(btnDetail, &QPushButton::clicked, this, &TEnvironment::btnDetailClick);
    for (QRadioButton* Button : {rbNormal, rbIPPBX, rblNoUse})
        connect(Button, &QRadioButton::clicked, this,
                [this, Button] { rbStateClick(Button->property("Tag").toInt()); });
    connect(cbxnmlAdapter, &QComboBox::activated, this, &TEnvironment::cbxAdapterClick);
    connect(cbxPBXAdapter, &QComboBox::activated, this, &TEnvironment::cbxAdapterClick);
    connect(cbxMapSoft, &QComboBox::activated, this, &TEnvironment::cbxMapSoftClick);

    Route(cbxCD, {.KeyPress = [this](QKeyEvent* Key) { return cbxCDKeyPress(Key); }});
    for (QRadioButton* Button : {rbNormal, rbIPPBX, rblNoUse})
        Route(Button, {.KeyPress = [this, Button](QKeyEvent* Key) { return rbButtonKeyPress(Button, Key); }});
    Route(edtDataPath, {.KeyPress = [this](QKeyEvent* Key) { return edtDataPathKeyPress(Key); }});
}

void TEnvironment::FillAdapterList(QComboBox* List, const TVxCommDLL* Wrapper, std::int32_t Selected)
{
    List->clear();
    if (Wrapper)
        for (const TAdapterKind& Kind : Wrapper->Kinds())
            List->addItem(AdapterKindName(Kind).left(50).trimmed(), Kind.Kind);
    const int Found = List->findData(Selected);
    List->setCurrentIndex(Found >= 0 ? Found : (List->count() > 0 ? 0 : -1));
}

void TEnvironment::FillPortList(const QString& Selected)
{
    Ports = PortItems(EnvHooks().DevFolder, Selected);
    cbxPort->clear();
    for (const TPortItem& Item : Ports)
        cbxPort->addItem(Item.Display, Item.Port);
    const int Found = PortItemIndex(Ports, Selected);
    cbxPort->setCurrentIndex(Found >= 0 ? Found : 0);
}

void TEnvironment::FillDriveList()
{
    cbxCD->setUpdatesEnabled(false);
    cbxCD->clear();
    for (const QString& Drive : DriveList) {
        const QString Label = GetVolumeLabel(Drive, EnvHooks().MountsFile).trimmed();
        const QString Shown = DataPathForEdit(Drive);
        cbxCD->addItem(Label.isEmpty() ? Shown : Shown + QStringLiteral(" [") + Label + QLatin1Char(']'), Drive);
    }
    if (cbxCD->count() > 0) {
        int Index = 0;
        for (int I = 0; I < cbxCD->count(); ++I)
            if (IncludeTrailingDelimiter(cbxCD->itemData(I).toString()) == IncludeTrailingDelimiter(Settings.CD)) {
                Index = I;
                break;
            }
        cbxCD->setCurrentIndex(Index);
    }
    cbxCD->setUpdatesEnabled(true);
}

void TEnvironment::rbStateClick(int Tag)
{
    pnlNormal->setVisible(Tag == 0);
    pnlIPPBX->setVisible(Tag == 1);
    pnlAnalogDial->setVisible(Tag != 2);
    pnlGetHistory->setVisible(Tag != 2);
    // The marks describe the adapter of the line now chosen.
    cbxAdapterClick();
}

void TEnvironment::cbxAdapterClick()
{
    const bool Normal = rbNormal->isChecked();
    const TVxCommDLL* Wrapper = Normal ? SerialCommDLL.get() : IPCommDLL.get();
    const int Index = Normal ? cbxnmlAdapter->currentIndex() : cbxPBXAdapter->currentIndex();
    if (!Wrapper || Index < 0 || Index >= Wrapper->Kinds().size()) {
        lblAnalogDial->setText(QStringLiteral("×"));
        lblGetHistory->setText(QStringLiteral("×"));
        return;
    }
    const TAdapterKind& Kind = Wrapper->Kinds()[Index];
    lblAnalogDial->setText(Kind.DialPorts != 0 ? QStringLiteral("○") : QStringLiteral("×"));
    lblGetHistory->setText(Kind.HistoryCount != 0 ? QStringLiteral("○") : QStringLiteral("×"));
    if (Normal)
        cbxPort->setCurrentIndex(
            PortIndexForAdapter(Kind.PortType, cbxPort->currentIndex(), OpenedPortIndex, cbxPort->count()));
}

void TEnvironment::cbxMapSoftClick()
{
    const int Index = cbxMapSearchKind->currentIndex();
    cbxMapSearchKind->clear();
    cbxMapSearchKind->addItems(MapSearchKinds(cbxMapSoft->currentIndex()));
    cbxMapSearchKind->setCurrentIndex(Index);
}

void TEnvironment::bbtnUpdateClick()
{
    const bool AllHeld =
        (QApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const unsigned Mask =
        (Settings.SearchDriveExtend || AllHeld) ? DRIVE_MASK_CDROM | DRIVE_MASK_NETWORK : DRIVE_MASK_CDROM;
    ScanDrives(Mask, EnvHooks().MountsFile);
    if (DriveList.isEmpty())
        (void)MessageBoxPos(this,
                            QStringLiteral("使用可能なCD-ROMドライブが検出できませんでした  \r\n"
                                           "CD-ROMを使用した検索を利用できません  "),
                            ProductName, MB_OK | MB_ICONINFORMATION, 2);
    FillDriveList();
}

void TEnvironment::bbtnBrowseDataPathClick()
{
    QString Folder;
    {
        TWaitCursor Wait;
        const QString Typed = edtDataPath->text().trimmed();
        Folder = QFileInfo(Typed).isDir() ? Typed : SettingsPath;
    }
    if (BrowseForFolder(Folder, this, QStringLiteral("データの保存先を指定してください"), true, false)) {
        edtDataPath->setText(Folder);
        FocusEnd(edtDataPath);
    }
}

void TEnvironment::btnDetailClick()
{
    IPPBXAdapterName = cbxPBXAdapter->currentText();
    IPPBXAdapterKind = cbxPBXAdapter->currentData().toInt();
    TSetIPPBXDetail Dialog(this, chkTip->isChecked());
    Dialog.exec();
}

bool TEnvironment::cbxCDKeyPress(QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    FocusEnd(rbNormal->isChecked() ? rbNormal : rbIPPBX);
    return true;
}

bool TEnvironment::rbButtonKeyPress(QRadioButton* Sender, QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    FocusEnd(Sender->property("Tag").toInt() == 0 ? cbxnmlAdapter : cbxPBXAdapter);
    return true;
}

bool TEnvironment::edtDataPathKeyPress(QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    FocusEnd(edtDataPath->text().trimmed().isEmpty() ? static_cast<QWidget*>(bbtnBrowseDataPath) : cbxMapSoft);
    return true;
}
