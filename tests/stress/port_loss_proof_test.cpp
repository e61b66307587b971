// Port loss: the virtual cable is pulled (its socat ended) in the middle of
// a read-out, of polling and of a calibration of the real vl4config.exe. The
// tool does not crash, answers sent messages again within its time-outs,
// shows no value the transmitter did not send, writes none it did not
// compute, and connects again once the cable is back and the user picks the
// port again.
#include "core/number_text.h"
#include "shown_text.h"
#include "stress/app_oracle.h"
#include "stress/cable_control.h"
#include "stress/proof.h"
#include "stress/tool_on_cable.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <random>
#include <set>
#include <thread>

namespace {

// A sent message must be answered within this, from the moment the cable is
// pulled: a read-out whose every transaction runs into its time-outs takes
// about 15 x 300 ms.
constexpr DWORD ResponseLimitMs = 10000;
constexpr unsigned ReadoutRequests = 15; // identification and 14 reads

using namespace MainFields;

// The message box's text: its one static with text.
std::string BoxText(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 && !TextOf(child).empty()) return TextOf(child);
    }
    return "";
}

// Posts timer ticks to a window until stopped, each when the last has been
// handled: its requests reached the transmitter, or it had time to fail.
class Ticker {
public:
    Ticker(HWND window, std::function<unsigned()> requests, unsigned perTick)
        : Worker([this, window, requests, perTick] {
              while (!Stop) {
                  const unsigned before = requests();
                  PostMessageA(window, WM_TIMER, 1, 0);
                  Eventually([&] { return Stop || requests() >= before + perTick; }, DeadTickMs);
              }
          }) {}
    ~Ticker() { Halt(); }
    void Halt() {
        Stop = true;
        if (Worker.joinable()) Worker.join();
    }

private:
    // Each read of a tick waits out its 200 ms time-out on a dead line.
    static constexpr DWORD DeadTickMs = 700;
    std::atomic<bool> Stop{false};
    std::thread Worker;
};

// The values the transmitter holds in round i: each round's differ from the
// last round's, so a field can only show one of the two.
struct RoundValues {
    uint16_t Firmware;
    int32_t ProductionNumber;
    float Offset, UpperRange, Voltage;

    explicit RoundValues(int i)
        : Firmware(static_cast<uint16_t>(0x0100 + i % 200)), ProductionNumber(1000 + i),
          Offset(0.5f * static_cast<float>(i % 1000)), UpperRange(10.0f + static_cast<float>(i)),
          Voltage(-100.0f + 0.25f * static_cast<float>(i)) {}
};

class PortLoss : public ToolOnCable {
protected:
    PortLoss() { Paced = true; }

    void SetUp() override {
        ToolOnCable::SetUp();
        if (HasFatalFailure()) return;
        Hold(RoundValues(0));
        const DWORD start = GetTickCount();
        ASSERT_TRUE(Connect());
        ReadoutMs = GetTickCount() - start;
    }

    // The environment keeps a working cable whatever happened.
    void TearDown() override {
        if (!Cable.Plugged()) {
            EXPECT_TRUE(Cable.Plug());
        }
        if (!Sim.Running()) {
            EXPECT_TRUE(StartSim(Paced));
        }
        ToolOnCable::TearDown();
    }

    void Hold(const RoundValues& v) {
        Model([&](TransmitterModel& m) {
            m.Values.FirmwareVersion = v.Firmware;
            m.Values.ProductionNumber = v.ProductionNumber;
            m.Values.Offset = v.Offset;
            m.Values.UpperRange = v.UpperRange;
            m.Probe.Pinned = true;
            m.Probe.PinnedVoltage = v.Voltage;
        });
    }

    DWORD Uniform(DWORD high) { return high ? Random() % high : 0; }

