#pragma once

#include "framework/base_object.h"
#include "framework/message_record.h"

#include <windows.h>

// Base of every window, control and dialog: one object bound to one native
// window through the object's own thunk (see thunk.h). Every message for the
// window reaches ReceiveMessage, which hands it to Dispatch; Dispatch turns it
// into a call of one virtual handler.
//
// The native windows are Unicode windows (W class, procedures, dialogs and
// loop); the objects take and give Windows-1250 texts, converted where a
// text meets the system (window_text.h, wide_text.h).
//
// Teardown. A window object is destroyed with Free, never with delete. Free
// runs, while the object still behaves as its final class:
//   1. DestroyNative (WM_DESTROY and the rest reach the final class's
//      handlers, DefaultHandler included),
//   2. Free of every child, first to last,
//   3. unlinking from the parent,
//   4. clearing the application's MainWin (and KeyboardWindow) if they are
//      this object,
//   5. giving the thunk back,
// and then deletes the object. A class that has work to do before the native
// window goes (stopping a timer) overrides Free, does it and calls the
// inherited Free last. Work that belongs after the whole teardown (closing a
// link the children might still have used) goes into its destructor, which
// runs inside that final delete. Handle is cleared when the native window is
// gone (WM_NCDESTROY), so nothing is sent to a dead window afterwards.
//
// Closing. An object is held while one of its handlers runs, while a modal
// dialog it owns runs and while a message box of its own shows; holding an
// object holds its parents too. A modal loop dispatches whatever is posted or
// sent meanwhile, so a close request can arrive under a handler that still
// uses the object: Close then only notes the request, and the object is
// closed when the last hold is released, after the handler has returned.
class WindowObject : public BaseObject {
public:
    // Flags.
    static constexpr DWORD KeyboardNav = 1;     // dialog keys, focus kept across deactivation
    static constexpr DWORD FromTemplate = 2;    // Create binds to the parent dialog's item
    static constexpr DWORD TransferEnabled = 4; // takes part in TransferData
    // Transfer directions.
    static constexpr int TransferGet = 1; // controls -> buffer
    static constexpr int TransferSet = 2; // buffer -> controls
    static constexpr int ExitCommandId = 65300;

    explicit WindowObject(WindowObject* parent);
    void Free() override;

    virtual void DefaultHandler(MessageRecord& msg) = 0;
    virtual void DefaultCommand(MessageRecord& msg);
    virtual void DefaultChildNotify(MessageRecord& msg);
    virtual void DefaultNotify(MessageRecord& msg);
    virtual void Dispatch(MessageRecord& msg);
    virtual void OnCommandId(MessageRecord& msg, int id);
    virtual void OnChildNotify(MessageRecord& msg, int childId);
    virtual void OnNotify(MessageRecord& msg, int code);
    virtual int GetId();
    virtual const char* ClassName();
    // Register names the class after ClassName; FillClass fills the rest.
    virtual void FillClass(WNDCLASSW& windowClass) = 0;
    virtual bool Register();
    virtual bool Create() = 0;
    // Answers the number of buffer bytes this object uses, whatever the direction.
    virtual int Transfer(void* cursor, int direction);
    virtual void Setup();
    virtual void DestroyNative();
    virtual bool CanClose();
    virtual void OnActivate(MessageRecord& msg);
    virtual void OnCommand(MessageRecord& msg);
    virtual void OnHScroll(MessageRecord& msg);
    virtual void OnVScroll(MessageRecord& msg);
    virtual void OnClose(MessageRecord& msg);
    virtual void OnDestroy(MessageRecord& msg);
    virtual void OnQueryEndSession(MessageRecord& msg);
    virtual void OnExitCommand(MessageRecord& msg);

    // The object message entry: the query messages are answered here (the
    // object's address, the live counts) and never dispatched.
    void ReceiveMessage(MessageRecord& msg);

    void AddChild(WindowObject* child);
    void RemoveChild(WindowObject* child);
    // Walks the children first to last, reading the next one before the
    // predicate runs, so the predicate may free or unlink the child it gets.
    template <typename Predicate> WindowObject* FirstChildThat(Predicate predicate) {
        WindowObject* last = LastChild;
        if (!last) return nullptr;
        for (WindowObject* child = last->NextSibling;;) {
            WindowObject* next = child->NextSibling;
            if (predicate(child)) return child;
            if (child == last) return nullptr;
            child = next;
        }
    }
    template <typename Action> void ForEachChild(Action action) {
        FirstChildThat([&](WindowObject* child) {
            action(child);
            return false;
        });
    }

    void SetFlags(DWORD mask) { Flags |= mask; }
    bool HasFlags(DWORD mask) const { return (Flags & mask) == mask; }

    bool CreateChildren();
    void TransferData(int direction);
    // Frees this object when the close question is answered yes; while the
    // object is held, when the last hold is released.
    void Close();
    // The close question: the application's for the main window, else our own.
    bool CloseAllowed();
    // Asked from the session-end message, which holds the object once: the
    // end of a session cannot wait, so it is refused while anything else
    // holds the object.
    bool SessionMayEnd();
    // A hold on this object and its parents, for the time of a handler or a
    // modal loop. Release may free the object (or a parent) whose close was
    // asked for meanwhile: nothing may use them after it.
    void Hold();
    void Release();
    bool IsMainWindow() const;

    void Show(int command);
    void Enable();
    void Disable();
    // A message box owned by the window; answers the button that closed it.
    // The window is held while the box shows.
    int ShowMessageBox(const char* text, const char* caption, UINT style);

    // Window objects alive in the process, for leak checks.
    static int LiveCount();

    WindowObject* Parent = nullptr;
    WindowObject* LastChild = nullptr;
    WindowObject* NextSibling = nullptr;
    WNDPROC Thunk = nullptr;
    HWND Handle = nullptr;
    DWORD Flags = 0;
    void* TransferBuffer = nullptr;
    int Holds = 0;
    bool CloseRequested = false; // while held

protected:
    ~WindowObject() override;

private:
    void RouteScroll(MessageRecord& msg);
};

// The object whose native window of the framework's own class is being
// created; InitialWindowProc binds it to the first message of that window.
extern WindowObject* PendingWindow;
// "FwObjectPtr": asked through a window's procedure, a framework object
// answers its own address, any other window 0.
extern UINT ObjectQueryMessage;
// "FwLiveCounts": every framework window answers with a count of the whole
// process, chosen by wParam, so that a leak check can watch a running program
// from outside; other windows answer 0.
extern UINT LiveCountsMessage;
enum LiveCountQuery : WPARAM { LiveThunksQuery = 0, LiveWindowObjectsQuery = 1 };
extern const char FrameworkClassName[]; // "FwWindow"

void RegisterObjectQueryMessage();
HINSTANCE ModuleInstance();
LRESULT CALLBACK InitialWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WindowObject* ObjectFromHandle(HWND hwnd);
// What a framework window answers to LiveCountsMessage.
int LiveCountOf(WPARAM query);
