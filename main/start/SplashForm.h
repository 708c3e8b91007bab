#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The picture shown while the program starts. It closes itself 2.5 s after it was shown and frees
// itself; the main window's creation waits for that.
class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* Parent = nullptr);
    ~TSplashForm() override;

    QTimer* tmrView;

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

private:
    void tmrViewTimer();

    QPixmap Picture;
};

// The splash window while it exists, else null.
extern TSplashForm* SplashForm;

// Creates the splash window, shows it and paints it at once.
void ShowSplash();

// Keeps the message loop running until the splash window has closed itself.
void WaitForSplashClosed();
