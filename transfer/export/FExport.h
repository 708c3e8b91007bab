#pragma once

#include "transfer/export/ExportSettings.h"

#include <QDialog>
#include <QPoint>
#include <functional>

class QButtonGroup;
class QCheckBox;
class TDMVxRelvo16;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The list windows "一覧(&L)" opens; the program fills this at start.
struct TFileExportHooks
{
    std::function<void(QWidget* Owner, int Source, const TExportLayout& Layout, const QStringList& ItemNames)> ShowList;
};
[[nodiscard]] TFileExportHooks& FileExportHooks();

// "テキストファイル出力": what to export, which records, how values are written, and the column
// layout of the file built from the source's 28 items. "一覧(&L)" saves it all and opens the list of
// the source, where the records are chosen and written.
class TFileExport : public QDialog
{
    Q_OBJECT
public:
    // Data: the module whose tables the list is checked for rows.
    explicit TFileExport(TDMVxRelvo16& Data, QWidget* Owner = nullptr);

    QRadioButton* rbRecvHis;
    QRadioButton* rbAddMeibo;
    QRadioButton* rbSelect;
    QRadioButton* rbRange;
    QRadioButton* rbAll;
    QRadioButton* rbEncrypt;
    QRadioButton* rbNormal;
    QCheckBox* chkOutHeader;
    QCheckBox* chkBindDblQuote;
    QCheckBox* chkEditTelHyphen;
    QCheckBox* chkEditPosHyphen;
    QCheckBox* chkEditDate;
    QCheckBox* chkEditTime;
    QTableWidget* sgDest;
    QTableWidget* sgSrc;
    QPushButton* bbtnSet;
    QPushButton* bbtnAdd;
    QPushButton* bbtnAllSet;
    QPushButton* bbtnDelete;
    QPushButton* bbtnAllClear;
    QPushButton* bbtnUp;
    QPushButton* bbtnDown;
    QPushButton* btnList;
    QPushButton* btnCancel;

    [[nodiscard]] const TExportState& State() const { return FState; }
    // The item names of the chosen source, as the item grid lists them.
    [[nodiscard]] QStringList ItemNames() const;

    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildControls();
    void FormCreate();
    void rbSourceClick(int Tag);
    void ColourChoices();
    void ShowLayout(int Row);
    void FillItems();
    void EnableButtons();
    void UpdateMoveButtons();
    [[nodiscard]] int DestRow() const;
    void bbtnSetClick();
    void bbtnAddClick();
    void bbtnAllSetClick();
    void bbtnDeleteClick();
    void bbtnAllClearClick();
    void bbtnUpClick();
    void bbtnDownClick();
    void btnListClick();
    void ShowFernbookNotice();
    [[nodiscard]] bool RefuseFull();
    // Dragging an item onto the layout (FExportDrag.cpp).
    bool FilterGridMouse(QObject* Watched, QEvent* Event);
    void DropOnDest(int Row);

    TDMVxRelvo16& FData;
    TExportState FState;
    bool FShowing = false;
    QPoint FPressedAt{-1, -1}; // where a press on the item grid may start a drag; none after a double click
};
