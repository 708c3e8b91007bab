#pragma once

// What both programs set up on their application object before the first window: Qt's own texts in
// Japanese with Japan's calendar, and the program icon on every window's title bar.
void SetUpProgramLook();
