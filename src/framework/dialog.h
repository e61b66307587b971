#pragma once

#include "framework/window_object.h"

// A window built by the system from a dialog template in the program's
// resources, with the object's thunk as dialog procedure. Its child objects
// bind to the template's items by id when the dialog initialises.
//
// What a handler leaves in Result is the dialog procedure's answer: 1 (TRUE,
// processed) unless it calls DefaultHandler, which answers FALSE and lets the
// dialog manager do its own processing.
class Dialog : public WindowObject {
public:
    // templateName: a resource name (copied) or MAKEINTRESOURCE id (kept).
    Dialog(WindowObject* parent, const char* templateName);
    Dialog(WindowObject* parent, int templateId);

    void DefaultHandler(MessageRecord& msg) override;
    void Dispatch(MessageRecord& msg) override;
    void OnChildNotify(MessageRecord& msg, int childId) override;
    // A dialog's class is the system's: there is nothing to fill in.
    void FillClass(WNDCLASSW& windowClass) override;
    // Modeless creation.
    bool Create() override;
    void OnClose(MessageRecord& msg) override;
    void OnQueryEndSession(MessageRecord& msg) override;

    virtual void OnInitDialog(MessageRecord& msg);
    virtual void Ok();
    virtual void Cancel();

    // Runs the dialog modally; answers the code given to EndDlg, or the
    // system's failure value when the dialog cannot be made.
    INT_PTR Execute();
    void EndDlg(INT_PTR code);

    const char* Template = nullptr;
    LPARAM InitParam = 0;
    bool IsModal = false;

protected:
    ~Dialog() override;

private:
    HWND ParentHandle() const;
    // The thunk, as the dialog procedure.
    DLGPROC Procedure() const;
};
