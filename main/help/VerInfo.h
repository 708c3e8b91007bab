#pragma once

#include "main/help/VerInfoData.h"

#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// "バージョン情報": the program's name and version, the device libraries with their adapter counts,
// the system's name and the available memory, refreshed every second. The opener creates it with the
// device library values it holds, shows it modally and frees it.
class TVersionInfo : public QDialog
{
    Q_OBJECT
public:
    TVersionInfo(QWidget* Owner, const TVersionInfoParams& Params);
    // With the figures of the program's device libraries (CollectVersionInfoParams of the program folder).
    explicit TVersionInfo(QWidget* Owner);

    QLabel* imgIcon;
    QLabel* lblTitle;
    QLabel* lblCopyright;
    QLabel* lblURL;
    QLabel* lblVxComm3;
    QLabel* lblAdapter;
    QLabel* lblVxCommVersion;
    QLabel* lblSupportAdapters;
    QLabel* lblVxComm3ip;
    QLabel* lblIPAdapter;
    QLabel* lblVxCommIPVersion;
    QLabel* lblIPSupportAdapters;
    QLabel* lblOSVersion;
    QLabel* lblMemoryAvailable;
    QProgressBar* pgbarMemoryAvailable;
    QLabel* lblMemoryAvailablePer;
    QTimer* tmrMemory;
    QPushButton* btnOK;
    QFrame* bvlLine1;
    QFrame* bvlLine2;

    // Where the memory figures come from; tests point it at a file of their own.
    QString MemInfoFile = QStringLiteral("/proc/meminfo");

    void tmrMemoryTimer();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate(const TVersionInfoParams& Params);
    void lblURLClick();
    void imgIconClick();
};

// The maker's addresses the dialog opens.
inline const QString MakerUrl = QStringLiteral("https://www.pelmarco.example/");
inline const QString ProductPageUrl = QStringLiteral("https://www.pelmarco.example/tolvane16/");
