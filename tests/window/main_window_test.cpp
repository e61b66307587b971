#include "app/calibration_dialog.h"
#include "app/config_application.h"
#include "app/main_window.h"
#include "app/port_combo_box.h"
#include "app/value_fields.h"
#include "framework/button.h"
#include "framework/combo_box.h"
#include "unit/fake_comm.h"
#include "window/main_window_checks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

Bytes FloatData(float value) {
    return BytesOf(&value, sizeof value);
}

Bytes Text8(const char* text) {
    Bytes data(8, 0);
    std::memcpy(data.data(), text, std::strlen(text));
    return data;
}

// The tool's window in this process, its link on a scripted line.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.Start();
        main = static_cast<MainWindow*>(app.MainWin);
        ASSERT_NE(main, nullptr);
        Line.Guard(main->Link->FrameBuffer, sizeof main->Link->FrameBuffer);
    }
    // Freeing the main window posts the quit message; it must not end the
    // next test's message boxes.
    void TearDown() override {
        if (app.MainWin) app.MainWin->Free();
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // The next request gets a well-formed reply carrying data.
    void Answer(const Bytes& data) { Line.Replies.push_back({Reply(data)}); }
    // The next request gets nothing back.
    void Silence() { Line.Replies.push_back({}); }

    // The command of every request written since the last call.
    std::vector<int> Commands() {
        std::vector<int> commands;
        for (const Bytes& frame : Line.Written)
            commands.push_back(frame.size() > 1 ? frame[1] : -1);
        Line.Written.clear();
        return commands;
    }

    void Notify(int id, int code) {
        HWND control = GetDlgItem(main->Handle, id);
        SendMessageA(main->Handle, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(control));
    }
    void Click(int id) { SendMessageA(GetDlgItem(main->Handle, id), BM_CLICK, 0, 0); }
    void Tick() { SendMessageA(main->Handle, WM_TIMER, MainWindow::PollTimerId, 0); }
    // Probe voltage, measured value and ratio as the window shows them.
    Strings LiveValues() {
        return {WindowText(main->ProbeVoltageDisplay->Handle),
                WindowText(main->MeasuredValueDisplay->Handle),
                WindowText(main->RatioDisplay->Handle)};
    }

    // Picks a port the way the user does; the scripted line stands behind any name.
    void PickPort() {
        main->PortBox->InsertItem("COM9", -1);
        main->PortBox->SelectItemByPrefix("COM9", -1);
        Notify(MainWindow::PortBoxId, CBN_SELCHANGE);
    }
    void ConnectSilently() {
        ASSERT_TRUE(main->Link->Open("COM9"));
        Line.Forget();
    }

    FakeComm Line;
    ConfigApplication app{"VL4 config"};
    MainWindow* main = nullptr;
};

std::string TextOf(WindowObject* field) {
    return WindowText(field->Handle);
}

// Whether the window menu's command is greyed; -1 when it has none.
int Greyed(HWND window, UINT command) {
    const UINT state = GetMenuState(GetSystemMenu(window, FALSE), command, MF_BYCOMMAND);
    return state == static_cast<UINT>(-1) ? -1 : (state & MF_GRAYED) != 0;
}

std::string MenuText(HWND window, UINT command) {
    char text[64] = {};
    GetMenuStringA(GetSystemMenu(window, FALSE), command, text, sizeof text, MF_BYCOMMAND);
    return text;
}

const UINT RecordedCommands[] = {MainWindow::RecordedCalibrationCommand,
                                 MainWindow::VerificationCommand, MainWindow::HistoryCommand};

