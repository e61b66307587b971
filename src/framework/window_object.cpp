#include "framework/window_object.h"

#include "framework/application.h"
#include "framework/thunk.h"
#include "framework/wide_text.h"
#include "framework/window_text.h"

WindowObject* PendingWindow = nullptr;
UINT ObjectQueryMessage = 0;
UINT LiveCountsMessage = 0;
const char FrameworkClassName[] = "FwWindow";

namespace {

int LiveObjects = 0;

// Registered while the module initialises, before any window exists.
const bool QueryMessageRegistered = (RegisterObjectQueryMessage(), true);

} // namespace

void RegisterObjectQueryMessage() {
    if (!ObjectQueryMessage) ObjectQueryMessage = RegisterWindowMessageW(L"FwObjectPtr");
    if (!LiveCountsMessage) LiveCountsMessage = RegisterWindowMessageW(L"FwLiveCounts");
}

HINSTANCE ModuleInstance() {
    return GetModuleHandleW(nullptr);
}

// Called by the system with a stack that may be aligned to 4 bytes only.
__attribute__((force_align_arg_pointer)) LRESULT CALLBACK InitialWindowProc(HWND hwnd, UINT msg,
                                                                            WPARAM wParam,
                                                                            LPARAM lParam) {
    WindowObject* object = PendingWindow;
    if (!object) return DefWindowProcW(hwnd, msg, wParam, lParam);
    PendingWindow = nullptr;
    object->Handle = hwnd;
    SetWindowLongW(hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(object->Thunk));
    return object->Thunk(hwnd, msg, wParam, lParam);
}

WindowObject* ObjectFromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto proc = reinterpret_cast<WNDPROC>(GetWindowLongW(hwnd, GWL_WNDPROC));
    if (!proc) return nullptr;
    return reinterpret_cast<WindowObject*>(CallWindowProcW(proc, hwnd, ObjectQueryMessage, 0, 0));
}

WindowObject::WindowObject(WindowObject* parent) : Parent(parent) {
    RegisterObjectQueryMessage();
    if (parent) parent->AddChild(this);
    Thunk = AllocThunk(this);
    ++LiveObjects;
}

WindowObject::~WindowObject() {
    --LiveObjects;
}

int WindowObject::LiveCount() {
    return LiveObjects;
}

int LiveCountOf(WPARAM query) {
    switch (query) {
    case LiveThunksQuery:
        return LiveThunkCount();
    case LiveWindowObjectsQuery:
        return WindowObject::LiveCount();
    default:
        return 0;
    }
}

void WindowObject::Free() {
    DestroyNative();
    ForEachChild([](WindowObject* child) { child->Free(); });
    if (Parent) Parent->RemoveChild(this);
    if (CurrentApp) {
        if (CurrentApp->MainWin == this) CurrentApp->MainWin = nullptr;
        // The loop reads the keyboard window for every message: it must never
        // point at a freed object, even if no deactivation came first.
        if (CurrentApp->KeyboardWindow == this) CurrentApp->KeyboardWindow = nullptr;
    }
    FreeThunk(Thunk);
    Thunk = nullptr;
    delete this;
}

// The last statement may free the object.
void WindowObject::ReceiveMessage(MessageRecord& msg) {
    if (msg.Msg == ObjectQueryMessage) {
        msg.Result = reinterpret_cast<LRESULT>(this);
        return;
    }
    if (msg.Msg == LiveCountsMessage) {
        msg.Result = LiveCountOf(msg.WParam);
        return;
    }
    Hold();
    Dispatch(msg);
    if (msg.Msg == WM_NCDESTROY) Handle = nullptr;
    Release();
}

void WindowObject::Hold() {
    for (WindowObject* window = this; window; window = window->Parent) ++window->Holds;
}

// A parent is held at least as often as its child, so the windows that are
// free now are this one and the parents up to the first still held; of those
// the topmost with a close request is closed, and its children with it.
void WindowObject::Release() {
    WindowObject* closing = nullptr;
    for (WindowObject* window = this; window; window = window->Parent)
        if (--window->Holds == 0 && window->CloseRequested) closing = window;
    if (!closing) return;
    closing->CloseRequested = false;
    closing->Close();
}

void WindowObject::DefaultCommand(MessageRecord& msg) {
    if (Parent)
        Parent->OnCommandId(msg, LOWORD(msg.WParam));
    else
        DefaultHandler(msg);
}

void WindowObject::DefaultChildNotify(MessageRecord& msg) {
    DefaultHandler(msg);
}

void WindowObject::DefaultNotify(MessageRecord& msg) {
    if (Parent) Parent->OnChildNotify(msg, GetWindowLongW(Handle, GWL_ID));
}

void WindowObject::Dispatch(MessageRecord& msg) {
    switch (msg.Msg) {
    case WM_DESTROY:
        OnDestroy(msg);
        break;
    case WM_ACTIVATE:
        OnActivate(msg);
        break;
    case WM_CLOSE:
        OnClose(msg);
        break;
    case WM_QUERYENDSESSION:
        OnQueryEndSession(msg);
        break;
    case WM_COMMAND:
        OnCommand(msg);
        break;
    case WM_HSCROLL:
        OnHScroll(msg);
        break;
    case WM_VSCROLL:
        OnVScroll(msg);
        break;
    default:
        DefaultHandler(msg);
    }
}

