#pragma once

#include "calls/ListPages.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QList>
#include <functional>

class QKeyEvent;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;
class TMemIniFile;
class TMyCustomHeaderSection;
class TMyHeaderControl;
enum class TMySectionTrackState;

// The parts of a paged, owner-drawn list under a header control that the call history and the
// directory lists share: the drawing of a line, the reload that keeps what the user had selected,
// the header's fitting, dragging and reset, and the guards their actions run under.
namespace PagedLines {

inline constexpr int RecNoRole = Qt::UserRole;

// The hourglass for the life of a scope.
class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

// Clears the idle flag while a modal window is up and sets it again afterwards.
class TIdleOff
{
public:
    explicit TIdleOff(bool* Flag) : FFlag(Flag) { *FFlag = false; }
    ~TIdleOff() { *FFlag = true; }

private:
    bool* FFlag;
};

// Sets a flag for the life of a scope.
class TFlagGuard
{
public:
    explicit TFlagGuard(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = false; }

private:
    bool& FFlag;
};

// Draws each line's tab-separated cells under the header's sections, Margin design pixels in from
// each cell's left edge, with grey dividers; the line whose RecNo MarkedRecNo answers stands out
// in blue, in yellow while selected. The first cell, a number in the paged lists, is right-aligned
// unless FirstRight is false.
class TPagedLineDelegate : public QAbstractItemDelegate
{
public:
    TPagedLineDelegate(QObject* Parent, TMyHeaderControl* Header, std::function<int()> MarkedRecNo, int Margin,
                       bool FirstRight = true);
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
    TMyHeaderControl* FHeader;
    std::function<int()> FMarkedRecNo;
    int FMargin;
    bool FFirstRight;
};

// What the user had selected before a reload in place.
struct TLineSelection
{
    int FocusRecNo = -1; // only while a line is selected
    QList<int> Selected;
    int TopRecNo = -1;
};
[[nodiscard]] TLineSelection RememberLines(QListWidget* List);

// Puts the page's lines into the list, each with its RecNo, and RowRecNos in line order.
void ShowLines(QListWidget* List, const QList<TListLine>& Lines, QList<int>& RowRecNos);
// After a page chosen by number or a page step: the bottom line selected and focused (coming up
// from the following page), else the top one.
void LandOnPage(QListWidget* List, bool Bottom);
// After a reload in place: the remembered lines still on the page selected again, the focused one
// (else the first of them) focused, the top line back on top; without any, the focus rectangle on
// the top line.
void RestoreLines(QListWidget* List, const TLineSelection& Memory);

// The cell texts of line Index.
[[nodiscard]] QStringList LineCells(const QListWidget* List, int Index);

// The header as wide as its panel or its sections, whichever is wider, level with the lines; the
// lines as wide as the sections. Answers the panel's width.
int FitHeader(QWidget* Panel, TMyHeaderControl* Header, QListWidget* List);
// The header's left edge follows the list's sideways scroll.
void FollowScroll(QListWidget* List, TMyHeaderControl* Header);
// A divider drag: the section follows it; answers whether the header needs fitting.
[[nodiscard]] bool TrackSection(TMyCustomHeaderSection* Section, int Width, TMySectionTrackState State,
                                int& TrackStartWidth);
// Every section back to its default width (96-DPI units); answers whether anything changed.
[[nodiscard]] bool ResetHeaderWidths(TMyHeaderControl* Header, const int* DefaultWidths);

// Every line, with the focused and top lines left where they are.
void SelectAllLines(QListWidget* List);

// The button of the order now shown in bold blue; the one of the order before (none: null) plain
// again, in the window's text colour.
void ShowSortOrder(QPushButton* Previous, QPushButton* Chosen);

// Page Up without Shift on the first line while Prev shows, Page Down without Shift on line
// PageSize while Next shows: answers the button to click, else null.
[[nodiscard]] QPushButton* PageEdgeButton(const QListWidget* List, const QKeyEvent* Key, QPushButton* Prev,
                                          QPushButton* Next, int PageSize);

// The controls that show a page: the list, the three paging buttons and the status panels of the
// count and the page.
struct TPageControls
{
    QListWidget* List;
    QPushButton* Prev;
    QPushButton* Next;
    QPushButton* Jump;
    QLabel* CountPanel;
    QLabel* PagePanel;
};
// Nothing passes: no lines, no paging buttons, dashes for the count and the page.
void ShowNoLines(const TPageControls& Controls, QList<int>& RowRecNos);
// The loaded page: its lines, the count and page number, the paging buttons that apply.
void ShowPage(const TPageControls& Controls, const TListPages& Pages, QList<int>& RowRecNos);
// Tells the user why a page step found nothing (a vanished anchor, no page before or after);
// answers false for the other results, which need no word.
bool ReportLoadFailure(QWidget* Owner, TListLoadResult Result);
// The page jump dialog over Owner with the list's pages; answers the page chosen when it is
// another than the current one, else 0.
[[nodiscard]] int AskJumpPage(QWidget* Owner, int HelpContext, const TListPages& Pages);

// The delete-target dialog of a list, with its caption and help context, over Owner: what the user
// chose to delete, None when cancelled.
enum class TDeleteChoice
{
    None,
    Selected,
    Matching,
};
[[nodiscard]] TDeleteChoice AskDeleteTarget(QWidget* Owner, const QString& Caption, int HelpContext, int SelectedCount);
// The plain question before Count selected rows are deleted; true unless the user said no.
[[nodiscard]] bool ConfirmDeletion(QWidget* Owner, int Count);

// Where the user was on the page before a deletion and its reload: the top line and the focused one,
// put back afterwards as near as the shorter page allows.
struct TListPlace
{
    int Top = 0;
    int Focused = -1;
};
[[nodiscard]] TListPlace RememberPlace(QListWidget* List);
void RestorePlace(QListWidget* List, const TListPlace& Place);
// Only the deleted lines lose their selection: a row whose deletion failed stays selected, and the
// reload selects it again.
void DeselectGone(QListWidget* List, const QList<int>& Gone);

// A list window's bounds from its settings section (96-DPI units; centred on the screen without a
// stored place), and back; a maximised or minimised window keeps the bounds it has when restored.
void LoadWindowBounds(QWidget* Window, TMemIniFile& Ini, const QString& Section, int Width, int Height);
void SaveWindowBounds(const QWidget* Window, TMemIniFile& Ini, const QString& Section);
// The header's section widths as "List1".."ListN" of the section.
void LoadHeaderWidths(TMyHeaderControl* Header, TMemIniFile& Ini, const QString& Section, const int* DefaultWidths);
void SaveHeaderWidths(const TMyHeaderControl* Header, TMemIniFile& Ini, const QString& Section);

} // namespace PagedLines
