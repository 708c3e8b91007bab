#pragma once

// What both programs set up on their application object before the first window: Qt's own texts in
// Japanese with Japan's calendar, and the program icon on every window's title bar.
void SetUpProgramLook();

// Hints of both programs come up after 300 ms and follow the mouse from control to control after
// 30 ms: sets the application style that says so.
void SetUpHintDelays();
