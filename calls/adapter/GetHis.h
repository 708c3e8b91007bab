#pragma once

#include "calls/adapter/HistoryImport.h"

#include <QDialog>

class QGroupBox;
class QListWidget;
class QPushButton;
class QWidget;
class TMyHeaderControl;

// "着信履歴取り込み": reads the calls the adapter logged itself, lists them, and appends the chosen
// ones to the call history. Stays open after a save so that more can be saved.
class TGetReceiveHistory : public QDialog
{
    Q_OBJECT
public:
    explicit TGetReceiveHistory(QWidget* Owner = nullptr);

    [[nodiscard]] const QList<THistoryImportEntry>& Entries() const { return EntryList; }

    // The call-history list's reload after a save.
    std::function<void()> ReloadHistoryList;

    QGroupBox* grpRecvHis;
    QWidget* pnlHeader;
    TMyHeaderControl* myhcRecvHis;
    QListWidget* lbxRecvHis;
    QPushButton* btnSave;
    QPushButton* btnCancel;

protected:
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormActivate();
    void ReadHistory();
    void btnSaveClick();
    void FocusAfterList();
    int Message(const QString& Text, unsigned Flags);

    QList<THistoryImportEntry> EntryList;
    bool FActivated = false;
};

// Opens the dialog over Owner, modal, and releases it.
void ShowGetReceiveHistory(QWidget* Owner);
