#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the menu window, the tray and the splash, drawn by the program itself.

// Tray icon states: TRAY_STAND (0, waiting) and TRAY_CALL (1, a call the user has not looked at).
enum TTrayIconState
{
    TRAY_STAND = 0,
    TRAY_CALL = 1,
};
[[nodiscard]] QIcon TrayIcon(TTrayIconState State);

// The tool bar's image list: 0 call history, 1 directory, 2 settings, 3 exit, 4 call history with an
// unseen call.
inline constexpr int ToolImageCount = 5;
[[nodiscard]] QIcon ToolImage(int Index);

// The program's own icon, for every window's title bar, the version dialog and the desktop's menu.
[[nodiscard]] QIcon ProgramIcon();

// The picture the splash window shows.
[[nodiscard]] QPixmap SplashPicture();
