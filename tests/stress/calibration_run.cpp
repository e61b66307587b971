#include "stress/calibration_run.h"

#include "core/number_text.h"
#include "shown_text.h"
#include "sim/sim_console.h"

using namespace fwtest;

namespace {

using D = CalibrationDialog;

const ShownBox BadPoints = {"Kalibrace",
                            "Chyba kalibra\xE8n\xED"
                            "ch bod\xF9.",
                            MB_ICONERROR};
constexpr UINT QuestionStyle = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
const char* const ProbeNames[] = {"pH", "Redox", "Chl\xF3r", "Kysl\xEDk"};

bool Checked(HWND dialog) {
    return IsDlgButtonChecked(dialog, D::SinglePointId) == BST_CHECKED;
}

bool IsFloatCommand(int command) {
    return command >= 46 && command <= 50;
}

} // namespace

bool Spoils(TickFault fault) {
    return fault != TickFault::None && fault != TickFault::Gap && fault != TickFault::Drip;
}

const char* SimCommandOf(TickFault fault) {
    switch (fault) {
    case TickFault::NoReply:
        return "fault noreply";
    case TickFault::BadSum:
        return "fault badsum";
    case TickFault::BadLength:
        return "fault badlength";
    case TickFault::BadStart:
        return "fault badstart";
    case TickFault::Cut:
        return "fault cut";
    case TickFault::Gap:
        return "fault gap 30";
    case TickFault::Drip:
        return "fault drip 5";
    default:
        return nullptr;
    }
}

void CalibrationRuns::SetUp() {
    AppDialogTest::SetUp();
    Model([](TransmitterModel& m) {
        m.Probe.NoiseMv = 0;
        m.Probe.Pinned = true;
    });
}

std::vector<LoggedFrame> CalibrationRuns::TakeFrames() {
    std::vector<std::string> lines;
    Model([&](TransmitterModel&) {
        lines.swap(Log);
        Seen = 0;
    });
    std::vector<LoggedFrame> frames;
    for (const std::string& line : lines) {
        LoggedFrame frame = FrameOf(line);
        if (frame.Request) frames.push_back(frame);
    }
    CountSent(frames);
    return frames;
}

// Whatever a run sends, in every phase: never a value that is not a finite
// float, never a slope of zero.
void CalibrationRuns::CountSent(const std::vector<LoggedFrame>& frames) {
    for (const LoggedFrame& frame : frames) {
        if (!IsFloatCommand(frame.Command)) {
            Tally.DateFrames += frame.Command == 45;
            continue;
        }
        const float value = FloatWithBits(frame.Value());
        Tally.NonFiniteSent += !IsFinite(value);
        Tally.OffsetFrames += frame.Command == 48;
        if (frame.Command == 49) {
            ++Tally.SlopeFrames;
            Tally.ZeroSlopesSent += value == 0.0f;
        }
    }
}

