#pragma once

#include "directory/dicdialog/DicProgram.h"
#include "directory/dicdialog/DicSearchResult.h"
#include "main/common/CallerRec.h"

#include <QDialog>
#include <QList>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QWheelEvent;
class TAdrsSearch;
class TKykbnSearch;
class TPosSearch;

// "検索": the dictionary dialog with which a window looks up a telephone number, a postal code or an
// address and takes the chosen entry back into its edits.
//
// How a window opens it: create it with the window as owner, centre it over the window (CenterForm),
// call SetTabs (7, EarlierSearch), then StartSearch (the button's tag, the text).
//   StartSearch 0: run it modally (exec); 1: it decided by itself, act as on QDialog::Accepted;
//   anything else: free it without showing it.
// After Accepted: ResultKind 9 (DicResultCaller): GetResult (TCallerRecord&) gives the entry of the
// directory that holds the number; 0, 1, 2: GetResult (TDicSearchResult&) gives the address.
// The window frees the dialog afterwards.
class TDicSearch : public QDialog
{
    Q_OBJECT
public:
    explicit TDicSearch(QWidget* Owner = nullptr, const TDicProgram& Program = DicProgram());
    ~TDicSearch() override;

    // Bit 0 (1) telephone tab, bit 1 (2) postal tab, bit 2 (4) address tab; the others are hidden.
    // EarlierSearch goes to the caller identification of the telephone search.
    void SetTabs(int TabBits, bool EarlierSearch);
    // Kind 0, 1, 4, 5 telephone; 2 postal code; 3 address; any other searches nothing.
    // 1: decided by itself; else for the telephone kinds 0 (show it) or 9 (nothing to show); else 0.
    [[nodiscard]] int StartSearch(int Kind, const QString& Text);
    // The caller record when ResultKind is 9; else an empty record.
    void GetResult(TCallerRecord& Dest) const;
    // The address when ResultKind is 0, 1 or 2.
    void GetResult(TDicSearchResult& Dest) const;
    // 0 telephone, 1 postal code, 2 address (the tab the result came from), 9 an entry of the directory.
    [[nodiscard]] int ResultKind() const { return FResultKind; }
    [[nodiscard]] bool Decided() const { return FDecided; }

    static constexpr int DicResultTel = 0;
    static constexpr int DicResultPos = 1;
    static constexpr int DicResultAdrs = 2;
    static constexpr int DicResultCaller = 9;

    // Controls, named as on the form.
    QTabWidget* pgctlDicType = nullptr;
    QWidget* tabstTelSch = nullptr;
    QWidget* tabstPosSch = nullptr;
    QWidget* tabstAdrsSch = nullptr;
    QPushButton* btnDecision = nullptr;
    QPushButton* btnCancel = nullptr;

    QLabel* lblTelSch = nullptr;
    QLineEdit* edtTelSch = nullptr;
    QToolButton* bbtnTelSch = nullptr;
    QTreeWidget* lvTelCity = nullptr;
    QComboBox* cbxTelViewKana = nullptr;
    QTreeWidget* lvTelTown = nullptr;

    QLabel* lblPosSch = nullptr;
    QLineEdit* edtPosSch = nullptr;
    QToolButton* bbtnPosSch = nullptr;
    QTreeWidget* lvPosCity = nullptr;
    QRadioButton* rbPosViewTown = nullptr;
    QRadioButton* rbPosViewOhguchi = nullptr;
    QComboBox* cbxPosViewKana = nullptr;
    QTreeWidget* lvPosTown = nullptr;

    QLabel* lblAdrsSch = nullptr;
    QLineEdit* edtAdrsSch = nullptr;
    QToolButton* bbtnAdrsSch = nullptr;
    QTreeWidget* lvAdrsCity = nullptr;
    QRadioButton* rbAdrsViewTown = nullptr;
    QRadioButton* rbAdrsViewOhguchi = nullptr;
    QComboBox* cbxAdrsViewKana = nullptr;
    QTreeWidget* lvAdrsTown = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    // The controls and state of one tab; the three tabs behave alike.
    struct TTab
    {
        int Index = 0;
        QWidget* Sheet = nullptr;
        QLabel* Prompt = nullptr;
        QLineEdit* Edit = nullptr;
        QToolButton* Search = nullptr;
        QTreeWidget* City = nullptr;
        QRadioButton* ViewTown = nullptr;    // none on the telephone tab
        QRadioButton* ViewOhguchi = nullptr; // the same
        QComboBox* Kana = nullptr;
        QTreeWidget* Town = nullptr;
        int ListedCity = -1;
        int KanaFilter = 0;
    };

    void FormCreate();
    void BuildTab(TTab& Tab, const char* Prefix);
    void pgctlDicTypeChange();
    [[nodiscard]] TTab& ActiveTab();
    // The search of Tab: 0 lists filled (or decided), else nothing to show.
    int RunSearch(TTab& Tab);
    int TelSearch();
    int PosSearch();
    int AdrsSearch();
    [[nodiscard]] bool CheckNumber(TTab& Tab, const QString& Prompt);
    int AddressSearch(TTab& Tab, const std::function<int()>& Search, const std::function<QStringList()>& Captions,
                      const QString& BadInput);
    void FillCityList(TTab& Tab, const QStringList& Captions);
    [[nodiscard]] int SelectedCity(const TTab& Tab) const;
    void CitySelected(TTab& Tab);
    void ListTowns(TTab& Tab);
    void cbxViewKanaChange(TTab& Tab);
    void rbViewClick(TTab& Tab, bool Offices);
    void btnDecisionClick();
    bool FormMouseWheel(QWheelEvent* Wheel);
    bool KeyDown(TTab& Tab, QObject* Watched, QKeyEvent* Key);
    void ListMouseDown(QTreeWidget* List);
    void SetPrompt(TTab& Tab, const QString& Text, bool Warning);
    void ClearLists(TTab& Tab);
    [[nodiscard]] bool ShowsOffices(const TTab& Tab) const;
    void ShowError(const QString& Text);
    // Runs Action; a failure that escapes it is shown as the program's general error report shows
    // it, and the dialog stays usable. False when Action failed.
    bool Guarded(const std::function<void()>& Action);

    TTab FTel;
    TTab FPos;
    TTab FAdrs;
    std::unique_ptr<TKykbnSearch> FKykbn;
    std::unique_ptr<TPosSearch> FPosDic;
    std::unique_ptr<TAdrsSearch> FAdrsDic;
    bool FEarlierSearch = true;
    TDicProgram FProgram;
    int FResultKind = DicResultTel;
    bool FDecided = false;
    TDicSearchResult FResult;
    TCallerRecord FCallerRecord;
    QList<QRect> FTabRects;
};
