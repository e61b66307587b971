#include "framework/window.h"

#include "framework/wide_text.h"

Window::Window(WindowObject* parent, const char* title)
    : WindowObject(parent), Title(title && *title ? DuplicateString(title) : nullptr),
      Style(parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW), X(CW_USEDEFAULT),
      Width(CW_USEDEFAULT) {}

Window::Window(WindowObject* parent, TemplateItem item)
    : WindowObject(parent), IdOrMenu(static_cast<UINT_PTR>(item.Id)) {
    SetFlags(FromTemplate);
}

Window::~Window() {
    FreeString(Title);
}

void Window::DefaultHandler(MessageRecord& msg) {
    msg.Result = CallWindowProcW(PrevProc, msg.Hwnd, msg.Msg, msg.WParam, msg.LParam);
}

void Window::Dispatch(MessageRecord& msg) {
    switch (msg.Msg) {
    case WM_CREATE:
        OnCreate(msg);
        break;
    case WM_MOVE:
        OnMove(msg);
        break;
    case WM_SIZE:
        OnSize(msg);
        break;
    case WM_PAINT:
        OnPaint(msg);
        break;
    case WM_SYSCOMMAND:
        OnSysCommand(msg);
        break;
    default:
        WindowObject::Dispatch(msg);
    }
}

int Window::GetId() {
    return static_cast<int>(IdOrMenu);
}

void Window::FillClass(WNDCLASSW& windowClass) {
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = InitialWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = ModuleInstance();
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = nullptr;
}

void Window::CreateNative(HWND parentHandle) {
    Handle = CreateWindowExW(ExStyle, WideText(ClassName()), WideText(Title), Style, X, Y, Width,
                             Height, parentHandle, reinterpret_cast<HMENU>(IdOrMenu),
                             ModuleInstance(), CreateParam);
}

bool Window::Create() {
    HWND parentHandle = Parent ? Parent->Handle : nullptr;
    if (HasFlags(FromTemplate)) {
        Handle = GetDlgItem(parentHandle, static_cast<int>(IdOrMenu));
    } else if (Register()) {
        PendingWindow = this;
        CreateNative(parentHandle);
        // A system control never enters InitialWindowProc; do not leave the
        // hand-off pointing at an object that may be freed before the next
        // framework window is made.
        PendingWindow = nullptr;
    }
    if (Handle && !ObjectFromHandle(Handle)) {
        PrevProc = reinterpret_cast<WNDPROC>(
            SetWindowLongW(Handle, GWL_WNDPROC, reinterpret_cast<LONG>(Thunk)));
        Setup();
        UpdateGeometry();
    }
    return Handle != nullptr;
}

void Window::OnActivate(MessageRecord& msg) {
    WindowObject::OnActivate(msg);
    if (!HasFlags(KeyboardNav)) return;
    if (LOWORD(msg.WParam) != WA_INACTIVE)
        RestoreFocus();
    else
        SaveFocus();
}

void Window::Paint(PAINTSTRUCT&) {}

void Window::OnCreate(MessageRecord& msg) {
    Setup();
    DefaultHandler(msg);
}

void Window::OnPaint(MessageRecord&) {
    PAINTSTRUCT paint;
    BeginPaint(Handle, &paint);
    Paint(paint);
    EndPaint(Handle, &paint);
}

void Window::OnMove(MessageRecord& msg) {
    UpdateGeometry();
    DefaultHandler(msg);
}

void Window::OnSize(MessageRecord& msg) {
    RECT rect;
    if (msg.WParam == SIZE_RESTORED) TakeSize(rect);
    DefaultHandler(msg);
}

void Window::OnSysCommand(MessageRecord& msg) {
    if (HasFlags(KeyboardNav)) {
        WPARAM command = msg.WParam & 0xFFF0;
        if (command == SC_MINIMIZE)
            SaveFocus();
        else if (command == SC_RESTORE)
            RestoreFocus();
    }
    DefaultHandler(msg);
}

void Window::SaveFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(Handle, focus)) FocusChild = focus;
}

void Window::RestoreFocus() {
    if (FocusChild && IsWindow(FocusChild) && !IsIconic(Handle)) SetFocus(FocusChild);
}

bool Window::TakeSize(RECT& rect) {
    if (!GetWindowRect(Handle, &rect)) return false;
    Width = rect.right - rect.left;
    Height = rect.bottom - rect.top;
    return true;
}

void Window::UpdateGeometry() {
    RECT rect;
    if (IsIconic(Handle) || IsZoomed(Handle) || !TakeSize(rect)) return;
    // The native style, not Style: a dialog item bound from a template has
    // Style 0 and is still a child window.
    if (Parent && (GetWindowLongW(Handle, GWL_STYLE) & WS_CHILD)) {
        POINT corner{rect.left, rect.top};
        ScreenToClient(Parent->Handle, &corner);
        rect.left = corner.x;
        rect.top = corner.y;
    }
    X = rect.left;
    Y = rect.top;
}
