#include "main/help/VerInfo.h"

#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <limits>

namespace {

QLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Text = {})
{
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName(QLatin1String(Name));
    return Label;
}

QFrame* NewLine(QWidget* Parent, const char* Name)
{
    auto* Line = new QFrame(Parent);
    Line->setObjectName(QLatin1String(Name));
    Line->setFrameShape(QFrame::HLine);
    Line->setFrameShadow(QFrame::Sunken);
    return Line;
}

} // namespace

TVersionInfo::TVersionInfo(QWidget* Owner, const TVersionInfoParams& Params)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      imgIcon(NewLabel(this, "imgIcon")), lblTitle(NewLabel(this, "lblTitle")),
      lblCopyright(NewLabel(this, "lblCopyright")), lblURL(NewLabel(this, "lblURL")),
      lblVxComm3(NewLabel(this, "lblVxComm3", QStringLiteral("VxComm3.so Version"))),
      lblAdapter(NewLabel(this, "lblAdapter", QStringLiteral("Support Adapters"))),
      lblVxCommVersion(NewLabel(this, "lblVxCommVersion")), lblSupportAdapters(NewLabel(this, "lblSupportAdapters")),
      lblVxComm3ip(NewLabel(this, "lblVxComm3ip", QStringLiteral("VxComm3ip.so Version"))),
      lblIPAdapter(NewLabel(this, "lblIPAdapter", QStringLiteral("Support Adapters"))),
      lblVxCommIPVersion(NewLabel(this, "lblVxCommIPVersion")),
      lblIPSupportAdapters(NewLabel(this, "lblIPSupportAdapters")), lblOSVersion(NewLabel(this, "lblOSVersion")),
      lblMemoryAvailable(NewLabel(this, "lblMemoryAvailable")), pgbarMemoryAvailable(new QProgressBar(this)),
      lblMemoryAvailablePer(NewLabel(this, "lblMemoryAvailablePer")), tmrMemory(new QTimer(this)),
      btnOK(new QPushButton(QStringLiteral("OK"), this)), bvlLine1(NewLine(this, "bvlLine1")),
      bvlLine2(NewLine(this, "bvlLine2"))
{
    setObjectName(QStringLiteral("VersionInfo"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setProperty("HelpContext", 999);
    pgbarMemoryAvailable->setObjectName(QStringLiteral("pgbarMemoryAvailable"));
    pgbarMemoryAvailable->setTextVisible(false);
    tmrMemory->setObjectName(QStringLiteral("tmrMemory"));
    tmrMemory->setInterval(1000);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnOK->setMinimumWidth(81);

    auto* Head = new QGridLayout;
    Head->addWidget(imgIcon, 0, 0, 3, 1, Qt::AlignTop);
    Head->addWidget(lblTitle, 0, 1);
    Head->addWidget(lblCopyright, 1, 1);
    Head->addWidget(lblURL, 2, 1);
    Head->setColumnStretch(1, 1);
    Head->setHorizontalSpacing(16);

    auto* Libraries = new QGridLayout;
    Libraries->addWidget(lblVxComm3, 0, 0);
    Libraries->addWidget(lblVxCommVersion, 0, 1);
    Libraries->addWidget(lblAdapter, 1, 0);
    Libraries->addWidget(lblSupportAdapters, 1, 1);
    Libraries->addWidget(lblVxComm3ip, 2, 0);
    Libraries->addWidget(lblVxCommIPVersion, 2, 1);
    Libraries->addWidget(lblIPAdapter, 3, 0);
    Libraries->addWidget(lblIPSupportAdapters, 3, 1);
    Libraries->setColumnStretch(1, 1);
    Libraries->setContentsMargins(48, 0, 0, 0);

    auto* Memory = new QGridLayout;
    Memory->addWidget(lblMemoryAvailable, 0, 0, 1, 2);
    Memory->addWidget(pgbarMemoryAvailable, 1, 0);
    Memory->addWidget(lblMemoryAvailablePer, 1, 1);
    Memory->setContentsMargins(48, 0, 0, 0);

    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnOK);

    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Head);
    Layout->addWidget(bvlLine1);
    Layout->addLayout(Libraries);
    Layout->addWidget(bvlLine2);
    auto* Os = new QHBoxLayout;
    Os->setContentsMargins(48, 0, 0, 0);
    Os->addWidget(lblOSVersion);
    Layout->addLayout(Os);
    Layout->addLayout(Memory);
    Layout->addLayout(Buttons);
    Layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOK, &QPushButton::clicked, this, [this] { done(1); });
    connect(tmrMemory, &QTimer::timeout, this, &TVersionInfo::tmrMemoryTimer);
    FormCreate(Params);
    adjustSize();
    if (const QScreen* Screen = QGuiApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
}