    // Pulls the cable `afterMs` after `meanwhile` ran; with the cable goes
    // the transmitter's end of the line. Answers whether requests came in
    // just before the cable went (within PulseMs): it went while
    // transactions ran.
    bool PullIn(DWORD afterMs, const std::function<void()>& meanwhile = {}) {
        if (!Cable.Arm()) {
            ADD_FAILURE() << "the cable script did not start";
            return false;
        }
        if (meanwhile) meanwhile();
        Sleep(afterMs > PulseMs ? afterMs - PulseMs : 0);
        const unsigned before = Requests();
        Sleep(afterMs > PulseMs ? PulseMs : afterMs);
        if (!Cable.Fire() || !Cable.Finish()) {
            ADD_FAILURE() << "the cable script failed";
            return false;
        }
        UnpluggedAt = GetTickCount();
        const bool running = Requests() != before;
        Sim.Stop();
        return running;
    }

    // The tool still runs and answers a sent message within the limit.
    void ExpectResponsive() {
        const bool responds = Window.Responds(ResponseLimitMs);
        LongestMs = std::max(LongestMs, GetTickCount() - UnpluggedAt);
        ASSERT_TRUE(ToolRunning()) << "the tool ended";
        ASSERT_TRUE(responds) << "the tool does not answer";
    }

    // The cable comes back, the transmitter serves again, the user picks
    // the port: the tool identifies it and reads every value.
    // Polling may add its own requests to those of the read-out.
    void ExpectReconnect(bool polling = false) {
        ASSERT_TRUE(Cable.Plug());
        ASSERT_TRUE(StartSim(Paced));
        const unsigned before = Requests();
        ASSERT_TRUE(Connect()) << "no connection with the cable back";
        if (polling)
            EXPECT_GE(Requests() - before, ReadoutRequests);
        else
            EXPECT_EQ(Requests() - before, ReadoutRequests);
        ++Reconnects;
    }

    // Each field shows the value of this round or of the last; the identity
    // fields may also be empty (an identification that failed clears them).
    void ExpectFieldsFrom(const RoundValues& now, const RoundValues& last, bool afterReconnect) {
        auto expectOneOf = [&](Place place, std::set<std::string> allowed) {
            if (!afterReconnect && place.Y <= ProductionNumber.Y) allowed.insert("");
            const std::string shown = Window.TextAt(place);
            EXPECT_TRUE(allowed.count(shown))
                << "field at " << place.X << "," << place.Y << " shows \"" << shown << "\"";
        };
        auto either = [&](const std::string& a, const std::string& b) {
            return afterReconnect ? std::set<std::string>{a} : std::set<std::string>{a, b};
        };
        expectOneOf(Device, {"VL4"});
        expectOneOf(Firmware, either(ShownVersion(now.Firmware), ShownVersion(last.Firmware)));
        expectOneOf(ProductionNumber, either(std::to_string(now.ProductionNumber),
                                             std::to_string(last.ProductionNumber)));
        expectOneOf(Offset, either(Shown(now.Offset, 3), Shown(last.Offset, 3)));
        expectOneOf(UpperRange, either(Shown(now.UpperRange, 2), Shown(last.UpperRange, 2)));
    }

    // Rounds until `target` of them lost the cable while transactions ran
    // (round answers that), at most MaxRoundsPerLoss times as many.
    template <class Round> void RunRounds(const char* what, int target, Round round) {
        int rounds = 0, hits = 0;
        Stopwatch watch;
        while (hits < target && rounds < MaxRoundsPerLoss * target && !HasFatalFailure()) {
            ++rounds;
            SCOPED_TRACE(std::string(what) + " round " + std::to_string(rounds));
            hits += round(rounds);
        }
        EXPECT_EQ(hits, target) << "too few losses while transactions ran";
        Figure("%s: %d cable losses, %d of them while transactions ran; %d reconnects; the "
               "longest wait for an answer after a loss %lu ms; time %.0f s",
               what, rounds, hits, Reconnects, static_cast<unsigned long>(LongestMs),
               watch.Seconds());
    }

