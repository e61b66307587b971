#include "framework/base_object.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

char* DuplicateString(const char* text) {
    if (!text) return nullptr;
    size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

void FreeString(char* text) {
    delete[] text;
}

// fputs rather than fprintf: the runtime's formatted output would add some
// 45 KiB to the executable for this one line.
void FatalError(const char* what) {
    std::fputs("Fatal error: ", stderr);
    std::fputs(what, stderr);
    std::fputs("\n", stderr);
    std::fflush(stderr);
    std::_Exit(3);
}
