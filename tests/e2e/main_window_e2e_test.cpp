// vl4config.exe against vl4sim.exe over the virtual cable, driven from this
// process as a user drives it.
#include "e2e/tool_fixture.h"
#include "window/main_window_checks.h"

#include <cstring>

using namespace e2e;

namespace {

TEST_F(ToolTest, ShowsItsWindowWithTheLayoutOfTheTables) {
    ExpectMainWindowFrame(Window.Handle);
    ExpectMainWindowLayout(Window.Handle);
    EXPECT_TRUE(Requests().empty()) << "nothing is sent before a port is picked";
}

TEST_F(ToolTest, PickingThePortIdentifiesAndReadsEveryValueInOrder) {
    Set("firmware", "0x021A");
    Set("production", "-7");
    Set("wiring", "2");
    Set("probe", "0");
    Set("damping", "12");
    Set("caldate", "2026-12-06");
    Set("offset", "0");
    Set("sensitivity", "-59.16");
    Set("depth", "2.25");
    Set("lower", "0");
    Set("upper", "16");
    Set("voltage", "-59.16"); // one slope above pH 7: pH 8, half of 0..16
    ASSERT_TRUE(Window.PickPort("COM5"));
    EXPECT_EQ(Commands(),
              (std::vector<int>{33, 34, 35, 42, 43, 45, 44, 48, 49, 50, 46, 47, 36, 37, 38}));
    EXPECT_EQ(TextAt(Device), "VL4");
    EXPECT_EQ(TextAt(Firmware), "2.1a");
    EXPECT_EQ(TextAt(ProductionNumber), "-7");
    EXPECT_EQ(TextAt(Output), "Aktivn\xED 0 a\x9E 10 V"); // Aktivní 0 až 10 V
    EXPECT_EQ(TextAt(Type), "pH");
    EXPECT_EQ(TextAt(Date), "2026-12-06");
    EXPECT_EQ(Window.SelectedIndex(ToolWindow::DampingListId), 12);
    EXPECT_EQ(Window.SelectedText(ToolWindow::DampingListId), "12");
    EXPECT_EQ(TextAt(Offset), "0.000");
    EXPECT_EQ(TextAt(Sensitivity), "-59.160");
    EXPECT_EQ(TextAt(Depth), "2.250");
    EXPECT_EQ(TextAt(LowerRange), "0.00");
    EXPECT_EQ(TextAt(UpperRange), "16.00");
    EXPECT_EQ(TextAt(Voltage), "-59.160");
    EXPECT_EQ(TextAt(Value), "8.00");
    EXPECT_EQ(TextAt(Ratio), "50.00");

    // A damping beyond the list selects nothing.
    Set("damping", "40");
    ASSERT_TRUE(Window.PickPort("COM5"));
    EXPECT_EQ(Window.SelectedIndex(ToolWindow::DampingListId), -1);
}

TEST_F(ToolTest, EachWriteSendsTheNumberAndShowsWhatTheTransmitterStored) {
    Connect();
    const struct {
        Place Edit;
        int Button;
        const char* Typed;
        float Sent;
        int Command;
        const char* Name;
        const char* Shown;
    } writes[] = {
        {Offset, 107, "12,5", 12.5f, 48, "offset", "12.500"},
        {Sensitivity, 108, "-58.5", -58.5f, 49, "sensitivity", "-58.500"},
        {Depth, 109, "-3", -3.0f, 50, "depth", "0.000"}, // stored as 0: no depth above the surface
        {LowerRange, 110, "-2.125", -2.125f, 46, "lower", "-2.13"},
        {UpperRange, 111, "1e2", 100.0f, 47, "upper", "100.00"},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.Name);
        Window.SetText(At(write.Edit), write.Typed);
        Window.Click(write.Button);
        std::vector<Request> sent = Requests();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].Command, write.Command);
        EXPECT_EQ(sent[0].Data, FloatBytes(write.Sent));
        EXPECT_EQ(TextAt(write.Edit), write.Shown);
    }
    EXPECT_EQ(Stored("offset"), "12.5");
    EXPECT_EQ(Stored("depth"), "0");
    EXPECT_EQ(Stored("upper"), "100");

    Window.PickItem(ToolWindow::DampingListId, 20);
    std::vector<Request> sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Command, 44);
    EXPECT_EQ(sent[0].Data, std::vector<int>{20});
    EXPECT_EQ(Stored("damping"), "20");
    EXPECT_EQ(Window.SelectedIndex(ToolWindow::DampingListId), 20);
}

TEST_F(ToolTest, ATextThatIsNotANumberIsNotWrittenAndComesBackForCorrection) {
    Connect();
    HWND offset = At(Offset);
    for (const char* typed : {"abc", "", "1,2,3", "1e39", "nan", "123456789012345678901234"}) {
        SCOPED_TRACE(typed);
        Window.SetText(offset, typed);
        ASSERT_TRUE(Window.BringToFront());
        Window.Click(ToolWindow::WriteOffsetId);
        EXPECT_TRUE(Requests().empty()) << "nothing sent";
        EXPECT_EQ(TextOf(offset), typed);
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof thread;
        ASSERT_TRUE(GetGUIThreadInfo(Window.ThreadId, &thread));
        EXPECT_EQ(thread.hwndFocus, offset);
        const DWORD selection = static_cast<DWORD>(SendMessageA(offset, EM_GETSEL, 0, 0));
        EXPECT_EQ(LOWORD(selection), 0);
        EXPECT_EQ(HIWORD(selection), std::strlen(typed)) << "all of it selected";
    }
    EXPECT_EQ(Stored("offset"), "0");
}

