#pragma once

#include "transfer/print/ListPrt.h"
#include "transfer/print/ListPrtRules.h"

#include <QDialog>
#include <QList>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableWidget;
class QToolButton;
class TMemIniFile;
class TNumberUpDown;
class TPaintPanel;

// Recounts the records per page once the margin edit's handling has finished.
inline constexpr std::uint32_t WM_LISTPRINT_RECALC = 0x8000 + 0x300;

inline const QString NoPrinterMessage =
    QStringLiteral("プリンターがインストールされていません  \r\n\r\n先にプリンターをインストールしてください  ");
inline const QString FernbookNotice =
    QStringLiteral("ここでの一覧表印刷はTolvaneの登録名簿が対象です  "
                   "\r\n\r\nFernbookのアドレス帳を登録名簿として利用している場合は  \r\n"
                   "Fernbook側で操作をおこなってください　 ");
inline const QString PageTooSmallMessage =
    QStringLiteral("１ページに１件も印刷できません  \r\n\r\n余白、タイトル、フォントのサイズを変更してください  ");

// "一覧表の印刷": every setting of a printed list on four pages, kept in VxRelvo16.ini [LIST PRINT].
// The preview and the print lists read the model through the window's global ListPrint while it
// exists. The page-0 handlers (items, layout, templates) live in ListPrtItems.cpp, the number edits
// and the Enter walk in ListPrtKeys.cpp, the rule and colour page in ListPrtLines.cpp.
class TListPrint : public QDialog
{
    Q_OBJECT
public:
    explicit TListPrint(QWidget* Owner = nullptr);
    ~TListPrint() override;

    TListPrintModel Model;

    // Page buttons and pages.
    std::array<QToolButton*, 4> PageButtons{};
    QStackedWidget* pgctlListPrint;

    // Page 0, "印刷内容".
    QRadioButton* rbRecvHis;
    QRadioButton* rbAddMeibo;
    QComboBox* cbxTemplateName;
    QPushButton* bbtnSaveTemplate;
    QPushButton* bbtnDeleteTemplate;
    QListWidget* lbxSrc;
    QListWidget* lbxDest;
    QPushButton* bbtnSet;
    QPushButton* bbtnDelete;
    QPushButton* bbtnAllClear;
    QPushButton* bbtnUp;
    QPushButton* bbtnDown;
    QLineEdit* edtSize;
    TNumberUpDown* udSize;
    QCheckBox* chkIgnoreTdfkn;
    QLineEdit* edtTitle;
    QComboBox* cbxTitlePosX;
    QCheckBox* chkViewDate;
    QDateEdit* dtpViewDate;
    QComboBox* cbxDatePosX;
    QComboBox* cbxDatePosY;
    QCheckBox* chkViewPage;
    QComboBox* cbxPageType;
    QComboBox* cbxPagePosX;
    QComboBox* cbxPagePosY;

    // Page 1, "書式".
    QListWidget* lbxFontName;
    QLabel* pnlCharset;
    QLabel* pnlSample;
    QComboBox* cbxFontSize;
    QCheckBox* chkBold;
    QCheckBox* chkItalic;
    QComboBox* cbxRows;
    QLineEdit* edtOffsetX;
    TNumberUpDown* udOffsetX;
    QLineEdit* edtOffsetY;
    TNumberUpDown* udOffsetY;
    QLabel* lblLineCount;

    // Page 2, "罫線・色".
    std::array<QToolButton*, 9> RuleButtons{}; // sbtnTop .. sbtnRight, then none, outer, inner
    TPaintPanel* pnlLinePreview;
    QTableWidget* dgLineType;
    QLineEdit* edtInterval;
    TNumberUpDown* udInterval;
    QLabel* pnlHeaderColor;
    QPushButton* bbtnHeaderColor;
    QPushButton* bbtnClearHeaderColor;
    QListWidget* lbxColor;
    QPushButton* bbtnDataColor;
    QPushButton* bbtnDeleteDataColor;

    // Page 3, "範囲・プリンター".
    QRadioButton* rbList;
    QRadioButton* rbRange;
    QRadioButton* rbAll;
    QLineEdit* edtCopies;
    TNumberUpDown* udCopies;
    QLabel* pnlPrinterName;
    QLabel* pnlPaperSize;
    QLabel* pnlOrientation;
    QPushButton* btnPrinterSetup;

    QPushButton* btnPreview;
    QPushButton* btnList;
    QPushButton* btnCancel;

    // The working rules of page 2; CollectPrintSettings copies them into the settings.
    TRuleState Rules;
    // How many times the records per page were counted (tests watch what recounts).
    int RecountCount = 0;

    void LoadPrintSettings();
    [[nodiscard]] bool SavePrintSettings();
    void ShowPrintSettings();
    void CollectPrintSettings();
    void CountSourceRecords();
    void CountRecordsPerPage();
    void ShowCharsetSample(int Charset);

    void PageButtonClick(int Tag);
    [[nodiscard]] int CurrentPage() const { return FCurrentPage; }

    // Page 0.
    void FillTemplateNames();
    void FillItemList();
    void ShowLayout();
    void UpdateSizeEdit();
    void UpdateMoveButtons();
    void SourceClick(int Source);
    void cbxTemplateNameClick();
    void bbtnSetClick();
    void bbtnDeleteClick();
    void bbtnAllClearClick();
    void MoveClick(bool Up);
    void bbtnSaveTemplateClick();
    void bbtnDeleteTemplateClick();

    // Page 2.
    void RuleButtonClick(int Tag);
    void HeaderColorClick();
    void ClearHeaderColorClick();
    void DataColorClick();
    void DeleteDataColorClick();
    [[nodiscard]] QList<int> DataColors() const;

    void btnPreviewClick();
    void btnListClick();
    void btnPrinterSetupClick();

protected:
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    struct TNumberEdit
    {
        QLineEdit* Edit = nullptr;
        TNumberUpDown* UpDown = nullptr;
        int Last = 0;
        bool Margin = false;
    };
    std::array<TNumberEdit, 5> FEdits{};
    int FCurrentPage = -1;
    int FSelectedTemplate = -1;
    int FDataSelect = 0;
    bool FShown = false;
    bool FTitleWasEmpty = true;
    QFont FSampleFont;
    std::unique_ptr<TMemIniFile> FIni;

    void CreatePage0(QWidget* Page);
    void CreatePage1(QWidget* Page);
    void CreatePage2(QWidget* Page);
    void CreatePage3(QWidget* Page);
    void CreateNumberEdit(int Tag, QLineEdit* Edit, TNumberUpDown* UpDown, int MaxLength);
    void NumberEditExit(int Tag);
    bool NumberEditKeyDown(int Tag, QKeyEvent* Key);
    bool UpDownChanging(int Tag, int NewValue);
    bool EnterKeyDown(QObject* Watched);
    bool DropEvent(QObject* Watched, QEvent* Event);
    void FocusNext(QWidget* From);
    void PressPage(int Tag);
    void UpdateLayoutButtons();
    void ShowPrinterPanels();
    void ShowCheckedColors();
    void ShowHeaderColor(int Color, bool Exists);
    void SetDateControls();
    void SetPageControls();
    [[nodiscard]] bool RecordsPerPageRefused();
    void SaveWindowPosition();
};

// Set while the window exists; the preview and the print lists read the settings through it.
extern TListPrint* ListPrint;

// The list-print command: the no-printer message, or the window shown modally and released.
void ShowListPrint(QWidget* Owner);
