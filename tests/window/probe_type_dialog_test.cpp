#include "app/probe_type_dialog.h"
#include "window/app_dialog_fixture.h"

#include <commctrl.h>

using namespace fwtest;

namespace {

using ProbeDialog = Recorder<ProbeTypeDialog>;
using ProbeTypeDialogTest = AppDialogTest;

constexpr int TypeBox = ProbeTypeDialog::TypeBoxId;
const std::vector<std::string> TypeNames = {"pH", "Redox", "Chl\xF3r", "Kysl\xEDk"};

std::vector<std::string> ListedTypes(HWND dialog) {
    std::vector<std::string> items;
    HWND box = GetDlgItem(dialog, TypeBox);
    const int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int SelectedType(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, TypeBox, CB_GETCURSEL, 0, 0));
}

void SelectType(HWND dialog, int type) {
    SendDlgItemMessageA(dialog, TypeBox, CB_SETCURSEL, type, 0);
}

TEST_F(ProbeTypeDialogTest, ListsTheTypeReadAndWritesTheChosenTypesDefaultsInOrder) {
    Steer("set probe 2");
    auto* dialog = new ProbeDialog(main, Link, *ProbeTargets);
    std::vector<std::string> listed;
    int selected = -1;
    std::vector<int> beforeOk;
    Script(dialog, {[&](HWND h) {
               listed = ListedTypes(h);
               selected = SelectedType(h);
               beforeOk = Commands();
               SaveScreenshot(h, "probe-dialog");
               SelectType(h, ProbeOxygen);
               Click(h, IDOK);
           }});
    EXPECT_EQ(app.RunDialog(dialog), IDOK);
    EXPECT_EQ(listed, TypeNames);
    EXPECT_EQ(selected, 2) << "Chl\xF3r";
    EXPECT_EQ(beforeOk, std::vector<int>{43});
    EXPECT_EQ(Commands(), (std::vector<int>{43, 48, 49, 46, 47, 45}));
    Model([](TransmitterModel& m) {
        EXPECT_EQ(m.Values.ProbeType, ProbeOxygen);
        EXPECT_EQ(m.Values.Sensitivity, 9.0f);
        EXPECT_EQ(m.Values.UpperRange, 20.0f);
        EXPECT_EQ(m.Values.CalibrationDate, 0u) << "cleared";
    });
    EXPECT_EQ(TextOf(TypeDisplay), "Kysl\xEDk");
    EXPECT_EQ(TextOf(OffsetEdit), "0.000");
    EXPECT_EQ(TextOf(SensitivityEdit), "9.000");
    EXPECT_EQ(TextOf(LowerRangeEdit), "0.00");
    EXPECT_EQ(TextOf(UpperRangeEdit), "20.00");
    EXPECT_EQ(TextOf(DateDisplay), "0000-00-00");
}

TEST_F(ProbeTypeDialogTest, EscapeAndTheCloseBoxWriteNothing) {
    for (Step leave :
         std::vector<Step>{PressEscape, [](HWND h) { SendMessageA(h, WM_CLOSE, 0, 0); }}) {
        auto* dialog = new ProbeDialog(main, Link, *ProbeTargets);
        Script(dialog, {[](HWND h) { SelectType(h, ProbeRedox); }, leave});
        EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
        EXPECT_EQ(Commands(), std::vector<int>{43});
        EXPECT_EQ(TextOf(TypeDisplay), "old");
    }
}

