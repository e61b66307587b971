#pragma once

#include <cstddef>

// Root of every object of the system. Objects are created by their owner and
// destroyed with Free, which runs the virtual destructor and releases the
// storage. Fields start zeroed through their default member initialisers.
class BaseObject {
public:
    BaseObject() = default;
    BaseObject(const BaseObject&) = delete;
    BaseObject& operator=(const BaseObject&) = delete;
    virtual ~BaseObject() = default;

    // Window objects override this to tear down their native window while they
    // still behave as their final class.
    virtual void Free() { delete this; }
};

// A heap copy of a zero-terminated text, released with FreeString; null for a
// null text.
char* DuplicateString(const char* text);
void FreeString(char* text);
// Appends what fits of piece to the zero-terminated text in a buffer of
// capacity bytes; the text stays terminated.
void AppendString(char* text, size_t capacity, const char* piece);

// Ends the program at once with exitCode after a fault it cannot go on from,
// with one line saying what ("Runtime error 213: ..."): on stderr, and to the
// reporter, when one is installed. A window program, which has no console
// to show the line, installs one that shows it in a message box; a fault
// while the reporter runs ends the program with the line on stderr only.
[[noreturn]] void EndProgram(int exitCode, const char* line);
using FatalErrorReporter = void (*)(const char* line);
void SetFatalErrorReporter(FatalErrorReporter reporter);

// EndProgram with exit code 3 and the line "Fatal error: what", for faults
// of the program itself (an abstract operation called, no memory left for
// window procedures).
[[noreturn]] void FatalError(const char* what);
