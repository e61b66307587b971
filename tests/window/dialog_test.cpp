#include "window/test_dialogs.h"
#include "window/window_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace fwtest;

namespace {

using Step = std::function<void(HWND)>;

// Runs the steps one per posted message once the dialog has initialised, so
// that each runs inside the dialog's own modal loop.
void Script(TestDialog* dialog, std::vector<Step> steps) {
    size_t next = 0;
    dialog->Hook = [steps, next](MessageRecord& msg) mutable {
        if (msg.Msg == WM_INITDIALOG) PostMessageA(msg.Hwnd, WM_APP, 0, 0);
        if (msg.Msg != WM_APP) return false;
        steps[next++](msg.Hwnd); // what it posts comes before the next step
        if (next < steps.size()) PostMessageA(msg.Hwnd, WM_APP, 0, 0);
        return true;
    };
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
void CloseBox(HWND dialog) {
    SendMessageA(dialog, WM_CLOSE, 0, 0);
}

struct DialogTest : ::testing::Test {
    Application app{"dialogs"};
    TestWindow* main = MakeMainWindow(app);
    char buffer[8] = "abc";
    TestControl* text = nullptr;

    TestDialog* MakeDialog(const char* name) {
        auto* dialog = Make<TestDialog>(name, main, IDD_PLAIN);
        dialog->TransferBuffer = buffer;
        text = Make<TestControl>("text", dialog, IDC_TEXT);
        text->SetFlags(WindowObject::TransferEnabled);
        return dialog;
    }
    void TearDown() override {
        if (app.MainWin) main->Free();
    }
};

TEST_F(DialogTest, ModalEndsWithOneByOkAndTwoByTheCloseBox) {
    TestDialog* dialog = MakeDialog("ok");
    bool focused = false, bound = false;
    char shown[8] = {};
    Script(dialog, {[&](HWND h) {
               focused = GetFocus() == GetDlgItem(h, IDC_TEXT);
               bound = ObjectFromHandle(GetDlgItem(h, IDC_TEXT)) == text;
               GetWindowTextA(text->Handle, shown, sizeof shown);
               SetWindowTextA(text->Handle, "typed");
               Click(h, IDOK);
           }});
    EXPECT_EQ(app.RunDialog(dialog), IDOK);
    EXPECT_TRUE(bound);
    EXPECT_STREQ(shown, "abc") << "set up from the buffer";
    EXPECT_STREQ(buffer, "typed") << "OK takes the values back";
    EXPECT_TRUE(focused) << "WM_INITDIALOG answered TRUE: focus on the first tab stop";
    EXPECT_NE(TakeEvents().find("ok.free text.free text.deleted ok.deleted"), std::string::npos);

    dialog = MakeDialog("close");
    Script(dialog, {[&](HWND h) {
               SetWindowTextA(GetDlgItem(h, IDC_TEXT), "lost");
               CloseBox(h);
           }});
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
    EXPECT_STREQ(buffer, "typed");
}

TEST_F(DialogTest, RefusedOkKeepsItOpenAndEscapeDoesNotCloseAPlainDialog) {
    TestDialog* dialog = MakeDialog("refusing");
    dialog->AllowClose = false;
    bool openAfterOk = false, openAfterEscape = false;
    LRESULT unhandled = -1, endSession = -1;
    Script(dialog, {[&](HWND h) { Click(h, IDOK); },
                    [&](HWND h) {
                        openAfterOk = IsWindow(h);
                        unhandled = CallWindowProcA(dialog->Thunk, h, WM_APP + 7, 0, 0);
                        endSession = CallWindowProcA(dialog->Thunk, h, WM_QUERYENDSESSION, 0, 0);
                        PostMessageA(GetDlgItem(h, IDC_TEXT), WM_KEYDOWN, VK_ESCAPE, 1);
                    },
                    [&](HWND h) {
                        openAfterEscape = IsWindow(h);
                        CloseBox(h);
                    }});
    TakeEvents();
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
    EXPECT_TRUE(openAfterOk);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_STREQ(buffer, "abc") << "no transfer after a refused OK";
    EXPECT_EQ(unhandled, FALSE);
    EXPECT_EQ(endSession, TRUE) << "a dialog that may not close refuses the session end";
    EXPECT_NE(TakeEvents().find("main.default"), std::string::npos)
        << "ESC's IDCANCEL climbed to the parent";
}

BOOL CALLBACK CloseBoxOwnedBy(HWND window, LPARAM owner) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 || GetWindow(window, GW_OWNER) != HWND(owner)) return TRUE;
    SendMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

// A close request that arrives while a handler of a plain window runs a
// modal dialog, and again while it shows a message box: the window, which
// the handler still uses after each, is closed once the handler has
// returned. The session may not end meanwhile.
TEST_F(DialogTest, ACloseRequestUnderAModalLoopWaitsUntilTheHandlerHasReturned) {
    constexpr UINT RunLoops = WM_APP + 10, CloseOwnBox = WM_APP + 11;
    auto* owner = Make<TestWindow>("owner", nullptr, "owner");
    ASSERT_TRUE(owner->Create());
    const HWND ownerHandle = owner->Handle;
    TestDialog* dialog = Make<TestDialog>("dialog", owner, IDD_PLAIN);
    LRESULT sessionEnd = -1;
    Script(dialog, {[&](HWND) { PostMessageA(ownerHandle, WM_CLOSE, 0, 0); },
                    [&](HWND h) {
                        Note("dialog.step");
                        sessionEnd = SendMessageA(ownerHandle, WM_QUERYENDSESSION, 0, 0);
                        CloseBox(h);
                    }});
    owner->Hook = [&](MessageRecord& msg) {
        if (msg.Msg == CloseOwnBox)
            EnumThreadWindows(GetCurrentThreadId(), CloseBoxOwnedBy, LPARAM(ownerHandle));
        if (msg.Msg != RunLoops) return msg.Msg == CloseOwnBox;
        app.RunDialog(dialog);
        Note(owner->Name + ".dialog-ended");
        PostMessageA(owner->Handle, WM_CLOSE, 0, 0);
        PostMessageA(owner->Handle, CloseOwnBox, 0, 0);
        owner->ShowMessageBox("box", "owner", MB_OK);
        Note(owner->Name + ".box-ended");
        return true;
    };
    TakeEvents();
    SendMessageA(ownerHandle, RunLoops, 0, 0);
    EXPECT_FALSE(IsWindow(ownerHandle));
    EXPECT_EQ(sessionEnd, 0);
    const std::string events = TakeEvents();
    EXPECT_LT(events.find("dialog.step"), events.find("dialog.destroy")) << events;
    EXPECT_EQ(events.find("owner."), events.find("owner.dialog-ended")) << events;
    EXPECT_EQ(events.substr(events.find("dialog.deleted")),
              "dialog.deleted owner.dialog-ended owner.box-ended owner.free owner.destroy "
              "owner.ncdestroy owner.deleted");
}

TEST_F(DialogTest, NamedTemplateIsCopiedAndAMissingItemLeavesTheRestUnbound) {
    char name[] = "NAMED";
    auto* dialog = Make<TestDialog>("named", main, name);
    EXPECT_NE(dialog->Template, name);
    EXPECT_STREQ(dialog->Template, "NAMED");
    std::strcpy(name, "XXXXX");
    Script(dialog, {CloseBox});
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL) << "the template was found under the copied name";

    dialog = MakeDialog("missing");
    EXPECT_EQ(dialog->Template, MAKEINTRESOURCEA(IDD_PLAIN));
    Make<TestControl>("missing", dialog, IDC_MISSING);
    dialog->RemoveChild(text); // the missing item first
    dialog->AddChild(text);
    bool textBound = true;
    Script(dialog, {[&](HWND h) {
               textBound = ObjectFromHandle(GetDlgItem(h, IDC_TEXT)) != nullptr;
               CloseBox(h);
           }});
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL) << "the dialog still opens";
    EXPECT_FALSE(textBound);
}

TEST_F(DialogTest, ModelessDialogClosesAndFreesItselfOnOk) {
    int objects = WindowObject::LiveCount();
    TestDialog* dialog = MakeDialog("modeless");
    ASSERT_TRUE(dialog->Create());
    HWND h = dialog->Handle;
    EXPECT_TRUE(dialog->HasFlags(WindowObject::KeyboardNav));
    EXPECT_EQ(ObjectFromHandle(GetDlgItem(h, IDC_TEXT)), text);
    Click(h, IDOK);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(WindowObject::LiveCount(), objects);
}

} // namespace
