#include "window/window_fixtures.h"

#include "framework/collection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <thread>

using namespace fwtest;

namespace {

class TestApp : public Application {
public:
    using Application::Application;
    bool RefuseCreation = false;
    void BuildMainWindow() override {
        Note(std::string("build:") + Name + (CurrentApp == this ? ":current" : ""));
        auto* window = Make<TestWindow>("main", nullptr, Name);
        if (RefuseCreation)
            window->Hook = [](MessageRecord& msg) {
                if (msg.Msg != WM_NCCREATE) return false;
                msg.Result = FALSE;
                return true;
            };
        MainWin = window;
    }
};

TEST(Application, StartsItsDerivedMainWindowAndRunEndsWhenItCloses) {
    TestApp app("Okno");
    TakeEvents();
    app.Start();
    EXPECT_EQ(TakeEvents(), "build:Okno:current");
    auto* main = static_cast<TestWindow*>(app.MainWin);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(main->Handle));
    char title[16];
    GetWindowTextA(main->Handle, title, sizeof title);
    EXPECT_STREQ(title, "Okno");

    main->AllowClose = false;
    EXPECT_EQ(SendMessageA(main->Handle, WM_QUERYENDSESSION, 0, 0), 0);
    SendMessageA(main->Handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.MainWin, main) << "a refused close keeps the window";
    main->AllowClose = true;
    EXPECT_EQ(SendMessageA(main->Handle, WM_QUERYENDSESSION, 0, 0), 1);

    PostMessageA(main->Handle, WM_CLOSE, 0, 0);
    app.Run();
    EXPECT_TRUE(app.QuitReceived);
    EXPECT_EQ(app.MainWin, nullptr);
    EXPECT_NE(TakeEvents().find("main.destroy"), std::string::npos);
}

TEST(Application, WithoutAMainWindowNothingRunsAndNullDialogsCancel) {
    TestApp app("refused");
    app.RefuseCreation = true;
    app.Start();
    EXPECT_EQ(app.MainWin, nullptr);
    EXPECT_NE(TakeEvents().find("main.deleted"), std::string::npos) << "the failed window is freed";
    app.Run(); // returns at once
    EXPECT_FALSE(app.QuitReceived);
    EXPECT_EQ(app.RunDialog(nullptr), IDCANCEL);
}

// Reports the text of the box the program shows (its static with text) on
// stderr and closes it.
void CloseFatalErrorBox() {
    HWND box;
    while (!(box = FindWindowA("#32770", "VL4 config"))) Sleep(10);
    char line[128] = {};
    for (HWND child = GetWindow(box, GW_CHILD); child && !*line;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::strcmp(name, "Static") == 0) GetWindowTextA(child, line, sizeof line);
    }
    std::fprintf(stderr, "box: %s\n", line);
    std::fflush(stderr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Notes on stderr that the application stopped its work.
class StoppingApp : public Application {
public:
    using Application::Application;
    void OnFatalError() override { std::fputs("stopped\n", stderr); }
};

// A window program has no console: its fatal errors show their line in a
// box, once the application has stopped what would go on behind it.
TEST(ApplicationDeathTest, AFatalErrorShowsItsLineInABoxAndEndsWithItsCode) {
    EXPECT_EXIT(
        {
            StoppingApp app("VL4 config");
            app.ShowFatalErrorsInBoxes();
            std::thread(CloseFatalErrorBox).detach();
            Collection full(1, 0);
            full.Insert(nullptr);
            full.Insert(nullptr);
        },
        ::testing::ExitedWithCode(214),
        "Runtime error 214: collection overflow \\(1\\)\nstopped\nbox: Runtime error 214: "
        "collection overflow \\(1\\)");
}

// Posts a key to the focused control and runs it through the loop; answers
// whether a control saw it as a key message.
bool KeyReachedControl(Application& app, WPARAM key) {
    TakeEvents();
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
    MSG msg;
    while (app.PumpMessage(msg)) {
    }
    return TakeEvents().find(".key") != std::string::npos;
}

TEST(Application, KeyboardNavWindowGetsDialogKeysAndKeepsItsFocus) {
    Application app("keys");
    TestControl* edits[2] = {};
    TestWindow* main = MakeMainWindow(app, [&](TestWindow* w) {
        w->SetFlags(WindowObject::KeyboardNav);
        for (int i = 0; i < 2; ++i) {
            edits[i] = Make<TestControl>(i ? "e2" : "e1", w, "", 10, 10 + 30 * i, 100, 20, 101 + i);
            edits[i]->Hook = [i](MessageRecord& msg) {
                if (msg.Msg == WM_KEYDOWN) Note(i ? "e2.key" : "e1.key");
                return false;
            };
        }
    });
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(app.KeyboardWindow, main) << "activation made it the keyboard window";
    SetFocus(edits[0]->Handle);
    EXPECT_FALSE(KeyReachedControl(app, VK_TAB)) << "TAB is consumed by the dialog keys";
    EXPECT_EQ(GetFocus(), edits[1]->Handle);

    SendMessageA(main->Handle, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(app.KeyboardWindow, nullptr);
    EXPECT_EQ(main->FocusChild, edits[1]->Handle);
    EXPECT_TRUE(KeyReachedControl(app, VK_TAB))
        << "without a keyboard window TAB reaches the control";
    EXPECT_EQ(GetFocus(), edits[1]->Handle);

    SetFocus(edits[0]->Handle);
    SetFocus(nullptr);
    SendMessageA(main->Handle, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(main->FocusChild, edits[1]->Handle) << "focus outside keeps the saved child";
    SendMessageA(main->Handle, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), edits[1]->Handle);
    EXPECT_EQ(app.KeyboardWindow, main);
    main->Free();
}

} // namespace
