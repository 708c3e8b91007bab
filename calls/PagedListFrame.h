#pragma once

#include "calls/PagedLines.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <type_traits>

class QKeyEvent;
class QLabel;
class QLayout;
class QListWidget;
class QMenu;
class QPoint;
class QPushButton;
class QWidget;
class TMyCustomHeaderControl;
class TMyCustomHeaderSection;
class TMyHeaderControl;
enum class TMySectionTrackState;

// What the paged list windows (the call history, the directory, the export and print lists) are
// made of alike: the three page buttons, the list under its header with the header's menu, and how
// their events reach the window. The window keeps its handlers; they call the frame for the work
// that is the same in every list.

enum class TPageButton
{
    Prev,
    Next,
    Jump,
};

// A window's list and header.
struct TPagedListLook
{
    QString ListName;
    QString HeaderName;
    QStringList Captions;
    const int* DefaultWidths = nullptr; // one a caption, 96-DPI units
    int Margin = 3;                     // of each cell's text, design pixels
    std::function<int()> MarkedRecNo;   // the line that stands out; none when empty
    bool InputClosed = true;            // the list takes no typed text
};

// The window's handlers its controls' events go to; every one must be given.
struct TPagedListHandlers
{
    std::function<void(int Mode, int Page)> LoadPage;
    std::function<void()> PagePrevClick;
    std::function<void()> PageNextClick;
    std::function<void()> PageJumpClick;
    // The keys of the list: the form sees them first, as it previews keys.
    std::function<bool(QKeyEvent* Key)> ListKeyDown;
    std::function<void(Qt::MouseButton Button, const QPoint& Pos)> HeaderMouseDown;
    std::function<void(TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section, int Width,
                       TMySectionTrackState State)>
        SectionTrack;
    std::function<void()> ResetWidthsClick;
    std::function<void()> HeaderPanelResize;
};

class TPagedListFrame : public QObject
{
public:
    explicit TPagedListFrame(QWidget* Window) : FWindow(Window) {}

    // The controls are made in the order the window's keyboard visits them.
    [[nodiscard]] QPushButton* MakePageButton(TPageButton Which);
    // The header panel with its header, the list and the header's menu.
    void MakeList(const TPagedListLook& Look);
    // Once every control is made: their events go to the window's handlers.
    void Connect(TPagedListHandlers Handlers);
    // The same with the window's own member functions; FormKeyDown may be null.
    template <typename TWindow>
    void
    Connect(TWindow* Window, void (TWindow::*LoadPage)(int, int), void (TWindow::*PagePrevClick)(),
            void (TWindow::*PageNextClick)(), void (TWindow::*PageJumpClick)(),
            std::type_identity_t<bool (TWindow::*)(QKeyEvent*)> FormKeyDown, bool (TWindow::*ListKeyDown)(QKeyEvent*),
            void (TWindow::*HeaderMouseDown)(Qt::MouseButton, const QPoint&),
            void (TWindow::*SectionTrack)(TMyCustomHeaderControl*, TMyCustomHeaderSection*, int, TMySectionTrackState),
            void (TWindow::*ResetWidthsClick)(), void (TWindow::*HeaderPanelResize)())
    {
        const auto Call = [Window](void (TWindow::*Handler)()) { return [Window, Handler] { (Window->*Handler)(); }; };
        Connect(
            TPagedListHandlers{[Window, LoadPage](int Mode, int Page) { (Window->*LoadPage)(Mode, Page); },
                               Call(PagePrevClick), Call(PageNextClick), Call(PageJumpClick),
                               [Window, FormKeyDown, ListKeyDown](QKeyEvent* Key) {
                                   return (FormKeyDown && (Window->*FormKeyDown)(Key)) || (Window->*ListKeyDown)(Key);
                               },
                               [Window, HeaderMouseDown](Qt::MouseButton Button, const QPoint& Pos) {
                                   (Window->*HeaderMouseDown)(Button, Pos);
                               },
                               [Window, SectionTrack](TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section,
                                                      int Width, TMySectionTrackState State) {
                                   (Window->*SectionTrack)(Control, Section, Width, State);
                               },
                               Call(ResetWidthsClick), Call(HeaderPanelResize)});
    }

    QPushButton* PagePrev = nullptr;
    QPushButton* PageNext = nullptr;
    QPushButton* PageJump = nullptr;
    QWidget* HeaderPanel = nullptr;
    TMyHeaderControl* Header = nullptr;
    QListWidget* List = nullptr;
    QMenu* HeaderMenu = nullptr;
    // The status panels of the count and the page, which the window makes.
    QLabel* CountPanel = nullptr;
    QLabel* PagePanel = nullptr;
    // The last width of the header panel, and a section's width when its divider's drag began.
    int HeaderPanelWidth = 0;
    int TrackStartWidth = 0;

    // A page step (1 the page before, 2 the page after) under the hourglass; the list takes the focus.
    void StepPage(int Mode);
    // Page Up on the first line, Page Down on line PageSize, while the button of that way shows:
    // the window's page step, and the key is used.
    [[nodiscard]] bool PageEdgeKey(const QKeyEvent* Key, int PageSize);
    // Ctrl+A: every line selected, and the key is used.
    [[nodiscard]] bool SelectAllKey(const QKeyEvent* Key);
    // The list takes the focus, or Other while the page is empty.
    void FocusListOr(QWidget* Other);
    // A right click on the header opens its menu there.
    void HeaderMouseDown(Qt::MouseButton Button, const QPoint& Pos);
    void SectionTrack(TMyCustomHeaderSection* Section, int Width, TMySectionTrackState State);
    // Every column back to its default width.
    void ResetWidths();
    // The header as wide as its panel or its sections, the lines as wide as the sections.
    void FitHeader();
    // Before a page load: what the user had selected, when the load is a reload in place (mode 0, page 0).
    [[nodiscard]] PagedLines::TLineSelection SelectionBeforeLoad(int Mode, int Page) const;
    // After it: why a page step found nothing, or no lines, or the page with the selection on it. A page
    // chosen by number or reached by a step is entered at its top line, from the page after at its
    // bottom line; a reload in place selects again what Before holds.
    void ShowLoad(TListLoadResult Result, const TListPages& Pages, QList<int>& RowRecNos, int Mode, int Page,
                  const PagedLines::TLineSelection& Before);

    // The window from top to bottom: Above, the header over the list, which takes the height, Below and
    // the status bar; never smaller than a list window may be made.
    void LayOut(QLayout* Above, const QList<QLayout*>& Below, QWidget* StatusBar);

    // The rows of the selected lines deleted by Delete, which answers the RecNos that went (and may
    // throw), under the hourglass. The user hears how many went; when any did, the page is loaded again
    // in place, the top and the focused line kept as far as the shorter page allows.
    void DeleteSelectedLines(const std::function<QList<int>(const QList<int>& RecNos)>& Delete);
    // The same for Delete over every row that passes, which answers how many went.
    void DeleteMatchingLines(const std::function<int()>& Delete);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QWidget* FWindow;
    const int* FDefaultWidths = nullptr;
    TPagedListHandlers FHandlers;
};
