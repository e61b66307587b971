#include "framework/base_object.h"

#include <cstring>

char* DuplicateString(const char* text) {
    if (!text) return nullptr;
    size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

void FreeString(char* text) { delete[] text; }
