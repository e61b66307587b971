#pragma once

#include <string>

// The tool holds its texts as Windows-1250 bytes; the system's W functions
// take UTF-16. These convert between the two with a table of their own, so
// that a text reads the same on a Windows of any code page. Nothing here
// touches a window: a console program links it without the window code.
//
// Every byte has a character: the five bytes 1250 leaves undefined (0x81,
// 0x83, 0x88, 0x90, 0x98) stand for the control characters of the same
// number, as Windows maps them, so that any byte string comes back as it went.

wchar_t ToWideChar(char byte);
// '?' for a character that 1250 has no byte for.
char FromWideChar(wchar_t character);

// Each writes at most capacity - 1 characters and a terminating zero and
// answers how many characters it wrote, the zero not counted. A capacity of
// 0 or less writes nothing.
int ToWide(const char* text, wchar_t* wide, int capacity);
int FromWide(const wchar_t* wide, char* text, int capacity);

// UTF-8, in which vl4's texts and its catalog are held, to and from UTF-16.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// Room for a text of capacity characters, the zero included.
struct WideRoom {
    int Capacity;
};

// A UTF-16 buffer for one call of a W function: a 1250 text converted on its
// way in (a null text stays null), or room for the system to write into.
// Short texts stay on the stack.
class WideText {
public:
    explicit WideText(const char* text);
    // An empty text with room for room.Capacity characters.
    explicit WideText(WideRoom room);
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    ~WideText();

    operator wchar_t*() const { return Text; }

private:
    void Reserve(int capacity);

    static constexpr int InlineCapacity = 64;
    wchar_t Inline[InlineCapacity];
    wchar_t* Text = nullptr;
};
