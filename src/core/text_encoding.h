#pragma once

#include "framework/wide_text.h"

#include <string>

// vl4 keeps its texts in UTF-8; the system takes and gives UTF-16, and the
// transmitter's identification is Windows-1250, as the window shows it.

std::string Utf8FromWindows1250(const std::string& text);
bool IsUtf8(const std::string& text);

// The characters of a UTF-8 text: the columns it takes on a console (the
// wide East Asian letters aside).
int CharacterCount(const std::string& utf8);
// Control characters (line ends, tabs, escapes) as spaces, so that a text
// read from a file can neither break a console's line nor steer the console.
std::string OnOneLine(const std::string& utf8);
// The text cut to at most `width` characters, the last of them an ellipsis
// when something was cut.
std::string CutToWidth(const std::string& utf8, int width);

// The identification as the window shows it (Windows-1250), in UTF-8, with
// control bytes written as \xHH.
std::string IdentificationText(const char* ident);
