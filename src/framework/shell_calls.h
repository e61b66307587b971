#pragma once

#include <windows.h>

#include <string>

// The shell's and the common dialogs' services a window needs: where a file
// goes or comes from, chosen with the system's own dialog, and a document
// opened in the program the user has for it (a page in the browser).
// Paths are UTF-8; captions and filters are the tool's Windows-1250 texts.

// The filter as the system takes it: "Name\0*.csv\0" pairs, "\0"-ended.
bool AskSavePath(HWND owner, const char* caption, const char* filter, const char* extension,
                 const char* suggestedName, std::string& path);
// A file that is added to: an existing one is chosen without a question.
bool AskAppendPath(HWND owner, const char* caption, const char* filter, const char* extension,
                   const char* suggestedName, std::string& path);
bool AskOpenPath(HWND owner, const char* caption, const char* filter, std::string& path);
// False when no program opened it.
bool OpenDocument(HWND owner, const std::string& path);
// A folder for files that are made to be opened and may go again.
std::string TemporaryFolder();

// UTF-8 text into a window (what vl4's calibration says comes as UTF-8).
void SetUtf8TextOf(HWND window, const std::string& text);
// A line added at the end of a list box and shown, the box scrolling
// sideways as far as its longest line.
void AddListLine(HWND listBox, const std::wstring& line);
std::string Utf8TextOf(HWND window);
