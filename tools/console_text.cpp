#include "console_text.h"

#include <windows.h>

#include <cstdio>

namespace {
constexpr UINT TextCodePage = 1250;
constexpr int MaxLine = 256;
} // namespace

void WriteText(const char* text) {
    wchar_t wide[MaxLine];
    int length = MultiByteToWideChar(TextCodePage, 0, text, -1, wide, MaxLine);
    if (length <= 1) return; // nothing, or more than a line holds
    --length;                // without the terminator
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode, done;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, wide, length, &done, nullptr);
        return;
    }
    char utf8[MaxLine * 3];
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8, sizeof utf8, nullptr, nullptr);
    WriteFile(out, utf8, size, &done, nullptr);
}

void WriteLine(const char* label, const char* value) {
    char line[MaxLine];
    // One byte a character in Windows-1250, so the padding lines up.
    std::snprintf(line, sizeof line, "%-16s%s\n", label, value);
    WriteText(line);
}