TVersionInfo::TVersionInfo(QWidget* Owner) : TVersionInfo(Owner, CollectVersionInfoParams(ProgramPath)) {}

void TVersionInfo::FormCreate(const TVersionInfoParams& Params)
{
    QIcon Icon = QApplication::windowIcon();
    if (Icon.isNull())
        Icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    imgIcon->setPixmap(Icon.pixmap(32, 32));

    lblTitle->setText(QStringLiteral("Mirelo　Tolvane") + QStringLiteral("  ") +
                      VersionText(ProductVersionMajor, ProductVersionMinor, ProductVersionRelease));
    QFont Bold = lblTitle->font();
    Bold.setBold(true);
    lblTitle->setFont(Bold);
    lblCopyright->setText(QStringLiteral("Copyright (C) Pelmarco. All rights reserved."));
    lblURL->setText(MakerUrl);
    lblURL->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));

    // A library that could not be loaded shows no figures; the dialog is still of use for the rest.
    const auto Fill = [&Params](const TDeviceLibraryInfo& Info, QLabel* Version, QLabel* Count) {
        Version->setText(Info.Loaded ? DeviceVersionText(Info.Version) : QStringLiteral(":  -"));
        Count->setText(Info.Loaded ? AdapterCountText(Info.KindCount, Params.AdapterExtend) : QStringLiteral(":  -"));
    };
    Fill(Params.Serial, lblVxCommVersion, lblSupportAdapters);
    Fill(Params.IP, lblVxCommIPVersion, lblIPSupportAdapters);

    lblOSVersion->setText(SystemNameText());
    tmrMemoryTimer();
    imgIcon->setToolTip(QStringLiteral("Tolvaneの商品紹介サイトを開きます"));
    tmrMemory->start();
    imgIcon->setCursor(Qt::PointingHandCursor);
    lblURL->setCursor(Qt::PointingHandCursor);
    imgIcon->installEventFilter(this);
    lblURL->installEventFilter(this);
}

void TVersionInfo::tmrMemoryTimer()
{
    const TMemoryStatus Status = ReadMemoryStatus(MemInfoFile);
    if (!Status.Valid) {
        lblMemoryAvailable->setText(QStringLiteral("利用可能なメモリ:  -"));
        lblMemoryAvailablePer->clear();
        pgbarMemoryAvailable->setValue(0);
        return;
    }
    lblMemoryAvailable->setText(MemoryAvailableText(Status));
    lblMemoryAvailablePer->setText(MemoryPercentText(Status));
    // The bar counts in units that fit its integer range.
    qint64 Scale = 1;
    while (Status.TotalKB / Scale > std::numeric_limits<int>::max())
        Scale *= 1024;
    pgbarMemoryAvailable->setRange(0, static_cast<int>(Status.TotalKB / Scale));
    pgbarMemoryAvailable->setValue(static_cast<int>(Status.AvailableKB / Scale));
}

bool TVersionInfo::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
        if (Watched == lblURL)
            lblURLClick();
        else if (Watched == imgIcon)
            imgIconClick();
    }
    return QDialog::eventFilter(Watched, Event);
}

void TVersionInfo::lblURLClick()
{
    QDesktopServices::openUrl(QUrl(lblURL->text()));
}

void TVersionInfo::imgIconClick()
{
    QDesktopServices::openUrl(QUrl(ProductPageUrl));
}
