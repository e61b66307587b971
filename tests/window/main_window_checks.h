#pragma once

#include <windows.h>

#include <string>

// Checks of the main window that work on its handle alone, so that they hold
// for a window in the test's own process and for the one vl4config.exe shows.

// The text as the window's own procedure answers WM_GETTEXT: in the test's
// code page, or as UTF-16.
std::string WindowText(HWND window);
std::wstring WideWindowText(HWND window);

// The message of a message box: the text of its static that is not the icon.
std::string MessageBoxText(HWND box);
HWND MessageBoxTextItem(HWND box);

// The frame: class, caption, fixed outer size and style.
void ExpectMainWindowFrame(HWND main);

// Every child in creation (and TAB) order: class, ID, text (read as UTF-16,
// so the check holds in a test of any code page), rectangle in the
// client area, style and extended style. A combo box's rectangle includes
// its dropped-down list. Under Wine a combo box reports neither WS_VSCROLL
// nor WS_EX_CLIENTEDGE (they go to its list), so those two bits are not
// compared for combo boxes.
void ExpectMainWindowLayout(HWND main);
