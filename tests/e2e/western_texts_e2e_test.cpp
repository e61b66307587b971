// vl4config.exe on a Windows whose code page is not 1250 (Wine in
// en_US.UTF-8: code page 1252, as on an English or German Windows). Every
// Czech text the tool shows is read from outside as UTF-16 and compared with
// its Unicode characters.
#include "e2e/tool_fixture.h"
#include "framework/window_text.h"
#include "window/main_window_checks.h"

#include <algorithm>

using namespace e2e;

namespace {

// Texts as UTF-16, caption first, from a box or dialog the tool shows.
using WideTexts = std::vector<std::wstring>;

class WesternTextsTest : public ToolTest {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 1252u) << "the test runs under en_US.UTF-8";
        ToolTest::SetUp();
    }
    // The texts of the labels (items without an ID), then of the items given.
    WideTexts DialogTexts(const std::vector<int>& items) {
        WideTexts texts;
        for (HWND item = GetWindow(Dialog.Handle, GW_CHILD); item;
             item = GetWindow(item, GW_HWNDNEXT))
            if (GetDlgCtrlID(item) == 0) texts.push_back(WideWindowText(item));
        for (int id : items) texts.push_back(WideWindowText(Dialog.Item(id)));
        return texts;
    }
    // The message box shown while action runs, closed with its OK: caption
    // and message.
    WideTexts Box(const std::function<void()>& action, HWND owner = nullptr) {
        WideTexts texts;
        WhileBoxes(
            action,
            [&](HWND box) {
                texts = {WideWindowText(box), WideWindowText(MessageBoxTextItem(box))};
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            },
            owner);
        return texts;
    }

    ToolDialog Dialog;
};

TEST_F(WesternTextsTest, TheMainWindowAndTheRefusalOfAForeignDevice) {
    ExpectMainWindowLayout(Window.Handle); // every label, as Unicode
    Set("wiring", "0");
    Set("probe", "3");
    Connect(); // the port name read from the list
    EXPECT_EQ(WideWindowText(At(Output)), L"Pasivn\u00ED 4 a\u017E 20 mA");
    EXPECT_EQ(WideWindowText(At(Type)), L"Kysl\u00EDk");

    Set("ident", "VL5");
    EXPECT_EQ(Box([&] { Window.PickPort("COM5"); }),
              (WideTexts{L"VL5", L"P\u0159evodn\u00EDk nen\u00ED kompatibiln\u00ED s t\u00EDmto "
                                 L"n\u00E1strojem."}));
}

TEST_F(WesternTextsTest, BothDialogsTheProbeNamesAndTheCalibrationError) {
    Connect();
    ASSERT_TRUE(
        Dialog.Open(Window, ToolWindow::ProbeButtonId, ToolDialog::ProbeCaption, WaitTimeoutMs));
    EXPECT_EQ(DialogTexts({IDOK}), (WideTexts{L"Typ:", L"OK"}));
    HWND list = Dialog.Item(ProbeItems::TypeList);
    WideTexts names;
    for (int i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t name[64] = {};
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        names.push_back(name);
    }
    EXPECT_EQ(names, (WideTexts{L"pH", L"Redox", L"Chl\u00F3r", L"Kysl\u00EDk"}));
    Dialog.PressEscape();
    ASSERT_TRUE(Dialog.WaitClosed(WaitTimeoutMs));

    ASSERT_TRUE(Dialog.Open(Window, ToolWindow::CalibrationButtonId, ToolDialog::CalibrationCaption,
                            WaitTimeoutMs));
    EXPECT_EQ(DialogTexts({CalibrationItems::SinglePoint, IDOK}),
              (WideTexts{L"Sonda:", L"[mV]:", L"Norm\u00E1l", L"Hodnota", L"Nap\u011Bt\u00ED",
                         L"Jeden bod", L"OK"}));
    EXPECT_EQ(Box([&] { Dialog.Click(IDOK); }, Dialog.Handle),
              (WideTexts{L"Kalibrace", L"Chyba kalibra\u010Dn\u00EDch bod\u016F."}))
        << "OK with no point measured";
    Dialog.PressEscape();
    ASSERT_TRUE(Dialog.WaitClosed(WaitTimeoutMs));
}

// What the labels are drawn with, checked in this process: the system font
// of code page 1252 has no Czech letters, the one the controls get has them.
TEST(WesternTextFont, TheControlsGetAFaceWithTheCzechLetters) {
    const wchar_t letters[] = L"\u0159\u011B\u010D\u016F\u010C\u0158\u017E\u0161";
    auto hasLetters = [&](HGDIOBJ font) {
        HDC screen = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(screen, font);
        WORD glyphs[std::size(letters) - 1];
        GetGlyphIndicesW(screen, letters, std::size(glyphs), glyphs, GGI_MARK_NONEXISTING_GLYPHS);
        SelectObject(screen, previous);
        ReleaseDC(nullptr, screen);
        return std::count(std::begin(glyphs), std::end(glyphs), 0xFFFF) == 0;
    };
    EXPECT_FALSE(hasLetters(GetStockObject(SYSTEM_FONT)));
    HWND parent =
        CreateWindowW(L"Static", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND label = CreateWindowW(L"Static", L"\u010C\u00EDst", WS_CHILD, 0, 0, 90, 20, parent,
                               nullptr, nullptr, nullptr);
    UseTextFont(parent);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(hasLetters(font));
    DestroyWindow(parent);
}

// The calibration with record names a face of its own and is laid out in
// its units: made from the program's template in this process, its controls
// keep that face where the system font lacks the Czech letters, and each
// label's and button's text fits its control in it (given the system font's
// height, "Teplota [°C]:" and "Místo:" were cut).
INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

TEST(WesternTextFont, TheCalibrationWithRecordKeepsItsFaceAndItsTextsFit) {
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(5));
    ASSERT_NE(resource, nullptr);
    const auto* dialogTemplate =
        static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, resource)));
    HWND dialog = CreateDialogIndirectParamW(nullptr, dialogTemplate, nullptr, NoDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    UseTextFont(dialog);
    const auto dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(dialogFont, nullptr);
    int texts = 0;
    for (HWND item = GetWindow(dialog, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
        const std::wstring text = WideWindowText(item);
        if (text.empty()) continue;
        const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(item, WM_GETFONT, 0, 0));
        EXPECT_EQ(font, dialogFont) << text;
        HDC dc = GetDC(item);
        HGDIOBJ previous = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, previous);
        ReleaseDC(item, dc);
        RECT box{};
        GetClientRect(item, &box);
        wchar_t className[32] = {};
        GetClassNameW(item, className, 32);
        // A check box's or a group's text has its box or frame beside it.
        const LONG room = box.right - (lstrcmpiW(className, L"Button") == 0 ? 16 : 0);
        EXPECT_LE(size.cx, room) << text;
        ++texts;
    }
    EXPECT_GT(texts, 30);
    DestroyWindow(dialog);
}

} // namespace