TEST_F(ToolTest, AForeignIdentificationIsRefusedWithItsTextAsCaption) {
    Connect();
    Set("ident", "VL4\\x20\\x20");
    std::string caption, text;
    WhileBoxes([&] { Window.PickPort("COM5"); },
               [&](HWND box) {
                   caption = TextOf(box);
                   text = MessageBoxText(box);
                   PostMessageA(box, WM_COMMAND, IDOK, 0);
               });
    EXPECT_EQ(caption, "VL4  ");
    // Převodník není kompatibilní s tímto nástrojem.
    EXPECT_EQ(text, "P\xF8"
                    "evodn\xEDk nen\xED kompatibiln\xED s t\xEDmto n\xE1strojem.");
    EXPECT_EQ(Commands(), std::vector<int>{33});
    EXPECT_EQ(TextAt(Device), "");
    EXPECT_EQ(TextAt(Firmware), "");
    EXPECT_EQ(TextAt(ProductionNumber), "");
    EXPECT_EQ(TextAt(Type), "pH") << "the rest stays";
    EXPECT_EQ(TextAt(Sensitivity), "-59.160");
    // The port is closed: a tick of the timer reaches nobody.
    SendMessageA(Window.Handle, WM_TIMER, 1, 0);
    EXPECT_TRUE(Requests().empty());

    Set("ident", "ZD2W50");
    ASSERT_TRUE(Window.PickPort("COM5"));
    EXPECT_EQ(TextAt(Device), "ZD2W50");
    EXPECT_EQ(Commands().size(), 15u);
    EXPECT_EQ(Window.Dialog(), nullptr);
}

TEST_F(ToolTest, APortWithoutATransmitterEmptiesTheIdentityFieldsSilently) {
    Connect();
    ASSERT_TRUE(Window.PickPort("COM7"));
    EXPECT_EQ(Window.Dialog(), nullptr) << "no message";
    EXPECT_EQ(TextAt(Device), "");
    EXPECT_EQ(TextAt(Firmware), "");
    EXPECT_EQ(TextAt(ProductionNumber), "");
    EXPECT_EQ(TextAt(Date), "2024-03-15") << "the rest stays";
    EXPECT_EQ(TextAt(Depth), "1.000");
    EXPECT_TRUE(Requests().empty());
}

TEST_F(ToolTest, ReadPollsTheInternalValuesEverySecondUntilUnchecked) {
    Connect();
    Set("voltage", "100");
    SendMessageA(Window.Handle, WM_TIMER, 1, 0);
    EXPECT_EQ(Commands(), (std::vector<int>{36, 37, 38}));
    EXPECT_EQ(TextAt(Voltage), "100.000");

    Set("voltage", "200");
    Window.Click(ToolWindow::ReadCheckBoxId);
    EXPECT_EQ(TextAt(Voltage), "200.000") << "read at once";
    Set("voltage", "300");
    EXPECT_TRUE(Eventually([&] { return TextAt(Voltage) == "300.000"; }, WaitTimeoutMs, 20))
        << "read again";
    Set("voltage", "400");
    EXPECT_TRUE(Eventually([&] { return TextAt(Voltage) == "400.000"; }, WaitTimeoutMs, 20))
        << "and again";

    Window.Click(ToolWindow::ReadCheckBoxId);
    Requests();
    Set("voltage", "500");
    Sleep(2500); // more than two periods of the timer
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(TextAt(Voltage), "400.000");
}

TEST_F(ToolTest, CalibrationRunsWithTheDampingOffAndRestoresIt) {
    Connect();
    auto calibrate = [&](const std::function<void()>& duringDialog) {
        WhileBoxes([&] { Window.Click(ToolWindow::CalibrationButtonId); },
                   [&](HWND dialog) {
                       duringDialog();
                       PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                   });
        std::vector<Request> damping;
        for (const Request& request : Requests())
            if (request.Command == 44) damping.push_back(request);
        return damping;
    };
    auto dampingStored = [&] { EXPECT_EQ(Stored("damping"), "0") << "off during the dialog"; };

    std::vector<Request> sent = calibrate(dampingStored);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_TRUE(sent[0].Data.empty()) << "read";
    EXPECT_EQ(sent[1].Data, std::vector<int>{0});
    EXPECT_EQ(sent[2].Data, std::vector<int>{5}) << "the saved damping";
    EXPECT_EQ(Stored("damping"), "5");
    EXPECT_EQ(Window.Dialog(), nullptr);

    // A damping of 0 is neither zeroed nor restored, nor one that cannot be read.
    Set("damping", "0");
    EXPECT_EQ(calibrate([] {}).size(), 1u);
    Set("damping", "7");
    ASSERT_TRUE(Sim.Command("fault noreply"));
    EXPECT_EQ(calibrate([] {}).size(), 1u);
    EXPECT_EQ(Stored("damping"), "7");
}

// Wine does not keep a COM port to one opener, so the release itself is
// seen only in the window test; here the program must end cleanly.
TEST_F(ToolTest, ClosingWhilePollingEndsTheProgramCleanly) {
    Connect();
    Window.Click(ToolWindow::ReadCheckBoxId);
    EXPECT_EQ(Commands(), (std::vector<int>{36, 37, 38}));
    Window.Close();
    ASSERT_TRUE(Tool.WaitForExit(WaitTimeoutMs));
    EXPECT_EQ(Tool.ExitCode(), 0u) << "the loop ended on the quit message";
    Sleep(1500); // more than a period of the timer
    EXPECT_TRUE(Requests().empty());
}

} // namespace
