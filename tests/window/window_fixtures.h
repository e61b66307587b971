#pragma once

#include "framework/application.h"
#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/window.h"

#include <functional>
#include <string>

namespace fwtest {

// What the test objects did, in order, as "name.event" words.
void Note(const std::string& event);
std::string TakeEvents(); // joined by spaces; the log starts over

// Adds a name, an event log and a message hook to any framework class.
template <class Base> class Recorder : public Base {
public:
    using Base::Base;
    // An object whose native window is gone no longer holds its handle.
    ~Recorder() override { Note(Name + ".deleted" + (this->Handle ? "(handle)" : "")); }

    // Answers true when it took the message itself.
    std::function<bool(MessageRecord&)> Hook;
    std::string Name = "?";
    bool AllowClose = true;

    void Dispatch(MessageRecord& msg) override {
        if (!Hook || !Hook(msg)) Base::Dispatch(msg);
    }
    void DefaultHandler(MessageRecord& msg) override {
        if (msg.Msg == WM_COMMAND) Note(Name + ".default");
        if (msg.Msg == WM_NCDESTROY) Note(Name + ".ncdestroy");
        Base::DefaultHandler(msg);
    }
    void OnNotify(MessageRecord& msg, int code) override {
        Note(Name + ".notify" + std::to_string(code));
        Base::OnNotify(msg, code);
    }
    void OnChildNotify(MessageRecord& msg, int id) override {
        Note(Name + ".child" + std::to_string(id));
        Base::OnChildNotify(msg, id);
    }
    void OnDestroy(MessageRecord& msg) override {
        Note(Name + ".destroy");
        Base::OnDestroy(msg);
    }
    bool CanClose() override { return AllowClose && Base::CanClose(); }
    void Free() override {
        Note(Name + ".free");
        Base::Free();
    }
};

// A system control with the text of an edit as its 8-byte transfer field.
class SystemControl : public Control {
public:
    using Control::Control;
    const char* Class = "Edit";
    const char* ClassName() override { return Class; }
    int Transfer(void* cursor, int direction) override;
};

using TestWindow = Recorder<Window>;
using TestControl = Recorder<SystemControl>;
using TestDialog = Recorder<Dialog>;

template <class T, class... Args> T* Make(const char* name, Args... args) {
    T* object = new T(args...);
    object->Name = name;
    return object;
}

// Makes the application's main window at 50,50, 300x200, lets build add its
// children and flags before it is created, and shows it; null when it fails.
TestWindow* MakeMainWindow(Application& app, const std::function<void(TestWindow*)>& build = {});
// Makes the window the foreground window and handles messages until the
// system has activated it (at most a few seconds).
bool WaitUntilActive(HWND window);

} // namespace fwtest