// The user picks a known type or leaves; nothing outside the table is written.
TEST_F(ProbeTypeDialogTest, WithoutAKnownTypeOkWritesNothing) {
    Steer("set probe 7");
    auto* dialog = new ProbeDialog(main, Link, *ProbeTargets);
    std::vector<ShownBox> boxes;
    int selected = 0;
    bool open = false;
    Script(dialog,
           {[&](HWND h) {
                selected = SelectedType(h);
                ClickThroughBox(h, IDOK);
            },
            [&](HWND h) {
                open = IsWindow(h);
                EXPECT_EQ(Commands(), std::vector<int>{43});
                SelectType(h, ProbeRedox);
                Click(h, IDOK);
            }},
           &boxes);
    EXPECT_EQ(app.RunDialog(dialog), IDOK);
    EXPECT_EQ(selected, CB_ERR);
    EXPECT_TRUE(open);
    EXPECT_TRUE(boxes.empty()) << "a beep, no box";
    EXPECT_EQ(Commands(), (std::vector<int>{43, 48, 49, 46, 47, 45}));
    EXPECT_EQ(TextOf(TypeDisplay), "Redox");

    // The type could not be read, although the link works again at OK.
    FailNext(43);
    dialog = new ProbeDialog(main, Link, *ProbeTargets);
    std::vector<std::string> listed;
    Script(dialog, {[&](HWND h) {
                        listed = ListedTypes(h);
                        selected = SelectedType(h);
                        Click(h, IDOK);
                    },
                    PressEscape});
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
    EXPECT_EQ(listed, std::vector<std::string>{"Chyba komunikace"});
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(Commands(), std::vector<int>{43});

    // No port at all.
    Link.Close();
    dialog = new ProbeDialog(main, Link, *ProbeTargets);
    Script(dialog, {[&](HWND h) { listed = ListedTypes(h); }, PressEscape});
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
    EXPECT_EQ(listed, std::vector<std::string>{"Chyba komunikace"});
    EXPECT_EQ(TextOf(TypeDisplay), "Redox");
}

TEST_F(ProbeTypeDialogTest, AFailedWriteKeepsTheDialogOpenForAnotherTry) {
    FailNext(49);
    auto* dialog = new ProbeDialog(main, Link, *ProbeTargets);
    std::vector<ShownBox> boxes;
    std::vector<int> firstTry;
    std::string sensitivityAfterFailure, upperAfterFailure;
    Script(dialog,
           {[&](HWND h) {
                SelectType(h, ProbeChlorine);
                ClickThroughBox(h, IDOK);
            },
            [&](HWND h) {
                firstTry = Commands();
                sensitivityAfterFailure = TextOf(SensitivityEdit);
                upperAfterFailure = TextOf(UpperRangeEdit);
                EXPECT_EQ(SelectedType(h), ProbeChlorine);
                Click(h, IDOK);
            }},
           &boxes);
    EXPECT_EQ(app.RunDialog(dialog), IDOK);
    EXPECT_EQ(boxes, (std::vector<ShownBox>{{"Sonda", "Chyba komunikace", MB_ICONERROR}}));
    EXPECT_EQ(firstTry, (std::vector<int>{43, 43, 48, 49, 46, 47, 45})) << "every write tried";
    EXPECT_EQ(sensitivityAfterFailure, "old");
    EXPECT_EQ(upperAfterFailure, "2.00") << "the writes that went through are shown";
    EXPECT_EQ(Commands(), (std::vector<int>{43, 48, 49, 46, 47, 45}));
    EXPECT_EQ(TextOf(SensitivityEdit), "200.000");
}

// Static texts and the dialog on light grey; edits keep the system's colours.
TEST_F(ProbeTypeDialogTest, GreyBehindTheDialogAndItsTexts) {
    auto* dialog = new ProbeDialog(main, Link, *ProbeTargets);
    const auto grey = reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
    LRESULT dialogBrush = 0, staticBrush = 0, editBrush = 0;
    COLORREF textBackground = 0, editBackground = 0;
    Script(dialog, {[&](HWND h) {
               HDC dc = CreateCompatibleDC(nullptr);
               SetBkColor(dc, RGB(255, 255, 255));
               dialogBrush = SendMessageA(h, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(h));
               editBrush = SendMessageA(h, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(GetDlgItem(h, TypeBox)));
               editBackground = GetBkColor(dc);
               staticBrush = SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(GetDlgItem(h, TypeBox)));
               textBackground = GetBkColor(dc);
               DeleteDC(dc);
               PressEscape(h);
           }});
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
    EXPECT_EQ(dialogBrush, grey);
    EXPECT_EQ(staticBrush, grey);
    EXPECT_EQ(textBackground, RGB(192, 192, 192));
    EXPECT_NE(editBrush, grey);
    EXPECT_NE(editBackground, RGB(192, 192, 192));
}

} // namespace
