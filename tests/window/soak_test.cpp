#include "framework/application.h"
#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/thunk.h"
#include "window/test_dialogs.h"

#include <gtest/gtest.h>

namespace {

class Edit : public Control {
public:
    using Control::Control;
    const char* ClassName() override { return "Edit"; }
};

class Button : public Control {
public:
    using Control::Control;
    const char* ClassName() override { return "Button"; }
};

// Ends itself from inside its modal loop: by the close box or by OK.
class SelfClosingDialog : public Dialog {
public:
    SelfClosingDialog(WindowObject* parent, bool ok) : Dialog(parent, IDD_SOAK), ByOk(ok) {
        new Edit(this, IDC_TEXT);
    }
    void Setup() override {
        Dialog::Setup();
        if (ByOk)
            PostMessageA(Handle, WM_COMMAND, IDOK,
                         reinterpret_cast<LPARAM>(GetDlgItem(Handle, IDOK)));
        else
            PostMessageA(Handle, WM_CLOSE, 0, 0);
    }
    bool ByOk;
};

TEST(Soak, WindowsAndDialogsGiveBackTheirObjectsAndThunks) {
    // A hidden main window: nothing here is ever mapped, so the test takes no
    // focus from others. Dialogs end before their loop first idles and shows them.
    Application app("soak");
    auto* main = new Window(nullptr, "soak");
    ASSERT_TRUE(main->Create());
    const int objects = WindowObject::LiveCount();
    const int thunks = LiveThunkCount();
    const int pages = ThunkPageCount();
    ASSERT_GT(objects, 0);
    ASSERT_GT(thunks, 0);

    // Framework windows and subclassed system controls, hidden: painting is
    // not what is measured here.
    for (int i = 0; i < 10000; ++i) {
        Window* window = i % 2 ? static_cast<Window*>(new Window(main, "w"))
                               : new Button(main, "b", 0, 0, 50, 20, 101);
        window->Style = WS_CHILD;
        ASSERT_TRUE(window->Create()) << i;
        window->Free();
    }
    EXPECT_EQ(GetWindow(main->Handle, GW_CHILD), nullptr);
    for (int i = 0; i < 1000; ++i) {
        bool ok = i % 2;
        ASSERT_EQ(app.RunDialog(new SelfClosingDialog(main, ok)), ok ? IDOK : IDCANCEL) << i;
    }
    EXPECT_EQ(WindowObject::LiveCount(), objects);
    EXPECT_EQ(LiveThunkCount(), thunks);
    EXPECT_EQ(ThunkPageCount(), pages);
    main->Free();
}

} // namespace
