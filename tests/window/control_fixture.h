#pragma once

#include "window/window_fixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace fwtest {

// A shown main window for control objects added after it exists.
struct ControlTest : ::testing::Test {
    Application app{"controls"};
    TestWindow* main = MakeMainWindow(app);

    void SetUp() override { ASSERT_NE(main, nullptr); }
    void TearDown() override {
        if (app.MainWin) main->Free();
    }

    // A control placed by position, created at once.
    template <class T, class... Args> T* Add(Args... args) {
        T* control = new T(main, args...);
        EXPECT_TRUE(control->Create());
        return control;
    }
    // A control bound to a native item made as a dialog template would make it.
    template <class T, class... Args>
    T* Bind(const char* nativeClass, DWORD style, int id, Args... args) {
        EXPECT_NE(CreateWindowExA(0, nativeClass, "", WS_CHILD | WS_VISIBLE | style, 0, 150, 80, 60,
                                  main->Handle, reinterpret_cast<HMENU>(id), ModuleInstance(),
                                  nullptr),
                  nullptr);
        T* control = new T(main, TemplateItem{id}, args...);
        EXPECT_TRUE(control->Create());
        return control;
    }
};

inline DWORD NativeStyle(WindowObject* window) {
    return static_cast<DWORD>(GetWindowLongA(window->Handle, GWL_STYLE));
}
inline DWORD NativeExStyle(WindowObject* window) {
    return static_cast<DWORD>(GetWindowLongA(window->Handle, GWL_EXSTYLE));
}
inline std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}
inline std::string TextOf(WindowObject* window) {
    return TextOf(window->Handle);
}

} // namespace fwtest
