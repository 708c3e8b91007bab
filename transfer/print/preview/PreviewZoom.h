#pragma once

#include <QRect>
#include <QSize>
#include <QString>

// How the print preview sizes and places its page.

inline constexpr int PreviewZoomCount = 8;
// "用紙全体", "200%" .. "50%".
[[nodiscard]] QString PreviewZoomText(int Zoom);
// A stored zoom outside the list reads as the whole page.
[[nodiscard]] int PreviewZoomOf(int Stored);
// The page's scale on screen: the whole page inside Client less 22 pixels each side for zoom 0,
// otherwise the percentage at the screen's pixels per inch.
[[nodiscard]] double PreviewScale(int Zoom, QSize Client, QSize Page96, double ScreenDpi);
// The page's rectangle in the scroll area: centred in Client, but never nearer than 20 pixels to
// its left or top.
[[nodiscard]] QRect PlacePreviewPage(QSize Client, QSize Panel);
// The physical page in 96-per-inch pixels.
[[nodiscard]] QSize PreviewPage96(int PhysicalWidth, int PhysicalHeight, int DpiX, int DpiY);
