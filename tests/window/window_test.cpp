#include "framework/thunk.h"
#include "window/window_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace fwtest;

namespace {

HWND BareChild(HWND parent, const char* cls, int id, int y) {
    return CreateWindowExA(0, cls, "bare", WS_CHILD | WS_VISIBLE, 10, y, 60, 24, parent,
                           reinterpret_cast<HMENU>(id), ModuleInstance(), nullptr);
}

TEST(Binding, MessagesReachTheirObjectAndUnhandledOnesTheDefaultProcedure) {
    Application app("binding");
    TestWindow* main = MakeMainWindow(app);
    ASSERT_NE(main, nullptr);
    std::vector<UINT> seen;
    main->Hook = [&](MessageRecord& msg) {
        seen.push_back(msg.Msg);
        return msg.Msg == WM_APP; // taken without touching Result
    };
    HWND hwnd = main->Handle;
    // A Unicode window: the W form answers its procedure itself.
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_WNDPROC), reinterpret_cast<LONG>(main->Thunk));
    EXPECT_EQ(SendMessageA(hwnd, ObjectQueryMessage, 0, 0), reinterpret_cast<LRESULT>(main));
    EXPECT_EQ(ObjectFromHandle(hwnd), main);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), ObjectQueryMessage), 0);
    EXPECT_EQ(SendMessageA(hwnd, WM_APP, 0, 0), 1);
    EXPECT_EQ(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0), 4);

    // A subclassed control answers what its own procedure answers.
    auto* edit = Make<TestControl>("edit", main, "abc", 10, 10, 100, 20, 101);
    ASSERT_TRUE(edit->Create());
    HWND bare = BareChild(hwnd, "Edit", 102, 40);
    EXPECT_EQ(ObjectFromHandle(edit->Handle), edit);
    EXPECT_EQ(ObjectFromHandle(bare), nullptr);
    EXPECT_EQ(ObjectFromHandle(nullptr), nullptr);
    for (HWND h : {edit->Handle, bare}) SendMessageA(h, EM_SETSEL, 1, 2);
    EXPECT_EQ(SendMessageA(edit->Handle, EM_GETSEL, 0, 0), MAKELONG(1, 2));
    EXPECT_EQ(SendMessageA(bare, EM_GETSEL, 0, 0), MAKELONG(1, 2));
    main->Free();
}

// Asked from another process, the counts tell a leak in a running program.
TEST(Binding, FrameworkWindowsAnswerTheLiveCountsWithoutDispatchingThem) {
    Application app("counts");
    TestWindow* main = MakeMainWindow(app);
    ASSERT_NE(main, nullptr);
    std::vector<UINT> seen;
    main->Hook = [&](MessageRecord& msg) {
        seen.push_back(msg.Msg);
        return false;
    };
    const UINT counts = RegisterWindowMessageA("FwLiveCounts");
    EXPECT_EQ(counts, LiveCountsMessage);
    auto ask = [&](HWND window, WPARAM query) {
        return static_cast<int>(SendMessageA(window, counts, query, 0));
    };
    const int thunks = ask(main->Handle, LiveThunksQuery);
    const int objects = ask(main->Handle, LiveWindowObjectsQuery);
    EXPECT_GT(thunks, 0);
    EXPECT_GT(objects, 0);
    EXPECT_EQ(thunks, LiveThunkCount());
    EXPECT_EQ(objects, WindowObject::LiveCount());

    auto* edit = Make<TestControl>("edit", main, "abc", 10, 10, 100, 20, 101);
    ASSERT_TRUE(edit->Create());
    HWND bare = BareChild(main->Handle, "Edit", 102, 40);
    EXPECT_EQ(ask(edit->Handle, LiveThunksQuery), thunks + 1) << "a subclassed control answers";
    EXPECT_EQ(ask(main->Handle, LiveWindowObjectsQuery), objects + 1);
    EXPECT_EQ(ask(bare, LiveThunksQuery), 0) << "a window of no object";
    EXPECT_EQ(ask(main->Handle, 2), 0) << "a count nobody keeps";
    edit->Free();
    EXPECT_EQ(ask(main->Handle, LiveThunksQuery), thunks);
    EXPECT_EQ(ask(main->Handle, LiveWindowObjectsQuery), objects);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), counts), 0);
    main->Free();
}