void CalibrationRuns::Run(const CalibrationPlan& plan) {
    Probe = plan.Probe;
    SinglePoint = plan.SinglePoint || plan.Probe == RedoxProbe;
    Points[0] = Points[1] = MeasuredPoint{};
    Boxes.clear();
    Actions.clear();
    Model([&](TransmitterModel& m) { m.Values.ProbeType = plan.Probe; });
    TakeFrames();
    const uint32_t dayBefore = TodaysDate();

    Actions.push_back([this, &plan](HWND h) {
        // The test gives every tick itself.
        KillTimer(h, D::SampleTimerId);
        EXPECT_EQ(ItemText(h, D::ProbeNameId), ProbeNames[Probe]);
        if (Probe == RedoxProbe) {
            EXPECT_TRUE(Checked(h));
            EXPECT_FALSE(ItemEnabled(h, D::SinglePointId));
        } else if (plan.SinglePoint) {
            Click(h, D::SinglePointId);
        }
        EXPECT_EQ(Checked(h), SinglePoint);
    });
    for (const PointPlan& point : plan.Points)
        Actions.push_back(
            [this, &point](HWND h) { StartPoint(h, point, Points[point.Point - 1]); });
    Actions.push_back([this](HWND h) { PressOk(h); });

    Dialog = new CalDialog(main, Link, *CalibrationFields);
    Dialog->Hook = [this](MessageRecord& msg) {
        if (msg.Msg == WM_INITDIALOG) PostMessageA(msg.Hwnd, NextStep, 0, 0);
        if (msg.Msg == CloseBoxMessage) {
            CloseBoxOf(msg.Hwnd, &Boxes, static_cast<int>(msg.WParam));
            return true;
        }
        if (msg.Msg != NextStep) return false;
        Next(msg.Hwnd);
        return true;
    };
    const INT_PTR result = app.RunDialog(Dialog);
    // What was still posted to the dialog went with its window.
    MSG leftover;
    while (PeekMessageA(&leftover, nullptr, NextStep, CloseBoxMessage, PM_REMOVE)) {
    }
    const std::vector<LoggedFrame> frames = TakeFrames();

    const ExpectedPair expected = ExpectedCalibration(Probe, SinglePoint, Points[0], Points[1]);
    ++Tally.Runs;
    ++Tally.ByProbeAndMode[Probe & 3][SinglePoint];
    std::vector<int> commands;
    for (const LoggedFrame& frame : frames) commands.push_back(frame.Command);
    if (!CheckOutcome(expected, result, commands)) return;
    ++Tally.Written;
    ASSERT_EQ(commands, (std::vector<int>{48, 49, 45}));
    EXPECT_EQ(frames[0].Value(), BitsOf(expected.Offset)) << "offset " << expected.Offset;
    EXPECT_EQ(frames[1].Value(), BitsOf(expected.Sensitivity))
        << "sensitivity " << expected.Sensitivity;
    const uint32_t date = frames[2].Value();
    EXPECT_TRUE(date == dayBefore || date == TodaysDate()) << std::hex << date;
    EXPECT_EQ(TextOf(OffsetEdit), Shown(expected.Offset, 3));
    EXPECT_EQ(TextOf(SensitivityEdit), Shown(expected.Sensitivity, 3));
    EXPECT_EQ(TextOf(DateDisplay), ShownDate(date));
}

bool CalibrationRuns::CheckOutcome(const ExpectedPair& expected, INT_PTR result,
                                   const std::vector<int>& commands) {
    if (!expected.Written) {
        ++Tally.Refused;
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(Boxes, std::vector<ShownBox>{BadPoints});
        EXPECT_TRUE(commands.empty()) << "nothing written";
        return false;
    }
    if (!expected.Asks) {
        EXPECT_TRUE(Boxes.empty()) << ::testing::PrintToString(Boxes);
        EXPECT_EQ(result, IDOK);
        return true;
    }
    ++Tally.Asked;
    if (Boxes.size() != 1) {
        ADD_FAILURE() << "the question did not come: " << ::testing::PrintToString(Boxes);
        return false;
    }
    const ShownBox& box = Boxes[0];
    EXPECT_EQ(box.Caption, "Kalibrace");
    EXPECT_EQ(box.Style, QuestionStyle);
    const std::string text = ExpectedQuestion(expected);
    if (!text.empty()) {
        ++Tally.QuestionsReadExactly;
        EXPECT_EQ(box.Text, text);
    } else {
        EXPECT_EQ(box.Text.substr(box.Text.find('\n') + 1), QuestionSecondLine);
    }
    if (Answer == IDYES) {
        EXPECT_EQ(result, IDOK);
        return true;
    }
    ++Tally.Declined;
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(commands.empty()) << "declined, nothing written";
    return false;
}

void CalibrationRuns::Next(HWND dialog) {
    if (Actions.empty()) return;
    Action action = std::move(Actions.front());
    Actions.pop_front();
    action(dialog);
    // What the action posted comes first.
    if (!Actions.empty()) PostMessageA(dialog, NextStep, 0, 0);
}

// A standard is taken when it is a finite number of at most 15 characters,
// not below zero unless it is the Redox point.
void CalibrationRuns::StartPoint(HWND h, const PointPlan& point, MeasuredPoint& measured) {
    const int k = point.Point;
    SetDlgItemTextA(h, k == 1 ? D::Standard1Id : D::Standard2Id, point.Standard.c_str());
    const std::string typed = ItemText(h, k == 1 ? D::Standard1Id : D::Standard2Id);
    Click(h, k == 1 ? D::Point1Id : D::Point2Id);
    float n = 0;
    const bool accepted = ExpectedNumber(typed, StandardTextLength, n) && IsFinite(n) &&
                          (n >= 0.0f || (k == 1 && Probe == RedoxProbe));
    const std::string shown = ItemText(h, k == 1 ? D::Value1Id : D::Value2Id);
    if (!accepted) {
        ++Tally.StandardsRefused;
        EXPECT_EQ(shown, "Chyba") << "standard \"" << typed << "\"";
        EXPECT_EQ(Dialog->SamplingPoint, 0) << typed;
        measured.Valid = false;
        return;
    }
    ++Tally.StandardsAccepted;
    EXPECT_EQ(shown, Shown(n, 2)) << "standard \"" << typed << "\"";
    EXPECT_EQ(BitsOf(k == 1 ? Dialog->Standard1 : Dialog->Standard2), BitsOf(n)) << typed;
    if (Dialog->SamplingPoint != k) {
        ADD_FAILURE() << "point " << k << " did not start with \"" << typed << "\"";
        return;
    }
    measured.Standard = n;
    Taken[k - 1].clear();
    Actions.push_front([this, &point, &measured](HWND h2) {
        Tick(h2, point, 0, point.FirstFaults[0], measured, Taken[point.Point - 1]);
    });
}

