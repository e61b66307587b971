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

void FreeString(char* text) { delete[] text; }

void FatalError(const char* what) {
    std::fprintf(stderr, "Fatal error: %s\n", what);
    std::fflush(stderr);
    std::_Exit(3);
}
