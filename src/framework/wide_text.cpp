#include "framework/wide_text.h"

#include <windows.h>

#include <cstring>

namespace {

// The characters of the bytes 0x80 to 0xFF.
const wchar_t UpperHalf[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

constexpr int FirstUpper = 0x80;

} // namespace

wchar_t ToWideChar(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < FirstUpper ? static_cast<wchar_t>(value) : UpperHalf[value - FirstUpper];
}

char FromWideChar(wchar_t character) {
    if (character < FirstUpper) return static_cast<char>(character);
    for (int i = 0; i < static_cast<int>(sizeof UpperHalf / sizeof UpperHalf[0]); ++i)
        if (UpperHalf[i] == character) return static_cast<char>(FirstUpper + i);
    return '?';
}

int ToWide(const char* text, wchar_t* wide, int capacity) {
    if (capacity <= 0) return 0;
    int length = 0;
    for (; length < capacity - 1 && text[length]; ++length) wide[length] = ToWideChar(text[length]);
    wide[length] = 0;
    return length;
}

int FromWide(const wchar_t* wide, char* text, int capacity) {
    if (capacity <= 0) return 0;
    int length = 0;
    for (; length < capacity - 1 && wide[length]; ++length)
        text[length] = FromWideChar(wide[length]);
    text[length] = 0;
    return length;
}

WideText::WideText(const char* text) {
    if (!text) return;
    const int capacity = static_cast<int>(std::strlen(text)) + 1;
    Reserve(capacity);
    ToWide(text, Text, capacity);
}

WideText::WideText(WideRoom room) {
    Reserve(room.Capacity > 0 ? room.Capacity : 1);
    Text[0] = 0;
}

WideText::~WideText() {
    if (Text != Inline) delete[] Text;
}

void WideText::Reserve(int capacity) {
    Text = capacity <= InlineCapacity ? Inline : new wchar_t[capacity];
}

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(length, L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &wide[0], length);
    return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(length, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &utf8[0], length, nullptr, nullptr);
    return utf8;
}