void WindowObject::OnCommandId(MessageRecord& msg, int id) {
    if (id == ExitCommandId)
        OnExitCommand(msg);
    else
        DefaultCommand(msg);
}

void WindowObject::OnChildNotify(MessageRecord& msg, int) {
    DefaultChildNotify(msg);
}

void WindowObject::OnNotify(MessageRecord& msg, int) {
    DefaultNotify(msg);
}

int WindowObject::GetId() {
    return -1;
}

const char* WindowObject::ClassName() {
    return FrameworkClassName;
}

bool WindowObject::Register() {
    WNDCLASSW windowClass{};
    const WideText name(ClassName());
    if (GetClassInfoW(ModuleInstance(), name, &windowClass)) return true;
    FillClass(windowClass);
    windowClass.lpszClassName = name;
    return RegisterClassW(&windowClass) != 0;
}

int WindowObject::Transfer(void*, int) {
    return 0;
}

// The children take the text font before their texts are transferred.
void WindowObject::Setup() {
    const bool created = CreateChildren();
    UseTextFont(Handle);
    if (created) TransferData(TransferSet);
}

void WindowObject::DestroyNative() {
    if (Handle) DestroyWindow(Handle);
}

bool WindowObject::CanClose() {
    return !FirstChildThat([](WindowObject* child) { return !child->CanClose(); });
}

void WindowObject::OnActivate(MessageRecord& msg) {
    DefaultHandler(msg);
    if (HasFlags(KeyboardNav) && CurrentApp)
        CurrentApp->SetKeyboardWindow(LOWORD(msg.WParam) != WA_INACTIVE ? this : nullptr);
}

void WindowObject::OnCommand(MessageRecord& msg) {
    if (!msg.LParam) {
        OnCommandId(msg, LOWORD(msg.WParam));
        return;
    }
    if (WindowObject* child = ObjectFromHandle(reinterpret_cast<HWND>(msg.LParam)))
        child->OnNotify(msg, HIWORD(msg.WParam));
    else
        OnChildNotify(msg, LOWORD(msg.WParam));
}

void WindowObject::RouteScroll(MessageRecord& msg) {
    auto control = reinterpret_cast<HWND>(msg.LParam);
    if (!control)
        DefaultHandler(msg);
    else if (WindowObject* child = ObjectFromHandle(control))
        child->OnNotify(msg, LOWORD(msg.WParam));
    else
        OnChildNotify(msg, GetWindowLongW(control, GWL_ID));
}

void WindowObject::OnHScroll(MessageRecord& msg) {
    RouteScroll(msg);
}

void WindowObject::OnVScroll(MessageRecord& msg) {
    RouteScroll(msg);
}

void WindowObject::OnClose(MessageRecord&) {
    Close();
}

void WindowObject::OnDestroy(MessageRecord& msg) {
    if (IsMainWindow()) PostQuitMessage(0);
    DefaultHandler(msg);
}

void WindowObject::OnQueryEndSession(MessageRecord& msg) {
    msg.Result = SessionMayEnd() ? 1 : 0;
}

void WindowObject::OnExitCommand(MessageRecord& msg) {
    if (IsMainWindow())
        Close();
    else
        DefaultCommand(msg);
}

void WindowObject::AddChild(WindowObject* child) {
    if (!child) return;
    if (!LastChild) {
        child->NextSibling = child;
    } else {
        child->NextSibling = LastChild->NextSibling;
        LastChild->NextSibling = child;
    }
    LastChild = child;
}

void WindowObject::RemoveChild(WindowObject* child) {
    if (!child || !LastChild) return;
    WindowObject* previous = LastChild;
    while (previous->NextSibling != child) {
        previous = previous->NextSibling;
        if (previous == LastChild) return; // not ours
    }
    if (previous == child)
        LastChild = nullptr;
    else if (child == LastChild)
        LastChild = previous;
    previous->NextSibling = child->NextSibling;
}

bool WindowObject::CreateChildren() {
    return !FirstChildThat([](WindowObject* child) { return !child->Create(); });
}

void WindowObject::TransferData(int direction) {
    if (!TransferBuffer) return;
    auto* cursor = static_cast<char*>(TransferBuffer);
    ForEachChild([&](WindowObject* child) {
        if (child->HasFlags(TransferEnabled)) cursor += child->Transfer(cursor, direction);
    });
}

bool WindowObject::CloseAllowed() {
    return IsMainWindow() ? CurrentApp->CanClose() : CanClose();
}

bool WindowObject::SessionMayEnd() {
    return Holds <= 1 && CloseAllowed();
}

void WindowObject::Close() {
    if (Holds > 0)
        CloseRequested = true;
    else if (CloseAllowed())
        Free();
}

bool WindowObject::IsMainWindow() const {
    return CurrentApp && CurrentApp->MainWin == this;
}

void WindowObject::Show(int command) {
    if (Handle) ShowWindow(Handle, command);
}

void WindowObject::Enable() {
    if (Handle) EnableWindow(Handle, TRUE);
}

void WindowObject::Disable() {
    if (Handle) EnableWindow(Handle, FALSE);
}

// The last statement may free the object.
int WindowObject::ShowMessageBox(const char* text, const char* caption, UINT style) {
    Hold();
    const int answer = MessageBoxW(Handle, WideText(text), WideText(caption), style);
    Release();
    return answer;
}
