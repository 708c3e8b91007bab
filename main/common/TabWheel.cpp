#include "main/common/TabWheel.h"

#include <QTabBar>
#include <QTabWidget>
#include <QWheelEvent>

QList<QRect> TabHeaderRects(const QTabWidget* Tabs)
{
    QList<QRect> Rects;
    const QTabBar* Bar = Tabs->tabBar();
    for (int I = 0; I < Bar->count(); ++I)
        Rects.append(Bar->isTabVisible(I) ? QRect(Bar->mapTo(Tabs, Bar->tabRect(I).topLeft()), Bar->tabRect(I).size())
                                          : QRect());
    return Rects;
}

bool TabHeaderWheel(QTabWidget* Tabs, const QList<QRect>& Rects, const QWheelEvent* Wheel)
{
    const QPoint At = Tabs->tabBar()->mapTo(Tabs, Wheel->position().toPoint());
    bool OverTab = false;
    for (const QRect& Rect : Rects)
        OverTab = OverTab || Rect.contains(At);
    const int Count = Tabs->count();
    if (!OverTab || Wheel->angleDelta().y() == 0 || Count == 0)
        return true;
    const int Step = Wheel->angleDelta().y() < 0 ? 1 : -1;
    int Index = Tabs->currentIndex();
    // Hidden tabs are not pages the user can turn to.
    for (int Tried = 0; Tried < Count; ++Tried) {
        Index = (Index + Step + Count) % Count;
        if (Tabs->isTabVisible(Index))
            break;
    }
    Tabs->setCurrentIndex(Index);
    return true;
}
