#pragma once

#include "app/dialog_targets.h"
#include "app/value_fields.h"
#include "devlink/transmitter_link.h"
#include "line/sim_on_cable.h"
#include "window/control_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace fwtest {

using Step = std::function<void(HWND)>;

// A message box the dialog showed: its caption, text and the MB_ style its
// buttons, default button and icon show (MB_YESNO | MB_ICONWARNING | ...).
struct ShownBox {
    std::string Caption;
    std::string Text;
    UINT Style = 0;
    bool operator==(const ShownBox& other) const {
        return Caption == other.Caption && Text == other.Text && Style == other.Style;
    }
};
void PrintTo(const ShownBox& box, std::ostream* out);

// Runs the steps one per posted message once the dialog has initialised, each
// inside the dialog's own modal loop. A message box that a step opens through
// ClickThroughBox is noted in boxes and closed from inside the box's loop.
template <class D>
void Script(Recorder<D>* dialog, std::vector<Step> steps, std::vector<ShownBox>* boxes = nullptr);

void Click(HWND dialog, int id);
// Notes the message box owned by the dialog, if one is open, and closes it
// with the answer (a button id).
void CloseBoxOf(HWND owner, std::vector<ShownBox>* boxes, int answer = IDOK);
// Clicks and closes with the answer the message box the click may open.
void ClickThroughBox(HWND dialog, int id, int answer = IDOK);
// Escape as the user types it, in the focused control.
void PressEscape(HWND dialog);
std::string ItemText(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
// When VL4_SCREENSHOT_DIR names a directory (a Windows path: Z:\tmp\shots),
// shows the window and writes what the screen shows of it as NAME.bmp there.
// docs/probe-dialog.png and docs/calibration-dialog.png are these, converted.
void SaveScreenshot(HWND window, const char* name);

// A host main window with real target fields, a link on COM5 and the
// simulated transmitter on COM6.
struct AppDialogTest : ::testing::Test {
    void SetUp() override;
    void TearDown() override;

    // A command of the simulator's language ("set probe 3", "fault noreply").
    void Steer(const std::string& command);
    template <class F> auto Model(F&& use) { return Sim.Server.WithModel(use); }
    // The command numbers of the requests the transmitter took since the last call.
    std::vector<int> Commands();
    // The next request for the command gets no reply.
    void FailNext(int command);

    Application app{"VL4 config"};
    TestWindow* main = nullptr;
    ValueDisplay* TypeDisplay = nullptr;
    ValueDisplay* DateDisplay = nullptr;
    ValueEdit* OffsetEdit = nullptr;
    ValueEdit* SensitivityEdit = nullptr;
    ValueEdit* LowerRangeEdit = nullptr;
    ValueEdit* UpperRangeEdit = nullptr;
    // The records the main window keeps for as long as its dialog runs.
    std::unique_ptr<ProbeTypeTargets> ProbeTargets;
    std::unique_ptr<CalibrationTargets> CalibrationFields;
    std::vector<std::string> Log; // written under the model's lock
    size_t Seen = 0;
    int FailCommand = -1;
    SimOnCable Sim; // stopped before the log goes
    TransmitterLink Link;
};

constexpr UINT NextStep = WM_APP;
constexpr UINT CloseBoxMessage = WM_APP + 1;

// The script's part of the dialog's message hook; true when it took the message.
bool ScriptMessage(MessageRecord& msg, std::vector<Step>& steps, size_t& next,
                   std::vector<ShownBox>* boxes);

template <class D>
void Script(Recorder<D>* dialog, std::vector<Step> steps, std::vector<ShownBox>* boxes) {
    dialog->Hook = [steps, next = size_t(0), boxes](MessageRecord& msg) mutable {
        return ScriptMessage(msg, steps, next, boxes);
    };
}

} // namespace fwtest
