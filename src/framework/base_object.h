#pragma once

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

// Ends the program at once after a fault it cannot go on from (an abstract
// operation called, no memory left for window procedures).
[[noreturn]] void FatalError(const char* what);
