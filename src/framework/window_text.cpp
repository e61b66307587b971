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

namespace {

const wchar_t CentralEuropeanFace[] = L"Tahoma"; // on every Windows from 2000 on

int CharsetOf(HGDIOBJ font) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    const int charset = GetTextCharset(screen);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return charset;
}

// Null when the system font shows the texts.
HFONT ChooseTextFont() {
    HGDIOBJ systemFont = GetStockObject(SYSTEM_FONT);
    LOGFONTW font;
    if (CharsetOf(systemFont) == EASTEUROPE_CHARSET || !GetObjectW(systemFont, sizeof font, &font))
        return nullptr;
    font.lfWidth = 0; // the face's own proportions
    font.lfCharSet = EASTEUROPE_CHARSET;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lstrcpynW(font.lfFaceName, CentralEuropeanFace, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

bool TextFontChosen = false;
HFONT ChosenTextFont = nullptr;

// Chosen once and kept for the life of the process.
HFONT TextFont() {
    if (!TextFontChosen) {
        ChosenTextFont = ChooseTextFont();
        TextFontChosen = true;
    }
    return ChosenTextFont;
}

BOOL CALLBACK SetTextFont(HWND window, LPARAM font) {
    SendMessageW(window, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

} // namespace

void UseTextFont(HWND window) {
    // A dialog with a font of its own (a TrueType face laid out in its
    // units) keeps it: the system font's height would outgrow its layout.
    if (SendMessageW(window, WM_GETFONT, 0, 0)) return;
    if (HFONT font = TextFont())
        EnumChildWindows(window, SetTextFont, reinterpret_cast<LPARAM>(font));
}
