#include "e2e/tool_fixture.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

namespace e2e {

Request ParseRequest(const std::string& line) {
    std::istringstream words(line);
    std::vector<int> bytes;
    std::string word;
    while (words >> word && word.size() == 2)
        bytes.push_back(std::strtol(word.c_str(), nullptr, 16));
    Request request;
    if (bytes.size() >= 4) {
        request.Command = bytes[1];
        request.Data.assign(bytes.begin() + 3, bytes.end() - 1);
    }
    return request;
}

bool operator==(const Request& a, const Request& b) {
    return a.Command == b.Command && a.Data == b.Data;
}

void PrintTo(const Request& request, std::ostream* out) {
    *out << request.Command << " [" << std::hex << std::uppercase;
    for (size_t i = 0; i < request.Data.size(); ++i)
        *out << (i ? " " : "") << (request.Data[i] < 16 ? "0" : "") << request.Data[i];
    *out << std::dec << "]";
}

std::vector<int> FloatBytes(float value) {
    unsigned char bytes[4];
    std::memcpy(bytes, &value, 4);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

void ToolTest::SetUp() {
    ASSERT_TRUE(Sim.Start("COM6"));
    ASSERT_TRUE(Tool.Start("\"" + ToolExe() + "\""));
    ASSERT_TRUE(Window.Find(Tool.Info.dwProcessId, StartTimeoutMs));
}

void ToolTest::TearDown() {
    if (Tool.ExitCode() == STILL_ACTIVE) {
        // A test that failed midway may have left dialogs or boxes open; the
        // window does not close under them.
        for (int open = 0; open < 4; ++open) {
            HWND box = Window.Dialog();
            if (!box) break;
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            Eventually([&] { return !IsWindow(box); }, WaitTimeoutMs, 20);
        }
        Window.Close();
        Tool.WaitForExit(WaitTimeoutMs);
    }
    Sim.Stop();
}

std::vector<Request> ToolTest::Requests() {
    std::vector<Request> requests;
    for (const std::string& line : Sim.TakeRequests()) requests.push_back(ParseRequest(line));
    return requests;
}

std::vector<int> ToolTest::Commands() {
    std::vector<int> commands;
    for (const Request& request : Requests()) commands.push_back(request.Command);
    return commands;
}

void ToolTest::Set(const std::string& name, const std::string& value) {
    ASSERT_TRUE(Sim.Command("set " + name + " " + value)) << name;
}

std::string ToolTest::Stored(const std::string& name) {
    std::string value = Sim.Dump()[name];
    return value.substr(0, value.find(' '));
}

void ToolTest::Connect() {
    ASSERT_TRUE(Window.PickPort("COM5"));
    ASSERT_EQ(TextAt(Device), "VL4");
    Requests();
}

bool ToolTest::WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    return Eventually(
        [&] {
            Sim.Drain();
            return condition();
        },
        timeoutMs, 20);
}

void ToolTest::WhileBoxes(const std::function<void()>& action,
                          const std::function<void(HWND)>& onBox, HWND owner) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        action();
        done = true;
    });
    const DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < WaitTimeoutMs) {
        if (HWND box = FindWindowOf(Window.ProcessId, ToolDialog::ClassName, nullptr, owner)) {
            onBox(box);
            Eventually([&] { return !IsWindow(box); }, WaitTimeoutMs, 20);
        }
        Sleep(20);
    }
    worker.join();
}

} // namespace e2e
