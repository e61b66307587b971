#pragma once

#include <windows.h>

// One message as it reaches a window object; built on the stack for every
// message and handed by reference to every handler. Handlers answer only
// through Result, which starts at 1: a handler that leaves it alone answers 1
// (TRUE, "processed", for a dialog procedure).
struct MessageRecord {
    HWND Hwnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};
