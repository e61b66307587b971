#pragma once

#include <windows.h>

#include <string>

// The files vl4 reads and writes, named in UTF-8. Each failure comes with a
// few words that say why, for the one error line.

enum class FileRead { Done, Failed, TooLarge };

// A system error code in vl4's words: "the disk is full", "no such folder";
// in the language for a person, in English for a trace.
std::string SystemProblem(DWORD error);
std::string EnglishSystemProblem(DWORD error);

// The whole file, unless it holds more than maxBytes. A file that another
// program is writing is read as far as it goes.
FileRead ReadWholeFile(const std::string& path, size_t maxBytes, std::string& content,
                       std::string& problem);

// A file's first line as an error line quotes it: without its byte-order
// mark and line end, read as Windows-1250 when it is no UTF-8, on one line
// and cut to a length that leaves the error line readable.
std::string ShownFirstLine(const std::string& line);

// Writes the content to a new file beside the old one and then puts it in
// the old one's place, so that a reader never finds half of it.
bool ReplaceFileContent(const std::string& path, const std::string& content, std::string& problem);
// Whether ReplaceFileContent could write the file now, asked before work
// that should not be done for nothing: its folder takes a new file, and
// what stands there already is a file that may be replaced.
bool CanReplaceFile(const std::string& path, std::string& problem);

// A file that grows by whole lines and never ends in a piece of one: each
// line goes to the system in one write, a write that comes short (a full
// disk, a share that went away) is taken back to where the file ended, and
// a file whose last line lost its line end gets one before the next line.
// While it is open no other program writes the file; any may read it.
class AppendingFile {
public:
    AppendingFile() = default;
    AppendingFile(const AppendingFile&) = delete;
    AppendingFile& operator=(const AppendingFile&) = delete;
    ~AppendingFile() { Close(); }

    // Opens or creates the file, keeping what it holds. Another program
    // writing it is waited for up to `waitMs`.
    bool Open(const std::string& path, std::string& problem, DWORD waitMs = 0);
    void Close();
    bool IsEmpty() const;
    // The file's first line with its line end, or its first maxBytes when
    // the line goes on; a log may be huge, so no more is read. False, with
    // Problem(), when it cannot be read.
    bool FirstLine(size_t maxBytes, std::string& line);
    // One line, or several, ending in a line end ("\r\n" or "\n", which a
    // missing one before them follows).
    bool Append(const std::string& lines);
    // Why the last Append failed.
    const std::string& Problem() const { return Failure; }

private:
    bool EndsInLineEnd(LONGLONG size);
    bool TakeBack(LONGLONG size);

    HANDLE Handle = INVALID_HANDLE_VALUE;
    bool Whole = false; // the file is known to end in a line end (or to be empty)
    std::string Failure;
};

// How long a record's writer waits for another one to finish its line.
constexpr DWORD LineWriterWaitMs = 5000;

// Appends to a file that is held only for the line, as a record is: others
// read it meanwhile, and a second writer waits for the first. `header` goes
// in front of the line when the file is new or empty. False, with why, when
// the line could not be written whole.
bool AppendLines(const std::string& path, const std::string& header, const std::string& lines,
                 std::string& problem, DWORD waitMs = LineWriterWaitMs);
