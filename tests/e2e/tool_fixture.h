#pragma once

// vl4config.exe and vl4sim.exe for one test: the simulator on COM6, the tool
// on its own with nothing picked, driven from the test's process as a user
// drives it.
#include "e2e/sim_process.h"
#include "tool_driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD StartTimeoutMs = 60000;
constexpr DWORD WaitTimeoutMs = 20000;

using namespace MainFields;

// A request frame as the simulator logs it: "01 30 04 00 00 48 41 3A".
struct Request {
    int Command = -1;
    std::vector<int> Data;
};
Request ParseRequest(const std::string& line);
bool operator==(const Request& a, const Request& b);
// For the failure messages: "48 [00 00 AF 41]".
void PrintTo(const Request& request, std::ostream* out);

// The four bytes of a float as they travel, least significant first.
std::vector<int> FloatBytes(float value);

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The requests the simulator received since the last call.
    std::vector<Request> Requests();
    std::vector<int> Commands();
    void Set(const std::string& name, const std::string& value);
    // A value the simulator holds, without the bits dump adds to a float.
    std::string Stored(const std::string& name);
    // Picks the simulator's port; the read-out's requests are taken.
    void Connect();
    // Eventually, with the simulator's log read meanwhile.
    bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);
    std::string TextAt(Place place) { return Window.TextAt(place); }
    HWND At(Place place) { return Window.At(place.X, place.Y); }

    // Runs action on a thread of its own, for actions that may show a modal
    // window; onBox gets each window of class "#32770" owned by owner (any,
    // when null) that the tool shows meanwhile, and must close it.
    void WhileBoxes(const std::function<void()>& action, const std::function<void(HWND)>& onBox,
                    HWND owner = nullptr);

    SimProcess Sim;
    StartedProgram Tool;
    ToolWindow Window;
};

} // namespace e2e
