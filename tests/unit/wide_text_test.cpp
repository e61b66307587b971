// The conversion of the tool's Windows-1250 texts to and from UTF-16.
#include "framework/wide_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

namespace {

// Windows' own table of the code page is the reference, also for the bytes
// 1250 leaves undefined.
TEST(WideText, EveryUpperByteRoundTripsThroughTheCharacterWindowsGivesIt) {
    std::set<wchar_t> characters;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char b = static_cast<char>(byte);
        wchar_t expected = 0;
        ASSERT_EQ(MultiByteToWideChar(1250, 0, &b, 1, &expected, 1), 1);
        EXPECT_EQ(ToWideChar(b), expected) << std::hex << byte;
        EXPECT_EQ(FromWideChar(ToWideChar(b)), b) << std::hex << byte;
        characters.insert(ToWideChar(b));
    }
    EXPECT_EQ(characters.size(), 128u);
    EXPECT_EQ(FromWideChar(L'\u00BD'), '?') << "no byte for one half";
}

TEST(WideText, EmptyTextsAndTextsAtTheBufferLimitAreCutAndTerminatedNeverOverrun) {
    wchar_t wide[6];
    std::wmemset(wide, L'#', 6);
    EXPECT_EQ(ToWide("", wide, 4), 0);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(ToWide("\xC8\xEDst", wide, 5), 4); // Číst, just fits
    EXPECT_EQ(std::wstring(wide), L"\u010C\u00EDst");
    std::wmemset(wide, L'#', 6);
    EXPECT_EQ(ToWide("\xC8\xEDsti", wide, 4), 3);
    EXPECT_EQ(std::wstring(wide), L"\u010C\u00EDs");
    EXPECT_EQ(wide[4], L'#');
    EXPECT_EQ(ToWide("abc", wide, 0), 0);
    EXPECT_EQ(wide[0], L'\u010C') << "no room: nothing written";

    char text[6] = "#####";
    EXPECT_EQ(FromWide(L"", text, 4), 0);
    EXPECT_EQ(text[0], 0);
    EXPECT_EQ(FromWide(L"\u0159\u00E1dek", text, 4), 3); // řádek
    EXPECT_STREQ(text, "\xF8\xE1"
                       "d");
    EXPECT_EQ(text[4], '#');

    const std::string longText(300, '\x9E');
    EXPECT_EQ(std::wstring(WideText(longText.c_str())), std::wstring(300, L'\u017E'));
    EXPECT_EQ(static_cast<wchar_t*>(WideText(nullptr)), nullptr);
}

} // namespace
