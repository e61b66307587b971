// The probe type and calibration dialogs of vl4config.exe against vl4sim.exe:
// what reaches the transmitter, byte for byte, and what the main window shows
// afterwards.
#include "e2e/tool_fixture.h"
#include "window/main_window_checks.h"

#include <cstdio>

using namespace e2e;

namespace {

namespace Cal = CalibrationItems;

constexpr int SamplesPerPoint = 66;
constexpr auto ProbeCaption = ToolDialog::ProbeCaption;
constexpr auto CalibrationCaption = ToolDialog::CalibrationCaption;
const char CommunicationError[] = "Chyba komunikace";

// A point's 66 samples take 20 s on the dialog's timer; this only bounds the
// wait for them.
constexpr DWORD PointTimeoutMs = 90000;

int Bcd(int n) {
    return n / 10 * 16 + n % 10;
}

// The calibration date as it travels: day, month, year's last two digits,
// year's first two, each in BCD.
std::vector<int> DateBytes(const SYSTEMTIME& day) {
    return {Bcd(day.wDay), Bcd(day.wMonth), Bcd(day.wYear % 100), Bcd(day.wYear / 100)};
}

std::string DateText(const SYSTEMTIME& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.wYear, day.wMonth, day.wDay);
    return text;
}

SYSTEMTIME Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

std::string Decimals3(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

Request Frame(int command, std::vector<int> data) {
    Request request;
    request.Command = command;
    request.Data = std::move(data);
    return request;
}

struct CalibrationWrites {
    float Offset, Sensitivity;
};

// The three writes of a calibration, in their order, with the date of one
// of the days the test ran on.
void ExpectCalibrationWrites(const std::vector<Request>& sent, CalibrationWrites expected,
                             const SYSTEMTIME& dayBefore, const SYSTEMTIME& dayAfter) {
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], Frame(48, FloatBytes(expected.Offset)));
    EXPECT_EQ(sent[1], Frame(49, FloatBytes(expected.Sensitivity)));
    EXPECT_EQ(sent[2].Command, 45);
    EXPECT_TRUE(sent[2].Data == DateBytes(dayBefore) || sent[2].Data == DateBytes(dayAfter))
        << ::testing::PrintToString(sent[2]);
}

class ToolDialogTest : public ToolTest {
protected:
    // Opens the dialog of the main window's "..." button.
    void Open(int buttonId, const char* caption) {
        ASSERT_TRUE(Dialog.Open(Window, buttonId, caption, WaitTimeoutMs)) << caption;
    }
    // Waits for the dialog to close and the main window to finish what it
    // does after it.
    void ExpectClosed() {
        ASSERT_TRUE(Dialog.WaitClosed(WaitTimeoutMs));
        Window.Sync();
    }
    // The requests since the last call without the calibration dialog's
    // readings of the live voltage, which come whenever its timer ticks.
    std::vector<Request> Writes() {
        std::vector<Request> writes;
        for (const Request& request : Requests())
            if (request.Command != 36) writes.push_back(request);
        return writes;
    }
    // Waits for the point's mean voltage to show.
    bool PointMeasured(int point) {
        const int field = point == 1 ? Cal::Voltage1 : Cal::Voltage2;
        return WaitFor([&] { return !Dialog.ItemText(field).empty(); }, PointTimeoutMs);
    }
    // Clicks OK; answers the text of each box shown over the dialog meanwhile
    // (caption, then message), each closed with its OK. onBox runs while the
    // box shows.
    std::vector<std::string> ClickOk(const std::function<void()>& onBox = [] {}) {
        std::vector<std::string> boxes;
        WhileBoxes([&] { Dialog.Click(IDOK); },
                   [&](HWND box) {
                       boxes.push_back(TextOf(box) + ": " + MessageBoxText(box));
                       onBox();
                       PostMessageA(box, WM_COMMAND, IDOK, 0);
                   },
                   Dialog.Handle);
        return boxes;
    }

    ToolDialog Dialog;
};

