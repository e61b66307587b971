#include "framework/window_text.h"

#include "framework/wide_text.h"

void SetTextOf(HWND window, const char* text) {
    SetWindowTextW(window, WideText(text));
}

int GetTextOf(HWND window, char* buffer, int capacity) {
    if (capacity <= 0) return 0;
    WideText text(WideRoom{capacity});
    GetWindowTextW(window, text, capacity);
    return FromWide(text, buffer, capacity);
}
