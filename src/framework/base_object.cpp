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

void AppendString(char* text, size_t capacity, const char* piece) {
    const size_t used = std::strlen(text);
    size_t length = std::strlen(piece);
    if (length > capacity - 1 - used) length = capacity - 1 - used;
    std::memcpy(text + used, piece, length);
    text[used + length] = '\0';
}

namespace {

FatalErrorReporter Reporter = nullptr;
constexpr int FatalErrorExitCode = 3;

} // namespace

void SetFatalErrorReporter(FatalErrorReporter reporter) {
    Reporter = reporter;
}

// fputs rather than fprintf: the runtime's formatted output would add some
// 45 KiB to the executable for this one line.
void EndProgram(int exitCode, const char* line) {
    std::fputs(line, stderr);
    std::fputs("\n", stderr);
    std::fflush(stderr);
    FatalErrorReporter reporter = Reporter;
    Reporter = nullptr; // a fault inside the reporter ends the program at once
    if (reporter) reporter(line);
    std::_Exit(exitCode);
}

void FatalError(const char* what) {
    char line[160] = "Fatal error: ";
    AppendString(line, sizeof line, what);
    EndProgram(FatalErrorExitCode, line);
}