std::string Names(WindowObject* parent) {
    std::string names;
    parent->ForEachChild(
        [&](WindowObject* child) { names += static_cast<TestWindow*>(child)->Name; });
    return names;
}

TEST(ChildList, KeepsConstructionOrderAndUnlinksEveryCase) {
    auto* parent = Make<TestWindow>("p", nullptr, "p");
    auto* a = Make<TestWindow>("a", parent, nullptr);
    auto* b = Make<TestWindow>("b", parent, nullptr);
    auto* c = Make<TestWindow>("c", parent, nullptr);
    EXPECT_EQ(Names(parent), "abc");
    parent->RemoveChild(c);
    EXPECT_EQ(parent->LastChild, b) << "the last child's predecessor becomes last";
    parent->AddChild(c);
    parent->RemoveChild(a);
    EXPECT_EQ(Names(parent), "bc");
    parent->RemoveChild(a); // no longer a child
    parent->RemoveChild(parent);
    parent->RemoveChild(nullptr);
    EXPECT_EQ(Names(parent), "bc");
    b->Free(); // unlinks itself
    EXPECT_EQ(Names(parent), "c");
    parent->RemoveChild(c);
    EXPECT_EQ(parent->LastChild, nullptr) << "removing the only child empties the list";
    for (TestWindow* w : {a, c, parent}) w->Free();
}

TEST(Destruction, RunsInOrderWhileTheObjectIsStillItsFinalClass) {
    Application app("destruction");
    int objects = WindowObject::LiveCount();
    int thunks = LiveThunkCount();
    TestControl *first = nullptr, *second = nullptr;
    TestWindow* main = MakeMainWindow(app, [&](TestWindow* w) {
        first = Make<TestControl>("first", w, "1", 0, 0, 50, 20, 101);
        second = Make<TestControl>("second", w, "2", 0, 30, 50, 20, 102);
    });
    ASSERT_NE(main, nullptr);
    ASSERT_NE(second->Handle, nullptr);
    app.KeyboardWindow = main;
    TakeEvents();
    main->Free();
    // Free's override runs first, the destructor last; WM_DESTROY and the
    // default processing reach the final class; children go first to last.
    EXPECT_EQ(TakeEvents(), "main.free main.destroy first.destroy second.destroy first.ncdestroy "
                            "second.ncdestroy main.ncdestroy first.free first.deleted second.free "
                            "second.deleted main.deleted");
    EXPECT_EQ(app.MainWin, nullptr);
    EXPECT_EQ(app.KeyboardWindow, nullptr);
    EXPECT_EQ(WindowObject::LiveCount(), objects);
    EXPECT_EQ(LiveThunkCount(), thunks);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Routing, NotificationsAndCommandsReachTheirHandlers) {
    Application app("routing");
    TestWindow* panel = nullptr;
    TestControl* button = nullptr;
    TestWindow* main = MakeMainWindow(app, [&](TestWindow* w) {
        panel = Make<TestWindow>("panel", w, nullptr);
        panel->Width = 200;
        panel->Height = 100;
        button = Make<TestControl>("button", panel, "Go", 10, 10, 60, 24, 101);
        button->Class = "Button";
    });
    ASSERT_NE(main, nullptr);
    ASSERT_NE(button->Handle, nullptr) << "the panel's WM_CREATE created its child";
    HWND bare = BareChild(panel->Handle, "Button", 102, 40);
    TakeEvents();
    SendMessageA(button->Handle, BM_CLICK, 0, 0);
    EXPECT_EQ(TakeEvents(), "button.notify0 panel.child101 panel.default");
    SendMessageA(bare, BM_CLICK, 0, 0);
    EXPECT_EQ(TakeEvents(), "panel.child102 panel.default");
    SendMessageA(panel->Handle, WM_HSCROLL, SB_LINERIGHT, reinterpret_cast<LPARAM>(button->Handle));
    SendMessageA(panel->Handle, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bare));
    EXPECT_EQ(TakeEvents(), "button.notify1 panel.child101 panel.child102");

    // Command ids climb the parent chain to the top window.
    SendMessageA(button->Handle, WM_COMMAND, 1234, 0);
    EXPECT_EQ(TakeEvents(), "main.default");
    main->AllowClose = false;
    SendMessageA(button->Handle, WM_COMMAND, WindowObject::ExitCommandId, 0);
    EXPECT_EQ(app.MainWin, main);
    main->AllowClose = true;
    SendMessageA(button->Handle, WM_COMMAND, WindowObject::ExitCommandId, 0);
    EXPECT_EQ(app.MainWin, nullptr);
    EXPECT_EQ(TakeEvents().find("main.free"), 0u);
}

