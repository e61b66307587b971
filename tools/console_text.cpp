#include "console_text.h"

#include "framework/wide_text.h"

#include <windows.h>

#include <cstdio>

namespace {
constexpr int MaxLine = 256;
} // namespace

// A text longer than a line is cut to the line.
void WriteText(const char* text) {
    wchar_t wide[MaxLine];
    const int length = ToWide(text, wide, MaxLine);
    if (length == 0) return;
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
