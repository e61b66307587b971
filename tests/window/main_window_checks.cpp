#include "window/main_window_checks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr DWORD Label = 0x50020000;      // WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT
constexpr DWORD Display = 0x50020002;    // ... | SS_RIGHT
constexpr DWORD Entry = 0x50030002;      // WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_RIGHT
constexpr DWORD PushButton = 0x50030000; // ... | BS_PUSHBUTTON
constexpr DWORD CheckBox = 0x50030003;   // ... | BS_AUTOCHECKBOX
constexpr DWORD Group = 0x50020007;      // WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX
constexpr DWORD DropDownList =
    0x50230103; // ... | WS_VSCROLL | WS_TABSTOP | CBS_SORT | CBS_DROPDOWNLIST
constexpr DWORD Sunken = WS_EX_CLIENTEDGE;

struct Expected {
    const char* Class;
    int Id;
    const wchar_t* Text;
    int X, Y, Width, Height;
    DWORD Style;
    DWORD ExStyle;
};

const wchar_t Write[] = L"Z\u00E1pis"; // Zápis

const Expected Layout[] = {
    {"Static", 0, L"Port:", 340, 14, 35, 20, Label, 0},
    {"ComboBox", 101, L"", 385, 10, 85, 160, DropDownList, Sunken},
    {"Static", 0, L"P\u0159evodn\u00EDk:", 10, 10, 100, 20, Label, 0}, // Převodník:
    {"Static", 0, L"", 120, 10, 140, 20, Display, Sunken},
    {"Static", 0, L"Firmware:", 10, 35, 100, 20, Label, 0},
    {"Static", 0, L"", 120, 35, 140, 20, Display, Sunken},
    {"Static", 0, L"V\u00FDrobn\u00ED \u010D\u00EDslo:", 10, 60, 100, 20, Label,
     0}, // Výrobní číslo:
    {"Static", 0, L"", 120, 60, 140, 20, Display, Sunken},
    {"Static", 0, L"V\u00FDstup:", 10, 85, 100, 20, Label, 0}, // Výstup:
    {"Static", 0, L"", 120, 85, 140, 20, Display, Sunken},
    {"Static", 0, L"Sonda:", 10, 110, 100, 20, Label, 0},
    {"Static", 0, L"", 120, 110, 140, 20, Display, Sunken},
    {"Button", 104, L"...", 270, 110, 32, 20, PushButton, 0},
    {"Static", 0, L"Kalibrace:", 10, 135, 100, 20, Label, 0},
    {"Static", 0, L"", 120, 135, 140, 20, Display, Sunken},
    {"Button", 105, L"...", 270, 135, 32, 20, PushButton, 0},

    {"Button", 0, L"Vstup:", 10, 165, 250, 210, Group, 0},
    {"Static", 0, L"Tlumen\u00ED:", 20, 194, 70, 20, Label, 0}, // Tlumení:
    {"ComboBox", 106, L"", 100, 190, 80, 200, DropDownList, Sunken},
    {"Static", 0, L"Offset:", 20, 224, 70, 20, Label, 0},
    {"Edit", 0, L"", 100, 220, 80, 24, Entry, Sunken},
    {"Button", 107, Write, 190, 220, 60, 24, PushButton, 0},
    {"Static", 0, L"Citlivost:", 20, 254, 70, 20, Label, 0},
    {"Edit", 0, L"", 100, 250, 80, 24, Entry, Sunken},
    {"Button", 108, Write, 190, 250, 60, 24, PushButton, 0},
    {"Static", 0, L"Hloubka:", 20, 284, 70, 20, Label, 0},
    {"Edit", 0, L"", 100, 280, 80, 24, Entry, Sunken},
    {"Button", 109, Write, 190, 280, 60, 24, PushButton, 0},
    {"Static", 0, L"Min:", 20, 314, 70, 20, Label, 0},
    {"Edit", 0, L"", 100, 310, 80, 24, Entry, Sunken},
    {"Button", 110, Write, 190, 310, 60, 24, PushButton, 0},
    {"Static", 0, L"Max:", 20, 344, 70, 20, Label, 0},
    {"Edit", 0, L"", 100, 340, 80, 24, Entry, Sunken},
    {"Button", 111, Write, 190, 340, 60, 24, PushButton, 0},

    {"Button", 0, L"Intern\u00ED hodnoty:", 270, 165, 200, 210, Group, 0}, // Interní hodnoty:
    {"Static", 0, L"Nap\u011Bt\u00ED [mV]:", 280, 190, 90, 20, Label, 0},  // Napětí [mV]:
    {"Static", 0, L"", 380, 190, 80, 20, Display, Sunken},
    {"Static", 0, L"Hodnota:", 280, 215, 90, 20, Label, 0},
    {"Static", 0, L"", 380, 215, 80, 20, Display, Sunken},
    {"Static", 0, L"Ratio [%]:", 280, 240, 90, 20, Label, 0},
    {"Static", 0, L"", 380, 240, 80, 20, Display, Sunken},
    {"Button", 112, L"\u010C\u00EDst", 280, 345, 90, 20, CheckBox, 0}, // Číst
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsComboBox(HWND window) {
    return lstrcmpiA(ClassOf(window).c_str(), "ComboBox") == 0;
}

// In the parent's client area; a combo box with its list dropped down.
// Wine's CB_GETDROPPEDCONTROLRECT measures the list alone from the combo
// box's top, so the list goes below the closed combo box here.
RECT PlacementOf(HWND parent, HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (IsComboBox(window)) {
        RECT dropped{};
        SendMessageA(window, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        rect.bottom += dropped.bottom - dropped.top;
    }
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

} // namespace

std::string WindowText(HWND window) {
    char text[256] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring WideWindowText(HWND window) {
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

HWND MessageBoxTextItem(HWND box) {
    for (HWND child : ChildrenOf(box)) {
        const DWORD type = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)) & SS_TYPEMASK;
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 && type != SS_ICON &&
            SendMessageW(child, WM_GETTEXTLENGTH, 0, 0) > 0)
            return child;
    }
    return nullptr;
}

std::string MessageBoxText(HWND box) {
    HWND text = MessageBoxTextItem(box);
    return text ? WindowText(text) : "";
}

void ExpectMainWindowFrame(HWND main) {
    EXPECT_EQ(ClassOf(main), "FwWindow");
    EXPECT_EQ(WindowText(main), "VL4 config");
    RECT outer{};
    GetWindowRect(main, &outer);
    EXPECT_EQ(outer.right - outer.left, 485);
    EXPECT_EQ(outer.bottom - outer.top, 412);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE));
    EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x00CA0000u) << std::hex << style;
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0u) << "neither sized nor maximised";
}

