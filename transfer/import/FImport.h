#pragma once

#include "transfer/common/TableCopy.h"
#include "transfer/import/ImportItems.h"
#include "transfer/import/ImportRun.h"
#include "transfer/import/ImportSettings.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

// What the import needs of windows it does not link: the call-history list, reloaded after a run
// that stored history rows. The program fills it at start.
struct TFileImportHooks
{
    std::function<void()> ReloadHistoryList;
    // The room the backup needs and finds; tests stand in for a full disk here.
    std::function<TBackupMeasure(const QString& DestFolder, const QStringList& Names, const QString& SourceFolder)>
        MeasureBackup = ::MeasureBackup;
};
[[nodiscard]] TFileImportHooks& FileImportHooks();

// "テキストファイル取り込み": reads a comma-separated text file into the call history or the
// directory. The user maps the fields of the file's first line (and constants) onto the items of the
// destination; "取り込み(&I)" runs the import.
class TFileImport : public QDialog
{
    Q_OBJECT
public:
    explicit TFileImport(QWidget* Owner = nullptr);

    QRadioButton* rbRecvHis;
    QRadioButton* rbAddMeibo;
    QLineEdit* edtFile;
    QPushButton* bbtnBrowseFile;
    QTableWidget* sgSrc;
    QTableWidget* sgDest;
    QPushButton* bbtnSet;
    QPushButton* bbtnAdd;
    QPushButton* bbtnConst;
    QPushButton* bbtnDelete;
    QPushButton* bbtnRowClear;
    QPushButton* bbtnAllClear;
    QPushButton* bbtnUp;
    QPushButton* bbtnDown;
    QPushButton* bbtnAllSet;
    QMenu* pmDest;
    QAction* pmiSetOrderView;
    QAction* pmiRowClear;
    QAction* pmiAllClear;
    QCheckBox* chkSkipRecord;
    QCheckBox* chkSameReplace;
    QCheckBox* chkNotAutoSupplement;
    QLabel* lblMsg1;
    QProgressBar* pbImport;
    QPushButton* btnImport;
    QPushButton* btnCancel;
    QGroupBox* gbxFile;
    QGroupBox* gbxLayout;
    QGroupBox* gbxOption;

    // For each piece column 1..9 (entry 0 unused) the code of each destination row (entry 0 unused):
    // "n" a field, "\r" + n a field blank in line 1, "\n" a constant, empty no piece.
    std::array<QStringList, 10> PieceCodes;

    // Reads line 1 of FileName into the source list; false when the file was refused.
    bool ReadFirstLine(const QString& FileName);
    // The piece in Column of item Row := the current source field.
    void SetPiece(int Column, int Row);
    // The mapping as the run takes it.
    [[nodiscard]] TImportMapping Mapping() const;

    void btnImportClick();
    void bbtnAllSetClick();
    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The run through the event loop; no counts when it failed (the user has been told) or the
    // program is ending.
    [[nodiscard]] std::optional<TImportCounts> RunInBatches(TImportRun& Run);
    void ShowProgress(int ReadCount);
    void BuildControls();
    void FormCreate();
    void FormShow();
    void rbImportDestClick(int Tag);
    void edtFileEnter();
    void bbtnBrowseFileClick();
    void OpenDialogShow(QFileDialog& Dialog);
    void ReadTypedFile(const QString& FileName);
    void ShowFernbookNotice();

    // The mapping grid (FImportGrid.cpp).
    void BuildDestGrid();
    void ClearSourceList();
    void SetGridsEnabled(bool Enabled);
    void ClearAllPieces();
    [[nodiscard]] int DestRow() const;
    [[nodiscard]] int UsedPieces(int Row) const;
    void SetPieceCell(int Column, int Row, const QString& Code, const QString& Text);
    void bbtnSetClick();
    void bbtnAddClick();
    void bbtnConstClick();
    void bbtnDeleteClick();
    void RowClearClick();
    void AllClearClick();
    void MoveRow(int Delta);
    void ResetPieceButtons();
    void FirstPieceButtons();
    void UpdateMoveButtons();
    void UpdateAllClear();
    void sgDestSelectCell(int Row);
    void SetOrderViewClick();
    void SourceDoubleClick();
    void DropOnDest(const QPoint& At);
    void ColourChecked();
    // The three select-item captions of the settings, blank ones by their defaults.
    [[nodiscard]] static QStringList SelectItemNames();
    bool FilterGridEvent(QObject* Watched, QEvent* Event);

    TFileImportSettings FSettings;
    TImportDest FDest = TImportDest::RecvHis;
    QList<TImportItem> FItems;
    bool FLoaded = false;
    bool FRunning = false;
    TImportEncoding FEncoding = TImportEncoding::Cp932;
    QString FReadFile;
    int FSourceCount = 0;
    bool FShowing = false;
    bool FSkipNextSourcePress = false;
};
