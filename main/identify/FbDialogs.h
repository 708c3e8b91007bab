#pragma once

#include "main/identify/DBInfoFb.h"

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class QWidget;

// The two confirmations of the address-book link: the backup of the chosen book before the
// program starts, and the start of the directory product from the menu. Both show the edition and
// the book in use; "はい(&Y)" closes with modal result 1, "いいえ(&N)" with 2.
class TFbConfirmDialog : public QDialog
{
    Q_OBJECT
public:
    QLabel* lblFbName;
    QLabel* lblAdrsName;
    QPushButton* btnYes;
    QPushButton* btnNo;

protected:
    // Lines: the texts above and below the edition and book lines.
    TFbConfirmDialog(QWidget* Owner, const QString& Caption, const QStringList& Above, const QStringList& Below);

private:
    void btnYesClick();
    void btnNoClick();
};

// "Fernbookデータのバックアップ確認"
class TBackupFb : public TFbConfirmDialog
{
    Q_OBJECT
public:
    explicit TBackupFb(QWidget* Owner);
};

// "Fernbookの起動確認"
class TRunFb : public TFbConfirmDialog
{
    Q_OBJECT
public:
    explicit TRunFb(QWidget* Owner);
};

// What the start-up shows when the backup failed.
inline const QString FbBackupFailedText = QStringLiteral("アドレス帳のバックアップに失敗しました　");

// Runs a backup of a book under the progress window "Fernbookのアドレス帳データをバックアップ中．．．"
// owned by Owner, whose cancel button stops it; the backup's answer.
[[nodiscard]] bool RunFbBackupWithProgress(QWidget* Owner, const std::function<bool(const TFbBackupProgress&)>& Backup);

// The start-up backup of the chosen book (BackupFbAdrs) under a progress window owned by Owner,
// whose cancel button stops it. False when it failed or was stopped; the previous backup is kept.
[[nodiscard]] bool BackupFbAdrsWithProgress(QWidget* Owner, const QString& DataPath);

// Connects the settings dialog to the address-book link: the editions' folders, the book lists,
// the data module, the backup under its progress window and the product page.
void InstallFbEnvHooks();
