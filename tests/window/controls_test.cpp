#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/edit.h"
#include "framework/list_box.h"
#include "framework/static_control.h"
#include "window/control_fixture.h"

#include <cstring>

using namespace fwtest;

namespace {

// A list box shows its vertical scroll bar, and with it WS_VSCROLL, only
// while its items need one. Under Wine a combo box's WS_VSCROLL and
// WS_EX_CLIENTEDGE go to its drop-down list: the combo box reports neither.
constexpr DWORD NotShown = ~static_cast<DWORD>(WS_VSCROLL);
constexpr DWORD NotOnComboEx = ~static_cast<DWORD>(WS_EX_CLIENTEDGE);

StringCollection* Strings(std::initializer_list<const char*> texts) {
    auto* strings = new StringCollection(4, 4);
    for (const char* text : texts) strings->Insert(DuplicateString(text));
    return strings;
}

std::string Items(ListBox* list, bool combo = false) {
    std::string items;
    const int count =
        static_cast<int>(SendMessageA(list->Handle, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        list->ItemText(text, i);
        items += std::string(text) + " ";
    }
    return items;
}

void Type(WindowObject* edit, const char* text) {
    for (; *text; ++text) SendMessageA(edit->Handle, WM_CHAR, static_cast<BYTE>(*text), 1);
}

LRESULT TypingLimit(HWND edit) {
    return SendMessageA(edit, EM_GETLIMITTEXT, 0, 0);
}

HWND EditOf(HWND combo) {
    return FindWindowExA(combo, nullptr, "Edit", nullptr);
}
HWND EditOf(WindowObject* combo) {
    return EditOf(combo->Handle);
}

TEST_F(ControlTest, PositionalControlsMakeNativeWindowsOfTheirClassAndStyle) {
    struct Case {
        Window* Control;
        const char* NativeClass;
        DWORD Style;
        DWORD ExStyle;
        DWORD Mask = ~0u;
        DWORD ExMask = ~0u;
    };
    const Case cases[] = {
        {Add<GroupBox>("Frame", 10, 10, 100, 60, 101), "Button", 0x50020007, 0},
        {Add<Button>("Go", 10, 10, 60, 24, 102), "Button", 0x50030000, 0},
        {Add<CheckBox>("Read", 10, 10, 60, 24, 103), "Button", 0x50030003, 0},
        {Add<Static>("Label", 10, 10, 60, 24, 104, 0), "Static", 0x50020000, 0},
        {Add<Edit>("", 10, 10, 60, 24, 105, 0, false), "Edit", 0x50030080, 0x200},
        {Add<Edit>("", 10, 10, 60, 60, 106, 0, true), "Edit", 0x50331004, 0x200},
        {Add<ListBox>(10, 10, 60, 60, 107), "ListBox", 0x50230003, 0x200, NotShown},
        {Add<ComboBox>(10, 10, 60, 90, 108, 0, true), "ComboBox", 0x50230142, 0x200, NotShown,
         NotOnComboEx},
        {Add<ComboBox>(10, 10, 60, 90, 109, 0, false), "ComboBox", 0x50230103, 0x200, NotShown,
         NotOnComboEx},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Control->GetId());
        char nativeClass[32] = {};
        GetClassNameA(c.Control->Handle, nativeClass, sizeof nativeClass);
        EXPECT_STRCASEEQ(nativeClass, c.NativeClass);
        EXPECT_EQ(GetDlgCtrlID(c.Control->Handle), c.Control->GetId());
        EXPECT_EQ(c.Control->Style, c.Style);
        EXPECT_EQ(c.Control->ExStyle, c.ExStyle);
        EXPECT_EQ(NativeStyle(c.Control) & c.Mask, c.Style & c.Mask);
        EXPECT_EQ(NativeExStyle(c.Control) & c.ExMask, c.ExStyle & c.ExMask);
        EXPECT_FALSE(c.Control->HasFlags(WindowObject::TransferEnabled));
        EXPECT_EQ(ObjectFromHandle(c.Control->Handle), c.Control) << "subclassed";
    }
}

TEST_F(ControlTest, CheckBoxStateLivesInTheNativeControl) {
    auto* box = Add<CheckBox>("Read", 10, 10, 80, 20, 101);
    EXPECT_EQ(box->CheckState(), BST_UNCHECKED);
    box->SetChecked();
    EXPECT_EQ(SendMessageA(box->Handle, BM_GETCHECK, 0, 0), BST_CHECKED);
    TakeEvents();
    SendMessageA(box->Handle, BM_CLICK, 0, 0);
    EXPECT_EQ(box->CheckState(), BST_UNCHECKED) << "an automatic check box";
    EXPECT_EQ(TakeEvents(), "main.child101 main.default");

    auto* threeState = Bind<CheckBox>("Button", BS_AUTO3STATE, 102);
    threeState->SetCheckState(BST_INDETERMINATE);
    EXPECT_EQ(threeState->CheckState(), BST_INDETERMINATE);
}

#pragma pack(push, 1)
// The transfer buffer of the window built in the test below: one field per
// transfer-enabled child, in child order, each where the one before ends.
struct Fields {
    int32_t Check;
    char Label[6];
    char Entry[1];
    ListBoxData List;
    Collection* ComboStrings;
    char ComboText[6];
    int32_t LastCheck;
};
#pragma pack(pop)

TEST_F(ControlTest, TransferFieldsFollowEachOtherInChildOrder) {
    auto* check = Bind<CheckBox>("Button", BS_AUTO3STATE, 201);
    auto* placed = Add<CheckBox>("Placed", 10, 10, 80, 20, 101); // no field
    auto* label = Bind<Static>("Static", 0, 202, 6);
    auto* noText = Bind<Edit>("Edit", 0, 203, 0); // no field
    auto* entry = Bind<Edit>("Edit", 0, 204, 1);  // the zero only
    auto* list = Bind<ListBox>("Listbox", 0, 205);
    auto* combo = Bind<ComboBox>("Combobox", CBS_DROPDOWN, 206, 6);
    auto* lastCheck = Bind<CheckBox>("Button", BS_AUTOCHECKBOX, 207);
    EXPECT_TRUE(check->HasFlags(WindowObject::TransferEnabled));
    EXPECT_FALSE(placed->HasFlags(WindowObject::TransferEnabled));
    const int sizes[] = {4, 6, 0, 1, 8, 10, 4};
    WindowObject* fields[] = {check, label, noText, entry, list, combo, lastCheck};
    Fields untouched;
    std::memset(&untouched, 0x55, sizeof untouched);
    Fields buffer = untouched;
    for (int i = 0; i < 7; ++i) EXPECT_EQ(fields[i]->Transfer(&buffer, 3), sizes[i]) << i;
    EXPECT_EQ(std::memcmp(&buffer, &untouched, sizeof buffer), 0) << "direction 3 does nothing";

    StringCollection* strings = Strings({"beta", "alpha"});
    list->AddItem("old");
    SetWindowTextA(noText->Handle, "kept");
    Fields in{BST_INDETERMINATE, "label", "", {strings, {1}}, strings, "be", BST_CHECKED};
    main->TransferBuffer = &in;
    main->TransferData(WindowObject::TransferSet);
    EXPECT_EQ(check->CheckState(), BST_INDETERMINATE);
    EXPECT_EQ(placed->CheckState(), BST_UNCHECKED);
    EXPECT_EQ(TextOf(label), "label");
    EXPECT_EQ(TextOf(noText), "kept");
    EXPECT_EQ(Items(list), "alpha beta ") << "rebuilt from the strings";
    EXPECT_EQ(list->SelectedIndex(), 1);
    EXPECT_EQ(Items(combo, true), "alpha beta ");
    EXPECT_EQ(combo->SelectedIndex(), 1) << "selected by prefix";
    EXPECT_EQ(lastCheck->CheckState(), BST_CHECKED);

    check->SetCheckState(BST_CHECKED);
    label->SetText("longer text");
    entry->SetText("xyz");
    list->SelectIndex(0);
    combo->SetText("gamma-ray");
    lastCheck->SetCheckState(BST_UNCHECKED);
    Fields out = untouched;
    main->TransferBuffer = &out;
    main->TransferData(WindowObject::TransferGet);
    EXPECT_EQ(out.Check, BST_CHECKED);
    EXPECT_STREQ(out.Label, "longe") << "TextLimit - 1 characters and the zero";
    EXPECT_EQ(out.Entry[0], '\0');
    EXPECT_EQ(out.List.Strings, untouched.List.Strings) << "not read back";
    EXPECT_EQ(out.List.SelectedIndex, 0);
    EXPECT_EQ(out.ComboStrings, untouched.ComboStrings);
    EXPECT_STREQ(out.ComboText, "gamma");
    EXPECT_EQ(out.LastCheck, BST_UNCHECKED);
    main->TransferBuffer = nullptr;
    strings->Free();

    StringCollection empty(0, 1);
    ListBoxData cleared{&empty, {-1}};
    list->Transfer(&cleared, WindowObject::TransferSet);
    EXPECT_EQ(Items(list), "");
}

TEST_F(ControlTest, MultipleSelectionTransfersASelectionArrayOrNull) {
    auto* list = Bind<ListBox>("Listbox", LBS_MULTIPLESEL, 201);
    StringCollection* strings = Strings({"a", "b", "c", "d"});
    ListBoxData data{strings, {}};
    data.Selection = NewSelectionArray(2);
    data.Selection->Indices[0] = 3;
    data.Selection->Indices[1] = 1;
    EXPECT_EQ(list->Transfer(&data, WindowObject::TransferSet), 8);
    auto selected = [&] {
        std::string marks;
        for (int i = 0; i < 4; ++i)
            marks += SendMessageA(list->Handle, LB_GETSEL, i, 0) ? '1' : '0';
        return marks;
    };
    EXPECT_EQ(selected(), "0101");

    SendMessageA(list->Handle, LB_SETSEL, TRUE, 0);
    list->Transfer(&data, WindowObject::TransferGet); // gives the old array back
    ASSERT_NE(data.Selection, nullptr);
    ASSERT_EQ(data.Selection->Count, 3);
    EXPECT_EQ(data.Selection->Indices[0], 0);
    EXPECT_EQ(data.Selection->Indices[1], 1);
    EXPECT_EQ(data.Selection->Indices[2], 3);

    SendMessageA(list->Handle, LB_SETSEL, FALSE, -1);
    list->Transfer(&data, WindowObject::TransferGet);
    EXPECT_EQ(data.Selection, nullptr) << "no selection is null, never a count of 0";
    SendMessageA(list->Handle, LB_SETSEL, TRUE, 2);
    list->Transfer(&data, WindowObject::TransferSet);
    EXPECT_EQ(selected(), "0000");

    // The same record holds an index for a single-selection list.
    auto* single = Bind<ListBox>("Listbox", 0, 202);
    data.SelectedIndex = 2;
    single->Transfer(&data, WindowObject::TransferSet);
    EXPECT_EQ(single->SelectedIndex(), 2);
    single->SelectIndex(3);
    single->Transfer(&data, WindowObject::TransferGet);
    EXPECT_EQ(data.SelectedIndex, 3);
    strings->Free();
}

TEST_F(ControlTest, ListItemsAndTheSelectedTextWithinItsBuffer) {
    auto* list = Add<ListBox>(10, 10, 100, 80, 101);
    list->AddItem("pear");
    EXPECT_EQ(list->AddItem("apple"), 0) << "sorted";
    EXPECT_EQ(list->InsertItem("kiwi", -1), 2) << "appended, not sorted";
    EXPECT_EQ(list->InsertItem("fig", 7), LB_ERR);
    EXPECT_EQ(Items(list), "apple pear kiwi ");
    EXPECT_EQ(list->ItemTextLength(2), 4);

    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(list->SelectedIndex(), -1);
    EXPECT_EQ(list->SelectedText(buffer, 7), -1);
    EXPECT_EQ(std::string(buffer, 8), "xxxxxxxx");
    EXPECT_EQ(list->SelectItemByPrefix("PE", -1), 1);
    EXPECT_EQ(list->SelectedIndex(), 1);

    list->SelectIndex(0);
    EXPECT_EQ(list->SelectedText(buffer, 5), 5) << "read straight in";
    EXPECT_EQ(std::string(buffer, 8), std::string("apple\0xx", 8));
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(list->SelectedText(buffer, 4), 4) << "cut to the capacity";
    EXPECT_EQ(std::string(buffer, 8), std::string("appl\0xxx", 8));
    list->RemoveAllItems();
    EXPECT_EQ(Items(list), "");
}

TEST_F(ControlTest, EditTypingLimitFollowsTextLimit) {
    auto* plain = Add<Edit>("", 10, 10, 100, 24, 101, 0, false);
    auto* six = Add<Edit>("", 10, 40, 100, 24, 102, 6, false);
    auto* one = Add<Edit>("", 10, 70, 100, 24, 103, 1, false);
    auto* bound = Bind<Edit>("Edit", ES_AUTOHSCROLL, 201, 4);
    EXPECT_EQ(TypingLimit(six->Handle), 5);
    EXPECT_EQ(TypingLimit(bound->Handle), 3);
    EXPECT_GT(TypingLimit(one->Handle), TypingLimit(plain->Handle)) << "0: the system's maximum";
    Type(six, "abcdefgh");
    Type(one, "abcdefgh");
    EXPECT_EQ(TextOf(six), "abcde");
    EXPECT_EQ(TextOf(one), "abcdefgh");
    char text[4];
    EXPECT_EQ(one->GetText(text, sizeof text), 3);
    EXPECT_STREQ(text, "abc");
}

// Notes which responses its commands reach.
class NotedEdit : public Recorder<Edit> {
public:
    using Recorder<Edit>::Recorder;
    void OnUndo(MessageRecord& msg) override {
        Note("undo");
        Recorder<Edit>::OnUndo(msg);
    }
};

TEST_F(ControlTest, EditCommandsReachTheirResponsesAndOthersClimbToTheParent) {
    auto* edit = Add<NotedEdit>("abcdef", 10, 10, 100, 24, 101, 0, false);
    edit->Name = "edit";
    auto command = [&](int id, int from, int to) {
        SendMessageA(edit->Handle, EM_SETSEL, from, to);
        SendMessageA(edit->Handle, WM_COMMAND, id, 0);
        return TextOf(edit);
    };
    TakeEvents();
    EXPECT_EQ(command(Edit::CommandEditDelete, 1, 3), "adef") << "the selection only";
    EXPECT_EQ(command(Edit::CommandEditUndo, 0, 0), "abcdef");
    EXPECT_EQ(command(Edit::CommandEditCut, 0, 2), "cdef");
    EXPECT_EQ(command(Edit::CommandEditPaste, 4, 4), "cdefab");
    EXPECT_EQ(command(Edit::CommandEditCopy, 0, 1), "cdefab");
    EXPECT_EQ(command(Edit::CommandEditPaste, 6, 6), "cdefabc");
    EXPECT_EQ(command(Edit::CommandEditClear, 2, 3), "");
    const std::string events = TakeEvents(); // and the edit's change notifications
    EXPECT_NE(events.find("undo"), std::string::npos);
    EXPECT_EQ(events.find("edit.default"), std::string::npos) << "all six taken by the edit";
    EXPECT_EQ(command(Edit::CommandEditUndo + 1, 0, 0), "");
    EXPECT_EQ(TakeEvents(), "main.default");
}

TEST_F(ControlTest, ComboBoxLimitsTypingAndSetsItsTextByPrefix) {
    auto* editable = Add<ComboBox>(10, 10, 120, 100, 101, 6, true);
    auto* dropList = Add<ComboBox>(140, 10, 120, 100, 102, 6, false);
    auto* unlimited = Add<ComboBox>(10, 120, 120, 100, 103, 0, true);
    auto* bound = Bind<ComboBox>("Combobox", CBS_DROPDOWN, 201, 3);
    HWND native = CreateWindowExA(0, "Combobox", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 80, 80,
                                  main->Handle, nullptr, ModuleInstance(), nullptr);
    EXPECT_EQ(TypingLimit(EditOf(editable)), 5);
    EXPECT_EQ(TypingLimit(EditOf(bound)), 2);
    EXPECT_EQ(TypingLimit(EditOf(unlimited)), TypingLimit(EditOf(native))) << "none sent";

    for (ComboBox* combo : {editable, dropList}) {
        for (const char* item : {"beta", "alpha", "gamma"}) combo->AddItem(item);
        EXPECT_EQ(Items(combo, true), "alpha beta gamma ");
        combo->SelectIndex(0);
    }
    editable->SetText("GA");
    EXPECT_EQ(editable->SelectedIndex(), 2);
    EXPECT_EQ(TextOf(editable), "gamma");
    editable->SetText("delta");
    EXPECT_EQ(editable->SelectedIndex(), 2) << "a failed search leaves the selection";
    EXPECT_EQ(TextOf(editable), "delta");
    char text[8];
    EXPECT_EQ(editable->GetText(text, 4), 3);
    EXPECT_STREQ(text, "del");

    dropList->SetText("delta");
    EXPECT_EQ(dropList->SelectedIndex(), 0);
    EXPECT_EQ(TextOf(dropList), "alpha") << "a drop-down list has no text of its own";
    dropList->SetText("b");
    EXPECT_EQ(TextOf(dropList), "beta");
    EXPECT_EQ(dropList->SelectedText(text, 3), 3);
    EXPECT_STREQ(text, "bet");
}

} // namespace