TEST_F(MainWindowTest, StartsWithItsLayoutEmptyFieldsAndTheDampingList) {
    ExpectMainWindowFrame(main->Handle);
    ExpectMainWindowLayout(main->Handle);
    EXPECT_EQ(app.MainWin, main);
    // The class's own icon and grey (another process cannot read them).
    EXPECT_EQ(ULongToHandle(GetClassLongA(main->Handle, GCL_HICON)),
              LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)));
    EXPECT_NE(GetClassLongA(main->Handle, GCL_HICON), 0u);
    EXPECT_EQ(ULongToHandle(GetClassLongA(main->Handle, GCL_HBRBACKGROUND)),
              GetStockObject(LTGRAY_BRUSH));
    EXPECT_TRUE(main->HasFlags(WindowObject::KeyboardNav));

    ComboBox& damping = *main->DampingList;
    ASSERT_EQ(SendMessageA(damping.Handle, CB_GETCOUNT, 0, 0), 31);
    for (int i = 0; i <= 30; ++i) {
        char text[8] = {};
        damping.ItemText(text, i);
        EXPECT_EQ(std::string(text), std::to_string(i)) << "item " << i;
    }
    EXPECT_EQ(damping.SelectedIndex(), -1);
    EXPECT_EQ(main->ReadCheckBox->CheckState(), BST_UNCHECKED);
    EXPECT_EQ(main->PollTimer, 0u);
    EXPECT_FALSE(main->CalibrationRunning);
    EXPECT_TRUE(Line.Log.empty()) << "nothing talks to a transmitter before a port is picked";

    // The fields behind the window's pointers are the ones of the layout.
    const struct {
        WindowObject* Field;
        int X, Y;
    } fields[] = {{main->DeviceDisplay, 120, 10},        {main->DateDisplay, 120, 135},
                  {main->OffsetEdit, 100, 220},          {main->UpperRangeEdit, 100, 340},
                  {main->ProbeVoltageDisplay, 380, 190}, {main->RatioDisplay, 380, 240}};
    for (const auto& field : fields) {
        RECT rect;
        GetWindowRect(field.Field->Handle, &rect);
        MapWindowPoints(nullptr, main->Handle, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, field.X);
        EXPECT_EQ(rect.top, field.Y);
    }
    EXPECT_EQ(main->OffsetEdit->Decimals, 3);
    EXPECT_EQ(main->DepthEdit->Decimals, 3);
    EXPECT_EQ(main->LowerRangeEdit->Decimals, 2);
    EXPECT_EQ(main->ProbeVoltageDisplay->Decimals, 3);
    EXPECT_EQ(main->MeasuredValueDisplay->Decimals, 2);
}

TEST_F(MainWindowTest, StaticsAreDrawnOnTheWindowsGrey) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetBkColor(dc, RGB(255, 255, 255));
    LRESULT brush = SendMessageA(main->Handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(main->RatioDisplay->Handle));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(LTGRAY_BRUSH));
    EXPECT_EQ(GetBkColor(dc), RGB(192, 192, 192));
    DeleteDC(dc);
}

