#include "main/start/SplashForm.h"

#include "main/start/MainIcons.h"
#include "main/start/MainStartup.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

TSplashForm* SplashForm = nullptr;

namespace {
constexpr int SplashTime = 2500;
}

TSplashForm::TSplashForm(QWidget* Parent)
    : QWidget(Parent, Qt::SplashScreen | Qt::FramelessWindowHint), tmrView(new QTimer(this)), Picture(SplashPicture())
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Picture.deviceIndependentSize().toSize());
    tmrView->setObjectName(QStringLiteral("tmrView"));
    tmrView->setInterval(SplashTime);
    tmrView->setSingleShot(true);
    connect(tmrView, &QTimer::timeout, this, &TSplashForm::tmrViewTimer);
    if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
        QRect Frame = rect();
        Frame.moveCenter(Screen->availableGeometry().center());
        move(Frame.topLeft());
    }
}

TSplashForm::~TSplashForm()
{
    if (SplashForm == this)
        SplashForm = nullptr;
}

void TSplashForm::closeEvent(QCloseEvent* Event)
{
    QWidget::closeEvent(Event);
    if (SplashForm == this)
        SplashForm = nullptr;
}

void TSplashForm::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    tmrView->start();
}

void TSplashForm::paintEvent(QPaintEvent* Event)
{
    QPainter Painter(this);
    Painter.drawPixmap(0, 0, Picture);
}

void TSplashForm::tmrViewTimer()
{
    close();
}

void ShowSplash()
{
    SplashForm = new TSplashForm;
    SplashForm->show();
    SplashForm->repaint();
    QCoreApplication::processEvents();
}

void WaitForSplashClosed()
{
    while (SplashForm && !ProgramEnding)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // The deferred delete of the closed window runs in the next pass.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
