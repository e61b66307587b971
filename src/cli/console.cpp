#include "cli/console.h"

#include "core/text_encoding.h"
#include "files/text_files.h"

#include <atomic>
#include <memory>
#include <thread>

StandardStream::StandardStream(DWORD which) : Handle(GetStdHandle(which)) {
    DWORD mode;
    Console = GetConsoleMode(Handle, &mode) != FALSE;
}

// Once a write has failed nothing more is written: a later one that worked
// would leave a hole in the middle of what a program reads.
void StandardStream::Write(const std::string& text) {
    if (Error || text.empty()) return;
    DWORD done = 0;
    bool written;
    if (Console) {
        const std::wstring wide = WideFromUtf8(text);
        written =
            WriteConsoleW(Handle, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr) &&
            done == wide.size();
    } else {
        written = WriteFile(Handle, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
                  done == text.size();
    }
    if (!written) Error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
}

std::string StandardStream::Problem() const {
    return SystemProblem(Error);
}

void StatusLine::Show(const std::string& text) {
    if (!Out.IsConsole()) return;
    // Spaces cover what is left of a longer line before, counted in
    // characters: a Czech letter is two bytes and one column.
    const size_t width = static_cast<size_t>(CharacterCount(text));
    const size_t cover = Shown > width ? Shown - width : 0;
    Out.Write("\r" + text + std::string(cover, ' '));
    Shown = width;
    Active = true;
}

void StatusLine::Finish() {
    if (Active) Out.Write("\n");
    Shown = 0;
    Active = false;
}

namespace {

// What the reading thread and the waiting one share; the last to let go of it
// closes the event.
struct LineReading {
    HANDLE Done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> GotLine{false};
    std::string Text;
    ~LineReading() { CloseHandle(Done); }
};

// Ctrl+C ends a console read before its handler has run; the handler comes
// within this time.
constexpr DWORD HandlerLagMs = 300;

} // namespace

InputEvent StandardInput::WaitForLine(const Interruption& stop, std::string& line) {
    auto reading = std::make_shared<LineReading>();
    std::thread reader([reading] {
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        char c;
        DWORD n;
        while (ReadFile(input, &c, 1, &n, nullptr) && n == 1) {
            if (c == '\n') {
                reading->GotLine = true;
                break;
            }
            if (c != '\r') reading->Text += c;
        }
        SetEvent(reading->Done);
    });
    const HANDLE events[] = {reading->Done, stop.Event()};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        // The read cannot be called off; the process ends before it matters.
        reader.detach();
        return InputEvent::Interrupted;
    }
    reader.join();
    line = reading->Text;
    if (reading->GotLine) return InputEvent::Line;
    return stop.Wait(HandlerLagMs) ? InputEvent::End : InputEvent::Interrupted;
}

void StandardInput::DiscardTypedAhead() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode;
    if (GetConsoleMode(input, &mode)) FlushConsoleInputBuffer(input);
}
