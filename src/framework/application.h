#pragma once

#include "framework/window_object.h"

class Dialog;

// The program's run: builds, creates and shows the main window, runs the
// message loop until the quit message and runs modal dialogs.
//
// Start-up is two calls, because a base constructor cannot reach a derived
// BuildMainWindow: construct the application (name kept, CurrentApp set),
// then call Start, then Run:
//     ConfigApplication app("VL4 config");
//     app.Start();
//     app.Run();
class Application : public BaseObject {
public:
    // name is kept by reference, not copied.
    explicit Application(const char* name);
    ~Application() override;

    // BuildMainWindow, create it, show it.
    virtual void Start();
    virtual void BuildMainWindow();
    // Answers true when it did work and the loop should poll again at once.
    virtual bool OnIdle();
    virtual bool CanClose();

    // From now on a fatal error (EndProgram) also shows its line in a message
    // box with the application's name as caption before the program ends: a
    // window program has no console that would show it.
    void ShowFatalErrorsInBoxes();
    // Runs before that box shows, the program ending once it is closed: what
    // would go on behind the box (a timer talking to a device) stops here.
    // The fault may be an exhausted heap; nothing here may allocate.
    virtual void OnFatalError();

    // Loops until WM_QUIT is taken from the queue; at once without a main window.
    void Run();
    // Takes and handles one queued message; false when the queue was empty.
    bool PumpMessage(MSG& msg);
    // True when MDI keys, accelerators or dialog keys consumed the message.
    bool PreTranslate(MSG& msg);
    void SetKeyboardWindow(WindowObject* window);
    // Creates the native window of a constructed object; frees the object and
    // answers null when that fails.
    WindowObject* CreateWindowObject(WindowObject* window);
    // Runs the dialog modally and frees it, whatever the result; null
    // answers IDCANCEL.
    INT_PTR RunDialog(Dialog* dialog);

    const char* Name = nullptr;
    WindowObject* MainWin = nullptr;
    WindowObject* KeyboardWindow = nullptr;
    WindowObject* MdiClient = nullptr;
    HACCEL Accelerators = nullptr;
    bool QuitReceived = false;
};

extern Application* CurrentApp;
