#pragma once

#include <QDialog>
#include <QPicture>
#include <memory>

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QToolButton;
class TListPrintModel;
class TPaintPanel;

// "印刷プレビュー": the pages of the whole source as the list print settings print them, one at a
// time, zoomed and scrolled. At most one exists, owned by the list print window and closed with it.
class TListPrintPreview : public QDialog
{
    Q_OBJECT
public:
    TListPrintPreview(const TListPrintModel& Model, QWidget* Owner);
    ~TListPrintPreview() override;

    // New settings: page 1 again, at the zoom chosen, scrolled to the top left.
    void RefreshPreview();

    QWidget* pnlTop;
    QToolButton* sbtnFirst;
    QToolButton* sbtnPrior;
    QToolButton* sbtnNext;
    QToolButton* sbtnLast;
    QLabel* lblNowPage;
    QLabel* lblPageSlash;
    QLabel* lblTotalPage;
    QLabel* lblZoom;
    QComboBox* cbxZoom;
    QPushButton* btnClose;
    QScrollArea* sbxPreview;
    QWidget* bvSpace;
    TPaintPanel* pnlImage;
    QStatusBar* stbarInfo;
    QLabel* StatusPanels[3];
    QMenu* pmZoom;

    [[nodiscard]] int PageNo() const { return FPageNo; }
    [[nodiscard]] int PageCount() const { return FPageCount; }
    [[nodiscard]] int ZoomApplied() const { return FZoomApplied; }
    // The recorded page: the whole sheet in printer pixels.
    [[nodiscard]] const QPicture& PageImage() const { return FImage; }
    [[nodiscard]] QSize SheetPixels() const { return FSheet; }

    // Tests: the screen's pixels per inch the percentages are taken at (0: the screen's own).
    static void SetScreenDpiForTests(double Dpi);

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void LoadPreviewSettings();
    void SavePreviewSettings();
    void PreparePreviewPage();
    void UpdatePageControls();
    void RenderPreviewPage();
    void SizePage();
    void PageButtonClick(int Tag);
    void cbxZoomChange(int Index);
    bool ScrollBoxWindowProc(QEvent* Event);
    void pnlImageMouseDown(QMouseEvent* Mouse);
    void pnlImageMouseMove(QMouseEvent* Mouse);
    void pnlImagePaint();

    // The settings window's model, and the copy of it taken by the last "プレビュー(&V)": the window
    // shows that copy, so that changes in the settings window wait for the button.
    const TListPrintModel& FLive;
    std::unique_ptr<TListPrintModel> FShownModel;
    [[nodiscard]] const TListPrintModel& Shown() const { return *FShownModel; }
    QPicture FImage;
    QSize FSheet;
    QSize FPage96;
    int FPageNo = 1;
    int FPageCount = 1;
    int FZoomChosen = 0;
    int FZoomApplied = -1;
    bool FShown = false;
    QPoint FDragStart;
    bool FDragging = false;
};

// The open preview; null while there is none.
extern TListPrintPreview* ListPrintPreview;
