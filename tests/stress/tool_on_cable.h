#pragma once

#include "sim/sim_server.h"
#include "tool_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// vl4config.exe started as a process of its own and driven from this one,
// connected through COM5 to the simulated transmitter that this process
// serves on COM6. The waits below guard against a hang only: each gives up
// after LivenessMs without progress, far beyond any of the tool's time-outs.
class ToolOnCable : public ::testing::Test {
protected:
    static constexpr DWORD StartTimeoutMs = 60000;
    static constexpr DWORD LivenessMs = 30000;

    void SetUp() override;
    // The tool must still run; it is closed and must end with exit code 0.
    void TearDown() override;

    // Serves the transmitter on COM6, paced like a 9600 baud line when Paced.
    bool StartSim(bool paced);
    // Picks COM5 as the user does; true when the transmitter was identified.
    bool Connect();
    template <class F> auto Model(F&& use) { return Sim.WithModel(use); }
    unsigned Requests();
    // Until the transmitter has taken `count` requests in all.
    bool WaitForRequests(unsigned count);
    // Until a dialog of the tool with that caption is open (null when none
    // comes), or until the window is gone.
    HWND WaitForDialog(const char* caption);
    bool WaitUntilGone(HWND window);
    // Escape as the user types it, into the control that has the focus in
    // the tool.
    void PressEscape(HWND dialog);
    // The message box the window owns, or null.
    HWND BoxOf(HWND owner);
    bool ToolRunning() const { return Tool.ExitCode() == STILL_ACTIVE; }

    SimServer Sim;
    bool Paced = false; // set before SetUp for a paced transmitter
    StartedProgram Tool;
    ToolWindow Window;
    std::vector<std::string> Log; // the simulator's, written under its model's lock
    bool LogOn = false;
};

std::string ToolExePath();