    CableControl Cable;
    std::mt19937 Random{1250};
    DWORD ReadoutMs = 0;
    DWORD UnpluggedAt = 0;
    // A paced transaction takes about 15 ms.
    static constexpr DWORD PulseMs = 30;
    static constexpr int MaxRoundsPerLoss = 5;
    DWORD LongestMs = 0;
    int Reconnects = 0;
};

TEST_F(PortLoss, DuringAReadout) {
    RunRounds("read-out", ProofSize(7, 100), [&](int i) {
        const RoundValues last(i - 1), now(i);
        Hold(now);
        const unsigned before = Requests();
        // The pick as the user makes it, without waiting for its read-out.
        HWND ports = Window.Control(ToolWindow::PortBoxId);
        auto pick = [&] {
            SendMessageA(ports, CB_SETCURSEL,
                         SendMessageA(ports, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>("COM5")),
                         0);
            PostMessageA(Window.Handle, WM_COMMAND,
                         MAKEWPARAM(ToolWindow::PortBoxId, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(ports));
        };
        PullIn(Uniform(ReadoutMs), pick);
        const unsigned taken = Requests() - before;
        if (HasFatalFailure()) return false;
        ExpectResponsive();
        ExpectFieldsFrom(now, last, false);
        if (HasFatalFailure()) return false;
        ExpectReconnect();
        ExpectFieldsFrom(now, last, true);
        return taken > 0 && taken < ReadoutRequests;
    });
    Figure("a read-out with its connect takes %lu ms", static_cast<unsigned long>(ReadoutMs));
}

TEST_F(PortLoss, WhilePolling) {
    Window.Click(ToolWindow::ReadCheckBoxId);
    RunRounds("polling", ProofSize(7, 100), [&](int i) {
        const RoundValues last(i - 1), now(i);
        Hold(now);
        bool hit;
        {
            Ticker ticker(
                Window.Handle, [this] { return Requests(); }, 3);
            hit = PullIn(50 + Uniform(450));
        }
        if (HasFatalFailure()) return false;
        ExpectResponsive();
        // Empty once a tick found the line dead.
        const std::string shown = Window.TextAt(Voltage);
        EXPECT_TRUE(shown == Shown(now.Voltage, 3) || shown == Shown(last.Voltage, 3) ||
                    shown.empty())
            << shown;
        if (HasFatalFailure()) return false;
        ExpectReconnect(true);
        // Polling goes on over the new connection: "Číst" stays checked.
        const float again = now.Voltage + 0.125f;
        Model([&](TransmitterModel& m) { m.Probe.PinnedVoltage = again; });
        PostMessageA(Window.Handle, WM_TIMER, 1, 0);
        EXPECT_TRUE(
            Eventually([&] { return Window.TextAt(Voltage) == Shown(again, 3); }, LivenessMs));
        return hit;
    });
}

// A calibration of one pH point, taken in a solution of pH 7 (so its
// offset is the probe voltage), loses the cable while it samples or while
// OK writes.
class CalibrationLoss : public PortLoss {
protected:
    bool Round(int i, bool duringWrites) {
        RoundValues now(i);
        // A healthy electrode in a solution of pH 7 gives a few mV: a pair
        // that is written without a question.
        now.Voltage = static_cast<float>(i % 100) * 0.5f - 25.0f;
        Hold(now);
        Model([&](TransmitterModel& m) {
            m.Values.Damping = 5;
            Log.clear();
            LogOn = true;
        });
        Window.PostClick(ToolWindow::CalibrationButtonId);
        HWND dialog = WaitForDialog("Kalibrace");
        if (!dialog) {
            ADD_FAILURE() << "no calibration dialog";
            return false;
        }
        SendMessageA(GetDlgItem(dialog, 103), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, 104), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("7"));
        SendMessageA(GetDlgItem(dialog, 107), BM_CLICK, 0, 0);
        bool hit;
        {
            Ticker ticker(
                dialog, [this] { return Requests(); }, 1);
            DWORD after = Uniform(800);
            std::function<void()> ok;
            if (duringWrites) {
                // The point is taken; OK writes offset, slope and date.
                EXPECT_TRUE(Eventually([&] { return !TextOf(GetDlgItem(dialog, 106)).empty(); },
                                       LivenessMs));
                ticker.Halt();
                ok = [dialog] {
                    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
                };
                after = Uniform(80);
            }
            hit = PullIn(after, ok);
        }
        if (HasFatalFailure()) return false;
        ExpectResponsive();
        if (HasFatalFailure()) return false;
        const std::vector<std::string> boxes = CloseEverything(dialog);
        CheckWrites(now, boxes);
        ExpectReconnect();
        // Whatever became of the damping, the window shows the transmitter's.
        const int damping = Model([](TransmitterModel& m) { return int{m.Values.Damping}; });
        EXPECT_EQ(Window.SelectedIndex(ToolWindow::DampingListId), damping);
        return hit;
    }

    // The user closes what is open: the error boxes, then the dialog. Each
    // box is noted as "caption: text".
    std::vector<std::string> CloseEverything(HWND dialog) {
        std::vector<std::string> boxes;
        for (;;) {
            if (!Window.Responds(ResponseLimitMs)) {
                ADD_FAILURE() << "the tool does not answer";
                break;
            }
            HWND box = BoxOf(dialog);
            const bool ofMainWindow = !box && BoxOf(Window.Handle) != dialog;
            if (ofMainWindow) box = BoxOf(Window.Handle);
            if (box) {
                boxes.push_back(TextOf(box) + ": " + BoxText(box));
                (ofMainWindow ? RestoreBoxes : DialogBoxes)++;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                EXPECT_TRUE(WaitUntilGone(box));
            } else if (IsWindow(dialog)) {
                PressEscape(dialog);
                EXPECT_TRUE(WaitUntilGone(dialog));
            } else {
                break;
            }
        }
        for (const std::string& box : boxes)
            EXPECT_TRUE(box == "Kalibrace: Chyba komunikace" ||
                        box == "VL4 config: Chyba komunikace")
                << box;
        return boxes;
    }

    // What reached the transmitter is what the tool computed; a damping
    // that was zeroed and not restored is reported.
    void CheckWrites(const RoundValues& now, const std::vector<std::string>& boxes) {
        bool zeroed = false, restored = false;
        const uint32_t expected[] = {BitsOf(now.Voltage), BitsOf(-58.0f), TodaysDate()};
        const int written[] = {48, 49, 45};
        Model([&](TransmitterModel&) {
            LogOn = false;
            for (const std::string& line : Log) {
                const LoggedFrame frame = FrameOf(line);
                if (!frame.Request || frame.Data.empty()) continue;
                if (frame.Command == 44) (frame.Data[0] == 0 ? zeroed : restored) = true;
                for (int w = 0; w < 3; ++w)
                    EXPECT_TRUE(frame.Command != written[w] || frame.Value() == expected[w])
                        << "command " << frame.Command << " wrote " << std::hex << frame.Value();
                Writes += frame.Command == 48 || frame.Command == 49 || frame.Command == 45;
            }
        });
        if (zeroed && !restored) {
            EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "VL4 config: Chyba komunikace"), 1)
                << "a damping that could not be restored is reported";
        }
    }

    int DialogBoxes = 0, RestoreBoxes = 0, Writes = 0;
};

TEST_F(CalibrationLoss, WhileSampling) {
    RunRounds("calibration, sampling", ProofSize(3, 50), [&](int i) { return Round(i, false); });
    Figure("error boxes: %d of the dialog, %d of the main window (the damping could not be "
           "restored)",
           DialogBoxes, RestoreBoxes);
}

TEST_F(CalibrationLoss, WhileWriting) {
    RunRounds("calibration, writing", ProofSize(3, 50), [&](int i) { return Round(i, true); });
    Figure("error boxes: %d of the dialog (a write failed), %d of the main window (the damping "
           "could not be restored); writes that reached the transmitter %d, all as computed",
           DialogBoxes, RestoreBoxes, Writes);
}

} // namespace
