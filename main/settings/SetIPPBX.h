#pragma once

#include "main/settings/IPPBXIni.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "詳細設定": the IP-PBX device library's settings file VxComm3ip.ini, for the adapter chosen on the
// settings dialog (IPPBXAdapterName, IPPBXAdapterKind). Saving sets IPPBXDetailChanged.
class TSetIPPBXDetail : public QDialog
{
    Q_OBJECT
public:
    // ShowHints: the settings dialog's hint box is ticked.
    TSetIPPBXDetail(QWidget* Owner, bool ShowHints);

    QLineEdit* edtKind;
    QLineEdit* edtHost;
    QLineEdit* edtFrom;
    QLineEdit* edtTelno;
    QLineEdit* edtUser;
    QLineEdit* edtPassword;
    QLabel* lblUser1;
    QLabel* lblUser2;
    QLabel* lblPassword1;
    QLabel* lblPassword2;
    QPushButton* btnSet;
    QPushButton* btnCancel;

    [[nodiscard]] bool FileExisted() const { return FFileExisted; }
    [[nodiscard]] bool SaveIPPBXSettings();
    void LoadIPPBXSettings();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void btnSetClick();
    void btnCancelClick();
    [[nodiscard]] bool UserRowsShown() const;
    [[nodiscard]] TIPPBXValues TypedValues() const;

    bool FFileExisted = false;
};
