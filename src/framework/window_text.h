#pragma once

#include <windows.h>

// A window's text set and read through the W functions: the tool's
// Windows-1250 bytes become UTF-16 on their way in and come back on their way
// out, whatever the code page of the Windows the tool runs on.
void SetTextOf(HWND window, const char* text);
// At most capacity - 1 characters and a zero; answers how many.
int GetTextOf(HWND window, char* buffer, int capacity);

// The windows are laid out for the system font, which on a Windows of
// another code page (an English or German one) is a raster font without the
// Czech letters: there every child window of window gets a TrueType face of
// the same height and weight that has them. Where the system font has them
// (a Central European Windows), or where a dialog names its own TrueType
// font, nothing changes.
void UseTextFont(HWND window);
