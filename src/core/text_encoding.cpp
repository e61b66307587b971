#include "core/text_encoding.h"

#include "framework/wide_text.h"

#include <windows.h>

namespace {

std::wstring Widened(UINT codePage, DWORD flags, const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    std::wstring wide(length, L'\0');
    if (length > 0) MultiByteToWideChar(codePage, flags, text.data(), size, &wide[0], length);
    return wide;
}

} // namespace

// The window tool's own table: the identification reads the same in both.
std::string Utf8FromWindows1250(const std::string& text) {
    std::wstring wide;
    for (char byte : text) wide += ToWideChar(byte);
    return Utf8FromWide(wide);
}

bool IsUtf8(const std::string& text) {
    return text.empty() || !Widened(CP_UTF8, MB_ERR_INVALID_CHARS, text).empty();
}

namespace {

bool StartsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

} // namespace

int CharacterCount(const std::string& utf8) {
    int count = 0;
    for (char byte : utf8) count += StartsCharacter(byte);
    return count;
}

std::string OnOneLine(const std::string& utf8) {
    std::string line = utf8;
    for (char& byte : line)
        if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F) byte = ' ';
    return line;
}

std::string CutToWidth(const std::string& utf8, int width) {
    if (CharacterCount(utf8) <= width) return utf8;
    if (width <= 0) return std::string();
    // The first width - 1 characters, then the ellipsis.
    size_t end = 0;
    for (int kept = 0; end < utf8.size(); ++end)
        if (StartsCharacter(utf8[end]) && kept++ == width - 1) break;
    return utf8.substr(0, end) + "\xE2\x80\xA6"; // …
}

std::string IdentificationText(const char* ident) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string text;
    for (const char* c = ident; *c; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7F || byte == '\\') {
            text += "\\x";
            text += Hex[byte >> 4];
            text += Hex[byte & 15];
        } else {
            text += *c;
        }
    }
    return Utf8FromWindows1250(text);
}