TEST(Creation, ChildrenAreCreatedInOrderAndTransferFollowsTheirFields) {
    Application app("creation");
    char buffer[25] = "one\0\0\0\0\0two\0\0\0\0\0six";
    TestControl* edits[3] = {};
    auto build = [&](TestWindow* w) {
        w->TransferBuffer = buffer;
        for (int i = 0; i < 3; ++i) {
            edits[i] = Make<TestControl>("edit", w, nullptr, 10, 10 + 30 * i, 100, 20, 101 + i);
            edits[i]->SetFlags(WindowObject::TransferEnabled);
        }
    };
    TestWindow* main = MakeMainWindow(app, build);
    ASSERT_NE(main, nullptr);
    char text[16];
    GetWindowTextA(edits[2]->Handle, text, sizeof text);
    EXPECT_STREQ(text, "six");
    SetWindowTextA(edits[1]->Handle, "seven");
    main->TransferData(WindowObject::TransferGet);
    EXPECT_STREQ(buffer + 8, "seven");
    main->Free();

    // The second of three children fails: the third is not created and
    // nothing is transferred.
    main = MakeMainWindow(app, [&](TestWindow* w) {
        build(w);
        edits[1]->Class = "NoSuchClass";
    });
    ASSERT_NE(main, nullptr);
    EXPECT_NE(edits[0]->Handle, nullptr);
    EXPECT_EQ(edits[2]->Handle, nullptr);
    EXPECT_EQ(GetWindowTextLengthA(edits[0]->Handle), 0);
    main->Free();
}

TEST(Geometry, FollowsTheWindowExceptWhileMinimisedOrMaximised) {
    Application app("geometry");
    TestControl* edit = nullptr;
    TestWindow* main = MakeMainWindow(
        app, [&](TestWindow* w) { edit = Make<TestControl>("edit", w, "", 10, 20, 80, 24, 101); });
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(edit->X, 10) << "children in client coordinates";
    EXPECT_EQ(edit->Y, 20);
    SetWindowPos(main->Handle, nullptr, 120, 90, 320, 240, SWP_NOZORDER | SWP_NOACTIVATE);
    auto geometry = [&] { return std::vector<int>{main->X, main->Y, main->Width, main->Height}; };
    const std::vector<int> restored{120, 90, 320, 240};
    EXPECT_EQ(geometry(), restored);
    for (int command : {SW_MINIMIZE, SW_MAXIMIZE}) {
        ShowWindow(main->Handle, command);
        SendMessageA(main->Handle, WM_MOVE, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(geometry(), restored) << command;
        ShowWindow(main->Handle, SW_RESTORE);
    }
    main->Free();
}

} // namespace