TEST_F(ToolDialogTest, ChoosingOxygenWritesItsDefaultsAndAZeroDateAndTheWindowShowsThem) {
    Set("probe", "2");
    Set("offset", "12.5");
    Set("sensitivity", "180");
    Set("lower", "1");
    Set("upper", "5");
    Connect();
    Open(ToolWindow::ProbeButtonId, ProbeCaption);
    HWND list = Dialog.Item(ProbeItems::TypeList);
    EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(TextOf(list), "Chl\xF3r") << "the type read is selected"; // Chlór
    SendMessageA(list, CB_SETCURSEL, 3, 0);
    EXPECT_EQ(TextOf(list), "Kysl\xEDk"); // Kyslík
    Dialog.Click(IDOK);
    ExpectClosed();

    const std::vector<Request> expected = {
        Frame(43, {}),
        Frame(43, {3}),
        Frame(48, FloatBytes(0.0f)),
        Frame(49, FloatBytes(9.0f)),
        Frame(46, FloatBytes(0.0f)),
        Frame(47, FloatBytes(20.0f)),
        Frame(45, {0, 0, 0, 0}),
    };
    EXPECT_EQ(Requests(), expected);
    EXPECT_EQ(TextAt(Type), "Kysl\xEDk");
    EXPECT_EQ(TextAt(Offset), "0.000");
    EXPECT_EQ(TextAt(Sensitivity), "9.000");
    EXPECT_EQ(TextAt(LowerRange), "0.00");
    EXPECT_EQ(TextAt(UpperRange), "20.00");
    EXPECT_EQ(TextAt(Date), "0000-00-00");
    EXPECT_EQ(Stored("probe"), "3");
    EXPECT_EQ(Stored("caldate"), "0x00000000");
}

// The one test on the dialog's own 300 ms timer: two points of 66 samples.
TEST_F(ToolDialogTest, TwoPointPhCalibrationOnTheSamplingTimerWritesWhatTheMeansGive) {
    Set("damping", "5");
    Set("voltage", "50");
    Connect();
    Window.Click(ToolWindow::ReadCheckBoxId);
    ASSERT_EQ(TextAt(Voltage), "50.000");
    Open(ToolWindow::CalibrationButtonId, CalibrationCaption);
    EXPECT_EQ(Dialog.ItemText(Cal::ProbeName), "pH");
    EXPECT_EQ(Stored("damping"), "0") << "off while the dialog runs";

    const float n1 = 4.01f, n2 = 9.21f, u1 = 171.3f, u2 = -165.3f;
    Set("voltage", "171.3");
    Dialog.StartPoint(1, "4.01");
    EXPECT_EQ(Dialog.ItemText(Cal::Value1), "4.01");
    ASSERT_TRUE(PointMeasured(1));
    EXPECT_EQ(Dialog.ItemText(Cal::Voltage1), "171.300");
    Set("voltage", "-165.3");
    Dialog.StartPoint(2, "9,21");
    EXPECT_EQ(Dialog.ItemText(Cal::Value2), "9.21");
    ASSERT_TRUE(PointMeasured(2));
    EXPECT_EQ(Dialog.ItemText(Cal::Voltage2), "-165.300");
    EXPECT_EQ(Dialog.ProgressPosition(), 0);
    EXPECT_EQ(TextAt(Voltage), "50.000") << "the main window does not poll meanwhile";
    EXPECT_EQ(Stored("damping"), "0");

    const SYSTEMTIME dayBefore = Today();
    Dialog.Click(IDOK);
    ExpectClosed();
    const SYSTEMTIME dayAfter = Today();

    // The slope is rounded to a float before the offset is computed from it.
    const float s =
        static_cast<float>((static_cast<double>(u2) - u1) / (static_cast<double>(n2) - n1));
    const float o = static_cast<float>(u1 - (static_cast<double>(n1) - 7.0) * s);
    std::vector<Request> sent = Requests();
    // Polling before the dialog may have left its reads in front.
    while (!sent.empty() && sent.front().Command != 44) sent.erase(sent.begin());
    std::vector<Request> writes;
    for (const Request& request : sent) {
        if (request.Command == 37 || request.Command == 38) break; // polling again
        if (request.Command != 36) writes.push_back(request);
    }
    ASSERT_EQ(writes.size(), 7u) << ::testing::PrintToString(sent);
    EXPECT_EQ(writes[0], Frame(44, {})) << "the damping read";
    EXPECT_EQ(writes[1], Frame(44, {0}));
    EXPECT_EQ(writes[2], Frame(43, {}));
    ExpectCalibrationWrites({writes.begin() + 3, writes.begin() + 6}, {o, s}, dayBefore, dayAfter);
    EXPECT_EQ(writes[6], Frame(44, {5})) << "the damping restored";
    EXPECT_EQ(Stored("damping"), "5");

    EXPECT_EQ(TextAt(Offset), Decimals3(o));
    EXPECT_EQ(TextAt(Sensitivity), Decimals3(s));
    const std::string date = TextAt(Date);
    EXPECT_TRUE(date == DateText(dayBefore) || date == DateText(dayAfter)) << date;
    EXPECT_TRUE(WaitFor([&] { return TextAt(Voltage) == "-165.300"; }, WaitTimeoutMs))
        << "polling again";
}