TEST_F(MainWindowTest, TimerTicksReadTheInternalValuesExceptDuringCalibration) {
    ConnectSilently();
    Answer(FloatData(-12.3456f));
    Answer(FloatData(6.996f));
    Answer(FloatData(0.123f));
    // Any timer ID is a tick.
    SendMessageA(main->Handle, WM_TIMER, 7, 0);
    EXPECT_EQ(Commands(), (std::vector<int>{36, 37, 38}));
    EXPECT_EQ(TextOf(main->ProbeVoltageDisplay), "-12.346");
    EXPECT_EQ(TextOf(main->MeasuredValueDisplay), "7.00");
    EXPECT_EQ(TextOf(main->RatioDisplay), "12.30");

    main->CalibrationRunning = true;
    PostMessageA(main->Handle, WM_TIMER, MainWindow::PollTimerId, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_TRUE(Commands().empty()) << "no request between the calibration's samples";
    EXPECT_EQ(TextOf(main->ProbeVoltageDisplay), "-12.346");
}

// The cable pulled while "Číst" polls: the live values go instead of
// standing as if the probe read steadily; each comes back with its reading.
TEST_F(MainWindowTest, PollingASilentTransmitterClearsTheLiveValuesUntilTheyComeAgain) {
    ConnectSilently();
    Answer(FloatData(250.0f));
    Answer(FloatData(7.0f));
    Answer(FloatData(0.5f));
    Click(MainWindow::ReadCheckBoxId);
    EXPECT_EQ(LiveValues(), (Strings{"250.000", "7.00", "50.00"}));
    for (int i = 0; i < 3; ++i) Silence();
    Tick();
    EXPECT_EQ(LiveValues(), (Strings{"", "", ""}));
    Silence();
    Answer(FloatData(6.5f));
    Silence();
    Tick();
    EXPECT_EQ(LiveValues(), (Strings{"", "6.50", ""})) << "each value by its own reading";
    Answer(FloatData(-12.3456f));
    Answer(FloatData(6.996f));
    Answer(FloatData(0.123f));
    Tick();
    EXPECT_EQ(Commands(), (std::vector<int>{36, 37, 38, 36, 37, 38, 36, 37, 38, 36, 37, 38}));
    EXPECT_EQ(LiveValues(), (Strings{"-12.346", "7.00", "12.30"}));
}

TEST_F(MainWindowTest, ARatioBeyondTheFloatRangeAsPercentShowsAnInfinity) {
    ConnectSilently();
    const struct {
        float Ratio;
        const char* Shown;
    } cases[] = {{3.0e38f, "+Inf"}, {-3.0e38f, "-Inf"}, {-0.5f, "-50.00"}};
    for (const auto& c : cases) {
        Silence();
        Silence();
        Answer(FloatData(c.Ratio));
        SendMessageA(main->Handle, WM_TIMER, MainWindow::PollTimerId, 0);
        EXPECT_EQ(TextOf(main->RatioDisplay), c.Shown);
    }
}

TEST_F(MainWindowTest, ConnectReadsWhatArrivesAndLeavesTheRest) {
    Answer(Text8("ZD2W50"));
    Answer({0x1A, 0x02});             // firmware
    Silence();                        // production number
    Answer({4});                      // wiring: 4 mod 3 = 1
    Answer({6});                      // probe: 6 AND 3 = 2
    Answer({0x06, 0x12, 0x26, 0x20}); // 2026-12-06
    Answer({31});                     // damping beyond the list
    Answer(FloatData(1.5f));          // offset
    Silence();                        // sensitivity
    Answer(FloatData(-0.0004f));      // depth
    Answer(FloatData(-1000.0f));      // lower
    Answer(FloatData(1000.0f));       // upper
    Answer(FloatData(250.0f));        // voltage
    Answer(FloatData(7.0f));          // value
    Answer(FloatData(0.5f));          // ratio
    main->SensitivityEdit->SetText("kept");
    main->ProductionNumberDisplay->SetText("kept");
    // The window menu's calibrations wait for a transmitter; its history does not.
    EXPECT_EQ(MenuText(main->Handle, RecordedCommands[0]), "Kalibrace se z\xE1znamem\x85");
    EXPECT_EQ(MenuText(main->Handle, RecordedCommands[1]), "Ov\xEC\xF8"
                                                           "en\xED bez se\xF8\xEDzen\xED\x85");
    EXPECT_EQ(MenuText(main->Handle, RecordedCommands[2]), "Historie kalibrac\xED\x85");
    for (UINT command : RecordedCommands)
        EXPECT_EQ(Greyed(main->Handle, command), command != MainWindow::HistoryCommand) << command;
    PickPort();
    for (UINT command : RecordedCommands) EXPECT_EQ(Greyed(main->Handle, command), 0) << command;
    EXPECT_EQ(Line.Path, "\\\\.\\COM9");
    EXPECT_EQ(Commands(),
              (std::vector<int>{33, 34, 35, 42, 43, 45, 44, 48, 49, 50, 46, 47, 36, 37, 38}));
    EXPECT_EQ(TextOf(main->DeviceDisplay), "ZD2W50");
    EXPECT_EQ(TextOf(main->FirmwareDisplay), "2.1a");
    EXPECT_EQ(TextOf(main->ProductionNumberDisplay), "kept");
    EXPECT_EQ(TextOf(main->OutputDisplay), "Aktivn\xED 0 a\x9E 20 mA");
    EXPECT_EQ(TextOf(main->TypeDisplay), "Chl\xF3r");
    EXPECT_EQ(TextOf(main->DateDisplay), "2026-12-06");
    EXPECT_EQ(main->DampingList->SelectedIndex(), -1);
    EXPECT_EQ(TextOf(main->OffsetEdit), "1.500");
    EXPECT_EQ(TextOf(main->SensitivityEdit), "kept");
    EXPECT_EQ(TextOf(main->DepthEdit), "-0.000");
    EXPECT_EQ(TextOf(main->LowerRangeEdit), "-1000.00");
    EXPECT_EQ(TextOf(main->UpperRangeEdit), "1000.00");
    EXPECT_EQ(TextOf(main->ProbeVoltageDisplay), "250.000");
    EXPECT_EQ(TextOf(main->MeasuredValueDisplay), "7.00");
    EXPECT_EQ(TextOf(main->RatioDisplay), "50.00");

    // A transmitter that does not answer: only the three identity fields go.
    Line.Forget();
    Silence();
    PickPort();
    EXPECT_EQ(Commands(), (std::vector<int>{33}));
    EXPECT_EQ(Line.Log.back(), "CloseHandle") << "the port is closed again";
    EXPECT_EQ(Greyed(main->Handle, MainWindow::RecordedCalibrationCommand), 1);
    EXPECT_EQ(TextOf(main->DeviceDisplay), "");
    EXPECT_EQ(TextOf(main->FirmwareDisplay), "");
    EXPECT_EQ(TextOf(main->ProductionNumberDisplay), "");
    EXPECT_EQ(TextOf(main->TypeDisplay), "Chl\xF3r");
    EXPECT_EQ(TextOf(main->OffsetEdit), "1.500");
}

// A write the transmitter does not answer must not look like one it took.
TEST_F(MainWindowTest, AFailedWriteIsHandedBackAndTheDampingListShowsTheTransmittersAgain) {
    ConnectSilently();
    main->UpperRangeEdit->SetText("14");
    SetFocus(main->OffsetEdit->Handle);
    Silence();
    Click(MainWindow::WriteUpperRangeId);
    EXPECT_EQ(Commands(), (std::vector<int>{47}));
    EXPECT_EQ(TextOf(main->UpperRangeEdit), "14") << "what was typed stays";
    EXPECT_EQ(GetFocus(), main->UpperRangeEdit->Handle) << "handed back";
    EXPECT_EQ(SendMessageA(main->UpperRangeEdit->Handle, EM_GETSEL, 0, 0), MAKELONG(0, 2))
        << "all of it selected";

    // The damping the transmitter reported last: none yet, then a read-out's,
    // then a write's.
    auto pick = [&](int damping) {
        main->DampingList->SelectIndex(damping);
        Notify(MainWindow::DampingListId, CBN_SELCHANGE);
        EXPECT_EQ(Commands(), (std::vector<int>{44}));
        return main->DampingList->SelectedIndex();
    };
    Silence();
    EXPECT_EQ(pick(7), -1);
    for (int i = 0; i < 5; ++i) Silence();
    Answer({12}); // the read-out's damping; nothing else arrives
    for (int i = 0; i < 8; ++i) Silence();
    main->ReadAll();
    Commands();
    EXPECT_EQ(main->DampingList->SelectedIndex(), 12);
    Silence();
    EXPECT_EQ(pick(3), 12);
    Answer({5});
    EXPECT_EQ(pick(5), 5) << "taken: the pick stays";
    Silence();
    EXPECT_EQ(pick(9), 5);
    Answer({3});
    EXPECT_EQ(pick(8), 3) << "the transmitter's reply, not the pick";
    Silence();
    EXPECT_EQ(pick(9), 3);

    Notify(MainWindow::DampingListId, CBN_DROPDOWN);
    Notify(MainWindow::PortBoxId, CBN_DROPDOWN);
    EXPECT_TRUE(Commands().empty()) << "only a new selection of a list acts";
}

// Reads and cancels every dialog and message box this process shows; each
// is reported as "caption: text".
class MessageBoxWatch {
public:
    MessageBoxWatch() : Owner(GetCurrentThreadId()), Worker([this] { Watch(); }) {}
    ~MessageBoxWatch() {
        Done = true;
        Worker.join();
    }
    std::vector<std::string> Seen() {
        std::lock_guard<std::mutex> lock(Mutex);
        return Shown;
    }

private:
    static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    void Watch() {
        while (!Done) {
            HWND box = nullptr;
            EnumThreadWindows(Owner, FindDialog, reinterpret_cast<LPARAM>(&box));
            if (box) {
                {
                    std::lock_guard<std::mutex> lock(Mutex);
                    Shown.push_back(WindowText(box) + ": " + MessageBoxText(box));
                }
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                while (IsWindow(box)) Sleep(10);
            }
            Sleep(10);
        }
    }
    DWORD Owner;
    std::atomic<bool> Done{false};
    std::mutex Mutex;
    std::vector<std::string> Shown;
    std::thread Worker;
};

TEST_F(MainWindowTest, AFailedRestoreOfTheDampingIsReported) {
    ConnectSilently();
    MessageBoxWatch watch;
    Answer({9});
    Answer({0});
    Silence(); // the dialog's probe type: it shows and is cancelled
    Silence();
    Click(MainWindow::CalibrationButtonId);
    EXPECT_EQ(Line.Written, (std::vector<Bytes>{Request(44, {}), Request(44, {0}), Request(43, {}),
                                                Request(44, {9})}));
    const std::vector<std::string> shown = watch.Seen();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].rfind("Kalibrace: ", 0), 0u) << shown[0];
    EXPECT_EQ(shown[1], "VL4 config: Chyba komunikace");
    EXPECT_EQ(main->DampingList->SelectedIndex(), 0) << "what the transmitter last answered";
    EXPECT_FALSE(main->CalibrationRunning);

    // The probe type dialog leaves the damping alone.
    Line.Forget();
    Silence();
    Click(MainWindow::ProbeButtonId);
    EXPECT_EQ(Line.Written, (std::vector<Bytes>{Request(43, {})}));
    EXPECT_EQ(watch.Seen().size(), 3u);
}

