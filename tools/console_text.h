#pragma once

// Writes the tool's Windows-1250 texts to standard output so that they read
// right wherever it goes: as UTF-16 to a console, as UTF-8 to a pipe or file
// (a Linux terminal behind Wine, a log).
void WriteText(const char* text);
// Label and value on one line, the values lined up in a column.
void WriteLine(const char* label, const char* value);
