#pragma once

#include <windows.h>

#include <string>

// The files vl4 reads and writes, named in UTF-8. Each failure comes with a
// few words that say why, for the one error line.

enum class FileRead { Done, Failed, TooLarge };

// A system error code in vl4's words: "the disk is full", "no such folder".
std::string SystemProblem(DWORD error);

// The whole file, unless it holds more than maxBytes.
FileRead ReadWholeFile(const std::string& path, size_t maxBytes, std::string& content,
                       std::string& problem);

// Writes the content to a new file beside the old one and then puts it in
// the old one's place, so that a reader never finds half of it.
bool ReplaceFileContent(const std::string& path, const std::string& content, std::string& problem);
// Whether ReplaceFileContent could write the file now, asked before work
// that should not be done for nothing: its folder takes a new file, and
// what stands there already is a file that may be replaced.
bool CanReplaceFile(const std::string& path, std::string& problem);

// A file that grows by whole lines: each is written at once, so that what a
// pulled cable or an ended process leaves is whole up to its last line.
class AppendingFile {
public:
    AppendingFile() = default;
    AppendingFile(const AppendingFile&) = delete;
    AppendingFile& operator=(const AppendingFile&) = delete;
    ~AppendingFile();

    // Opens or creates the file, keeping what it holds.
    bool Open(const std::string& path, std::string& problem);
    bool IsEmpty() const;
    bool Append(const std::string& text);
    // Why the last Append failed.
    const std::string& Problem() const { return Failure; }

private:
    HANDLE Handle = INVALID_HANDLE_VALUE;
    std::string Failure;
};
