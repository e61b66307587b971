#include "stress/tool_on_cable.h"

#include "e2e/child_process.h"

std::string ToolExePath() {
    return "\"" + WindowsPath(VL4CONFIG_EXE) + "\"";
}

void ToolOnCable::SetUp() {
    ASSERT_TRUE(StartSim(Paced));
    Model([this](TransmitterModel& m) {
        m.Log = [this](const std::string& line) {
            if (LogOn) Log.push_back(line);
        };
    });
    ASSERT_TRUE(Tool.Start(ToolExePath()));
    ASSERT_TRUE(Window.Find(Tool.Info.dwProcessId, StartTimeoutMs));
    ASSERT_TRUE(Connect());
}

void ToolOnCable::TearDown() {
    EXPECT_TRUE(ToolRunning()) << "the tool ended on its own";
    if (ToolRunning()) {
        Window.Close();
        EXPECT_TRUE(Tool.WaitForExit(LivenessMs));
        EXPECT_EQ(Tool.ExitCode(), 0u);
    }
    Sim.Stop();
}

bool ToolOnCable::StartSim(bool paced) {
    Paced = paced;
    return Sim.Start("COM6", paced);
}

bool ToolOnCable::Connect() {
    return Window.PickPort("COM5") && TextOf(Window.At(120, 10)) == "VL4";
}

unsigned ToolOnCable::Requests() {
    return Model([](TransmitterModel& m) { return m.Requests; });
}

bool ToolOnCable::WaitForRequests(unsigned count) {
    unsigned seen = Requests();
    DWORD progress = GetTickCount();
    while (seen < count) {
        Sleep(1);
        const unsigned now = Requests();
        if (now != seen) {
            seen = now;
            progress = GetTickCount();
        } else if (GetTickCount() - progress > LivenessMs) {
            return false;
        }
    }
    return true;
}

HWND ToolOnCable::WaitForDialog(const char* caption) {
    HWND dialog = nullptr;
    Eventually([&] { return (dialog = Window.Dialog(caption)) != nullptr; }, LivenessMs);
    return dialog;
}

bool ToolOnCable::WaitUntilGone(HWND window) {
    return Eventually([&] { return !IsWindow(window); }, LivenessMs);
}

void ToolOnCable::PressEscape(HWND dialog) {
    ToolDialog target;
    target.Handle = dialog;
    target.ThreadId = Window.ThreadId;
    target.PressEscape();
}

HWND ToolOnCable::BoxOf(HWND owner) {
    return FindWindowOf(Window.ProcessId, "#32770", nullptr, owner);
}
