// Hostile input: the same 200 texts typed into every numeric field. A
// "Zápis" button writes exactly the number the oracle reads, or nothing and
// hands the field back selected; a calibration standard is taken as the
// oracle reads it or refused with "Chyba", and the calibration then writes
// the oracle's pair or nothing. No value that is not a finite float is ever
// sent.
#include "app/config_application.h"
#include "app/main_window.h"
#include "app/port_combo_box.h"
#include "app/value_fields.h"
#include "core/number_text.h"
#include "shown_text.h"
#include "stress/calibration_run.h"
#include "stress/proof.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string TextOf(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The tool's main window in this process, connected through COM5 to the
// simulated transmitter on COM6.
class MainWindowInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Sim.Started);
        Sim.Server.WithModel([this](TransmitterModel& m) {
            m.Log = [this](const std::string& line) { Log.push_back(line); };
        });
        app.Start();
        main = static_cast<MainWindow*>(app.MainWin);
        ASSERT_NE(main, nullptr);
        SetForegroundWindow(main->Handle);
        HWND ports = main->PortBox->Handle;
        const LRESULT index = SendMessageA(ports, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>("COM5"));
        ASSERT_NE(index, CB_ERR);
        SendMessageA(ports, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(main->Handle, WM_COMMAND, MAKEWPARAM(MainWindow::PortBoxId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(ports));
        ASSERT_EQ(TextOf(main->DeviceDisplay->Handle), "VL4");
        TakeFrames();
    }
    void TearDown() override {
        if (app.MainWin) app.MainWin->Free();
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    std::vector<LoggedFrame> TakeFrames() {
        std::vector<std::string> lines;
        Sim.Server.WithModel([&](TransmitterModel&) { lines.swap(Log); });
        std::vector<LoggedFrame> frames;
        for (const std::string& line : lines) {
            LoggedFrame frame = FrameOf(line);
            if (frame.Request || frame.Reply) frames.push_back(frame);
        }
        return frames;
    }

    ConfigApplication app{"VL4 config"};
    MainWindow* main = nullptr;
    std::vector<std::string> Log; // written under the model's lock
    SimOnCable Sim;               // stopped before the log goes
};

struct ParameterField {
    const char* Name;
    ValueEdit* MainWindow::*Edit;
    int ButtonId;
    int Command;
    int Decimals;
};
const ParameterField Fields[] = {
    {"offset", &MainWindow::OffsetEdit, MainWindow::WriteOffsetId, 48, 3},
    {"sensitivity", &MainWindow::SensitivityEdit, MainWindow::WriteSensitivityId, 49, 3},
    {"depth", &MainWindow::DepthEdit, MainWindow::WriteDepthId, 50, 3},
    {"lower range", &MainWindow::LowerRangeEdit, MainWindow::WriteLowerRangeId, 46, 2},
    {"upper range", &MainWindow::UpperRangeEdit, MainWindow::WriteUpperRangeId, 47, 2},
};

TEST_F(MainWindowInput, EachWriteSendsTheOraclesNumberOrNothingAndHandsTheFieldBack) {
    const std::vector<std::string> texts = HostileTexts();
    ASSERT_EQ(texts.size(), 200u);
    const int fieldCount = ProofSize(1, 5);
    int written = 0, refused = 0, notFinite = 0, changedByTheEdit = 0;
    for (int f = 0; f < fieldCount; ++f) {
        const ParameterField& field = Fields[f];
        ValueEdit& edit = *(main->*field.Edit);
        HWND button = GetDlgItem(main->Handle, field.ButtonId);
        for (const std::string& text : texts) {
            SCOPED_TRACE(std::string(field.Name) + " \"" + text + "\"");
            SetWindowTextA(edit.Handle, text.c_str());
            // The oracle reads what the field holds (a single-line edit may
            // keep less of a text with line breaks than it was given).
            const std::string typed = TextOf(edit.Handle);
            changedByTheEdit += typed != text;
            SendMessageA(edit.Handle, EM_SETSEL, static_cast<WPARAM>(-1), 0);
            SetFocus(button);
            SendMessageA(button, BM_CLICK, 0, 0);
            const std::vector<LoggedFrame> frames = TakeFrames();
            float value = 0;
            if (ExpectedNumber(typed, WriteTextLength, value) && IsFinite(value)) {
                ++written;
                ASSERT_EQ(frames.size(), 2u) << "one request, one reply";
                EXPECT_EQ(frames[0].Command, field.Command);
                EXPECT_EQ(frames[0].Value(), BitsOf(value)) << value;
                // The field shows what the transmitter stored.
                EXPECT_EQ(TextOf(edit.Handle),
                          Shown(FloatWithBits(frames[1].Value()), field.Decimals));
                continue;
            }
            ++refused;
            notFinite += ExpectedNumber(typed, WriteTextLength, value);
            EXPECT_TRUE(frames.empty()) << "nothing sent";
            EXPECT_EQ(TextOf(edit.Handle), typed);
            EXPECT_EQ(GetFocus(), edit.Handle) << "handed back";
            const DWORD selection = static_cast<DWORD>(SendMessageA(edit.Handle, EM_GETSEL, 0, 0));
            EXPECT_EQ(LOWORD(selection), 0);
            EXPECT_EQ(HIWORD(selection), typed.size()) << "all of it selected";
        }
    }
    Figure("main window: %d fields x %d texts: written %d, refused %d (of them %d infinite or "
           "not-a-number), texts the edit changed %d",
           fieldCount, static_cast<int>(texts.size()), written, refused, notFinite,
           changedByTheEdit);
}

using HostileStandards = CalibrationRuns;

// Each text as standard 1 or 2 of a calibration that is then finished: the
// other point takes a plain standard, the transmitter a plain electrode.
TEST_F(HostileStandards, AreTakenAsTheOracleReadsThemOrRefused) {
    const std::vector<std::string> texts = HostileTexts();
    const size_t step = ProofSize(10, 1);
    std::mt19937 random(20261207);
    auto voltage = [&] {
        return static_cast<float>(std::uniform_real_distribution<>(-500, 500)(random));
    };
    auto point = [&](int k, const std::string& standard) {
        PointPlan plan;
        plan.Point = k;
        plan.Standard = standard;
        const float center = voltage();
        for (int i = 0; i < SamplesPerPoint; ++i) {
            plan.Voltages.push_back(center + static_cast<float>(i % 7) * 0.125f);
            plan.FirstFaults.push_back(TickFault::None);
        }
        return plan;
    };
    Stopwatch watch;
    for (size_t i = 0; i < texts.size(); i += step) {
        for (int field = 1; field <= 2; ++field) {
            SCOPED_TRACE("standard " + std::to_string(field) + " \"" + texts[i] + "\"");
            CalibrationPlan plan;
            // Standard 1 also of a Redox probe, which may be negative.
            const uint8_t probes1[] = {PhProbe, RedoxProbe, ChlorineProbe, OxygenProbe};
            const uint8_t probes2[] = {PhProbe, ChlorineProbe, OxygenProbe};
            plan.Probe = field == 1 ? probes1[i % 4] : probes2[i % 3];
            plan.SinglePoint = plan.Probe == RedoxProbe;
            plan.Points.push_back(point(field, texts[i]));
            if (!plan.SinglePoint) plan.Points.push_back(point(3 - field, "2.5"));
            Run(plan);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_EQ(Tally.NonFiniteSent, 0);
    EXPECT_EQ(Tally.ZeroSlopesSent, 0);
    // Each run has one hostile standard; the plain one is never refused.
    Figure("standards: %d texts typed: taken %d, refused with \"Chyba\" %d", Tally.Runs,
           Tally.Runs - Tally.StandardsRefused, Tally.StandardsRefused);
    Figure("calibrations after them: written %d, refused %d, declined %d of %d asked (all as "
           "the oracle said); non-finite values sent %d, zero slopes sent %d; time %.0f s",
           Tally.Written, Tally.Refused, Tally.Declined, Tally.Asked, Tally.NonFiniteSent,
           Tally.ZeroSlopesSent, watch.Seconds());
}

// The oracle itself, on values known from the float format.
TEST(Oracle, ReadsNumbersAsTheFloatFormatRoundsThem) {
    float value = 0;
    EXPECT_TRUE(ExpectedNumber("16777217", 23, value));
    EXPECT_EQ(BitsOf(value), 0x4B800000u) << "2^24, ties to even";
    EXPECT_TRUE(ExpectedNumber("1.4e-45", 23, value));
    EXPECT_EQ(BitsOf(value), 0x00000001u) << "the least subnormal";
    EXPECT_TRUE(ExpectedNumber("3.40282356e38", 23, value));
    EXPECT_EQ(BitsOf(value), 0x7F7FFFFFu);
    EXPECT_FALSE(ExpectedNumber("3.40282357e38", 23, value)) << "rounds to an infinity";
    EXPECT_TRUE(ExpectedNumber(" -0,1", 23, value));
    EXPECT_EQ(BitsOf(value), 0xBDCCCCCDu);
    EXPECT_TRUE(ExpectedNumber("-0", 23, value));
    EXPECT_EQ(BitsOf(value), 0x80000000u);
    EXPECT_FALSE(ExpectedNumber("1234567890123456", 15, value));
    EXPECT_FALSE(ExpectedNumber("0x1p3", 23, value));
    EXPECT_FALSE(ExpectedNumber("1e", 23, value));
    EXPECT_FALSE(ExpectedNumber("\t1", 23, value));
    EXPECT_TRUE(ExpectedNumber("NaN", 23, value));
    EXPECT_FALSE(IsFinite(value));
    EXPECT_EQ(ExpectedDate(2026, 12, 6), 0x20261206u);
    const MeasuredPoint p1{true, 4.0f, 171.3f}, p2{true, 9.0f, -165.3f};
    const ExpectedPair ph = ExpectedCalibration(PhProbe, false, p1, p2);
    EXPECT_TRUE(ph.Written);
    EXPECT_EQ(ph.Sensitivity, static_cast<float>((-165.3f - 171.3) / 5.0));
    EXPECT_FALSE(ExpectedCalibration(ChlorineProbe, true, {true, 0.0f, 30.0f}, {}).Written);
}

} // namespace
