#include "framework/dialog.h"

#include "framework/wide_text.h"

Dialog::Dialog(WindowObject* parent, const char* templateName) : WindowObject(parent) {
    if (IS_INTRESOURCE(templateName))
        Template = templateName;
    else if (*templateName)
        Template = DuplicateString(templateName);
}

Dialog::Dialog(WindowObject* parent, int templateId)
    : Dialog(parent, MAKEINTRESOURCEA(templateId)) {}

Dialog::~Dialog() {
    if (!IS_INTRESOURCE(Template)) FreeString(const_cast<char*>(Template));
}

void Dialog::DefaultHandler(MessageRecord& msg) {
    msg.Result = FALSE;
}

void Dialog::Dispatch(MessageRecord& msg) {
    if (msg.Msg == WM_INITDIALOG)
        OnInitDialog(msg);
    else
        WindowObject::Dispatch(msg);
}

void Dialog::OnChildNotify(MessageRecord& msg, int childId) {
    if (childId == IDOK)
        Ok();
    else if (childId == IDCANCEL)
        Cancel();
    else
        DefaultChildNotify(msg);
}

void Dialog::FillClass(WNDCLASSW&) {
    FatalError("Dialog::FillClass is abstract");
}

HWND Dialog::ParentHandle() const {
    return Parent ? Parent->Handle : nullptr;
}

DLGPROC Dialog::Procedure() const {
    return reinterpret_cast<DLGPROC>(reinterpret_cast<void*>(Thunk));
}

namespace {

// The template as the W dialog functions take it: a resource id as it is, a
// name as its UTF-16 copy.
class TemplateName {
public:
    explicit TemplateName(const char* name)
        : Name(name), WideName(IS_INTRESOURCE(name) ? nullptr : name) {}
    operator LPCWSTR() const {
        return IS_INTRESOURCE(Name) ? reinterpret_cast<LPCWSTR>(Name) : WideName;
    }

private:
    const char* Name;
    WideText WideName;
};

} // namespace

bool Dialog::Create() {
    SetFlags(KeyboardNav);
    Handle = CreateDialogParamW(ModuleInstance(), TemplateName(Template), ParentHandle(),
                                Procedure(), InitParam);
    return Handle != nullptr;
}

INT_PTR Dialog::Execute() {
    IsModal = true;
    return DialogBoxParamW(ModuleInstance(), TemplateName(Template), ParentHandle(), Procedure(),
                           InitParam);
}

void Dialog::EndDlg(INT_PTR code) {
    EndDialog(Handle, code);
}

void Dialog::OnClose(MessageRecord&) {
    Cancel();
}

// Inverted: FALSE lets the dialog manager end the session, TRUE without a
// message result refuses it.
void Dialog::OnQueryEndSession(MessageRecord& msg) {
    msg.Result = SessionMayEnd() ? FALSE : TRUE;
}

void Dialog::OnInitDialog(MessageRecord& msg) {
    Handle = msg.Hwnd;
    Setup();
}

void Dialog::Ok() {
    if (!IsModal) {
        Close();
    } else if (CanClose()) {
        TransferData(TransferGet);
        EndDlg(IDOK);
    }
}

void Dialog::Cancel() {
    if (IsModal)
        EndDlg(IDCANCEL);
    else
        Close();
}
