#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// "発信": dials one of a record's numbers through the adapter. The incoming-call and record windows
// hand it their numbers and run it modally; it dials by itself and stays open until "キャンセル".
class TCallsTelephone : public QDialog
{
    Q_OBJECT
public:
    explicit TCallsTelephone(QWidget* Owner = nullptr);

    // The non-empty numbers in their order, the first one selected.
    void SetNumbers(const QStringList& Numbers);

    QGroupBox* gbxTel;
    QComboBox* cbxTel;
    QGroupBox* gbxPort;
    QComboBox* cbxPort;
    QGroupBox* gbxExtention;
    QLineEdit* edtextention;
    QPushButton* btnDial;
    QPushButton* btnCancel;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
    void btnDialClick();
    void btnCancelClick();

    bool FIPPBX = false;
    int FPortIndex = 0;
    QList<int> FPorts; // the port number of each entry of cbxPort
    QString FExtension;
};

// Opens the dialog over Owner with Numbers and runs it: what the windows' dial buttons do.
void RunCallsTelephone(QWidget* Owner, const QStringList& Numbers);