// The transmitter gives the sample's voltage; the reply carries the fault.
void CalibrationRuns::Tick(HWND h, const PointPlan& point, size_t sample, TickFault fault,
                           MeasuredPoint& measured, std::vector<float>& taken) {
    Model([&](TransmitterModel& m) {
        m.Probe.PinnedVoltage = point.Voltages[sample];
        if (const char* command = SimCommandOf(fault)) {
            std::vector<std::string> out;
            EXPECT_EQ(RunSimCommand(m, command, out), CommandResult::Ok) << command;
        }
    });
    const int before = Dialog->Samples.Count();
    PostMessageA(h, WM_TIMER, D::SampleTimerId, 0);
    Actions.push_front([this, &point, sample, fault, before, &measured, &taken](HWND h2) {
        CheckTick(h2, point, sample, fault, before, measured, taken);
    });
}

// A run that went astray ends here, so that one fault does not cascade.
void CalibrationRuns::Abandon(HWND h) {
    Actions.clear();
    PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
}

void CalibrationRuns::CheckTick(HWND h, const PointPlan& point, size_t sample, TickFault fault,
                                int before, MeasuredPoint& measured, std::vector<float>& taken) {
    ++Tally.Ticks;
    // The dialog loop shows the dialog after the first WM_TIMER it takes. What
    // is proved here are the values; shown, every tick would repaint its
    // fields through the display, some 20 ms under emulation.
    if (IsWindowVisible(h)) ShowWindow(h, SW_HIDE);
    const bool counted = Dialog->Samples.Count() == before + 1;
    const float v = point.Voltages[sample];
    if (Spoils(fault)) {
        ++Tally.SpoiltTicks;
        if (counted) {
            ADD_FAILURE() << "a tick with a spoilt reply (" << SimCommandOf(fault) << ") counted";
            Abandon(h);
            return;
        }
        Actions.push_front([this, &point, sample, &measured, &taken](HWND h2) {
            Tick(h2, point, sample, TickFault::None, measured, taken);
        });
        return;
    }
    Tally.PiecedTicks += fault != TickFault::None;
    if (!counted) {
        ADD_FAILURE() << "a tick with a good reply did not count, sample " << sample;
        Abandon(h);
        return;
    }
    EXPECT_EQ(ItemText(h, D::VoltageId), Shown(v, 3));
    taken.push_back(v);
    if (taken.size() < point.Voltages.size()) {
        Actions.push_front([this, &point, sample, &measured, &taken](HWND h2) {
            Tick(h2, point, sample + 1, point.FirstFaults[sample + 1], measured, taken);
        });
        return;
    }
    const int k = point.Point;
    EXPECT_EQ(Dialog->SamplingPoint, 0);
    measured.Valid = true;
    measured.Voltage = ExpectedMean(taken);
    EXPECT_EQ(BitsOf(k == 1 ? Dialog->Voltage1 : Dialog->Voltage2), BitsOf(measured.Voltage));
    EXPECT_EQ(ItemText(h, k == 1 ? D::Voltage1Id : D::Voltage2Id), Shown(measured.Voltage, 3));
}

// OK either writes and closes the dialog, or shows the error box and the
// user leaves with Escape, or asks and the answer decides.
void CalibrationRuns::PressOk(HWND h) {
    TakeFrames();
    Answer = Answers() % 2 ? IDYES : IDNO;
    ClickThroughBox(h, IDOK, Answer);
    const bool confirmed = !Boxes.empty() && Boxes[0].Style == QuestionStyle && Answer == IDYES;
    if (!Boxes.empty() && !confirmed) Actions.push_front(PressEscape);
}
