#pragma once

#include <QList>
#include <QRect>

class QTabWidget;
class QWheelEvent;

// The wheel over the tab headers of a dialog's tab control turns its pages, as the settings dialog
// and the dictionary dialog do it. The dialog takes the rectangles once it is laid out and routes the
// wheel events of the control's tab bar to TabHeaderWheel.

// The header rectangle of each tab of Tabs, in Tabs' coordinates; a hidden tab's is empty.
[[nodiscard]] QList<QRect> TabHeaderRects(const QTabWidget* Tabs);

// A wheel event of Tabs' tab bar: over one of Rects, towards the user activates the next shown tab,
// away from the user the previous one, round at both ends. True: the event is taken wherever over the
// bar, which must never turn a page by itself.
bool TabHeaderWheel(QTabWidget* Tabs, const QList<QRect>& Rects, const QWheelEvent* Wheel);
