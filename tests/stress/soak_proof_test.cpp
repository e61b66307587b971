// Soak: the real vl4config.exe, connected to the simulated transmitter, opens
// and closes both dialogs again and again in every way a user closes them,
// and reads the internal values on posted timer ticks. Its windows, live
// thunks and live window objects come back to where they started, and its
// private memory stays within 10 % of what it held after the first
// checkpoint's cycles.
#include "process_memory.h"
#include "stress/proof.h"
#include "stress/tool_on_cable.h"

#include <algorithm>

namespace {

constexpr int PollsPerRound = 10;
constexpr int RequestsPerPoll = 3; // probe voltage, measured value, ratio
constexpr double MemoryGrowthAllowed = 1.10;

const char ProbeCaption[] = "Sonda";
const char CalibrationCaption[] = "Kalibrace";

struct Counts {
    int Windows, Thunks, Objects;
    bool operator==(const Counts& other) const {
        return Windows == other.Windows && Thunks == other.Thunks && Objects == other.Objects;
    }
};

class ToolSoak : public ToolOnCable {
protected:
    Counts Now() {
        return {Window.WindowCount(), Window.LiveCount(ToolWindow::LiveThunks, LivenessMs),
                Window.LiveCount(ToolWindow::LiveWindowObjects, LivenessMs)};
    }

    // Opens the dialog behind the button and closes it the way `how` picks:
    // the close box, Escape, a cancel command, or OK (which for the
    // calibration dialog, without points, first shows the error box).
    void Cycle(int buttonId, const char* caption, int how) {
        Window.PostClick(buttonId);
        HWND dialog = WaitForDialog(caption);
        ASSERT_NE(dialog, nullptr) << caption << " did not open";
        switch (how % 4) {
        case 0:
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            break;
        case 1:
            PressEscape(dialog);
            break;
        case 2:
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            break;
        default:
            // Posted: the box OK may open runs its own loop in the tool.
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
            if (buttonId == ToolWindow::CalibrationButtonId) {
                HWND box = nullptr;
                ASSERT_TRUE(
                    Eventually([&] { return (box = BoxOf(dialog)) != nullptr; }, LivenessMs))
                    << "no error box";
                ++BoxesClosed;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                ASSERT_TRUE(WaitUntilGone(box));
                PostMessageA(dialog, WM_CLOSE, 0, 0);
            }
        }
        ASSERT_TRUE(WaitUntilGone(dialog)) << caption << " did not close";
    }

    void Poll(int ticks) {
        const unsigned expected = Requests() + static_cast<unsigned>(ticks * RequestsPerPoll);
        for (int i = 0; i < ticks; ++i) PostMessageA(Window.Handle, WM_TIMER, 1, 0);
        ASSERT_TRUE(WaitForRequests(expected)) << "the polls stalled";
    }

    int BoxesClosed = 0;
};

TEST_F(ToolSoak, DialogsAndPollsGiveBackWindowsThunksAndMemory) {
    const int rounds = ProofSize(100, 10000);
    const int checkpoint = ProofSize(20, 1000);
    const Counts baseline = Now();
    ASSERT_GT(baseline.Windows, 0);
    ASSERT_GT(baseline.Thunks, 0) << "the tool answers the live counts";
    ASSERT_GT(baseline.Objects, 0);
    const double startKiB = PrivateKiB(Tool.Info.hProcess);
    double referenceKiB = 0, highestKiB = 0, lastKiB = 0;
    Stopwatch watch;
    for (int round = 1; round <= rounds; ++round) {
        ASSERT_NO_FATAL_FAILURE(Cycle(ToolWindow::ProbeButtonId, ProbeCaption, round));
        ASSERT_NO_FATAL_FAILURE(
            Cycle(ToolWindow::CalibrationButtonId, CalibrationCaption, round / 4));
        ASSERT_NO_FATAL_FAILURE(Poll(PollsPerRound));
        if (round % checkpoint != 0) continue;
        const Counts counts = Now();
        EXPECT_EQ(counts.Windows, baseline.Windows) << "round " << round;
        EXPECT_EQ(counts.Thunks, baseline.Thunks) << "round " << round;
        EXPECT_EQ(counts.Objects, baseline.Objects) << "round " << round;
        lastKiB = PrivateKiB(Tool.Info.hProcess);
        if (referenceKiB == 0) referenceKiB = lastKiB;
        highestKiB = std::max(highestKiB, lastKiB);
        EXPECT_LE(lastKiB, referenceKiB * MemoryGrowthAllowed) << "round " << round;
        Figure("round %5d: windows %d, thunks %d, window objects %d, private %.0f KiB (%.1f s)",
               round, counts.Windows, counts.Thunks, counts.Objects, lastKiB, watch.Seconds());
    }
    EXPECT_EQ(Now(), baseline);
    EXPECT_TRUE(ToolRunning());
    Figure("%d probe type and %d calibration dialogs opened and closed (%d error boxes), "
           "%d polls",
           rounds, rounds, BoxesClosed, rounds * PollsPerRound);
    Figure("baseline: windows %d, live thunks %d, live window objects %d; the same at the end",
           baseline.Windows, baseline.Thunks, baseline.Objects);
    Figure("private memory: %.0f KiB at the start, %.0f KiB after the first %d rounds, highest "
           "%.0f KiB (%+.1f %%), last %.0f KiB",
           startKiB, referenceKiB, checkpoint, highestKiB, (highestKiB / referenceKiB - 1) * 100,
           lastKiB);
    Figure("time %.0f s (%.0f ms a round of two dialogs and %d polls)", watch.Seconds(),
           watch.Seconds() * 1000 / rounds, PollsPerRound);
}

} // namespace