void ExpectMainWindowLayout(HWND main) {
    const std::vector<HWND> children = ChildrenOf(main);
    ASSERT_EQ(children.size(), std::size(Layout));
    for (size_t i = 0; i < children.size(); ++i) {
        const Expected& want = Layout[i];
        HWND child = children[i];
        SCOPED_TRACE("control " + std::to_string(i) + " of class " + want.Class);
        EXPECT_EQ(lstrcmpiA(ClassOf(child).c_str(), want.Class), 0) << ClassOf(child);
        EXPECT_EQ(GetDlgCtrlID(child), want.Id);
        EXPECT_EQ(WideWindowText(child), want.Text);
        const RECT rect = PlacementOf(main, child);
        EXPECT_EQ(rect.left, want.X);
        EXPECT_EQ(rect.top, want.Y);
        EXPECT_EQ(rect.right - rect.left, want.Width);
        EXPECT_EQ(rect.bottom - rect.top, want.Height);
        DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        DWORD exStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
        DWORD wantStyle = want.Style, wantExStyle = want.ExStyle;
        if (IsComboBox(child)) {
            style &= ~WS_VSCROLL;
            wantStyle &= ~WS_VSCROLL;
            exStyle &= ~WS_EX_CLIENTEDGE;
            wantExStyle &= ~WS_EX_CLIENTEDGE;
        }
        EXPECT_EQ(style, wantStyle) << std::hex << style;
        EXPECT_EQ(exStyle, wantExStyle) << std::hex << exStyle;
    }
}
