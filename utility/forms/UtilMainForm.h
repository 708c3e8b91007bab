#pragma once

#include "main/help/PDFHelp.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace Utility {

// The utility's one window: four pages of commands over the data folder, and the cancel button
// that ends the program. The commands of the conversions are shown but stay disabled until this
// program carries them.
class TMainForm : public QWidget
{
    Q_OBJECT

public:
    // The window's help contexts, page by page.
    static constexpr int PageHelpContexts[4] = {82, 86, 87, 89};

    explicit TMainForm(QWidget* Parent = nullptr);
    ~TMainForm() override;

    // Page 0
    QTabWidget* pgctlUtility = nullptr;
    QWidget* tabstDBManagement = nullptr;
    QWidget* tabstKyokubanChange = nullptr;
    QWidget* tabstDataConvert = nullptr;
    QWidget* tabstFbConvert = nullptr;
    QPushButton* bbtnOptimize = nullptr;
    QPushButton* bbtnBackup = nullptr;
    QComboBox* cbxRepair = nullptr;
    QPushButton* bbtnRepairIndex = nullptr;
    QPushButton* bbtnRestore = nullptr;
    // Page 1
    QPushButton* bbtn06PP = nullptr;
    QProgressBar* pgbar06PP = nullptr;
    QPushButton* bbtnConvertAdrsPos = nullptr;
    QProgressBar* pgbarConvertAdrsPos = nullptr;
    // Page 2
    QComboBox* cbxSrc = nullptr;
    QLineEdit* edtSrcDataPath = nullptr;
    QPushButton* bbtnSrcBrowse = nullptr;
    QLineEdit* edtDestDataPath = nullptr;
    QPushButton* bbtnDestBrowse = nullptr;
    QLabel* lblNameSet = nullptr;
    QWidget* pnlOption = nullptr;
    QRadioButton* rbCorpSet = nullptr;
    QRadioButton* rbNameSet = nullptr;
    QRadioButton* rbNameSetCorpSet = nullptr;
    QPushButton* bbtnConvert = nullptr;
    QProgressBar* pgbarConvert = nullptr;
    // Page 3
    QLineEdit* edtSrcVxDataPath = nullptr;
    QComboBox* cbxFbDest = nullptr;
    QLineEdit* edtDestFbDataPath = nullptr;
    QPushButton* bbtnDestFbBrowse = nullptr;
    QPushButton* bbtnSrcVxBrowse = nullptr;
    QLabel* lblAdrs = nullptr;
    QLabel* pnlAdrs = nullptr;
    QPushButton* bbtnSelectAdrs = nullptr;
    QComboBox* cbxTel1Set = nullptr;
    QComboBox* cbxTel2Set = nullptr;
    QPushButton* bbtnFbConvert = nullptr;
    QPushButton* btnCancel = nullptr;
    QProgressBar* pgbarFbConvert = nullptr;

    // The page's first control, by page index.
    [[nodiscard]] QWidget* FirstControl(int Page) const;

    void bbtnOptimizeClick();
    void bbtnRepairIndexClick();
    void bbtnBackupClick();
    void bbtnRestoreClick();
    void bbtnKyokubanChangeClick();
    void bbtnConvertAdrsPosClick();
    void pgctlUtilityChange(int Page);
    // Enter only moves on to the repair button; it never starts the repair.
    bool cbxRepairKeyPress(int Key);
    // The page "Fernbookへデータコンバート".
    void cbxFbDestClick();
    void bbtnSrcVxBrowseClick();
    void bbtnDestFbBrowseClick();
    void bbtnSelectAdrsClick();
    void bbtnFbConvertClick();
    // Enter keys of the page's fields: each moves the focus on and is swallowed.
    bool FbPageKeyPress(QObject* Control, int Key);
    // The chosen book, an index into FbAdrsBooks; -1 for none.
    [[nodiscard]] int ChosenAdrsBook() const { return FChosenAdrsBook; }
    [[nodiscard]] const QString& AdrsFolder() const { return FAdrsFolder; }
    // The data-convert page.
    void cbxSrcClick(int Index);
    bool cbxSrcKeyPress(int Key);
    bool edtSrcDataPathKeyPress(int Key);
    bool edtDestDataPathKeyPress(int Key);
    void bbtnSrcBrowseClick();
    void bbtnDestBrowseClick();
    void rbOptionClick(int Tag);
    bool rbOptionKeyPress(int Key);
    void bbtnConvertClick();
    [[nodiscard]] int NameOverflowOption() const { return FNameOverflowOption; }
    // F1 on any window of the program opens the guide at that window's page.
    bool ApplicationHelp(int HelpContext);

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormShow();
    void BuildDBManagementPage();
    void BuildKyokubanChangePage();
    void BuildDataConvertPage();
    void BuildFbConvertPage();
    void ConnectFbConvertPage();
    void SetAdrsFolder(const QString& FbDataFolder);
    [[nodiscard]] bool FbConvertChecks(QString& BookFolder);
    int FbBox(const QString& Text, unsigned Flags);
    void WireDataConvertPage();
    bool DataConvertKeyPress(QObject* Watched, int Key);
    void FocusAtEnd(QLineEdit* Edit);
    bool Browse(QLineEdit* Edit, const QString& Prompt);
    [[nodiscard]] int ChosenVersion() const;

    TPDFHelp PDFHelp;
    bool FShown = false;
    int FCurrentSourceIndex = 0;
    int FNameOverflowOption = -1;
    int FCurrentFbDestIndex = 0;
    int FChosenAdrsBook = -1;
    // By edition: the data folder found at start (or the not-found text) and the text last shown.
    std::array<QString, 2> FFbFolders;
    std::array<QString, 2> FFbEdits;
    QString FAdrsFolder;
};

} // namespace Utility
