#pragma once

#include "framework/window_object.h"

// Names a dialog item by id for the constructor that binds to it.
struct TemplateItem {
    int Id;
};

// A window made with CreateWindowExW (or bound to a dialog item): base of the
// main window and of every control. Messages it does not handle go to
// PrevProc: DefWindowProcW for the framework's own class, the control's own
// procedure once a system control or dialog item is subclassed.
class Window : public WindowObject {
public:
    // A new window; title is copied (null or empty: no title).
    Window(WindowObject* parent, const char* title);
    // An object that Create binds to item.Id of its parent dialog.
    Window(WindowObject* parent, TemplateItem item);

    void DefaultHandler(MessageRecord& msg) override;
    void Dispatch(MessageRecord& msg) override;
    int GetId() override;
    void FillClass(WNDCLASSW& windowClass) override;
    bool Create() override;
    void OnActivate(MessageRecord& msg) override;

    virtual void CreateNative(HWND parentHandle);
    virtual void Paint(PAINTSTRUCT& paint);
    virtual void OnCreate(MessageRecord& msg);
    virtual void OnPaint(MessageRecord& msg);
    virtual void OnMove(MessageRecord& msg);
    virtual void OnSize(MessageRecord& msg);
    virtual void OnSysCommand(MessageRecord& msg);

    void SaveFocus();
    void RestoreFocus();
    void UpdateGeometry();

    char* Title = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    void* CreateParam = nullptr;
    UINT_PTR IdOrMenu = 0;
    WNDPROC PrevProc = DefWindowProcW;
    HWND FocusChild = nullptr;

protected:
    ~Window() override;

private:
    bool TakeSize(RECT& rect);
};
