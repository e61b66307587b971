#pragma once

#include "cli/interruption.h"

#include <windows.h>

#include <string>

// Where vl4 writes its texts (UTF-8). Tests give commands their own.
class TextOutput {
public:
    virtual ~TextOutput() = default;
    virtual void Write(const std::string& text) = 0;
    // A person watches a console: it gets updating lines and progress bars.
    virtual bool IsConsole() const { return false; }
    // Whether a write has failed (a closed pipe, a full disk): what the
    // command says from then on is lost, and it must end as an error.
    virtual bool Failed() const { return false; }
    // Why, in a few words.
    virtual std::string Problem() const { return ""; }
};

// Standard output or standard error: UTF-16 through the console functions to
// a console, so that any text reads right whatever the code page, and UTF-8
// bytes to a pipe or file.
class StandardStream : public TextOutput {
public:
    explicit StandardStream(DWORD which); // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE
    void Write(const std::string& text) override;
    bool IsConsole() const override { return Console; }
    bool Failed() const override { return Error != 0; }
    std::string Problem() const override;

private:
    HANDLE Handle;
    bool Console;
    DWORD Error = 0; // of the first write that failed
};

// One line on a console that each Show replaces, for progress a person
// watches; where no one watches (a pipe, a file) it writes nothing.
class StatusLine {
public:
    explicit StatusLine(TextOutput& out) : Out(out) {}
    ~StatusLine() { Finish(); }
    void Show(const std::string& text);
    // Ends the line, so that what follows starts on a line of its own.
    void Finish();

private:
    TextOutput& Out;
    size_t Shown = 0;
    bool Active = false;
};

enum class InputEvent { Line, End, Interrupted };

// Lines a person types, such as the Enter that says the probe is ready.
class LineInput {
public:
    virtual ~LineInput() = default;
    // The next line, without its line end, in line.
    virtual InputEvent WaitForLine(const Interruption& stop, std::string& line) = 0;
    // Drops what was typed ahead, before a question: a key pressed while a
    // point was sampled must not answer the next one.
    virtual void DiscardTypedAhead() {}
};

// Standard input, read on a thread of its own, so that an interruption ends
// the wait whether the input is a console, a pipe or a file. From a pipe or
// a file, the lines are taken in order; nothing is dropped.
class StandardInput : public LineInput {
public:
    InputEvent WaitForLine(const Interruption& stop, std::string& line) override;
    void DiscardTypedAhead() override;
};
