#pragma once

#include "app/calibration_dialog.h"
#include "stress/app_oracle.h"
#include "window/app_dialog_fixture.h"

#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

// Calibrations run in the real CalibrationDialog against the simulated
// transmitter on the cable, as a user runs them, with the sampling ticks
// posted by the test instead of waiting for the 300 ms timer. Every step is
// checked against the oracle (app_oracle.h): what the value fields show,
// which ticks count, and what OK writes, bit for bit.

// How a tick's reply is damaged. The first five spoil it (the tick must not
// count); a reply in pieces must still count with the right value.
enum class TickFault { None, NoReply, BadSum, BadLength, BadStart, Cut, Gap, Drip, Kinds };
bool Spoils(TickFault fault);
const char* SimCommandOf(TickFault fault); // "fault noreply" ...

// One point as the user takes it: the standard typed, the button pressed,
// then one tick per sample. The transmitter gives each sample's planned
// voltage; a damaged reply is taken again on the next tick.
struct PointPlan {
    int Point = 1;
    std::string Standard;
    std::vector<float> Voltages;        // 66, used when the standard is accepted
    std::vector<TickFault> FirstFaults; // per sample: the fault of its first tick
};

struct CalibrationPlan {
    uint8_t Probe = PhProbe;
    bool SinglePoint = false; // "Jeden bod" checked (always for Redox)
    std::vector<PointPlan> Points;
};

// What the runs of a test counted, for the figures.
struct CalibrationTally {
    int Runs = 0, Written = 0, Refused = 0;
    int Asked = 0, Declined = 0, QuestionsReadExactly = 0;
    int ByProbeAndMode[4][2] = {}; // [probe][single point]
    int StandardsAccepted = 0, StandardsRefused = 0;
    int Ticks = 0, SpoiltTicks = 0, PiecedTicks = 0;
    int OffsetFrames = 0, SlopeFrames = 0, DateFrames = 0;
    int NonFiniteSent = 0, ZeroSlopesSent = 0;
};

// The host window, link and simulated transmitter of the dialog tests.
class CalibrationRuns : public fwtest::AppDialogTest {
protected:
    void SetUp() override;

    // Runs the plan to its end: OK writes, or OK is refused with the error
    // box and Escape leaves, or OK asks about an unusual pH pair, which is
    // answered yes (written) or no (Escape leaves) at random. Checks
    // everything on the way.
    void Run(const CalibrationPlan& plan);

    CalibrationTally Tally;

private:
    using CalDialog = fwtest::Recorder<CalibrationDialog>;
    using Action = std::function<void(HWND)>;

    void Next(HWND dialog);
    void StartPoint(HWND dialog, const PointPlan& point, MeasuredPoint& measured);
    void Tick(HWND dialog, const PointPlan& point, size_t sample, TickFault fault,
              MeasuredPoint& measured, std::vector<float>& taken);
    void Abandon(HWND dialog);
    void CheckTick(HWND dialog, const PointPlan& point, size_t sample, TickFault fault, int before,
                   MeasuredPoint& measured, std::vector<float>& taken);
    void PressOk(HWND dialog);
    // What OK showed and wrote against the oracle's pair; false when the
    // pair was not to be written.
    bool CheckOutcome(const ExpectedPair& expected, INT_PTR result,
                      const std::vector<int>& commands);
    // The frames received since the last call; the log starts over.
    std::vector<LoggedFrame> TakeFrames();
    void CountSent(const std::vector<LoggedFrame>& frames);

    CalDialog* Dialog = nullptr;
    std::deque<Action> Actions;
    std::vector<fwtest::ShownBox> Boxes;
    std::mt19937 Answers{5916};
    int Answer = IDYES; // to the question of this run's OK
    uint8_t Probe = 0;
    bool SinglePoint = false;
    MeasuredPoint Points[2];
    std::vector<float> Taken[2];
};
