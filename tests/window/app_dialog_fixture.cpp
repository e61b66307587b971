#include "window/app_dialog_fixture.h"

#include "sim/sim_console.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fwtest {

namespace {

std::string ClassOf(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct BoxSearch {
    HWND Owner;
    HWND Box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    if (ClassOf(window) == "#32770" && GetWindow(window, GW_OWNER) == search->Owner)
        search->Box = window;
    return search->Box == nullptr;
}

// The box's message: its one static with text (the icon's has none).
std::string BoxText(HWND box) {
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static" && !TextOf(child).empty()) text = TextOf(child);
    return text;
}

HICON IconOf(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static")
            if (auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)))
                return icon;
    return nullptr;
}

bool IsDefault(HWND button) {
    return (GetWindowLongA(button, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON;
}

// The style a box shows: its buttons, the default one and the icon.
UINT StyleOf(HWND box) {
    UINT style = 0;
    if (GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO)) {
        style |= MB_YESNO;
        if (IsDefault(GetDlgItem(box, IDNO))) style |= MB_DEFBUTTON2;
    }
    const struct {
        LPCSTR Icon;
        UINT Style;
    } icons[] = {{IDI_HAND, MB_ICONERROR},
                 {IDI_EXCLAMATION, MB_ICONWARNING},
                 {IDI_QUESTION, MB_ICONQUESTION},
                 {IDI_ASTERISK, MB_ICONINFORMATION}};
    const HICON shown = IconOf(box);
    for (const auto& icon : icons)
        if (shown && shown == LoadIconA(nullptr, icon.Icon)) style |= icon.Style;
    return style;
}

// The command of a request's log line ("RX 01 2B 00 D4"), -1 for other lines.
int CommandOf(const std::string& line) {
    if (line.compare(0, 6, "RX 01 ") != 0) return -1;
    return std::stoi(line.substr(6, 2), nullptr, 16);
}

} // namespace

void PrintTo(const ShownBox& box, std::ostream* out) {
    *out << "{\"" << box.Caption << "\", \"" << box.Text << "\", 0x" << std::hex << box.Style
         << std::dec << "}";
}

void CloseBoxOf(HWND owner, std::vector<ShownBox>* boxes, int answer) {
    BoxSearch search = {owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&search));
    if (!search.Box) return;
    if (boxes) boxes->push_back({TextOf(search.Box), BoxText(search.Box), StyleOf(search.Box)});
    SendMessageA(search.Box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
}

bool ScriptMessage(MessageRecord& msg, std::vector<Step>& steps, size_t& next,
                   std::vector<ShownBox>* boxes) {
    if (msg.Msg == WM_INITDIALOG) PostMessageA(msg.Hwnd, NextStep, 0, 0);
    if (msg.Msg == CloseBoxMessage) {
        CloseBoxOf(msg.Hwnd, boxes, static_cast<int>(msg.WParam));
        return true;
    }
    if (msg.Msg != NextStep || next >= steps.size()) return false;
    steps[next++](msg.Hwnd); // what it posts comes before the next step
    if (next < steps.size()) PostMessageA(msg.Hwnd, NextStep, 0, 0);
    return true;
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The box's own loop takes the posted request once the box is up.
void ClickThroughBox(HWND dialog, int id, int answer) {
    PostMessageA(dialog, CloseBoxMessage, static_cast<WPARAM>(answer), 0);
    Click(dialog, id);
}

void PressEscape(HWND dialog) {
    PostMessageA(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, VK_ESCAPE, 1);
}

std::string ItemText(HWND dialog, int id) {
    return TextOf(GetDlgItem(dialog, id));
}

bool ItemEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// A 24-bit bottom-up bitmap of what the screen shows of the window, frame included.
void SaveScreenshot(HWND window, const char* name) {
    const char* directory = std::getenv("VL4_SCREENSHOT_DIR");
    if (!directory) return;
    // A modal dialog shows itself when its queue first runs empty; a script
    // keeps it busy.
    ShowWindow(window, SW_SHOWNORMAL);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    Sleep(500); // for the X server to draw it
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof info};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    const std::string path = std::string(directory) + "\\" + name + ".bmp";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info, sizeof info, 1, out);
        std::fwrite(pixels.data(), 1, pixels.size(), out);
        std::fclose(out);
    }
}

void AppDialogTest::SetUp() {
    main = MakeMainWindow(app);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(Sim.Started);
    Model([this](TransmitterModel& m) {
        m.Log = [this, &m](const std::string& line) {
            Log.push_back(line);
            // The request's line comes before its reply is shaped.
            if (FailCommand >= 0 && CommandOf(line) == FailCommand) {
                m.Faults.Arm(Fault::NoReply, 1);
                FailCommand = -1;
            }
        };
    });
    ASSERT_TRUE(Link.Open("COM5"));
    auto display = [&](int y) {
        auto* field = new ValueDisplay(main, "old", 10, y, 120, 20, 2);
        EXPECT_TRUE(field->Create());
        return field;
    };
    auto edit = [&](int y, int decimals) {
        auto* field = new ValueEdit(main, "old", 140, y, 120, 20, 0, decimals);
        EXPECT_TRUE(field->Create());
        return field;
    };
    TypeDisplay = display(10);
    DateDisplay = display(40);
    OffsetEdit = edit(10, 3);
    SensitivityEdit = edit(40, 3);
    LowerRangeEdit = edit(70, 2);
    UpperRangeEdit = edit(100, 2);
    ProbeTargets.reset(new ProbeTypeTargets{*TypeDisplay, *DateDisplay, *OffsetEdit,
                                            *SensitivityEdit, *LowerRangeEdit, *UpperRangeEdit});
    CalibrationFields.reset(new CalibrationTargets{*DateDisplay, *OffsetEdit, *SensitivityEdit});
}

void AppDialogTest::TearDown() {
    if (app.MainWin) main->Free();
}

void AppDialogTest::Steer(const std::string& command) {
    std::vector<std::string> out;
    CommandResult result =
        Model([&](TransmitterModel& m) { return RunSimCommand(m, command, out); });
    ASSERT_EQ(result, CommandResult::Ok) << command << ": " << out.back();
}

std::vector<int> AppDialogTest::Commands() {
    std::vector<int> commands;
    Model([&](TransmitterModel&) {
        for (; Seen < Log.size(); ++Seen)
            if (CommandOf(Log[Seen]) >= 0) commands.push_back(CommandOf(Log[Seen]));
    });
    return commands;
}

void AppDialogTest::FailNext(int command) {
    Model([&](TransmitterModel&) { FailCommand = command; });
}

} // namespace fwtest