// A fatal error, raised here by a thread timer inside the calibration
// dialog's loop: before its box shows, polling and sampling stop and the
// damping goes back, once.
struct FatalErrorScene {
    MainWindow* Main = nullptr;
    FakeComm* Line = nullptr;
    std::vector<Bytes> Restore; // what went out before the box would show
    size_t Written = 0;         // requests until then
    BOOL SamplingLeft = TRUE, PollingLeft = TRUE;
} Scene;

void CALLBACK RaiseFatalErrorInTheDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = Scene.Main->RunningCalibration->Handle;
    Scene.Line->Replies = {{Reply({9})}};
    const size_t before = Scene.Line->Written.size();
    CurrentApp->OnFatalError();
    Scene.Written = Scene.Line->Written.size();
    Scene.Restore.assign(Scene.Line->Written.begin() + before, Scene.Line->Written.end());
    Scene.SamplingLeft = KillTimer(dialog, CalibrationDialog::SampleTimerId);
    Scene.PollingLeft = KillTimer(Scene.Main->Handle, MainWindow::PollTimerId);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(MainWindowTest, AFatalErrorDuringACalibrationStopsTheTimersAndRestoresTheDamping) {
    ConnectSilently();
    Click(MainWindow::ReadCheckBoxId);
    Line.Forget();
    Answer({9});
    Answer({0});
    Answer({0}); // pH: the dialog samples
    Scene = FatalErrorScene();
    Scene.Main = main;
    Scene.Line = &Line;
    SetTimer(nullptr, 0, 10, RaiseFatalErrorInTheDialog);
    Click(MainWindow::CalibrationButtonId);
    ASSERT_GT(Scene.Written, 4u);
    EXPECT_EQ(Line.Written[1], Request(44, {0}));
    EXPECT_EQ(Scene.Restore, std::vector<Bytes>{Request(44, {9})});
    EXPECT_EQ(Line.Written.size(), Scene.Written) << "restored once, and nothing after";
    EXPECT_FALSE(Scene.SamplingLeft);
    EXPECT_FALSE(Scene.PollingLeft);
    EXPECT_EQ(main->RunningCalibration, nullptr);
}

TEST_F(MainWindowTest, ClosingWhilePollingStopsTheTimerAndThenClosesThePort) {
    ConnectSilently();
    for (int i = 0; i < 3; ++i) Silence();
    Click(MainWindow::ReadCheckBoxId);
    HWND handle = main->Handle;
    Line.Forget();
    SendMessageA(handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.MainWin, nullptr);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(Line.Log, (Strings{"Purge 15", "CloseHandle"}));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop ends";
}

} // namespace
