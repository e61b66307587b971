#include "framework/application.h"

#include "framework/dialog.h"
#include "framework/wide_text.h"
#include "framework/window.h"

Application* CurrentApp = nullptr;

namespace {

bool HasHandle(const WindowObject* window) {
    return window && window->Handle;
}

// Converted on the stack: the fault may be an exhausted heap. Task-modal, as
// the program's windows may be in any state; its loop would still dispatch
// their timers, which the application stops first.
void ShowFatalErrorBox(const char* line) {
    if (CurrentApp) CurrentApp->OnFatalError();
    wchar_t text[160];
    wchar_t caption[64];
    ToWide(line, text, 160);
    ToWide(CurrentApp && CurrentApp->Name ? CurrentApp->Name : "", caption, 64);
    MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

} // namespace

Application::Application(const char* name) : Name(name) {
    CurrentApp = this;
}

Application::~Application() {
    if (CurrentApp == this) CurrentApp = nullptr;
}

void Application::ShowFatalErrorsInBoxes() {
    SetFatalErrorReporter(ShowFatalErrorBox);
}

void Application::OnFatalError() {}

void Application::Start() {
    BuildMainWindow();
    MainWin = CreateWindowObject(MainWin);
    if (MainWin) MainWin->Show(SW_SHOWNORMAL);
}

void Application::BuildMainWindow() {
    MainWin = new Window(nullptr, Name);
}

bool Application::OnIdle() {
    return false;
}

bool Application::CanClose() {
    return !MainWin || MainWin->CanClose();
}

void Application::Run() {
    if (!MainWin) return;
    MSG msg;
    do {
        if (!PumpMessage(msg) && !OnIdle()) WaitMessage();
    } while (!QuitReceived);
}

bool Application::PumpMessage(MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        QuitReceived = true;
    } else if (!PreTranslate(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

bool Application::PreTranslate(MSG& msg) {
    if (HasHandle(MdiClient) && TranslateMDISysAccel(MdiClient->Handle, &msg)) return true;
    if (HasHandle(MainWin) && Accelerators &&
        TranslateAcceleratorW(MainWin->Handle, Accelerators, &msg))
        return true;
    return HasHandle(KeyboardWindow) && IsDialogMessageW(KeyboardWindow->Handle, &msg);
}

void Application::SetKeyboardWindow(WindowObject* window) {
    KeyboardWindow = window;
}

WindowObject* Application::CreateWindowObject(WindowObject* window) {
    if (window && !window->Create()) {
        window->Free();
        return nullptr;
    }
    return window;
}

// The owner is held while its dialog runs, so that a close request meanwhile
// waits until the dialog is gone.
INT_PTR Application::RunDialog(Dialog* dialog) {
    if (!dialog) return IDCANCEL;
    WindowObject* owner = dialog->Parent;
    if (owner) owner->Hold();
    const INT_PTR result = dialog->Execute();
    dialog->Free();
    if (owner) owner->Release();
    return result;
}
