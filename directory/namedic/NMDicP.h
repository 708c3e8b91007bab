#pragma once

#include "directory/namedic/NameGrid.h"
#include "directory/namedic/NameloreLib.h"
#include "platform/msg/WindowMessage.h"

#include <QWidget>
#include <functional>

class QLabel;
class QRadioButton;
class QTableWidget;
class QTimer;
class QToolButton;

// Posted to the owner window when a name was chosen in its name-reading pop-up.
inline constexpr std::uint32_t WM_NAMEDIC_SELECT = WM_APP + 1001;
static_assert(WM_NAMEDIC_SELECT == 0x83E9);

// What the user chose: the owner takes it from here, so it stays valid after the pop-up is gone.
struct TNameDicChoice
{
    QString Name;
    QString Reading;
    int Kind = 0; // 0 family name, 1 given name
    int Tag = 0;  // the asking edit's tag
};

// "姓名辞書": the family or given names written with the reading being typed into a name edit. A
// small window above the others that never takes the focus: the edit keeps typing and hands its
// cursor keys over (HandleKey); a chosen name goes to the owner by WM_NAMEDIC_SELECT.
class TNameDicP : public QWidget
{
    Q_OBJECT
public:
    explicit TNameDicP(QWidget* Owner);
    ~TNameDicP() override;

    void SetFolders(const QString& LibraryFolder, const QString& DicFolder);
    // Loads Namelore.so from the library folder; without it every count is 0.
    void Initialize();
    [[nodiscard]] int CountNames(const QString& Reading, int Kind) const;
    void SetKind(int Kind);
    [[nodiscard]] int Kind() const { return FKind; }
    void FillGrid(int Count);
    [[nodiscard]] bool HandleKey(unsigned Key);

    void SetReading(const QString& Value) { FReading = Value; }
    [[nodiscard]] const QString& Reading() const { return FReading; }
    [[nodiscard]] const QString& ChosenName() const { return FChosenName; }
    [[nodiscard]] int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    [[nodiscard]] const TNameGrid& Grid() const { return FGrid; }
    [[nodiscard]] bool Empty() const { return FEmpty; }
    // Closed and about to be freed: nothing may show it again.
    [[nodiscard]] bool Closing() const { return FClosing; }

    // Called with the choice just before WM_NAMEDIC_SELECT is posted to the owner.
    std::function<void(const TNameDicChoice&)> OnChoose;

    QTableWidget* sgNameList = nullptr;
    QLabel* lblItem = nullptr;
    QRadioButton* rbLineage = nullptr;
    QRadioButton* rbFirst = nullptr;
    QToolButton* sbtnClose = nullptr;
    QTimer* tmrActive = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void sgNameListMouseDown(int Col, int Row);
    void sgNameListDblClick(int Col, int Row);
    void rbKindClick(int Kind);
    void tmrActiveTimer();
    void Choose(int Col, int Row);
    void PaintKind();
    void ShowGrid();

    QString FLibraryFolder;
    QString FDicFolder;
    TNameloreLib FLib;
    int FKind = 0;
    QString FChosenName;
    QString FReading;
    int FPaintedKind = -1;
    bool FEmpty = false;
    int FTag = 0;
    bool FWasActive = false;
    bool FClosing = false;
    TNameGrid FGrid;
};
