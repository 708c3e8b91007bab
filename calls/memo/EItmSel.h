#pragma once

#include "calls/memo/MemoPrintItems.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QToolButton;

// "項目設定": which items the memo print and the copy take, in which order, and the memo's font.
// The font, the page shown and the question before printing go into MemoPrintSettings on OK.
class TExportItemSelect : public QDialog
{
    Q_OBJECT
public:
    TExportItemSelect(QWidget* Owner, bool Fb);

    void SetItems(const QList<TMemoPrintItem>& Entries, int HighIndex);
    void GetItems(QList<TMemoPrintItem>& Entries) const;

    QTabWidget* pgcMemoPrint;
    QWidget* tbsItem;
    QWidget* tbsFont;
    QListWidget* lvExportItem;
    QToolButton* bbtnTop;
    QToolButton* bbtnUp;
    QToolButton* bbtnDown;
    QToolButton* bbtnBottom;
    QToolButton* bbtnAll;
    QToolButton* bbtnReSort;
    QCheckBox* chkPrintMessage;
    QListWidget* lbxFontName;
    QLabel* pnlSample;
    QComboBox* cbxFontSize;
    QCheckBox* chkBold;
    QCheckBox* chkItalic;
    QLabel* pnlCharset;
    QPushButton* btnOk;
    QPushButton* btnCancel;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateControls();
    void FormCreate();
    void FillList();
    void btnOkClick();
    void bbtnItemUpClick(bool ToTop);
    void bbtnItemDownClick(bool ToBottom);
    void bbtnAllClick();
    void bbtnReSortClick();
    void lvExportItemDblClick();
    void lbxFontNameClick();
    void chkBoldClick();
    void cbxFontSizeClick();
    void chkPrintMessageClick();
    void MoveFocused(int To);
    void TakeChecks();
    [[nodiscard]] int SelectedCharset() const;

    bool FFb;
    QList<TMemoPrintItem> FItems;
    QFont FSampleFont;
};
