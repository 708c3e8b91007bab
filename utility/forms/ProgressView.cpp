#include "utility/forms/ProgressView.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace Utility {

TProgressView::TProgressView(QWidget* Parent)
    : QWidget(Parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ProgressView"));
    setWindowTitle(QStringLiteral("ProgressView"));
    lblMsg = new QLabel(QStringLiteral("処理中です．．．"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    pgbarConvert = new QProgressBar(this);
    pgbarConvert->setObjectName(QStringLiteral("pgbarConvert"));
    pgbarConvert->setFixedSize(333, 16);
    pgbarConvert->setTextVisible(false);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(8, 6, 8, 8);
    Layout->addWidget(lblMsg);
    Layout->addWidget(pgbarConvert);
    // Without a caption bar the window needs an edge of its own to stand out from what lies below.
    setAutoFillBackground(true);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#ProgressView { border: 1px solid palette(dark); }"));
    setFixedSize(349, 60);
}

void TProgressView::SetRange(int Max, int Min, int Position)
{
    pgbarConvert->setRange(Min, Max);
    pgbarConvert->setValue(Position);
}

void TProgressView::Step(int Delta)
{
    pgbarConvert->setValue(pgbarConvert->value() + Delta);
    QCoreApplication::processEvents();
}

void TProgressView::ShowCentred()
{
    if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
        const QRect Area = Screen->geometry();
        move(Area.x() + (Area.width() - width()) / 2, Area.y() + (Area.height() - height()) / 2);
    }
    show();
    QCoreApplication::processEvents();
}

} // namespace Utility