TEST_F(ToolDialogTest, EscapeLeavesEitherDialogWithoutWriting) {
    Connect();
    Open(ToolWindow::ProbeButtonId, ProbeCaption);
    SendMessageA(Dialog.Item(ProbeItems::TypeList), CB_SETCURSEL, 3, 0);
    Dialog.PressEscape();
    ExpectClosed();
    EXPECT_EQ(Requests(), std::vector<Request>{Frame(43, {})});
    EXPECT_EQ(TextAt(Type), "pH");

    // Also while a point is being sampled.
    Open(ToolWindow::CalibrationButtonId, CalibrationCaption);
    Dialog.StartPoint(1, "7");
    ASSERT_TRUE(WaitFor([&] { return Dialog.ProgressPosition() > 0; }, WaitTimeoutMs))
        << "sampling";
    Dialog.PressEscape();
    ExpectClosed();
    const std::vector<Request> expected = {Frame(44, {}), Frame(44, {0}), Frame(43, {}),
                                           Frame(44, {5})};
    EXPECT_EQ(Writes(), expected) << "only the damping is touched";
    EXPECT_EQ(TextAt(Offset), "0.000");
    EXPECT_EQ(TextAt(Date), "2024-03-15");
}

// Sampled by queued ticks: the dialog's timer only adds more samples of the
// same voltage.
TEST_F(ToolDialogTest, AFailedCalibrationWriteKeepsTheDialogOpenForAnotherOk) {
    Set("voltage", "30");
    Connect();
    Open(ToolWindow::CalibrationButtonId, CalibrationCaption);
    Dialog.Click(Cal::SinglePoint);
    ASSERT_EQ(SendMessageA(Dialog.Item(Cal::SinglePoint), BM_GETCHECK, 0, 0), BST_CHECKED);
    Dialog.StartPoint(1, "6.86");
    for (int i = 0; i < SamplesPerPoint; ++i) Dialog.PostTimer(Cal::SampleTimer);
    ASSERT_TRUE(PointMeasured(1));
    EXPECT_EQ(Dialog.ItemText(Cal::Voltage1), "30.000");

    // One point of pH: the slope is the fixed -58 mV.
    const float s = -58.0f;
    const float o = static_cast<float>(30.0 - (static_cast<double>(6.86f) - 7.0) * s);
    Writes();
    // Every reply is lost until the box shows, whenever the timer ticks.
    ASSERT_TRUE(Sim.Command("fault noreply 100"));
    SYSTEMTIME dayBefore = Today();
    std::vector<std::string> boxes = ClickOk([&] { Sim.Command("fault clear"); });
    SYSTEMTIME dayAfter = Today();
    ASSERT_EQ(boxes, std::vector<std::string>{std::string(CalibrationCaption) + ": " +
                                              CommunicationError});
    EXPECT_TRUE(IsWindowVisible(Dialog.Handle)) << "the dialog stays";
    ExpectCalibrationWrites(Writes(), {o, s}, dayBefore, dayAfter);
    EXPECT_EQ(TextAt(Offset), "0.000") << "no reply, nothing shown";
    EXPECT_EQ(TextAt(Sensitivity), "-59.160");
    EXPECT_EQ(TextAt(Date), "2024-03-15");

    dayBefore = Today();
    EXPECT_TRUE(ClickOk().empty());
    ExpectClosed();
    dayAfter = Today();
    const std::vector<Request> writes = Writes();
    ASSERT_EQ(writes.size(), 4u) << ::testing::PrintToString(writes);
    ExpectCalibrationWrites({writes.begin(), writes.begin() + 3}, {o, s}, dayBefore, dayAfter);
    EXPECT_EQ(writes[3], Frame(44, {5})) << "the damping restored";
    EXPECT_EQ(TextAt(Offset), Decimals3(o));
    EXPECT_EQ(TextAt(Sensitivity), "-58.000");
    const std::string date = TextAt(Date);
    EXPECT_TRUE(date == DateText(dayBefore) || date == DateText(dayAfter)) << date;
}

// A close request from elsewhere (another program, the task list) while the
// calibration dialog runs: the dialog and the window under it stay; when the
// user leaves the dialog, the transmitter gets its damping back and then the
// window closes.
TEST_F(ToolDialogTest, ACloseRequestWhileADialogRunsWaitsForItAndThenCloses) {
    Connect();
    Open(ToolWindow::CalibrationButtonId, CalibrationCaption);
    SendMessageA(Window.Handle, WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindowVisible(Window.Handle));
    EXPECT_TRUE(IsWindowVisible(Dialog.Handle));
    EXPECT_EQ(Stored("damping"), "0");
    Dialog.PressEscape();
    ASSERT_TRUE(Tool.WaitForExit(WaitTimeoutMs));
    EXPECT_EQ(Tool.ExitCode(), 0u);
    EXPECT_EQ(Stored("damping"), "5");
}

} // namespace
