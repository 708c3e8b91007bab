#pragma once

#include "utility/forms/BackupData.h"
#include "utility/tables/BackupRestore.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTreeWidget;

namespace Utility {

// The restore wizard: a backup's files copied into the data folder or into another folder, which
// may then become the data folder.
class TRestoreData : public TWizardDialog
{
    Q_OBJECT

public:
    explicit TRestoreData(QWidget* Owner);

    QStackedWidget* pgctlRestore = nullptr;
    QLineEdit* edtSrc = nullptr;
    QPushButton* bbtnBrowseSrc = nullptr;
    QRadioButton* rbNowDataPath = nullptr;
    QRadioButton* rbSelectDataPath = nullptr;
    QLineEdit* edtDest = nullptr;
    QPushButton* bbtnBrowseDest = nullptr;
    QTreeWidget* lvResult = nullptr;
    QCheckBox* chkChangeDataPath = nullptr;
    QPushButton* btnRestore = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnclose = nullptr;

    // Whether closing made the restored folder the data folder.
    [[nodiscard]] bool DataPathChanged() const { return FDataPathChanged; }

    void rbDataPathClick();
    void BrowseClick(bool Destination);
    void btnRestoreClick();
    void chkChangeDataPathClick();
    void btncloseClick();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    QString FSource;
    QString FDest;
    bool FDataPathChanged = false;
};

} // namespace Utility
